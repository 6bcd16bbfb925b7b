// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Calculate.h"

#include "core/CellFeeds.h"
#include "core/MixerNetwork.h"
#include "core/RigCheck.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "core/WindowInterface.h"
#include "equilibrium/CellEquilibrium.h"

namespace {
void MixerFailure(const char* message) {
    Beep();
    ShowStatusError(message, ErrorPause);
    Window().SetCalculateCaption(CalculateStartCaption);
}
} // namespace

bool CalcStartStopClick() {
    if (Running) {
        StopRequested = true;
        Window().SetCalculateCaption(CalculateStartCaption);
        return false;
    }
    Window().SetCalculateCaption(CalculateStopCaption);
    return Run1Click();
}

bool Run1Click() {
    if (!RunMixerStage())
        return false;
    StartEquilibriumCalculations();
    return true;
}

bool RunMixerStage() {
    // The calibration page's OK button writes back only after the page is shown again.
    if (CurrentTable == CalibrationTable)
        CurrentTable = NoTable;

    for (int i = 1; i <= InputMixtureCount; ++i)
        CheckInputMixture(i);
    for (int i = 1; i <= InputMixtureCount; ++i)
        Mixtures[i] = InputMixtures[i];

    if (BuildGasList()) {
        MixerFailure("Too many gases or inappropriately organised mixer");
        return false;
    }

    for (int k = 1; k <= NodeCount; ++k) {
        Mixtures[NodeMixture(k)].Ready = 0;
        Mixtures[NodeMixture(k)].Flow = 0;
    }
    for (CellRecord& cell : Cells)
        cell.State = CellRunState::NotCalculated;

    const bool converged = SolveNetwork();
    // The warnings take no time, so the mixer's own messages come as and when they always did.
    ReportRigWarnings();
    if (!converged) {
        MixerFailure("Non-converging mixer!");
        return false;
    }

    ComputeCellFeeds();
    Window().DrawMixer();
    Window().ShowCellResults();
    return true;
}
