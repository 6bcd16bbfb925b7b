// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the calculation asks of the main window goes through this interface, so that
// the whole calculation runs without a window: the desktop program implements it with its
// widgets, the headless tools with standard error, and the tests with a recorder.
#pragma once

#include <iosfwd>
#include <string>

enum class StatusColour { Red, Blue };

class WindowInterface {
public:
    virtual ~WindowInterface() = default;

    // Puts the text on the status line with the given background and repaints it at once.
    virtual void ShowStatusLine(StatusColour colour, const std::string& text) = 0;
    // The pause after a status message. It lets no user input through; the default is the
    // blocking wall-clock pause.
    virtual void Pause(double seconds);
    // The system's default alert sound.
    virtual void Beep() = 0;
    // A warning that needs no pause and leaves the status line as it is: the window keeps it in
    // its message history, a headless program writes it out. A window without either ignores it.
    virtual void ShowWarning(const std::string& text) { (void)text; }

    // Redraws the whole mixer schematic.
    virtual void DrawMixer() = 0;
    // Redraws one cell of the schematic (its status marker shows its State).
    virtual void DrawCell(int cell) = 0;
    // Rebuilds the whole results table.
    virtual void ShowCellResults() = 0;
    // Refreshes the results column of one cell from the given amounts of the run's species.
    virtual void RefreshCellColumn(int cell, const long double* amounts, int count) = 0;
    // Caption of the Calculate command ("&Calculate Start" / "&Calculate Stop").
    virtual void SetCalculateCaption(const std::string& caption) = 0;
    // Lets pending user input through (once per solver pass).
    virtual void ProcessPendingEvents() = 0;

    // The list of current setup files changed.
    virtual void LoadedSetupFilesChanged() = 0;
    // A calibrations file was read: the window refills its calibration page.
    virtual void CalibrationsLoaded() = 0;
    // Start-up: the window gives its parameter tables their rows. A window without tables has
    // nothing to do.
    virtual void AddParameterTableRows() {}
};

// The window the calculation talks to. Until one is set it is a headless window that writes
// status messages to standard error and keeps the pauses.
WindowInterface& Window();
// Sets the window; nullptr restores the headless default. The caller keeps ownership.
void SetWindow(WindowInterface* window);

// Status messages on a stream, "error: " for red and "info: " for blue, and warnings as
// "warning: ", one per line.
class HeadlessWindow : public WindowInterface {
public:
    explicit HeadlessWindow(std::ostream& out);

    bool ShowProgress = true; // also write the blue progress lines
    bool KeepPauses = true;   // wait as the window would; off for batch runs

    void ShowStatusLine(StatusColour colour, const std::string& text) override;
    void Pause(double seconds) override;
    void Beep() override {}
    void ShowWarning(const std::string& text) override;
    void DrawMixer() override {}
    void DrawCell(int) override {}
    void ShowCellResults() override {}
    void RefreshCellColumn(int, const long double*, int) override {}
    void SetCalculateCaption(const std::string&) override {}
    void ProcessPendingEvents() override {}
    void LoadedSetupFilesChanged() override {}
    void CalibrationsLoaded() override {}

private:
    std::ostream& Out;
};
