// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SchematicBoxes.h"

int SchemeHeight = 600;
int SchemeWidth = 800;
IndexedTable<SchematicBox, 1, FlowmeterCount> FlowmeterBox{};
IndexedTable<SchematicBox, 1, CellCount> CellBox{};
IndexedTable<SchematicBox, 1, MixtureCount> MixtureBox{};

void ResetSchematicBoxes() {
    SchemeHeight = 600;
    SchemeWidth = 800;
    FlowmeterBox = {};
    CellBox = {};
    MixtureBox = {};
}

namespace {
// The fractions of the design area are taken in extended precision and cut toward zero:
// 0.42 x 600 then falls just below 252 and the level is 251, while 0.94 x 600 stays 564.
int Part(long double fraction, int size) {
    return static_cast<int>(fraction * static_cast<long double>(size));
}

std::uint16_t Word(int value) {
    return static_cast<std::uint16_t>(value);
}

int FlowmeterTop() {
    return SchemeLevel() + 20;
}

int FlowmeterBottom() {
    return FlowmeterTop() + Part(0.2L, SchemeHeight);
}

// The box in column i (1..16) of the flowmeter row or the input mixture row below it.
SchematicBox ColumnBox(int i, int top, int bottom) {
    const int left =
        static_cast<int>(static_cast<long long>(SchemeWidth) * (i - 1) / FlowmeterCount) + 2;
    const int width = Part(0.05L, SchemeWidth);
    return {Word(left), Word(top), Word(left + 2 + width), Word(bottom),
            Word(left + 2 + width / 2)};
}
} // namespace

int SchemeLevel() {
    return Part(0.42L, SchemeHeight);
}

int InputBusY(int n) {
    return FlowmeterBottom() + 80 + 3 * (MixtureCount - n);
}

int OutputBusY(int m) {
    return SchemeLevel() + 20 - 130 - 3 * m;
}

int ConnectorX(int a) {
    const int gap = FlowmeterBox[2].Left - FlowmeterBox[1].Right;
    return FlowmeterBox[a].Right + gap / 2;
}

void SetFlowmeterBox(int i) {
    FlowmeterBox[i] = ColumnBox(i, FlowmeterTop(), FlowmeterBottom());
}

void SetMixtureBox(int k) {
    SchematicBox& b = MixtureBox[k];
    if (IsInputMixture(k)) {
        const int top = Part(0.94L, SchemeHeight) + 20;
        b = ColumnBox(k, top, top + Part(0.06L, SchemeHeight) - 2);
    } else {
        // A node box takes the column of the flowmeter that feeds it when it is drawn.
        const int top = SchemeLevel() + 20 - 120;
        b.Top = Word(top);
        b.Bottom = Word(top + 35);
    }
}

void SetCellBox(int e) {
    SchematicBox& b = CellBox[e];
    const int left =
        static_cast<int>(static_cast<long long>(SchemeWidth) * (e - 1) / CellCount) + 4;
    const int top = Part(0.01L, SchemeHeight) + 20;
    b.Left = Word(left);
    b.Top = Word(top);
    b.Right = Word(left + 4 + Part(2 * 0.05L, SchemeWidth));
    b.Bottom = Word(top + 65);
    b.PortX = Word(left + 2 + Part(0.05L, SchemeWidth));
}
