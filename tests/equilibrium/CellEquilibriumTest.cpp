// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/CellEquilibrium.h"

#include "core/Calculate.h"
#include "core/Cat.h"
#include "core/Defaults.h"
#include "equilibrium/CalcBounds.h"
#include "equilibrium/FormationReactions.h"
#include "equilibrium/GibbsEnergy.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <numbers>
#include <string>
#include <vector>

using namespace CellRunState;

namespace {
const Components ArgonAndOxygen = {{"Ar", 0.5}, {"O2", 0.5}};
const Components Argon = {{"Ar", 1.0}};
// Solid carbon has no place in the gas balance, so a cell fed with it as a gas can never meet
// its carbon row: it does not converge, and the run goes on until the user stops it.
const Components CarbonInArgon = {{"C(s)", 0.1}, {"Ar", 0.9}};

const std::string Start = "caption &Calculate Start";

std::vector<int> UsedElementList() {
    std::vector<int> elements;
    for (int k = 1; k <= UsedElementCount; ++k)
        elements.push_back(UsedElements[k]);
    return elements;
}

std::vector<int> States() {
    std::vector<int> states;
    for (const CellRecord& cell : Cells)
        states.push_back(cell.State);
    return states;
}

// The states of cells 1, 2, ... as given, and every other cell not calculated.
std::vector<int> FirstStates(std::initializer_list<int> first) {
    std::vector<int> states(first);
    states.resize(CellCount, NotCalculated);
    return states;
}

// Entries 1..n of a table.
template <typename Table> std::vector<long double> Leading(const Table& v, int n) {
    return std::vector<long double>(v.begin(), v.begin() + n);
}

// What the run asks of the window while it prepares the cells.
std::vector<std::string> Prepared() {
    std::vector<std::string> log;
    for (int c = 1; c <= CellCount; ++c)
        log.push_back("DrawCell " + std::to_string(c));
    log.push_back("ShowCellResults");
    return log;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
} // namespace

using CellEquilibrium = EquilibriumRun;

TEST_F(CellEquilibrium, RunListsFollowTheFeedsOfAllCells) {
    SetCellFeeds({ArgonAndOxygen, {{"H2", 1.0}}});

    ASSERT_TRUE(SelectEquilibriumSpecies());
    EXPECT_EQ(UsedElementList(), (std::vector<int>{1, 8, 18}));
    for (int e = 1; e <= ElementNumberCount; ++e)
        EXPECT_EQ(Elements[e].Used, e == 1 || e == 8 || e == 18) << e;
    // Ozone has all its elements, but it is not enabled.
    EXPECT_EQ(EqSpeciesFormulas(), (std::vector<std::string>{"H2", "O2", "Ar", "H2O"}));
    EXPECT_EQ(ReactionCount, 1);
    for (int i = 1; i <= CompoundCount; ++i) {
        const std::string& f = Compounds[i].Formula;
        EXPECT_EQ(Compounds[i].Selected,
                  f == "H2" || f == "O2" || f == "Ar" || f == "O3" || f == "H2O")
            << f;
    }

    PrepareCells();
    EXPECT_EQ(States(), FirstStates({Pending, Pending}));
    // Oxygen (1.0) outweighs argon (0.5) in the first cell, hydrogen is alone in the second.
    EXPECT_EQ(MainElement[1], 2);
    EXPECT_EQ(Leading(ElementTotals[1], 3), (std::vector<long double>{0, 1, 0.5}));
    EXPECT_EQ(MainElement[2], 1);
    EXPECT_EQ(Leading(ElementTotals[2], 3), (std::vector<long double>{2, 0, 0}));
    EXPECT_EQ(Leading(FeedAmounts[1], 4), (std::vector<long double>{0, 0.5, 0.5, 0}));
    EXPECT_EQ(Leading(CellAmounts[1], 4), Leading(FeedAmounts[1], 4));
}

TEST_F(CellEquilibrium, BalanceRowsKeepTheFeedRatiosAndMakeUpThePressure) {
    struct Case {
        const char* Title;
        std::vector<Components> Feeds;
        double Pressure;
        std::vector<std::vector<long double>> Rows; // of the first cell, one per used element
        std::vector<long double> RightSides;
        std::vector<long double> FirstReaction;
    };
    const std::vector<Case> cases = {
        {"oxygen is the main element: hydrogen stays absent, argon at half the oxygen",
         {ArgonAndOxygen, {{"H2", 1.0}}},
         1.5,
         {{2, 0, 0, 2}, {1, 1, 1, 1}, {0, -1, 1, -0.5}},
         {0, 1.5, 0},
         {-1, -0.5, 0, 1}},
        {"carbon wins the tie with oxygen; solid carbon enters no balance row",
         {{{"CO", 1.0}}},
         2,
         {{0, 1, 1, 1}, {0, 2, 0, 1}},
         {2, 0},
         {-1, -0.5, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SetUp();
        SetCellFeeds(c.Feeds);
        Cells[1].Pressure = c.Pressure;
        EqMatrix balance{};
        EqVector rightSides{};
        OnPass = [&] {
            if (Passes == 1) {
                balance = BalanceMatrix;
                rightSides = BalanceRightSides;
                CalcStartStopClick();
            }
        };
        StartEquilibriumCalculations();

        const int n = EqSpeciesCount;
        const int nE = UsedElementCount;
        ASSERT_EQ(nE, static_cast<int>(c.Rows.size()));
        for (int k = 1; k <= nE; ++k)
            EXPECT_EQ(Leading(balance[k], n), c.Rows[std::size_t(k - 1)]) << "row " << k;
        EXPECT_EQ(Leading(rightSides, nE), c.RightSides);
        EXPECT_EQ(Leading(ReactionMatrix[1], n), c.FirstReaction);
        TearDown();
    }
}

TEST_F(CellEquilibrium, MainElementIsTheFirstOfEqualLargestTotals) {
    struct Case {
        Components Feed;
        int Main;
        std::vector<double> Ratios;
    };
    const Case cases[] = {
        {{{"H2", 0.5}, {"O2", 0.5}}, 1, {1, 1}},                   // H 1.0 = O 1.0
        {{{"O2", 0.25}, {"Ar", 0.5}}, 1, {1, 1}},                  // O 0.5 = Ar 0.5
        {{{"O2", 0.2}, {"Ar", 0.6}}, 2, {0.4 / 0.6, 1}},           // Ar ahead
        {{{"H2", 0.1}, {"N2", 0.5}, {"O2", 0.5}}, 2, {0.2, 1, 1}}, // N 1.0 = O 1.0, ahead of H
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Feed.front().first + " first");
        SetCellFeeds({c.Feed});
        ASSERT_TRUE(SelectEquilibriumSpecies());
        PrepareCells();
        EXPECT_EQ(MainElement[1], c.Main);
        for (int k = 1; k <= UsedElementCount; ++k)
            EXPECT_DOUBLE_EQ(ElementRatios[1][k], c.Ratios[std::size_t(k - 1)]) << k;
    }
}

TEST_F(CellEquilibrium, CellsWithoutAFeedOrWithoutAnyElementAreLeftOut) {
    SetCellFeeds({{{"N2", 0.5}, {"O2", 0.5}}, {{"Ar", 0}}, Argon});
    Cells[1].Mix = 0; // its feed still brings nitrogen and oxygen into the run
    for (long double& amount : CellAmounts[1])
        amount = 7;

    StartEquilibriumCalculations();

    EXPECT_EQ(UsedElementList(), (std::vector<int>{7, 8, 18}));
    EXPECT_EQ(EqSpeciesFormulas(), (std::vector<std::string>{"N2", "O2", "Ar"}));
    EXPECT_EQ(States(), FirstStates({NotCalculated, NotCalculated, Converged}));
    EXPECT_EQ(MainElement[2], 0); // a feed without flow has no element
    EXPECT_EQ(PassesOf(1), 0);
    EXPECT_EQ(PassesOf(2), 0);
    EXPECT_EQ(PassesOf(3), 3);
    // The cell without a node feeds nothing and keeps the amounts it showed.
    EXPECT_EQ(Leading(FeedAmounts[1], 3), (std::vector<long double>{0, 0, 0}));
    EXPECT_EQ(Leading(CellAmounts[1], 3), (std::vector<long double>{7, 7, 7}));
    EXPECT_EQ(Recorder.Log.back(), Start);
}

TEST_F(CellEquilibrium, ARunWithoutSpeciesCalculatesNoCell) {
    // No flow in the first cell, and a gas that is no species in the second.
    SetCellFeeds({{{"Ar", 0}}, {{"Xe", 1.0}}});

    StartEquilibriumCalculations();

    EXPECT_EQ(EqSpeciesCount, 0);
    EXPECT_EQ(States(), FirstStates({}));
    EXPECT_EQ(Recorder.Log, Join(Prepared(), {Start}));
    EXPECT_FALSE(Running);

    // Nor does a cell run called on its own try to solve for no species.
    Recorder.Clear();
    Cells[2].State = Pending;
    RunCellEquilibrium(2, EqWorkList, "ConstantP", 1, 25);
    EXPECT_EQ(Cells[2].State, NotCalculated);
    EXPECT_TRUE(Recorder.Log.empty());
}

TEST_F(CellEquilibrium, ACellGoesFromPendingThroughItsFirstPassToConverged) {
    // Argon and oxygen alone have no reaction, and the feed meets the pressure of 1 bar: the
    // first pass finds nothing better than the start, and the run ends after the least three.
    for (const int showEquilibrium : {1, 0}) {
        SCOPED_TRACE(showEquilibrium ? "equilibrium shown" : "feed shown");
        SetUp();
        ShowEquilibrium = showEquilibrium;
        SetCellFeeds({ArgonAndOxygen});
        std::vector<std::string> trace;
        Recorder.OnDrawCell = [&](int c) {
            trace.push_back("draw " + std::to_string(c) + ": " + CellRunStateName(Cells[c].State));
        };
        OnPass = [&] {
            trace.push_back(
                Cat("pass: ", CellRunStateName(Cells[1].State), Running ? " running" : ""));
        };

        StartEquilibriumCalculations();

        EXPECT_EQ(trace,
                  (std::vector<std::string>{
                      "draw 1: pending", "draw 2: not calculated", "draw 3: not calculated",
                      "draw 4: not calculated", "draw 5: not calculated", "draw 6: not calculated",
                      "draw 7: not calculated", "draw 8: not calculated",
                      "pass: first pass running", "pass: not converged running",
                      "pass: not converged running", "draw 1: converged"}));
        std::vector<std::string> log = Prepared();
        const char* perturbations[] = {"0.00000141", "0.00000082", "0.00000047"};
        const char* times[] = {"0.25", "0.50", "0.75"};
        for (int pass = 1; pass <= 3; ++pass) {
            log.push_back("blue: Cell 1   Iteration " + std::to_string(pass) +
                          "   Error:  0.00000000      Total pressure:   1.00000000      "
                          "Perturbation:   " +
                          perturbations[pass - 1] + "    Time used:   " + times[pass - 1]);
            log.push_back("pause 0");
            if (showEquilibrium)
                log.push_back("RefreshCellColumn 1 2");
            log.push_back("ProcessPendingEvents");
        }
        log.insert(log.end(), {"ShowCellResults", "DrawCell 1", Start});
        EXPECT_EQ(Recorder.Log, log);
        EXPECT_FALSE(Running);
        TearDown();
    }
}

TEST_F(CellEquilibrium, ACellIsSolvedOnTheElementsOfItsOwnFeed) {
    // Argon and oxygen; oxygen alone; CO2 in argon, which brings carbon into the run.
    SetCellFeeds({ArgonAndOxygen, {{"O2", 1.0}}, {{"CO2", 0.1}, {"Ar", 0.9}}});
    ASSERT_TRUE(SelectEquilibriumSpecies());
    ASSERT_EQ(EqSpeciesFormulas(), (std::vector<std::string>{"C(s)", "O2", "Ar", "CO", "CO2"}));
    PrepareCells();

    struct Case {
        int Cell;
        std::vector<int> Elements;
        std::vector<std::string> Species;
    };
    const Case cases[] = {
        {1, {8, 18}, {"O2", "Ar"}},
        {2, {8}, {"O2"}},
        {3, {6, 8, 18}, {"C(s)", "O2", "Ar", "CO", "CO2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Cell);
        const CellSystem system = BuildCellSystem(c.Cell, 1, 800);
        std::vector<int> elements;
        for (int i = 1; i <= system.a; ++i)
            elements.push_back(system.Element[i]);
        EXPECT_EQ(elements, c.Elements);
        std::vector<std::string> species;
        for (int i = 1; i <= system.n(); ++i)
            species.push_back(Compounds[EqSpecies[system.RunPosition[i]]].Formula);
        EXPECT_EQ(species, c.Species);
        // The rows are those of the whole run's equations, without the columns left out.
        for (int i = 1; i <= system.a; ++i) {
            int k = 1;
            while (UsedElements[k] != system.Element[i])
                ++k;
            for (int q = 1; q <= system.n(); ++q)
                EXPECT_EQ(system.A[i][q], BalanceMatrix[k][system.RunPosition[q]]) << i << q;
            EXPECT_EQ(system.B[i], BalanceRightSides[k]);
        }
        for (int r = 1; r <= system.b; ++r) {
            const int compound = system.RunPosition[system.a + r];
            for (int q = 1; q <= system.n(); ++q)
                EXPECT_EQ(system.N[r][q],
                          ReactionMatrix[compound - UsedElementCount][system.RunPosition[q]]);
            EXPECT_EQ(system.L[r], LogKeq[compound - UsedElementCount]);
        }
    }

    StartEquilibriumCalculations();

    EXPECT_EQ(States(), FirstStates({Converged, Converged, Converged}));
    // What a cell's feed lacks stays at exactly 0, where it is kept and where it is shown.
    for (const char* formula : {"C(s)", "CO", "CO2"})
        for (const int c : {1, 2}) {
            EXPECT_EQ(CellAmounts[c][EqPosition(formula)], 0.0L) << formula << c;
            EXPECT_EQ(CellBestAmounts[c][EqPosition(formula)], 0.0L) << formula << c;
        }
    EXPECT_EQ(CellAmounts[2][EqPosition("Ar")], 0.0L);
    EXPECT_TRUE(RelativelyNear(CellBestAmounts[2][EqPosition("O2")], 1, 1e-6));
    EXPECT_TRUE(RelativelyNear(CellBestAmounts[1][EqPosition("Ar")], 0.5, 1e-6));
}

namespace {
bool SameBits(long double p, long double q) {
    return std::memcmp(&p, &q, 10) == 0; // the 80 bits of the extended format
}

// What a cell's run came to, by species formula.
struct CellOutcome {
    std::map<std::string, long double> Amounts;
    std::map<std::string, long double> Best;
    int Passes = 0;
    long double BestError = 0;
    int State = 0;
};

CellOutcome OutcomeOf(int cell) {
    CellOutcome outcome;
    for (int j = 1; j <= EqSpeciesCount; ++j) {
        const std::string& formula = Compounds[EqSpecies[j]].Formula;
        outcome.Amounts[formula] = CellAmounts[cell][j];
        outcome.Best[formula] = CellBestAmounts[cell][j];
    }
    outcome.Passes = CellPasses[cell];
    outcome.BestError = CellBestError[cell];
    outcome.State = Cells[cell].State;
    return outcome;
}
} // namespace

TEST_F(CellEquilibrium, EachCellComesToTheSameBitsAsWhenItIsTheOnlyCellFed) {
    // Every cell lacks an element that another cell brings: wet hydrogen beside carbon buffers,
    // oxygen in argon, nitrogen with hydrogen.
    const std::vector<Components> rig = {
        {{"H2", 0.97}, {"H2O", 0.03}},
        {{"CO", 0.5}, {"CO2", 0.5}},
        {{"O2", 0.2}, {"Ar", 0.8}},
        {{"H2", 0.04}, {"H2O", 0.01}, {"Ar", 0.95}},
        {{"CO", 0.1}, {"CO2", 0.1}, {"Ar", 0.8}},
        {{"N2", 0.9}, {"H2", 0.1}},
    };
    const double temperatures[] = {800, 800, 700, 900, 750, 600};
    const int cells = static_cast<int>(rig.size());
    // The feeds are given directly, so that each run's feed is the same to the last bit.
    auto run = [&](int only) {
        SetCellFeeds(rig);
        for (int c = 1; c <= cells; ++c) {
            Cells[c].Temperature = temperatures[c - 1];
            Cells[c].Pressure = 1;
            if (only != 0 && c != only) {
                Cells[c].Mix = 0;
                for (GasFraction& slot : CellFeed[c])
                    slot.Fraction = 0;
            }
        }
        // All cells share one random generator: a draw in one run would change the next cell's
        // search. No run here may draw.
        constexpr std::uint64_t Seed = 99;
        SeedRandom(Seed);
        const double firstDraw = RandomUniform();
        SeedRandom(Seed);
        StartEquilibriumCalculations();
        EXPECT_EQ(RandomUniform(), firstDraw) << "a random step was drawn";
    };

    run(0);
    std::vector<CellOutcome> together;
    for (int c = 1; c <= cells; ++c) {
        together.push_back(OutcomeOf(c));
        EXPECT_EQ(Cells[c].State, Converged) << c;
    }

    for (int c = 1; c <= cells; ++c) {
        SCOPED_TRACE(c);
        SetUp();
        run(c);
        const CellOutcome alone = OutcomeOf(c);
        const CellOutcome& other = together[std::size_t(c - 1)];
        EXPECT_EQ(alone.State, other.State);
        EXPECT_EQ(alone.Passes, other.Passes);
        EXPECT_TRUE(SameBits(alone.BestError, other.BestError))
            << alone.BestError << " " << other.BestError;
        ASSERT_LT(alone.Amounts.size(), other.Amounts.size());
        for (const auto& [formula, amount] : other.Amounts) {
            const auto it = alone.Amounts.find(formula);
            const bool inCell = it != alone.Amounts.end();
            EXPECT_TRUE(SameBits(amount, inCell ? it->second : 0.0L)) << formula << ": " << amount;
            EXPECT_TRUE(SameBits(other.Best.at(formula), inCell ? alone.Best.at(formula) : 0.0L))
                << formula;
        }
        TearDown();
    }
}

TEST_F(CellEquilibrium, ACellShowsTheBestPointOfItsRunNeverTheNeutralPointOfAGiveUp) {
    // Pure CO has no solution: the search ends its passes by giving up, which resets its free
    // amounts to 1 for the next pass.
    SetCellFeeds({{{"CO", 1.0}}});
    const ScopedCalcBounds bound({1});
    std::vector<std::vector<long double>> shown;
    Recorder.OnRefreshCellColumn = [&](int cell, const std::vector<long double>& amounts) {
        EXPECT_EQ(cell, 1);
        shown.push_back(amounts);
    };

    StartEquilibriumCalculations();

    EXPECT_EQ(Cells[1].State, Passed);
    const int n = EqSpeciesCount;
    const std::vector<long double> kept = Leading(CellAmounts[1], n);
    const std::vector<long double> best = Leading(CellBestAmounts[1], n);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), 1.0L), n) << "the last pass gave up";
    EXPECT_EQ(std::count(best.begin(), best.end(), 1.0L), 0);
    // The best point is the one whose error the run reports, and every pass showed the best
    // point so far.
    EXPECT_TRUE(SameBits(ErrorOfShownAmounts(1), CellBestError[1]));
    ASSERT_EQ(static_cast<int>(shown.size()), CellPasses[1]);
    EXPECT_EQ(shown.back(), best);
    for (const std::vector<long double>& pass : shown)
        EXPECT_EQ(std::count(pass.begin(), pass.end(), 1.0L), 0);
}

TEST_F(CellEquilibrium, AStopEndsTheRunAndLeavesTheUnconvergedCellsPending) {
    SetCellFeeds({Argon, CarbonInArgon, {{"C(s)", 0.2}, {"Ar", 0.8}}});
    // The first cycle calculates all three cells; the user stops the second cell's second run.
    OnPass = [this] {
        EXPECT_TRUE(Running);
        if (PassesOf(2) == 12)
            CalcStartStopClick();
    };
    // The cell run that saw the stop has already cleared Running when its cell is drawn.
    Recorder.OnDrawCell = [](int) { EXPECT_FALSE(StopRequested && Running); };

    StartEquilibriumCalculations();

    EXPECT_EQ(States(), FirstStates({Converged, Passed, Passed}));
    EXPECT_EQ(PassesOf(1), 3); // converged in the first cycle, not calculated again
    EXPECT_EQ(PassesOf(2), 12);
    EXPECT_EQ(PassesOf(3), 11); // not taken up after the stop
    EXPECT_FALSE(Running);
    EXPECT_FALSE(StopRequested);
    // The command reads "Start" as soon as it is used, and again when the run has ended.
    const std::vector<std::string> end = {"ProcessPendingEvents", Start, "ShowCellResults",
                                          "DrawCell 2", Start};
    ASSERT_GE(Recorder.Log.size(), end.size());
    EXPECT_EQ(std::vector<std::string>(Recorder.Log.end() - long(end.size()), Recorder.Log.end()),
              end);
}

TEST_F(CellEquilibrium, ABoundOnTheCyclesLeavesTheCellsThatHaveNotConvergedByThen) {
    struct Case {
        int Bound;
        int CarbonPasses; // eleven passes in every cycle: the cell never converges
    };
    for (const Case c : {Case{1, 11}, Case{3, 33}}) {
        SCOPED_TRACE(c.Bound);
        SetUp();
        SetCellFeeds({Argon, CarbonInArgon});
        const ScopedCalcBounds bound({c.Bound});

        StartEquilibriumCalculations();

        EXPECT_EQ(States(), FirstStates({Converged, Passed}));
        EXPECT_EQ(PassesOf(1), 3);
        EXPECT_EQ(PassesOf(2), c.CarbonPasses);
        EXPECT_EQ(CellPasses[1], 3);
        EXPECT_EQ(CellPasses[2], c.CarbonPasses);
        EXPECT_EQ(CellPasses[3], 0);
        EXPECT_LE(CellBestError[1], 1e-6L);
        EXPECT_GT(CellBestError[2], 1e-6L);
        EXPECT_FALSE(Running);
        EXPECT_EQ(Recorder.Log.back(), Start);
        TearDown();
    }
}

TEST_F(CellEquilibrium, RefusesASpeciesListThatDoesNotFitAndChangesNoCell) {
    const Components allElements = {{"H2", 0.1}, {"D2", 0.1}, {"CO", 0.1}, {"N2", 0.1},
                                    {"O2", 0.1}, {"Ar", 0.1}, {"He", 0.1}};
    const std::string inconsistent =
        "red: Something wrong with Element or Compound species definitions";
    struct Case {
        const char* Title;
        std::function<void()> Edit;
        Components Feed;
        std::string Message; // empty: the list is accepted
    };
    const std::vector<Case> cases = {
        {"water as a second reference species of hydrogen and oxygen",
         [] { Compounds[9].EIMSF = true; },
         {{"H2", 0.5}, {"O2", 0.5}},
         inconsistent},
        {"oxygen without a reference species",
         [] { Compounds[5].Enabled = false; },
         {{"H2O", 1.0}},
         inconsistent},
        {"all seven elements: twelve species fit", [] {}, allElements, ""},
        {"seven more compounds of hydrogen and nitrogen",
         [] {
             for (int i = 14; i <= CompoundCapacity; ++i) {
                 Compounds[i] = Compounds[13];
                 Compounds[i].Formula = "NH3-" + std::to_string(i);
             }
             CompoundCount = CompoundCapacity;
         },
         allElements, "red: Number of equilibrium species is too large: 19"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SetUp();
        SetCellFeeds({c.Feed});
        c.Edit();
        if (c.Message.empty()) {
            EXPECT_TRUE(SelectEquilibriumSpecies());
            EXPECT_EQ(EqSpeciesCount, MaxEqSpecies);
            EXPECT_TRUE(Recorder.Log.empty());
        } else {
            // States set by hand: no cell has amounts to check.
            CheckConvergedCells = false;
            const std::vector<int> before = FirstStates({Converged, Passed, FirstPass, Pending});
            for (int cell = 1; cell <= CellCount; ++cell)
                Cells[cell].State = static_cast<std::uint8_t>(before[std::size_t(cell - 1)]);
            StartEquilibriumCalculations();
            EXPECT_EQ(Recorder.Log, (std::vector<std::string>{c.Message, "pause 4", Start}));
            EXPECT_EQ(States(), before);
            EXPECT_FALSE(Running);
            EXPECT_EQ(EqSpeciesCount, 0); // nothing reads a list that did not fit
        }
        TearDown();
    }
}

TEST_F(CellEquilibrium, ACellWhoseTemperatureOrPressureIsOutOfRangeIsLeftOutWithOneMessage) {
    constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    struct Case {
        double TemperatureC;
        double Pressure;
        bool InRange;
    };
    const Case cases[] = {
        {25, 1, true},         {-273.15, 1, false}, // absolute zero is not above it
        {-273.16, 1, false},   {-273.14, 1, true},
        {1e6, 1, true},        {Nan, 1, false},
        {Infinity, 1, false},  {-Infinity, 1, false},
        {25, 0, false},        {25, -0.0, false},
        {25, -1, false},       {25, Nan, false},
        {25, Infinity, false}, {25, std::numeric_limits<double>::denorm_min(), true},
        {Nan, Nan, false},
    };
    const std::string message = "red: Cell 2: temperature or pressure out of range";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.TemperatureC) + " C, " + std::to_string(c.Pressure) + " bar");
        SetUp();
        // Cell 1 never converges, so that a bound of three cycles takes the run past cell 2
        // three times.
        SetCellFeeds({CarbonInArgon, Argon});
        const ScopedCalcBounds bound({3});
        Cells[2].Temperature = c.TemperatureC;
        Cells[2].Pressure = c.Pressure;
        std::vector<int> statesWhenDrawn;
        Recorder.OnDrawCell = [&](int cell) {
            if (cell == 2)
                statesWhenDrawn.push_back(Cells[2].State);
        };

