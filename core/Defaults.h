// Start-up: the defaults of every setup table, the selection state and the default file set.
#pragma once

#include "core/SetupRecords.h"

#include <string>

// The default file set. The built-in location is named as the program names it: from the root
// of the current drive, written with backslashes. Tests and the headless tools point it at a base
// of this platform before they call InstallDefaults; such a base is taken as it is.
extern std::string DefaultSetupLocation;
constexpr const char* FactorySetupLocation = "\\Program files\\Blendora\\Default";

extern std::string DefaultSetupBase; // the resolved base of the default file set

extern int SchemeHeight; // design size of the schematic layout
extern int SchemeWidth;

extern int ShowEquilibrium; // results show the cell equilibrium (1) or the feed (0)
extern int ShowLogarithmic; // results show decimal logarithms (1) or plain values (0)

// A path written with backslashes from the root of the drive, as this platform names it:
// the backslashes become slashes, and a path from the root stays one.
std::string PlatformPath(const std::string& path);

// The base of the default file set on this platform: the built-in location mapped by
// PlatformPath, any other location unchanged (a backslash is a character of a file name here).
std::string DefaultSetupPath();

// The defaults routine of the calculation: runs once at start-up, after the window exists.
void InstallDefaults();

// The start-up records of the calibration curves, of flowmeter i (1..16) and of cell c (1..8);
// the input mixtures start with all bytes zero.
CalibrationRecord DefaultCalibration();
FlowmeterRecord DefaultFlowmeter(int i);
CellRecord DefaultCell(int c);

// The start-up defaults of one record of each table (also used by the file tools).
void SetDefaultCalibration(int c);
void SetDefaultFlowmeter(int i);
void SetDefaultMixture(int n);
void SetDefaultCell(int c);
