// SPDX-License-Identifier: GPL-3.0-or-later
// Which setting gives a cell a target? Finds the value of one parameter of the rig (a cell's
// temperature or pressure, a flowmeter's reading, a saturator's temperature) at which one of a
// cell's quantities (log10 pO2, the sensor's EMF, the dew point, the water fed) reaches a goal.
// Works on a copy of the setup with the exact solver, so it may run in a worker thread.
#pragma once

#include "analysis/CellQuantities.h"
#include "analysis/RigParameter.h"
#include "analysis/RigSetup.h"

#include <atomic>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The quantities a target can name, in the order a list offers them.
const std::vector<std::string>& TargetQuantities();

struct TargetRequest {
    int Cell = 1;
    std::string Quantity = "log10pO2"; // one of TargetQuantities()
    double Goal = 0;
    RigParameter Parameter;
    QuantityOptions Quantities = {};
};

enum class TargetStatus {
    Found,       // Value gives the goal within TargetTolerance
    Unreachable, // no value of the range gives it; Range is what the range gives
    MixerFailed, // the mixer stage fails at the rig's current setting
};

struct TargetResult {
    TargetStatus Status = TargetStatus::Unreachable;
    double Value = 0;    // the setting found, which gives the goal within TargetTolerance
    double Achieved = 0; // the quantity at that setting
    // The range of the quantity over the parameter's range, as the probes found it (lowest,
    // highest); empty when no probe gave a value.
    std::optional<std::pair<double, double>> Range;
    bool OtherRoots = false; // the goal is reached at other settings of the range too
    std::pair<double, double> Searched{0, 0}; // the parameter's range
    double Current = 0;                       // the parameter's value in the rig
    std::string Failure;                      // the mixer stage's failure
};

// How near the goal an answer is, in the quantity's own unit.
constexpr double TargetTolerance = 1e-6;

// Why the request cannot be searched on this rig (an unknown quantity, a cell without a node, a
// parameter the rig cannot vary), or empty when it can.
std::string CheckTargetRequest(const TargetRequest& request, const RigSetup& setup);

// The parameter's range on this setup (see the README): a reading from 0 to the largest
// reading among the curves its gases are read through, a cell temperature from 25 degrees
// Celsius to the highest temperature where every species of the run has data, a pressure from
// 1e-3 to 100 bar, a saturator from 0 degrees Celsius to where its fraction reaches 1. Runs the
// mixer stage on the copy to learn the curves and species. Empty with a reason when there is no
// range (a flowmeter that reads no gas through any curve).
std::optional<std::pair<double, double>> ParameterRange(const RigParameter& parameter,
                                                        RigSetup setup, std::string& error);

// Searches the range: probes it, brackets the goal between neighbouring probes and refines it
// with Brent's method. A probe at which the mixer fails or the cell has no value counts as
// outside the reachable range. Of several roots the one nearest the current setting is given.
// The copy is left as it was. Cancel, when set, ends the search early as unreachable.
TargetResult FindSetting(const RigSetup& setup, const TargetRequest& request,
                         const std::atomic<bool>* cancel = nullptr);

// The quantity of the request's cell at one setting, on a copy: nothing when the mixer fails or
// the cell has no value there.
std::optional<double> QuantityAt(const RigSetup& setup, const TargetRequest& request, double value);

// Puts a value of the parameter into the global setup tables (the window's).
void SetRigParameterInTables(const RigParameter& parameter, double value);
