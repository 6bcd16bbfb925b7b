// SPDX-License-Identifier: GPL-3.0-or-later
// A point on a copy of the setup against the window's own calculation of the same rig, and the
// copy's promise: the global tables stay as they were, and no message reaches the window.
#include "analysis/RigPoint.h"
#include "analysis/AnalysisSupport.h"
#include "analysis/RigParameter.h"
#include "report/BatchRun.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using RigPointTest = AnalysisTest;

TEST_F(RigPointTest, AgreesWithTheGlobalCalculationOfTheSameRigWithEachParameterSet) {
    struct Case {
        const char* Name;
        double Value;
    };
    const Case cases[] = {
        {"cell1.temperature", 950}, // the rig as it is
        {"cell2.temperature", 600},
        {"cell4.temperature", 1200},
        {"cell3.pressure", 0.2},
        {"cell1.pressure", 5},
        {"flowmeter1.reading", 35},
        {"flowmeter3.reading", 0},
        {"flowmeter1.stageTemperature", 45},
    };
    for (const Case& c : cases) {
        ReadExampleRig();
        const RigParameter parameter = Parsed(c.Name);
        RigSetup setup = CaptureRigSetup();
        SetRigParameter(parameter, setup, c.Value);
        EXPECT_EQ(RigParameterValue(parameter, setup), c.Value);
        const RigPointResult point = RunRigPoint(setup);
        EXPECT_FALSE(point.MixerFailed) << c.Name;

        SetGlobally(parameter, c.Value);
        ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged) << c.Name;
        ExpectSameAsGlobal(point, std::string(c.Name) + " = " + std::to_string(c.Value));
    }
}

TEST_F(RigPointTest, AWarmStartFromANeighbourGivesTheAnswerOfAStartFromTheFeed) {
    ReadExampleRig();
    for (const char* name : {"cell2.temperature", "flowmeter1.stageTemperature"}) {
        const RigParameter parameter = Parsed(name);
        RigSetup setup = CaptureRigSetup();
        SetRigParameter(parameter, setup, 30);
        const RigPointResult neighbour = RunRigPoint(setup);
        SetRigParameter(parameter, setup, 70);
        RigPointOptions options;
        options.WarmStart = &neighbour;
        const RigPointResult warm = RunRigPoint(setup, options);

        SetGlobally(parameter, 70);
        ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged) << name;
        ExpectSameAsGlobal(warm, std::string(name) + " warm");
        ReadExampleRig();
    }
}

TEST_F(RigPointTest, PointsLeaveEveryGlobalTableAsItWasAndSayNothingToTheWindow) {
    ReadExampleRig();
    ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged);
    Recorder.Clear();
    const std::vector<unsigned char> before = GlobalBytes();

    RigSetup setup = CaptureRigSetup();
    // A temperature below the species data, a cell out of range, a failing mixer, the pattern
    // search: each has messages, all of which stay with the point.
    SetRigParameter(Parsed("cell1.temperature"), setup, -100);
    SetRigParameter(Parsed("cell2.pressure"), setup, -1);
    SetRigParameter(Parsed("flowmeter1.reading"), setup, 35);
    const RigPointResult cold = RunRigPoint(setup);
    EXPECT_NE(std::find(cold.Messages.begin(), cold.Messages.end(),
                        "Cell 2: temperature or pressure out of range"),
              cold.Messages.end());
    EXPECT_NE(std::find(cold.Messages.begin(), cold.Messages.end(),
                        "Temperature below range of thermochemical data set"),
              cold.Messages.end());
    ASSERT_NE(cold.Cell(2), nullptr);
    EXPECT_EQ(cold.Cell(2)->State, "not calculated");

    RigPointOptions pattern;
    pattern.Solver = EquilibriumSolver::Pattern;
    pattern.PatternCycles = 1;
    RunRigPoint(setup, pattern);

    // Two flowmeters that feed each other's node: the network never resolves.
    SetRigParameter(Parsed("cell2.pressure"), setup, 1);
    setup.Flowmeters[15].Input = static_cast<std::uint16_t>(NodeMixture(5));
    setup.Flowmeters[15].Output = 6;
    setup.Flowmeters[15].Reading = 10;
    setup.Flowmeters[16].Input = static_cast<std::uint16_t>(NodeMixture(6));
    setup.Flowmeters[16].Output = 5;
    setup.Flowmeters[16].Reading = 10;
    const RigPointResult failed = RunRigPoint(setup);
    EXPECT_TRUE(failed.MixerFailed);
    EXPECT_EQ(failed.Failure, "Non-converging mixer!");
    ASSERT_FALSE(failed.Cells.empty());
    for (const CellPoint& cell : failed.Cells) {
        EXPECT_EQ(cell.State, MixerFailedState);
        EXPECT_TRUE(cell.Feed.empty());
        EXPECT_TRUE(cell.Equilibrium.empty());
    }

    EXPECT_TRUE(GlobalBytes() == before) << "a point changed a global table";
    EXPECT_TRUE(Recorder.Log.empty()) << Recorder.Log.front();
    EXPECT_TRUE(Recorder.Warnings.empty());
}

