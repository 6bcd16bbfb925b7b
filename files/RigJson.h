// SPDX-License-Identifier: GPL-3.0-or-later
// A rig as one JSON document that a person can read, write and keep under version control: the
// four stored tables (input mixtures, flowmeters, calibration curves, cells) record by record,
// every meaningful field by name. Curves still at their start-up values are left out, and a
// record that a document leaves out gets its start-up values.
#pragma once

#include "core/SetupRecords.h"

#include <string>

// The document of the four stored tables as they are now.
std::string RigToJson();

// Reads a document into the four stored tables. On an error nothing changes and `error` names the
// place and the fault, for example `flowmeters[2].make: "Bronkhorst-X" is longer than 8
// characters`. A gas name is a text like any other: a file may hold any, and the calculation
// says what it makes of a name that is not a species formula.
bool RigFromJson(const std::string& json, std::string& error);

// Sets the four stored tables to their start-up values: the input mixtures all zero, the
// flowmeters, curves and cells as the defaults routine installs them.
void SetStoredTablesToDefaults();

// The record with its meaningless bytes cleared (padding, and the bytes of a text after its
// length), so that records that mean the same are equal byte for byte.
MixtureRecord Canonical(const MixtureRecord& record);
FlowmeterRecord Canonical(const FlowmeterRecord& record);
CalibrationRecord Canonical(const CalibrationRecord& record);
CellRecord Canonical(const CellRecord& record);
