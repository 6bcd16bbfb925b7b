// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/StatusLine.h"
#include "core/WindowInterface.h"
#include "equilibrium/EqCalcUnit.h"
#include "support/RecordingWindow.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

TEST(StatusLine, ErrorsAreRedInfosBlueEachFollowedByItsPause) {
    RecordingWindow recorder;
    SetWindow(&recorder);
    ShowStatusError("Non-converging mixer!", ErrorPause);
    ShowStatusInfo("Compound: H2O", ProgressPause);
    ShowStatusError("Input mix 3 not properly defined", 1.0);
    SetWindow(nullptr);
    const std::vector<std::string> expected = {
        "red: Non-converging mixer!",
        "pause 4",
        "blue: Compound: H2O",
        "pause 0",
        "red: Input mix 3 not properly defined",
        "pause 1",
    };
    EXPECT_EQ(recorder.Log, expected);
}

TEST(StatusLine, HeadlessWindowWritesPrefixedLinesAndCanSkipProgressAndPauses) {
    std::ostringstream out;
    HeadlessWindow headless(out);
    headless.KeepPauses = false;
    SetWindow(&headless);
    // Without pauses a 4-second error returns at once. The clock stands still and fails the
    // test if it is read again and again, as a kept pause would do.
    int reads = 0;
    SetSecondsOfDaySource([&reads]() -> double {
        if (++reads > 1000)
            throw std::runtime_error("the pause was kept");
        return 100.0;
    });
    ShowStatusError("Too many gases or inappropriately organised mixer", ErrorPause);
    ShowStatusInfo("Cell 1   Iteration 1", 0);
    headless.ShowProgress = false;
    ShowStatusInfo("Cell 1   Iteration 2", 0);
    SetSecondsOfDaySource({});
    SetWindow(nullptr);
    EXPECT_EQ(out.str(), "error: Too many gases or inappropriately organised mixer\n"
                         "info: Cell 1   Iteration 1\n");
}

TEST(StatusLine, KeptPauseWaitsOnTheClock) {
    std::ostringstream out;
    HeadlessWindow headless(out);
    SetWindow(&headless);
    double now = 1000.0;
    int reads = 0;
    SetSecondsOfDaySource([&] {
        ++reads;
        return now += 0.01;
    });
    ShowStatusError("Non-converging mixer!", 4.0);
    SetSecondsOfDaySource({});
    SetWindow(nullptr);
    EXPECT_GT(now, 1004.0);
    EXPECT_LT(now, 1004.05);
    EXPECT_GT(reads, 400);
}
