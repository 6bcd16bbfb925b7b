// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSetup.h"

#include "files/StartUp.h"

#include <fstream>
#include <iterator>

void ProgramTest::SetUp() {
    ASSERT_TRUE(Temp.isValid());
    ResetProgramState();
    SetWindow(&Recorder);
    DefaultSetupLocation = DefaultBase();
    InstallDefaults();
    Recorder.Clear();
}

void ProgramTest::TearDown() {
    SetWindow(nullptr);
    DefaultSetupLocation = FactorySetupLocation;
}

std::string ProgramTest::TempPath(const std::string& name) const {
    return Temp.path().toStdString() + "/" + name;
}

std::string ProgramTest::DefaultBase() const {
    return TempPath("Default");
}

std::vector<char> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}
