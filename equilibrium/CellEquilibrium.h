// SPDX-License-Identifier: GPL-3.0-or-later
// The per-cell equilibrium run: after the mixer stage it chooses the species of the run, sets up
// every fed cell from its feed and drives the solver pass by pass, cell after cell, until every
// fed cell has converged or the user stops. Its lists and per-cell amounts are global, live for
// the whole program and are rebuilt by every run.
#pragma once

#include "core/IndexedTable.h"
#include "core/SetupTables.h"
#include "equilibrium/CellSystem.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/EqCalcUnit.h"
#include "equilibrium/RunSpecies.h"

#include <cmath>
#include <cstdint>
#include <string>

struct ExactSolution;

using CellAmountTable = IndexedTable<IndexedTable<long double, 1, MaxEqSpecies>, 1, CellCount>;
using CellElementTable = IndexedTable<IndexedTable<double, 1, MaxEqSpecies>, 1, CellCount>;

// Run lists. UsedElements 1..UsedElementCount are the element numbers present in some cell
// feed, ascending; k is a position in it. EqSpecies 1..EqSpeciesCount are species-table indices:
// first the reference species of the used elements (entry k belongs to element k), then the
// ReactionCount compounds. A refused species list leaves both counts 0.
extern IndexedTable<std::int32_t, 1, ElementNumberCount> UsedElements;
extern int UsedElementCount;
extern IndexedTable<std::uint16_t, 1, MaxEqSpecies> EqSpecies;
extern std::uint16_t EqSpeciesCount;
extern std::uint16_t ReactionCount;

extern CellAmountTable FeedAmounts; // each cell's feed as amounts of the run's species
extern CellAmountTable CellAmounts; // each cell's current equilibrium amounts (partial pressures)
// The lowest-error point of each cell's last cell run, whose error is CellBestError: what the
// results table and the reports show. CellAmounts is where the next run starts, which after a
// solver pass that gave up is its neutral point, never a result. A cell that a solver could not
// solve at all holds NaN here: it has no values to show.
extern CellAmountTable CellBestAmounts;
extern CellElementTable ElementTotals; // atoms of each used element in the cell's feed
extern CellElementTable ElementRatios; // ElementTotals relative to the main element's total
// Position in UsedElements of the element with the largest feed total; 0 when the cell has no
// element at all (it is left out of the run).
extern IndexedTable<std::uint16_t, 1, CellCount> MainElement;

// What each cell's runs came to in the current calculation: its solver passes over all cycles,
// and the best error of its last cell run (meaningful once it has made a pass; NaN when the
// exact solver found no answer to measure).
extern IndexedTable<int, 1, CellCount> CellPasses;
extern IndexedTable<long double, 1, CellCount> CellBestError;

// One cell's amounts as StartEquilibriumCalculations hands them to RunCellEquilibrium and
// receives them back.
struct EqWorkItem {
    std::uint16_t Species; // species-table index
    long double Amount;
};
using EqWorkTable = IndexedTable<EqWorkItem, 1, MaxEqSpecies>;
extern EqWorkTable EqWorkList;

// The balance rows of the cell being calculated: row k keeps element k at its feed ratio to the
// main element within the gas phase; the main element's row makes the gaseous amounts add up to
// the cell pressure.
extern EqMatrix BalanceMatrix;
extern EqVector BalanceRightSides;

// The run's global lists as RunSpecies.
RunSpecies GlobalRunSpecies();

// Whether a cell's conditions are ones the run can work with: a temperature above absolute zero
// and a positive pressure, both finite.
bool CellConditionsInRange(double pressure, double temperatureC);

// Every list, table and count above empty, as at start-up.
void ResetEquilibriumRun();

// Steps of StartEquilibriumCalculations, usable on their own.
// Builds the run lists from the cell feeds of all eight cells. Shows the failure message and
// returns false when some used element has no reference species, or more than one, or when the
// run would need more than 12 species.
bool SelectEquilibriumSpecies();
// The choice SelectEquilibriumSpecies makes, from species 1..compoundCount of a table and a set
// of cell feeds on a gas list of gasCount gases, touching neither: the refusal's message is in
// the result instead of on the status line.
SpeciesChoice ChooseEquilibriumSpecies(const CompoundTable& compounds, int compoundCount,
                                       int gasCount, const CellFeedTable& feeds);
