// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/Sweep.h"

#include <charconv>
#include <cmath>

namespace {
bool ParseFinite(std::string_view text, double& value) {
    if (text.empty())
        return false;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    return status == std::errc{} && end == text.data() + text.size() && std::isfinite(value);
}

std::string Malformed(std::string_view range, const std::string& why) {
    return "malformed range \"" + std::string(range) + "\": " + why;
}
} // namespace

double SweepRequest::Value(int i) const {
    if (i <= 0)
        return From;
    if (i >= Points - 1)
        return To;
    return From + (To - From) * (static_cast<double>(i) / (Points - 1));
}

bool ParseSweepRange(std::string_view text, SweepRequest& request, std::string& error) {
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string_view::npos ? first : text.find(':', first + 1);
    if (second == std::string_view::npos || text.find(':', second + 1) != std::string_view::npos) {
        error = Malformed(text, "expected FROM:TO:POINTS");
        return false;
    }
    double from = 0;
    double to = 0;
    if (!ParseFinite(text.substr(0, first), from)) {
        error = Malformed(text, "FROM is not a number");
        return false;
    }
    if (!ParseFinite(text.substr(first + 1, second - first - 1), to)) {
        error = Malformed(text, "TO is not a number");
        return false;
    }
    const std::string_view points = text.substr(second + 1);
    long count = 0;
    const auto [end, status] = std::from_chars(points.data(), points.data() + points.size(), count);
    if (points.empty() || status != std::errc{} || end != points.data() + points.size() ||
        count < MinSweepPoints || count > MaxSweepPoints) {
        error = Malformed(text, "POINTS is a whole number " + std::to_string(MinSweepPoints) +
                                    ".." + std::to_string(MaxSweepPoints));
        return false;
    }
    request.From = from;
    request.To = to;
    request.Points = static_cast<int>(count);
    return true;
}

std::optional<SweepRequest> ParseSweep(std::string_view text, std::string& error) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        error = "malformed sweep \"" + std::string(text) + "\": expected NAME=FROM:TO:POINTS";
        return std::nullopt;
    }
    const std::optional<RigParameter> parameter = ParseRigParameter(text.substr(0, equals), error);
    if (!parameter)
        return std::nullopt;
    SweepRequest request;
    request.Parameter = *parameter;
    if (!ParseSweepRange(text.substr(equals + 1), request, error))
        return std::nullopt;
    return request;
}

SweepResult RunSweep(RigSetup setup, const SweepRequest& request, const std::atomic<bool>* cancel,
                     const SweepProgress& progress) {
    SweepResult result;
    result.Request = request;
    result.Points.reserve(static_cast<std::size_t>(std::max(request.Points, 0)));
    for (int i = 0; i < request.Points; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            result.Cancelled = true;
            break;
        }
        SweepPoint point;
        point.Value = request.Value(i);
        SetRigParameter(request.Parameter, setup, point.Value);
        RigPointOptions options;
        options.Solver = request.Solver;
        options.RunMixer = i == 0 || request.Parameter.FeedsMixer();
        options.WarmStart = i == 0 ? nullptr : &result.Points.back().Result;
        options.Seed = static_cast<std::uint64_t>(i) + 1;
        options.Cancel = cancel;
        point.Result = RunRigPoint(setup, options);
        result.Points.push_back(std::move(point));
        if (progress)
            progress(i + 1, request.Points);
    }
    return result;
}
