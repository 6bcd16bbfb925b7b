// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in elements and species of the equilibrium with their thermochemical data. The
// species formulas are also the gas names of the whole program.
#pragma once

#include "core/IndexedTable.h"
#include "core/Text.h"

#include <cstdint>
#include <string>
#include <string_view>

constexpr int ElementNumberCount = 123; // atomic numbers, with 122 deuterium and 123 tritium
constexpr int Deuterium = 122;
constexpr int Tritium = 123;

struct ElementRecord {
    Text<3> Symbol;
    std::uint16_t Atomicity; // atoms per molecule of the elemental form
    Text<1> StateCode;       // "g" gas, "s" solid
    bool Used;               // present in some cell feed of the current run
};

enum AggregateConditions : std::uint8_t { Gaseous = 0, Solid = 1, Liquid = 2 };

// One heat-capacity row: A, B, C, D and its range T1, T2 (K), for
// Cp(T) = A + B*1e-3*T + C*1e5/T^2 + D*1e-6*T^2 in J/(mol K).
using HSCRow = IndexedTable<double, 1, 6>;
enum HSCColumn : int { HSC_A = 1, HSC_B, HSC_C, HSC_D, HSC_T1, HSC_T2 };

struct CompoundRecord {
    std::string Formula;
    std::string Name;
    IndexedTable<double, 1, ElementNumberCount> Composition; // atoms per formula unit
    AggregateConditions Phase;
    double S;  // standard molar entropy at 298.15 K, J/(mol K)
    double dH; // standard enthalpy of formation at 298.15 K, kJ/mol
    IndexedTable<HSCRow, 1, 3> HSCData;
    bool Enabled;  // may take part in equilibrium runs
    bool Selected; // all its elements are present in the current run
    bool EIMSF;    // the reference form of its element
};

constexpr int CompoundCapacity = 20;

using CompoundTable = IndexedTable<CompoundRecord, 1, CompoundCapacity>;

extern IndexedTable<ElementRecord, 1, ElementNumberCount> Elements;
extern CompoundTable Compounds;
extern std::uint16_t CompoundCount;

// Build the element table and the species table; the defaults routine calls them at start-up.
void SetupElements();
void SetupCompounds();
// Both tables empty, as before start-up built them.
void ResetChemicalData();

// How many of the species 1..CompoundCount have exactly this formula (case-sensitive).
int CountCompoundsWithFormula(std::string_view formula);
// The same in species 1..count of a table of the caller's own.
int CountCompoundsWithFormula(const CompoundTable& compounds, int count, std::string_view formula);
