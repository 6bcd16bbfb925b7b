// SPDX-License-Identifier: GPL-3.0-or-later
// Flow through a flowmeter from its scale reading: the best-matching calibration curve and its
// interpolating polynomial.
#pragma once

#include "core/SetupTables.h"

#include <string_view>

// Flow of the gas through flowmeter f (1..16) at the given reading. A reading that is not
// positive gives 0. The curve is the highest-numbered one with the best score, one point each
// for make, size, float, gas and flowmeter number matching.
double CalibratedFlow(int f, std::string_view gas, double reading);

// The curve (1..1000) that flowmeter f (1..16) reads the gas through: the highest-numbered one
// with the best score; the last curve when nothing matches at all. 0 for a flowmeter number
// outside the table.
int ChosenCurve(int f, std::string_view gas);

// The largest reading of curve c (1..1000), beyond which its flow stays at the top point's; 0
// for a curve without a point of positive reading, which gives no flow at all.
double LargestReading(int c);

// Flow of curve c (1..1000) at a positive reading: F[1] below the first point's reading, the
// top point's flow above the largest reading, and the polynomial through the points up to the
// top point in between. A curve without a point of positive reading gives 0.
double CurveFlow(int c, double reading);

// The same on tables of the caller's own (a copy of the setup in a worker thread): flowmeter f
// of `flowmeters` read through `calibrations`.
int ChosenCurve(const FlowmeterRecords& flowmeters, const CalibrationRecords& calibrations, int f,
                std::string_view gas);
// The largest reading and the flow of one curve, as LargestReading and CurveFlow take them from
// the table: what the calculation reads, and what a picture of the curve draws.
double LargestReading(const CalibrationRecord& curve);
double CurveFlow(const CalibrationRecord& curve, double reading);
