// SPDX-License-Identifier: GPL-3.0-or-later
// What one calculation is allowed: bounds on its work, and the solver of its cells. The window
// sets none of it: its calculation solves the cells by the pattern search, cycling over them
// until every fed cell has converged or the user stops it. A caller that must keep a
// calculation short whatever the setup (a batch run, fuzzing, tests of hostile setups), or that
// wants the cells solved exactly (quorvane-calc --solver exact), sets them for that one
// calculation with a ScopedCalcBounds.
#pragma once

// The solver of the cell runs: the pattern search, the window's, in passes and cycles; or the
// exact solver, which solves each fed cell once, in a single cycle over the cells (what it
// cannot solve it cannot solve again).
enum class EquilibriumSolver { Pattern, Exact };

// Each bound is 0 for none. With all three set, a calculation ends in a time that no setup can
// stretch. A bound never raises the run's own eleven passes and hundred iterations.
struct CalcBounds {
    int Cycles = 0;            // cycles over the cells; the cells left then stay unconverged
    int PassesPerCellRun = 0;  // solver passes in one cell run
    int IterationsPerPass = 0; // solver iterations in one pass
    EquilibriumSolver Solver = EquilibriumSolver::Pattern;
};

// The bounds in force: none, and the pattern search, unless a ScopedCalcBounds is alive.
const CalcBounds& ActiveCalcBounds();

// Sets the bounds for as long as it lives and puts the previous ones back when it goes, also
// when the calculation ends by an exception.
class ScopedCalcBounds {
public:
    explicit ScopedCalcBounds(const CalcBounds& bounds);
    ~ScopedCalcBounds();
    ScopedCalcBounds(const ScopedCalcBounds&) = delete;
    ScopedCalcBounds& operator=(const ScopedCalcBounds&) = delete;

private:
    CalcBounds Previous;
};

// No bounds and the pattern search, as at start-up.
void ResetCalcBounds();
