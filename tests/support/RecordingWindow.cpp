// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingWindow.h"

#include <sstream>

std::vector<std::string> RecordingWindow::StatusLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : Log)
        if (line.rfind("red: ", 0) == 0 || line.rfind("blue: ", 0) == 0)
            lines.push_back(line);
    return lines;
}

std::vector<std::string> RecordingWindow::RedLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : Log)
        if (line.rfind("red: ", 0) == 0)
            lines.push_back(line);
    return lines;
}

void RecordingWindow::ShowStatusLine(StatusColour colour, const std::string& text) {
    Log.push_back((colour == StatusColour::Red ? "red: " : "blue: ") + text);
}

void RecordingWindow::Pause(double seconds) {
    std::ostringstream s;
    s << "pause " << seconds;
    Log.push_back(s.str());
}

void RecordingWindow::Beep() {
    Log.push_back("beep");
}
void RecordingWindow::DrawMixer() {
    Log.push_back("DrawMixer");
}
void RecordingWindow::DrawCell(int cell) {
    Log.push_back("DrawCell " + std::to_string(cell));
    if (OnDrawCell)
        OnDrawCell(cell);
}
void RecordingWindow::ShowCellResults() {
    Log.push_back("ShowCellResults");
}
void RecordingWindow::RefreshCellColumn(int cell, const long double* amounts, int count) {
    Log.push_back("RefreshCellColumn " + std::to_string(cell) + " " + std::to_string(count));
    if (OnRefreshCellColumn)
        OnRefreshCellColumn(cell, std::vector<long double>(amounts, amounts + count));
}
void RecordingWindow::SetCalculateCaption(const std::string& caption) {
    Log.push_back("caption " + caption);
}
void RecordingWindow::ProcessPendingEvents() {
    Log.push_back("ProcessPendingEvents");
    if (OnProcessPendingEvents)
        OnProcessPendingEvents();
}
void RecordingWindow::LoadedSetupFilesChanged() {
    Log.push_back("LoadedSetupFilesChanged");
}
void RecordingWindow::CalibrationsLoaded() {
    Log.push_back("CalibrationsLoaded");
}

void RecordingWindow::ShowWarning(const std::string& text) {
    Warnings.push_back(text);
}
