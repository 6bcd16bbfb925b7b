// SPDX-License-Identifier: GPL-3.0-or-later
// Sweeps on a copy of the setup: every point as a single calculation of the rig with that value
// gives it, the global tables left alone, the values, progress and cancel, threads that share
// nothing, and the ranges a sweep takes.
#include "analysis/Sweep.h"
#include "analysis/AnalysisSupport.h"
#include "report/BatchRun.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using SweepTest = AnalysisTest;

SweepRequest Request(const std::string& text) {
    std::string error;
    const std::optional<SweepRequest> request = ParseSweep(text, error);
    EXPECT_TRUE(request) << text << ": " << error;
    return request.value_or(SweepRequest{});
}

TEST_F(SweepTest, EveryPointAgreesWithASingleCalculationWithThatValue) {
    // Each kind of parameter, over a range wide enough to move the equilibrium by decades: the
    // sweep starts each point from the one before, the calculation from the feed.
    for (const char* text :
         {"cell2.temperature=500:1100:5", "cell3.pressure=0.01:20:4", "flowmeter1.reading=10:95:4",
          "flowmeter1.stageTemperature=2:70:4", "flowmeter4.reading=0:60:3"}) {
        ReadExampleRig();
        const SweepRequest request = Request(text);
        const SweepResult sweep = RunSweep(CaptureRigSetup(), request);
        ASSERT_EQ(sweep.Points.size(), static_cast<std::size_t>(request.Points)) << text;
        for (const SweepPoint& point : sweep.Points) {
            ReadExampleRig();
            SetGlobally(request.Parameter, point.Value);
            ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged) << text;
            ExpectSameAsGlobal(point.Result,
                               std::string(text) + " at " + std::to_string(point.Value));
        }
    }
}

TEST_F(SweepTest, LeavesTheGlobalTablesAsTheyWereAndSaysNothingToTheWindow) {
    ReadExampleRig();
    ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged);
    Recorder.Clear();
    const std::vector<unsigned char> before = GlobalBytes();
    for (const char* text : {"flowmeter1.stageTemperature=5:80:6", "cell1.temperature=-300:20:3"}) {
        SweepRequest request = Request(text);
        RunSweep(CaptureRigSetup(), request);
        request.Solver = EquilibriumSolver::Pattern;
        request.Points = 2;
        RunSweep(CaptureRigSetup(), request);
    }
    EXPECT_TRUE(GlobalBytes() == before) << "a sweep changed a global table";
    EXPECT_TRUE(Recorder.Log.empty()) << Recorder.Log.front();
    EXPECT_TRUE(Recorder.Warnings.empty());
}

TEST_F(SweepTest, TakesEvenlySpacedValuesWithBothEndsAndReportsProgressUntilCancelled) {
    ReadExampleRig();
    SweepRequest request = Request("cell1.temperature=700:1000:7");
    std::vector<int> done;
    const SweepResult sweep =
        RunSweep(CaptureRigSetup(), request, nullptr, [&done](int points, int total) {
            EXPECT_EQ(total, 7);
            done.push_back(points);
        });
    EXPECT_EQ(done, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(sweep.Cancelled);
    ASSERT_EQ(sweep.Points.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_DOUBLE_EQ(sweep.Points[static_cast<std::size_t>(i)].Value, 700 + 50 * i);
        const CellPoint* cell = sweep.Points[static_cast<std::size_t>(i)].Result.Cell(1);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->Temperature, sweep.Points[static_cast<std::size_t>(i)].Value);
    }
    // The ends are the numbers given, whatever the rounding of the steps between.
    request = Request("cell1.temperature=0.1:0.7:3");
    EXPECT_EQ(request.Value(0), 0.1);
    EXPECT_EQ(request.Value(2), 0.7);
    request = Request("cell1.temperature=100:-100:2");
    EXPECT_EQ(request.Value(0), 100);
    EXPECT_EQ(request.Value(1), -100);

    std::atomic<bool> cancel{false};
    const SweepResult cancelled = RunSweep(CaptureRigSetup(), Request("cell1.pressure=1:2:50"),
                                           &cancel, [&cancel](int points, int) {
                                               if (points == 3)
                                                   cancel = true;
                                           });
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(cancelled.Points.size(), 3u);
}

