// SPDX-License-Identifier: GPL-3.0-or-later
// The rig check: what the mixer stage of a calculation notices beyond its own messages, things
// that give a plausible number from a rig that is probably not set up as meant. Each finding is
// a warning: it goes into the message history (or a headless program's output), never onto the
// status line, and never holds the program.
#pragma once

#include <string>
#include <vector>

// Largest difference from 1 of the fractions of an input mixture that counts as adding up to 1.
constexpr double FractionSumTolerance = 1e-6;

// The warnings about the rig as the last mixer stage left it, in this order:
// - an input mixture whose gas flows and whose fractions do not add up to 1;
// - per flowmeter, in order: one set up with an input and an output whose reading is not
//   positive, so that it is skipped; a saturator so hot that its stream is held to all vapour;
//   a gas of its stream read through a curve made for another gas; a curve without a point of
//   positive reading, which gives no flow; a reading above the largest reading of a curve
//   used, so that the flow is held at the curve's end.
// A flowmeter still at its start-up values is not part of the rig and is not checked.
std::vector<std::string> RigWarnings();

// Shows each of RigWarnings as a warning.
void ReportRigWarnings();
