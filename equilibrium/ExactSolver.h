// SPDX-License-Identifier: GPL-3.0-or-later
// A second solver for a cell's equations: Newton's method on the logarithms of the reference
// species' amounts, the compounds following from their reaction rows. It solves the very
// equations of the pattern search, the balance rows and the formation reactions of a
// CellSystem, to the precision of the arithmetic rather than to a tolerance, in a dozen or so
// steps instead of passes of millions of trials.
//
// It keeps no state between calls and reads nothing but its arguments, so that it may be called
// from any thread on a system of the caller's own.
#pragma once

#include "equilibrium/CellSystem.h"
#include "equilibrium/EqCalcUnit.h"

enum class ExactOutcome {
    Converged,
    // The feed holds at least as many carbon atoms as oxygen atoms. Solid carbon takes no part
    // in the gas balance and every gaseous carbon species carries oxygen, so no positive amounts
    // can meet the carbon row.
    NoOxygenForCarbon,
    // The reaction rows are not formation reactions of the compounds from the reference
    // species, or the system does not fit the tables.
    NotAFormationSystem,
    // Newton's method found no point that meets the balance rows (not seen on any feed so far).
    NotConverged,
};

struct ExactSolution {
    ExactOutcome Outcome = ExactOutcome::NotConverged;
    // Amounts (partial pressures) of the system's species: the answer when converged, otherwise
    // the last point reached, which is no answer.
    EqVector x{};
    int Iterations = 0;
    // The largest residual of a balance row, relative to the size of its terms.
    long double Residual = 0;
};

// The balance residual, relative to the size of a row's terms, at which a cell counts as
// solved. The polish ends near the extended format's rounding, about 1e-18.
constexpr long double ExactTolerance = 1e-15L;

// Solves the system from its feed, or from the amounts of a previous answer when one is given
// (a neighbouring point of a sweep). A start whose reference species are not all positive and
// finite is not used; the feed is used instead.
ExactSolution SolveExactly(const CellSystem& system, const EqVector* start = nullptr);

// Whether the system's feed holds at least as many carbon atoms as oxygen atoms, and some
// carbon: a feed without a solution in positive amounts (see NoOxygenForCarbon).
bool NoMoreOxygenThanCarbon(const CellSystem& system);

// The largest residual of the balance rows at x, each relative to the sum of the magnitudes of
// its terms and right-hand side.
long double RelativeBalanceResidual(const CellSystem& system, const EqVector& x);
