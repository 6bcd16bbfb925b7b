// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/CellFeeds.h"
#include "core/SetupTables.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {
constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

struct Leaks {
    double O2, N2, H2, H2O;
};

struct FeedCase {
    const char* Title;
    int Mix;
    Components Node; // the node's fractions in gas-list order
    Leaks Leak;
    Components Feed; // expected, in the same order; empty names everywhere when empty
};
} // namespace

using CellFeedTest = ProgramTest;

TEST_F(CellFeedTest, AddsTheLeaksToTheNodeGasAndNormalises) {
    const double sum = 1.00001;
    const std::vector<FeedCase> cases = {
        {"an oxygen leak into hydrogen in argon",
         2,
         {{"H2", 0.05}, {"Ar", 0.95}, {"O2", 0}, {"H2O", 0}},
         {1e-5, 0, 0, 0},
         {{"H2", 0.05 / sum}, {"Ar", 0.95 / sum}, {"O2", 1e-5 / sum}, {"H2O", 0}}},
        {"a node that nothing feeds takes the composition of the leaks",
         2,
         {{"H2", 0}, {"Ar", 0}, {"O2", 0}, {"H2O", 0}},
         {1e-5, 0, 0, 3e-5},
         {{"H2", 0}, {"Ar", 0}, {"O2", 0.25}, {"H2O", 0.75}}},
        {"every leak goes to its own gas only",
         2,
         {{"N2", 0.5}, {"H2", 0.25}, {"O2", 0.125}, {"H2O", 0.125}},
         {0.125, 0.25, 0.5, 1},
         {{"N2", 0.75 / 2.875},
          {"H2", 0.75 / 2.875},
          {"O2", 0.25 / 2.875},
          {"H2O", 1.125 / 2.875}}},
        {"a cell with no node gets an empty feed",
         0,
         {{"H2", 0.05}, {"Ar", 0.95}},
         {1e-5, 0, 0, 0},
         {}},
        {"so does a cell whose number is beyond the nodes",
         17,
         {{"H2", 0.05}, {"Ar", 0.95}},
         {1e-5, 0, 0, 0},
         {}},
        {"node gas and leaks all 0: the names stay, every fraction 0",
         2,
         {{"H2", 0}, {"Ar", 0}, {"O2", 0}},
         {0, 0, 0, 0},
         {{"H2", 0}, {"Ar", 0}, {"O2", 0}}},
        {"a NaN fraction counts as a sum of 0",
         2,
         {{"H2", Nan}, {"Ar", 0.95}, {"O2", 0}},
         {1e-5, 0, 0, 0},
         {{"H2", 0}, {"Ar", 0}, {"O2", 0}}},
        {"so does an infinite one",
         2,
         {{"H2", 0.05}, {"Ar", -Infinity}},
         {0, 0, 0, 0},
         {{"H2", 0}, {"Ar", 0}}},
        {"and a NaN or infinite leak",
         2,
         {{"H2", 0.05}, {"Ar", 0.95}, {"O2", 0}, {"H2O", 0}},
         {Nan, 0, 0, Infinity},
         {{"H2", 0}, {"Ar", 0}, {"O2", 0}, {"H2O", 0}}},
        {"fractions too large to add up",
         2,
         {{"H2", 1e308}, {"Ar", 1e308}},
         {0, 0, 0, 0},
         {{"H2", 0}, {"Ar", 0}}},
        {"fractions whose sum is so small that dividing by it overflows",
         2,
         {{"H2", 1e300}, {"Ar", -1e300}, {"O2", 1e-300}},
         {0, 0, 0, 0},
         {{"H2", 0}, {"Ar", 0}, {"O2", 0}}},
    };
    for (const FeedCase& c : cases) {
        SCOPED_TRACE(c.Title);
        FillSlots(Mixtures[NodeMixture(2)].Gas, c.Node);
        CellRecord& cell = Cells[5];
        cell.Mix = static_cast<std::uint16_t>(c.Mix);
        cell.LeakO2 = c.Leak.O2;
        cell.LeakN2 = c.Leak.N2;
        cell.LeakH2 = c.Leak.H2;
        cell.LeakH2O = c.Leak.H2O;
        for (GasFraction& slot : CellFeed[5])
            slot = {{}, {}, 99.0}; // leftovers of an earlier calculation

        ComputeCellFeeds();

        for (int k = 1; k <= MaxGases; ++k) {
            const std::size_t index = static_cast<std::size_t>(k - 1);
            const std::string name = index < c.Feed.size() ? c.Feed[index].first : "";
            const double fraction = index < c.Feed.size() ? c.Feed[index].second : 0;
            EXPECT_EQ(CellFeed[5][k].Gas.Str(), name) << k;
            EXPECT_DOUBLE_EQ(CellFeed[5][k].Fraction, fraction) << k;
        }
    }
}

TEST_F(CellFeedTest, TwoCellsOnOneNodeWithDifferentLeaksGetDifferentFeeds) {
    MixtureRecord& node = Mixtures[NodeMixture(1)];
    node.Gas[1] = {{}, {}, 1.0};
    node.Gas[1].Gas.Set("Ar");
    node.Gas[2].Gas.Set("O2");
    Cells[1].Mix = Cells[2].Mix = 1;
    Cells[1].LeakO2 = 1e-5;
    Cells[2].LeakO2 = 1e-3;

    ComputeCellFeeds();

    EXPECT_DOUBLE_EQ(CellFeed[1][2].Fraction, 1e-5 / (1 + 1e-5));
    EXPECT_DOUBLE_EQ(CellFeed[2][2].Fraction, 1e-3 / (1 + 1e-3));
}
