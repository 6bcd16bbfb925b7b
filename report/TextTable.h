// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of the plain reports' layout: aligned tables of text and CSV fields.
#pragma once

#include <string>
#include <vector>

// A table of texts laid out in columns, the first row being the headings. Texts are single-byte
// characters, so that they line up by their length; they become UTF-8 once padded.
class TextTable {
public:
    // align: one letter a column, "l" left-aligned, "r" right-aligned (numbers); the last letter
    // holds for the columns after it.
    TextTable(std::vector<std::string> headings, std::string align);
    void Add(std::vector<std::string> row);
    std::string Render() const;

private:
    std::string Align;
    std::vector<std::vector<std::string>> Rows;
};

// A CSV field from a single-byte text, in UTF-8, quoted when it holds a separator, a quote or a
// line break.
std::string CsvField(const std::string& latin1);

// A name as one field of tab-separated text: a tab or a line break that a file brought into the
// name would split it, so each becomes a space.
std::string TabField(std::string name);
