// SPDX-License-Identifier: GPL-3.0-or-later
// A sweep's results as CSV, JSON or an aligned text table: what quorvane-calc --sweep prints and
// what the window's Plots page exports.
#pragma once

#include "analysis/CellQuantities.h"
#include "analysis/Sweep.h"

#include <optional>
#include <string>

enum class SweepFormat { Text, Csv, Json };

// Which cells: 0 all the sweep's cells, 1..8 that cell alone.
// CSV: the heading "parameter,value,cell,name,state,view,item,number,log10", then for every point
// and cell the equilibrium rows (view "equilibrium", item a species, number its partial pressure
// in bar) and the feed rows (view "feed", item a gas, number its mole fraction); log10 empty
// where the number is not positive. A point whose mixer stage failed has one row per cell with
// the state "mixer failed" and the view, item, number and log10 empty.
// JSON: {"solver", "sweep": {"parameter", "points": [{"value", "cells": [{"index", "name",
// "state", "feed": {gas: fraction}, "equilibrium": {species: bar}}]}]}}.
// Text: per cell, a table with one row per point: the value, the state and the log10 partial
// pressure of every species of the sweep.
// Every cell of every point also carries its derived quantities, with the reference of the
// options: in CSV rows of the view "quantities" (item the quantity's name, number its value,
// empty without one, log10 empty), in JSON the cell's "derived" {name: value or null}.
std::string FormatSweep(const SweepResult& sweep, SweepFormat format, int cell = 0,
                        const QuantityOptions& quantities = {});

// The decimal logarithm a sweep writes for a number, as the results table shows it: none for a
// number that is not positive (or NaN), -308 at or below 1e-307, 308 at or above 1e307.
std::optional<double> SweepLog10(long double number);
