// SPDX-License-Identifier: GPL-3.0-or-later
// Conditioning stages on a flowmeter's line: saturators with water or heavy water, a saturated
// KBr solution, a drying agent and an oxygen getter. Each fixes the fraction of one gas.
#pragma once

#include "core/SetupTables.h"

#include <optional>
#include <string_view>

// Saturation vapour pressure of water over liquid water in hPa at T kelvin (Goff-Gratch),
// computed in extended precision with the intermediate results the stages round to doubles.
// The saturators take it, and so does the dew point of the derived quantities.
double WaterVapourPressure(double T);

// The fraction the stage gives the gas at t degrees Celsius: the vapour pressure in bar for
// "PURE" (84 % of it for "KBR") of "H2O" and "D2O", and 0 for "DRY" and "GETTER" on them and
// for "GETTER" on "O2". The kind is compared in upper case, the gas exactly. Any other pair
// is no stage this program knows: the result is empty and the stream is left as it is.
std::optional<double> StageFraction(std::string_view gas, std::string_view kind, double t);

// Conditions WorkGas for flowmeter f (1..16) when it carries a stage before it. The other gases
// are rescaled so that the fractions keep their sum. The stage's fraction is held to 0..1: a
// saturator above the boiling point makes the stream all vapour.
void ApplyStageBefore(int f);
// Conditions WorkGas for flowmeter f when it carries a stage after it, and corrects the flow
// measured from the unconditioned stream by the gas the stage adds or removes.
void ApplyStageAfter(int f, double& flow);

// The same on a stream and a flowmeter record of the caller's own.
void ApplyStageBefore(const FlowmeterRecord& meter, GasStream& work);
void ApplyStageAfter(const FlowmeterRecord& meter, GasStream& work, double& flow);
