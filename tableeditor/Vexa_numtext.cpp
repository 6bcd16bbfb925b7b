// SPDX-License-Identifier: GPL-3.0-or-later
#include "tableeditor/Vexa_numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

std::string RightAligned(std::string text, int width) {
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

// "Nan", "+Inf" or "-Inf"; empty for a finite value.
std::string NonFiniteText(double x) {
    if (std::isnan(x))
        return "Nan";
    if (std::isinf(x))
        return x > 0 ? "+Inf" : "-Inf";
    return {};
}

std::string FixedText(double x, int decPlaces) {
    // A double has at most 309 integer digits; the decimals add at most 11 characters.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decPlaces);
    return std::string(buffer, result.ptr);
}

constexpr double MaxFixed[9] = {999999999.0, 9999999.9, 999999.99, 99999.999, 9999.9999,
                                999.99999,   99.999999, 9.9999999, 0.99999999};
constexpr double MinFixed[9] = {1.0,     0.1,      0.01,      0.001,     0.0001,
                                0.00001, 0.000001, 0.0000001, 0.00000001};

} // namespace

std::string ScientificText(double x, int mantissaDigits) {
    const std::string special = NonFiniteText(x);
    if (!special.empty())
        return special;
    if (x == 0)
        x = 0.0; // no "-0"
    mantissaDigits = std::clamp(mantissaDigits, 1, 17);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x,
                                      std::chars_format::scientific, mantissaDigits);
    const std::string_view printed(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = printed.find('e');
    if (result.ec != std::errc() || e == std::string_view::npos || e + 1 >= printed.size())
        return "Nan"; // cannot happen for a finite value; never read past the text
    std::string_view mantissa = printed.substr(0, e);
    int exponent = 0;
    std::from_chars(printed.data() + e + 1 + (printed[e + 1] == '+' ? 1 : 0),
                    printed.data() + printed.size(), exponent);
    std::string text;
    if (mantissa.front() == '-') {
        text = "-";
        mantissa.remove_prefix(1);
    } else {
        text = " ";
    }
    text += mantissa;
    text += exponent < 0 ? "E-" : "E+";
    const std::string digits = std::to_string(std::abs(exponent));
    text.append(digits.size() < 4 ? 4 - digits.size() : 0, '0');
    text += digits;
    return text;
}

std::string FormatCellText(double x, int width, int decPlaces) {
    width = std::clamp(width, 1, 20);
    const std::string special = NonFiniteText(x);
    if (!special.empty())
        return RightAligned(special, width);
    if (x == 0)
        x = 0.0; // no "-0.000"
    const double magnitude = std::fabs(x);
    if (decPlaces >= 0 && decPlaces <= 8 && magnitude <= MaxFixed[decPlaces] &&
        (magnitude >= MinFixed[decPlaces] || x == 0))
        return RightAligned(FixedText(x, decPlaces), width);

    const int fieldWidth = std::max(10, width + 8);
    std::string text = ScientificText(x, std::min(17, fieldWidth - 9));
    text = RightAligned(text, fieldWidth);
    // The exponent has four digits; a cell shows two of them.
    const std::size_t firstDigit = text.size() - 4;
    const bool twoDigits = text[firstDigit] == '0' && text[firstDigit + 1] == '0';
    text.erase(firstDigit, 2);
    if (!twoDigits)
        std::fill(text.begin(), text.end(), '*');
    return text;
}

std::string FullPrecisionText(double x) {
    const std::string special = NonFiniteText(x);
    if (!special.empty())
        return RightAligned(special, 22);
    return ScientificText(x, 13);
}

std::string PrecisionText(double x, int decPlaces) {
    const std::string special = NonFiniteText(x);
    if (!special.empty())
        return special;
    if (decPlaces < 0)
        return ScientificText(x, 1);
    if (x == 0)
        x = 0.0;
    return FixedText(x, std::min(decPlaces, 10));
}

bool ParseDecimal(std::string_view text, double& value) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    // Decimal exponent of the first significant digit, for telling overflow from underflow.
    long leadExponent = 0;
    bool significant = false;
    long integerDigits = 0;
    while (i < n && IsDigit(text[i])) {
        if (significant || text[i] != '0') {
            significant = true;
            ++integerDigits;
        }
        ++i;
        ++digits;
    }
    leadExponent = integerDigits - 1;
    if (i < n && text[i] == '.') {
        ++i;
        long position = 0;
        while (i < n && IsDigit(text[i])) {
            ++position;
            if (!significant && text[i] != '0') {
                significant = true;
                leadExponent = -position;
            }
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000000L);
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return false;

    const char* first = text.data() + mantissaStart;
    if (negative)
        --first; // from_chars takes a minus sign but no plus sign
    double parsed = 0;
    const auto result = std::from_chars(first, text.data() + n, parsed);
    if (result.ec == std::errc() && std::isfinite(parsed)) {
        value = parsed;
        return true;
    }
    if (!significant) {
        value = 0.0;
        return true;
    }
    if (leadExponent + exponent > 0)
        return false; // too large for a double
    value = 0.0;
    return true;
}

