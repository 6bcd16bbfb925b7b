// SPDX-License-Identifier: GPL-3.0-or-later
// One setup file of the kind QUORVANE_FUZZ_KIND ("INP", "MIX", "CAL" or "CEL"), whatever it
// holds, in a file set whose other three files are the example rig's: the program starts on the
// set as quorvane-calc does, loading all four files, and calculates it.
#include "FuzzSupport.h"

#include "files/SetupFiles.h"
#include "files/StartUp.h"
#include "report/CalcReport.h"

#include <cstddef>
#include <cstdint>

namespace {
std::string& Base() {
    static std::string base;
    return base;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzing();
    Base() = FuzzPath("Rig");
    ReadExampleRig();
    SaveFileSet(Base());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFuzzFile(Base() + "." QUORVANE_FUZZ_KIND, data, size);
    const std::array<bool, 4> read = StartOnFileSet(Base());
    FuzzCheck(read == (std::array<bool, 4>{true, true, true, true}), "all four files are read");
    CalculateAndCheck();
    return 0;
}
