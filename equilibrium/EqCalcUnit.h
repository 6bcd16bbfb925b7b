// SPDX-License-Identifier: GPL-3.0-or-later
// The equilibrium solver with its numeric helpers, and the clock of the status-line pause.
#pragma once

#include "core/IndexedTable.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <random>

// The equilibrium computes in the x87 80-bit extended format.
static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "long double must be the 80-bit extended format");

// exp(Exponent * ln Base); Base must be positive.
long double Power(long double base, long double exponent);
// 1e307 for x >= 308, 0 for x <= -308, otherwise exp(x * ln 10).
long double TenToPower(long double x);
// 308 for x >= 1e307, -308 for x <= 1e-307 (zero and negative values too), otherwise log10 x.
long double Log10Clamped(long double x);

// Local time of day in seconds, with milliseconds.
double SecondsOfDay();
// Replaces the clock behind SecondsOfDay (tests); an empty function restores the real one.
void SetSecondsOfDaySource(std::function<double()> source);

// Busy-waits until the time of day has moved on by more than the given seconds. It handles no
// window messages. A pause that spans midnight lasts its time like any other; a pause of 0 (or
// a negative or non-finite one) waits until the clock has moved at all.
void WaitSeconds(double seconds);

// The solver works on at most 12 species; vectors and matrices are indexed from 1 and only their
// leading entries are meaningful.
constexpr int MaxEqSpecies = 12;
using EqVector = IndexedTable<long double, 1, MaxEqSpecies>;
using EqMatrix = IndexedTable<EqVector, 1, MaxEqSpecies>;

// Error measure of a trial vector for a balance rows (A, B) and b reaction rows (N, L) over the
// n = a + b species: the balance residuals relative to the size of their terms, the reaction
// residuals of the decimal logarithms divided by 10, combined as a root sum of squares over n.
long double EquilibriumError(int a, int b, const EqVector& trial, const EqMatrix& A,
                             const EqVector& B, const EqMatrix& N, const EqVector& L);

// Pattern search for amounts x that meet the balance rows A x = B and the reaction rows
// N log10(x) = L. Improves x in place, lowering BestError when an iteration beats it, and adapts
// Perturbation (the step) by Grow and Shrink within MinPerturbation..MaxPerturbation. Ends when
// its best error is below Tolerance, after MaxIterations iterations, when stopRequested is seen
// after an iteration, or when it gives up (free amounts reset to 1).
void SolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                      const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
                      int MaxIterations, double& Perturbation, double Grow, double Shrink,
                      double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
                      bool& Stalled);
// The same search, which also copies x into bestPoint whenever it lowers BestError: the point
// whose error BestError is, which a give-up return would otherwise lose.
void SolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                      const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
                      int MaxIterations, double& Perturbation, double Grow, double Shrink,
                      double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
                      bool& Stalled, EqVector& bestPoint);

// The same search drawing its random steps from a generator of the caller's own instead of the
// shared one, so that searches in several threads neither share nor disturb a generator.
void SolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                      const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
                      int MaxIterations, double& Perturbation, double Grow, double Shrink,
                      double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
                      bool& Stalled, EqVector& bestPoint, std::mt19937_64& random);

// The uniform pseudo-random generator on [0, 1) of the solver's random step. It is seeded from
// the clock at start-up; SeedRandom makes the draws repeatable (tests).
double RandomUniform();
void SeedRandom(std::uint64_t seed);
