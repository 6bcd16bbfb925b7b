// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/RigPoint.h"

#include "core/Calculate.h"
#include "core/CellFeeds.h"
#include "core/MixerNetwork.h"
#include "core/StatusLine.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ExactSolver.h"

#include <algorithm>
#include <random>

namespace {
// Collects the messages of one point, each once.
class PointMessages final : public CalcMessages {
public:
    explicit PointMessages(std::vector<std::string>& kept) : Kept(kept) {}
    void Error(const std::string& text, MessagePause, bool) override {
        if (std::find(Kept.begin(), Kept.end(), text) == Kept.end())
            Kept.push_back(text);
    }
    void Progress(const std::string&) override {}

private:
    std::vector<std::string>& Kept;
};

bool Cancelled(const RigPointOptions& options) {
    return options.Cancel != nullptr && options.Cancel->load(std::memory_order_relaxed);
}

CellPoint DescribeCell(const RigSetup& setup, int c) {
    CellPoint point;
    const CellRecord& cell = setup.Cells[c];
    point.Index = c;
    point.Name = cell.Name.Str();
    point.State = CellRunStateName(CellRunState::NotCalculated);
    point.Temperature = cell.Temperature;
    point.Pressure = cell.Pressure;
    return point;
}

// The start the previous answer gives the system: every species of the system found among the
// answer's, or nothing.
bool WarmStart(const CellSystem& system, const RunSpecies& species, const CellAnswer& answer,
               EqVector& start) {
    if (answer.Count == 0)
        return false;
    for (int i = 1; i <= system.n(); ++i) {
        const int wanted = species.EqSpecies[system.RunPosition[i]];
        bool found = false;
        for (int k = 1; k <= answer.Count && !found; ++k)
            if (answer.Species[k] == wanted) {
                start[i] = answer.Amounts[k];
                found = true;
            }
        if (!found)
            return false;
    }
    return true;
}

void KeepAnswer(CellPoint& point, const RunSpecies& species, const EqVector& amounts) {
    point.Answer.Count = species.EqSpeciesCount;
    for (int j = 1; j <= species.EqSpeciesCount; ++j) {
        point.Answer.Species[j] = species.EqSpecies[j];
        point.Answer.Amounts[j] = amounts[j];
        point.Equilibrium.push_back({species.Compounds[species.EqSpecies[j]].Formula, amounts[j]});
    }
}

void SolveCellExactly(CellPoint& point, const CellSystem& system, const RunSpecies& species,
                      const CellAnswer* previous, CalcMessages& messages) {
    EqVector start{};
    const bool warm = previous != nullptr && WarmStart(system, species, *previous, start);
    const ExactSolution solution = SolveExactly(system, warm ? &start : nullptr);
    if (solution.Outcome != ExactOutcome::Converged) {
        point.State = CellRunStateName(CellRunState::Passed);
        messages.Error(ExactFailureText(point.Index, solution), MessagePause::Error, false);
        return;
    }
    point.State = CellRunStateName(CellRunState::Converged);
    KeepAnswer(point, species, RunAmounts(system, solution.x));
}

// The pattern search as the window's run drives it: cell runs of up to eleven passes, the next
// run starting where the last one ended, until the cell converges, the cycles are used up or
// the search is cancelled. The shown point is the lowest-error point of the last run.
void SolveCellByPattern(CellPoint& point, const CellSystem& system, const RunSpecies& species,
                        const CellAnswer* previous, const RigPointOptions& options,
                        std::mt19937_64& random) {
    const CellRunSettings settings;
    const int n = system.n();
    EqVector x{};
    if (previous == nullptr || !WarmStart(system, species, *previous, x)) {
        // Species missing from the feed start just above zero, where their logarithm is finite.
        for (int i = 1; i <= n; ++i)
            x[i] = system.Feed[i] + 1e-20L;
    }
    EqVector best = x;
    long double bestError = settings.StartError;
    for (int cycle = 1; cycle <= std::max(1, options.PatternCycles); ++cycle) {
        double perturbation = settings.StartPerturbation;
        bestError = settings.StartError;
        best = x;
        for (int pass = 1;; ++pass) {
            bool stalled = false;
            const bool stop = Cancelled(options);
            SolveEquilibrium(system.a, system.b, system.A, system.B, system.N, system.L, x,
                             bestError, settings.Tolerance, settings.MaxIterations, perturbation,
                             settings.Grow, settings.Shrink, settings.MaxPerturbation,
                             settings.MinPerturbation, stop, stalled, best, random);
            if ((bestError <= settings.Tolerance && pass > 2) || Cancelled(options) ||
                pass >= settings.LastPass)
                break;
        }
        if (bestError <= settings.Tolerance || Cancelled(options))
            break;
    }
    const bool converged = bestError <= settings.Tolerance && !NoMoreOxygenThanCarbon(system);
    point.State = CellRunStateName(converged ? CellRunState::Converged : CellRunState::Passed);
    KeepAnswer(point, species, RunAmounts(system, best));
}
} // namespace

