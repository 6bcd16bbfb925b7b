// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ParameterText.h"

#include "core/SetupTables.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && text[at] == ' ')
        ++at;
    return at;
}

// Length of a hexadecimal prefix at the position, or 0.
std::size_t HexPrefix(std::string_view text, std::size_t at) {
    if (at < text.size() && (text[at] == '$' || text[at] == 'x' || text[at] == 'X'))
        return 1;
    if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X'))
        return 2;
    return 0;
}

} // namespace

std::string FormatE12(double value) {
    if (std::isnan(value))
        return "Nan";
    if (std::isinf(value))
        return value > 0 ? "+Inf" : "-Inf";
    // %.3E rounds the mantissa first, so 9.9996e-5 becomes 1.000E-04 with the right exponent.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3E", std::fabs(value));
    const std::string_view text(buffer);
    const std::size_t e = text.find('E');
    int exponent = 0;
    std::from_chars(text.data() + e + 2, text.data() + text.size(), exponent);
    std::string result(1, std::signbit(value) && value != 0 ? '-' : ' ');
    result.append(text.substr(0, e));
    result += 'E';
    result += text[e + 1];
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", exponent);
    result.append(digits);
    return result;
}

std::string FormatI2(long value) {
    std::string text = std::to_string(value);
    if (text.size() < 2)
        text.insert(0, 2 - text.size(), ' ');
    return text;
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::optional<double> ReadReal(std::string_view text) {
    std::size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const std::size_t start = at;
    std::size_t digits = 0;
    while (at < text.size() && IsDigit(text[at]))
        ++at, ++digits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && IsDigit(text[at]))
            ++at, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    bool exponentNegative = false;
    if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            exponentNegative = text[at++] == '-';
        std::size_t exponentDigits = 0;
        while (at < text.size() && IsDigit(text[at]))
            ++at, ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data() + start, text.data() + at, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small for a real reads as zero; too large is not a number the field can hold.
        // The wider parse tells which; beyond even its range, the exponent's sign does.
        long double wide = 0;
        const bool wideParsed =
            std::from_chars(text.data() + start, text.data() + at, wide).ec == std::errc();
        if (wideParsed ? wide > 1 : !exponentNegative)
            return std::nullopt;
        value = 0;
    } else if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::uint16_t> ReadWhole(std::string_view text) {
    std::size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const std::size_t prefix = HexPrefix(text, at);
    const int base = prefix > 0 ? 16 : 10;
    at += prefix;
    std::uint64_t value = 0;
    std::size_t digits = 0;
    for (; at < text.size(); ++at, ++digits) {
        const int digit =
            base == 16 ? HexValue(text[at]) : (IsDigit(text[at]) ? text[at] - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        if (value > (UINT64_MAX >> 1) / static_cast<unsigned>(base))
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > static_cast<std::uint64_t>(INT64_MAX))
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    if (negative)
        value = ~value + 1; // two's complement, so that -1 is 65535 in the 16-bit field
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

std::optional<std::uint16_t> ReadInputCode(std::string_view text) {
    if (text.empty() || text[0] == ' ' || text[0] == 'N' || text[0] == '0')
        return std::uint16_t{0};
    if (text[0] != 'I' && text[0] != 'M')
        return std::nullopt;
    const std::optional<std::uint16_t> v = ReadWhole(text.substr(1, 2));
    const int mixture = v ? LabelledMixture(text[0], *v) : 0;
    if (mixture == 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(mixture);
}

std::string FormatInputCode(std::uint16_t input) {
    const std::string label = MixtureLabel(input, 2);
    if (!label.empty())
        return label;
    // No input (0), or a number beyond the mixtures that only a file can bring: shown as it is,
    // so that the user sees it.
    std::string text = "I";
    text += FormatI2(input);
    return text;
}

std::optional<std::uint16_t> ReadOutputCode(std::string_view text) {
    const std::optional<std::uint16_t> v = ReadWhole(text.substr(0, 2));
    if (!v || *v > NodeCount)
        return std::nullopt;
    return v;
}

std::uint16_t ReadLeadingWhole(std::string_view text) {
    std::size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    const std::size_t prefix = HexPrefix(text, at);
    unsigned base = 10;
    if (prefix > 0 && at + prefix < text.size() && HexValue(text[at + prefix]) >= 0) {
        base = 16;
        at += prefix;
    }
    // Only the value modulo 65536 is kept, so the sum never overflows however long the text.
    std::uint32_t value = 0;
    for (; at < text.size(); ++at) {
        const int digit =
            base == 16 ? HexValue(text[at]) : (IsDigit(text[at]) ? text[at] - '0' : -1);
        if (digit < 0)
            break;
        value = (value * base + static_cast<unsigned>(digit)) & 0xFFFF;
    }
    if (negative)
        value = (0x10000 - value) & 0xFFFF;
    return static_cast<std::uint16_t>(value);
}

void ReadCalibrationRow(const CalibrationRowTexts& row, CalibrationRecord& curve) {
    StoreText(curve.Make, row.Make);
    StoreText(curve.Size, row.Size);
    StoreText(curve.Float, row.Float);
    StoreText(curve.Gas, row.Gas);
    if (const std::optional<double> t = ReadReal(row.Temp))
        curve.Temp = *t;
    if (const std::optional<double> p = ReadReal(row.Press))
        curve.Press = *p;
    curve.Flowmeter = ReadLeadingWhole(row.Flowmeter);
}

bool IsBlankKey(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) > ' ')
            return false;
    return true;
}
