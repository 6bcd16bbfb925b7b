// The per-cell equilibrium run: its per-cell amounts live for the whole program.
#pragma once

#include "core/IndexedTable.h"
#include "core/SetupTables.h"
#include "equilibrium/EqCalcUnit.h"

using CellAmountTable = IndexedTable<IndexedTable<long double, 1, MaxEqSpecies>, 1, CellCount>;

extern CellAmountTable FeedAmounts; // each cell's feed as amounts of the run's species
extern CellAmountTable CellAmounts; // each cell's current equilibrium amounts (partial pressures)
