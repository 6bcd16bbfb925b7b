// SPDX-License-Identifier: GPL-3.0-or-later
// The reading rules of the parameter tables on any text a user can type: every line of the input
// is read as a real, a whole number, an input code, an Output, a yes/no and a key, and what each
// rule accepts is checked against what it promises. The first eight bytes also make a number
// that goes through the tables' number texts and back.
#include "FuzzSupport.h"

#include "ui/ParameterText.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A real that the rule accepts is the number the C library reads from the same text: too large
// a number is refused, too small a one may read as 0.
void CheckReal(std::string_view text) {
    const std::optional<double> value = ReadReal(text);
    if (!value)
        return;
    FuzzCheck(std::isfinite(*value), "an accepted real is finite");
    const std::string copy(text);
    errno = 0;
    char* end = nullptr;
    const double reference = std::strtod(copy.c_str(), &end);
    FuzzCheck(end == copy.c_str() + copy.size(), "an accepted real is a whole C number");
    if (errno == ERANGE) {
        FuzzCheck(std::fabs(reference) < DBL_MIN, "a real too large is refused");
        FuzzCheck(*value == reference || *value == 0, "a real too small reads as 0");
    } else {
        FuzzCheck(*value == reference, "an accepted real has the C library's value");
    }
}

void CheckCodes(std::string_view text) {
    ReadWhole(text);
    ReadLeadingWhole(text);
    ReadYesNo(text);
    IsBlankKey(text);
    Trimmed(text);
    if (const std::optional<std::uint16_t> input = ReadInputCode(text)) {
        FuzzCheck(*input <= 32, "an input code names no mixture beyond M16");
        if (*input > 0)
            FuzzCheck(ReadInputCode(FormatInputCode(*input)) == input,
                      "an input code reads back as it is shown");
    }
    if (const std::optional<std::uint16_t> output = ReadOutputCode(text))
        FuzzCheck(*output <= 16, "an Output names no node beyond M16");
    Text<8> field{};
    StoreText(field, text);
    FuzzCheck(field.Length <= 8 && field.View() == text.substr(0, 8), "a text is cut to its field");
}

// A whole number written the ways the rule takes it reads back modulo 65536.
void CheckWhole(std::int64_t n) {
    const auto expected = static_cast<std::uint16_t>(static_cast<std::uint64_t>(n) & 0xFFFF);
    const std::uint64_t magnitude =
        n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const std::string sign = n < 0 ? "-" : "";
    char hex[32];
    std::snprintf(hex, sizeof hex, "%llx", static_cast<unsigned long long>(magnitude));
    const std::string decimal = std::to_string(magnitude);
    const std::string texts[] = {sign + decimal, " " + sign + decimal, sign + "$" + hex,
                                 sign + "0x" + hex, sign + "X" + hex};
    for (const std::string& text : texts) {
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX))
            continue; // beyond the 64-bit range: not accepted
        FuzzCheck(ReadWhole(text) == expected, "a whole number reads modulo 65536");
        FuzzCheck(ReadLeadingWhole(text + "?") == expected, "a leading whole number reads");
    }
}

// A value shown as E12 reads back within the rounding of its four digits.
void CheckE12(double x) {
    const std::string shown = FormatE12(x);
    if (!std::isfinite(x))
        return;
    FuzzCheck(shown.size() == 12, "E12 has twelve characters");
    const std::optional<double> back = ReadReal(Trimmed(shown));
    // Only the largest reals round up past the largest real; their field keeps its value.
    if (!back) {
        FuzzCheck(std::fabs(x) > 1.797e308, "E12 reads back");
        return;
    }
    if (std::fabs(x) >= DBL_MIN)
        FuzzCheck(std::fabs(*back - x) <= 5e-4 * std::fabs(x) * (1 + 1e-9),
                  "E12 reads back within its rounding");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const std::string_view line : SplitInput(data, size, '\n')) {
        CheckReal(line);
        CheckCodes(line);
    }
    if (size >= 8) {
        std::int64_t n = 0;
        double x = 0;
        std::memcpy(&n, data, 8);
        std::memcpy(&x, data, 8);
        CheckWhole(n);
        CheckE12(x);
    }
    return 0;
}
