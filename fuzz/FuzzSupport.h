// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: a quiet window that never waits, a folder of their own for the
// files they write, the example rig, a calculation whose work no input can stretch, and a check
// that turns a broken promise into a crash that libFuzzer reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Sets the quiet window and makes the folder. Call once, from LLVMFuzzerInitialize.
void StartFuzzing();

// A file in the targets' folder (in memory where the machine has /dev/shm).
std::string FuzzPath(const std::string& name);
void WriteFuzzFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Builds the species and reads the example rig into the four stored tables.
void ReadExampleRig();

// Runs Calculate on the tables as quorvane-calc does, within the fuzzing bounds (one cycle over
// the cells, one pass per cell run, a few solver iterations), once by the pattern search and
// once by the exact solver; formats the reports of each and checks what must hold after any
// calculation whatever the setup.
void CalculateAndCheck();

// Aborts with the message when the condition does not hold.
void FuzzCheck(bool condition, const char* what);

// The input cut into its parts at every byte `separator`.
std::vector<std::string_view> SplitInput(const std::uint8_t* data, std::size_t size,
                                         char separator);
