// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/CellEquilibrium.h"

#include "core/Calculate.h"
#include "core/Cat.h"
#include "core/Defaults.h"
#include "core/NumberText.h"
#include "core/StatusLine.h"
#include "core/WindowInterface.h"
#include "equilibrium/CalcBounds.h"
#include "equilibrium/ExactSolver.h"
#include "equilibrium/FormationReactions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

IndexedTable<std::int32_t, 1, ElementNumberCount> UsedElements;
int UsedElementCount = 0;
IndexedTable<std::uint16_t, 1, MaxEqSpecies> EqSpecies;
std::uint16_t EqSpeciesCount = 0;
std::uint16_t ReactionCount = 0;

CellAmountTable FeedAmounts;
CellAmountTable CellAmounts;
CellAmountTable CellBestAmounts;
CellElementTable ElementTotals;
CellElementTable ElementRatios;
IndexedTable<std::uint16_t, 1, CellCount> MainElement;
IndexedTable<int, 1, CellCount> CellPasses;
IndexedTable<long double, 1, CellCount> CellBestError;
EqWorkTable EqWorkList;
EqMatrix BalanceMatrix;
EqVector BalanceRightSides;

void ResetEquilibriumRun() {
    UsedElements = {};
    UsedElementCount = 0;
    EqSpecies = {};
    EqSpeciesCount = 0;
    ReactionCount = 0;
    FeedAmounts = {};
    CellAmounts = {};
    CellBestAmounts = {};
    ElementTotals = {};
    ElementRatios = {};
    MainElement = {};
    CellPasses = {};
    CellBestError = {};
    EqWorkList = {};
    BalanceMatrix = {};
    BalanceRightSides = {};
}

namespace {
constexpr double ZeroCelsius = 273.15; // K
} // namespace

bool CellConditionsInRange(double pressure, double temperatureC) {
    const double kelvin = temperatureC + ZeroCelsius;
    return std::isfinite(pressure) && pressure > 0 && std::isfinite(kelvin) && kelvin > 0;
}

RunSpecies GlobalRunSpecies() {
    return {UsedElements,  UsedElementCount, EqSpecies,    EqSpeciesCount,
            ReactionCount, Compounds,        CompoundCount};
}

