// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/GibbsEnergy.h"

#include "core/StatusLine.h"
#include "equilibrium/ChemicalData.h"

#include <cmath>

// Everything here is in doubles: each term of the integrals, their running sums (added in the
// order A, B, C, D), H, S and G. Another precision or order changes the last bits of the
// energies, and the equilibrium constants with them; only the reaction step takes the energies
// into extended precision.

double EntropyIntegral(double A, double B, double C, double D, double Tlo, double Thi) {
    double sum = A * (std::log(Thi) - std::log(Tlo));
    sum = sum + B / 1000 * (Thi - Tlo);
    sum = sum - C * 100000 / 2 * (1 / (Thi * Thi) - 1 / (Tlo * Tlo));
    sum = sum + D / 2000000 * (Thi * Thi - Tlo * Tlo);
    return sum;
}

double EnthalpyIntegral(double A, double B, double C, double D, double Tlo, double Thi) {
    double sum = A * (Thi - Tlo);
    sum = sum + B / 2000 * (Thi * Thi - Tlo * Tlo);
    sum = sum - C * 100000 * (1 / Thi - 1 / Tlo);
    sum = sum + D / 3000000 * (Thi * Thi * Thi - Tlo * Tlo * Tlo);
    return sum;
}

double GibbsEnergy(std::string_view formula, double T) {
    bool belowRange = false;
    const double G = GibbsEnergy(Compounds, CompoundCount, formula, T, belowRange);
    if (belowRange)
        ShowStatusError("Temperature below range of thermochemical data set", ErrorPause);
    return G;
}

double GibbsEnergy(const CompoundTable& compounds, int count, std::string_view formula, double T,
                   bool& belowRange) {
    // Formulas are unique; were one entered twice, its last entry would count.
    int found = 0;
    for (int i = 1; i <= count && compounds.Contains(i); ++i)
        if (compounds[i].Formula == formula)
            found = i;
    belowRange = false;
    if (found == 0)
        return 0;
    const CompoundRecord& species = compounds[found];
    belowRange = T < species.HSCData[1][HSC_T1];

    double S = species.S;
    double H = species.dH * 1000;
    if (T > ReferenceTemperature) {
        for (const HSCRow& row : species.HSCData) {
            const double T1 = row[HSC_T1];
            const double T2 = row[HSC_T2];
            // Rows wholly below 298.15 K or above T add nothing; an empty row (all 0) is one
            // of the former.
            if (T2 < ReferenceTemperature || T1 > T)
                continue;
            const double Tlo = T1 <= ReferenceTemperature ? ReferenceTemperature : T1;
            const double Thi = T <= T2 ? T : T2;
            S = S + EntropyIntegral(row[HSC_A], row[HSC_B], row[HSC_C], row[HSC_D], Tlo, Thi);
            H = H + EnthalpyIntegral(row[HSC_A], row[HSC_B], row[HSC_C], row[HSC_D], Tlo, Thi);
        }
    }
    return H - T * S;
}
