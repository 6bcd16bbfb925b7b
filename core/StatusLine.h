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
// The alert sound; callers sound it just before the messages that want it.
void Beep();
