// SPDX-License-Identifier: GPL-3.0-or-later
// Small builders for mixer setups in tests. They write the setup tables directly, as the
// parameter tables or a file would.
#pragma once

#include "core/SetupRecords.h"

#include <string>
#include <utility>
#include <vector>

using Components = std::vector<std::pair<std::string, double>>;

// Puts the components into slots 1, 2, ... and clears the other slots.
void FillSlots(IndexedTable<GasFraction, 1, 12>& slots, const Components& components);
// Input mixture n with the given components (the rest empty).
void SetInputMix(int n, const Components& components);
// Flowmeter f drawing from mixture `input` into node `output` at the given reading.
void SetMeter(int f, int input, int output, double reading);
// Gives flowmeter f a make of its own and curve c for that make alone: a single point, so the
// flowmeter reads the same flow for every gas and every positive reading.
void SetConstantFlow(int f, int c, double flow);
// Curve c for the make of flowmeter f and one gas, a single point: the gas reads `flow`.
void SetConstantGasFlow(int f, int c, const std::string& gas, double flow);
// Cell 1 at 800 degrees Celsius, fed through flowmeter 1 (2 flow units, curve 1) from input
// mixture 1 with these gases; no other cell has a node.
void FeedCellOneAlone(const Components& gases);
// Cell 1 fed as FeedCellOneAlone does, cell 2 with the second gases through flowmeter 2 (2 flow
// units, curve 2) from input mixture 2 into node 2, both at 800 degrees Celsius and without
// leaks.
void FeedTwoCells(const Components& first, const Components& second);
// Thirteen distinct gases in input mixtures 1 and 2, both feeding node 1: one too many.
void FeedThirteenGases();

// A conditioning stage on flowmeter f.
void SetStage(int f, const std::string& gas, const std::string& kind, double t, bool before);
