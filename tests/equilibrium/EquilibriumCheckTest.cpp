// SPDX-License-Identifier: GPL-3.0-or-later
// The physics check of the equilibrium tests finds what it is there to find: an exact answer
// passes, and each kind of fault, made small, fails within the exact solver's tolerance.
#include "support/EquilibriumCheck.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ExactSolver.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using EquilibriumCheck = EquilibriumRun;

TEST_F(EquilibriumCheck, PassesAnExactAnswerAndFindsEachKindOfFault) {
    // Cell 1 holds hydrogen, carbon, oxygen and argon; cell 2 brings nitrogen into the run, which
    // cell 1 lacks.
    PrepareCellOne({{{"H2", 0.1}, {"H2O", 0.05}, {"CO", 0.05}, {"CO2", 0.1}, {"Ar", 0.7}},
                    {{"N2", 0.5}, {"H2", 0.5}}},
                   900, 2);
    const CellSystem system = BuildCellSystem(1, Cells[1].Pressure, Cells[1].Temperature);
    const ExactSolution solution = SolveExactly(system);
    ASSERT_EQ(solution.Outcome, ExactOutcome::Converged);
    const EqVector answer = RunAmounts(system, solution.x);
    ASSERT_EQ(CellSpeciesCount(1), 7); // H2, C(s), O2, Ar, H2O, CO, CO2: no N2 or NH3
    ASSERT_TRUE(MeetsEquilibrium(1, answer, ExactSolverTolerance));

    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    struct Case {
        const char* Title;
        std::function<void(EqVector&)> Fault;
        const char* Found;        // in the check's message
        bool WithinPatternSearch; // still within what a converged pattern search guarantees
    };
    const std::vector<Case> cases = {
        {"a negative amount", [](EqVector& x) { x[EqPosition("CO")] = -1e-30L; },
         "CO has the amount", false},
        {"an amount that is not a number", [&](EqVector& x) { x[EqPosition("H2O")] = nan; },
         "H2O has the amount", false},
        {"a species of an element the feed lacks",
         [](EqVector& x) { x[EqPosition("NH3")] = 1e-30L; }, "carries an element the feed lacks",
         false},
        {"every gas 1e-10 above the pressure",
         [](EqVector& x) {
             for (int j = 1; j <= EqSpeciesCount; ++j)
                 if (Compounds[EqSpecies[j]].Phase == Gaseous)
                     x[j] *= 1 + 1e-10L;
         },
         "the gases add up to", true},
        // Solid carbon stands in no balance row and adds nothing to the pressure: only the
        // reactions of CO and CO2 see it.
        {"solid carbon 1e-8 off", [](EqVector& x) { x[EqPosition("C(s)")] *= 1 + 1e-8L; },
         "the reaction of CO is off", true},
        // 1e-9 of the argon's amount moved to the hydrogen's: the pressure stays, the hydrogen
        // row does not.
        {"hydrogen off its feed ratio",
         [](EqVector& x) {
             const long double moved = 1e-9L * x[EqPosition("Ar")];
             x[EqPosition("Ar")] -= moved;
             x[EqPosition("H2")] += moved;
         },
         "H is off its feed ratio", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        EqVector x = answer;
        c.Fault(x);
        const ::testing::AssertionResult exact = MeetsEquilibrium(1, x, ExactSolverTolerance);
        EXPECT_FALSE(exact);
        EXPECT_NE(std::string(exact.message()).find(c.Found), std::string::npos) << exact.message();
        EXPECT_EQ(bool(MeetsEquilibrium(1, x, PatternSearchTolerance(7))), c.WithinPatternSearch);
    }
}

TEST_F(EquilibriumCheck, AConvergedCellIsHeldToItsBestErrorButNoTighterThanTheArithmetic) {
    SetCellFeeds({{{"H2", 0.04}, {"H2O", 0.01}, {"Ar", 0.95}}});
    ASSERT_TRUE(SelectEquilibriumSpecies());
    PrepareCells();
    ASSERT_EQ(CellSpeciesCount(1), 4);
    const struct {
        long double BestError;
        long double Balance, Reaction;
    } cases[] = {
        {1e-6L, 4e-6L, 4e-5L}, {5e-8L, 2e-7L, 2e-6L}, {1e-19L, 1e-12L, 1e-9L}, // an exact answer
    };
    for (const auto& c : cases) {
        CellBestError[1] = c.BestError;
        const EquilibriumTolerance tolerance = ConvergedCellTolerance(1);
        SCOPED_TRACE(static_cast<double>(c.BestError));
        EXPECT_TRUE(RelativelyNear(tolerance.BalanceRelative, c.Balance, 1e-15L));
        EXPECT_TRUE(RelativelyNear(tolerance.ReactionLog10, c.Reaction, 1e-15L));
    }
}

} // namespace
