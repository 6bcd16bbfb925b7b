// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer stage of a full rig: 16 flowmeters in use, 1000 calibration curves of 20 points,
// 12 gases, and a chain of nodes that each feed a lower-numbered node, so that the network needs
// five sweeps (each with warnings for the nodes still waiting).
#include "core/Calculate.h"
#include "core/Calibration.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "core/WindowInterface.h"
#include "files/StartUp.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <array>
#include <sstream>
#include <string>

namespace {

const std::array<const char*, 12> Gases = {"H2",  "D2", "N2",  "O2",  "Ar", "He",
                                           "H2O", "CO", "CO2", "NH3", "O3", "D2O"};
const std::array<const char*, 4> Makes = {"Brooks", "Voegtlin", "Krohne", "Fischer"};
const std::array<const char*, 3> Sizes = {"R-2-15", "R-6-15", "R-2-65"};
const std::array<const char*, 2> Floats = {"glass", "steel"};

void SetComponents(int n, std::initializer_list<std::pair<const char*, double>> components) {
    int j = 1;
    for (const auto& [gas, fraction] : components) {
        InputMixtures[n].Gas[j].Gas.Set(gas);
        InputMixtures[n].Gas[j].Fraction = fraction;
        ++j;
    }
}

void BuildFullRig() {
    for (int c = 1; c <= CalibrationCount; ++c) {
        CalibrationRecord& curve = Calibrations[c];
        curve.Make.Set(Makes[c % Makes.size()]);
        curve.Size.Set(Sizes[c % Sizes.size()]);
        curve.Float.Set(Floats[c % Floats.size()]);
        curve.Gas.Set(Gases[(c / 7) % Gases.size()]);
        curve.Flowmeter = static_cast<std::uint16_t>(c % 5 == 0 ? c % 16 + 1 : 0);
        const double scale = 0.5 + 0.001 * c;
        for (int k = 1; k <= 20; ++k) {
            const double reading = 5.0 * k;
            curve.Point[k] = {reading, scale * reading * (1 + 0.004 * reading)};
        }
    }

    SetComponents(1, {{"H2", 0.05}, {"Ar", 0.95}});
    SetComponents(2, {{"Ar", 1.0}});
    SetComponents(3, {{"CO", 0.1}, {"CO2", 0.9}});
    SetComponents(4, {{"N2", 0.79}, {"O2", 0.21}});
    SetComponents(5, {{"He", 0.5}, {"D2", 0.5}});
    SetComponents(6, {{"NH3", 0.01}, {"N2", 0.99}});
    SetComponents(7, {{"O3", 0.001}, {"O2", 0.999}});

    for (int f = 1; f <= FlowmeterCount; ++f) {
        FlowmeterRecord& meter = Flowmeters[f];
        meter.Make.Set(Makes[f % Makes.size()]);
        meter.Size.Set(Sizes[f % Sizes.size()]);
        meter.Float.Set(Floats[f % Floats.size()]);
        meter.Reading = 7.5 + 5.5 * f;
        meter.Input = static_cast<std::uint16_t>((f - 1) % 7 + 1);
        meter.Output = static_cast<std::uint16_t>((f + 1) / 2);
    }
    // M5 -> M4 -> M3 -> M2 -> M1: each node also takes the next higher node's gas.
    for (int k = 1; k <= 4; ++k)
        Flowmeters[2 * k].Input = static_cast<std::uint16_t>(NodeMixture(k + 1));
    // Saturators and a drying stage on either side of their flowmeters.
    Flowmeters[3].FixGasUsed = 1;
    Flowmeters[3].FixGasBefore = 0;
    Flowmeters[3].FixGas.Set("H2O");
    Flowmeters[3].FixGasType.Set("Pure");
    Flowmeters[9].FixGasUsed = 1;
    Flowmeters[9].FixGasBefore = 1;
    Flowmeters[9].FixGas.Set("D2O");
    Flowmeters[9].FixGasType.Set("KBR");
    Flowmeters[12].FixGasUsed = 1;
    Flowmeters[12].FixGasBefore = 1;
    Flowmeters[12].FixGas.Set("H2O");
    Flowmeters[12].FixGasType.Set("DRY");
}

// The program started on an empty default file set, with the full rig entered and a headless
// window that keeps the warnings of the chain to itself and never waits.
class FullRig {
public:
    FullRig() : Window(Messages) {
        Window.KeepPauses = false;
        SetWindow(&Window);
        DefaultSetupLocation = Folder.path().toStdString() + "/Default"; // no files there
        InstallDefaults();
        BuildFullRig();
    }
    ~FullRig() { SetWindow(nullptr); }
    FullRig(const FullRig&) = delete;
    FullRig& operator=(const FullRig&) = delete;

private:
    QTemporaryDir Folder;
    std::ostringstream Messages;
    HeadlessWindow Window;
};

void BM_MixerStageOfAFullRig(benchmark::State& state) {
    const FullRig rig;
    for (auto _ : state) {
        const bool converged = RunMixerStage();
        benchmark::DoNotOptimize(converged);
        if (!converged || NetworkSweeps != 5 || GasCount != 12) {
            state.SkipWithError("the rig did not solve as built");
            break;
        }
    }
}
BENCHMARK(BM_MixerStageOfAFullRig)->Unit(benchmark::kMillisecond);

void BM_CalibratedFlow(benchmark::State& state) {
    const FullRig rig;
    double reading = 20;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalibratedFlow(7, "Ar", reading));
        reading = reading < 90 ? reading + 0.37 : 20;
    }
}
BENCHMARK(BM_CalibratedFlow)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
