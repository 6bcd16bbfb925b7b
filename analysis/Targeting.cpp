// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/Targeting.h"

#include "analysis/PointQuantities.h"
#include "analysis/RigPoint.h"
#include "analysis/RootFinding.h"
#include "core/Calibration.h"
#include "core/ConditioningStages.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double ZeroCelsius = 273.15;
constexpr double LowestCellTemperature = 25;     // degrees Celsius
constexpr double LowestPressure = 1e-3;          // bar
constexpr double HighestPressure = 100;          // bar
constexpr double HottestSaturatorSearched = 400; // degrees Celsius, far beyond any boiling point
// Probes over the range before the goal is bracketed: enough to see a turn of a quantity that
// is not monotonic, few enough that a search takes a fraction of a second.
constexpr int Probes = 64;

// A point of the copy: the mixer stage when the parameter feeds it, then the cells.
struct Prober {
    RigSetup Setup;
    TargetRequest Request;
    const QuantityName* Quantity;
    RigPointResult Last;
    bool HaveLast = false;

    std::optional<double> At(double value) {
        SetRigParameter(Request.Parameter, Setup, value);
        RigPointOptions options;
        options.Solver = EquilibriumSolver::Exact;
        if (HaveLast && !Last.MixerFailed)
            options.WarmStart = &Last;
        RigPointResult result = RunRigPoint(Setup, options);
        const CellPoint* cell = result.Cell(Request.Cell);
        std::optional<double> quantity;
        if (!result.MixerFailed && cell != nullptr) {
            quantity = QuantitiesOf(*cell, Request.Quantities).*Quantity->Member;
            if (quantity && !std::isfinite(*quantity))
                quantity.reset();
        }
        if (!result.MixerFailed) {
            Last = std::move(result);
            HaveLast = true;
        }
        return quantity;
    }
};

bool LogarithmicAxis(const RigParameter& parameter) {
    return parameter.Kind == RigParameterKind::CellPressure;
}

double Probe(const std::pair<double, double>& range, bool logarithmic, int i) {
    const double t = static_cast<double>(i) / (Probes - 1);
    if (i == Probes - 1)
        return range.second;
    if (logarithmic)
        return std::exp(std::log(range.first) +
                        t * (std::log(range.second) - std::log(range.first)));
    return range.first + t * (range.second - range.first);
}

// The highest temperature (degrees Celsius) at which every species of the run has heat-capacity
// data.
std::optional<double> HottestWithData(const RigSetup& setup, const RigPointResult& point,
                                      int cell) {
    const CellPoint* c = point.Cell(cell);
    if (c == nullptr || c->Equilibrium.empty())
        return std::nullopt;
    double hottest = std::numeric_limits<double>::infinity();
    for (const SpeciesPressure& species : c->Equilibrium) {
        double top = 0;
        for (int i = 1; i <= setup.CompoundCount && setup.Compounds.Contains(i); ++i)
            if (setup.Compounds[i].Formula == species.Species)
                for (const HSCRow& row : setup.Compounds[i].HSCData)
                    top = std::max(top, row[HSC_T2]);
        hottest = std::min(hottest, top);
    }
    if (!std::isfinite(hottest) || hottest - ZeroCelsius <= LowestCellTemperature)
        return std::nullopt;
    return hottest - ZeroCelsius;
}

// The temperature (degrees Celsius) at which the saturator's fraction reaches 1.
std::optional<double> SaturatorTop(const FlowmeterRecord& meter) {
    const auto excess = [&](double t) {
        const std::optional<double> fraction =
            StageFraction(meter.FixGas.View(), meter.FixGasType.View(), t);
        return fraction ? *fraction - 1 : std::nan("");
    };
    const double lo = 0;
    const double hi = HottestSaturatorSearched;
    const double flo = excess(lo);
    const double fhi = excess(hi);
    if (std::isnan(flo) || std::isnan(fhi) || flo >= 0 || fhi <= 0)
        return std::nullopt;
    BrentOptions options;
    options.XTolerance = 1e-12;
    return BrentRoot(excess, lo, hi, flo, fhi, options);
}

} // namespace

const std::vector<std::string>& TargetQuantities() {
    static const std::vector<std::string> names = {"log10pO2", "sensorEmfmV", "dewPointC",
                                                   "waterPpmFeed"};
    return names;
}

std::string CheckTargetRequest(const TargetRequest& request, const RigSetup& setup) {
    const auto& names = TargetQuantities();
    if (std::find(names.begin(), names.end(), request.Quantity) == names.end())
        return "unknown quantity \"" + request.Quantity +
               "\": expected log10pO2, sensorEmfmV, dewPointC or waterPpmFeed";
    if (!CellRecords::Contains(request.Cell))
        return "cell " + std::to_string(request.Cell) + " out of range 1..8";
    if (CellNode(setup.Cells, request.Cell) == 0)
        return "cell " + std::to_string(request.Cell) + " has no node: it receives no gas";
    if (!std::isfinite(request.Goal))
        return "the goal is not a number";
    if (!ValidReferencePO2(request.Quantities.ReferencePO2))
        return "the reference pO2 is not a pressure above 0";
    return CheckRigParameter(request.Parameter, setup);
}