        StartEquilibriumCalculations();

        EXPECT_EQ(Cells[2].State, c.InRange ? Converged : NotCalculated);
        EXPECT_EQ(PassesOf(2), c.InRange ? 3 : 0);
        EXPECT_EQ(Recorder.RedLines(),
                  c.InRange ? std::vector<std::string>{} : std::vector<std::string>{message});
        if (!c.InRange) {
            EXPECT_EQ(statesWhenDrawn, std::vector<int>{NotCalculated}); // never pending
            const auto shown = std::find(Recorder.Log.begin(), Recorder.Log.end(), message);
            ASSERT_NE(shown, Recorder.Log.end());
            EXPECT_EQ(*(shown + 1), "pause 4");
        }
        EXPECT_EQ(Cells[1].State, Passed);
        EXPECT_EQ(PassesOf(1), 33);
        TearDown();
    }
}

TEST_F(CellEquilibrium, ACellEditedOutOfRangeDuringTheRunIsLeftOutAtItsNextTurn) {
    SetCellFeeds({CarbonInArgon, CarbonInArgon});
    const ScopedCalcBounds bound({3});
    // While the first cycle calculates cell 1, the user sets cell 2's pressure to 0.
    OnPass = [] {
        if (Cells[1].State == FirstPass)
            Cells[2].Pressure = 0;
    };

    StartEquilibriumCalculations();

    EXPECT_EQ(Cells[2].State, NotCalculated);
    EXPECT_EQ(PassesOf(2), 0);
    EXPECT_EQ(PassesOf(1), 33);
    EXPECT_EQ(Recorder.RedLines(),
              std::vector<std::string>{"red: Cell 2: temperature or pressure out of range"});

    // Nor does a cell run called on its own hand such conditions to the solver.
    Recorder.Clear();
    Cells[1].State = Passed;
    RunCellEquilibrium(1, EqWorkList, "ConstantP", std::numeric_limits<double>::quiet_NaN(), 25);
    EXPECT_EQ(Cells[1].State, NotCalculated);
    EXPECT_TRUE(Recorder.Log.empty());
}