namespace {

// What the run can work with: a temperature above absolute zero and a positive pressure, both
// finite. Anything else would hand the solver non-finite logarithms or a pressure row that no
// amounts can meet.
bool ConditionsInRange(double pressure, double temperatureC) {
    return CellConditionsInRange(pressure, temperatureC);
}

bool ConditionsInRange(const CellRecord& cell) {
    return ConditionsInRange(cell.Pressure, cell.Temperature);
}

// Leaves a fed cell out of the run for its conditions.
void LeaveOutForConditions(int c) {
    Cells[c].State = CellRunState::NotCalculated;
    ShowStatusError(Cat("Cell ", std::to_string(c), ": temperature or pressure out of range"),
                    ErrorPause);
}

// The species 1..CompoundCount that a scan of the species table visits.
int SpeciesInTable() {
    return std::min<int>(CompoundCount, CompoundCapacity);
}

bool Contains(const CompoundRecord& species, int element) {
    return species.Composition[element] > 0;
}

// Appends to the species list without writing past its places; the count goes on, so that an
// overlong list can be reported with its true length.
void AppendSpecies(EqSpeciesTable& list, int& count, int species) {
    ++count;
    if (list.Contains(count))
        list[count] = static_cast<std::uint16_t>(species);
}

void RefuseSpeciesList(const std::string& message) {
    ShowStatusError(message, ErrorPause);
    UsedElementCount = 0;
    EqSpecies = {};
    EqSpeciesCount = 0;
    ReactionCount = 0;
}

// The fraction of the gas with this name in a cell's feed, 0 when the gas list lacks it.
long double FeedFraction(const GasListTable& gasList, int gasCount, const GasStream& feed,
                         const std::string& formula) {
    for (int b = 1; b <= gasCount && gasList.Contains(b); ++b)
        if (gasList[b] == formula)
            return feed[b].Fraction;
    return 0;
}

// Element totals of a cell's feed amounts, the main element (the first of equal largest
// totals, so the lowest element number wins a tie) and every element's ratio to it. Returns
// false when no element has a positive total: such a cell has nothing to balance against. The
// totals are summed in doubles: each feed amount times its atoms is taken in extended precision
// and each partial sum rounded to a double; the ratios are quotients of doubles.
bool SetElementTotals(const RunSpecies& s, const EqVector& feedAmounts, ElementValues& totals,
                      ElementValues& ratios, std::uint16_t& mainElement) {
    totals = {};
    ratios = {};
    mainElement = 0;
    double largest = 0;
    for (int k = 1; k <= s.UsedElementCount; ++k) {
        double total = 0;
        for (int j = 1; j <= s.EqSpeciesCount; ++j)
            total = static_cast<double>(
                total +
                feedAmounts[j] * s.Compounds[s.EqSpecies[j]].Composition[s.UsedElements[k]]);
        totals[k] = total;
        if (total > largest) {
            largest = total;
            mainElement = static_cast<std::uint16_t>(k);
        }
    }
    if (mainElement == 0)
        return false;
    for (int k = 1; k <= s.UsedElementCount; ++k)
        ratios[k] = totals[k] / largest;
    return true;
}

bool SetElementTotals(int cell) {
    return SetElementTotals(GlobalRunSpecies(), FeedAmounts[cell], ElementTotals[cell],
                            ElementRatios[cell], MainElement[cell]);
}

// Row k keeps element k at its feed ratio to the main element m within the gas phase:
// sum over gaseous j of (atoms of k - atoms of m * ratio k) x_j = 0. The main element's own row
// would read 0 = 0; it becomes the pressure row instead. Solid species enter no balance row.
void BuildBalanceRows(const RunSpecies& s, const ElementValues& elementRatios, int main,
                      double pressure, EqMatrix& A, EqVector& B) {
    A = {};
    B = {};
    const int m = s.UsedElements[main];
    for (int k = 1; k <= s.UsedElementCount; ++k) {
        const int e = s.UsedElements[k];
        const long double ratio = elementRatios[k];
        for (int j = 1; j <= s.EqSpeciesCount; ++j) {
            const CompoundRecord& species = s.Compounds[s.EqSpecies[j]];
            if (species.Phase == Gaseous)
                A[k][j] = species.Composition[e] - species.Composition[m] * ratio;
        }
    }
    for (int j = 1; j <= s.EqSpeciesCount; ++j)
        A[main][j] = s.Compounds[s.EqSpecies[j]].Phase == Gaseous ? 1 : 0;
    B[main] = pressure;
}

std::string ProgressLine(int cell, int pass, long double bestError, double total,
                         double perturbation, double seconds) {
    return "Cell " + std::to_string(cell) + "   Iteration " + std::to_string(pass) +
           "   Error:" + FormatFixed(bestError, 12, 8) +
           "      Total pressure: " + FormatFixed(total, 12, 8) +
           "      Perturbation: " + FormatFixed(perturbation, 12, 8) +
           "    Time used: " + FormatFixed(seconds, 6, 2);
}

// The settings of one cell run under the bounds in force.
CellRunSettings BoundedRunSettings() {
    const CalcBounds& bounds = ActiveCalcBounds();
    CellRunSettings settings;
    if (bounds.PassesPerCellRun > 0)
        settings.LastPass = std::min(settings.LastPass, bounds.PassesPerCellRun);
    if (bounds.IterationsPerPass > 0)
        settings.MaxIterations = std::min(settings.MaxIterations, bounds.IterationsPerPass);
    return settings;
}

// Cycles over the cells until every fed cell has converged, the user stops or the bound on the
// cycles is reached. A cell that does not converge is taken up again in the next cycle from its
// last amounts. The exact solver needs one cycle: what it cannot solve it cannot solve again.
void CalculateCells() {
    const CalcBounds bounds = ActiveCalcBounds();
    const bool exact = bounds.Solver == EquilibriumSolver::Exact;
    int processed = 0;
    int cycles = 0;
    do {
        processed = 0;
        ++cycles;
        for (int c = 1; c <= CellCount; ++c) {
            const std::uint8_t state = Cells[c].State;
            if (!AwaitsConvergence(state) || StopRequested)
                continue;
            // The user may have edited the cell while the run let input through.
            if (!ConditionsInRange(Cells[c])) {
                LeaveOutForConditions(c);
                Window().DrawCell(c);
                continue;
            }
            ++processed;
            for (int j = 1; j <= MaxEqSpecies; ++j)
                EqWorkList[j] = {EqSpecies[j], state == CellRunState::Pending ? FeedAmounts[c][j]
                                                                              : CellAmounts[c][j]};
            if (exact)
                RunCellExactly(c, EqWorkList, Cells[c].Pressure, Cells[c].Temperature);
            else
                RunCellEquilibrium(c, EqWorkList, "ConstantP", Cells[c].Pressure,
                                   Cells[c].Temperature);
            for (int j = 1; j <= MaxEqSpecies; ++j)
                CellAmounts[c][j] = EqWorkList[j].Amount;
            Window().ShowCellResults();
            Window().DrawCell(c);
        }
    } while (!exact && !StopRequested && processed > 0 &&
             (bounds.Cycles <= 0 || cycles < bounds.Cycles));
}
} // namespace

