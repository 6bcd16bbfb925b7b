// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ResultsTable.h"

#include "core/LatinText.h"
#include "report/ResultsView.h"
#include "tableeditor/Vexa_ntabed.h"

#include <algorithm>

namespace {

const QColor EquilibriumHeaderColour(252, 205, 48);
const QColor FeedHeaderColour(166, 202, 240);
const QColor LogarithmicBackground(255, 255, 255);
const QColor LinearBackground(192, 192, 192);

// The table is laid out with one column per cell; a table with fewer columns shows fewer.
int ShownColumns(const TNTabEd& table) {
    return std::min(ResultsView::Columns, table.NrOfColumns());
}

// One value as the view shows it; a value without one is an empty cell.
void ShowValue(TNTabEd& table, const ResultsView& view, int column, int row, long double value) {
    if (const std::optional<long double> shown = view.Shown(value))
        table.SetElem(column, row, static_cast<double>(*shown));
    else
        table.SetCellState(column, row, CellState::Empty);
}

} // namespace

void ShowCellResults(TNTabEd& table) {
    const ResultsView view = ResultsView::Shown();
    table.Clear();
    table.SetColWidths(0, 36);

    const int rows = view.Rows();
    if (rows == 0)
        return;
    table.SetNrOfRows(rows);
    for (int row = 1; row <= rows; ++row)
        table.SetRowName(row, Latin1(view.RowName(row)));

    table.SetNumWidth(5);
    table.SetColorFixed(view.Equilibrium ? EquilibriumHeaderColour : FeedHeaderColour);
    table.SetColorBackground(view.Logarithmic ? LogarithmicBackground : LinearBackground);

    const int columns = ShownColumns(table);
    for (int c = 1; c <= columns; ++c) {
        table.SetColName(c, Latin1(ResultsView::ColumnName(c)));
        table.FitHeadingWidth(c, 95); // 95, or the room that the cell's name needs
        table.SetDecPlaces(c, static_cast<std::int8_t>(view.Decimals()));
    }

    for (int c = 1; c <= columns; ++c) {
        for (int row = 1; row <= rows; ++row) {
            // The equilibrium view starts every cell plain; the feed view's cells are plain
            // after the clearing.
            if (view.Equilibrium)
                table.SetCellState(c, row, CellState::Plain);
            ShowValue(table, view, c, row, view.Value(c, row));
        }
    }
    table.setVisible(true);
}

void RefreshCellColumn(TNTabEd& table, int cell, const long double* amounts, int count) {
    if (cell < 1 || cell > ShownColumns(table))
        return;
    // The amounts are those of the run's species: the rows of the equilibrium view.
    const ResultsView species{true, ResultsView::Shown().Logarithmic};
    const int rows = std::min({species.Rows(), count, table.NrOfRows()});
    for (int j = 1; j <= rows; ++j) {
        table.SetCellState(cell, j, CellState::Plain);
        ShowValue(table, species, cell, j, amounts[j - 1]);
    }
}
