// SPDX-License-Identifier: GPL-3.0-or-later
// The program's solver against the plain reference on many random systems: the same x, best
// error, step and stall flag after every call, bit for bit.
#include "support/ReferenceSolver.h"

#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/EqCalcUnit.h"
#include "equilibrium/FormationReactions.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace {

bool SameBits(long double p, long double q) {
    return std::memcmp(&p, &q, 10) == 0; // the 80 bits of the extended format
}

std::string Describe(const SolverCall& c) {
    std::ostringstream out;
    out.precision(21);
    out << "a=" << c.a << " b=" << c.b << " P=" << c.Perturbation << " best=" << c.BestError
        << " stalled=" << c.Stalled << "\nx:";
    for (int j = 1; j <= c.a + c.b; ++j)
        out << ' ' << c.x[j];
    return out.str();
}

// Runs both solvers on copies of the call with the same random draws and demands identical
// results. Returns the fast solver's result.
SolverCall ExpectIdentical(const SolverCall& call, std::uint64_t seed) {
    SolverCall reference = call;
    SolverCall fast = call;
    SeedRandom(seed);
    ReferenceSolveEquilibrium(
        reference.a, reference.b, reference.A, reference.B, reference.N, reference.L, reference.x,
        reference.BestError, reference.Tolerance, reference.MaxIterations, reference.Perturbation,
        reference.Grow, reference.Shrink, reference.MaxPerturbation, reference.MinPerturbation,
        reference.StopRequested, reference.Stalled);
    SeedRandom(seed);
    SolveEquilibrium(fast.a, fast.b, fast.A, fast.B, fast.N, fast.L, fast.x, fast.BestError,
                     fast.Tolerance, fast.MaxIterations, fast.Perturbation, fast.Grow, fast.Shrink,
                     fast.MaxPerturbation, fast.MinPerturbation, fast.StopRequested, fast.Stalled);
    for (int j = 1; j <= MaxEqSpecies; ++j)
        EXPECT_TRUE(SameBits(fast.x[j], reference.x[j]))
            << "x" << j << ": fast " << fast.x[j] << " reference " << reference.x[j] << "\n"
            << Describe(call);
    EXPECT_TRUE(SameBits(fast.BestError, reference.BestError))
        << "fast " << fast.BestError << " reference " << reference.BestError << "\n"
        << Describe(call);
    EXPECT_EQ(std::memcmp(&fast.Perturbation, &reference.Perturbation, sizeof(double)), 0)
        << "fast " << fast.Perturbation << " reference " << reference.Perturbation << "\n"
        << Describe(call);
    EXPECT_EQ(fast.Stalled, reference.Stalled) << Describe(call);
    return fast;
}

class RandomSystems {
public:
    explicit RandomSystems(std::uint64_t seed) : rng_(seed) {}

