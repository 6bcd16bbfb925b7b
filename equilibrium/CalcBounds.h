// Bounds on the work of one calculation. The window sets none: its calculation cycles over the
// cells until every fed cell has converged or the user stops it. A caller that must keep a
// calculation short whatever the setup (a batch run, fuzzing, tests of hostile setups) sets them
// for that one calculation with a ScopedCalcBounds.
#pragma once

// Each bound is 0 for none. With all three set, a calculation ends in a time that no setup can
// stretch. A bound never raises the run's own eleven passes and hundred iterations.
struct CalcBounds {
    int Cycles = 0;            // cycles over the cells; the cells left then stay unconverged
    int PassesPerCellRun = 0;  // solver passes in one cell run
    int IterationsPerPass = 0; // solver iterations in one pass
};

// The bounds in force: none unless a ScopedCalcBounds is alive.
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

// No bounds, as at start-up.
void ResetCalcBounds();
