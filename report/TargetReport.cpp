// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/TargetReport.h"

#include "core/Cat.h"
#include "core/JsonWriter.h"

#include <charconv>
#include <cmath>

namespace {
// A number as JSON writes it: the fewest digits that read back as the same double.
std::string Number(double value) {
    return std::isfinite(value) ? JsonNumber(value) : std::string("nan");
}

std::string Unit(const RigParameter& parameter) {
    const std::string unit = parameter.Unit();
    return unit.empty() ? std::string() : " " + unit;
}

// A whole number 1..8 made of digits alone.
std::optional<int> CellNumber(std::string_view digits) {
    int number = 0;
    const auto [end, status] =
        std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || status != std::errc{} || end != digits.data() + digits.size() ||
        digits.front() == '+' || digits.front() == '-')
        return std::nullopt;
    return number;
}
} // namespace

std::optional<std::string> ParseTarget(const std::string& text, TargetRequest& request) {
    const std::size_t equals = text.find('=');
    const std::size_t dot = text.find('.');
    if (text.rfind("cell", 0) != 0 || equals == std::string::npos || dot == std::string::npos ||
        dot > equals)
        return Cat("malformed target \"", text, "\": expected cellN.QUANTITY=GOAL");
    const std::optional<int> cell = CellNumber(std::string_view(text).substr(4, dot - 4));
    if (!cell)
        return Cat("malformed target \"", text, "\": expected cellN.QUANTITY=GOAL");
    request.Cell = *cell;
    request.Quantity = text.substr(dot + 1, equals - dot - 1);
    const std::string goal = text.substr(equals + 1);
    double value = 0;
    const auto [end, status] = std::from_chars(goal.data(), goal.data() + goal.size(), value);
    if (goal.empty() || status != std::errc{} || end != goal.data() + goal.size() ||
        !std::isfinite(value))
        return Cat("the goal \"", goal, "\" of the target is not a number");
    request.Goal = value;
    return std::nullopt;
}

std::string FormatTargetReport(const TargetRequest& request, const TargetResult& result,
                               bool json) {
    const std::string parameter = request.Parameter.Name();
    if (json) {
        JsonWriter out(JsonWriter::Numbers::Digits17);
        out.BeginObject();
        out.Key("target");
        out.BeginObject();
        out.Member("cell", request.Cell);
        out.Member("quantity", request.Quantity);
        out.Member("goal", request.Goal);
        out.Member("parameter", parameter);
        const bool found = result.Status == TargetStatus::Found;
        out.Key("value");
        found ? out.Number(result.Value) : out.Null();
        out.Key("achieved");
        found ? out.Number(result.Achieved) : out.Null();
        out.Member("status", found ? "found" : "unreachable");
        out.Key("range");
        if (result.Range) {
            out.BeginArray(true);
            out.Number(result.Range->first);
            out.Number(result.Range->second);
            out.EndArray();
        } else {
            out.Null();
        }
        out.Member("otherRoots", result.OtherRoots);
        out.EndObject();
        out.EndObject();
        return out.Text();
    }
    std::string text = Cat("Target: cell ", std::to_string(request.Cell), " ", request.Quantity,
                           " = ", Number(request.Goal), "\n");
    text += Cat("Varied: ", parameter, " from ", Number(result.Searched.first), " to ",
                Number(result.Searched.second), Unit(request.Parameter), " (now ",
                Number(result.Current), ")\n");
    if (result.Status == TargetStatus::Found) {
        text += Cat("Found: ", parameter, " = ", Number(result.Value), Unit(request.Parameter),
                    " gives ", request.Quantity, " = ", Number(result.Achieved), "\n");
        if (result.OtherRoots)
            text += "Other settings in the range reach the goal too; this one is the nearest to "
                    "the current setting.\n";
    } else if (result.Range) {
        text += Cat("Unreachable: over that range ", request.Quantity, " goes from ",
                    Number(result.Range->first), " to ", Number(result.Range->second), "\n");
    } else {
        text += Cat("Unreachable: no setting of the range gives cell ",
                    std::to_string(request.Cell), " a value of ", request.Quantity, "\n");
    }
    return text;
}
