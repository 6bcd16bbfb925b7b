// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/BatchRun.h"

#include "core/Calculate.h"
#include "core/Cat.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "report/ResultsView.h"

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
    CalcOutcome outcome = CalcOutcome::Converged;
    for (int c = 1; c <= CellCount; ++c) {
        if (!AwaitsConvergence(Cells[c].State))
            continue;
        outcome = CalcOutcome::NotConverged;
        const std::string error = ResultsView::BestErrorText(c);
        if (!error.empty())
            Window().ShowStatusLine(StatusColour::Red,
                                    Cat("Cell ", std::to_string(c),
                                        " has not converged: best error ", error, " after ",
                                        std::to_string(CellPasses[c]), " passes"));
    }
    return outcome;
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
