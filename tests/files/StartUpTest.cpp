// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/StartUp.h"

#include "core/Calculate.h"
#include "core/Defaults.h"
#include "core/MixerNetwork.h"
#include "core/SchematicBoxes.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "equilibrium/CalcBounds.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/FormationReactions.h"
#include "files/SetupFiles.h"
#include "support/EquilibriumSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {
template <typename Record> bool AllBytesZero(const Record& r) {
    static const Record zero{};
    return std::memcmp(&r, &zero, sizeof(Record)) == 0;
}

// The list of current files before any file is named.
const std::array<std::array<std::string, 2>, 4> LabelsOnly = {{
    {"Inp", ""},
    {"Mix", ""},
    {"Cal", ""},
    {"Out", ""},
}};
} // namespace

using StartUp = ProgramTest;

TEST_F(StartUp, WithoutDefaultFilesEveryTableHoldsItsDefaults) {
    for (int i = 1; i <= 16; ++i)
        EXPECT_TRUE(AllBytesZero(InputMixtures[i])) << "input mixture " << i;

    for (int n = 1; n <= 32; ++n) {
        const MixtureRecord& m = Mixtures[n];
        EXPECT_EQ(m.Name.Str(), n <= 16 ? "None" : "") << n;
        EXPECT_EQ(m.Reserved1, 1.0);
        EXPECT_EQ(m.Flow, 0.0);
        EXPECT_EQ(m.Ready, 0);
        for (int j = 1; j <= 12; ++j) {
            EXPECT_TRUE(m.Gas[j].Gas.Empty());
            EXPECT_EQ(m.Gas[j].Fraction, 0.0);
        }
    }

    for (int i = 1; i <= 16; ++i) {
        const FlowmeterRecord& f = Flowmeters[i];
        EXPECT_EQ(f.Make.Str(), "None");
        EXPECT_EQ(f.Size.Str(), "None");
        EXPECT_EQ(f.Float.Str(), "None");
        EXPECT_EQ(f.Reserved1, 0.0);
        EXPECT_EQ(f.Reading, 0.0);
        EXPECT_EQ(f.Flow, 0.0);
        EXPECT_EQ(f.Input, 1);
        EXPECT_EQ(f.Output, (i + 1) / 2) << "flowmeter " << i;
        EXPECT_EQ(f.FixGas.Str(), "H2O");
        EXPECT_EQ(f.FixGasType.Str(), "Pure");
        EXPECT_EQ(f.FixGasT, 25.0);
        EXPECT_EQ(f.Reserved2, 0.0);
        EXPECT_EQ(f.FixGasUsed, 0);
        EXPECT_EQ(f.FixGasBefore, 1);
    }
    // Flowmeters pair up on the nodes.
    EXPECT_EQ(Flowmeters[1].Output, 1);
    EXPECT_EQ(Flowmeters[2].Output, 1);
    EXPECT_EQ(Flowmeters[15].Output, 8);
    EXPECT_EQ(Flowmeters[16].Output, 8);

    for (int c = 1; c <= 1000; ++c) {
        const CalibrationRecord& r = Calibrations[c];
        ASSERT_EQ(r.Make.Str(), "None") << c;
        ASSERT_EQ(r.Size.Str(), "None");
        ASSERT_EQ(r.Float.Str(), "None");
        ASSERT_TRUE(r.Gas.Empty());
        ASSERT_EQ(r.Temp, 25.0);
        ASSERT_EQ(r.Press, 1.0);
        ASSERT_EQ(r.Flowmeter, 0);
        ASSERT_EQ(r.Reserved, 0);
        for (int k = 1; k <= 20; ++k) {
            ASSERT_EQ(r.Point[k].Reading, 0.0);
            ASSERT_EQ(r.Point[k].Flow, 0.0);
        }
    }

    for (int c = 1; c <= 8; ++c) {
        const CellRecord& r = Cells[c];
        EXPECT_EQ(r.Name.Str(), "None");
        EXPECT_EQ(r.Pressure, 1.0);
        EXPECT_EQ(r.Temperature, 25.0);
        EXPECT_EQ(r.Mix, c);
        EXPECT_EQ(r.State, CellRunState::NotCalculated);
        EXPECT_EQ(r.LeakO2, 1e-5);
        EXPECT_EQ(r.LeakN2, 0.0);
        EXPECT_EQ(r.LeakH2, 0.0);
        EXPECT_EQ(r.LeakH2O, 3e-5);
        for (int j = 1; j <= 12; ++j) {
            EXPECT_EQ(FeedAmounts[c][j], 0.0L);
            EXPECT_EQ(CellAmounts[c][j], 0.0L);
            EXPECT_EQ(CellBestAmounts[c][j], 0.0L);
        }
    }
    for (int j = 1; j <= 12; ++j)
        EXPECT_EQ(WorkGas[j].Fraction, 0.0);
}

