// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferenceSolver.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/FormationReactions.h"

#include <cmath>
#include <numbers>

namespace {

// The decimal logarithm as the method clamps it: 308 from 1e307 up, -308 at and below 1e-307
// (zero and negative amounts among them), otherwise ln x / ln 10 in extended precision.
long double ClampedLog10(long double x) {
    if (x >= 1e307L)
        return 308;
    if (x <= 1e-307L)
        return -308;
    return std::log(x) / std::numbers::ln10_v<long double>;
}

// What one balance row adds to the measure: the row's residual relative to the size of its
// terms (at least 1e-37), squared.
long double BalanceContribution(const EqVector& trial, const EqVector& row, long double rightSide,
                                int n) {
    long double sum = 0;
    long double size = 0;
    for (int j = 1; j <= n; ++j) {
        const long double term = trial[j] * row[j];
        sum = sum + term;
        size = size + std::fabs(term);
    }
    if (size < 1e-37L)
        size = 1e-37L;
    const long double residual = std::fabs(sum - rightSide);
    return residual * residual / size / size;
}

// What one reaction row adds: the residual of its decimal logarithms, squared and divided by
// 100 (the residual taken a tenth).
long double ReactionContribution(const EqVector& trial, const EqVector& row, long double logK,
                                 int n) {
    long double sum = 0;
    for (int j = 1; j <= n; ++j)
        sum = sum + ClampedLog10(trial[j]) * row[j];
    const long double residual = std::fabs(sum - logK);
    return residual * residual / 100;
}

} // namespace

// The root of the summed contributions, balance rows first, over the number of species.
long double ReferenceEquilibriumError(int a, int b, const EqVector& trial, const EqMatrix& A,
                                      const EqVector& B, const EqMatrix& N, const EqVector& L) {
    const int n = a + b;
    long double total = 0;
    for (int i = 1; i <= a; ++i)
        total = total + BalanceContribution(trial, A[i], B[i], n);
    for (int r = 1; r <= b; ++r)
        total = total + ReactionContribution(trial, N[r], L[r], n);
    return std::sqrt(total) / n;
}

namespace {
struct Search {
    int a, b, n;
    const EqMatrix& A;
    const EqVector& B;
    const EqMatrix& N;
    const EqVector& L;
    EqVector& x;
    IndexedTable<int, 1, MaxEqSpecies> steps;
    EqVector trial;
    long double best;
    double perturbation;
    bool absolute;

    long double Candidate(int i, int k) const {
        if (absolute)
            return x[i] + k * 10.0L * perturbation;
        return x[i] * (1.0L + k * static_cast<long double>(perturbation));
    }

    void Sweep(int depth) {
        if (depth > n) {
            const long double e = ReferenceEquilibriumError(a, b, trial, A, B, N, L);
            if (e < best) {
                best = e;
                x = trial;
            }
            return;
        }
        if (steps[depth] == 1) {
            Sweep(depth + 1);
            return;
        }
        for (int k = -1; k <= 1; ++k) {
            trial[depth] = Candidate(depth, k);
            Sweep(depth + 1);
        }
    }
};
} // namespace

void ReferenceSolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B,
                               const EqMatrix& N, const EqVector& L, EqVector& x,
                               long double& BestError, long double Tolerance, int MaxIterations,
                               double& Perturbation, double Grow, double Shrink,
                               double MaxPerturbation, double MinPerturbation,
                               const bool& stopRequested, bool& Stalled) {
    Search s{a, b, a + b, A, B, N, L, x, {}, {}, 0, 0, false};
    for (int j = 1; j <= s.n; ++j)
        s.steps[j] = 3;
    for (int i = 1; i <= a; ++i) {
        int count = 0;
        int only = 0;
        for (int j = 1; j <= s.n; ++j)
            if (A[i][j] != 0) {
                ++count;
                only = j;
            }
        if (count == 1) {
            x[only] = B[i] / A[i][only];
            s.steps[only] = 1;
        }
    }
    s.trial = x;
    s.best = ReferenceEquilibriumError(a, b, s.trial, A, B, N, L);
    int counter = 0;
    for (;;) {
        ++counter;
        s.perturbation = Perturbation;
        s.absolute = false;
        s.Sweep(1);
        if (10.0L * Perturbation != 0) {
            s.absolute = true;
            s.Sweep(1);
        }
        if (BestError > s.best) {
            BestError = s.best;
            Perturbation = static_cast<double>(Perturbation * static_cast<long double>(Grow));
            Stalled = false;
        } else {
            Perturbation = static_cast<double>(Perturbation / static_cast<long double>(Shrink));
            if (Perturbation < MinPerturbation) {
                if (Stalled) {
                    for (int j = 1; j <= s.n; ++j)
                        if (s.steps[j] == 3)
                            x[j] = 1;
                    return;
                }
                Perturbation = RandomUniform();
            }
            Stalled = true;
        }
        if (Perturbation >= MaxPerturbation)
            Perturbation = MaxPerturbation;
        if (!(s.best >= Tolerance && counter < MaxIterations && !stopRequested))
            return;
    }
}

void SolverCall::Run(SolverFunction solver) {
    solver(a, b, A, B, N, L, x, BestError, Tolerance, MaxIterations, Perturbation, Grow, Shrink,
           MaxPerturbation, MinPerturbation, StopRequested, Stalled);
}

SolverCall FirstCallOfCell(int cell) {
    BuildCellEquations(cell, Cells[cell].Pressure, Cells[cell].Temperature);
    SolverCall c;
    c.a = UsedElementCount;
    c.b = ReactionCount;
    c.A = BalanceMatrix;
    c.B = BalanceRightSides;
    c.N = ReactionMatrix;
    c.L = LogKeq;
    for (int j = 1; j <= EqSpeciesCount; ++j)
        c.x[j] = FeedAmounts[cell][j] + 1e-20L;
    return c;
}

SolverCall NextPass(SolverCall call, const SolverCall& result) {
    call.x = result.x;
    call.BestError = result.BestError;
    call.Perturbation = result.Perturbation;
    call.Stalled = false;
    return call;
}
