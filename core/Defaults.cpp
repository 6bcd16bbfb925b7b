#include "core/Defaults.h"

#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "core/WindowInterface.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "files/SetupFiles.h"

#include <algorithm>

std::string DefaultSetupLocation = FactorySetupLocation;
std::string DefaultSetupBase;
int SchemeHeight = 600;
int SchemeWidth = 800;
int ShowEquilibrium = 1;
int ShowLogarithmic = 1;

std::string PlatformPath(const std::string& path) {
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
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

void InstallDefaults() {
    SchemeHeight = 600;
    SchemeWidth = 800;

    DefaultSetupBase = PlatformPath(DefaultSetupLocation);
    InputFileName = DefaultSetupBase + ".INP";
    CellFileName = DefaultSetupBase + ".CEL";
    CalibrationFileName = DefaultSetupBase + ".CAL";
    MixerFileName = DefaultSetupBase + ".MIX";

    CurrentTable = NoTable;
    CurrentCell = 1;
    CurrentInputMix = 1;
    CurrentFlowmeter = 1;
    StopRequested = false;
    Running = false;
    ShowEquilibrium = 1;
    ShowLogarithmic = 1;
    ProgressPause = 0.0;
    ErrorPause = 4.0;

    LoadedSetupFiles[InputFileRow][0] = "Inp";
    LoadedSetupFiles[MixerFileRow][0] = "Mix";
    LoadedSetupFiles[CalibrationFileRow][0] = "Cal";
    LoadedSetupFiles[CellFileRow][0] = "Out";
    Window().LoadedSetupFilesChanged();

    for (GasFraction& g : WorkGas)
        g.Fraction = 0;

    for (int c = 1; c <= CalibrationCount; ++c)
        SetDefaultCalibration(c);
    for (int i = 1; i <= FlowmeterCount; ++i) {
        SetDefaultFlowmeter(i);
        SetFlowmeterBox(i);
    }
    for (int n = 1; n <= MixtureCount; ++n) {
        SetDefaultMixture(n);
        SetMixtureBox(n);
    }
    for (int c = 1; c <= CellCount; ++c) {
        SetDefaultCell(c);
        SetCellBox(c);
    }
    for (int c = 1; c <= CellCount; ++c) {
        for (long double& a : FeedAmounts[c])
            a = 0;
        for (long double& a : CellAmounts[c])
            a = 0;
        for (long double& a : CellBestAmounts[c])
            a = 0;
    }

    Window().AddParameterTableRows();

    SetupElements();
    SetupCompounds();

    OpenFileSet(DefaultSetupBase);
}
