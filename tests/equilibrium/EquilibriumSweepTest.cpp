// Small feeds over a sweep of temperatures and pressures, each converged cell held to its
// equilibrium by the one physics check. The pattern search is slow far from its comfort, so the
// sweep keeps to feeds of few species above 800 degrees Celsius; a solver that converges
// everywhere can run the same sweep wider and with tighter tolerances.
#include "equilibrium/CellEquilibrium.h"

#include "core/SetupTables.h"
#include "support/EquilibriumCheck.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct SweepFeed {
    const char* Name;
    Components Gases;
};

const SweepFeed Feeds[] = {
    {"wet hydrogen in argon", {{"H2", 0.04}, {"H2O", 0.01}, {"Ar", 0.95}}},
    {"carbon monoxide buffer", {{"CO", 0.1}, {"CO2", 0.1}, {"Ar", 0.8}}},
    {"hydrogen and oxygen in nitrogen", {{"H2", 0.02}, {"O2", 0.005}, {"N2", 0.975}}},
};
const double TemperaturesC[] = {850, 1200, 1700, 2200, 2700};
const double Pressures[] = {1e-3, 0.1, 10, 100};

// The tolerance for a run of so many species.
using ToleranceRule = std::function<EquilibriumTolerance(int species)>;

// Calculates the feed in one cell per temperature at each pressure, and holds every cell to its
// equilibrium within the tolerance. Every cell must converge.
class EquilibriumSweep : public EquilibriumRun {
protected:
    void Sweep(const SweepFeed& feed, const ToleranceRule& tolerance) {
        for (const double pressure : Pressures) {
            SCOPED_TRACE(std::to_string(pressure) + " bar");
            SetUp();
            std::vector<Components> cells(std::size(TemperaturesC), feed.Gases);
            SetCellFeeds(cells);
            for (std::size_t i = 0; i < std::size(TemperaturesC); ++i) {
                Cells[int(i) + 1].Temperature = TemperaturesC[i];
                Cells[int(i) + 1].Pressure = pressure;
            }

            StartEquilibriumCalculations();

            for (int c = 1; c <= int(std::size(TemperaturesC)); ++c) {
                EXPECT_EQ(Cells[c].State, CellRunState::Converged) << "cell " << c;
                EXPECT_TRUE(MeetsEquilibrium(c, tolerance(EqSpeciesCount)));
            }
            TearDown();
        }
    }
};

TEST_F(EquilibriumSweep, EveryConvergedCellOfThePatternSearchMeetsItsEquilibrium) {
    for (const SweepFeed& feed : Feeds) {
        SCOPED_TRACE(feed.Name);
        Sweep(feed, [](int species) { return PatternSearchTolerance(species); });
    }
}

} // namespace
