// SPDX-License-Identifier: GPL-3.0-or-later
#include "MixerSetup.h"

#include "core/Cat.h"
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
    InputMixtures[n].Name.Set(Cat("I", std::to_string(n)));
    FillSlots(InputMixtures[n].Gas, components);
}

void SetMeter(int f, int input, int output, double reading) {
    Flowmeters[f].Input = static_cast<std::uint16_t>(input);
    Flowmeters[f].Output = static_cast<std::uint16_t>(output);
    Flowmeters[f].Reading = reading;
}

namespace {
void SetOnePointCurve(int f, int c, const std::string& gas, double flow) {
    Flowmeters[f].Make.Set(Cat("M", std::to_string(f)));
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

void FeedCellOneAlone(const Components& gases) {
    SetInputMix(1, gases);
    SetMeter(1, 1, 1, 10);
    SetConstantFlow(1, 1, 2.0);
    for (CellRecord& cell : Cells)
        cell.Mix = 0;
    Cells[1].Mix = 1;
    Cells[1].Temperature = 800;
}

void FeedTwoCells(const Components& first, const Components& second) {
    FeedCellOneAlone(first);
    SetInputMix(2, second);
    SetMeter(2, 2, 2, 10);
    SetConstantFlow(2, 2, 2.0);
    Cells[2].Mix = 2;
    Cells[2].Temperature = 800;
    for (const int c : {1, 2})
        Cells[c].LeakO2 = Cells[c].LeakH2O = 0;
}

void FeedThirteenGases() {
    FeedCellOneAlone({{"H2", 0.1},
                      {"D2", 0.1},
                      {"C(s)", 0.1},
                      {"N2", 0.1},
                      {"O2", 0.1},
                      {"Ar", 0.1},
                      {"He", 0.1}});
    SetInputMix(2,
                {{"O3", 0.1}, {"H2O", 0.1}, {"D2O", 0.1}, {"CO", 0.1}, {"CO2", 0.1}, {"NH3", 0.1}});
    SetMeter(2, 2, 1, 10);
}

void SetStage(int f, const std::string& gas, const std::string& kind, double t, bool before) {
    FlowmeterRecord& meter = Flowmeters[f];
    meter.FixGasUsed = 1;
    meter.FixGasBefore = before ? 1 : 0;
    meter.FixGas.Set(gas);
    meter.FixGasType.Set(kind);
    meter.FixGasT = t;
}