TEST_F(CellEquilibrium, WetHydrogenInArgonSettlesAtTheWaterEquilibriumWithItsElementsBalanced) {
    FeedCellOneAlone({{"H2", 0.1}, {"H2O", 0.1}, {"Ar", 0.8}});
    Cells[1].Pressure = 1;

    ASSERT_TRUE(Run1Click());

    ASSERT_EQ(EqSpeciesFormulas(), (std::vector<std::string>{"H2", "O2", "Ar", "H2O"}));
    EXPECT_EQ(Cells[1].State, Converged);
    EXPECT_EQ(Recorder.Log.back(), Start);
    const auto& x = CellAmounts[1];
    const long double h2 = x[1], o2 = x[2], ar = x[3], h2o = x[4];

    // Converged means an error of at most 1e-6, the root of the squared residuals over the four
    // species: every balance row is met to 4e-6 of the size of its terms (twice the element's
    // atoms when the row holds), so each element ratio to 8e-6, the pressure to 4e-6; the
    // reaction is met to 10 * 4e-6 in its decimal logarithms.
    auto feed = [](const std::string& gas) {
        for (int b = 1; b <= GasCount; ++b)
            if (GasList[b] == gas)
                return static_cast<long double>(CellFeed[1][b].Fraction);
        return 0.0L;
    };
    const long double feedH = 2 * feed("H2") + 2 * feed("H2O");
    const long double feedO = 2 * feed("O2") + feed("H2O");
    EXPECT_TRUE(RelativelyNear((2 * h2 + 2 * h2o) / ar, feedH / feed("Ar"), 8e-6));
    EXPECT_TRUE(RelativelyNear((2 * o2 + h2o) / ar, feedO / feed("Ar"), 8e-6));
    EXPECT_TRUE(RelativelyNear(h2 + o2 + ar + h2o, 1, 4e-6));

    const double T = 800 + 273.15;
    const long double dG =
        GibbsEnergy("H2O", T) - GibbsEnergy("H2", T) - 0.5L * GibbsEnergy("O2", T);
    const long double logK = -dG / (GasConstant * T * std::log(10.0L));
    EXPECT_NEAR(double(std::log10(o2)), double(2 * (std::log10(h2o / h2) - logK)), 1e-4);
    // The feed's oxygen leak is almost all turned into water.
    EXPECT_LT(o2, 1e-15L);
}