bool CellPoint::Converged() const {
    return State == CellRunStateName(CellRunState::Converged);
}

const CellPoint* RigPointResult::Cell(int index) const {
    for (const CellPoint& cell : Cells)
        if (cell.Index == index)
            return &cell;
    return nullptr;
}

RigPointResult RunRigPoint(RigSetup& setup, const RigPointOptions& options) {
    RigPointResult result;
    PointMessages messages(result.Messages);
    const RigTables tables = setup.Tables();

    if (options.RunMixer) {
        const MixerOutcome outcome = SolveMixerTables(tables, messages);
        if (outcome != MixerOutcome::Solved) {
            result.MixerFailed = true;
            result.Failure = MixerFailureText(outcome);
            for (int c = 1; c <= CellCount; ++c)
                if (CellNode(setup.Cells, c) != 0) {
                    result.Cells.push_back(DescribeCell(setup, c));
                    result.Cells.back().State = MixerFailedState;
                }
            return result;
        }
        ComputeCellFeeds(tables);
    }

    const SpeciesChoice choice = ChooseEquilibriumSpecies(setup.Compounds, setup.CompoundCount,
                                                          setup.GasCount, setup.CellFeed);
    const RunSpecies species = choice.View(setup.Compounds, setup.CompoundCount);
    if (!choice.Refusal.empty()) {
        result.Failure = choice.Refusal;
        messages.Error(choice.Refusal, MessagePause::Error, false);
    }
    std::mt19937_64 random(options.Seed);

    for (int c = 1; c <= CellCount; ++c) {
        if (CellNode(setup.Cells, c) == 0)
            continue;
        CellPoint& point = result.Cells.emplace_back(DescribeCell(setup, c));
        CellRecord& cell = setup.Cells[c];
        cell.State = CellRunState::NotCalculated;
        for (int b = 1; b <= setup.GasCount; ++b)
            point.Feed.push_back({setup.GasList[b].Str(), setup.CellFeed[c][b].Fraction});
        if (species.EqSpeciesCount == 0)
            continue;
        const CellPreparation prepared =
            PrepareCellFeed(species, setup.GasList, setup.GasCount, setup.CellFeed[c]);
        if (prepared.MainElement == 0)
            continue; // nothing in the feed to balance against
        if (!CellConditionsInRange(cell.Pressure, cell.Temperature)) {
            messages.Error("Cell " + std::to_string(c) + ": temperature or pressure out of range",
                           MessagePause::Error, false);
            continue;
        }
        const CellSystem system =
            MakeCellSystem(species, prepared, cell.Pressure, cell.Temperature, messages);
        const CellPoint* before =
            options.WarmStart != nullptr ? options.WarmStart->Cell(c) : nullptr;
        const CellAnswer* previous = before != nullptr ? &before->Answer : nullptr;
        if (options.Solver == EquilibriumSolver::Exact)
            SolveCellExactly(point, system, species, previous, messages);
        else
            SolveCellByPattern(point, system, species, previous, options, random);
        cell.State = point.Converged() ? CellRunState::Converged : CellRunState::Passed;
    }
    return result;
}
