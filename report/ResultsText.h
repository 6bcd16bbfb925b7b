// SPDX-License-Identifier: GPL-3.0-or-later
// The results table as tab-separated text, for a spreadsheet: what the window's Copy Table puts
// on the clipboard.
#pragma once

#include "report/ResultsView.h"

#include <string>

// A heading line, the view's row heading ("Species" or "Gas") and every column's name, then one
// line per row: its name and, for each column, the value as the view shows it (a decimal
// logarithm or the plain value) in full, with the fewest digits that read back as the same
// double; empty where the view has no value. Fields are separated by tabs, lines end in "\n";
// texts are single-byte (Latin-1). A view without rows gives the heading line alone.
std::string TabSeparatedResults(const ResultsView& view);
