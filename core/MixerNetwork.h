// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer network: which input mixtures are usable, the gas list and the node sweeps.
#pragma once

#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "equilibrium/ChemicalData.h"

#include <string>
#include <string_view>

using FlowmeterCurveTable = IndexedTable<IndexedTable<int, 1, MaxGases>, 1, FlowmeterCount>;

// The tables the mixer stage reads and writes, by reference: the globals for the window's
// calculation, or a copy of the caller's own (a sweep in a worker thread), which the stage then
// works on without touching any global.
struct RigTables {
    InputMixtureRecords& InputMixtures;
    MixtureRecords& Mixtures;
    FlowmeterRecords& Flowmeters;
    const CalibrationRecords& Calibrations;
    CellRecords& Cells;
    GasListTable& GasList;
    int& GasCount;
    GasStream& WorkGas;
    CellFeedTable& CellFeed;
    FlowmeterCurveTable& FlowmeterCurves;
    int& NetworkSweeps;
    // The species table, against which the input mixtures' gas names are checked.
    const CompoundTable& Compounds;
    const std::uint16_t& CompoundCount;
};

// The global tables as RigTables.
RigTables GlobalRigTables();

// Removes leading and trailing spaces and control characters.
std::string_view TrimName(std::string_view name);

// Checks InputMixtures[n] (n = 1..16): trims its component names in place, sets its Ready flag
// and shows "Input mix n not properly defined" for every component whose name is not the
// formula of exactly one species.
void CheckInputMixture(int n);
void CheckInputMixture(const RigTables& tables, int n, CalcMessages& messages);

// The node (1..16) that cell c's feed comes from, or 0 when the cell is not connected: Mix 0,
// or a number beyond the nodes that only a file or a typing slip can bring.
int CellNode(int c);
int CellNode(const CellRecords& cells, int c);
// The node (1..16) that flowmeter f feeds, or 0 when its Output names no node.
int FlowmeterNode(int f);
int FlowmeterNode(const FlowmeterRecords& flowmeters, int f);
// The mixture (1..32) that feeds flowmeter f, or 0 when its Input names none.
int FlowmeterSource(int f);
int FlowmeterSource(const FlowmeterRecords& flowmeters, int f);

// Collects the gases of the calculation into GasList (at most 12) and lays every used input
// mixture and every node out on it, so that component j is the same gas everywhere. Returns
// true on failure: a thirteenth distinct gas was met.
bool BuildGasList();
bool BuildGasList(const RigTables& tables);

// Resolves the nodes M1..M16 sweep by sweep from their flowmeters. Returns true when every
// node was resolved. Expects the nodes with Ready false on entry.
bool SolveNetwork();
bool SolveNetwork(const RigTables& tables, CalcMessages& messages);

// The number of sweeps the last SolveNetwork made.
extern int NetworkSweeps;
constexpr int MaxNetworkSweeps = 100;

// Whether some flowmeter with a positive reading draws from input mixture s: its gas flows.
bool InputMixtureFlows(int s);

// The curve (1..1000) through which each gas of a flowmeter's stream was read when the
// flowmeter was last processed, by gas-list slot; 0 where no curve was read: a slot without gas
// or with fraction 0, a flowmeter not processed or with a reading that is not positive.
extern FlowmeterCurveTable FlowmeterCurves;

// No sweep made and no curve read, as at start-up.
void ResetMixerNetwork();
