// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Calibration.h"
#include "core/SetupTables.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ios>
#include <limits>
#include <vector>

namespace {
struct CurveCase {
    const char* Title;
    std::vector<CalibrationPoint> Points; // points 1, 2, ...; the rest (0, 0)
    double Reading;
    double Flow;
};

void SetPoints(int c, const std::vector<CalibrationPoint>& points) {
    for (CalibrationPoint& p : Calibrations[c].Point)
        p = {0, 0};
    int k = 1;
    for (const CalibrationPoint& p : points)
        Calibrations[c].Point[k++] = p;
}
} // namespace

using CurveFlowTest = ProgramTest;

TEST_F(CurveFlowTest, EvaluatesTheCurveBelowWithinAndAboveItsPoints) {
    const std::vector<CalibrationPoint> parabola = {{10, 1}, {20, 3}, {30, 6}};
    const std::vector<CurveCase> cases = {
        {"below the first reading gives the first flow", parabola, 5, 1},
        {"on the first point", parabola, 10, 1},
        {"on a middle point", parabola, 20, 3},
        {"between points the parabola through all three", parabola, 25, 4.375},
        {"also below the middle point", parabola, 15, 1.875},
        {"on the top point", parabola, 30, 6},
        {"above the largest reading gives the top flow", parabola, 40, 6},
        {"a reading of exactly 1 below the first point gives the first flow",
         {{2, 7}, {4, 9}},
         1,
         7},
        {"points after the top point are ignored", {{10, 1}, {20, 3}, {15, 100}}, 25, 3},
        {"the top point is the first with the largest reading",
         {{10, 1}, {20, 3}, {20, 50}},
         15,
         2},
        {"a first point with the largest reading gives its flow everywhere above it",
         {{50, 8}, {10, 1}, {20, 2}},
         30,
         8},
        {"... and below it", {{50, 8}, {10, 1}, {20, 2}}, 3, 8},
        {"a repeated reading is left out of the polynomial", {{10, 1}, {10, 99}, {20, 3}}, 15, 2},
        {"a non-positive first point is used as stored", {{0, 0}, {10, 2}}, 5, 1},
        {"no point with a positive reading gives 0", {{0, 5}, {-3, 7}}, 10, 0},
        {"the all-zero curve gives 0", {}, 10, 0},
        {"a single point is a constant flow", {{100, 2.5}}, 0.5, 2.5},
        {"an infinite reading lies above every point", parabola,
         std::numeric_limits<double>::infinity(), 6},
    };
    for (const CurveCase& c : cases) {
        SCOPED_TRACE(c.Title);
        SetPoints(17, c.Points);
        const double flow = CurveFlow(17, c.Reading);
        EXPECT_TRUE(std::isfinite(flow));
        EXPECT_NEAR(flow, c.Flow, 1e-12);
    }
}

// Each L and each partial sum of the polynomial is rounded to a double, the arithmetic within a
// step being extended. The flows below were computed apart from the program, with mpmath at a
// 64-bit mantissa for every operation and rounding to binary64 at exactly those steps
// (rounding-references.py beside this file prints them). The
// curves are rotameter-like and each was chosen so that keeping every step extended, or doing
// every step in doubles, ends a few units of the last place away: only the specified rounding
// gives these bits.
TEST_F(CurveFlowTest, RoundsEachStepOfThePolynomialToADouble) {
    const std::vector<CurveCase> cases = {
        {"seven points every 20",
         {{20, 48.21},
          {40, 100.62},
          {60, 156.31},
          {80, 216.7},
          {100, 280.44},
          {120, 348.39},
          {140, 419.92}},
         73.6,
         0x1.89f5e1c14ce84p+7},
        {"five points every 20",
         {{20, 32.22}, {40, 65.13}, {60, 99.62}, {80, 134.64}, {100, 171.36}},
         87.8,
         0x1.293df34e59f5cp+7},
        {"six points every 15",
         {{15, 20.58}, {30, 41.95}, {45, 64.26}, {60, 88.23}, {75, 113.24}, {90, 139.5}},
         74.8,
         0x1.c39ac03f19d9dp+6},
        {"five points of a steeper tube",
         {{20, 39.65}, {40, 82.4}, {60, 127.06}, {80, 174.97}, {100, 224.85}},
         53.7,
         0x1.c29c4e1427bf0p+6},
    };
    for (const CurveCase& c : cases) {
        SCOPED_TRACE(c.Title);
        SetPoints(17, c.Points);
        EXPECT_EQ(CurveFlow(17, c.Reading), c.Flow)
            << std::hexfloat << CurveFlow(17, c.Reading) << " instead of " << c.Flow;
    }
}