// Which precision each input of the solver is computed in, pinned where another would change
// the bits. The reference values come from rounding-references.py in tests/core, computed apart
// from the program with mpmath.
TEST_F(CellEquilibrium, PrecisionsOfTheIntegralsTheKelvinTemperatureAndTheElementRatios) {
    // The Gibbs integrals run in doubles: every term and the running sum is a 64-bit real.
    // (H2O's middle heat-capacity row from 600 to 1015.6 K; the entropy without its A term,
    // whose logarithms would tie the bits to the library's log. Extended sums end at ...ab and
    // ...2a.)
    EXPECT_EQ(EnthalpyIntegral(21.87, 22.56, 8.489, -4, 600, 1015.6), 0x1.f82a831ef40acp+13);
    EXPECT_EQ(EntropyIntegral(0, 22.56, 8.489, -4, 600, 1015.6), 0x1.199e3d4bbad2cp+3);

    // T = TC + 273.15 is a sum of doubles; the reaction step then works in extended precision
    // from the double kelvin temperature and the double Gibbs energies.
    const double temperatureC = 741.93;
    SetCellFeeds({{{"H2", 0.1906}, {"N2", 0.114}, {"O2", 0.348}, {"H2O", 0.1419}, {"NH3", 0.36}}});
    ASSERT_TRUE(SelectEquilibriumSpecies());
    PrepareCells();
    BuildCellEquations(1, 1, temperatureC);
    ASSERT_EQ(EqSpeciesFormulas(), (std::vector<std::string>{"H2", "N2", "O2", "H2O", "NH3"}));
    const double kelvin = temperatureC + 273.15;
    const long double extendedKelvin = temperatureC + 273.15L;
    ASSERT_NE(static_cast<long double>(kelvin), extendedKelvin) << "the case tells them apart";
    const auto logK = [&](long double T) {
        long double dG = GibbsEnergy("H2O", kelvin);
        dG = dG - 1.0 * static_cast<long double>(GibbsEnergy("H2", kelvin));
        dG = dG - 0.5 * static_cast<long double>(GibbsEnergy("O2", kelvin));
        return -dG / GasConstant / T / std::numbers::ln10_v<long double>;
    };
    EXPECT_EQ(LogKeq[1], logK(kelvin));
    EXPECT_NE(LogKeq[1], logK(extendedKelvin));

    // The element totals are summed in doubles, each product with a feed amount taken in
    // extended precision and each partial sum rounded; the ratios are quotients of doubles.
    // Summed in extended precision the oxygen ratio would end at ...60.
    EXPECT_EQ(ElementRatios[1][1], 1.0); // hydrogen, the main element
    EXPECT_EQ(ElementRatios[1][2], 0x1.590cc3692ff8fp-2);
    EXPECT_EQ(ElementRatios[1][3], 0x1.ebb2300f7df5fp-2);
}