TEST_F(RigPointTest, ThePatternSearchThroughTheSameEntryFindsTheExactAnswer) {
    ReadExampleRig();
    RigSetup setup = CaptureRigSetup();
    const RigPointResult exact = RunRigPoint(setup);
    RigPointOptions options;
    options.Solver = EquilibriumSolver::Pattern;
    options.Seed = 7;
    const RigPointResult pattern = RunRigPoint(setup, options);
    ASSERT_EQ(pattern.Cells.size(), exact.Cells.size());
    int compared = 0;
    for (std::size_t i = 0; i < exact.Cells.size(); ++i) {
        const CellPoint& e = exact.Cells[i];
        const CellPoint& p = pattern.Cells[i];
        SCOPED_TRACE("cell " + std::to_string(e.Index));
        ASSERT_TRUE(e.Converged());
        ASSERT_EQ(p.Equilibrium.size(), e.Equilibrium.size());
        if (!p.Converged())
            continue; // the pattern search may stop short; its best point is then no answer
        ++compared;
        for (std::size_t j = 0; j < e.Equilibrium.size(); ++j) {
            if (e.Equilibrium[j].Pressure > 1e-12L) {
                EXPECT_NEAR(static_cast<double>(std::log10(p.Equilibrium[j].Pressure)),
                            static_cast<double>(std::log10(e.Equilibrium[j].Pressure)), 1e-3)
                    << e.Equilibrium[j].Species;
            }
        }
    }
    EXPECT_GT(compared, 0) << "the pattern search converged on no cell";
}

TEST_F(RigPointTest, ParameterNamesAndTheirChecksOnTheRig) {
    ReadExampleRig();
    // Flowmeter 9 of the example rig: no stage in use; give flowmeter 10 a drying agent and
    // flowmeter 11 a saturator on a gas it cannot saturate, and take flowmeter 12's output.
    Flowmeters[10].FixGasUsed = 1;
    Flowmeters[10].FixGasType.Set("DRY");
    Flowmeters[11].FixGasUsed = 1;
    Flowmeters[11].FixGasType.Set("PURE");
    Flowmeters[11].FixGas.Set("O2");
    Flowmeters[12].Output = 0;
    Flowmeters[13].Input = 0;
    Flowmeters[14].FixGasUsed = 0;
    const RigSetup setup = CaptureRigSetup();
    struct Case {
        const char* Name;
        const char* ParseError; // empty: parses
        const char* CheckError; // empty: may be varied
    };
    const Case cases[] = {
        {"cell1.temperature", "", ""},
        {"cell8.pressure", "", ""},
        {"flowmeter1.reading", "", ""},
        {"flowmeter1.stageTemperature", "", ""},
        {"flowmeter16.reading", "", ""},
        {"cell0.temperature", "cell 0 out of range 1..8 in \"cell0.temperature\"", ""},
        {"cell9.pressure", "cell 9 out of range 1..8 in \"cell9.pressure\"", ""},
        {"flowmeter17.reading", "flowmeter 17 out of range 1..16 in \"flowmeter17.reading\"", ""},
        {"flowmeter99999999999999999999.reading",
         "flowmeter 99999999999999999999 out of range 1..16 in "
         "\"flowmeter99999999999999999999.reading\"",
         ""},
        {"cell1.volume", "unknown parameter \"cell1.volume\"", ""},
        {"cell.temperature", "unknown parameter \"cell.temperature\"", ""},
        {"cellA.temperature", "unknown parameter \"cellA.temperature\"", ""},
        {"cell+1.temperature", "unknown parameter \"cell+1.temperature\"", ""},
        {"flowmeter1.temperature", "unknown parameter \"flowmeter1.temperature\"", ""},
        {"cell1.reading", "unknown parameter \"cell1.reading\"", ""},
        {"Cell1.temperature", "unknown parameter \"Cell1.temperature\"", ""},
        {"temperature", "unknown parameter \"temperature\"", ""},
        {"", "unknown parameter \"\"", ""},
        {"flowmeter12.reading", "", "flowmeter 12 has no input or no output"},
        {"flowmeter13.reading", "", "flowmeter 13 has no input or no output"},
        {"flowmeter9.stageTemperature", "", "flowmeter 9 has no conditioning stage in use"},
        {"flowmeter10.stageTemperature", "", "flowmeter 10's stage is not a saturator"},
        {"flowmeter11.stageTemperature", "", "flowmeter 11's stage is not a saturator"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string error;
        const std::optional<RigParameter> parameter = ParseRigParameter(c.Name, error);
        if (*c.ParseError != 0) {
            EXPECT_FALSE(parameter);
            EXPECT_EQ(error.rfind(c.ParseError, 0), 0u) << error;
            continue;
        }
        ASSERT_TRUE(parameter) << error;
        EXPECT_EQ(parameter->Name(), c.Name);
        const std::string check = CheckRigParameter(*parameter, setup);
        if (*c.CheckError == 0)
            EXPECT_EQ(check, "");
        else
            EXPECT_EQ(check.rfind(c.CheckError, 0), 0u) << check;
    }
}

TEST_F(RigPointTest, AParameterWritesTheFieldItNamesOnTheCopyAlone) {
    ReadExampleRig();
    RigSetup setup = CaptureRigSetup();
    struct Case {
        const char* Name;
        double* Field;
    };
    const Case cases[] = {
        {"cell3.temperature", &setup.Cells[3].Temperature},
        {"cell3.pressure", &setup.Cells[3].Pressure},
        {"flowmeter5.reading", &setup.Flowmeters[5].Reading},
        {"flowmeter5.stageTemperature", &setup.Flowmeters[5].FixGasT},
    };
    const std::vector<unsigned char> before = GlobalBytes();
    double value = 11.5;
    for (const Case& c : cases) {
        const RigParameter parameter = Parsed(c.Name);
        SetRigParameter(parameter, setup, value);
        EXPECT_EQ(*c.Field, value) << c.Name;
        EXPECT_EQ(RigParameterValue(parameter, setup), value) << c.Name;
        value += 1;
    }
    EXPECT_TRUE(GlobalBytes() == before);
}

} // namespace
