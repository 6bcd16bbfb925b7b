// SPDX-License-Identifier: GPL-3.0-or-later
// A whole calculation without a window: the batch window that stands in for it, one bounded run
// of the window's own calculation (Run1Click through the window interface), and what the run
// came to as an outcome and as the headless calculator's exit status.
#pragma once

#include "core/WindowInterface.h"
#include "equilibrium/CalcBounds.h"

#include <iosfwd>
#include <string>
#include <vector>

struct StatusMessage {
    StatusColour Colour;
    std::string Text;
    bool Warning = false; // a warning, which is on no status line
};

// The headless window of a batch run: writes the status line to a stream ("error: ", and
// "info: " for the progress lines when ShowProgress is on) and the warnings ("warning: "),
// never waits and never beeps, and keeps every message it wrote for the report.
class BatchWindow : public HeadlessWindow {
public:
    explicit BatchWindow(std::ostream& out);
    void ShowStatusLine(StatusColour colour, const std::string& text) override;
    void ShowWarning(const std::string& text) override;

    std::vector<StatusMessage> Messages;
};

enum class CalcOutcome {
    Converged,    // every fed cell converged
    MixerFailed,  // the gas list overflowed or the mixer did not converge
    NotConverged, // some fed cell had not converged after the last cycle over the cells
};

// Runs one calculation on the setup tables as they are, with at most maxCycles cycles over the
// cells (0: until every fed cell has converged).
CalcOutcome RunCalculation(int maxCycles);
// Runs one calculation within the bounds, by their solver; they hold for this calculation only.
// When the run ends with fed cells that have not converged, one red message names each of them
// with its best error and passes ("Cell 2 has not converged: best error 3.60E-03 after 220
// passes"); a cell the exact solver found no answer for has said why already.
CalcOutcome RunCalculation(const CalcBounds& bounds);

// The exit status of the headless calculator for an outcome: 0, 1 or 3.
int ExitStatus(CalcOutcome outcome);
