// SPDX-License-Identifier: GPL-3.0-or-later
// A sweep of the twelve-species benchmark cell (a feed of H2, D2, N2, O2, Ar, He, H2O, D2O, CO,
// CO2 and NH3 at 1 bar, through one flowmeter into cell 1) over 101 temperatures from 600 to
// 1100 degrees Celsius with the exact solver: the mixer stage once, then 101 points, each from
// the answer of the one before. The whole sweep is one iteration; the target is 20 ms.
#include "analysis/Sweep.h"
#include "core/SetupTables.h"
#include "core/WindowInterface.h"
#include "files/StartUp.h"
#include "support/MixerSetup.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <sstream>

namespace {

const Components TwelveSpeciesFeed = {
    {"H2", 0.001}, {"D2", 0.001}, {"N2", 0.2},   {"O2", 0.2},   {"Ar", 0.375},  {"He", 0.1},
    {"H2O", 0.05}, {"D2O", 0.02}, {"CO", 0.001}, {"CO2", 0.05}, {"NH3", 0.001},
};

// The rig as the program starts on an empty default file set, with the feed above reaching
// cell 1 alone, captured as a sweep takes it.
RigSetup TwelveSpeciesRig() {
    std::ostringstream messages;
    HeadlessWindow window(messages);
    window.KeepPauses = false;
    SetWindow(&window);
    QTemporaryDir folder;
    DefaultSetupLocation = folder.path().toStdString() + "/Default"; // no files there
    InstallDefaults();
    FeedCellOneAlone(TwelveSpeciesFeed);
    for (CellRecord& cell : Cells)
        cell.LeakO2 = cell.LeakN2 = cell.LeakH2 = cell.LeakH2O = 0;
    Cells[1].Pressure = 1;
    RigSetup setup = CaptureRigSetup();
    SetWindow(nullptr);
    return setup;
}

void BM_SweepTwelveSpecies101Temperatures(benchmark::State& state) {
    const RigSetup setup = TwelveSpeciesRig();
    std::string error;
    const SweepRequest request = *ParseSweep("cell1.temperature=600:1100:101", error);
    int converged = 0;
    int species = 0;
    for (auto _ : state) {
        const SweepResult sweep = RunSweep(setup, request);
        converged = 0;
        for (const SweepPoint& point : sweep.Points)
            if (const CellPoint* cell = point.Result.Cell(1); cell != nullptr && cell->Converged())
                ++converged;
        species = static_cast<int>(sweep.Points.front().Result.Cells.front().Equilibrium.size());
        benchmark::DoNotOptimize(sweep.Points.data());
    }
    state.counters["points converged"] = converged;
    state.counters["species"] = species;
}
BENCHMARK(BM_SweepTwelveSpecies101Temperatures)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
