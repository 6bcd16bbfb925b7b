// SPDX-License-Identifier: GPL-3.0-or-later
#include "tableeditor/Vexa_numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

const double Nan = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

struct FormatCase {
    int Width;
    int DecPlaces;
    double Value;
    std::string Text;
};

} // namespace

TEST(FormatCellText, FixedScientificAsterisksAndNonFiniteValues) {
    const FormatCase cases[] = {
        // Fixed notation, right-aligned in at least the width, never cut.
        {5, 6, 0.0123, "0.012300"},
        {1, 3, 1.5, "1.500"},
        {5, 3, 1.5, "1.500"},
        {16, 3, 1.5, "           1.500"},
        {16, 3, -2.0, "          -2.000"},
        {5, 0, 0.0, "    0"},
        {1, 3, -0.0, "0.000"},
        {1, 3, 0.001, "0.001"},
        {1, 3, 99999.999, "99999.999"},
        {1, 0, 999999999.0, "999999999"},
        {1, 8, 0.99999999, "0.99999999"},
        {1, 2, 0.015, "0.01"},
        // Too large or too small for the column's decimal places: scientific.
        {1, 3, 100000.0, " 1.0E+05"},
        {1, 0, 1e9, " 1.0E+09"},
        {1, 0, 0.4, " 4.0E-01"},
        {1, 3, 0.00099, " 9.9E-04"},
        {1, 5, 0.000001, " 1.0E-06"},
        {1, 5, 1234.0, " 1.2E+03"},
        {1, 8, 0.999999995, " 1.0E+00"},
        // Decimal places -1, 9 and 10 always give the scientific form.
        {5, -1, 12345.678, " 1.2346E+04"},
        {1, -1, 123456.0, " 1.2E+05"},
        {5, -1, 123456.0, " 1.2346E+05"},
        {16, -1, 123456.0, " 1.234560000000000E+05"},
        {1, 9, 1.5, " 1.5E+00"},
        {1, 10, 1.5, " 1.5E+00"},
        {1, -1, -0.00012345, "-1.2E-04"},
        {1, -1, 9.96, " 1.0E+01"},
        {1, -1, 0.0, " 0.0E+00"},
        {20, -1, 1.0, "   1.00000000000000000E+00"},
        // An exponent of three digits fills the field with asterisks.
        {5, 6, 1e-120, "***********"},
        {1, -1, 1e100, "********"},
        {1, 3, -1e-100, "********"},
        {16, -1, 1.7e308, std::string(22, '*')},
        {5, -1, 5e-324, "***********"},
        // Not-a-number and infinities.
        {5, 3, Nan, "  Nan"},
        {1, -1, Inf, "+Inf"},
        {16, 3, -Inf, "            -Inf"},
    };
    for (const FormatCase& k : cases)
        EXPECT_EQ(FormatCellText(k.Value, k.Width, k.DecPlaces), k.Text)
            << "width " << k.Width << ", decimals " << k.DecPlaces << ", value " << k.Value;
}

TEST(FormatCellText, ScientificTextIsTwoShorterThanItsField) {
    for (int width = 1; width <= 20; ++width) {
        const std::size_t field = static_cast<std::size_t>(std::max(10, width + 8));
        for (const double x : {1.0, -3.25e-7, 6.02e23, 1e-300})
            EXPECT_EQ(FormatCellText(x, width, -1).size(), field - 2) << width << " " << x;
    }
}

TEST(ClipboardNumberText, FullPrecisionAndByDecimalPlaces) {
    EXPECT_EQ(FullPrecisionText(1.5), " 1.5000000000000E+0000");
    EXPECT_EQ(FullPrecisionText(-2.0), "-2.0000000000000E+0000");
    EXPECT_EQ(FullPrecisionText(6.02214076e23), " 6.0221407600000E+0023");
    EXPECT_EQ(FullPrecisionText(1e-300), " 1.0000000000000E-0300");
    EXPECT_EQ(FullPrecisionText(0.1 + 0.2), " 3.0000000000000E-0001");
    EXPECT_EQ(PrecisionText(1.5, 3), "1.500");
    EXPECT_EQ(PrecisionText(-1234.5678, 2), "-1234.57");
    EXPECT_EQ(PrecisionText(7.0, 0), "7");
    EXPECT_EQ(PrecisionText(0.5, 10), "0.5000000000");
    EXPECT_EQ(PrecisionText(123456.0, -1), " 1.2E+0005");
    EXPECT_EQ(PrecisionText(-0.0, 1), "0.0");
}

TEST(ParseDecimal, AcceptsPlainDecimalNumbersOnly) {
    const struct {
        const char* Text;
        bool Ok;
        double Value;
    } cases[] = {
        {"1.5", true, 1.5},      {"-2", true, -2},    {"+3", true, 3},       {".5", true, 0.5},
        {"5.", true, 5},         {"1e3", true, 1000}, {"1E-3", true, 0.001}, {"1.E5", true, 1e5},
        {"-.25e+1", true, -2.5}, {"00012", true, 12}, {"1e-400", true, 0},   {"0e99999", true, 0},
        {"", false, 0},          {" 1", false, 0},    {"1 ", false, 0},      {"1,5", false, 0},
        {"abc", false, 0},       {"1e", false, 0},    {"e5", false, 0},      {".", false, 0},
        {"-", false, 0},         {"inf", false, 0},   {"nan", false, 0},     {"0x10", false, 0},
        {"1e400", false, 0},     {"1.5.2", false, 0}, {"--1", false, 0},     {"1 2", false, 0},
        {"1e+-2", false, 0},     {"1.5x", false, 0},
    };
    for (const auto& k : cases) {
        double value = -99;
        EXPECT_EQ(ParseDecimal(k.Text, value), k.Ok) << '"' << k.Text << '"';
        if (k.Ok)
            EXPECT_EQ(value, k.Value) << '"' << k.Text << '"';
        else
            EXPECT_EQ(value, -99) << "a failed conversion keeps the value: " << k.Text;
    }
}

