// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/TextTable.h"

#include "core/JsonWriter.h"

#include <algorithm>

TextTable::TextTable(std::vector<std::string> headings, std::string align)
    : Align(std::move(align)) {
    Rows.push_back(std::move(headings));
}

void TextTable::Add(std::vector<std::string> row) {
    Rows.push_back(std::move(row));
}

std::string TextTable::Render() const {
    std::vector<std::size_t> widths;
    for (const auto& row : Rows)
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths.resize(std::max(widths.size(), i + 1));
            widths[i] = std::max(widths[i], row[i].size());
        }
    std::string out;
    for (const auto& row : Rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                line += "  ";
            const std::string pad(widths[i] - row[i].size(), ' ');
            const char align = Align[std::min(i, Align.size() - 1)];
            line += align == 'r' ? pad + row[i] : row[i] + pad;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += Latin1ToUtf8(line);
        out += '\n';
    }
    return out;
}

std::string CsvField(const std::string& latin1) {
    const std::string text = Latin1ToUtf8(latin1);
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

std::string TabField(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return ch == '\t' || ch == '\n' || ch == '\r'; },
        ' ');
    return name;
}
