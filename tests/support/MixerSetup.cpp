#include "MixerSetup.h"

#include "core/SetupTables.h"

void FillSlots(IndexedTable<GasFraction, 1, 12>& slots, const Components& components) {
    for (GasFraction& slot : slots) {
        slot.Gas.Set("");
        slot.Fraction = 0;
    }
    int j = 1;
    for (const auto& [gas, fraction] : components) {
        slots[j].Gas.Set(gas);
        slots[j].Fraction = fraction;
        ++j;
    }
}

void SetInputMix(int n, const Components& components) {
    InputMixtures[n].Name.Set("I" + std::to_string(n));
    FillSlots(InputMixtures[n].Gas, components);
}

void SetMeter(int f, int input, int output, double reading) {
    Flowmeters[f].Input = static_cast<std::uint16_t>(input);
    Flowmeters[f].Output = static_cast<std::uint16_t>(output);
    Flowmeters[f].Reading = reading;
}

namespace {
void SetOnePointCurve(int f, int c, const std::string& gas, double flow) {
    Flowmeters[f].Make.Set("M" + std::to_string(f));
    CalibrationRecord& curve = Calibrations[c];
    curve.Make = Flowmeters[f].Make;
    curve.Size = Flowmeters[f].Size;
    curve.Float = Flowmeters[f].Float;
    curve.Gas.Set(gas);
    curve.Flowmeter = 0;
    for (CalibrationPoint& p : curve.Point)
        p = {0, 0};
    curve.Point[1] = {1.0, flow};
}
} // namespace

void SetConstantFlow(int f, int c, double flow) {
    SetOnePointCurve(f, c, "", flow);
}

void SetConstantGasFlow(int f, int c, const std::string& gas, double flow) {
    SetOnePointCurve(f, c, gas, flow);
}

void SetStage(int f, const std::string& gas, const std::string& kind, double t, bool before) {
    FlowmeterRecord& meter = Flowmeters[f];
    meter.FixGasUsed = 1;
    meter.FixGasBefore = before ? 1 : 0;
    meter.FixGas.Set(gas);
    meter.FixGasType.Set(kind);
    meter.FixGasT = t;
}