TEST_F(CurveFlowTest, ReturnsThePointsFlowsExactlyOnThePointsOfASmoothCurve) {
    // A realistic rotameter curve: flow in ml/min against scale divisions.
    const std::vector<CalibrationPoint> points = {{5, 2.1},    {10, 4.9},   {20, 11.8},
                                                  {40, 27.5},  {60, 45.2},  {80, 64.0},
                                                  {100, 83.7}, {120, 104.1}};
    SetPoints(3, points);
    for (const CalibrationPoint& p : points)
        EXPECT_NEAR(CurveFlow(3, p.Reading), p.Flow, 1e-9) << "reading " << p.Reading;
    const double between = CurveFlow(3, 50);
    EXPECT_GT(between, 27.5);
    EXPECT_LT(between, 45.2);
}

namespace {
struct ChoiceCase {
    const char* Title;
    // Curves 1..4 of the test, each with its own constant flow c * 10.
    struct Curve {
        int Number;
        const char* Make;
        const char* Size;
        const char* Float;
        const char* Gas;
        int Flowmeter;
    };
    std::vector<Curve> Curves;
    double Flow;        // the flow of the curve that must be chosen
    const char* Others; // make, size and float of every other curve
};
} // namespace

using CalibratedFlowTest = ProgramTest;

TEST_F(CalibratedFlowTest, ChoosesTheHighestNumberedCurveWithTheBestScore) {
    // Flowmeter 5 is a "Brooks" "R-2-15" with a "glass" float. Every other curve keeps the
    // defaults (make, size and float "None"), which match none of them.
    const std::vector<ChoiceCase> cases = {
        {"the full match wins over a partial one",
         {{10, "Brooks", "R-2-15", "glass", "H2", 0}, {20, "Brooks", "R-2-15", "glass", "Ar", 0}},
         100,
         "None"},
        {"of two equal matches the higher-numbered curve is used",
         {{10, "Brooks", "R-2-15", "glass", "H2", 0}, {20, "Brooks", "R-2-15", "glass", "H2", 0}},
         200,
         "None"},
        {"a curve tied to the flowmeter but for another gas scores as the right gas elsewhere",
         {{30, "Brooks", "R-2-15", "glass", "Ar", 5}, {40, "Brooks", "R-2-15", "glass", "H2", 7}},
         400,
         "None"},
        {"... and the higher number wins the other way round too",
         {{40, "Brooks", "R-2-15", "glass", "Ar", 5}, {30, "Brooks", "R-2-15", "glass", "H2", 7}},
         400,
         "None"},
        {"the flowmeter number adds a point",
         {{10, "Brooks", "R-2-15", "glass", "H2", 5}, {20, "Brooks", "R-2-15", "glass", "H2", 0}},
         100,
         "None"},
        {"texts compare case-sensitively",
         {{10, "Brooks", "R-2-15", "glass", "H2", 0}, {20, "brooks", "R-2-15", "glass", "H2", 0}},
         100,
         "None"},
        {"texts compare without trimming",
         {{10, "Brooks", "R-2-15", "glass", "H2", 0}, {20, "Brooks ", "R-2-15", "glass", "H2", 0}},
         100,
         "None"},
        {"the gas alone beats nothing", {{10, "Other", "Other", "Other", "H2", 0}}, 100, "None"},
        {"when nothing matches anything, curve 1000 is used", {}, 10000, "Z"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.Title);
        for (int n = 1; n <= CalibrationCount; ++n) {
            Calibrations[n].Make.Set(c.Others);
            Calibrations[n].Size.Set(c.Others);
            Calibrations[n].Float.Set(c.Others);
            Calibrations[n].Gas.Set("");
            Calibrations[n].Flowmeter = 0;
            SetPoints(n, {{1, 10.0 * n}});
        }
        for (const ChoiceCase::Curve& curve : c.Curves) {
            CalibrationRecord& r = Calibrations[curve.Number];
            r.Make.Set(curve.Make);
            r.Size.Set(curve.Size);
            r.Float.Set(curve.Float);
            r.Gas.Set(curve.Gas);
            r.Flowmeter = static_cast<std::uint16_t>(curve.Flowmeter);
        }
        Flowmeters[5].Make.Set("Brooks");
        Flowmeters[5].Size.Set("R-2-15");
        Flowmeters[5].Float.Set("glass");

        EXPECT_EQ(CalibratedFlow(5, "H2", 50), c.Flow);
    }
}

TEST_F(CalibratedFlowTest, AReadingThatIsNotPositiveGivesNoFlow) {
    for (int n = 1; n <= CalibrationCount; ++n)
        SetPoints(n, {{1, 3}});
    for (double reading : {0.0, -0.0, -5.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(CalibratedFlow(1, "H2", reading), 0) << reading;
    EXPECT_EQ(CalibratedFlow(1, "H2", 1e-300), 3);
}
