// SPDX-License-Identifier: GPL-3.0-or-later
// The boxes of the mixer schematic: where each flowmeter, input mixture, mixer node and cell is
// drawn, and the levels of the gas lines between them. The defaults routine lays the boxes out
// once for the design area SchemeWidth x SchemeHeight; afterwards only the drawing writes to
// them, and only the horizontal extent of the node boxes.
#pragma once

#include "core/IndexedTable.h"
#include "core/SetupTables.h"

#include <cstddef>
#include <cstdint>

struct SchematicBox {
    std::uint16_t Left;
    std::uint16_t Top;
    std::uint16_t Right;
    std::uint16_t Bottom;
    std::uint16_t PortX; // where the gas lines attach
};

static_assert(offsetof(SchematicBox, Left) == 0 && offsetof(SchematicBox, Top) == 2 &&
              offsetof(SchematicBox, Right) == 4 && offsetof(SchematicBox, Bottom) == 6 &&
              offsetof(SchematicBox, PortX) == 8 && sizeof(SchematicBox) == 10);

// The design area of the layout, 800 x 600.
extern int SchemeHeight;
extern int SchemeWidth;

extern IndexedTable<SchematicBox, 1, FlowmeterCount> FlowmeterBox;
extern IndexedTable<SchematicBox, 1, CellCount> CellBox;
// By mixture number: the input mixtures I1..I16, then the mixer nodes M1..M16.
extern IndexedTable<SchematicBox, 1, MixtureCount> MixtureBox;

// The level that the rows of the layout hang from: trunc(0.42 x SchemeHeight), 251 for the
// design height of 600.
int SchemeLevel();

// The y of the input bus of mixture n (0..32: none, the input mixtures, the nodes) and of the
// output bus of node m (1..16).
int InputBusY(int n);
int OutputBusY(int m);

// The x of the column that carries a node's gas down to the input bus of the flowmeters that
// draw from it, when flowmeter a is the last one that feeds the node: the middle of the gap
// to the right of flowmeter a.
int ConnectorX(int a);

// The design area as at start-up, and no box laid out.
void ResetSchematicBoxes();

// Lay out the box of flowmeter i (1..16), of mixture k (1..32; a node box gets its height
// only) and of cell e (1..8).
void SetFlowmeterBox(int i);
void SetMixtureBox(int k);
void SetCellBox(int e);
