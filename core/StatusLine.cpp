// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/StatusLine.h"

#include "core/WindowInterface.h"

double ErrorPause = 4.0;
double ProgressPause = 0.0;

void ResetStatusLine() {
    ErrorPause = 4.0;
    ProgressPause = 0.0;
}

void ShowStatusError(const std::string& text, double seconds) {
    Window().ShowStatusLine(StatusColour::Red, text);
    Window().Pause(seconds);
}

void ShowStatusInfo(const std::string& text, double seconds) {
    Window().ShowStatusLine(StatusColour::Blue, text);
    Window().Pause(seconds);
}

void ShowWarning(const std::string& text) {
    Window().ShowWarning(text);
}

void Beep() {
    Window().Beep();
}

namespace {
class StatusLineSink final : public CalcMessages {
public:
    void Error(const std::string& text, MessagePause pause, bool beep) override {
        if (beep)
            Beep();
        ShowStatusError(text, pause == MessagePause::Short ? 1.0 : ErrorPause);
    }
    void Progress(const std::string& text) override { ShowStatusInfo(text, ProgressPause); }
};
} // namespace

CalcMessages& StatusLineMessages() {
    static StatusLineSink sink;
    return sink;
}