// Two sweeps at once in two threads, each on its own copy, give what each gives alone: they
// share no table and no random generator.
TEST_F(SweepTest, SweepsInThreadsShareNothing) {
    ReadExampleRig();
    const RigSetup setup = CaptureRigSetup();
    SweepRequest exact = Request("flowmeter1.reading=20:90:8");
    SweepRequest pattern = Request("cell3.temperature=600:800:2");
    pattern.Solver = EquilibriumSolver::Pattern;
    const SweepResult exactAlone = RunSweep(setup, exact);
    const SweepResult patternAlone = RunSweep(setup, pattern);

    SweepResult exactThreaded;
    SweepResult patternThreaded;
    std::thread first([&] { exactThreaded = RunSweep(setup, exact); });
    std::thread second([&] { patternThreaded = RunSweep(setup, pattern); });
    first.join();
    second.join();

    const auto same = [](const SweepResult& a, const SweepResult& b) {
        if (a.Points.size() != b.Points.size())
            return false;
        for (std::size_t i = 0; i < a.Points.size(); ++i) {
            const auto& x = a.Points[i].Result.Cells;
            const auto& y = b.Points[i].Result.Cells;
            if (x.size() != y.size())
                return false;
            for (std::size_t c = 0; c < x.size(); ++c) {
                if (x[c].State != y[c].State || x[c].Equilibrium.size() != y[c].Equilibrium.size())
                    return false;
                for (std::size_t j = 0; j < x[c].Equilibrium.size(); ++j)
                    if (x[c].Equilibrium[j].Pressure != y[c].Equilibrium[j].Pressure)
                        return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(same(exactAlone, exactThreaded));
    EXPECT_TRUE(same(patternAlone, patternThreaded));
}

TEST_F(SweepTest, APointWhoseMixerFailsIsReportedAndTheSweepGoesOn) {
    ReadExampleRig();
    // Flowmeter 15 draws from an input mixture the mixer cannot use into a node of its own:
    // while it reads 0 it is skipped; once it reads a flow the node cannot be resolved.
    InputMixtures[16].Gas[1].Gas.Set("Xy");
    InputMixtures[16].Gas[1].Fraction = 1;
    Flowmeters[15].Input = 16;
    Flowmeters[15].Output = 4;
    const SweepResult sweep = RunSweep(CaptureRigSetup(), Request("flowmeter15.reading=0:10:3"));
    ASSERT_EQ(sweep.Points.size(), 3u);
    EXPECT_FALSE(sweep.Points[0].Result.MixerFailed);
    for (std::size_t i = 1; i < 3; ++i) {
        const RigPointResult& point = sweep.Points[i].Result;
        EXPECT_TRUE(point.MixerFailed);
        EXPECT_EQ(point.Failure, "Non-converging mixer!");
        ASSERT_EQ(point.Cells.size(), 4u);
        for (const CellPoint& cell : point.Cells)
            EXPECT_EQ(cell.State, MixerFailedState);
        EXPECT_NE(std::find(point.Messages.begin(), point.Messages.end(),
                            "Input mix 16 not properly defined"),
                  point.Messages.end());
    }
    for (const CellPoint& cell : sweep.Points[0].Result.Cells)
        EXPECT_TRUE(cell.Converged()) << cell.Index;
}

TEST_F(SweepTest, ParsesTheSweepAndNamesWhatIsWrongWithIt) {
    const SweepRequest request = Request("cell2.pressure=-1.5e-3:2E1:100000");
    EXPECT_EQ(request.Parameter.Name(), "cell2.pressure");
    EXPECT_EQ(request.From, -1.5e-3);
    EXPECT_EQ(request.To, 20);
    EXPECT_EQ(request.Points, 100000);
    EXPECT_EQ(request.Solver, EquilibriumSolver::Exact);

    const std::pair<const char*, const char*> refused[] = {
        {"cell2.pressure", "malformed sweep \"cell2.pressure\": expected NAME=FROM:TO:POINTS"},
        {"cell2.volume=1:2:3", "unknown parameter \"cell2.volume\""},
        {"cell12.pressure=1:2:3", "cell 12 out of range 1..8"},
        {"flowmeter0.reading=1:2:3", "flowmeter 0 out of range 1..16"},
        {"cell2.pressure=1:2", "malformed range \"1:2\": expected FROM:TO:POINTS"},
        {"cell2.pressure=1:2:3:4", "malformed range \"1:2:3:4\": expected FROM:TO:POINTS"},
        {"cell2.pressure=", "malformed range \"\": expected FROM:TO:POINTS"},
        {"cell2.pressure=a:2:3", "malformed range \"a:2:3\": FROM is not a number"},
        {"cell2.pressure=:2:3", "malformed range \":2:3\": FROM is not a number"},
        {"cell2.pressure=1:nan:3", "malformed range \"1:nan:3\": TO is not a number"},
        {"cell2.pressure=1:inf:3", "malformed range \"1:inf:3\": TO is not a number"},
        {"cell2.pressure=1:1e999:3", "malformed range \"1:1e999:3\": TO is not a number"},
        {"cell2.pressure=1 :2:3", "malformed range \"1 :2:3\": FROM is not a number"},
        {"cell2.pressure=1:2:1", "malformed range \"1:2:1\": POINTS is a whole number 2..100000"},
        {"cell2.pressure=1:2:100001", "POINTS is a whole number 2..100000"},
        {"cell2.pressure=1:2:2.5", "POINTS is a whole number 2..100000"},
        {"cell2.pressure=1:2:", "POINTS is a whole number 2..100000"},
        {"cell2.pressure=1:2:-3", "POINTS is a whole number 2..100000"},
    };
    for (const auto& [text, message] : refused) {
        std::string error;
        EXPECT_FALSE(ParseSweep(text, error)) << text;
        EXPECT_NE(error.find(message), std::string::npos) << text << ": " << error;
    }
}

} // namespace
