// SPDX-License-Identifier: GPL-3.0-or-later
// The derived quantities of a cell of a point on a copy of the setup (a sweep's, a search's).
#pragma once

#include "analysis/CellQuantities.h"
#include "analysis/RigPoint.h"

// The cell's feed, equilibrium and conditions as the quantities take them.
CellSnapshot SnapshotOf(const CellPoint& cell);
CellQuantities QuantitiesOf(const CellPoint& cell, const QuantityOptions& options = {});
