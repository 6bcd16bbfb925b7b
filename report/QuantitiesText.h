// SPDX-License-Identifier: GPL-3.0-or-later
// The derived quantities of the cells as the window's "Cell quantities" table and the reports
// show them: which cells have a column, and each value's text.
#pragma once

#include "analysis/CellQuantities.h"

#include <optional>
#include <string>
#include <vector>

class JsonWriter;

// The cells of the window's table: those the last calculation took in (fed, with conditions in
// range), ascending.
std::vector<int> QuantityCells();

// A value as the tables show it: log10 pO2 with 4 decimals, the EMF in mV and the dew point in
// degrees Celsius with 2, the water contents and the ratios with 5 significant digits
// ("31300", "0.0012346", "1.2346e-09"); empty without a value. "." is the decimal point.
std::string QuantityText(const QuantityName& quantity, std::optional<double> value);

// The quantities table as tab-separated text for a spreadsheet: a heading line ("Quantity" and
// the results' column name of each cell), then one line per quantity with its caption and every
// value in full, the fewest digits that read back as the same double; empty where a cell has no
// value.
std::string TabSeparatedQuantities(const std::vector<int>& cells, const QuantityOptions& options);

// The member "derived" of a cell in the JSON reports: every quantity by its key, null where it
// has no value.
void WriteDerivedQuantities(JsonWriter& json, const CellQuantities& quantities);
