// SPDX-License-Identifier: GPL-3.0-or-later
// A window that records, in order, everything the calculation asks of it, and never waits.
#pragma once

#include "core/WindowInterface.h"

#include <functional>
#include <string>
#include <vector>

class RecordingWindow : public WindowInterface {
public:
    // One line per request, for example "red: Non-converging mixer!", "pause 4", "beep",
    // "DrawCell 3".
    std::vector<std::string> Log;

    // Called after a request is logged, so that a test can act as the user or look at the
    // program at that moment: OnProcessPendingEvents when the run lets input through (once per
    // solver pass), OnDrawCell when a cell's marker is drawn.
    std::function<void()> OnProcessPendingEvents;
    std::function<void(int cell)> OnDrawCell;
    // Called with the amounts of every column refresh.
    std::function<void(int cell, const std::vector<long double>& amounts)> OnRefreshCellColumn;

    // Only the status-line texts, each prefixed "red: " or "blue: ".
    std::vector<std::string> StatusLines() const;
    // Only the red ones, prefixed "red: ".
    std::vector<std::string> RedLines() const;
    void Clear() {
        Log.clear();
        Warnings.clear();
    }

    void ShowStatusLine(StatusColour colour, const std::string& text) override;
    void Pause(double seconds) override;
    void Beep() override;
    void DrawMixer() override;
    void DrawCell(int cell) override;
    void ShowCellResults() override;
    void RefreshCellColumn(int cell, const long double* amounts, int count) override;
    void SetCalculateCaption(const std::string& caption) override;
    void ProcessPendingEvents() override;
    void LoadedSetupFilesChanged() override;
    void CalibrationsLoaded() override;

    // The warnings, in order. They are on no status line and hold nothing, so they are kept
    // apart from the log.
    std::vector<std::string> Warnings;
    void ShowWarning(const std::string& text) override;
};
