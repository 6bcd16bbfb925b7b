// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/QuantitiesText.h"

#include "core/JsonWriter.h"
#include "core/NumberText.h"
#include "core/SetupTables.h"
#include "report/ResultsView.h"
#include "report/TextTable.h"

#include <charconv>

namespace {
std::string Significant(double value, int digits) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}
} // namespace

std::vector<int> QuantityCells() {
    std::vector<int> cells;
    for (int c = 1; c <= CellCount; ++c)
        if (Cells[c].State != CellRunState::NotCalculated)
            cells.push_back(c);
    return cells;
}

std::string QuantityText(const QuantityName& quantity, std::optional<double> value) {
    if (!value)
        return {};
    const std::string name = quantity.Name;
    if (name == "log10pO2")
        return FormatFixed(*value, 0, 4);
    if (name == "sensorEmfmV" || name == "dewPointC")
        return FormatFixed(*value, 0, 2);
    return Significant(*value, 5);
}

std::string TabSeparatedQuantities(const std::vector<int>& cells, const QuantityOptions& options) {
    std::string text = "Quantity";
    std::vector<CellQuantities> values;
    for (const int c : cells) {
        text += '\t' + TabField(ResultsView::ColumnName(c));
        values.push_back(QuantitiesOfCell(c, options));
    }
    text += '\n';
    for (const QuantityName& quantity : QuantityNames()) {
        text += TabField(quantity.Caption);
        for (const CellQuantities& q : values) {
            text += '\t';
            if (const std::optional<double> value = q.*quantity.Member)
                text += JsonNumber(*value);
        }
        text += '\n';
    }
    return text;
}

void WriteDerivedQuantities(JsonWriter& json, const CellQuantities& quantities) {
    json.Key("derived");
    json.BeginObject(true);
    for (const QuantityName& quantity : QuantityNames()) {
        json.Key(quantity.Name);
        if (const std::optional<double> value = quantities.*quantity.Member)
            json.Number(*value);
        else
            json.Null();
    }
    json.EndObject();
}