SpeciesChoice ChooseEquilibriumSpecies(const CompoundTable& compounds, int compoundCount,
                                       int gasCount, const CellFeedTable& feeds) {
    SpeciesChoice choice;
    const int speciesCount = std::min<int>(compoundCount, CompoundCapacity);

    // The species that some cell receives, whatever the cell's Mix.
    IndexedTable<bool, 1, CompoundCapacity> fed{};
    for (const auto& feed : feeds)
        for (int b = 1; b <= gasCount && feed.Contains(b); ++b)
            if (feed[b].Fraction > 0)
                for (int i = 1; i <= speciesCount; ++i)
                    if (feed[b].Gas == compounds[i].Formula)
                        fed[i] = true;

    for (int e = 1; e <= ElementNumberCount; ++e) {
        for (int i = 1; i <= speciesCount; ++i)
            if (fed[i] && Contains(compounds[i], e))
                choice.ElementUsed[e] = true;
        if (choice.ElementUsed[e])
            choice.UsedElements[++choice.UsedElementCount] = e;
    }

    for (int i = 1; i <= speciesCount; ++i) {
        choice.Selected[i] = true;
        for (int e = 1; e <= ElementNumberCount; ++e)
            if (Contains(compounds[i], e) && !choice.ElementUsed[e])
                choice.Selected[i] = false;
    }

    int count = 0;
    int references = 0;
    for (int k = 1; k <= choice.UsedElementCount; ++k)
        for (int i = 1; i <= speciesCount; ++i) {
            const CompoundRecord& species = compounds[i];
            if (choice.Selected[i] && species.Enabled && species.EIMSF &&
                Contains(species, choice.UsedElements[k])) {
                AppendSpecies(choice.EqSpecies, count, i);
                ++references;
            }
        }
    int reactions = 0;
    for (int i = 1; i <= speciesCount; ++i) {
        const CompoundRecord& species = compounds[i];
        if (choice.Selected[i] && species.Enabled && !species.EIMSF) {
            AppendSpecies(choice.EqSpecies, count, i);
            ++reactions;
        }
    }

    if (references != choice.UsedElementCount)
        choice.Refusal = "Something wrong with Element or Compound species definitions";
    else if (count > MaxEqSpecies)
        choice.Refusal = "Number of equilibrium species is too large: " + std::to_string(count);
    if (!choice.Refusal.empty()) {
        choice.UsedElementCount = 0;
        choice.EqSpecies = {};
        return choice;
    }
    choice.EqSpeciesCount = static_cast<std::uint16_t>(count);
    choice.ReactionCount = static_cast<std::uint16_t>(reactions);
    return choice;
}

bool SelectEquilibriumSpecies() {
    const SpeciesChoice choice =
        ChooseEquilibriumSpecies(Compounds, CompoundCount, GasCount, CellFeed);
    const int speciesCount = SpeciesInTable();
    for (int e = 1; e <= ElementNumberCount; ++e)
        Elements[e].Used = choice.ElementUsed[e];
    for (int i = 1; i <= speciesCount; ++i)
        Compounds[i].Selected = choice.Selected[i];
    UsedElements = choice.UsedElements;
    UsedElementCount = choice.UsedElementCount;
    EqSpecies = choice.EqSpecies;
    EqSpeciesCount = choice.EqSpeciesCount;
    ReactionCount = choice.ReactionCount;
    if (!choice.Refusal.empty()) {
        RefuseSpeciesList(choice.Refusal);
        return false;
    }
    return true;
}

