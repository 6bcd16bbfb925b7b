#include "files/StartUp.h"

#include "core/Defaults.h"
#include "core/MixerNetwork.h"
#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "core/WindowInterface.h"
#include "equilibrium/CalcBounds.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/FormationReactions.h"
#include "files/SetupFiles.h"

#include <algorithm>

std::string DefaultSetupLocation = FactorySetupLocation;
std::string DefaultSetupBase;

std::string PlatformPath(const std::string& path) {
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string DefaultSetupPath() {
    if (DefaultSetupLocation == FactorySetupLocation)
        return PlatformPath(DefaultSetupLocation);
    return DefaultSetupLocation;
}

void InstallDefaults() {
    // The design area of the schematic; its boxes are laid out with their records below.
    ResetSchematicBoxes();

    DefaultSetupBase = DefaultSetupPath();
    SetCurrentFileNames(DefaultSetupBase);

    ResetSelectionState();
    ResetViewFlags();
    ResetStatusLine();

    ResetLoadedSetupFiles();
    Window().LoadedSetupFilesChanged();

    WorkGas = {};

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
    // No run yet: no feed amounts and no cell amounts.
    ResetEquilibriumRun();

    Window().AddParameterTableRows();

    SetupElements();
    SetupCompounds();

    OpenFileSet(DefaultSetupBase);
}

std::array<bool, 4> StartOnFileSet(const std::string& base) {
    ResetProgramState();
    DefaultSetupLocation = base;
    InstallDefaults();
    std::array<bool, 4> read{};
    for (int row = InputFileRow; row <= CellFileRow; ++row)
        read[std::size_t(row)] = !LoadedSetupFiles[std::size_t(row)][1].empty();
    return read;
}

void ResetProgramState() {
    ResetSetupTables();
    ResetSchematicBoxes();
    ResetMixerNetwork();
    ResetStatusLine();
    ResetViewFlags();
    ResetSetupFiles();
    ResetChemicalData();
    ResetEquilibriumRun();
    ResetFormationReactions();
    ResetCalcBounds();
    DefaultSetupLocation = FactorySetupLocation;
    DefaultSetupBase.clear();
}
