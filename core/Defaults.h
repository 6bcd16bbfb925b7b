// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up values of the setup records, and the two switches of the results view.
#pragma once

#include "core/SetupRecords.h"

extern int ShowEquilibrium; // results show the cell equilibrium (1) or the feed (0)
extern int ShowLogarithmic; // results show decimal logarithms (1) or plain values (0)

// The results view as at start-up: the cell equilibrium, in decimal logarithms.
void ResetViewFlags();

// The start-up records of the calibration curves, of flowmeter i (1..16) and of cell c (1..8);
// the input mixtures start with all bytes zero.
CalibrationRecord DefaultCalibration();
FlowmeterRecord DefaultFlowmeter(int i);
CellRecord DefaultCell(int c);

// The start-up defaults of one record of each table (also used by the file tools).
void SetDefaultCalibration(int c);
void SetDefaultFlowmeter(int i);
void SetDefaultMixture(int n);
void SetDefaultCell(int c);
