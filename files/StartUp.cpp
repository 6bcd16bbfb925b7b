// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/StartUp.h"

#include "core/Cat.h"
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
#include "files/FileSets.h"
#include "files/SetupFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

std::string DefaultSetupLocation = FactorySetupLocation;
std::string DefaultSetupBase;
std::string FirstStartExample;

std::string PlatformPath(const std::string& path) {
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

std::string DefaultSetupPath() {
    if (DefaultSetupLocation != FactorySetupLocation)
        return DefaultSetupLocation;
#ifdef _WIN32
    return PlatformPath(DefaultSetupLocation);
#else
    const QString named = qEnvironmentVariable(DefaultSetEnvironment);
    if (!named.isEmpty())
        return named.toStdString();
    // $XDG_DATA_HOME when it is an absolute path, else ~/.local/share: a relative one is to be
    // ignored, which Qt's own paths (QStandardPaths) do not do.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data.toStdString() + "/quorvane/Default";
#endif
}

void SetProgramIdentity() {
    // No organisation: Qt's per-user data folder is then the application's own, "quorvane".
    QCoreApplication::setOrganizationName(QString());
    QCoreApplication::setApplicationName(QStringLiteral("quorvane"));
}

std::string ExampleRigBeside(const std::string& programFolder) {
    for (const char* place : {"/../share/quorvane/examples/Example", "/../examples/Example"}) {
        const std::string base = programFolder + place;
        const std::array<std::string, 4> names = FileSetNames(base);
        if (std::all_of(names.begin(), names.end(), [](const std::string& name) {
                return QFileInfo(QString::fromStdString(name)).isFile();
            }))
            return QFileInfo(QString::fromStdString(base)).absoluteFilePath().toStdString();
    }
    return {};
}

namespace {

// Puts FirstStartExample in place of a default file set of which no file exists. Returns what
// the status line should say of it, and whether that is a failure.
std::pair<std::string, bool> InstallFirstStartExample() {
    if (FirstStartExample.empty())
        return {};
    std::string error;
    switch (InstallFileSet(FirstStartExample, DefaultSetupBase, error)) {
    case InstallResult::Installed:
        return {Cat("First start: the example rig was installed as the default file set ",
                    DefaultSetupBase),
                false};
    case InstallResult::AlreadyThere:
        return {};
    case InstallResult::Failed:
        break;
    }
    return {Cat("First start: no default file set installed at ", DefaultSetupBase, ": ", error),
            true};
}

} // namespace

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

    const auto [firstStart, failed] = InstallFirstStartExample();
    OpenFileSet(DefaultSetupBase);
    // Said after the files are read, so that it is what the status line shows at the start.
    if (failed)
        ShowStatusError(firstStart, 0.0);
    else if (!firstStart.empty())
        ShowStatusInfo(firstStart, 0.0);
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
    FirstStartExample.clear();
}
