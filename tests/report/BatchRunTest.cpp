// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/BatchRun.h"

#include "core/Calculate.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "equilibrium/CalcBounds.h"
#include "equilibrium/CellEquilibrium.h"
#include "report/CalcReport.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const Components ArgonAndOxygen = {{"Ar", 0.5}, {"O2", 0.5}};
// Never converges: solid carbon has no place in the gas balance.
const Components CarbonInArgon = {{"C(s)", 0.1}, {"Ar", 0.9}};
const Components WetHydrogen = {{"H2", 0.1}, {"H2O", 0.1}, {"Ar", 0.8}};
// No more oxygen than carbon: no equilibrium in positive amounts.
const Components PureCO = {{"CO", 1.0}};

// The line of the text report's cell table for a cell; its last columns are the state, the
// passes and the best error.
std::string CellLine(int cell) {
    ReportOptions options;
    options.Cell = cell;
    std::istringstream in(FormatReport(CalcOutcome::NotConverged, {}, options));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("OC " + std::to_string(cell) + "  ", 0) == 0)
            return line;
    return "";
}

std::string JsonStatus(CalcOutcome outcome) {
    const std::string json = FormatReport(outcome, {}, {ReportFormat::Json});
    return QJsonDocument::fromJson(QByteArray::fromStdString(json))
        .object()["status"]
        .toString()
        .toStdString();
}

} // namespace

using BatchRun = EquilibriumRun;

