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
    ReactionMatrix = {};
    LogKeq = {};
    // The run lists hold at most 12 species; the bounds below only keep that promise local.
    const int nE = UsedElementCount;
    const int n = std::min<int>(EqSpeciesCount, MaxEqSpecies);
    for (int r = 1; r <= ReactionCount && EqSpecies.Contains(nE + r); ++r) {
        const CompoundRecord& compound = Compounds[EqSpecies[nE + r]];
        ShowStatusInfo("Compound: " + compound.Formula, ProgressPause);
        EqVector& row = ReactionMatrix[r];
        row[nE + r] = 1;

        long double dG = GibbsEnergy(compound.Formula, T);
        for (int k = 1; k <= nE; ++k) {
            const CompoundRecord& reference = Compounds[EqSpecies[k]];
            const double atoms = compound.Composition[UsedElements[k]];
            const double referenceAtoms = reference.Composition[UsedElements[k]];
            if (atoms > 0 && referenceAtoms > 0) {
                const double nu = atoms / referenceAtoms;
                row[k] = -nu;
                dG = dG - nu * static_cast<long double>(GibbsEnergy(reference.Formula, T));
            }
        }
        // The energies are doubles; their difference and the constant are extended.
        LogKeq[r] = -dG / GasConstant / T / std::numbers::ln10_v<long double>;

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
        line += FormatFixed(LogKeq[r], 12, 4);
        ShowStatusInfo(line, ProgressPause);
    }
}
