// SPDX-License-Identifier: GPL-3.0-or-later
// The pattern search on small systems whose answers are known by hand, for the program's solver
// and for the plain reference alike, each with its own error measure.
#include "equilibrium/EqCalcUnit.h"
#include "support/ReferenceSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

void SetRow(EqVector& row, const std::vector<long double>& entries) {
    for (std::size_t j = 0; j < entries.size(); ++j)
        row[static_cast<long>(j) + 1] = entries[j];
}

EqVector Amounts(const std::vector<long double>& entries) {
    EqVector x{};
    SetRow(x, entries);
    return x;
}

using ErrorFunction = long double (*)(int, int, const EqVector&, const EqMatrix&, const EqVector&,
                                      const EqMatrix&, const EqVector&);

struct Solver {
    const char* Name;
    SolverFunction Solve;
    ErrorFunction Error;
};

void PrintTo(const Solver& solver, std::ostream* out) {
    *out << solver.Name;
}

const Solver Solvers[] = {
    {"Program", SolveEquilibrium, EquilibriumError},
    {"Reference", ReferenceSolveEquilibrium, ReferenceEquilibriumError},
};

class KnownAnswers : public ::testing::TestWithParam<Solver> {
protected:
    long double ErrorAt(const SolverCall& r, const EqVector& x) const {
        return GetParam().Error(r.a, r.b, x, r.A, r.B, r.N, r.L);
    }
    void Solve(SolverCall& r) const { r.Run(GetParam().Solve); }
};

// x1 + x2 = 1 and log10 x2 - log10 x1 = 1, solved by x = (1/11, 10/11).
SolverCall SumAndRatio() {
    SolverCall r;
    r.a = 1;
    r.b = 1;
    SetRow(r.A[1], {1, 1});
    r.B[1] = 1;
    SetRow(r.N[1], {-1, 1});
    r.L[1] = 1;
    return r;
}

TEST_P(KnownAnswers, ErrorMeasureOfWorkedExamples) {
    const SolverCall r = SumAndRatio();

    // At (0.5, 0.25): the balance residual 0.25 relative to its terms 0.75, and the reaction
    // residual log10(0.5) - 1.
    const double balance = 0.25 / 0.75;
    const double reaction = std::log10(0.5) - 1;
    EXPECT_NEAR(static_cast<double>(ErrorAt(r, Amounts({0.5, 0.25}))),
                std::sqrt(balance * balance + reaction * reaction / 100) / 2, 1e-15);
    // The solution itself.
    EXPECT_NEAR(static_cast<double>(ErrorAt(r, Amounts({1.0L / 11, 10.0L / 11}))), 0, 1e-18);
    // All amounts zero: the balance terms' size is taken as 1e-37, and both logarithms are
    // -308, so that the reaction residual is the whole of L.
    EXPECT_NEAR(static_cast<double>(ErrorAt(r, Amounts({0, 0}))), std::sqrt(1e74 + 0.01) / 2, 1e22);
    // Negative amounts count as -308 in the reactions but with their sign in the balance.
    EXPECT_NEAR(static_cast<double>(ErrorAt(r, Amounts({-0.5, 2}))),
                std::sqrt(std::pow(0.5 / 2.5, 2) + std::pow(std::log10(2.0) + 308 - 1, 2) / 100) /
                    2,
                1e-13);
}

