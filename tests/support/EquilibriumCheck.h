// SPDX-License-Identifier: GPL-3.0-or-later
// One check of the physics of a calculated cell, for every solver and every sweep: the amounts
// are held against the species table, the cell's feed as the mixer left it (CellFeed and the gas
// list), the Gibbs energies and the cell's temperature and pressure, not against the matrices or
// the feed amounts the run built, so that a fault in those shows.
#pragma once

#include "equilibrium/EqCalcUnit.h"

#include <gtest/gtest.h>

// How closely a cell's amounts must meet the equations: each balance row's residual relative to
// the size of its terms, and each reaction row's residual in decimal logarithms.
struct EquilibriumTolerance {
    long double BalanceRelative;
    long double ReactionLog10;
};

// What the pattern search guarantees at an error measure e (a converged cell has e <= 1e-6): e
// bounds every balance row's relative residual by n e and every reaction row's residual by
// 10 n e, n being the number of species of the cell's own system.
EquilibriumTolerance PatternSearchTolerance(int species, long double error = 1e-6L);

// What the exact solver promises: the balance rows to 1e-12 of their terms, the reactions to
// 1e-9 in log10.
constexpr EquilibriumTolerance ExactSolverTolerance{1e-12L, 1e-9L};

// The species of a cell's own system: those of the run whose elements all occur in its feed.
int CellSpeciesCount(int cell);

// What a converged cell of a run must meet: what its best error guarantees over its own species
// (PatternSearchTolerance), but never tighter than ExactSolverTolerance, which is also what a
// cell solved exactly (its best error about 1e-19) is held to.
EquilibriumTolerance ConvergedCellTolerance(int cell);

// The amounts of the cell (of the run's species, in EqSpecies order) against its equilibrium:
// - no amount is negative or not a number;
// - a species that carries an element the feed lacks is exactly 0;
// - every other element stands to the feed's most abundant one within the gas phase as it does
//   in the feed (the balance rows);
// - the gaseous amounts add up to the cell's pressure;
// - every other compound's formation reaction from the reference species of its elements holds:
//   log10 x(compound) - sum of nu log10 x(reference) = -dG / (R T ln 10) at T = TC + 273.15,
//   as it is or with the logarithms clamped to -308 at and below 1e-307 as the pattern search
//   takes them (the two differ only for amounts that small).
::testing::AssertionResult MeetsEquilibrium(int cell, const EqVector& amounts,
                                            const EquilibriumTolerance& tolerance);
// The same for the amounts the cell shows, CellBestAmounts.
::testing::AssertionResult MeetsEquilibrium(int cell, const EquilibriumTolerance& tolerance);
