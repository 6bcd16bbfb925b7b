// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/FormationReactions.h"

#include "equilibrium/CellEquilibrium.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using FormationReactions = EquilibriumRun;

namespace {
const std::string BelowRange = "red: Temperature below range of thermochemical data set";
const Components Carbon = {{"CO", 1.0}};
const Components HydrogenAndOxygen = {{"H2", 0.5}, {"O2", 0.5}};
} // namespace

TEST_F(FormationReactions, GiveTheWorkedEquilibriumConstants) {
    struct Case {
        Components Feed;
        double T;
        const char* Compound;
        double LogKeq; // to the digits given
    };
    const Case cases[] = {
        {HydrogenAndOxygen, 298.15, "H2O", 40.046},
        {HydrogenAndOxygen, 1000, "H2O", 10.060},
        {Carbon, 298.15, "CO", 24.033},
        {Carbon, 1000, "CO", 10.468},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Compound) + " at " + std::to_string(c.T) + " K");
        SetCellFeeds({c.Feed});
        ASSERT_TRUE(SelectEquilibriumSpecies());
        BuildFormationReactions(c.T);
        // The first compound of the run is the one of the case.
        EXPECT_EQ(Compounds[EqSpecies[UsedElementCount + 1]].Formula, c.Compound);
        EXPECT_NEAR(double(LogKeq[1]), c.LogKeq, 5e-4);
    }

    // The water reaction at 298.15 K from its free energy: 1000 dH - T dS of H2 + 0.5 O2 -> H2O.
    SetCellFeeds({HydrogenAndOxygen});
    ASSERT_TRUE(SelectEquilibriumSpecies());
    BuildFormationReactions(298.15);
    const long double dG = -LogKeq[1] * GasConstant * 298.15L * std::log(10.0L);
    EXPECT_NEAR(double(dG), -228583.18, 0.005);
}

TEST_F(FormationReactions, WriteEachCompoundFromTheReferenceSpeciesAndReportIt) {
    SetCellFeeds({Carbon});
    ASSERT_TRUE(SelectEquilibriumSpecies());
    ASSERT_EQ(EqSpeciesFormulas(), (std::vector<std::string>{"C(s)", "O2", "CO", "CO2"}));
    for (EqVector& row : ReactionMatrix) // leftovers of a run with more species
        row[12] = 7;
    LogKeq[3] = 7;

    BuildFormationReactions(1000);

    const std::vector<std::vector<long double>> rows = {
        {-1, -0.5, 1, 0}, // C(s) + 0.5 O2 -> CO
        {-1, -1, 0, 1},   // C(s) + O2 -> CO2
    };
    for (int r = 1; r <= MaxEqSpecies; ++r)
        for (int j = 1; j <= MaxEqSpecies; ++j) {
            const bool written = r <= 2 && j <= 4;
            EXPECT_EQ(ReactionMatrix[r][j],
                      written ? rows[std::size_t(r - 1)][std::size_t(j - 1)] : 0.0L)
                << "row " << r << ", column " << j;
        }
    for (int r = 3; r <= MaxEqSpecies; ++r)
        EXPECT_EQ(LogKeq[r], 0) << r;

    const std::vector<std::string> lines = Recorder.StatusLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "blue: Compound: CO");
    EXPECT_EQ(lines[1], "blue: 1 CO     -1.00  -0.50   1.00   0.00   LogKeq =      10.4680");
    EXPECT_EQ(lines[2], "blue: Compound: CO2");
    EXPECT_EQ(lines[3].rfind("blue: 2 CO2     -1.00  -1.00   0.00   1.00   LogKeq = ", 0), 0u)
        << lines[3];

    // The water line, with the constant worked out by hand from the standard data.
    Recorder.Clear();
    SetCellFeeds({HydrogenAndOxygen});
    ASSERT_TRUE(SelectEquilibriumSpecies());
    BuildFormationReactions(298.15);
    EXPECT_EQ(
        Recorder.StatusLines(),
        (std::vector<std::string>{"blue: Compound: H2O",
                                  "blue: 1 H2O     -1.00  -0.50   1.00   LogKeq =      40.0458"}));
}

TEST_F(FormationReactions, WarnForCarbonInEveryCarbonReactionBelowItsData) {
    SetCellFeeds({Carbon});
    ASSERT_TRUE(SelectEquilibriumSpecies());
    BuildFormationReactions(290);

    // Only solid carbon's data start at 298.15 K; those of O2, CO and CO2 reach lower.
    const std::vector<std::string> lines = Recorder.StatusLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "blue: Compound: CO");
    EXPECT_EQ(lines[1], BelowRange);
    EXPECT_EQ(lines[3], "blue: Compound: CO2");
    EXPECT_EQ(lines[4], BelowRange);
    // The constants are still computed, from the standard values.
    EXPECT_NEAR(double(LogKeq[1]),
                -(-110541 - 290 * (197.661 - 5.74 - 0.5 * 205.146)) /
                    (8.31451 * 290 * std::log(10.0)),
                1e-9);
}
