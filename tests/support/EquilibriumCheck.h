// One check of the physics of a calculated cell, for every solver and every sweep: the amounts
// are held against the species table, the run's feed and the cell's temperature and pressure,
// not against the matrices the solver was given.
#pragma once

#include <gtest/gtest.h>

// How closely a cell's amounts must meet the equations: each balance row's residual relative to
// the size of its terms, and each reaction row's residual in decimal logarithms.
struct EquilibriumTolerance {
    long double BalanceRelative;
    long double ReactionLog10;
};

// What a converged pattern search guarantees: its error measure e (at most 1e-6) bounds every
// balance row's relative residual by n e and every reaction row's residual by 10 n e, n being
// the number of species.
EquilibriumTolerance PatternSearchTolerance(int species, long double error = 1e-6L);

// The amounts of the cell against its equilibrium:
// - every element other than the main one stands to the main element within the gas phase as
//   it does in the feed (the balance rows);
// - the gaseous amounts add up to the cell's pressure;
// - every compound's formation reaction from the reference species of its elements holds:
//   log10 x(compound) - sum of nu log10 x(reference) = -dG / (R T ln 10) at T = TC + 273.15,
//   the logarithm clamped to -308 at and below 1e-307 as the program takes it;
// - no amount is negative.
::testing::AssertionResult MeetsEquilibrium(int cell, const EquilibriumTolerance& tolerance);
