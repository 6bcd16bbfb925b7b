// SPDX-License-Identifier: GPL-3.0-or-later
// The parameters of a rig that an analysis may vary: a cell's temperature (degrees Celsius) or
// pressure (bar), a flowmeter's reading, and the temperature of a flowmeter's saturator (degrees
// Celsius). Named "cellN.temperature", "cellN.pressure", "flowmeterN.reading" and
// "flowmeterN.stageTemperature".
#pragma once

#include "analysis/RigSetup.h"

#include <optional>
#include <string>
#include <string_view>

enum class RigParameterKind { CellTemperature, CellPressure, FlowmeterReading, StageTemperature };

struct RigParameter {
    RigParameterKind Kind = RigParameterKind::CellTemperature;
    int Index = 1; // the cell (1..8) or the flowmeter (1..16)

    // "cell3.temperature", as ParseRigParameter reads it.
    std::string Name() const;
    // The unit of its values (UTF-8): "°C", "bar", or "" for a reading (the flowmeter's own
    // scale).
    std::string Unit() const;
    // "Cell 3 temperature (°C)", "Flowmeter 2 reading (scale)": a caption for an axis or a
    // title (UTF-8).
    std::string Caption() const;
    // Whether a change of it changes the cell feeds (it enters the mixer stage), or only the
    // conditions of one cell.
    bool FeedsMixer() const;

    friend bool operator==(const RigParameter&, const RigParameter&) = default;
};

// The parameter with this name; nothing, with the reason in `error`, for a name that names none
// ("unknown parameter ...") or a number beyond the cells or flowmeters ("... out of range ...").
std::optional<RigParameter> ParseRigParameter(std::string_view name, std::string& error);

// Why the parameter cannot be varied on this rig, or empty when it can: a reading of a
// flowmeter without an input or an output, a stage temperature of a flowmeter whose stage is
// not in use or is no saturator (PURE or KBR on H2O or D2O).
std::string CheckRigParameter(const RigParameter& parameter, const RigSetup& setup);

// The parameter's value on the copy, and a new value for it.
double RigParameterValue(const RigParameter& parameter, const RigSetup& setup);
void SetRigParameter(const RigParameter& parameter, RigSetup& setup, double value);
// The same on a cells and a flowmeters table of the caller's (the window's own, to put a value
// found into the rig). A number outside the tables changes nothing.
void SetRigParameter(const RigParameter& parameter, CellRecords& cells,
                     FlowmeterRecords& flowmeters, double value);
