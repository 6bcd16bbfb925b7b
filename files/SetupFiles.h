// SPDX-License-Identifier: GPL-3.0-or-later
// The four setup files: plain images of the input mixtures, the flowmeters, the calibration
// curves and the cells, one fixed-size record after another, forming a file set that shares
// one base name.
#pragma once

#include <array>
#include <string>

// Current names of the four files; loading and saving always use these.
extern std::string InputFileName;
extern std::string MixerFileName;
extern std::string CalibrationFileName;
extern std::string CellFileName;

// Rows of LoadedSetupFiles, in the order of a file set.
enum SetupFileRow : int {
    InputFileRow = 0,
    MixerFileRow = 1,
    CalibrationFileRow = 2,
    CellFileRow = 3
};

// The list of current files at the bottom of the window: column 0 holds the row labels "Inp",
// "Mix", "Cal", "Out"; column 1 the name of the file of that kind last read or written.
extern std::array<std::array<std::string, 2>, 4> LoadedSetupFiles;

// The list of current files with its row labels and no file named yet.
void ResetLoadedSetupFiles();
// No current file names, and the list as ResetLoadedSetupFiles leaves it.
void ResetSetupFiles();

// Sets the four current names from the base: base.INP, base.MIX, base.CAL and base.CEL.
void SetCurrentFileNames(const std::string& base);

// Load one kind from its current name; true when the file was read. A file that cannot be read
// leaves the table as it was and is a warning that names the file and the system's reason.
bool LoadInputFile();
bool LoadMixerFile();
bool LoadCalibrationFile();
bool LoadCellFile();

// Save one kind under its current name; true when the file was written. A file that cannot be
// written stays as it was, and the status line names it and the system's reason.
bool SaveInputFile();
bool SaveMixerFile();
bool SaveCalibrationFile();
bool SaveCellFile();

// Sets the four current names from the base and loads INP, MIX, CAL and CEL in this order.
// Returns, in that order, whether each file was read.
std::array<bool, 4> OpenFileSet(const std::string& base);
// Sets the four current names from the base and saves INP, MIX, CAL and CEL in this order.
// Returns, in that order, whether each file was written.
std::array<bool, 4> SaveFileSet(const std::string& base);

// Saves the four files of the set together, for the file tools: sets the four current names,
// writes each file in full beside its final name, and replaces the old files only when all four
// are written. Returns false when a file could not be written, and then no file of the set was
// replaced; `error` names the file, the system's reason and what was replaced. (Putting a
// written file in place of its old one can fail too, but only as a rename fails.)
bool SaveWholeFileSet(const std::string& base, std::string& error);

// Reads the file set with this base exactly as it is stored, for the file tools: sets the four
// current names and reads each file that can be opened into its table, without checking the
// input mixtures, clearing the cell states or refreshing the window. Returns, in the order INP,
// MIX, CAL, CEL, whether each file was read.
std::array<bool, 4> ReadStoredFileSet(const std::string& base);

// The base name of a file set chosen through one of its files: the name up to the last dot of
// its file-name part, or the whole name when that part has no dot.
std::string SetupBaseName(const std::string& chosenName);
