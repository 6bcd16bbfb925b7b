// What a cell's equilibrium must satisfy, checked from the species table, the cell's feed and
// the Gibbs energies, not from the equations the run builds, so that a fault in those equations
// shows: no negative or non-finite amount; species of elements the feed lacks at exactly 0; the
// gases adding up to the pressure; every element at its feed ratio in the gas phase; every
// formation reaction at its equilibrium constant.
#pragma once

#include "equilibrium/EqCalcUnit.h"

#include <gtest/gtest.h>

// The amounts are those of the run's species (EqSpecies order) for the given cell, whose feed is
// CellFeed. Balances are relative to the size of their terms; reactions in decimal logarithms.
::testing::AssertionResult HoldsCellEquilibrium(int cell, const EqVector& amounts,
                                                double temperatureC, double pressure,
                                                long double balanceTolerance,
                                                long double reactionTolerance);
