#include "PhysicsCheck.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/FormationReactions.h"
#include "equilibrium/GibbsEnergy.h"

#include <cmath>
#include <numbers>
#include <sstream>

namespace {

const CompoundRecord* SpeciesNamed(const std::string& formula) {
    for (int i = 1; i <= CompoundCount; ++i)
        if (Compounds[i].Formula == formula)
            return &Compounds[i];
    return nullptr;
}

// The reference species of an element among the run's species.
const CompoundRecord* ReferenceOf(int element) {
    for (int j = 1; j <= EqSpeciesCount; ++j) {
        const CompoundRecord& species = Compounds[EqSpecies[j]];
        if (species.EIMSF && species.Composition[element] > 0)
            return &species;
    }
    return nullptr;
}

bool Near(long double p, long double q, long double tolerance) {
    return std::fabs(p - q) <= tolerance * (std::fabs(p) + std::fabs(q));
}

} // namespace

::testing::AssertionResult HoldsCellEquilibrium(int cell, const EqVector& amounts,
                                                double temperatureC, double pressure,
                                                long double balanceTolerance,
                                                long double reactionTolerance) {
    std::ostringstream fault;
    fault.precision(12);

    IndexedTable<long double, 1, ElementNumberCount> feedAtoms{};
    for (int b = 1; b <= GasCount; ++b)
        if (const CompoundRecord* gas = SpeciesNamed(GasList[b].Str()))
            for (int e = 1; e <= ElementNumberCount; ++e)
                feedAtoms[e] += CellFeed[cell][b].Fraction * gas->Composition[e];

    IndexedTable<long double, 1, ElementNumberCount> gasAtoms{};
    long double gasTotal = 0;
    for (int j = 1; j <= EqSpeciesCount; ++j) {
        const CompoundRecord& species = Compounds[EqSpecies[j]];
        const long double x = amounts[j];
        if (!std::isfinite(x) || x < 0)
            fault << species.Formula << " = " << x << "; ";
        bool present = true;
        for (int e = 1; e <= ElementNumberCount; ++e)
            present = present && (species.Composition[e] == 0 || feedAtoms[e] > 0);
        if (!present && x != 0)
            fault << species.Formula << " = " << x << " with an element the feed lacks; ";
        if (species.Phase != Gaseous)
            continue;
        gasTotal += x;
        for (int e = 1; e <= ElementNumberCount; ++e)
            gasAtoms[e] += x * species.Composition[e];
    }

    if (!Near(gasTotal, pressure, balanceTolerance))
        fault << "the gases add up to " << gasTotal << " bar, not " << pressure << "; ";

    int main = 0;
    for (int e = 1; e <= ElementNumberCount; ++e)
        if (feedAtoms[e] > 0 && (main == 0 || feedAtoms[e] > feedAtoms[main]))
            main = e;
    for (int e = 1; e <= ElementNumberCount; ++e)
        if (feedAtoms[e] > 0 &&
            !Near(gasAtoms[e] * feedAtoms[main], gasAtoms[main] * feedAtoms[e], balanceTolerance))
            fault << "element " << e << " is at " << gasAtoms[e] / gasAtoms[main] << " of element "
                  << main << " in the gas, fed at " << feedAtoms[e] / feedAtoms[main] << "; ";

    const double T = temperatureC + 273.15;
    for (int j = 1; j <= EqSpeciesCount; ++j) {
        const CompoundRecord& compound = Compounds[EqSpecies[j]];
        if (compound.EIMSF || !(amounts[j] > 0))
            continue;
        long double dG = GibbsEnergy(compound.Formula, T);
        long double residual = std::log10(amounts[j]);
        for (int e = 1; e <= ElementNumberCount; ++e) {
            if (compound.Composition[e] == 0)
                continue;
            const CompoundRecord* reference = ReferenceOf(e);
            if (reference == nullptr) {
                fault << "no reference species for element " << e << "; ";
                continue;
            }
            int position = 0;
            for (int k = 1; k <= EqSpeciesCount; ++k)
                if (&Compounds[EqSpecies[k]] == reference)
                    position = k;
            const long double nu = compound.Composition[e] / reference->Composition[e];
            dG -= nu * GibbsEnergy(reference->Formula, T);
            residual -= nu * std::log10(amounts[position]);
        }
        residual -= -dG / (GasConstant * T * std::numbers::ln10_v<long double>);
        if (!(std::fabs(residual) <= reactionTolerance))
            fault << "the reaction of " << compound.Formula << " is off by " << residual
                  << " in log10; ";
    }

    if (fault.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cell " << cell << ": " << fault.str();
}
