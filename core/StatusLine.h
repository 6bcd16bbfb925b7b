// SPDX-License-Identifier: GPL-3.0-or-later
// The status line: warnings and failures on red, progress on blue, each message followed by a
// pause that lets no user input through.
#pragma once

#include <string>

extern double ErrorPause;    // 4.0 s after a warning or failure
extern double ProgressPause; // 0.0 s after a progress line

// The two pauses as at start-up.
void ResetStatusLine();

void ShowStatusError(const std::string& text, double seconds);
void ShowStatusInfo(const std::string& text, double seconds);
// A warning that the user should see but that needs no pause: it goes into the message history
// (a headless program writes it out), not onto the status line.
void ShowWarning(const std::string& text);
// The alert sound; callers sound it just before the messages that want it.
void Beep();

// Where the messages of a calculation go. The window's calculation shows them on the status line
// with their pause (and the alert sound where one is asked for); a calculation on a copy of the
// setup (a sweep in a worker thread) collects them, or drops them, and never reaches the window.
enum class MessagePause { Short, Error }; // 1 s, or ErrorPause
class CalcMessages {
public:
    virtual ~CalcMessages() = default;
    virtual void Error(const std::string& text, MessagePause pause, bool beep) = 0;
    // A progress line (blue, ProgressPause).
    virtual void Progress(const std::string& text) = 0;
};
// The status line, as ShowStatusError and ShowStatusInfo show it.
CalcMessages& StatusLineMessages();