TEST_F(StartUp, WithoutDefaultFilesSelectionStateAndNamesAreSetAndNothingIsShown) {
    ResetProgramState();
    CurrentTable = CalibrationTable;
    CurrentCell = 5;
    Running = StopRequested = true;
    ErrorPause = 0;
    DefaultSetupLocation = DefaultBase();
    Recorder.Clear();
    InstallDefaults();

    EXPECT_EQ(CurrentTable, NoTable);
    EXPECT_EQ(CurrentCell, 1);
    EXPECT_EQ(CurrentInputMix, 1);
    EXPECT_EQ(CurrentFlowmeter, 1);
    EXPECT_FALSE(Running);
    EXPECT_FALSE(StopRequested);
    EXPECT_EQ(ShowEquilibrium, 1);
    EXPECT_EQ(ShowLogarithmic, 1);
    EXPECT_EQ(ErrorPause, 4.0);
    EXPECT_EQ(ProgressPause, 0.0);
    EXPECT_EQ(SchemeHeight, 600);
    EXPECT_EQ(SchemeWidth, 800);
    EXPECT_EQ(CompoundCount, 13);
    EXPECT_EQ(Elements[8].Symbol.Str(), "O");

    EXPECT_EQ(DefaultSetupBase, DefaultBase());
    EXPECT_EQ(InputFileName, DefaultBase() + ".INP");
    EXPECT_EQ(MixerFileName, DefaultBase() + ".MIX");
    EXPECT_EQ(CalibrationFileName, DefaultBase() + ".CAL");
    EXPECT_EQ(CellFileName, DefaultBase() + ".CEL");

    EXPECT_EQ(LoadedSetupFiles, LabelsOnly);
    EXPECT_TRUE(Recorder.StatusLines().empty());
}

TEST(DefaultSetupBase, FactoryLocationResolvesFromTheRootWithSlashes) {
    EXPECT_EQ(PlatformPath(FactorySetupLocation), "/Program files/Blendora/Default");
    EXPECT_EQ(PlatformPath("/already/a/path"), "/already/a/path");
}

TEST_F(StartUp, AnyBaseButTheBuiltInLocationIsTakenAsItIs) {
    // Two sets whose names differ only in a backslash and a slash: the one named is read.
    ASSERT_TRUE(QDir(QString::fromStdString(TempPath("back"))).mkpath("."));
    Cells[1].Name.Set("slash");
    SaveFileSet(TempPath("back/slash"));
    Cells[1].Name.Set("backslash");
    SaveFileSet(TempPath("back\\slash"));

    ResetProgramState();
    DefaultSetupLocation = TempPath("back\\slash");
    InstallDefaults();
    EXPECT_EQ(DefaultSetupBase, TempPath("back\\slash"));
    EXPECT_EQ(CellFileName, TempPath("back\\slash.CEL"));
    EXPECT_EQ(Cells[1].Name.Str(), "backslash");
}

TEST_F(StartUp, ReadsTheDefaultFileSetAndReportsItsBadMixture) {
    // Prepare a default file set: mixture 5 names "o2", which is not a species formula.
    InputMixtures[2].Name.Set("H2 in Ar");
    InputMixtures[2].Gas[1].Gas.Set("H2");
    InputMixtures[2].Gas[1].Fraction = 0.05;
    InputMixtures[2].Gas[2].Gas.Set("Ar");
    InputMixtures[2].Gas[2].Fraction = 0.95;
    InputMixtures[5].Gas[1].Gas.Set("o2");
    InputMixtures[5].Gas[1].Fraction = 1;
    Cells[3].Temperature = 800;
    Flowmeters[4].Reading = 42;
    Calibrations[7].Gas.Set("Ar");
    SaveInputFile();
    SaveMixerFile();
    SaveCalibrationFile();
    SaveCellFile();

    ResetProgramState();
    DefaultSetupLocation = DefaultBase();
    Recorder.Clear();
    InstallDefaults();

    EXPECT_EQ(InputMixtures[2].Name.Str(), "H2 in Ar");
    EXPECT_EQ(InputMixtures[2].Ready, 1);
    EXPECT_EQ(InputMixtures[5].Ready, 0);
    EXPECT_EQ(Flowmeters[4].Reading, 42.0);
    EXPECT_EQ(Calibrations[7].Gas.Str(), "Ar");
    EXPECT_EQ(Cells[3].Temperature, 800.0);
    EXPECT_EQ(LoadedSetupFiles[InputFileRow][1], DefaultBase() + ".INP");
    EXPECT_EQ(LoadedSetupFiles[MixerFileRow][1], DefaultBase() + ".MIX");
    EXPECT_EQ(LoadedSetupFiles[CalibrationFileRow][1], DefaultBase() + ".CAL");
    EXPECT_EQ(LoadedSetupFiles[CellFileRow][1], DefaultBase() + ".CEL");
    const std::vector<std::string> expected = {"red: Input mix 5 not properly defined"};
    EXPECT_EQ(Recorder.StatusLines(), expected);
}