CellPreparation PrepareCellFeed(const RunSpecies& s, const GasListTable& gasList, int gasCount,
                                const GasStream& feed) {
    CellPreparation prepared;
    const int n = s.EqSpeciesCount;
    for (int j = 1; j <= MaxEqSpecies; ++j)
        prepared.FeedAmounts[j] =
            j <= n ? FeedFraction(gasList, gasCount, feed, s.Compounds[s.EqSpecies[j]].Formula) : 0;
    SetElementTotals(s, prepared.FeedAmounts, prepared.ElementTotals, prepared.ElementRatios,
                     prepared.MainElement);
    return prepared;
}

void PrepareCells() {
    const int n = EqSpeciesCount;
    for (int c = 1; c <= CellCount; ++c) {
        CellRecord& cell = Cells[c];
        cell.State = CellRunState::NotCalculated;
        CellPasses[c] = 0;
        CellBestError[c] = 0;
        if (cell.Mix > 0) {
            for (int j = 1; j <= MaxEqSpecies; ++j)
                FeedAmounts[c][j] = j <= n ? FeedFraction(GasList, GasCount, CellFeed[c],
                                                          Compounds[EqSpecies[j]].Formula)
                                           : 0;
            for (int j = 1; j <= n; ++j)
                CellAmounts[c][j] = CellBestAmounts[c][j] = FeedAmounts[c][j];
            // A feed without any element (no flow, or no gas the run knows) has no main
            // element to balance against: the cell is left out like one without a feed.
            if (SetElementTotals(c)) {
                if (ConditionsInRange(cell))
                    cell.State = CellRunState::Pending;
                else
                    LeaveOutForConditions(c);
            }
        } else {
            for (int j = 1; j <= n; ++j)
                FeedAmounts[c][j] = 0;
        }
        Window().DrawCell(c);
    }
}

void StartEquilibriumCalculations() {
    if (SelectEquilibriumSpecies()) {
        PrepareCells();
        Window().ShowCellResults();
        Running = true;
        StopRequested = false;
        CalculateCells();
    }
    Running = false;
    StopRequested = false;
    Window().SetCalculateCaption(CalculateStartCaption);
}

void BuildCellEquations(int cell, double pressure, double temperatureC) {
    // The kelvin temperature is a sum of doubles, as the Gibbs energies take it.
    BuildFormationReactions(temperatureC + ZeroCelsius);
    if (Cells.Contains(cell) && MainElement[cell] >= 1 && MainElement[cell] <= UsedElementCount)
        BuildBalanceRows(GlobalRunSpecies(), ElementRatios[cell], MainElement[cell], pressure,
                         BalanceMatrix, BalanceRightSides);
    else {
        BalanceMatrix = {};
        BalanceRightSides = {};
    }
}

CellSystem BuildCellSystem(int cell, double pressure, double temperatureC) {
    BuildCellEquations(cell, pressure, temperatureC);
    if (!Cells.Contains(cell))
        return CellSystem{};
    return AssembleCellSystem(GlobalRunSpecies(), FeedAmounts[cell], ElementTotals[cell],
                              BalanceMatrix, BalanceRightSides, ReactionMatrix, LogKeq, pressure);
}

CellSystem MakeCellSystem(const RunSpecies& s, const CellPreparation& cell, double pressure,
                          double temperatureC, CalcMessages& messages) {
    EqMatrix N{};
    EqVector L{};
    EqMatrix A{};
    EqVector B{};
    // The kelvin temperature is a sum of doubles, as the Gibbs energies take it.
    BuildFormationRows(s, temperatureC + ZeroCelsius, N, L, messages);
    if (cell.MainElement >= 1 && cell.MainElement <= s.UsedElementCount)
        BuildBalanceRows(s, cell.ElementRatios, cell.MainElement, pressure, A, B);
    return AssembleCellSystem(s, cell.FeedAmounts, cell.ElementTotals, A, B, N, L, pressure);
}

