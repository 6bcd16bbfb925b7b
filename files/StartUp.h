// Starting the program on a file set.
#pragma once

#include <array>
#include <string>

// Starts the program on the file set with this base, as start-up does with the default file
// set, so that no file of another set is read. Returns, in the order INP, MIX, CAL, CEL,
// whether each file was read; a file that was not read leaves its table at the defaults.
std::array<bool, 4> StartOnFileSet(const std::string& base);