    double Uniform(double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng_); }
    int Pick(int lo, int hi) { return std::uniform_int_distribution<>(lo, hi)(rng_); }
    bool Chance(double p) { return Uniform(0, 1) < p; }

    // An amount: ordinary partial pressures over many decades, and the awkward ones the
    // absolute sweep and the clamped logarithm meet (zero, negative, below 1e-307, huge), and
    // rarely a non-finite one that no trial through it can improve on.
    long double Amount() {
        if (Chance(0.01))
            return Chance(0.5) ? std::numeric_limits<long double>::infinity()
                               : std::numeric_limits<long double>::quiet_NaN();
        switch (Pick(0, 11)) {
        case 0:
            return 0;
        case 1:
            return -std::pow(10.0L, Uniform(-12, 0));
        case 2:
            return 1e-20L;
        case 3:
            return 1e-310L;
        case 4:
            return std::pow(10.0L, Uniform(300, 320));
        case 5:
            return 1;
        default:
            return std::pow(10.0L, Uniform(-30, 0.5));
        }
    }

    long double BalanceCoefficient() {
        switch (Pick(0, 9)) {
        case 0:
        case 1:
        case 2:
        case 3:
            return 0;
        case 4:
            return Pick(0, 1) ? 1 : -1;
        case 5:
            return Pick(1, 3) * (Pick(0, 1) ? 1 : -1);
        case 6:
            return Chance(0.5) ? 1e-30L : -1e30L;
        default:
            return Uniform(-3, 3);
        }
    }

    long double ReactionCoefficient() {
        switch (Pick(0, 7)) {
        case 0:
        case 1:
        case 2:
        case 3:
            return 0;
        case 4:
            return -0.5L;
        case 5:
            return -Pick(1, 3);
        default:
            return Uniform(-3, 3);
        }
    }

    long double Logarithm() {
        switch (Pick(0, 9)) {
        case 0:
            return Chance(0.5) ? 1e4L : -1e4L;
        case 1:
            return 1e-12L;
        case 2:
            return 0;
        default:
            return Uniform(-50, 50);
        }
    }

    // A system of n species with at most maxFree of them left free by single-coefficient
    // balance rows, so that the plain reference finishes in reasonable time.
    SolverCall System(int n, int maxFree) {
        SolverCall c;
        const int fixedWanted = std::max(0, n - maxFree);
        c.a = Pick(fixedWanted, n);
        c.b = n - c.a;
        for (int i = 1; i <= c.a; ++i) {
            if (i <= fixedWanted) {
                // Species i alone: fixes it at B_i / A(i, i), sometimes at 0.
                c.A[i][i] = Chance(0.8) ? 1 : Uniform(-2, 2);
                c.B[i] = Chance(0.3) ? 0 : Uniform(0, 2);
                continue;
            }
            for (int j = 1; j <= n; ++j)
                c.A[i][j] = BalanceCoefficient();
            c.B[i] = Chance(0.6) ? 0 : (Chance(0.5) ? 1 : Uniform(-1, 5));
        }
        for (int r = 1; r <= c.b; ++r) {
            for (int j = 1; j <= n; ++j)
                c.N[r][j] = ReactionCoefficient();
            c.N[r][c.a + r] = 1;
            c.L[r] = Logarithm();
        }
        for (int j = 1; j <= n; ++j)
            c.x[j] = Amount();
        // Past the first iterations of a cell run: a carried best error and step, sometimes a
        // step below the minimum (the random draw) or zero (no absolute sweep).
        if (Chance(0.3))
            c.BestError = std::pow(10.0L, Uniform(-8, 2));
        switch (Pick(0, 5)) {
        case 0:
            c.Perturbation = 0;
            break;
        case 1:
            c.Perturbation = 9e-9;
            break;
        case 2:
            c.Perturbation = Uniform(1e-8, 0.5);
            break;
        default:
            c.Perturbation = 1e-6;
        }
        c.Stalled = Chance(0.3);
        c.Tolerance = Chance(0.2) ? 1e-2L : 1e-6L;
        c.StopRequested = Chance(0.05);
        return c;
    }

private:
    std::mt19937_64 rng_;
};

TEST(SolverDifferential, RandomSystemsOfEverySizeGiveIdenticalResults) {
    RandomSystems random(20261209);
    int changed = 0;
    int cases = 0;
    for (int n = 1; n <= MaxEqSpecies; ++n) {
        // Up to 7 free species every sweep evaluates at most 2187 points; keep the iterations
        // small enough for the plain reference.
        const int maxFree = std::min(n, 7);
        for (int round = 0; round < 25; ++round) {
            SolverCall call = random.System(n, maxFree);
            call.MaxIterations = random.Pick(1, n <= 4 ? 60 : 8);
            const SolverCall result = ExpectIdentical(call, 1000 * n + round);
            ++cases;
            for (int j = 1; j <= n; ++j)
                if (!SameBits(result.x[j], call.x[j])) {
                    ++changed;
                    break;
                }
            if (HasFailure())
                return;
        }
    }
    // The comparison means something only if the searches moved.
    EXPECT_GT(changed, cases / 2);
}

