// SPDX-License-Identifier: GPL-3.0-or-later
// Molar Gibbs energies of the species at any temperature, from their standard entropy and
// enthalpy at 298.15 K and their heat-capacity rows.
#pragma once

#include "equilibrium/ChemicalData.h"

#include <string_view>

constexpr double ReferenceTemperature = 298.15; // K, of the standard entropy and enthalpy

// Integral of Cp/T from Tlo to Thi for one heat-capacity row with coefficients A, B, C, D,
// J/(mol K).
double EntropyIntegral(double A, double B, double C, double D, double Tlo, double Thi);
// Integral of Cp from Tlo to Thi for one heat-capacity row, J/mol.
double EnthalpyIntegral(double A, double B, double C, double D, double Tlo, double Thi);

// G = H - T S of the species with this formula at T kelvin, J/mol. H and S start from the
// standard values and take the heat capacity piecewise from 298.15 K up to T; nothing is added
// above the last row, and at or below 298.15 K the standard values stand. Below the first row
// the warning "Temperature below range of thermochemical data set" is shown (the value is still
// computed). A formula that names no species gives 0.
double GibbsEnergy(std::string_view formula, double T);

// The same from species 1..count of a table of the caller's own, without a message: belowRange
// is set when T is below the species' first heat-capacity row.
double GibbsEnergy(const CompoundTable& compounds, int count, std::string_view formula, double T,
                   bool& belowRange);
