#include "EquilibriumCheck.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/EqCalcUnit.h"
#include "equilibrium/FormationReactions.h"
#include "equilibrium/GibbsEnergy.h"

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

EquilibriumTolerance PatternSearchTolerance(int species, long double error) {
    return {species * error, 10 * species * error};
}

namespace {

struct Species {
    const CompoundRecord* Record;
    long double Amount;
    long double Feed;
    bool Gas() const { return Record->Phase == Gaseous; }
    double Atoms(int element) const { return Record->Composition[element]; }
};

long double ClampedLog10(long double x) {
    if (x <= 1e-307L)
        return -308;
    if (x >= 1e307L)
        return 308;
    return std::log10(x);
}

} // namespace

::testing::AssertionResult MeetsEquilibrium(int cell, const EquilibriumTolerance& tolerance) {
    std::vector<Species> species;
    for (int j = 1; j <= EqSpeciesCount; ++j)
        species.push_back({&Compounds[EqSpecies[j]], CellAmounts[cell][j], FeedAmounts[cell][j]});
    std::vector<int> elements;
    for (int k = 1; k <= UsedElementCount; ++k)
        elements.push_back(UsedElements[k]);

    std::ostringstream faults;
    faults.precision(12);

    for (const Species& s : species)
        if (s.Amount < 0)
            faults << s.Record->Formula << " has the negative amount " << double(s.Amount) << "; ";

    // The feed's atoms of each element, and the main element: the first of the largest.
    std::vector<long double> feedAtoms;
    int main = -1;
    for (std::size_t k = 0; k < elements.size(); ++k) {
        long double atoms = 0;
        for (const Species& s : species)
            atoms += s.Feed * s.Atoms(elements[k]);
        feedAtoms.push_back(atoms);
        if (atoms > 0 && (main < 0 || atoms > feedAtoms[std::size_t(main)]))
            main = int(k);
    }
    if (main < 0)
        return ::testing::AssertionFailure() << "cell " << cell << " has no element in its feed";

    // Every other element at its feed ratio to the main one, in the gas phase.
    const int m = elements[std::size_t(main)];
    for (std::size_t k = 0; k < elements.size(); ++k) {
        if (int(k) == main)
            continue;
        const long double ratio = feedAtoms[k] / feedAtoms[std::size_t(main)];
        long double residual = 0;
        long double size = 0;
        for (const Species& s : species) {
            if (!s.Gas())
                continue;
            const long double term = (s.Atoms(elements[k]) - s.Atoms(m) * ratio) * s.Amount;
            residual += term;
            size += std::fabs(term);
        }
        if (std::fabs(residual) > tolerance.BalanceRelative * std::max(size, 1e-37L))
            faults << Elements[elements[k]].Symbol.Str() << " is off its feed ratio by "
                   << double(residual) << " of " << double(size) << "; ";
    }

    // The gases make up the pressure.
    long double total = 0;
    for (const Species& s : species)
        if (s.Gas())
            total += s.Amount;
    const double pressure = Cells[cell].Pressure;
    if (std::fabs(total - pressure) > tolerance.BalanceRelative * total)
        faults << "the gases add up to " << double(total) << " bar at " << pressure << " bar; ";

    // Every compound's formation reaction. The reference species of element k is entry k.
    const double T = Cells[cell].Temperature + 273.15;
    for (const Species& compound : species) {
        if (compound.Record->EIMSF)
            continue;
        long double dG = GibbsEnergy(compound.Record->Formula, T);
        long double logs = ClampedLog10(compound.Amount);
        for (std::size_t k = 0; k < elements.size(); ++k) {
            const Species& reference = species[k];
            const double atoms = compound.Atoms(elements[k]);
            const double referenceAtoms = reference.Atoms(elements[k]);
            if (atoms <= 0 || referenceAtoms <= 0)
                continue;
            const long double nu = atoms / referenceAtoms;
            dG -= nu * GibbsEnergy(reference.Record->Formula, T);
            logs -= nu * ClampedLog10(reference.Amount);
        }
        const long double logK = -dG / GasConstant / T / std::numbers::ln10_v<long double>;
        if (std::fabs(logs - logK) > tolerance.ReactionLog10)
            faults << "the reaction of " << compound.Record->Formula << " is off by "
                   << double(logs - logK) << " in log10; ";
    }

    const std::string found = faults.str();
    if (found.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cell " << cell << " at " << Cells[cell].Temperature
                                         << " C and " << pressure << " bar: " << found;
}
