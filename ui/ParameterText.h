// SPDX-License-Identifier: GPL-3.0-or-later
// How the parameter tables and the calibration list write numbers and read back what the user
// typed. Plain text in, plain values out, so that the rules can be tested and fuzzed without a
// window. Every reader leaves its field alone when the text does not follow its rule.
#pragma once

#include "core/SetupRecords.h"
#include "core/Text.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Scientific text of 12 characters: a blank or "-", one digit, ".", three digits, "E", a sign
// and four exponent digits (1e-5 gives " 1.000E-0005").
std::string FormatE12(double value);
// A whole number right-aligned in two characters (5 gives " 5").
std::string FormatI2(long value);
// The text without its leading and trailing blanks.
std::string Trimmed(std::string_view text);

// A real number: optional leading blanks, an optional sign, digits with an optional decimal
// point ".", an optional exponent ("E" or "e", optional sign, digits), and nothing after it.
std::optional<double> ReadReal(std::string_view text);
// A whole number by the same pattern; "$", "x", "X", "0x" or "0X" after the sign selects
// hexadecimal digits. The value is taken modulo 65536, as the 16-bit fields store it. Numbers
// beyond the 64-bit range are not accepted.
std::optional<std::uint16_t> ReadWhole(std::string_view text);

// The "Input" code of a flowmeter: a mixture's label ("I" and a number 1..16 for an input
// mixture, "M" and a number 1..16 for a node), "N", "0", a blank or nothing for no input. The
// number is read from the second and third characters. Returns the new Input, or nothing when
// the code leaves Input unchanged.
std::optional<std::uint16_t> ReadInputCode(std::string_view text);
// The text that shows an Input: the mixture's label with two places for its number ("I 3",
// "M16"), or "I" and the number itself for one that names no mixture ("I 0", "I40").
std::string FormatInputCode(std::uint16_t input);
// The "Output" of a flowmeter: the first two characters as a whole number 0..16.
std::optional<std::uint16_t> ReadOutputCode(std::string_view text);
// "Y" is yes; everything else, "y" and "Yes" included, is no.
inline bool ReadYesNo(std::string_view text) {
    return text == "Y";
}

// The "Flowmeter" column of the calibration list: the whole number at the start of the text
// (after optional blanks and a sign), whatever follows it, modulo 65536; 0 when the text does
// not start with a number.
std::uint16_t ReadLeadingWhole(std::string_view text);

// The texts of one row of the calibration list, columns "Make" to "Flowmeter".
struct CalibrationRowTexts {
    std::string Make;
    std::string Size;
    std::string Float;
    std::string Gas;
    std::string Temp;
    std::string Press;
    std::string Flowmeter;
};
// Reads one row of the calibration list into its curve's header fields: each text cut to its
// field, a temperature or pressure that is not a real number keeping the curve's value, and the
// flowmeter by ReadLeadingWhole. The points are not in the list and stay as they are.
void ReadCalibrationRow(const CalibrationRowTexts& row, CalibrationRecord& curve);

// A typed text into a record's text field: cut to the field's capacity, stored unchanged.
template <std::size_t N> void StoreText(Text<N>& field, std::string_view text) {
    field.Set(text);
}

// A key that holds only blanks and control characters counts as empty.
bool IsBlankKey(std::string_view text);
