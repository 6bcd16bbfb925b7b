// SPDX-License-Identifier: GPL-3.0-or-later
// The schematic of the mixer: input mixtures along the bottom, the flowmeters across the
// middle with their conditioning stages below or above them, the mixer nodes above the
// flowmeters and the cells along the top, joined by lines in the colour of the gas they carry.
// Every box shows its setup record, so the picture also summarises the last calculation.
#pragma once

#include "schematic/Canvas.h"

#include <QColor>

#include <cstdint>

// The size of the picture that the layout needs (elements reach down to y = 618).
constexpr int SchematicImageWidth = 800;
constexpr int SchematicImageHeight = 620;

// The colour of mixture n: input mixture k has colour k, node m colour 16 + m; 0 is black and
// anything above 32 white.
QColor MixtureColor(std::uint16_t n);

// Redraws the whole schematic from a black background.
void DrawMixer(TCanvas& canvas);
void DrawGasLines(TCanvas& canvas);
void DrawFlowmeter(TCanvas& canvas, int i);   // 1..16
void DrawGasFixStage(TCanvas& canvas, int i); // the conditioning stage of flowmeter i
void DrawMixture(TCanvas& canvas, int k);     // 1..16 input mixture Ik, 17..32 node M(k - 16)
// Redraws one cell's box, texts and status marker over the picture (1..8).
void DrawCell(TCanvas& canvas, int e);