std::optional<std::pair<double, double>> ParameterRange(const RigParameter& parameter,
                                                        RigSetup setup, std::string& error) {
    error.clear();
    switch (parameter.Kind) {
    case RigParameterKind::CellPressure:
        return std::pair{LowestPressure, HighestPressure};
    case RigParameterKind::CellTemperature: {
        const RigPointResult point = RunRigPoint(setup);
        if (point.MixerFailed) {
            error = point.Failure;
            return std::nullopt;
        }
        const std::optional<double> top = HottestWithData(setup, point, parameter.Index);
        if (!top) {
            error = "cell " + std::to_string(parameter.Index) +
                    " has no species of a run to take the temperature range from";
            return std::nullopt;
        }
        return std::pair{LowestCellTemperature, *top};
    }
    case RigParameterKind::FlowmeterReading: {
        const RigPointResult point = RunRigPoint(setup);
        if (point.MixerFailed) {
            error = point.Failure;
            return std::nullopt;
        }
        double largest = 0;
        for (int j = 1; j <= std::min(setup.GasCount, MaxGases); ++j) {
            const int curve = setup.FlowmeterCurves[parameter.Index][j];
            if (CalibrationRecords::Contains(curve))
                largest = std::max(largest, LargestReading(setup.Calibrations[curve]));
        }
        if (!(largest > 0)) {
            error = "flowmeter " + std::to_string(parameter.Index) +
                    " reads its gases through no curve with a positive reading";
            return std::nullopt;
        }
        return std::pair{0.0, largest};
    }
    case RigParameterKind::StageTemperature: {
        const std::optional<double> top = SaturatorTop(setup.Flowmeters[parameter.Index]);
        if (!top) {
            error = "flowmeter " + std::to_string(parameter.Index) +
                    "'s saturator reaches no fraction of 1";
            return std::nullopt;
        }
        return std::pair{0.0, *top};
    }
    }
    return std::nullopt;
}

std::optional<double> QuantityAt(const RigSetup& setup, const TargetRequest& request,
                                 double value) {
    const QuantityName* quantity = FindQuantity(request.Quantity);
    if (quantity == nullptr)
        return std::nullopt;
    Prober prober{setup, request, quantity, {}, false};
    return prober.At(value);
}

TargetResult FindSetting(const RigSetup& setup, const TargetRequest& request,
                         const std::atomic<bool>* cancel) {
    TargetResult result;
    result.Current = RigParameterValue(request.Parameter, setup);
    {
        RigSetup current = setup;
        const RigPointResult point = RunRigPoint(current);
        if (point.MixerFailed) {
            result.Status = TargetStatus::MixerFailed;
            result.Failure = point.Failure;
            return result;
        }
    }
    std::string error;
    const std::optional<std::pair<double, double>> range =
        ParameterRange(request.Parameter, setup, error);
    const QuantityName* quantity = FindQuantity(request.Quantity);
    if (!range || quantity == nullptr) {
        result.Failure = error;
        return result;
    }
    result.Searched = *range;

    Prober prober{setup, request, quantity, {}, false};
    const bool logarithmic = LogarithmicAxis(request.Parameter);
    std::vector<double> x(Probes);
    std::vector<std::optional<double>> q(Probes);
    for (int i = 0; i < Probes; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return result;
        x[std::size_t(i)] = Probe(*range, logarithmic, i);
        q[std::size_t(i)] = prober.At(x[std::size_t(i)]);
        if (const std::optional<double> value = q[std::size_t(i)]) {
            if (!result.Range)
                result.Range = std::pair{*value, *value};
            result.Range->first = std::min(result.Range->first, *value);
            result.Range->second = std::max(result.Range->second, *value);
        }
    }

    // Brackets: neighbouring probes with values on either side of the goal (or at it).
    struct Bracket {
        std::size_t Lo;
        double Distance; // from the current setting
    };
    std::vector<Bracket> brackets;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        if (!q[i] || !q[i + 1])
            continue;
        const double a = *q[i] - request.Goal;
        const double b = *q[i + 1] - request.Goal;
        if (a == 0 && i > 0 && !brackets.empty() && brackets.back().Lo + 1 == i)
            continue; // a probe exactly at the goal is one root, not two
        if ((a <= 0 && b >= 0) || (a >= 0 && b <= 0)) {
            const double distance = result.Current < x[i]       ? x[i] - result.Current
                                    : result.Current > x[i + 1] ? result.Current - x[i + 1]
                                                                : 0;
            brackets.push_back({i, distance});
        }
    }
    std::stable_sort(brackets.begin(), brackets.end(),
                     [](const Bracket& a, const Bracket& b) { return a.Distance < b.Distance; });

    const double tolerance = TargetTolerance;
    for (const Bracket& bracket : brackets) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed))
            return result;
        const std::size_t i = bracket.Lo;
        const auto f = [&](double value) {
            const std::optional<double> v = prober.At(value);
            return v ? *v - request.Goal : std::nan("");
        };
        BrentOptions options;
        options.FTolerance = tolerance / 10;
        options.XTolerance = 1e-15;
        const std::optional<double> root =
            BrentRoot(f, x[i], x[i + 1], *q[i] - request.Goal, *q[i + 1] - request.Goal, options);
        if (!root)
            continue; // a probe inside failed: that part of the range is not reachable
        const std::optional<double> achieved = prober.At(*root);
        if (!achieved || std::fabs(*achieved - request.Goal) > tolerance)
            continue; // a jump of the quantity, not a root
        result.Status = TargetStatus::Found;
        result.Value = *root;
        result.Achieved = *achieved;
        result.OtherRoots = brackets.size() > 1;
        return result;
    }
    return result;
}

void SetRigParameterInTables(const RigParameter& parameter, double value) {
    SetRigParameter(parameter, Cells, Flowmeters, value);
}
