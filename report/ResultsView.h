// SPDX-License-Identifier: GPL-3.0-or-later
// What the results of a calculation look like, without widgets: which rows and columns a view
// has, whether its values are plain or decimal logarithms, how many decimals they show, which
// cells stay empty, and the headings and captions. The window's results table and the reports
// both take their rows from here; the window adds only its grid calls and colours.
#pragma once

#include "core/SetupTables.h"

#include <optional>
#include <string>

struct ResultsView {
    bool Equilibrium = true; // the cell equilibrium (partial pressures); else the gas as fed
    bool Logarithmic = true; // decimal logarithms; else the plain values

    // The view the window shows now, by its two switches.
    static ResultsView Shown();

    // The rows: the species of the run, or the gases of the gas list; 0 when there are none
    // (no run yet, or no gas).
    int Rows() const;
    // A row's name: the species' formula or the gas (single-byte text).
    std::string RowName(int row) const;
    // What the rows are: "Species" or "Gas".
    const char* RowHeading() const;

    // One column per cell, 1..8, named "OC " + the cell's number + "; " + its name ("OC 3; " for
    // a cell without a name).
    static std::string ColumnName(int cell);
    static constexpr int Columns = CellCount;

    // The best error of a cell's last run, when there is one to show: the cell has made a pass,
    // and its solver had an answer to measure.
    static std::optional<long double> BestError(int cell);
    // That best error as the reports and the messages write it, with two decimals in exponent
    // notation ("9.19E-07"); empty without one.
    static std::string BestErrorText(int cell);

    // The plain value of a cell in a row: a partial pressure in bar (extended, as the run keeps
    // it: the lowest-error point of the cell's last run, never the neutral point a give-up
    // return leaves to start from) or a mole fraction. NaN for a cell that a solver found no
    // answer for.
    long double Value(int cell, int row) const;
    // What a value shows as: its decimal logarithm, or nothing (an empty cell) when it is not
    // positive; the value itself in the linear views. A positive value below 1e-307 shows as
    // -308. NaN is no value in any view: an empty cell, empty in text and CSV, null in JSON.
    std::optional<long double> Shown(long double value) const;

    // Decimals of every column: 5 in the logarithmic views; in the linear ones -4, four decimals
    // in exponent notation, for the partial pressures and 6 for the mole fractions.
    int Decimals() const;
    // A shown value as text with those decimals: -2.00000, 1.0000E-02, 0.250000.
    std::string Text(long double shown) const;

    // The captions of the window: the scale ("Logarithmic" or "Linear"), the source ("Cell
    // equilibrium" or "Room temperature"), and the line above the table that joins them
    // ("Results - Linear at Room temperature").
    const char* ScaleCaption() const;
    const char* SourceCaption() const;
    std::string Caption() const;
    // The title of a report's table: "Cell equilibrium, log10 of partial pressures (bar)",
    // "Gas as fed, mole fractions".
    std::string Title() const;
};