// Species 3 stands alone in a balance row and is fixed at B / A there; the other two are found
// from x1 + x2 = 1 and x1 = x2 (both in bar).
TEST_P(KnownAnswers, ASingleCoefficientRowFixesItsSpecies) {
    struct Case {
        const char* Name;
        long double Coefficient;
        long double RightSide;
        long double Fixed;
    };
    const Case cases[] = {
        {"positive", 2, 1, 0.5L},
        {"negative coefficient", -4, 1, -0.25L},
        {"zero right side", 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        SolverCall r;
        r.a = 2;
        r.b = 1;
        SetRow(r.A[1], {1, 1, 0});
        r.B[1] = 1;
        SetRow(r.A[2], {0, 0, c.Coefficient});
        r.B[2] = c.RightSide;
        SetRow(r.N[1], {-1, 1, 0});
        r.x = Amounts({0.3L, 0.6L, 7});
        Solve(r);
        EXPECT_EQ(r.x[3], c.Fixed);
        EXPECT_LT(r.BestError, 1e-6L);
        EXPECT_NEAR(static_cast<double>(r.x[1]), 0.5, 1e-5);
        EXPECT_NEAR(static_cast<double>(r.x[2]), 0.5, 1e-5);
    }
}

TEST_P(KnownAnswers, ALaterRowFixingTheSameSpeciesWins) {
    SolverCall r;
    r.a = 3;
    SetRow(r.A[1], {2, 0, 0});
    r.B[1] = 1;
    SetRow(r.A[2], {4, 0, 0});
    r.B[2] = 1;
    SetRow(r.A[3], {1, 1, 1});
    r.B[3] = 3;
    r.x = Amounts({1, 1, 1});
    r.MaxIterations = 1;
    Solve(r);
    EXPECT_EQ(r.x[1], 0.25L);
}

// x1 is fixed at 1; x1 + x2 = 1 + 2e-7 asks for x2 = 2e-7. From x2 = 0 the error is 1e-7,
// already below the tolerance, and the relative steps cannot move a zero amount. The one full
// iteration still made takes the absolute step 10 * 1e-8 and ends there.
TEST_P(KnownAnswers, StartingBelowTheToleranceStillMakesOneFullIteration) {
    SolverCall r;
    r.a = 2;
    SetRow(r.A[1], {1, 0});
    r.B[1] = 1;
    SetRow(r.A[2], {1, 1});
    r.B[2] = 1 + 2e-7L;
    r.x = Amounts({1, 0});
    ASSERT_LT(ErrorAt(r, r.x), 1e-6L);
    r.Perturbation = 1e-8;
    Solve(r);
    EXPECT_EQ(r.x[1], 1);
    EXPECT_EQ(r.x[2], 0 + 1 * 10.0L * 1e-8);
    EXPECT_EQ(r.BestError, ErrorAt(r, r.x));
    // The improvement on the caller's 1e10 grew the step once.
    EXPECT_DOUBLE_EQ(r.Perturbation, 1e-8 * std::sqrt(2.0));
    EXPECT_FALSE(r.Stalled);
}

TEST_P(KnownAnswers, TheFirstImprovementOnAFreshCellRunGrowsTheStep) {
    SolverCall r = SumAndRatio();
    r.x = Amounts({0.5L + 1e-20L, 0.5L + 1e-20L});
    r.MaxIterations = 1;
    Solve(r);
    EXPECT_LT(r.BestError, 1e10L);
    EXPECT_EQ(r.BestError, ErrorAt(r, r.x));
    EXPECT_DOUBLE_EQ(r.Perturbation, 1e-6 * std::sqrt(2.0));
}

// x1 is fixed at 0.3; x2 + x3 = 1 and x2 = x3. The start is the exact solution with error 0,
// and the caller already knows 0, so no iteration improves.
class NoImprovement : public KnownAnswers {
protected:
    void SetUp() override {
        r.a = 2;
        r.b = 1;
        SetRow(r.A[1], {2, 0, 0});
        r.B[1] = 0.6L;
        SetRow(r.A[2], {0, 1, 1});
        r.B[2] = 1;
        SetRow(r.N[1], {0, -1, 1});
        r.BestError = 0;
        r.Tolerance = 0; // never reached: the loop ends by the step rules alone
        r.Perturbation = 1.5e-8;
        r.x = Amounts({0.3L, 0.5L, 0.5L});
        ASSERT_EQ(ErrorAt(r, r.x), 0);
    }
    SolverCall r;
};

TEST_P(NoImprovement, AStalledSearchWhoseStepFallsBelowTheMinimumGivesUp) {
    r.Stalled = true;
    Solve(r);
    EXPECT_EQ(r.x[1], 0.3L) << "the fixed species keeps its amount";
    EXPECT_EQ(r.x[2], 1);
    EXPECT_EQ(r.x[3], 1);
    EXPECT_EQ(r.BestError, 0);
    EXPECT_DOUBLE_EQ(r.Perturbation, 1.5e-8 / std::sqrt(3.0));
}

TEST_P(NoImprovement, AFirstFallBelowTheMinimumDrawsARandomStep) {
    SeedRandom(4);
    const double draw = RandomUniform();
    SeedRandom(4);
    r.MaxIterations = 1;
    Solve(r);
    EXPECT_EQ(r.Perturbation, std::min(draw, 0.5));
    EXPECT_TRUE(r.Stalled);
    EXPECT_EQ(r.x[2], 0.5L);
    EXPECT_EQ(r.x[3], 0.5L);
}

TEST_P(NoImprovement, TheStepShrinksUntilTheSearchGivesUp) {
    SeedRandom(4);
    Solve(r);
    EXPECT_EQ(r.x[2], 1);
    EXPECT_EQ(r.x[3], 1);
    EXPECT_LT(r.Perturbation, 1e-8);
    EXPECT_TRUE(r.Stalled);
}

TEST_P(NoImprovement, AStopRequestEndsTheCallAfterOneIteration) {
    r.StopRequested = true;
    r.Perturbation = 1e-3;
    Solve(r);
    EXPECT_DOUBLE_EQ(r.Perturbation, 1e-3 / std::sqrt(3.0));
    EXPECT_EQ(r.x[2], 0.5L);
}

std::string SolverName(const ::testing::TestParamInfo<Solver>& info) {
    return info.param.Name;
}
INSTANTIATE_TEST_SUITE_P(BothSolvers, KnownAnswers, ::testing::ValuesIn(Solvers), SolverName);
INSTANTIATE_TEST_SUITE_P(BothSolvers, NoImprovement, ::testing::ValuesIn(Solvers), SolverName);

TEST(RandomUniform, SeededDrawsRepeatAndStayBelowOne) {
    SeedRandom(99);
    std::vector<double> first;
    for (int i = 0; i < 1000; ++i)
        first.push_back(RandomUniform());
    SeedRandom(99);
    for (int i = 0; i < 1000; ++i) {
        const double draw = RandomUniform();
        EXPECT_EQ(draw, first[static_cast<std::size_t>(i)]);
        EXPECT_GE(draw, 0.0);
        EXPECT_LT(draw, 1.0);
    }
}

} // namespace
