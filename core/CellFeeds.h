// SPDX-License-Identifier: GPL-3.0-or-later
// The gas each measurement cell receives: its node's mixture plus the leaks of its
// surroundings, normalised to a sum of 1.
#pragma once

// Rewrites CellFeed[1..8] from the resolved nodes. A cell that is not connected gets an empty
// feed; a cell whose node fractions and leaks add up to 0, or do not add up to a finite sum
// (a NaN or infinite fraction among them), gets its gas names with all fractions 0. The
// equilibrium run leaves both out.
void ComputeCellFeeds();
// The same on the mixer stage's tables of the caller's own.
struct RigTables;
void ComputeCellFeeds(const RigTables& tables);
