// SPDX-License-Identifier: GPL-3.0-or-later
// The equations of one cell on its own elements, as both solvers take them. Everything a solver
// needs is in here, so that a caller with its own copy of the setup (a sweep in a worker thread)
// can solve a cell without the run's global lists.
#pragma once

#include "core/IndexedTable.h"
#include "equilibrium/EqCalcUnit.h"

// Species 1..a are the reference species of the elements the cell's feed holds, in the order of
// the balance rows; species a+1..a+b are the compounds made of those elements alone, compound
// a+r formed by reaction row r. Balance row i keeps element Element[i] at its feed ratio to the
// main element within the gas phase; the main element's row makes the gases add up to the
// pressure. Reaction row r holds when sum over j of N[r][j] * log10 x_j = L[r].
struct CellSystem {
    int a = 0; // balance rows
    int b = 0; // reaction rows
    EqMatrix A{};
    EqVector B{};
    EqMatrix N{};
    EqVector L{};
    double Pressure = 0; // bar

    // Element number and feed atoms of each balance row's element.
    IndexedTable<int, 1, MaxEqSpecies> Element{};
    IndexedTable<double, 1, MaxEqSpecies> ElementTotal{};
    // The cell's feed (mole fractions) of each species, whether the species is a gas (the
    // others take part only through their reactions), and its position in the run's list of
    // species, through which the amounts go back to the run.
    EqVector Feed{};
    IndexedTable<bool, 1, MaxEqSpecies> Gaseous{};
    IndexedTable<int, 1, MaxEqSpecies> RunPosition{};

    int n() const { return a + b; }
};
