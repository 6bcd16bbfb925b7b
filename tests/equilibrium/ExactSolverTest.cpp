// SPDX-License-Identifier: GPL-3.0-or-later
// The exact solver on the systems the cell run builds: hard cells, random feeds, feeds without
// a solution, a start from a previous answer, and agreement with the pattern search.
#include "equilibrium/ExactSolver.h"

#include "core/Calculate.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/FormationReactions.h"
#include "equilibrium/GibbsEnergy.h"
#include "support/EquilibriumCheck.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// Cell 1 of the given feeds as the run prepares it, and its system at its conditions.
CellSystem SystemOfCellOne(const std::vector<Components>& feeds, double temperatureC,
                           double pressure) {
    PrepareCellOne(feeds, temperatureC, pressure);
    return BuildCellSystem(1, pressure, temperatureC);
}

long double AmountOf(const EqVector& runAmounts, const std::string& formula) {
    return runAmounts[EqPosition(formula)];
}

// log10 pO2 of the water equilibrium H2 + 1/2 O2 = H2O at the given amounts of H2 and H2O.
long double WaterOxygen(long double h2, long double h2o, double temperatureC) {
    const double T = temperatureC + 273.15;
    const long double dG =
        GibbsEnergy("H2O", T) - GibbsEnergy("H2", T) - 0.5L * GibbsEnergy("O2", T);
    const long double logK = -dG / (GasConstant * T * std::log(10.0L));
    return 2 * (std::log10(h2o / h2) - logK);
}

const Components Buffer = {{"CO", 0.1}, {"CO2", 0.1}, {"H2O", 0.05}, {"Ar", 0.75}};

using ExactSolver = EquilibriumRun;

} // namespace