TEST_F(StartUp, LaysOutTheSchematicBoxesAndLineLevels) {
    struct Expected {
        const char* Element;
        const SchematicBox& Box;
        SchematicBox Want;
    };
    const Expected cases[] = {
        {"flowmeter 1", FlowmeterBox[1], {2, 271, 44, 391, 24}},
        {"flowmeter 2", FlowmeterBox[2], {52, 271, 94, 391, 74}},
        {"flowmeter 16", FlowmeterBox[16], {752, 271, 794, 391, 774}},
        {"input mixture 1", MixtureBox[1], {2, 584, 44, 618, 24}},
        {"input mixture 16", MixtureBox[16], {752, 584, 794, 618, 774}},
        // A node box gets its columns only when it is drawn.
        {"node M1", MixtureBox[17], {0, 151, 0, 186, 0}},
        {"node M16", MixtureBox[32], {0, 151, 0, 186, 0}},
        {"cell 1", CellBox[1], {4, 26, 88, 91, 46}},
        {"cell 8", CellBox[8], {704, 26, 788, 91, 746}},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.Element);
        EXPECT_EQ(c.Box.Left, c.Want.Left);
        EXPECT_EQ(c.Box.Top, c.Want.Top);
        EXPECT_EQ(c.Box.Right, c.Want.Right);
        EXPECT_EQ(c.Box.Bottom, c.Want.Bottom);
        EXPECT_EQ(c.Box.PortX, c.Want.PortX);
    }

    // 0.42 x 600 in extended precision falls just below 252.
    EXPECT_EQ(SchemeLevel(), 251);
    const std::pair<int, int> inputBuses[] = {{0, 567}, {1, 564}, {16, 519}, {17, 516}, {32, 471}};
    for (const auto& [n, y] : inputBuses)
        EXPECT_EQ(InputBusY(n), y) << "input bus of mixture " << n;
    EXPECT_EQ(OutputBusY(1), 138);
    EXPECT_EQ(OutputBusY(16), 93);
    EXPECT_EQ(ConnectorX(7), FlowmeterBox[7].Right + 4);
    EXPECT_EQ(ConnectorX(16), 798);
}

TEST_F(StartUp, StartsOnTheGivenFileSetAloneAndTellsWhichFilesItRead) {
    // A default file set with curves and cells of its own, which must not be read.
    Calibrations[1].Make.Set("Default");
    Cells[1].Name.Set("Default");
    SaveFileSet(DefaultBase());
    // The rig: only its input mixtures and its cells.
    ResetProgramState();
    DefaultSetupLocation = DefaultBase();
    InstallDefaults();
    SetInputMix(3, {{"o2", 1.0}}); // not a formula: the check says so while the rig is read
    Cells[1].Name.Set("Rig");
    SaveFileSet(TempPath("rig"));
    QFile::remove(QString::fromStdString(TempPath("rig.MIX")));
    QFile::remove(QString::fromStdString(TempPath("rig.CAL")));
    // The program holds the default set's curves: starting on the rig must not keep them.
    ASSERT_EQ(Calibrations[1].Make.Str(), "Default");
    Recorder.Clear();

    const std::array<bool, 4> read = StartOnFileSet(TempPath("rig"));

    EXPECT_EQ(read, (std::array<bool, 4>{true, false, false, true}));
    EXPECT_EQ(Cells[1].Name.Str(), "Rig");
    EXPECT_EQ(Calibrations[1].Make.Str(), "None");
    EXPECT_EQ(InputMixtures[3].Ready, 0);
    EXPECT_EQ(Recorder.StatusLines(),
              std::vector<std::string>{"red: Input mix 3 not properly defined"});
    EXPECT_EQ(CompoundCount, 13) << "the species table is built";
}

using ProgramReset = EquilibriumRun;