namespace {

constexpr double ScanLimit = 1.7e308;

enum CharClass { Separator, Blank, Sign, Digit, ExponentMark, Other };
constexpr int Accepted = 9;
constexpr int Error = 0;

// Next state by state (1..8) and character class; 6 in the "E" column of states 3 to 5 means
// "6 if an exponent is allowed, else 9".
constexpr int NextState[9][6] = {
    {Error, Error, Error, Error, Error, Error},
    {4, 1, 2, 3, Error, Error},                            // 1 start
    {4, Error, Error, 3, Error, Error},                    // 2 after a sign
    {4, Accepted, Accepted, 3, 6, Accepted},               // 3 integer digits
    {Error, Accepted, Accepted, 5, 6, Accepted},           // 4 after the separator
    {Error, Accepted, Accepted, 5, 6, Accepted},           // 5 fraction digits
    {Error, Error, 7, 8, Error, Accepted},                 // 6 after "E"
    {Error, Error, Error, 8, Error, Accepted},             // 7 after the exponent's sign
    {Accepted, Accepted, Accepted, 8, Accepted, Accepted}, // 8 exponent digits
};

CharClass Classify(char upper, DecimalSeparator separator) {
    if ((upper == '.' && separator != DecimalSeparator::Comma) ||
        (upper == ',' && separator != DecimalSeparator::Point))
        return Separator;
    if (upper == ' ')
        return Blank;
    if (upper == '+' || upper == '-')
        return Sign;
    if (IsDigit(upper))
        return Digit;
    if (upper == 'E')
        return ExponentMark;
    return Other;
}

// The value of a text the scanner accepted: blanks, an optional sign, digits with an optional
// point, and an "E" with an optional sign and digits. Parts without digits read as nothing.
double ScannedValue(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    std::string mantissa;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        mantissa += text[i++];
    bool mantissaDigits = false;
    while (i < text.size() && (IsDigit(text[i]) || text[i] == '.')) {
        mantissaDigits = mantissaDigits || IsDigit(text[i]);
        mantissa += text[i++];
    }
    if (!mantissaDigits)
        return 0.0;
    std::string number = mantissa;
    if (i < text.size() && text[i] == 'E') {
        const std::string_view exponent = text.substr(i);
        if (std::any_of(exponent.begin(), exponent.end(), IsDigit))
            number += exponent;
    }
    double value = 0;
    if (!ParseDecimal(number, value))
        value = mantissa.front() == '-' ? -ScanLimit : ScanLimit; // beyond a double
    return std::clamp(value, -ScanLimit, ScanLimit);
}

bool IsNumberStart(char ch) {
    return ch == '+' || ch == '-' || ch == '.' || IsDigit(ch);
}

} // namespace

double ScanNumber(std::string_view text, std::size_t& pos, DecimalSeparator separator,
                  bool exponentAllowed) {
    std::string number;
    long exponentValue = 0;
    bool appending = true;
    int state = 1;
    for (;;) {
        // Past the end reads as a letter.
        const char ch = pos < text.size() ? text[pos] : 'X';
        const char upper = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
        const CharClass cls = Classify(upper, separator);
        int next = NextState[state][cls];
        if (next == 6 && state >= 3 && state <= 5 && !exponentAllowed)
            next = Accepted;
        if (next == Accepted || next == Error) {
            if (next == Error)
                return 0.0;
            break;
        }
        if (appending)
            number += cls == Separator ? '.' : upper;
        if (next == 8) {
            exponentValue = std::min(exponentValue * 10 + (upper - '0'), 100000L);
            if (exponentValue > 4200)
                appending = false;
        }
        state = next;
        ++pos;
    }
    if (!number.empty() && number.back() == '.')
        number += '0';
    return ScannedValue(number);
}

std::vector<ExtractedNumber> ExtractNumbers(std::string_view source) {
    std::string text(source);
    std::replace(text.begin(), text.end(), '\t', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    text += ' ';
    const std::size_t last = text.size() - 1;

    std::vector<ExtractedNumber> found;
    std::size_t p = 0;
    std::size_t column = 0;
    std::size_t line = 0;
    while (p < last && !IsNumberStart(text[p]))
        ++p;
    while (p <= last) {
        if (p < last || IsDigit(text[p])) {
            const double value = ScanNumber(text, p, DecimalSeparator::Either, true);
            found.push_back({column, line, value});
            ++column;
            p = std::min(p, last);
            // Step past the character that ended the number; a line feed met on the way
            // starts the next line.
            do {
                if (p < last)
                    ++p;
                if (text[p] == '\n') {
                    if (p < last)
                        ++p;
                    column = 0;
                    ++line;
                }
            } while (p < last && !IsNumberStart(text[p]));
        } else {
            ++p;
        }
    }
    return found;
}
