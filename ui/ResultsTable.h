// SPDX-License-Identifier: GPL-3.0-or-later
// The results table of the output cells page: one column per cell, one row per species of the
// run (the equilibrium view) or per gas of the gas list (the feed view), as decimal logarithms
// or plain values. The table holds nothing of its own: every rebuild reads the current results.
#pragma once

class TNTabEd;

// Rebuilds the whole table from the current results and the two view flags.
void ShowCellResults(TNTabEd& table);
// Refreshes the column of one cell from the amounts of the run's species, keeping the rows,
// names, colours and decimals.
void RefreshCellColumn(TNTabEd& table, int cell, const long double* amounts, int count);
