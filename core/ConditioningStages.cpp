// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ConditioningStages.h"

#include "core/SetupTables.h"
#include "equilibrium/EqCalcUnit.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {
// Vapour pressure of heavy water in kPa at t degrees Celsius.
double HeavyWaterVapourPressure(double t) {
    const long double t1 = t;
    const long double t2 = t1 * t1;
    const long double t3 = t2 * t1;
    const long double t4 = t3 * t1;
    const long double t5 = t4 * t1;
    long double d = 9.36772e-4L * t2 + (0.046428671L * t1 + 0.413333333L);
    d = d + 2.85781e-5L * t3;
    d = d + 2.5e-7L * t4;
    d = d + 2.82051e-9L * t5;
    return static_cast<double>(d);
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// The last slot of the stream holding the gas, or 0.
int StageSlot(const GasStream& work, const Text<8>& gas) {
    int slot = 0;
    for (int j = 1; j <= MaxGases; ++j)
        if (work[j].Gas == gas)
            slot = j;
    return slot;
}

// Sets the stage's gas to its new fraction and rescales the others so that the sum of all
// fractions is kept. Returns the old and new fraction of the stage's gas, or nothing when the
// stage does not apply to this stream.
struct StageChange {
    double Old;
    double New;
};
std::optional<StageChange> ConditionStream(const FlowmeterRecord& meter, GasStream& work) {
    const int k = StageSlot(work, meter.FixGas);
    if (k == 0)
        return std::nullopt;
    const std::optional<double> fraction =
        StageFraction(meter.FixGas.View(), meter.FixGasType.View(), meter.FixGasT);
    if (!fraction)
        return std::nullopt;
    // A saturator at or above the boiling point gives a vapour pressure above the 1 bar that
    // the fraction is taken over (and the heavy-water polynomial goes below 0 far below
    // freezing): the stream is then all vapour, or holds none, and never a share beyond that,
    // which would rescale the other gases to negative fractions.
    const StageChange change{work[k].Fraction, std::clamp(*fraction, 0.0, 1.0)};
    work[k].Fraction = change.New;
    for (int j = 1; j <= MaxGases; ++j) {
        if (j == k)
            continue;
        // A stream that was the stage's gas alone has nothing else to rescale: the other
        // fractions are 0 and stay 0 instead of becoming 0/0.
        if (change.Old == 1)
            work[j].Fraction = 0;
        else
            work[j].Fraction = static_cast<double>(
                ((1 - static_cast<long double>(change.New)) / (1 - change.Old)) * work[j].Fraction);
    }
    return change;
}
} // namespace

double WaterVapourPressure(double T) {
    const double Ts = 373.16;
    const long double ratio = static_cast<long double>(Ts) / T;
    double a = static_cast<double>(Log10Clamped(ratio) * 5.02808L + (ratio - 1) * -7.90298L);
    a = static_cast<double>(a - (TenToPower((1 - static_cast<long double>(T) / Ts) * 11.344L) - 1) *
                                    1.3816e-7L);
    const long double d = (TenToPower((ratio - 1) * -3.49149L) - 1) * 0.0081328L + a;
    const double e = static_cast<double>(Log10Clamped(1013.246L) + d);
    return static_cast<double>(TenToPower(e));
}

std::optional<double> StageFraction(std::string_view gas, std::string_view kind, double t) {
    const std::string upper = UpperCase(kind);
    const bool removes = upper == "DRY" || upper == "GETTER";
    const bool pure = upper == "PURE";
    const bool kbr = upper == "KBR";
    constexpr long double KbrSaturation = 0.84L; // a saturated KBr solution holds 84 % humidity

    if (gas == "H2O" || gas == "D2O") {
        if (removes)
            return 0.0;
        if (!pure && !kbr)
            return std::nullopt;
        double bar;
        if (gas == "H2O") {
            const double T = static_cast<double>(static_cast<long double>(t) + 273.15L);
            bar = static_cast<double>(static_cast<long double>(WaterVapourPressure(T)) / 1000);
        } else {
            bar = static_cast<double>(static_cast<long double>(HeavyWaterVapourPressure(t)) / 100);
        }
        return pure ? bar : static_cast<double>(KbrSaturation * bar);
    }
    if (gas == "O2" && upper == "GETTER")
        return 0.0;
    return std::nullopt;
}

void ApplyStageBefore(int f) {
    if (Flowmeters.Contains(f))
        ApplyStageBefore(Flowmeters[f], WorkGas);
}

void ApplyStageAfter(int f, double& flow) {
    if (Flowmeters.Contains(f))
        ApplyStageAfter(Flowmeters[f], WorkGas, flow);
}

void ApplyStageBefore(const FlowmeterRecord& meter, GasStream& work) {
    if (meter.FixGasUsed != 1 || meter.FixGasBefore != 1)
        return;
    ConditionStream(meter, work);
}

void ApplyStageAfter(const FlowmeterRecord& meter, GasStream& work, double& flow) {
    if (meter.FixGasUsed != 1 || meter.FixGasBefore != 0)
        return;
    const std::optional<StageChange> change = ConditionStream(meter, work);
    if (change)
        flow = static_cast<double>((static_cast<long double>(change->New) - change->Old) * flow +
                                   flow);
}
