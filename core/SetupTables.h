// SPDX-License-Identifier: GPL-3.0-or-later
// The setup tables, the working lists of the calculation and the selection and run state.
// They live as long as the program and every subsystem reads and writes them by index.
#pragma once

#include "core/IndexedTable.h"
#include "core/SetupRecords.h"

#include <string>

constexpr int InputMixtureCount = 16;
constexpr int MixtureCount = 32; // 1..16 copies of the input mixtures, 17..32 nodes M1..M16
constexpr int NodeCount = 16;
constexpr int FlowmeterCount = 16;
constexpr int CalibrationCount = 1000;
constexpr int CellCount = 8;
constexpr int MaxGases = 12;

using InputMixtureRecords = IndexedTable<MixtureRecord, 1, InputMixtureCount>;
using MixtureRecords = IndexedTable<MixtureRecord, 1, MixtureCount>;
using FlowmeterRecords = IndexedTable<FlowmeterRecord, 1, FlowmeterCount>;
using CalibrationRecords = IndexedTable<CalibrationRecord, 1, CalibrationCount>;
using CellRecords = IndexedTable<CellRecord, 1, CellCount>;
using GasListTable = IndexedTable<Text<12>, 1, MaxGases>;
using GasStream = IndexedTable<GasFraction, 1, MaxGases>;
using CellFeedTable = IndexedTable<GasStream, 1, CellCount>;

extern InputMixtureRecords InputMixtures;
extern MixtureRecords Mixtures;
extern FlowmeterRecords Flowmeters;
extern CalibrationRecords Calibrations;
extern CellRecords Cells;

// Working lists of the calculation (memory only).
extern GasListTable GasList; // entries beyond GasCount are empty
extern int GasCount;         // 0..12
extern GasStream WorkGas;
extern CellFeedTable CellFeed;

// Codes of CurrentTable: the table that the OK button and the index selectors act on.
enum TableCode : int {
    NoTable = 0,
    CellTable = 1,
    FlowmeterTable = 2,
    InputMixtureTable = 4,
    ReadingsTable = 5,
    CalibrationTable = 6,
};

extern int CurrentTable;
extern int CurrentCell;      // 1..8
extern int CurrentInputMix;  // 1..16
extern int CurrentFlowmeter; // 1..16
extern int CurrentCalCurve;  // 1..1000; 0 until the calibration page is first shown
extern bool Running;         // the equilibrium phase of a calculation is in progress
extern bool StopRequested;   // the user asked the running calculation to stop

// The selection and run state as the defaults routine sets it: no table, the first cell, input
// mixture and flowmeter, nothing running. The current calibration curve belongs to the
// calibration page, which sets it when it is first filled; it stays.
void ResetSelectionState();
// Everything above as before start-up: the tables and working lists all zero, the selection
// and run state as ResetSelectionState leaves it, and no current calibration curve.
void ResetSetupTables();

// Mixture numbers: 1..16 are the input mixtures I1..I16, 17..32 the mixer nodes M1..M16.
constexpr bool IsInputMixture(int mixture) {
    return mixture >= 1 && mixture <= InputMixtureCount;
}
constexpr bool IsNodeMixture(int mixture) {
    return mixture > InputMixtureCount && mixture <= MixtureCount;
}
// Mixture number of node k (1..16).
constexpr int NodeMixture(int node) {
    return InputMixtureCount + node;
}
// The node (1..16) whose mixture this is; 0 for a number that names no node.
constexpr int MixtureNode(int mixture) {
    return IsNodeMixture(mixture) ? mixture - InputMixtureCount : 0;
}

// The label of a mixture: "I" and the number of an input mixture, "M" and the number of a
// node, the number right-aligned in at least `width` characters; empty for a number that names
// no mixture. MixtureLabel(3) is "I3", MixtureLabel(17) "M1", MixtureLabel(17, 2) "M 1",
// MixtureLabel(32, 2) "M16", MixtureLabel(0) and MixtureLabel(33) "".
std::string MixtureLabel(int mixture, int width = 1);
// The mixture that a label's letter and number name: 'I' with 1..16 an input mixture, 'M' with
// 1..16 a node; 0 for anything else. LabelledMixture('M', 1) is 17.
int LabelledMixture(char letter, long number);
