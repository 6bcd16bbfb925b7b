#include "report/BatchRun.h"

#include "core/Calculate.h"
#include "core/SetupTables.h"

BatchWindow::BatchWindow(std::ostream& out) : HeadlessWindow(out) {
    KeepPauses = false;
}

void BatchWindow::ShowStatusLine(StatusColour colour, const std::string& text) {
    if (colour == StatusColour::Red || ShowProgress)
        Messages.push_back({colour, text});
    HeadlessWindow::ShowStatusLine(colour, text);
}

void BatchWindow::ShowWarning(const std::string& text) {
    Messages.push_back({StatusColour::Red, text, true});
    HeadlessWindow::ShowWarning(text);
}

CalcOutcome RunCalculation(int maxCycles) {
    return RunCalculation(CalcBounds{maxCycles, 0, 0});
}

CalcOutcome RunCalculation(const CalcBounds& bounds) {
    bool mixerSolved = false;
    {
        const ScopedCalcBounds scope(bounds);
        mixerSolved = Run1Click();
    }
    if (!mixerSolved)
        return CalcOutcome::MixerFailed;
    for (const CellRecord& cell : Cells)
        if (AwaitsConvergence(cell.State))
            return CalcOutcome::NotConverged;
    return CalcOutcome::Converged;
}

int ExitStatus(CalcOutcome outcome) {
    switch (outcome) {
    case CalcOutcome::Converged:
        return 0;
    case CalcOutcome::MixerFailed:
        return 1;
    case CalcOutcome::NotConverged:
        return 3;
    }
    return 3;
}
