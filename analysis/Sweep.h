// SPDX-License-Identifier: GPL-3.0-or-later
// A sweep: one parameter of a rig over evenly spaced values, a point of the rig at each, each
// point starting from the answer of the one before. It runs on a copy of the setup of its own,
// so it may run in a worker thread, with progress reported and a flag that cancels it.
#pragma once

#include "analysis/RigParameter.h"
#include "analysis/RigPoint.h"
#include "analysis/RigSetup.h"
#include "equilibrium/CalcBounds.h"

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr int MinSweepPoints = 2;
constexpr int MaxSweepPoints = 100000;

struct SweepRequest {
    RigParameter Parameter;
    double From = 0;
    double To = 0;
    int Points = MinSweepPoints; // MinSweepPoints..MaxSweepPoints
    EquilibriumSolver Solver = EquilibriumSolver::Exact;

    // Value i (0..Points-1): From + (To - From) * i / (Points - 1), the last one To exactly.
    double Value(int i) const;
};

// Reads "NAME=FROM:TO:POINTS" (the solver is left exact). Nothing, with the reason in `error`,
// for a parameter ParseRigParameter refuses or a malformed range: FROM and TO finite numbers,
// POINTS a whole number MinSweepPoints..MaxSweepPoints.
std::optional<SweepRequest> ParseSweep(std::string_view text, std::string& error);
// The range part alone, "FROM:TO:POINTS", into the request.
bool ParseSweepRange(std::string_view text, SweepRequest& request, std::string& error);

struct SweepPoint {
    double Value = 0;
    RigPointResult Result;
};

struct SweepResult {
    SweepRequest Request;
    std::vector<SweepPoint> Points; // the points done, in order
    bool Cancelled = false;         // the cancel flag ended it before its last point
};

// Called after each point with the points done and the points of the sweep.
using SweepProgress = std::function<void(int done, int total)>;

// Runs the sweep on the setup (a copy: the caller's tables are not touched). The parameter is
// expected to pass CheckRigParameter on it. The mixer stage runs at every point of a parameter
// that feeds it, and once for one that does not.
SweepResult RunSweep(RigSetup setup, const SweepRequest& request,
                     const std::atomic<bool>* cancel = nullptr, const SweepProgress& progress = {});
