// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/GibbsEnergy.h"

#include "equilibrium/ChemicalData.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {
const CompoundRecord& Species(const std::string& formula) {
    for (int i = 1; i <= CompoundCount; ++i)
        if (Compounds[i].Formula == formula)
            return Compounds[i];
    throw std::invalid_argument(formula);
}

// The heat capacity of one row, J/(mol K).
long double Cp(const HSCRow& row, long double T) {
    return row[HSC_A] + row[HSC_B] * 1e-3L * T + row[HSC_C] * 1e5L / (T * T) +
           row[HSC_D] * 1e-6L * T * T;
}

// Integrals of Cp (enthalpy) and Cp/T (entropy) by Simpson's rule: a way of its own to the
// values the closed forms give.
struct Integrals {
    long double Enthalpy = 0;
    long double Entropy = 0;
};
Integrals Numerically(const HSCRow& row, long double lo, long double hi) {
    constexpr int Steps = 20000; // even
    const long double h = (hi - lo) / Steps;
    Integrals sum;
    for (int i = 0; i <= Steps; ++i) {
        const long double T = lo + i * h;
        const long double weight = (i == 0 || i == Steps) ? 1 : (i % 2 ? 4 : 2);
        sum.Enthalpy += weight * Cp(row, T);
        sum.Entropy += weight * Cp(row, T) / T;
    }
    sum.Enthalpy *= h / 3;
    sum.Entropy *= h / 3;
    return sum;
}

// A stretch of one heat-capacity row that the energy at some temperature is expected to include.
struct Piece {
    int Row;
    double Lo, Hi;
};
} // namespace

using GibbsEnergies = ProgramTest;

TEST_F(GibbsEnergies, IntegralsOfOneRowMatchTheHeatCapacity) {
    struct Case {
        const char* Formula;
        int Row;
        double Lo, Hi;
    };
    const Case cases[] = {
        {"H2O", 2, 600, 1600},   // all four coefficients
        {"C(s)", 2, 1100, 4073}, // a large C term
        {"O3", 1, 50, 298.15},   // below the reference temperature
        {"CO2", 1, 500, 300},    // downwards: the integrals change sign
        {"Ar", 1, 298.15, 298.15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Formula) + " row " + std::to_string(c.Row));
        const HSCRow& row = Species(c.Formula).HSCData[c.Row];
        const Integrals expected = Numerically(row, c.Lo, c.Hi);
        EXPECT_NEAR(EnthalpyIntegral(row[HSC_A], row[HSC_B], row[HSC_C], row[HSC_D], c.Lo, c.Hi),
                    double(expected.Enthalpy), 1e-7);
        EXPECT_NEAR(EntropyIntegral(row[HSC_A], row[HSC_B], row[HSC_C], row[HSC_D], c.Lo, c.Hi),
                    double(expected.Entropy), 1e-10);
    }
}

TEST_F(GibbsEnergies, AtTheReferenceTemperatureAreTheStandardValues) {
    for (int i = 1; i <= CompoundCount; ++i) {
        const CompoundRecord& species = Compounds[i];
        EXPECT_EQ(GibbsEnergy(species.Formula, 298.15), 1000 * species.dH - 298.15 * species.S)
            << species.Formula;
    }
    EXPECT_TRUE(Recorder.Log.empty());
}

TEST_F(GibbsEnergies, IntegrateTheHeatCapacityPiecewiseFromTheReferenceTemperature) {
    struct Case {
        const char* Formula;
        double T;
        std::vector<Piece> Pieces;
        const char* Why;
    };
    const std::vector<Case> cases = {
        {"He", 3500, {{1, 298.15, 3000}}, "nothing is added above the last row"},
        {"H2", 1000, {{2, 298.15, 1000}}, "row 1 ends at 298.15 K, row 3 starts above T"},
        {"CO", 500, {{1, 298.15, 500}}, "a row from 0 K counts from 298.15 K"},
        {"H2", 5000, {{2, 298.15, 5000}}, "T on the border of rows 2 and 3"},
        {"H2", 5500, {{2, 298.15, 5000}, {3, 5000, 5500}}, "across the border"},
        {"N2", 400, {{1, 298.15, 400}}, "T at the end of row 1"},
        {"N2", 2000, {{1, 298.15, 400}, {2, 400, 1600}, {3, 1600, 2000}}, "three rows"},
        {"C(s)", 4073, {{1, 298.15, 1100}, {2, 1100, 4073}}, "at the end of the data"},
        {"D2O", 6000, {{1, 298.15, 500}, {2, 500, 5000}}, "an empty third row"},
        {"NH3", 298.16, {{1, 298.15, 298.16}}, "just above the reference temperature"},
        {"O2", 250, {}, "below the reference temperature the standard values stand"},
        {"CO", 100, {}, "also far below it"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Formula) + " at " + std::to_string(c.T) + " K: " + c.Why);
        const CompoundRecord& species = Species(c.Formula);
        long double H = 1000.0L * species.dH;
        long double S = species.S;
        for (const Piece& p : c.Pieces) {
            const Integrals part = Numerically(species.HSCData[p.Row], p.Lo, p.Hi);
            H += part.Enthalpy;
            S += part.Entropy;
        }
        EXPECT_NEAR(GibbsEnergy(c.Formula, c.T), double(H - c.T * S), 1e-6);
    }
}

TEST_F(GibbsEnergies, WarnBelowTheFirstRowAndStillUseTheStandardValues) {
    struct Case {
        const char* Formula;
        double T;
        bool Warns;
    };
    const Case cases[] = {
        {"C(s)", 290, true},     {"H2", 290, false}, {"H2", 49.9, true}, {"NH3", 298.14, true},
        {"C(s)", 298.15, false}, {"D2O", 0, false},  {"CO", 0, false},
    };
    const std::vector<std::string> warning = {
        "red: Temperature below range of thermochemical data set", "pause 4"};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Formula) + " at " + std::to_string(c.T) + " K");
        Recorder.Clear();
        const CompoundRecord& species = Species(c.Formula);
        EXPECT_DOUBLE_EQ(GibbsEnergy(c.Formula, c.T), 1000 * species.dH - c.T * species.S);
        EXPECT_EQ(Recorder.Log, c.Warns ? warning : std::vector<std::string>{});
    }
}

TEST_F(GibbsEnergies, AreZeroForAFormulaThatNamesNoSpecies) {
    EXPECT_EQ(GibbsEnergy("h2o", 1000), 0);
    // The blank entries beyond the thirteen are not visited: one would warn below its 0 K.
    EXPECT_EQ(GibbsEnergy("", -1), 0);
    EXPECT_TRUE(Recorder.Log.empty());
}
