// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RigCheck.h"

#include "core/Calibration.h"
#include "core/Cat.h"
#include "core/ConditioningStages.h"
#include "core/Defaults.h"
#include "core/JsonWriter.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

std::string Number(double value) {
    return std::isfinite(value) ? JsonNumber(value) : std::to_string(value);
}

std::string ThreeDigits(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

std::string FlowmeterName(int f) {
    return Cat("Flowmeter ", std::to_string(f));
}

// A flowmeter that nobody has set up: its record is still the start-up one (what a calculation
// writes into it aside).
bool AtStartUpValues(int f) {
    const FlowmeterRecord& meter = Flowmeters[f];
    const FlowmeterRecord start = DefaultFlowmeter(f);
    return meter.Make == start.Make && meter.Size == start.Size && meter.Float == start.Float &&
           meter.Input == start.Input && meter.Output == start.Output &&
           meter.Reading == start.Reading && meter.FixGas == start.FixGas &&
           meter.FixGasType == start.FixGasType && meter.FixGasT == start.FixGasT &&
           meter.FixGasUsed == start.FixGasUsed && meter.FixGasBefore == start.FixGasBefore;
}

void CheckInputMixtures(std::vector<std::string>& warnings) {
    for (int s = 1; s <= InputMixtureCount; ++s) {
        if (!InputMixtureFlows(s))
            continue;
        double sum = 0;
        for (const GasFraction& component : InputMixtures[s].Gas)
            sum += component.Fraction;
        if (!(std::fabs(sum - 1) <= FractionSumTolerance))
            warnings.push_back(Cat("Input mix ", std::to_string(s), " fractions add up to ",
                                   Number(sum), ", not 1"));
    }
}

void CheckCurves(int f, std::vector<std::string>& warnings) {
    const double reading = Flowmeters[f].Reading;
    std::vector<int> heldAtTheEnd; // each curve once, however many gases it read
    for (int j = 1; j <= MaxGases; ++j) {
        const int c = FlowmeterCurves[f][j];
        if (c == 0)
            continue;
        const std::string gas = GasList[j].Str();
        const std::string curveName = Cat("curve ", std::to_string(c));
        const double largest = LargestReading(c);
        if (largest == 0) {
            warnings.push_back(Cat(FlowmeterName(f), " reads ", gas, " through ", curveName,
                                   ", which has no point with a positive reading: no flow"));
            continue;
        }
        const std::string curveGas = Calibrations[c].Gas.Str();
        if (Calibrations[c].Gas != GasList[j])
            warnings.push_back(Cat(FlowmeterName(f), " reads ", gas, " through ", curveName,
                                   curveGas.empty() ? ", which names no gas"
                                                    : Cat(", which is made for ", curveGas)));
        if (reading > largest &&
            std::find(heldAtTheEnd.begin(), heldAtTheEnd.end(), c) == heldAtTheEnd.end()) {
            heldAtTheEnd.push_back(c);
            warnings.push_back(Cat(FlowmeterName(f), " reads ", Number(reading),
                                   ", above the largest reading ", Number(largest), " of ",
                                   curveName, ": the flow is held at the curve's end"));
        }
    }
}

// A saturator at or above the boiling point gives a vapour pressure above the 1 bar that the
// stage's fraction is taken over: the stream is held to all vapour, which is seldom what the
// temperature was typed for.
void CheckStage(int f, std::vector<std::string>& warnings) {
    const FlowmeterRecord& meter = Flowmeters[f];
    if (meter.FixGasUsed != 1)
        return;
    bool streamHoldsTheGas = false;
    for (int j = 1; j <= GasCount; ++j)
        streamHoldsTheGas = streamHoldsTheGas || GasList[j] == meter.FixGas;
    if (!streamHoldsTheGas)
        return;
    const std::optional<double> fraction =
        StageFraction(meter.FixGas.View(), meter.FixGasType.View(), meter.FixGasT);
    if (fraction && *fraction > 1)
        warnings.push_back(Cat(FlowmeterName(f), "'s ", meter.FixGasType.Str(), " stage at ",
                               Number(meter.FixGasT), " C gives ", meter.FixGas.Str(),
                               " a fraction of ", ThreeDigits(*fraction),
                               ", held to 1: the stream is all vapour"));
}

void CheckFlowmeters(std::vector<std::string>& warnings) {
    for (int f = 1; f <= FlowmeterCount; ++f) {
        if (AtStartUpValues(f))
            continue;
        const int source = FlowmeterSource(f);
        const int node = FlowmeterNode(f);
        if (source != 0 && node != 0 && !(Flowmeters[f].Reading > 0))
            warnings.push_back(Cat(FlowmeterName(f), " (", MixtureLabel(source), " to ",
                                   MixtureLabel(NodeMixture(node)), ") reads ",
                                   Number(Flowmeters[f].Reading), " and is skipped"));
        if (source != 0 && node != 0 && Flowmeters[f].Reading > 0)
            CheckStage(f, warnings);
        CheckCurves(f, warnings);
    }
}

} // namespace

std::vector<std::string> RigWarnings() {
    std::vector<std::string> warnings;
    CheckInputMixtures(warnings);
    CheckFlowmeters(warnings);
    return warnings;
}

void ReportRigWarnings() {
    for (const std::string& warning : RigWarnings())
        ShowWarning(warning);
}
