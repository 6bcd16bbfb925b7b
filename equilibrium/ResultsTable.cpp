#include "equilibrium/ResultsTable.h"

#include "core/Defaults.h"
#include "core/LatinText.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/EqCalcUnit.h"
#include "tableeditor/Vexa_ntabed.h"

#include <cmath>

namespace {

const QColor EquilibriumHeaderColour(252, 205, 48);
const QColor FeedHeaderColour(166, 202, 240);
const QColor LogarithmicBackground(255, 255, 255);
const QColor LinearBackground(192, 192, 192);

constexpr int ShownColumns = 8;

// One value in the current scale: a logarithm needs a positive value, anything else shows as
// an empty cell. NaN is no value (a cell that could not be solved).
void ShowValue(TNTabEd& table, int column, int row, long double value) {
    if (std::isnan(value)) {
        table.SetCellState(column, row, 2);
    } else if (!ShowLogarithmic) {
        table.SetElem(column, row, static_cast<double>(value));
    } else if (value > 0) {
        table.SetElem(column, row, static_cast<double>(Log10Clamped(value)));
    } else {
        table.SetCellState(column, row, 2);
    }
}

QString ColumnName(int cell) {
    QString name = QStringLiteral("OC ");
    name += QString::number(cell);
    name += QStringLiteral("; ");
    name += Latin1(Cells[cell].Name);
    return name;
}

} // namespace

void ShowCellResults(TNTabEd& table) {
    table.Clear();
    table.SetColWidths(0, 36);

    const int rows = ShowEquilibrium ? EqSpeciesCount : GasCount;
    if (rows <= 0 || rows > MaxGases)
        return;
    table.SetNrOfRows(rows);
    for (int row = 1; row <= rows; ++row) {
        const std::string name =
            ShowEquilibrium ? Compounds[EqSpecies[row]].Formula : GasList[row].Str();
        table.SetRowName(row, Latin1(name));
    }

    table.SetNumWidth(5);
    table.SetColorFixed(ShowEquilibrium ? EquilibriumHeaderColour : FeedHeaderColour);
    table.SetColorBackground(ShowLogarithmic ? LogarithmicBackground : LinearBackground);

    const int places = ShowLogarithmic ? 5 : (ShowEquilibrium ? -4 : 6);
    // The table is laid out with one column per cell; a table with fewer columns shows fewer.
    const int columns = std::min(ShownColumns, table.NrOfColumns());
    for (int c = 1; c <= columns; ++c) {
        table.SetColName(c, ColumnName(c));
        table.SetColWidths(c, 95);
        table.SetDecPlaces(c, static_cast<std::int8_t>(places));
    }

    for (int c = 1; c <= columns; ++c) {
        for (int row = 1; row <= rows; ++row) {
            if (ShowEquilibrium) {
                table.SetCellState(c, row, 0);
                ShowValue(table, c, row, CellBestAmounts[c][row]);
            } else {
                ShowValue(table, c, row, CellFeed[c][row].Fraction);
            }
        }
    }
    table.setVisible(true);
}

void RefreshCellColumn(TNTabEd& table, int cell, const long double* amounts, int count) {
    if (cell < 1 || cell > std::min(ShownColumns, table.NrOfColumns()))
        return;
    const int rows = std::min({static_cast<int>(EqSpeciesCount), count, table.NrOfRows()});
    for (int j = 1; j <= rows; ++j) {
        table.SetCellState(cell, j, 0);
        ShowValue(table, cell, j, amounts[j - 1]);
    }
}