// What PrepareCells sets up for one fed cell, from its feed on the gas list.
CellPreparation PrepareCellFeed(const RunSpecies& species, const GasListTable& gasList,
                                int gasCount, const GasStream& feed);
// Sets up every cell: a fed cell with some element in its feed gets its feed amounts, element
// totals, ratios and main element and is pending; every other cell is not calculated. Draws
// every cell.
void PrepareCells();

// The solver settings of one cell run; the step and the best error start afresh in every run
// and carry over from pass to pass within it.
struct CellRunSettings {
    long double Tolerance = 1e-6L;
    int MaxIterations = 100;
    double StartPerturbation = 1e-6;
    double Grow = std::sqrt(2.0);
    double Shrink = std::sqrt(3.0);
    double MaxPerturbation = 0.5;
    double MinPerturbation = 1e-8; // Tolerance / 100
    long double StartError = 1e10L;
    int LastPass = 11;
};

// The equilibrium phase of the Calculate command: selects the species, prepares the cells and
// calculates the cells one after another in cycles until every fed cell has converged or the
// user stops. At its end Running and StopRequested are false and the command reads
// "&Calculate Start", also when the species list was refused.
void StartEquilibriumCalculations();

// The equations of one prepared cell at its pressure (bar) and temperature (degrees Celsius):
// the formation reactions (ReactionMatrix, LogKeq, with their progress lines) and the balance
// rows (BalanceMatrix, BalanceRightSides).
void BuildCellEquations(int cell, double pressure, double temperatureC);

// The equations of one prepared cell on its own elements (see CellSystem): BuildCellEquations
// for the whole run's species, then only the elements whose feed total is positive, the species
// made of those alone and their rows. An element another cell brings would otherwise add a row
// that asks its carriers to be exactly 0, which the pattern search can only approach. The
// reference species of an element carries that element alone.
CellSystem BuildCellSystem(int cell, double pressure, double temperatureC);

// What the status line says of cell `cell` when the exact solver gives it no answer: "Cell N: no
// equilibrium: " and the reason.
std::string ExactFailureText(int cell, const ExactSolution& solution);
// The same system for a cell prepared by PrepareCellFeed on species of the caller's own, with
// the formation reactions' lines and warnings going to `messages`. Touches no global.
CellSystem MakeCellSystem(const RunSpecies& species, const CellPreparation& cell, double pressure,
                          double temperatureC, CalcMessages& messages);
// The system from the run's equations: the balance rows and formation reactions over the run's
// species, kept to the elements with a positive feed total.
CellSystem AssembleCellSystem(const RunSpecies& species, const EqVector& feedAmounts,
                              const ElementValues& elementTotals, const EqMatrix& balance,
                              const EqVector& balanceRightSides, const EqMatrix& reactions,
                              const EqVector& logKeq, double pressure);
// Amounts of a cell system's species as amounts of the run's species (EqSpecies order); the
// species the system leaves out are 0.
EqVector RunAmounts(const CellSystem& system, const EqVector& x);

// Up to eleven solver passes for one cell at its pressure (bar) and temperature (degrees
// Celsius) on the cell's own system, starting from the amounts in the work list and handing the
// result back there; the species the system leaves out come back as 0. The lowest-error point
// of the passes goes to CellBestAmounts, and the column refresh after each pass shows it. Only
// constant total pressure exists; the mode names it ("ConstantP").
void RunCellEquilibrium(int cell, EqWorkTable& workList, const std::string& mode, double pressure,
                        double temperatureC);

// One cell by the exact solver, from its feed, in one pass: converged with the answer, or else
// passed without convergence, with no values and a red message that says why.
void RunCellExactly(int cell, EqWorkTable& workList, double pressure, double temperatureC);
