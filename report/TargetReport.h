// SPDX-License-Identifier: GPL-3.0-or-later
// What a search for a setting found, as quorvane-calc prints it: text or JSON.
#pragma once

#include "analysis/Targeting.h"

#include <optional>
#include <string>

// The target "cellN.QUANTITY=GOAL" read into the request's cell, quantity and goal; the reason
// when it cannot be read.
std::optional<std::string> ParseTarget(const std::string& text, TargetRequest& request);

// Text: the target, the range searched, and the setting found with the quantity it gives, or
// that the goal is out of reach with the range of the quantity. JSON: {"target": {"cell",
// "quantity", "goal", "parameter", "value", "achieved", "status", "range", "otherRoots"}}, with
// null for a value, an achieved quantity or a range that there is not.
std::string FormatTargetReport(const TargetRequest& request, const TargetResult& result, bool json);
