// SPDX-License-Identifier: GPL-3.0-or-later
#include "EquilibriumCheck.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/FormationReactions.h"
#include "equilibrium/GibbsEnergy.h"

#include <algorithm>
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
    bool Gas() const { return Record->Phase == Gaseous; }
    double Atoms(int element) const { return Record->Composition[element]; }
};

const CompoundRecord* SpeciesNamed(const std::string& formula) {
    for (int i = 1; i <= CompoundCount; ++i)
        if (Compounds[i].Formula == formula)
            return &Compounds[i];
    return nullptr;
}

// The atoms of every element in the cell's feed: each gas of the gas list that names a species,
// times that species' composition.
std::vector<long double> FeedAtoms(int cell) {
    std::vector<long double> atoms(ElementNumberCount + 1);
    for (int b = 1; b <= GasCount; ++b)
        if (const CompoundRecord* gas = SpeciesNamed(GasList[b].Str()))
            for (int e = 1; e <= ElementNumberCount; ++e)
                atoms[std::size_t(e)] += CellFeed[cell][b].Fraction * gas->Composition[e];
    return atoms;
}

// Whether every element of the species occurs in the feed.
bool Fed(const CompoundRecord& species, const std::vector<long double>& feedAtoms) {
    for (int e = 1; e <= ElementNumberCount; ++e)
        if (species.Composition[e] > 0 && !(feedAtoms[std::size_t(e)] > 0))
            return false;
    return true;
}

long double ClampedLog10(long double x) {
    if (x <= 1e-307L)
        return -308;
    if (x >= 1e307L)
        return 308;
    return std::log10(x);
}

} // namespace

int CellSpeciesCount(int cell) {
    const std::vector<long double> feedAtoms = FeedAtoms(cell);
    int count = 0;
    for (int j = 1; j <= EqSpeciesCount; ++j)
        count += Fed(Compounds[EqSpecies[j]], feedAtoms);
    return count;
}

EquilibriumTolerance ConvergedCellTolerance(int cell) {
    const EquilibriumTolerance guaranteed =
        PatternSearchTolerance(CellSpeciesCount(cell), CellBestError[cell]);
    return {std::max(guaranteed.BalanceRelative, ExactSolverTolerance.BalanceRelative),
            std::max(guaranteed.ReactionLog10, ExactSolverTolerance.ReactionLog10)};
}

::testing::AssertionResult MeetsEquilibrium(int cell, const EquilibriumTolerance& tolerance) {
    return MeetsEquilibrium(cell, CellBestAmounts[cell], tolerance);
}

::testing::AssertionResult MeetsEquilibrium(int cell, const EqVector& amounts,
                                            const EquilibriumTolerance& tolerance) {
    std::vector<Species> species;
    for (int j = 1; j <= EqSpeciesCount; ++j)
        species.push_back({&Compounds[EqSpecies[j]], amounts[j]});
    const std::vector<long double> feedAtoms = FeedAtoms(cell);

    std::ostringstream faults;
    faults.precision(12);

    for (const Species& s : species) {
        if (!(s.Amount >= 0) || !std::isfinite(s.Amount))
            faults << s.Record->Formula << " has the amount " << double(s.Amount) << "; ";
        else if (!Fed(*s.Record, feedAtoms) && s.Amount != 0)
            faults << s.Record->Formula << " = " << double(s.Amount)
                   << " carries an element the feed lacks; ";
    }

    // The main element: the first of the largest in the feed.
    int main = 0;
    for (int e = 1; e <= ElementNumberCount; ++e)
        if (feedAtoms[std::size_t(e)] > 0 &&
            (main == 0 || feedAtoms[std::size_t(e)] > feedAtoms[std::size_t(main)]))
            main = e;
    if (main == 0)
        return ::testing::AssertionFailure() << "cell " << cell << " has no element in its feed";

    // Every other element at its feed ratio to the main one, in the gas phase. The program takes
    // the ratio as a quotient of doubles: its rounding may move each term by 2^-53 of the term's
    // main-element part, which matters where a species holds the two elements in the very ratio
    // of the feed and its term all but vanishes (D2O in a feed of D2O).
    for (int e = 1; e <= ElementNumberCount; ++e) {
        if (e == main || !(feedAtoms[std::size_t(e)] > 0))
            continue;
        const long double ratio = feedAtoms[std::size_t(e)] / feedAtoms[std::size_t(main)];
        long double residual = 0;
        long double size = 0;
        long double rounding = 0;
        for (const Species& s : species) {
            if (!s.Gas())
                continue;
            const long double term = (s.Atoms(e) - s.Atoms(main) * ratio) * s.Amount;
            residual += term;
            size += std::fabs(term);
            rounding += 0x1p-52L * s.Atoms(main) * ratio * s.Amount;
        }
        if (!(std::fabs(residual) <= tolerance.BalanceRelative * std::max(size, 1e-37L) + rounding))
            faults << Elements[e].Symbol.Str() << " is off its feed ratio by " << double(residual)
                   << " of " << double(size) << "; ";
    }

    // The gases make up the pressure.
    long double total = 0;
    for (const Species& s : species)
        if (s.Gas())
            total += s.Amount;
    const double pressure = Cells[cell].Pressure;
    if (!(std::fabs(total - pressure) <= tolerance.BalanceRelative * total))
        faults << "the gases add up to " << double(total) << " bar at " << pressure << " bar; ";

    // Every compound's formation reaction from the reference species of its elements, found in
    // the species table.
    auto referenceOf = [&](int element) -> const Species* {
        for (const Species& s : species)
            if (s.Record->EIMSF && s.Atoms(element) > 0)
                return &s;
        return nullptr;
    };
    const double T = Cells[cell].Temperature + 273.15;
    for (const Species& compound : species) {
        if (compound.Record->EIMSF || !Fed(*compound.Record, feedAtoms))
            continue;
        long double dG = GibbsEnergy(compound.Record->Formula, T);
        long double logs = std::log10(compound.Amount);
        long double clampedLogs = ClampedLog10(compound.Amount);
        for (int e = 1; e <= ElementNumberCount; ++e) {
            if (!(compound.Atoms(e) > 0))
                continue;
            const Species* reference = referenceOf(e);
            if (reference == nullptr) {
                faults << "no reference species for element " << e << "; ";
                continue;
            }
            const long double nu = compound.Atoms(e) / reference->Atoms(e);
            dG -= nu * GibbsEnergy(reference->Record->Formula, T);
            logs -= nu * std::log10(reference->Amount);
            clampedLogs -= nu * ClampedLog10(reference->Amount);
        }
        const long double logK = -dG / GasConstant / T / std::numbers::ln10_v<long double>;
        if (!(std::fabs(logs - logK) <= tolerance.ReactionLog10) &&
            !(std::fabs(clampedLogs - logK) <= tolerance.ReactionLog10))
            faults << "the reaction of " << compound.Record->Formula << " is off by "
                   << double(logs - logK) << " in log10; ";
    }

    const std::string found = faults.str();
    if (found.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cell " << cell << " at " << Cells[cell].Temperature
                                         << " C and " << pressure << " bar: " << found;
}
