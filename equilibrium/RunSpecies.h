// SPDX-License-Identifier: GPL-3.0-or-later
// The species an equilibrium run works with and what it prepares from each cell's feed, held as
// plain values: Calculate keeps them in the program's tables, while a sweep or a search in a
// worker thread keeps a set of its own beside its copy of the rig.
#pragma once

#include "core/IndexedTable.h"
#include "core/StatusLine.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/EqCalcUnit.h"

#include <cstdint>
#include <string>

using UsedElementTable = IndexedTable<std::int32_t, 1, ElementNumberCount>;
using EqSpeciesTable = IndexedTable<std::uint16_t, 1, MaxEqSpecies>;
using ElementValues = IndexedTable<double, 1, MaxEqSpecies>;

// The run's species by reference, with the species table they index.
struct RunSpecies {
    const UsedElementTable& UsedElements;
    int UsedElementCount;
    const EqSpeciesTable& EqSpecies;
    int EqSpeciesCount;
    int ReactionCount;
    const CompoundTable& Compounds;
    int CompoundCount; // species 1..CompoundCount of the table are defined
};

// The species a run chooses from a set of cell feeds, as SelectEquilibriumSpecies chooses them,
// and the flags that choice sets on the element and species tables.
struct SpeciesChoice {
    UsedElementTable UsedElements{};
    int UsedElementCount = 0;
    EqSpeciesTable EqSpecies{};
    std::uint16_t EqSpeciesCount = 0;
    std::uint16_t ReactionCount = 0;
    IndexedTable<bool, 1, ElementNumberCount> ElementUsed{};
    IndexedTable<bool, 1, CompoundCapacity> Selected{};
    // The failure message of a refused list (the counts are then 0); empty when accepted.
    std::string Refusal;

    RunSpecies View(const CompoundTable& compounds, int compoundCount) const {
        return {UsedElements,  UsedElementCount, EqSpecies,    EqSpeciesCount,
                ReactionCount, compounds,        compoundCount};
    }
};

// What the run prepares for one fed cell: its feed as amounts of the run's species, the atoms
// of each used element, their ratios to the main element and the main element's position in
// UsedElements (0 when the feed holds no element at all).
struct CellPreparation {
    EqVector FeedAmounts{};
    ElementValues ElementTotals{};
    ElementValues ElementRatios{};
    std::uint16_t MainElement = 0;
};