CellSystem AssembleCellSystem(const RunSpecies& s, const EqVector& feedAmounts,
                              const ElementValues& elementTotals, const EqMatrix& balance,
                              const EqVector& balanceRightSides, const EqMatrix& reactions,
                              const EqVector& logKeq, double pressure) {
    CellSystem system;
    // An accepted species list has at most 12 species, and so at most 12 elements.
    const int nE = std::min(s.UsedElementCount, MaxEqSpecies);
    const int n = std::min<int>(s.EqSpeciesCount, MaxEqSpecies);

    // The rows of the elements the feed holds. A reference species stays with its element, a
    // compound when all its elements stay.
    IndexedTable<bool, 1, MaxEqSpecies> keptElement{};
    for (int k = 1; k <= nE; ++k) {
        keptElement[k] = elementTotals[k] > 0;
        if (keptElement[k]) {
            ++system.a;
            system.Element[system.a] = s.UsedElements[k];
            system.ElementTotal[system.a] = elementTotals[k];
        }
    }
    IndexedTable<int, 1, MaxEqSpecies> row{}; // the system's row of each used element
    for (int k = 1, i = 0; k <= nE; ++k)
        if (keptElement[k])
            row[k] = ++i;
    int count = 0;
    for (int j = 1; j <= n; ++j) {
        bool kept = j > nE || keptElement[j];
        for (int k = 1; k <= nE && j > nE; ++k)
            if (!keptElement[k] && Contains(s.Compounds[s.EqSpecies[j]], s.UsedElements[k]))
                kept = false;
        if (kept)
            system.RunPosition[++count] = j;
    }
    system.b = count - system.a;

    for (int i = 1; i <= count; ++i) {
        const int j = system.RunPosition[i];
        system.Feed[i] = feedAmounts[j];
        system.Gaseous[i] = s.Compounds[s.EqSpecies[j]].Phase == Gaseous;
        for (int k = 1; k <= nE; ++k)
            if (keptElement[k])
                system.A[row[k]][i] = balance[k][j];
        if (j > nE) {
            const int r = j - nE;
            const int own = i - system.a;
            for (int q = 1; q <= count; ++q)
                system.N[own][q] = reactions[r][system.RunPosition[q]];
            system.L[own] = logKeq[r];
        }
    }
    for (int k = 1; k <= nE; ++k)
        if (keptElement[k])
            system.B[row[k]] = balanceRightSides[k];
    system.Pressure = pressure;
    return system;
}

EqVector RunAmounts(const CellSystem& system, const EqVector& x) {
    EqVector amounts{};
    for (int i = 1; i <= system.n(); ++i)
        amounts[system.RunPosition[i]] = x[i];
    return amounts;
}

namespace {

void HandBack(EqWorkTable& workList, const EqVector& amounts) {
    for (int j = 1; j <= EqSpeciesCount; ++j)
        workList[j].Amount = amounts[j];
}

void ShowBest(int cell, const EqVector& amounts) {
    CellBestAmounts[cell] = amounts;
    if (ShowEquilibrium)
        Window().RefreshCellColumn(cell, &amounts[1], EqSpeciesCount);
}

// The checks a cell run makes before it solves: a cell in the table, a species list, a main
// element, and conditions the solver can work with. A cell that fails them is left out.
bool ReadyToSolve(int cell, double pressure, double temperatureC) {
    if (!Cells.Contains(cell))
        return false;
    const int main = MainElement[cell];
    if (EqSpeciesCount == 0 || main < 1 || main > UsedElementCount ||
        !ConditionsInRange(pressure, temperatureC)) {
        // Nothing to solve (the solver's error has no meaning for n = 0), or nothing the
        // solver can work with: left out.
        Cells[cell].State = CellRunState::NotCalculated;
        return false;
    }
    return true;
}

} // namespace