TEST(ScanNumber, ReadsByTheStateTableAndStopsOnTheEndingCharacter) {
    const struct {
        const char* Text;
        DecimalSeparator Separator;
        bool Exponent;
        double Value;
        std::size_t End;
    } cases[] = {
        {"12.5e-3", DecimalSeparator::Either, true, 0.0125, 7},
        {"-,5 ", DecimalSeparator::Either, true, -0.5, 3},
        {"1..2", DecimalSeparator::Either, true, 0.0, 2},
        {"  7;", DecimalSeparator::Either, true, 7.0, 3},
        {"3. ", DecimalSeparator::Either, true, 3.0, 2},
        {". ", DecimalSeparator::Either, true, 0.0, 1},
        {"1e5", DecimalSeparator::Either, false, 1.0, 1},
        {"1,5", DecimalSeparator::Point, true, 1.0, 1},
        {"1.5", DecimalSeparator::Comma, true, 1.0, 1},
        {"1,5", DecimalSeparator::Comma, true, 1.5, 3},
        {"+ 1", DecimalSeparator::Either, true, 0.0, 1},
        {"-x", DecimalSeparator::Either, true, 0.0, 1},
        {"1e+x", DecimalSeparator::Either, true, 1.0, 3},
        {"1e ", DecimalSeparator::Either, true, 0.0, 2},
        {"2E3-", DecimalSeparator::Either, true, 2000.0, 3},
        {"4-5", DecimalSeparator::Either, true, 4.0, 1},
        {"1.5e", DecimalSeparator::Either, true, 1.5, 4}, // past the end reads as a letter
        {"1e9999", DecimalSeparator::Either, true, 1.7e308, 6},
        {"-1e9999", DecimalSeparator::Either, true, -1.7e308, 7},
        {"1.75e308", DecimalSeparator::Either, true, 1.7e308, 8},
        {"1e-9999", DecimalSeparator::Either, true, 0.0, 7},
    };
    for (const auto& k : cases) {
        std::size_t pos = 0;
        const double value = ScanNumber(k.Text, pos, k.Separator, k.Exponent);
        EXPECT_DOUBLE_EQ(value, k.Value) << '"' << k.Text << '"';
        EXPECT_EQ(pos, k.End) << '"' << k.Text << '"';
    }
}

TEST(ScanNumber, ExponentDigitsBeyondFortyTwoHundredAreDropped) {
    // 0.(4205 zeros)1 is 1e-4206. With its exponent 42010 cut to 4201 it reads 1e-5; read
    // whole it would be far beyond any double.
    const std::string text = "0." + std::string(4205, '0') + "1e42010 ";
    std::size_t pos = 0;
    EXPECT_NEAR(ScanNumber(text, pos, DecimalSeparator::Either, true), 1e-5, 1e-20);
    EXPECT_EQ(pos, text.size() - 1);
}

namespace {

struct Found {
    std::size_t Column, Line;
    double Value;
    bool operator==(const Found& o) const {
        return Column == o.Column && Line == o.Line && Value == o.Value;
    }
};

std::vector<Found> Extract(const std::string& text) {
    std::vector<Found> out;
    for (const ExtractedNumber& e : ExtractNumbers(text))
        out.push_back({e.Column, e.Line, e.Value});
    return out;
}

void PrintTo(const Found& f, std::ostream* os) {
    *os << "(" << f.Column << "," << f.Line << ": " << f.Value << ")";
}

} // namespace

TEST(ExtractNumbers, LinesStartAtLineFeedsThatDoNotDirectlyFollowANumber) {
    const struct {
        const char* Name;
        std::string Text;
        std::vector<Found> Numbers;
    } cases[] = {
        {"tabs and CR LF",
         "1\t2\t3\r\n4\t5\t6\r\n",
         {{0, 0, 1}, {1, 0, 2}, {2, 0, 3}, {0, 1, 4}, {1, 1, 5}, {2, 1, 6}}},
        {"bare LF directly after numbers",
         "1\t2\n3\t4\n",
         {{0, 0, 1}, {1, 0, 2}, {2, 0, 3}, {3, 0, 4}}},
        {"blank before LF", "1 \n2", {{0, 0, 1}, {0, 1, 2}}},
        {"empty line", "1\r\n\r\n2\r\n", {{0, 0, 1}, {0, 2, 2}}},
        {"leading line feeds", "\r\n\r\n5", {{0, 0, 5}}},
        {"plain words", "no numbers here", {}},
        {"nothing", "", {}},
        {"one digit", "7", {{0, 0, 7}}},
        {"double separator", "1..2", {{0, 0, 0}, {1, 0, 2}}},
        {"scanner examples in prose", "x=12.5e-3; y=-,5", {{0, 0, 0.0125}, {1, 0, -0.5}}},
        {"decimal commas", "1,5\t2,25\r\n", {{0, 0, 1.5}, {1, 0, 2.25}}},
        {"lone sign", "a - b", {{0, 0, 0}}},
        {"signs inside words", "pH 7-8", {{0, 0, 7}, {1, 0, 8}}},
    };
    for (const auto& k : cases)
        EXPECT_EQ(Extract(k.Text), k.Numbers) << k.Name;
}
