// SPDX-License-Identifier: GPL-3.0-or-later
// What a lab reads off a cell besides its partial pressures: log10 pO2, an oxygen sensor's EMF
// against a reference gas, the water content of the feed and at equilibrium, the feed's dew
// point at the cell pressure, and the H2O/H2 and CO2/CO ratios at equilibrium. A quantity that
// has no value (no oxygen, no water, no equilibrium yet) is empty, never 0.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The settings of the derived quantities, with their defaults.
struct QuantityOptions {
    double ReferencePO2 = 0.2095; // bar: the sensor's reference gas, air by default
};

// A valid reference pO2: a finite number above 0.
bool ValidReferencePO2(double bar);

// One cell as the quantities see it: its feed as mole fractions by gas, its equilibrium as
// partial pressures in bar by species formula (empty when the cell has no equilibrium to show),
// its temperature in degrees Celsius and its pressure in bar.
struct CellSnapshot {
    std::vector<std::pair<std::string, double>> Feed;
    std::vector<std::pair<std::string, double>> Equilibrium;
    double TemperatureC = 0;
    double Pressure = 0;
};

struct CellQuantities {
    std::optional<double> Log10pO2;            // at equilibrium
    std::optional<double> SensorEmfmV;         // (R T / 4F) ln(pref / pO2), in mV
    std::optional<double> WaterPpmFeed;        // mole fraction of H2O in the feed, ppm
    std::optional<double> WaterPpmEquilibrium; // mole fraction of H2O in the gas at equilibrium
    std::optional<double> DewPointC;  // of the feed at the cell pressure (frost point below 0)
    std::optional<double> H2oH2Ratio; // at equilibrium, where both are present
    std::optional<double> Co2CoRatio; // at equilibrium, where both are present
};

// The quantities by name, in the order the reports list them. Name is the key of the reports
// ("log10pO2"), Caption what the window's table calls the row ("log10 pO2").
struct QuantityName {
    const char* Name;
    const char* Caption;
    std::optional<double> CellQuantities::*Member;
};
const std::vector<QuantityName>& QuantityNames();
// The quantity of that report key, or nothing.
const QuantityName* FindQuantity(const std::string& name);

CellQuantities ComputeCellQuantities(const CellSnapshot& cell, const QuantityOptions& options = {});

// E = (R T / 4F) ln(pref / pO2) in mV at t degrees Celsius, with the calculation's gas constant:
// positive when the cell is more reducing than the reference. Empty when pO2 or pref is not
// above 0 or the temperature not above absolute zero.
std::optional<double> SensorEmf(double pO2, double referencePO2, double temperatureC);
// The pO2 (bar) that gives the EMF (mV) against the reference at t degrees Celsius: the formula
// read the other way.
std::optional<double> PO2FromSensorEmf(double emfmV, double referencePO2, double temperatureC);

// The temperature (degrees Celsius) at which water's vapour pressure equals the partial pressure
// (bar): over liquid water by the calculation's own Goff-Gratch formula, and below 0 degrees
// Celsius over ice (the frost point). Empty for a pressure that is not above 0, and above the
// critical point of water, where no gas condenses.
std::optional<double> DewPointOf(double waterPressureBar);
// Water's vapour pressure over ice in hPa at T kelvin.
double IceVapourPressure(double kelvin);

// The state of cell c (1..8) after the last calculation, from the global tables: its feed,
// and its equilibrium when the cell has made a solver pass that gave an answer. Empty for a cell
// that was not calculated (no node, no gas, out of range).
std::optional<CellSnapshot> CalculatedCellState(int cell);
// The quantities of cell c after the last calculation; all empty for a cell not calculated.
CellQuantities QuantitiesOfCell(int cell, const QuantityOptions& options = {});
