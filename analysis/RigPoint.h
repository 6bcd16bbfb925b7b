// SPDX-License-Identifier: GPL-3.0-or-later
// One point of a rig on a copy of its setup: the mixer stage when it is needed, then the
// equilibrium of every fed cell, by the exact solver or by the pattern search. Touches no global
// table, no window and no shared random generator, so it may run in any thread on a copy of
// its own.
#pragma once

#include "analysis/RigSetup.h"
#include "equilibrium/CalcBounds.h"
#include "equilibrium/EqCalcUnit.h"
#include "equilibrium/RunSpecies.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// The state word of a cell whose point's mixer stage failed.
constexpr const char* MixerFailedState = "mixer failed";

struct FeedShare {
    std::string Gas; // single-byte text, as the records hold it
    double Fraction; // mole fraction
};

struct SpeciesPressure {
    std::string Species;
    long double Pressure; // bar
};

// The amounts of a cell's answer by species, from which the next point may start.
struct CellAnswer {
    EqSpeciesTable Species{}; // species-table indices, 1..Count
    int Count = 0;
    EqVector Amounts{}; // partial pressures in bar, in the order of Species
};

struct CellPoint {
    int Index = 0;
    std::string Name;       // single-byte text
    std::string State;      // "converged", "not converged", "not calculated" or "mixer failed"
    double Temperature = 0; // degrees Celsius
    double Pressure = 0;    // bar
    // The gas the cell receives: the gas list with the cell's mole fractions.
    std::vector<FeedShare> Feed;
    // The species of the run with the cell's partial pressures: the answer of a converged cell,
    // the lowest-error point of a pattern search that did not converge; empty for a cell the
    // exact solver found no answer for, or that was not calculated.
    std::vector<SpeciesPressure> Equilibrium;
    CellAnswer Answer; // Count 0 when there is nothing to start from
    bool Converged() const;
};

struct RigPointResult {
    bool MixerFailed = false;
    // The failure of the mixer stage or of the species list, as the status line would say it.
    std::string Failure;
    // The messages the calculation would have shown, each once, in order.
    std::vector<std::string> Messages;
    // The connected cells (those with a node), in order.
    std::vector<CellPoint> Cells;

    // The cell with this index, or nullptr.
    const CellPoint* Cell(int index) const;
};

struct RigPointOptions {
    EquilibriumSolver Solver = EquilibriumSolver::Exact;
    // Whether to run the mixer stage. Leave it on unless the copy's cell feeds are those of
    // its current setup already (an earlier point changed only a cell's conditions).
    bool RunMixer = true;
    // A neighbouring point's answers, from which each cell starts instead of from its feed.
    const RigPointResult* WarmStart = nullptr;
    // The pattern search: the seed of its own generator, the cycles over a cell it makes
    // before it leaves the cell not converged, and a flag that stops it.
    std::uint64_t Seed = 1;
    int PatternCycles = 10;
    const std::atomic<bool>* Cancel = nullptr;
};

RigPointResult RunRigPoint(RigSetup& setup, const RigPointOptions& options = {});
