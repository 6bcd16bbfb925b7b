// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/FormationReactions.h"

#include "core/NumberText.h"
#include "core/StatusLine.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/GibbsEnergy.h"

#include <algorithm>
#include <numbers>
#include <string>

EqMatrix ReactionMatrix;
EqVector LogKeq;

void ResetFormationReactions() {
    ReactionMatrix = {};
    LogKeq = {};
}

void BuildFormationReactions(double T) {
    BuildFormationRows(GlobalRunSpecies(), T, ReactionMatrix, LogKeq, StatusLineMessages());
}

namespace {
double Gibbs(const RunSpecies& s, const std::string& formula, double T, CalcMessages& messages) {
    bool belowRange = false;
    const double G = GibbsEnergy(s.Compounds, s.CompoundCount, formula, T, belowRange);
    if (belowRange)
        messages.Error("Temperature below range of thermochemical data set", MessagePause::Error,
                       false);
    return G;
}
} // namespace

void BuildFormationRows(const RunSpecies& s, double T, EqMatrix& N, EqVector& L,
                        CalcMessages& messages) {
    N = {};
    L = {};
    // The run lists hold at most 12 species; the bounds below only keep that promise local.
    const int nE = s.UsedElementCount;
    const int n = std::min<int>(s.EqSpeciesCount, MaxEqSpecies);
    for (int r = 1; r <= s.ReactionCount && s.EqSpecies.Contains(nE + r); ++r) {
        const CompoundRecord& compound = s.Compounds[s.EqSpecies[nE + r]];
        messages.Progress("Compound: " + compound.Formula);
        EqVector& row = N[r];
        row[nE + r] = 1;

        long double dG = Gibbs(s, compound.Formula, T, messages);
        for (int k = 1; k <= nE; ++k) {
            const CompoundRecord& reference = s.Compounds[s.EqSpecies[k]];
            const double atoms = compound.Composition[s.UsedElements[k]];
            const double referenceAtoms = reference.Composition[s.UsedElements[k]];
            if (atoms > 0 && referenceAtoms > 0) {
                const double nu = atoms / referenceAtoms;
                row[k] = -nu;
                dG = dG - nu * static_cast<long double>(Gibbs(s, reference.Formula, T, messages));
            }
        }
        // The energies are doubles; their difference and the constant are extended.
        L[r] = -dG / GasConstant / T / std::numbers::ln10_v<long double>;

        // Appended piece by piece: GCC 12 at -O3 misjudges "text" + std::string (-Wrestrict).
        std::string line = std::to_string(r);
        line += " ";
        line += compound.Formula;
        line += "   ";
        for (int j = 1; j <= n; ++j) {
            line += " ";
            line += FormatFixed(row[j], 6, 2);
        }
        line += "   LogKeq = ";
        line += FormatFixed(L[r], 12, 4);
        messages.Progress(line);
    }
}
