#include "TestSetup.h"

#include "core/Defaults.h"
#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/FormationReactions.h"
#include "files/SetupFiles.h"

#include <fstream>
#include <iterator>

void ResetProgramState() {
    InputMixtures = {};
    Mixtures = {};
    Flowmeters = {};
    Calibrations = {};
    Cells = {};
    FlowmeterBox = {};
    MixtureBox = {};
    CellBox = {};
    GasList = {};
    GasCount = 0;
    WorkGas = {};
    CellFeed = {};
    UsedElements = {};
    UsedElementCount = 0;
    EqSpecies = {};
    EqSpeciesCount = ReactionCount = 0;
    FeedAmounts = {};
    CellAmounts = {};
    CellBestAmounts = {};
    ElementTotals = {};
    ElementRatios = {};
    MainElement = {};
    CellPasses = {};
    CellBestError = {};
    MaxCellCycles = 0;
    MaxCellRunPasses = 0;
    MaxPassIterations = 0;
    CellSolver = EquilibriumSolver::Pattern;
    EqWorkList = {};
    BalanceMatrix = {};
    BalanceRightSides = {};
    ReactionMatrix = {};
    LogKeq = {};
    CurrentTable = NoTable;
    CurrentCell = CurrentInputMix = CurrentFlowmeter = 1;
    CurrentCalCurve = 0;
    Running = StopRequested = false;
    InputFileName.clear();
    MixerFileName.clear();
    CalibrationFileName.clear();
    CellFileName.clear();
    for (auto& row : LoadedSetupFiles)
        row[1].clear();
    DefaultSetupLocation = FactorySetupLocation;
}

void ProgramTest::SetUp() {
    ASSERT_TRUE(Temp.isValid());
    ResetProgramState();
    SetWindow(&Recorder);
    DefaultSetupLocation = DefaultBase();
    InstallDefaults();
    Recorder.Clear();
}

void ProgramTest::TearDown() {
    SetWindow(nullptr);
    DefaultSetupLocation = FactorySetupLocation;
}

std::string ProgramTest::TempPath(const std::string& name) const {
    return Temp.path().toStdString() + "/" + name;
}

std::string ProgramTest::DefaultBase() const {
    return TempPath("Default");
}

std::vector<char> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}
