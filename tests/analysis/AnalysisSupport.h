// SPDX-License-Identifier: GPL-3.0-or-later
// What the tests of the analyses share: the example rig, the global calculation they are held
// to, and the bytes of every global table they promise to leave alone.
#pragma once

#include "analysis/RigParameter.h"
#include "analysis/RigPoint.h"
#include "equilibrium/CalcBounds.h"
#include "support/TestSetup.h"

#include <string>
#include <vector>

class AnalysisTest : public ProgramTest {
protected:
    // The example rig into the global tables: cells 1 to 4 fed from nodes M1 to M4, flowmeter 1
    // with a PURE saturator.
    void ReadExampleRig();
};

// The global field that a parameter names, as the window's editing writes it.
void SetGlobally(const RigParameter& parameter, double value);

// The parameter of a name that must parse.
RigParameter Parsed(const std::string& name);

// The bounds of the global calculation the points are held to: the exact solver.
inline const CalcBounds ExactBounds{0, 0, 0, EquilibriumSolver::Exact};

// Compares a point with the global calculation just run: the same cells, states and feeds (to
// the bit: the mixer stage is the same code on the same numbers), and partial pressures within
// 1e-9 in log10.
void ExpectSameAsGlobal(const RigPointResult& point, const std::string& what);

// The bytes of every global table a calculation reads or fills.
std::vector<unsigned char> GlobalBytes();