TEST_F(ExactSolver, SolvesHardCellsToThePrecisionOfTheArithmetic) {
    struct Case {
        const char* Title;
        Components Feed;
        double TemperatureC;
        double Pressure;
        int Species; // of the cell's system
        // A check of its own beside the physics, on the amounts of the run's species.
        std::function<void(const EqVector&)> Check;
    };
    const std::vector<Case> cases = {
        {"eleven gases, oxygen against hydrogen and CO: twelve species, none fixed", ElevenGases(),
         800, 1, 12,
         [](const EqVector& x) {
             // Oxygen 0.05 against 0.05 of H2 and of CO (and the traces of D2 and NH3): nearly
             // all of it is bound, and the oxygen left is far below a bar.
             EXPECT_LT(AmountOf(x, "O2"), 1e-10L);
             EXPECT_GT(AmountOf(x, "CO2"), 0.05L);
         }},
        {"hydrogen with a trace of water at 500 C",
         {{"H2", 1 - 1e-9}, {"H2O", 1e-9}},
         500,
         1,
         3,
         [](const EqVector& x) {
             const long double o2 = AmountOf(x, "O2");
             EXPECT_LT(o2, 1e-40L);
             EXPECT_NEAR(double(std::log10(o2)),
                         double(WaterOxygen(AmountOf(x, "H2"), AmountOf(x, "H2O"), 500)), 1e-9);
             EXPECT_NEAR(double(AmountOf(x, "H2O")), 1e-9, 1e-18);
         }},
        {"pure oxygen",
         {{"O2", 1.0}},
         800,
         1,
         1,
         [](const EqVector& x) { EXPECT_EQ(AmountOf(x, "O2"), 1.0L); }},
        {"wet hydrogen with CO2 at 3000 C",
         {{"H2", 0.3}, {"H2O", 0.2}, {"CO2", 0.2}, {"Ar", 0.3}},
         3000,
         1,
         7,
         [](const EqVector& x) { EXPECT_GT(AmountOf(x, "O2"), 1e-6L); }},
        {"a buffer at 1e-3 bar", Buffer, 900, 1e-3, 7,
         [](const EqVector& x) { EXPECT_LT(AmountOf(x, "C(s)"), AmountOf(x, "CO")); }},
        {"the buffer at 100 bar", Buffer, 900, 100, 7,
         [](const EqVector& x) { EXPECT_GT(AmountOf(x, "CO2"), 10); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        const CellSystem system = SystemOfCellOne({c.Feed}, c.TemperatureC, c.Pressure);
        ASSERT_EQ(system.n(), c.Species);
        const ExactSolution solution = SolveExactly(system);
        ASSERT_EQ(solution.Outcome, ExactOutcome::Converged) << solution.Residual;
        EXPECT_LE(solution.Residual, ExactTolerance);
        EXPECT_LE(RelativeBalanceResidual(system, solution.x), ExactTolerance);
        const EqVector x = RunAmounts(system, solution.x);
        EXPECT_TRUE(MeetsEquilibrium(1, x, ExactSolverTolerance));
        c.Check(x);
    }
}

TEST_F(ExactSolver, SolvesRandomFeedsWithMoreOxygenThanCarbon) {
    const char* gases[] = {"H2", "D2", "N2", "O2", "Ar", "He", "H2O", "D2O", "CO", "CO2", "NH3"};
    std::mt19937_64 random(20261210);
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<>(lo, hi)(random);
    };
    int solved = 0;
    int steps = 0;
    while (solved < 400) {
        // A few gases each over many decades, at any temperature and pressure the cells meet.
        Components feed;
        for (const char* gas : gases)
            if (uniform(0, 1) < 0.45)
                feed.emplace_back(gas, std::pow(10.0, uniform(-9, 0)));
        if (feed.empty())
            continue;
        double carbon = 0;
        double oxygen = 0;
        for (const auto& [gas, fraction] : feed) {
            const std::string g = gas;
            carbon += fraction * (g == "CO" || g == "CO2");
            oxygen += fraction * (g == "CO" || g == "H2O" || g == "D2O" ? 1
                                  : g == "O2" || g == "CO2"             ? 2
                                                                        : 0);
        }
        if (carbon > 0 && carbon >= oxygen)
            continue;
        const double temperatureC = uniform(25, 3000);
        const double pressure = std::pow(10.0, uniform(-3, 2));
        std::ostringstream title;
        title << temperatureC << " C, " << pressure << " bar:";
        for (const auto& [gas, fraction] : feed)
            title << ' ' << gas << ' ' << fraction;
        SCOPED_TRACE(title.str());

        const CellSystem system = SystemOfCellOne({feed}, temperatureC, pressure);
        const ExactSolution solution = SolveExactly(system);
        ASSERT_EQ(solution.Outcome, ExactOutcome::Converged) << solution.Residual;
        ASSERT_TRUE(MeetsEquilibrium(1, RunAmounts(system, solution.x), ExactSolverTolerance));
        steps += solution.Iterations;
        ++solved;
        Recorder.Clear();
    }
    RecordProperty("MeanNewtonSteps", std::to_string(double(steps) / solved));
}

TEST_F(ExactSolver, AFeedWithNoMoreOxygenThanCarbonHasNoSolution) {
    const std::vector<Components> feeds = {
        {{"CO", 1.0}},                              // as many oxygen atoms as carbon atoms
        {{"C(s)", 0.2}, {"CO2", 0.1}, {"Ar", 0.7}}, // more carbon than oxygen
    };
    for (const Components& feed : feeds) {
        SCOPED_TRACE(feed.front().first);
        const CellSystem system = SystemOfCellOne({feed}, 800, 1);
        EXPECT_TRUE(NoMoreOxygenThanCarbon(system));
        EXPECT_EQ(SolveExactly(system).Outcome, ExactOutcome::NoOxygenForCarbon);
    }
    // A little more oxygen than carbon is enough.
    const CellSystem system = SystemOfCellOne({{{"CO", 0.999}, {"O2", 0.001}}}, 800, 1);
    EXPECT_FALSE(NoMoreOxygenThanCarbon(system));
    EXPECT_EQ(SolveExactly(system).Outcome, ExactOutcome::Converged);
}

TEST_F(ExactSolver, StartsFromAPreviousAnswerWhenItIsUsable) {
    const CellSystem at900 = SystemOfCellOne({ElevenGases()}, 900, 1);
    const ExactSolution previous = SolveExactly(at900);
    ASSERT_EQ(previous.Outcome, ExactOutcome::Converged);
    const CellSystem at910 = BuildCellSystem(1, 1, 910);
    const ExactSolution fromFeed = SolveExactly(at910);
    const ExactSolution fromPrevious = SolveExactly(at910, &previous.x);
    ASSERT_EQ(fromFeed.Outcome, ExactOutcome::Converged);
    ASSERT_EQ(fromPrevious.Outcome, ExactOutcome::Converged);
    EXPECT_LT(fromPrevious.Iterations, fromFeed.Iterations);
    for (int i = 1; i <= at910.n(); ++i)
        EXPECT_TRUE(RelativelyNear(fromPrevious.x[i], fromFeed.x[i], 1e-12)) << i;

    // The answer itself needs no step; a start without a positive amount of every reference
    // species is no start, and the feed is used.
    EXPECT_LE(SolveExactly(at910, &fromFeed.x).Iterations, 1);
    EqVector unusable = previous.x;
    unusable[1] = 0;
    EXPECT_EQ(SolveExactly(at910, &unusable).Iterations, fromFeed.Iterations);
}

TEST_F(ExactSolver, RefusesReactionRowsThatAreNotFormationReactions) {
    const CellSystem wet = SystemOfCellOne({{{"H2", 0.5}, {"H2O", 0.5}}}, 800, 1);
    ASSERT_EQ(SolveExactly(wet).Outcome, ExactOutcome::Converged);
    CellSystem broken = wet;
    broken.N[1][broken.a + 1] = 2; // the compound's own coefficient
    EXPECT_EQ(SolveExactly(broken).Outcome, ExactOutcome::NotAFormationSystem);
    broken = wet;
    broken.Pressure = 0;
    EXPECT_EQ(SolveExactly(broken).Outcome, ExactOutcome::NotAFormationSystem);
}

TEST_F(ExactSolver, AgreesWithThePatternSearchOnTheCellsItConvergesOn) {
    // Eight cells in one run, each lacking elements that others bring.
    const std::vector<Components> feeds = {
        {{"H2", 0.97}, {"H2O", 0.03}},
        {{"CO", 0.5}, {"CO2", 0.5}},
        {{"H2", 0.04}, {"H2O", 0.01}, {"Ar", 0.95}},
        {{"CO", 0.1}, {"CO2", 0.1}, {"Ar", 0.8}},
        {{"O2", 0.01}, {"Ar", 0.99}},
        {{"H2O", 0.03}, {"O2", 0.2}, {"N2", 0.77}},
        {{"H2", 0.05}, {"CO", 0.05}, {"CO2", 0.3}, {"H2O", 0.01}, {"Ar", 0.59}},
        {{"D2", 0.05}, {"D2O", 0.02}, {"N2", 0.2}, {"He", 0.73}},
    };
    const double temperatures[] = {800, 800, 800, 700, 600, 25, 900, 900};
    const double pressures[] = {1, 1, 1, 1, 2.5, 1, 1, 0.2};
    SetCellFeeds(feeds);
    for (int c = 1; c <= CellCount; ++c) {
        Cells[c].Temperature = temperatures[c - 1];
        Cells[c].Pressure = pressures[c - 1];
    }

    StartEquilibriumCalculations();

    for (int c = 1; c <= CellCount; ++c) {
        SCOPED_TRACE(c);
        ASSERT_EQ(Cells[c].State, CellRunState::Converged);
        const CellSystem system = BuildCellSystem(c, pressures[c - 1], temperatures[c - 1]);
        const ExactSolution solution = SolveExactly(system);
        ASSERT_EQ(solution.Outcome, ExactOutcome::Converged);
        const EqVector exact = RunAmounts(system, solution.x);
        EXPECT_TRUE(MeetsEquilibrium(c, exact, ExactSolverTolerance));
        int compared = 0;
        for (int j = 1; j <= EqSpeciesCount; ++j) {
            if (!(exact[j] > 1e-30L * pressures[c - 1]))
                continue;
            ++compared;
            EXPECT_NEAR(double(std::log10(CellBestAmounts[c][j])), double(std::log10(exact[j])),
                        1e-3)
                << Compounds[EqSpecies[j]].Formula;
        }
        EXPECT_GE(compared, 2);
    }
}

TEST_F(ExactSolver, SolvesCellsOfItsOwnInParallelThreads) {
    // As a sweep would: the systems built first, then solved in worker threads while nothing
    // else changes them.
    const CellSystem buffer = SystemOfCellOne({Buffer}, 900, 1);
    const CellSystem eleven = SystemOfCellOne({ElevenGases()}, 800, 1);
    const ExactSolution expected[] = {SolveExactly(buffer), SolveExactly(eleven)};
    std::vector<ExactSolution> results[2];
    std::thread workers[2];
    for (int w = 0; w < 2; ++w)
        workers[w] = std::thread([&, w] {
            for (int round = 0; round < 50; ++round)
                results[w].push_back(SolveExactly(w == 0 ? buffer : eleven));
        });
    for (std::thread& worker : workers)
        worker.join();
    for (int w = 0; w < 2; ++w)
        for (const ExactSolution& result : results[w]) {
            ASSERT_EQ(result.Outcome, ExactOutcome::Converged);
            for (int i = 1; i <= MaxEqSpecies; ++i)
                ASSERT_EQ(result.x[i], expected[w].x[i]) << w << " " << i;
        }
}
