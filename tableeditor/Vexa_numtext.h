// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts of the table editor: the cell format by decimal places, the clipboard formats,
// the decimal conversion of typed text and the number scanner that reads numbers out of any
// text. All of it uses "." as the decimal point whatever the locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The cell text of x for a field width (1..20) and decimal places (-1..10):
// - with 0 <= decPlaces <= 8, a value that fits the column (|x| <= 999999999 / 10^decPlaces
//   nines, and |x| >= 10^-decPlaces or x = 0) in fixed notation, right-aligned in at least
//   width characters;
// - otherwise scientific, W - 2 characters with W = max(10, width + 8): sign position, one
//   digit, the point, min(17, W - 9) digits, "E", the exponent's sign and two digits; an
//   exponent of three digits turns the whole text into asterisks;
// - "Nan", "+Inf" or "-Inf" right-aligned in width characters.
std::string FormatCellText(double x, int width, int decPlaces);

// A sign position (blank or "-"), one digit, the point, mantissaDigits digits, "E", the
// exponent's sign and the exponent in at least four digits.
std::string ScientificText(double x, int mantissaDigits);

// Clipboard text of a cell at full precision: ScientificText with 13 digits, 22 characters.
std::string FullPrecisionText(double x);
// Clipboard text of a cell by its column's decimal places: fixed notation without leading
// blanks, or ScientificText with one digit for decimal places -1.
std::string PrecisionText(double x, int decPlaces);

// Converts a decimal number: optional sign, digits with an optional point and fraction (at
// least one digit in all), optional "E" or "e" with an optionally signed exponent; nothing
// else, not even blanks. A magnitude too large for a double fails; one too small reads 0.
bool ParseDecimal(std::string_view text, double& value);

enum class DecimalSeparator { Point, Comma, Either };

// Reads one number at position pos of the text by the scanner's state table and leaves pos on
// the character that ended it. A text the table rejects reads 0; the result is limited to
// -1.7e308..1.7e308.
double ScanNumber(std::string_view text, std::size_t& pos, DecimalSeparator separator,
                  bool exponentAllowed);

// A number found in a text: the n-th number (from 0) of the k-th line (from 0).
struct ExtractedNumber {
    std::size_t Column;
    std::size_t Line;
    double Value;
};

// Every number of a text, with its place: tabs and carriage returns count as blanks, a line
// feed that follows the character ending a number starts a new line, both "." and "," are
// decimal separators and exponents are allowed.
std::vector<ExtractedNumber> ExtractNumbers(std::string_view text);
