// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds over sweeps of temperatures and pressures, each cell held to its equilibrium by the one
// physics check. The pattern search is slow far from its comfort, so its sweep keeps to feeds of
// few species above 800 degrees Celsius; the exact solver converges everywhere, and runs a wider
// sweep, from room temperature up, with more species and the tighter tolerances.
#include "equilibrium/CellEquilibrium.h"

#include "core/SetupTables.h"
#include "equilibrium/CalcBounds.h"
#include "support/EquilibriumCheck.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct SweepFeed {
    const char* Name;
    Components Gases;
};

const SweepFeed SmallFeeds[] = {
    {"wet hydrogen in argon", {{"H2", 0.04}, {"H2O", 0.01}, {"Ar", 0.95}}},
    {"carbon monoxide buffer", {{"CO", 0.1}, {"CO2", 0.1}, {"Ar", 0.8}}},
    {"hydrogen and oxygen in nitrogen", {{"H2", 0.02}, {"O2", 0.005}, {"N2", 0.975}}},
};
// Beside the small feeds: every element at once, moist oxygen, and a trace of water in
// hydrogen (the lowest oxygen pressures).
const SweepFeed ExactFeeds[] = {
    {"eleven gases", ElevenGases()},
    {"moist oxygen in nitrogen", {{"O2", 0.2}, {"H2O", 0.03}, {"N2", 0.77}}},
    {"hydrogen with a trace of water", {{"H2", 1 - 1e-6}, {"H2O", 1e-6}}},
};

// One cell per temperature.
const std::vector<double> PatternTemperaturesC = {850, 1200, 1700, 2200, 2700};
const std::vector<double> PatternPressures = {1e-3, 0.1, 10, 100};
const std::vector<double> ExactTemperaturesC = {300 - 273.15,  500 - 273.15,  800 - 273.15,
                                                1200 - 273.15, 1700 - 273.15, 2300 - 273.15,
                                                3000 - 273.15};
const std::vector<double> ExactPressures = {1e-3, 1e-2, 0.1, 1, 10, 100};

// The tolerance for a cell of the run.
using ToleranceRule = std::function<EquilibriumTolerance(int cell)>;

// Calculates the feed by the solver in one cell per temperature at each pressure, and holds every
// cell to its equilibrium within the tolerance. Every cell must converge.
class EquilibriumSweep : public EquilibriumRun {
protected:
    void Sweep(const SweepFeed& feed, EquilibriumSolver solver,
               const std::vector<double>& temperaturesC, const std::vector<double>& pressures,
               const ToleranceRule& tolerance) {
        SCOPED_TRACE(feed.Name);
        for (const double pressure : pressures) {
            SCOPED_TRACE(std::to_string(pressure) + " bar");
            SetUp();
            const int cells = static_cast<int>(temperaturesC.size());
            SetCellFeeds(std::vector<Components>(temperaturesC.size(), feed.Gases));
            for (int c = 1; c <= cells; ++c) {
                Cells[c].Temperature = temperaturesC[std::size_t(c - 1)];
                Cells[c].Pressure = pressure;
            }

            {
                const ScopedCalcBounds bounds({.Solver = solver});
                StartEquilibriumCalculations();
            }

            for (int c = 1; c <= cells; ++c) {
                EXPECT_EQ(Cells[c].State, CellRunState::Converged)
                    << "cell " << c << " at " << Cells[c].Temperature << " C";
                EXPECT_TRUE(MeetsEquilibrium(c, tolerance(c)));
            }
            TearDown();
        }
    }
};

TEST_F(EquilibriumSweep, EveryCellOfThePatternSearchMeetsItsEquilibrium) {
    for (const SweepFeed& feed : SmallFeeds)
        Sweep(feed, EquilibriumSolver::Pattern, PatternTemperaturesC, PatternPressures,
              [](int cell) { return PatternSearchTolerance(CellSpeciesCount(cell)); });
}

TEST_F(EquilibriumSweep, EveryCellOfTheExactSolverMeetsItsEquilibriumFrom300To3000Kelvin) {
    std::vector<SweepFeed> feeds(std::begin(SmallFeeds), std::end(SmallFeeds));
    feeds.insert(feeds.end(), std::begin(ExactFeeds), std::end(ExactFeeds));
    for (const SweepFeed& feed : feeds)
        Sweep(feed, EquilibriumSolver::Exact, ExactTemperaturesC, ExactPressures,
              [](int) { return ExactSolverTolerance; });
}

} // namespace
