// SPDX-License-Identifier: GPL-3.0-or-later
// The table editor's number scanner on any clipboard text: Extract from Clipboard reads every
// number of the input with its place, and the scanner reads one number from the start in each of
// its modes. The first eight bytes also make a number that goes to the clipboard at full
// precision and is read back from there.
#include "FuzzSupport.h"

#include "tableeditor/Vexa_numtext.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr double ScanLimit = 1.7e308;

bool InScanRange(double value) {
    return value >= -ScanLimit && value <= ScanLimit; // false for NaN
}

void CheckExtracted(std::string_view text) {
    const std::vector<ExtractedNumber> numbers = ExtractNumbers(text);
    FuzzCheck(numbers.size() <= text.size() + 1, "no more numbers than characters");
    std::size_t line = 0;
    std::size_t column = 0;
    for (const ExtractedNumber& number : numbers) {
        FuzzCheck(InScanRange(number.Value), "an extracted number is within the scan range");
        // Each number goes one column on, or to the first column of a later line.
        if (number.Line == line) {
            FuzzCheck(number.Column == column, "numbers of a line fill its columns in turn");
        } else {
            FuzzCheck(number.Line > line && number.Column == 0, "a new line starts at column 0");
            line = number.Line;
        }
        column = number.Column + 1;
    }
}

void CheckScanner(std::string_view text) {
    for (const DecimalSeparator separator :
         {DecimalSeparator::Point, DecimalSeparator::Comma, DecimalSeparator::Either})
        for (const bool exponent : {false, true}) {
            std::size_t pos = 0;
            const double value = ScanNumber(text, pos, separator, exponent);
            FuzzCheck(InScanRange(value), "a scanned number is within the scan range");
            FuzzCheck(pos <= text.size(), "the scanner stops within the text");
        }
}

// A finite value copied at full precision comes back from the clipboard as one number, equal to
// it within its fourteen digits.
void CheckRoundTrip(double x) {
    const std::string copied = FullPrecisionText(x) + "\r\n";
    if (!std::isfinite(x))
        return;
    const std::vector<ExtractedNumber> numbers = ExtractNumbers(copied);
    FuzzCheck(numbers.size() == 1, "a copied number is read back as one number");
    // The scanner limits what it reads to the scan range.
    const double expected = std::clamp(x, -ScanLimit, ScanLimit);
    // Below the normal range the nearest real may be a whole step of the smallest one away.
    const double step = std::numeric_limits<double>::denorm_min();
    FuzzCheck(std::fabs(numbers.front().Value - expected) <= 1e-13 * std::fabs(expected) + step,
              "a copied number reads back within its digits");
    FuzzCheck(!FormatCellText(x, 12, 3).empty() && !PrecisionText(x, -1).empty(),
              "a number has a cell text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckExtracted(text);
    CheckScanner(text);
    if (size >= 8) {
        double x = 0;
        std::memcpy(&x, data, 8);
        CheckRoundTrip(x);
    }
    return 0;
}
