// Start-up: the defaults routine, which ends by reading the default file set, starting the
// program on another file set instead, and the whole program state as it is before start-up.
#pragma once

#include <array>
#include <string>

// The default file set. The built-in location is named as the program names it: from the root
// of the current drive, written with backslashes. Tests and the headless tools point it at a base
// of this platform before they call InstallDefaults; such a base is taken as it is.
extern std::string DefaultSetupLocation;
constexpr const char* FactorySetupLocation = "\\Program files\\Blendora\\Default";

extern std::string DefaultSetupBase; // the resolved base of the default file set

// A path written with backslashes from the root of the drive, as this platform names it:
// the backslashes become slashes, and a path from the root stays one.
std::string PlatformPath(const std::string& path);

// The base of the default file set on this platform: the built-in location mapped by
// PlatformPath, any other location unchanged (a backslash is a character of a file name here).
std::string DefaultSetupPath();

// The defaults routine of the calculation: runs once at start-up, after the window exists. It
// installs the defaults of every table and state item, builds the species tables and reads the
// default file set.
void InstallDefaults();

// Starts the program on the file set with this base, as start-up does with the default file
// set, so that no file of another set is read. Returns, in the order INP, MIX, CAL, CEL,
// whether each file was read; a file that was not read leaves its table at the defaults.
std::array<bool, 4> StartOnFileSet(const std::string& base);

// Everything the calculation holds, as before start-up: each file that holds program state
// resets its own, and this calls every one of them. The window is not part of it (the caller
// sets the window), nor is the clock and random generator of the solver, which tests set
// themselves.
void ResetProgramState();
