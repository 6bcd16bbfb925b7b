// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Defaults.h"

#include "core/SetupTables.h"

int ShowEquilibrium = 1;
int ShowLogarithmic = 1;

void ResetViewFlags() {
    ShowEquilibrium = 1;
    ShowLogarithmic = 1;
}

namespace {
// Flowmeters and calibration curves start as make, size and float "None".
template <typename Record> void SetNoFlowmeterType(Record& r) {
    r.Make.Set("None");
    r.Size.Set("None");
    r.Float.Set("None");
}
} // namespace

CalibrationRecord DefaultCalibration() {
    CalibrationRecord r{};
    SetNoFlowmeterType(r);
    r.Temp = 25.0;
    r.Press = 1.0;
    return r;
}

FlowmeterRecord DefaultFlowmeter(int i) {
    FlowmeterRecord r{};
    SetNoFlowmeterType(r);
    r.Input = 1;
    r.Output = static_cast<std::uint16_t>((i + 1) / 2); // flowmeters 1 and 2 feed node 1, ...
    r.FixGas.Set("H2O");
    r.FixGasType.Set("Pure");
    r.FixGasT = 25.0;
    r.FixGasUsed = 0;
    r.FixGasBefore = 1;
    return r;
}

CellRecord DefaultCell(int c) {
    CellRecord r{};
    r.Name.Set("None");
    r.Pressure = 1.0;
    r.Temperature = 25.0;
    r.Mix = static_cast<std::uint16_t>(c);
    r.LeakO2 = 1e-5;
    r.LeakH2O = 3e-5;
    return r;
}

void SetDefaultCalibration(int c) {
    Calibrations[c] = DefaultCalibration();
}

void SetDefaultFlowmeter(int i) {
    Flowmeters[i] = DefaultFlowmeter(i);
}

void SetDefaultMixture(int n) {
    MixtureRecord& r = Mixtures[n];
    r = MixtureRecord{};
    r.Name.Set(n <= InputMixtureCount ? "None" : "");
    r.Reserved1 = 1.0;
}

void SetDefaultCell(int c) {
    Cells[c] = DefaultCell(c);
}
