// SPDX-License-Identifier: GPL-3.0-or-later
// The Calculate command: solves the mixer, then hands the cells to the equilibrium run.
#pragma once

constexpr const char* CalculateStartCaption = "&Calculate Start";
constexpr const char* CalculateStopCaption = "&Calculate Stop";

// Handler of the command: asks a running calculation to stop, or starts one. Returns true when
// it ran a calculation whose mixer stage succeeded: the results then come from the setup as it
// was when the command was used.
bool CalcStartStopClick();

// One calculation: the mixer stage, then the equilibrium of every fed cell. Returns false when
// the mixer stage failed (its message is on the status line and the equilibrium is not run).
// The command reads "&Calculate Start" again when it returns.
bool Run1Click();

// The mixer stage of a calculation: the input-mixture checks, the gas list, the network sweeps
// and the cell feeds, then the schematic and the results table are refreshed. Returns false
// when the gas list overflows or the network does not converge; the command then reads
// "&Calculate Start" again.
bool RunMixerStage();

struct RigTables;
class CalcMessages;
// The outcome of the mixer stage's solving part.
enum class MixerOutcome { Solved, TooManyGases, NotConverging };
// The mixer stage's messages on failure: "Too many gases or inappropriately organised mixer" and
// "Non-converging mixer!".
const char* MixerFailureText(MixerOutcome outcome);
// The solving part of the mixer stage on the given tables: the input-mixture checks, the gas
// list, the network sweeps; the cells are set not calculated. The cell feeds are left to the
// caller, which computes them when the outcome is Solved. Touches nothing but the tables and
// the messages.
MixerOutcome SolveMixerTables(const RigTables& tables, CalcMessages& messages);