TEST_F(BatchRun, OutcomeAndExitStatusFollowTheMixerAndTheCells) {
    struct Case {
        const char* Title;
        std::function<void()> Rig;
        int MaxCycles;
        CalcOutcome Outcome;
        int Exit;
        const char* Status;
    };
    const std::vector<Case> cases = {
        {"argon and oxygen converge", [] { FeedCellOneAlone(ArgonAndOxygen); }, 20,
         CalcOutcome::Converged, 0, "converged"},
        {"no cell with a node has nothing left unconverged",
         [] {
             FeedCellOneAlone(ArgonAndOxygen);
             Cells[1].Mix = 0;
         },
         20, CalcOutcome::Converged, 0, "converged"},
        {"a flowmeter with a reading and no input",
         [] {
             FeedCellOneAlone(ArgonAndOxygen);
             SetMeter(1, 0, 1, 10);
         },
         20, CalcOutcome::MixerFailed, 1, "mixer-failed"},
        {"thirteen gases", [] { FeedThirteenGases(); }, 20, CalcOutcome::MixerFailed, 1,
         "mixer-failed"},
        {"carbon in argon within two cycles",
         [] {
             FeedCellOneAlone(CarbonInArgon);
             Cells[1].LeakO2 = Cells[1].LeakH2O = 0; // two species alone: quick passes
         },
         2, CalcOutcome::NotConverged, 3, "not-converged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SetUp();
        c.Rig();
        const CalcOutcome outcome = RunCalculation(c.MaxCycles);
        EXPECT_EQ(outcome, c.Outcome);
        EXPECT_EQ(ExitStatus(outcome), c.Exit);
        EXPECT_EQ(ActiveCalcBounds().Cycles, 0) << "the window's calculation stays unbounded";
        EXPECT_EQ(JsonStatus(outcome), c.Status);
        TearDown();
    }
}

TEST_F(BatchRun, BoundsOnPassesAndIterationsHoldForOneCalculationOnly) {
    FeedCellOneAlone(CarbonInArgon);
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0;

    const CalcOutcome outcome = RunCalculation(CalcBounds{2, 3, 1});

    EXPECT_EQ(outcome, CalcOutcome::NotConverged);
    EXPECT_EQ(CellPasses[1], 6); // three passes in each of two cycles
    EXPECT_EQ(PassesOf(1), 6);
    EXPECT_EQ(ActiveCalcBounds().Cycles, 0);
    EXPECT_EQ(ActiveCalcBounds().PassesPerCellRun, 0);
    EXPECT_EQ(ActiveCalcBounds().IterationsPerPass, 0);
    // One iteration grows the step from 1e-6 by the square root of 2 or shrinks it by that of 3.
    const std::string first = "blue: Cell 1   Iteration 1   ";
    const auto line = std::find_if(Recorder.Log.begin(), Recorder.Log.end(),
                                   [&](const auto& l) { return l.rfind(first, 0) == 0; });
    ASSERT_NE(line, Recorder.Log.end());
    const std::string step = line->substr(line->find("Perturbation: ") + 14, 12);
    EXPECT_TRUE(step == "  0.00000141" || step == "  0.00000058") << step;

    // Bounds above the run's own eleven passes change nothing.
    SetUp();
    FeedCellOneAlone(CarbonInArgon);
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0;
    RunCalculation(CalcBounds{1, 50, 500});
    EXPECT_EQ(CellPasses[1], 11);

    // A run inside bounds that a caller set puts the caller's back, not none.
    SetUp();
    FeedCellOneAlone(CarbonInArgon);
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0;
    {
        const ScopedCalcBounds outer({4, 5, 6});
        RunCalculation(CalcBounds{1, 2, 1});
        EXPECT_EQ(CellPasses[1], 2);
        const CalcBounds& active = ActiveCalcBounds();
        EXPECT_EQ(
            (std::vector<int>{active.Cycles, active.PassesPerCellRun, active.IterationsPerPass}),
            (std::vector<int>{4, 5, 6}));
    }
    EXPECT_EQ(ActiveCalcBounds().Cycles, 0);
}

TEST_F(BatchRun, ABoundedRunNamesEveryCellThatHasNotConvergedButTheWindowDoesNot) {
    FeedTwoCells(ArgonAndOxygen, CarbonInArgon);

    ASSERT_EQ(RunCalculation(CalcBounds{1, 0, 0}), CalcOutcome::NotConverged);

    EXPECT_EQ(Cells[1].State, CellRunState::Converged);
    EXPECT_EQ(Cells[2].State, CellRunState::Passed);
    // The best error as the text report writes it.
    const std::string line = CellLine(2);
    const std::string error = line.substr(line.find_last_of(' ') + 1);
    EXPECT_EQ(error.size(), 8u) << line; // as 9.19E-07
    EXPECT_EQ(Recorder.RedLines(),
              std::vector<std::string>{"red: Cell 2 has not converged: best error " + error +
                                       " after 11 passes"});

    // The window's calculation goes on until it is stopped, and says nothing.
    SetUp();
    FeedTwoCells(ArgonAndOxygen, CarbonInArgon);
    OnPass = [this] {
        if (PassesOf(2) == 22)
            CalcStartStopClick();
    };
    ASSERT_TRUE(Run1Click());
    EXPECT_EQ(Cells[2].State, CellRunState::Passed);
    EXPECT_EQ(Recorder.RedLines(), std::vector<std::string>{});
}

TEST_F(BatchRun, TheExactSolverSolvesEachFedCellOnceAndSaysWhyItCannot) {
    FeedTwoCells(WetHydrogen, PureCO);

    const CalcOutcome outcome = RunCalculation(CalcBounds{20, 0, 0, EquilibriumSolver::Exact});

    EXPECT_EQ(outcome, CalcOutcome::NotConverged);
    EXPECT_EQ(ExitStatus(outcome), 3);
    EXPECT_EQ(ActiveCalcBounds().Solver, EquilibriumSolver::Pattern)
        << "the window keeps its solver";
    EXPECT_EQ(Cells[1].State, CellRunState::Converged);
    EXPECT_EQ(Cells[2].State, CellRunState::Passed);
    EXPECT_EQ(CellPasses[1], 1);
    EXPECT_EQ(CellPasses[2], 1) << "one cycle: what it cannot solve it cannot solve again";
    // The reason, and no "has not converged" message without a best error to name.
    EXPECT_EQ(Recorder.RedLines(),
              std::vector<std::string>{
                  "red: Cell 2: no equilibrium: the feed holds no more oxygen than carbon"});
    // The best error is the pattern search's error measure at the answer, which is also where a
    // next run starts.
    EXPECT_EQ(CellBestError[1], ErrorOfShownAmounts(1));
    EXPECT_LT(CellBestError[1], 1e-12L);
    for (int j = 1; j <= EqSpeciesCount; ++j)
        EXPECT_EQ(CellAmounts[1][j], CellBestAmounts[1][j]) << j;
    // The cell without an answer has nothing to show.
    EXPECT_TRUE(std::isnan(CellBestError[2]));
    for (int j = 1; j <= EqSpeciesCount; ++j)
        EXPECT_TRUE(std::isnan(CellBestAmounts[2][j])) << j;
}

TEST(BatchWindow, WritesAndKeepsEveryErrorAndTheProgressOnRequestWithoutPausing) {
    for (const bool progress : {false, true}) {
        std::ostringstream out;
        BatchWindow window(out);
        window.ShowProgress = progress;
        SetWindow(&window);
        const auto start = std::chrono::steady_clock::now();
        ShowStatusError("Non-converging mixer!", 4.0);
        ShowStatusInfo("Cell 1   Iteration 1", 0.0);
        ShowStatusError("Input mix 2 not properly defined", 1.0);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        SetWindow(nullptr);

        EXPECT_LT(elapsed, std::chrono::seconds(1));
        std::vector<std::string> kept;
        for (const StatusMessage& m : window.Messages)
            kept.push_back(std::string(m.Colour == StatusColour::Red ? "red " : "blue ") + m.Text);
        if (progress) {
            EXPECT_EQ(out.str(), "error: Non-converging mixer!\ninfo: Cell 1   Iteration 1\n"
                                 "error: Input mix 2 not properly defined\n");
            EXPECT_EQ(kept, (std::vector<std::string>{"red Non-converging mixer!",
                                                      "blue Cell 1   Iteration 1",
                                                      "red Input mix 2 not properly defined"}));
        } else {
            EXPECT_EQ(out.str(), "error: Non-converging mixer!\n"
                                 "error: Input mix 2 not properly defined\n");
            EXPECT_EQ(kept, (std::vector<std::string>{"red Non-converging mixer!",
                                                      "red Input mix 2 not properly defined"}));
        }
    }
}
