// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts of the status line and the schematic: "w:d" is fixed-point notation with d
// decimals, right-aligned in a field of w characters and widened when the number needs more
// room. "." is the decimal point whatever the locale.
#pragma once

#include <string>

std::string FormatFixed(long double value, int width, int decimals);
