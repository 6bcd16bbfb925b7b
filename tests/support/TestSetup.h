// SPDX-License-Identifier: GPL-3.0-or-later
// A fixture that starts every test from a fresh program: all tables as at start-up, the
// defaults installed from a default file set in a temporary folder (empty unless the test puts
// files there), and a recording window.
#pragma once

#include "RecordingWindow.h"
#include "files/StartUp.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <string>
#include <vector>

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Full name of a file in the test's temporary folder.
    std::string TempPath(const std::string& name) const;
    // Base of the default file set that SetUp installed (no files there).
    std::string DefaultBase() const;

    QTemporaryDir Temp;
    RecordingWindow Recorder;
};

std::vector<char> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<char>& bytes);
