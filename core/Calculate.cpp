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

const char* MixerFailureText(MixerOutcome outcome) {
    switch (outcome) {
    case MixerOutcome::TooManyGases:
        return "Too many gases or inappropriately organised mixer";
    case MixerOutcome::NotConverging:
        return "Non-converging mixer!";
    case MixerOutcome::Solved:
        break;
    }
    return "";
}

MixerOutcome SolveMixerTables(const RigTables& t, CalcMessages& messages) {
    for (int i = 1; i <= InputMixtureCount; ++i)
        CheckInputMixture(t, i, messages);
    for (int i = 1; i <= InputMixtureCount; ++i)
        t.Mixtures[i] = t.InputMixtures[i];

    if (BuildGasList(t))
        return MixerOutcome::TooManyGases;

    for (int k = 1; k <= NodeCount; ++k) {
        t.Mixtures[NodeMixture(k)].Ready = 0;
        t.Mixtures[NodeMixture(k)].Flow = 0;
    }
    for (CellRecord& cell : t.Cells)
        cell.State = CellRunState::NotCalculated;

    return SolveNetwork(t, messages) ? MixerOutcome::Solved : MixerOutcome::NotConverging;
}

bool RunMixerStage() {
    // The calibration page's OK button writes back only after the page is shown again.
    if (CurrentTable == CalibrationTable)
        CurrentTable = NoTable;

    const MixerOutcome outcome = SolveMixerTables(GlobalRigTables(), StatusLineMessages());
    if (outcome == MixerOutcome::TooManyGases) {
        MixerFailure(MixerFailureText(outcome));
        return false;
    }
    // The warnings take no time, so the mixer's own messages come as and when they always did.
    ReportRigWarnings();
    if (outcome != MixerOutcome::Solved) {
        MixerFailure(MixerFailureText(outcome));
        return false;
    }

    ComputeCellFeeds();
    Window().DrawMixer();
    Window().ShowCellResults();
    return true;
}
