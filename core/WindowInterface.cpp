// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/WindowInterface.h"

#include "equilibrium/EqCalcUnit.h"

#include <iostream>

void WindowInterface::Pause(double seconds) {
    WaitSeconds(seconds);
}

HeadlessWindow::HeadlessWindow(std::ostream& out) : Out(out) {}

void HeadlessWindow::ShowStatusLine(StatusColour colour, const std::string& text) {
    if (colour == StatusColour::Red)
        Out << "error: " << text << '\n' << std::flush;
    else if (ShowProgress)
        Out << "info: " << text << '\n' << std::flush;
}

void HeadlessWindow::ShowWarning(const std::string& text) {
    Out << "warning: " << text << '\n' << std::flush;
}

void HeadlessWindow::Pause(double seconds) {
    if (KeepPauses)
        WaitSeconds(seconds);
}

namespace {
WindowInterface& DefaultWindow() {
    static HeadlessWindow window(std::cerr);
    return window;
}
WindowInterface* CurrentWindow = nullptr;
} // namespace

WindowInterface& Window() {
    return CurrentWindow ? *CurrentWindow : DefaultWindow();
}

void SetWindow(WindowInterface* window) {
    CurrentWindow = window;
}