// The program's error measure against the one written apart from it, on random systems and the
// awkward amounts the searches meet: the same value, bit for bit.
TEST(SolverDifferential, ErrorMeasuresAgreeOnRandomPoints) {
    RandomSystems random(20260517);
    for (int n = 1; n <= MaxEqSpecies; ++n)
        for (int round = 0; round < 200; ++round) {
            const SolverCall c = random.System(n, n);
            EqVector trial{};
            for (int j = 1; j <= n; ++j)
                trial[j] = random.Amount();
            const long double program = EquilibriumError(c.a, c.b, trial, c.A, c.B, c.N, c.L);
            const long double reference =
                ReferenceEquilibriumError(c.a, c.b, trial, c.A, c.B, c.N, c.L);
            ASSERT_TRUE(SameBits(program, reference) ||
                        (std::isnan(program) && std::isnan(reference)))
                << "program " << program << " reference " << reference << "\n"
                << Describe(c);
        }
}

// Cell 1 of the given feeds as the cell run hands it to the solver in its first pass.
SolverCall FirstPassOfCellOne(const std::vector<Components>& feeds, double temperatureC,
                              double pressure) {
    PrepareCellOne(feeds, temperatureC, pressure);
    return FirstCallOfCell(1);
}

struct RealCell {
    const char* Name;
    std::vector<Components> Feeds; // cell 1 first; other cells only add elements to the run
    double TemperatureC;
    double Pressure;
    int ComparedIterations; // per pass, in two passes
    int FastOnlyIterations; // run by the fast solver alone before the second compared pass
};

// Every species of the built-in table except ozone, which is never enabled, in some case.
const RealCell RealCells[] = {
    {"wet hydrogen in argon", {{{"H2", 0.04}, {"H2O", 0.01}, {"Ar", 0.95}}}, 800, 1, 100, 0},
    {"carbon monoxide buffer", {{{"CO", 0.1}, {"CO2", 0.1}, {"Ar", 0.8}}}, 700, 1, 100, 0},
    // Helium only in cell 2: cell 1 fixes it at 0.
    {"oxygen with helium elsewhere",
     {{{"O2", 0.01}, {"Ar", 0.99}}, {{"H2", 0.5}, {"He", 0.5}}},
     600,
     2.5,
     100,
     0},
    {"humid air at room temperature", {{{"H2O", 0.03}, {"O2", 0.2}, {"N2", 0.77}}}, 25, 1, 100, 0},
    {"heavy water and ammonia",
     {{{"D2", 0.05}, {"D2O", 0.02}, {"N2", 0.2}, {"NH3", 0.01}, {"He", 0.72}}},
     900,
     0.2,
     15,
     0},
    {"all twelve gases",
     {{{"H2", 0.05},
       {"D2", 0.02},
       {"N2", 0.1},
       {"O2", 0.05},
       {"Ar", 0.5},
       {"He", 0.1},
       {"H2O", 0.05},
       {"D2O", 0.02},
       {"CO", 0.05},
       {"CO2", 0.05},
       {"NH3", 0.01}}},
     800,
     1,
     1,
     12},
};

class RealCellDifferential : public ProgramTest {};

TEST_F(RealCellDifferential, CellRunsGiveIdenticalResults) {
    for (const RealCell& cell : RealCells) {
        SCOPED_TRACE(cell.Name);
        SolverCall first = FirstPassOfCellOne(cell.Feeds, cell.TemperatureC, cell.Pressure);
        ASSERT_GT(first.a + first.b, 0);
        first.MaxIterations = cell.ComparedIterations;
        SolverCall result = ExpectIdentical(first, 11);
        if (cell.FastOnlyIterations > 0) {
            SolverCall ahead = NextPass(first, result);
            ahead.MaxIterations = cell.FastOnlyIterations;
            SeedRandom(12);
            ahead.Run(SolveEquilibrium);
            result = ahead;
        }
        SolverCall second = NextPass(first, result);
        ExpectIdentical(second, 13);
        if (HasFailure())
            return;
    }
}

} // namespace
