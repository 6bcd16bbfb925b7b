// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the defaults routine, which ends by reading the default file set, starting the
// program on another file set instead, and the whole program state as it is before start-up.
#pragma once

#include <array>
#include <string>

// The default file set. The built-in location is named as the program names it: from the root
// of the current drive, written with backslashes; on Windows it is that folder, elsewhere the
// user's own (see DefaultSetupPath). Tests and the headless tools point it at a base of this
// platform before they call InstallDefaults; such a base is taken as it is.
extern std::string DefaultSetupLocation;
constexpr const char* FactorySetupLocation = "\\Program files\\Blendora\\Default";

// The environment variable that names another base for the default file set.
constexpr const char* DefaultSetEnvironment = "QUORVANE_DEFAULT_SET";

// The example rig that start-up puts in place as the default file set when no file of that set
// exists, so that the first start shows a rig; empty: none (the tests and the headless tools).
extern std::string FirstStartExample;

extern std::string DefaultSetupBase; // the resolved base of the default file set

// A path written with backslashes from the root of the drive, as this platform names it:
// the backslashes become slashes, and a path from the root stays one.
std::string PlatformPath(const std::string& path);

// The base of the default file set on this platform. For the built-in location: on Windows the
// location mapped by PlatformPath; elsewhere the base that QUORVANE_DEFAULT_SET names, or else
// Default in the folder quorvane of the user's data folder ($XDG_DATA_HOME, by default
// ~/.local/share), which an ordinary user can write. Any other location is taken unchanged (a
// backslash is a character of a file name here).
std::string DefaultSetupPath();

// The one name under which every program of Quorvane runs, so that Qt's own per-user folders
// (QStandardPaths::AppDataLocation) are the folder of the default file set.
void SetProgramIdentity();

// The example rig installed beside a program: the installed one (PREFIX/share/quorvane/examples
// beside PREFIX/bin), or the one a build makes (examples/ beside app/). Empty when neither holds
// a whole set.
std::string ExampleRigBeside(const std::string& programFolder);

// The defaults routine of the calculation: runs once at start-up, after the window exists. It
// installs the defaults of every table and state item, builds the species tables and reads the
// default file set, after putting FirstStartExample in its place when none of its files exists
// (and saying so on the status line).
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
