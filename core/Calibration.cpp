// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Calibration.h"

#include "core/SetupTables.h"

#include <array>

namespace {
constexpr int PointCount = 20;

// The score of one curve for one flowmeter and gas.
int CurveScore(const CalibrationRecord& curve, const FlowmeterRecord& meter, int f,
               std::string_view gas) {
    int score = 0;
    if (curve.Make == meter.Make)
        ++score;
    if (curve.Size == meter.Size)
        ++score;
    if (curve.Float == meter.Float)
        ++score;
    if (curve.Gas == gas)
        ++score;
    if (curve.Flowmeter == f)
        ++score;
    return score;
}

// The top point: the first one with the largest reading; only positive readings count. 0 when
// no point has a positive reading.
int TopPoint(const CalibrationRecord& curve) {
    int top = 0;
    double largest = 0;
    for (int k = 1; k <= PointCount; ++k) {
        if (curve.Point[k].Reading > largest) {
            largest = curve.Point[k].Reading;
            top = k;
        }
    }
    return top;
}
} // namespace

double CalibratedFlow(int f, std::string_view gas, double reading) {
    if (!(reading > 0) || !Flowmeters.Contains(f))
        return 0;
    return CurveFlow(ChosenCurve(f, gas), reading);
}

int ChosenCurve(int f, std::string_view gas) {
    return ChosenCurve(Flowmeters, Calibrations, f, gas);
}

int ChosenCurve(const FlowmeterRecords& flowmeters, const CalibrationRecords& calibrations, int f,
                std::string_view gas) {
    if (!flowmeters.Contains(f))
        return 0;
    const FlowmeterRecord& meter = flowmeters[f];
    int best = 0;
    int chosen = CalibrationCount; // when nothing matches at all, the last curve is used
    for (int c = 1; c <= CalibrationCount; ++c) {
        const int score = CurveScore(calibrations[c], meter, f, gas);
        if (score >= best) { // ties go to the higher-numbered curve
            best = score;
            chosen = c;
        }
    }
    return chosen;
}

double LargestReading(int c) {
    if (!Calibrations.Contains(c))
        return 0;
    return LargestReading(Calibrations[c]);
}

double LargestReading(const CalibrationRecord& curve) {
    const int top = TopPoint(curve);
    return top == 0 ? 0 : curve.Point[top].Reading;
}

double CurveFlow(int c, double reading) {
    if (!Calibrations.Contains(c))
        return 0;
    return CurveFlow(Calibrations[c], reading);
}

double CurveFlow(const CalibrationRecord& curve, double reading) {
    const auto& point = curve.Point;
    const int top = TopPoint(curve);
    if (top == 0)
        return 0; // no point with a positive reading: the curve says nothing
    const double largest = point[top].Reading;

    const double x = reading;
    if (x < point[1].Reading)
        return point[1].Flow;
    if (x > largest)
        return point[top].Flow;

    // A point whose reading repeats an earlier one's would make the polynomial divide by zero;
    // it adds nothing the earlier point does not already say, so it is left out.
    std::array<int, PointCount> used{};
    int n = 0;
    for (int k = 1; k <= top; ++k) {
        bool repeated = false;
        for (int m = 0; m < n; ++m)
            repeated = repeated || point[used[m]].Reading == point[k].Reading;
        if (!repeated)
            used[n++] = k;
    }

    // Lagrange's form. Each step is computed in extended precision and rounded to a double
    // before the next one, so the flow does not depend on how the compiler keeps temporaries.
    double sum = 0;
    for (int a = 0; a < n; ++a) {
        const CalibrationPoint& pk = point[used[a]];
        double l = 1;
        for (int b = 0; b < n; ++b) {
            if (b == a)
                continue;
            const CalibrationPoint& pm = point[used[b]];
            l = static_cast<double>(((static_cast<long double>(x) - pm.Reading) * l) /
                                    (static_cast<long double>(pk.Reading) - pm.Reading));
        }
        sum = static_cast<double>(static_cast<long double>(l) * pk.Flow + sum);
    }
    return sum;
}