void RunCellEquilibrium(int cell, EqWorkTable& workList, [[maybe_unused]] const std::string& mode,
                        double pressure, double temperatureC) {
    // Only constant total pressure exists: whatever the mode, the pressure row is used.
    if (!ReadyToSolve(cell, pressure, temperatureC))
        return;
    CellRecord& record = Cells[cell];

    const CellRunSettings settings = BoundedRunSettings();
    const double t0 = SecondsOfDay();
    double perturbation = settings.StartPerturbation;
    long double bestError = settings.StartError;
    StopRequested = false;

    const CellSystem system = BuildCellSystem(cell, pressure, temperatureC);
    const int n = system.n();

    EqVector x{};
    for (int i = 1; i <= n; ++i)
        x[i] = workList[system.RunPosition[i]].Amount;
    if (record.State == CellRunState::Pending) {
        // Species missing from the feed start just above zero, where their logarithm is finite.
        for (int i = 1; i <= n; ++i)
            x[i] = x[i] + 1e-20L;
        record.State = CellRunState::FirstPass;
    }
    // Until a pass lowers the best error, the best point is the start.
    EqVector best = x;

    for (int pass = 1;; ++pass) {
        bool stalled = false;
        SolveEquilibrium(system.a, system.b, system.A, system.B, system.N, system.L, x, bestError,
                         settings.Tolerance, settings.MaxIterations, perturbation, settings.Grow,
                         settings.Shrink, settings.MaxPerturbation, settings.MinPerturbation,
                         StopRequested, stalled, best);
        double total = 0;
        for (int i = 1; i <= n; ++i)
            total = static_cast<double>(total + x[i]);
        ++CellPasses[cell];
        CellBestError[cell] = bestError;
        ShowStatusInfo(
            ProgressLine(cell, pass, bestError, total, perturbation, SecondsOfDay() - t0), 0);
        ShowBest(cell, RunAmounts(system, best));
        Window().ProcessPendingEvents();
        record.State = CellRunState::Passed;
        // A pass that starts below the tolerance still makes one full iteration, so the passes
        // after a quick convergence polish it: every run makes at least three.
        if ((bestError <= settings.Tolerance && pass > 2) || StopRequested ||
            pass >= settings.LastPass)
            break;
    }
    if (StopRequested)
        Running = false;
    HandBack(workList, RunAmounts(system, x));
    // Without more oxygen than carbon the equations have no solution in positive amounts; an
    // error below the tolerance could only come from amounts at the logarithm's clamp.
    if (bestError <= settings.Tolerance && !NoMoreOxygenThanCarbon(system))
        record.State = CellRunState::Converged;
}

void RunCellExactly(int cell, EqWorkTable& workList, double pressure, double temperatureC) {
    if (!ReadyToSolve(cell, pressure, temperatureC))
        return;
    CellRecord& record = Cells[cell];
    record.State = CellRunState::FirstPass;
    const double t0 = SecondsOfDay();
    const CellSystem system = BuildCellSystem(cell, pressure, temperatureC);
    const ExactSolution solution = SolveExactly(system);
    ++CellPasses[cell];
    record.State = CellRunState::Passed;
    if (solution.Outcome == ExactOutcome::Converged) {
        const long double error = EquilibriumError(system.a, system.b, solution.x, system.A,
                                                   system.B, system.N, system.L);
        CellBestError[cell] = error;
        double total = 0;
        for (int i = 1; i <= system.n(); ++i)
            total = static_cast<double>(total + solution.x[i]);
        ShowStatusInfo(Cat("Cell ", std::to_string(cell), "   Exact solution in ",
                           std::to_string(solution.Iterations),
                           " steps   Error:", FormatFixed(error, 12, 8),
                           "      Total pressure: ", FormatFixed(total, 12, 8),
                           "    Time used: ", FormatFixed(SecondsOfDay() - t0, 6, 2)),
                       0);
        const EqVector amounts = RunAmounts(system, solution.x);
        ShowBest(cell, amounts);
        HandBack(workList, amounts);
        record.State = CellRunState::Converged;
    } else {
        // No answer: nothing to show, and the next run starts where this one did.
        CellBestError[cell] = std::numeric_limits<long double>::quiet_NaN();
        EqVector none{};
        for (int j = 1; j <= EqSpeciesCount; ++j)
            none[j] = std::numeric_limits<long double>::quiet_NaN();
        ShowBest(cell, none);
        ShowStatusError(ExactFailureText(cell, solution), ErrorPause);
    }
    Window().ProcessPendingEvents();
}

std::string ExactFailureText(int cell, const ExactSolution& solution) {
    std::string text = Cat("Cell ", std::to_string(cell), ": no equilibrium: ");
    switch (solution.Outcome) {
    case ExactOutcome::NoOxygenForCarbon:
        return text + "the feed holds no more oxygen than carbon";
    case ExactOutcome::NotAFormationSystem:
        return text + "the species data give no formation reactions to solve";
    case ExactOutcome::Converged:
    case ExactOutcome::NotConverged:
        break;
    }
    char residual[40];
    std::snprintf(residual, sizeof residual, "%.2E", static_cast<double>(solution.Residual));
    return text + "the exact solver stopped at a balance residual of " + residual;
}
