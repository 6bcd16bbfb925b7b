// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ResultsText.h"

#include "core/JsonWriter.h"
#include "report/TextTable.h"

std::string TabSeparatedResults(const ResultsView& view) {
    std::string text = view.RowHeading();
    for (int c = 1; c <= ResultsView::Columns; ++c)
        text += '\t' + TabField(ResultsView::ColumnName(c));
    text += '\n';
    for (int row = 1; row <= view.Rows(); ++row) {
        text += TabField(view.RowName(row));
        for (int c = 1; c <= ResultsView::Columns; ++c) {
            text += '\t';
            // The logarithm is taken of the extended value before it becomes a double, as the
            // table does it.
            if (const std::optional<long double> shown = view.Shown(view.Value(c, row)))
                text += JsonNumber(static_cast<double>(*shown));
        }
        text += '\n';
    }
    return text;
}