// Each file that holds program state resets its own; ResetProgramState must reach every one of
// them, or what one test leaves behind reaches the next.
TEST_F(ProgramReset, LeavesWhatEveryOwnerHoldsAsBeforeStartUp) {
    FeedCellOneAlone({{"Ar", 0.5}, {"O2", 0.5}});
    ASSERT_TRUE(Run1Click());
    ASSERT_EQ(Cells[1].State, CellRunState::Converged);
    CurrentTable = CellTable;
    CurrentCell = CurrentInputMix = CurrentFlowmeter = 3;
    CurrentCalCurve = 7;
    Running = StopRequested = true;
    SchemeHeight = 10;
    ErrorPause = ProgressPause = 9;
    ShowEquilibrium = ShowLogarithmic = 0;
    SaveFileSet(TempPath("rig"));
    FirstStartExample = TempPath("example");
    const ScopedCalcBounds bounds({1, 2, 3, EquilibriumSolver::Exact});

    ResetProgramState();

    // Records and whole tables of them byte by byte; the extended reals by value, since their
    // storage holds padding that arithmetic may leave as it likes.
    const auto zero = [](const auto& table) {
        using Table = std::decay_t<decltype(table)>;
        static const Table empty{};
        return std::memcmp(&table, &empty, sizeof(Table)) == 0;
    };
    const auto zeroAmounts = [](const auto& table) {
        for (const auto& row : table)
            for (const long double x : row)
                if (x != 0)
                    return false;
        return true;
    };
    // The setup tables, their working lists and the selection and run state.
    EXPECT_TRUE(zero(InputMixtures));
    EXPECT_TRUE(zero(Mixtures));
    EXPECT_TRUE(zero(Flowmeters));
    EXPECT_TRUE(zero(Calibrations));
    EXPECT_TRUE(zero(Cells));
    EXPECT_TRUE(zero(GasList));
    EXPECT_EQ(GasCount, 0);
    EXPECT_TRUE(zero(WorkGas));
    EXPECT_TRUE(zero(CellFeed));
    EXPECT_EQ(CurrentTable, NoTable);
    EXPECT_EQ(CurrentCell, 1);
    EXPECT_EQ(CurrentInputMix, 1);
    EXPECT_EQ(CurrentFlowmeter, 1);
    EXPECT_EQ(CurrentCalCurve, 0);
    EXPECT_FALSE(Running);
    EXPECT_FALSE(StopRequested);
    // The schematic's layout, the network, the status line and the results view.
    EXPECT_EQ(SchemeHeight, 600);
    EXPECT_EQ(SchemeWidth, 800);
    EXPECT_TRUE(zero(FlowmeterBox));
    EXPECT_TRUE(zero(MixtureBox));
    EXPECT_TRUE(zero(CellBox));
    EXPECT_EQ(NetworkSweeps, 0);
    EXPECT_EQ(ErrorPause, 4.0);
    EXPECT_EQ(ProgressPause, 0.0);
    EXPECT_EQ(ShowEquilibrium, 1);
    EXPECT_EQ(ShowLogarithmic, 1);
    // The files.
    EXPECT_TRUE(InputFileName.empty() && MixerFileName.empty() && CalibrationFileName.empty() &&
                CellFileName.empty());
    EXPECT_EQ(LoadedSetupFiles, LabelsOnly);
    EXPECT_EQ(DefaultSetupLocation, FactorySetupLocation);
    EXPECT_EQ(DefaultSetupBase, "");
    EXPECT_EQ(FirstStartExample, "");
    // The species and the equilibrium run.
    EXPECT_EQ(CompoundCount, 0);
    EXPECT_EQ(Compounds[1].Formula, "");
    EXPECT_EQ(Elements[8].Symbol.Str(), "");
    EXPECT_EQ(UsedElementCount, 0);
    EXPECT_EQ(EqSpeciesCount, 0);
    EXPECT_EQ(ReactionCount, 0);
    EXPECT_TRUE(zero(EqSpecies));
    EXPECT_TRUE(zeroAmounts(FeedAmounts));
    EXPECT_TRUE(zeroAmounts(CellAmounts));
    EXPECT_TRUE(zeroAmounts(CellBestAmounts));
    EXPECT_TRUE(zero(ElementTotals));
    EXPECT_TRUE(zero(ElementRatios));
    EXPECT_TRUE(zero(MainElement));
    EXPECT_TRUE(zero(CellPasses));
    for (const long double error : CellBestError)
        EXPECT_EQ(error, 0);
    EXPECT_TRUE(zeroAmounts(BalanceMatrix));
    EXPECT_TRUE(zeroAmounts(ReactionMatrix));
    for (const long double logK : LogKeq)
        EXPECT_EQ(logK, 0);
    const CalcBounds& active = ActiveCalcBounds();
    EXPECT_EQ(active.Cycles + active.PassesPerCellRun + active.IterationsPerPass, 0);
    EXPECT_EQ(active.Solver, EquilibriumSolver::Pattern);
}
