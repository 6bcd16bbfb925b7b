// SPDX-License-Identifier: GPL-3.0-or-later
// Number texts of the parameter tables and the rules that read typed text, on their own:
// the cases that the tables' tests cannot reach through a handful of rows.
#include "ui/ParameterText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(ParameterTextTest, E12HasTwelveCharactersAndRoundsIntoTheExponent) {
    struct Case {
        double Value;
        const char* Text;
    };
    const Case cases[] = {
        {1e-5, " 1.000E-0005"},
        {0, " 0.000E+0000"},
        {-0.0, " 0.000E+0000"},
        {3e-5, " 3.000E-0005"},
        {-2.5e12, "-2.500E+0012"},
        {9.9996e-5, " 1.000E-0004"},
        {9.9994e-5, " 9.999E-0005"},
        {1.7976931348623157e308, " 1.798E+0308"},
        {4.9406564584124654e-324, " 4.941E-0324"},
        {123456, " 1.235E+0005"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatE12(c.Value), c.Text) << c.Value;
        EXPECT_EQ(FormatE12(c.Value).size(), 12u);
    }
    EXPECT_EQ(FormatE12(std::numeric_limits<double>::quiet_NaN()), "Nan");
    EXPECT_EQ(FormatE12(-std::numeric_limits<double>::infinity()), "-Inf");
}

TEST(ParameterTextTest, RealRule) {
    struct Case {
        const char* Text;
        bool Valid;
        double Value;
    };
    const Case cases[] = {
        {"0", true, 0},        {"  -1.5e+3", true, -1500},
        {"1e-400", true, 0},   {"-1e-400", true, -0.0},
        {"1e-99999", true, 0}, {"1e309", false, 0},
        {"1e99999", false, 0}, {"1.5 ", false, 0},
        {"\t1", false, 0},     {"+", false, 0},
        {".", false, 0},       {"1e+", false, 0},
        {"nan", false, 0},     {"inf", false, 0},
        {"1,5", false, 0},
    };
    for (const Case& c : cases) {
        const std::optional<double> value = ReadReal(c.Text);
        ASSERT_EQ(value.has_value(), c.Valid) << c.Text;
        if (c.Valid) {
            EXPECT_EQ(*value, c.Value) << c.Text;
        }
    }
}

TEST(ParameterTextTest, WholeRuleTakesHexadecimalAndWrapsTo16Bits) {
    struct Case {
        const char* Text;
        int Value; // -1: rejected
    };
    const Case cases[] = {
        {"12", 12},
        {"  7", 7},
        {"+7", 7},
        {"-2", 65534},
        {"$ff", 255},
        {"xFF", 255},
        {"0X10", 16},
        {"-$1", 65535},
        {"65536", 0},
        {"70000", 4464},
        {"0010", 10},
        {"$", -1},
        {"0x", -1},
        {"1 ", -1},
        {"", -1},
        {"1.0", -1},
        {"$G", -1},
        {"9223372036854775807", 65535},
        {"9223372036854775808", -1},
        {"99999999999999999999999", -1},
    };
    for (const Case& c : cases) {
        const std::optional<std::uint16_t> value = ReadWhole(c.Text);
        EXPECT_EQ(value ? int(*value) : -1, c.Value) << c.Text;
    }
}

TEST(ParameterTextTest, LeadingWholeOfTheCurveList) {
    struct Case {
        const char* Text;
        int Value;
    };
    const Case cases[] = {
        {"3x", 3},
        {"", 0},
        {"x", 0},
        {"  12 and more", 12},
        {"-1", 65535},
        {"$1Fz", 31},
        {"0x", 0},
        {"65537", 1},
        {"+4", 4},
        {"123456789012345678901234567890", 2770}, // modulo 65536, however long the text
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadLeadingWhole(c.Text), c.Value) << c.Text;
    // A long number keeps its value modulo 65536: 10^30 mod 65536 = 0 (65536 = 2^16 divides it).
    EXPECT_EQ(ReadLeadingWhole("1000000000000000000000000000000"), 0);
}

TEST(ParameterTextTest, InputCodeShownAndRead) {
    for (int input = 0; input <= 32; ++input) {
        const std::string text = FormatInputCode(static_cast<std::uint16_t>(input));
        const std::optional<std::uint16_t> back = ReadInputCode(text);
        if (input == 0) {
            EXPECT_EQ(text, "I 0");
            EXPECT_FALSE(back) << "I and a blank and 0 leaves Input unchanged";
        } else {
            ASSERT_TRUE(back) << text;
            EXPECT_EQ(*back, input) << text;
        }
    }
    EXPECT_EQ(FormatInputCode(17), "M 1");
    EXPECT_EQ(FormatInputCode(40), "I40");
}

TEST(ParameterTextTest, CalibrationRowReadsItsHeaderFieldsAndLeavesThePoints) {
    struct Case {
        const char* Title;
        CalibrationRowTexts Row;
        const char* Make;
        const char* Gas;
        double Temp;
        double Press;
        int Flowmeter;
    };
    const Case cases[] = {
        {"a row as the list shows it",
         {"Rotamet", "R2-15-A", "Glass", "H2", "    25.50", "     1.00", "3"},
         "Rotamet",
         "H2",
         25.5,
         1,
         3},
        {"texts cut to their fields, blanks kept; reals that are not numbers keep their values",
         {"A make too long", "s", "f", " Gas with room ", "25,5", "1.0 ", "3x"},
         "A make t",
         " Gas with ro",
         7,
         8,
         3},
        {"an empty flowmeter is 0; a real too small reads as 0",
         {"", "", "", "", "-1e-400", "1e308", ""},
         "",
         "",
         -0.0,
         1e308,
         0},
        {"a negative flowmeter wraps to 16 bits",
         {"", "", "", "", "", "", " -1"},
         "",
         "",
         7,
         8,
         65535},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        CalibrationRecord curve{};
        curve.Temp = 7;
        curve.Press = 8;
        curve.Flowmeter = 9;
        curve.Point[20] = {4, 5};
        ReadCalibrationRow(c.Row, curve);
        EXPECT_EQ(curve.Make.Str(), c.Make);
        EXPECT_EQ(curve.Size.Str(), c.Row.Size.substr(0, 8));
        EXPECT_EQ(curve.Float.Str(), c.Row.Float.substr(0, 8));
        EXPECT_EQ(curve.Gas.Str(), c.Gas);
        EXPECT_EQ(curve.Temp, c.Temp);
        EXPECT_EQ(std::signbit(curve.Temp), std::signbit(c.Temp));
        EXPECT_EQ(curve.Press, c.Press);
        EXPECT_EQ(curve.Flowmeter, c.Flowmeter);
        EXPECT_EQ(curve.Point[20].Reading, 4);
        EXPECT_EQ(curve.Point[20].Flow, 5);
    }
}

} // namespace
