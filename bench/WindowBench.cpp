// SPDX-License-Identifier: GPL-3.0-or-later
// Filling the calibration page: all 1000 rows of the curve list and the curve editor, as
// showing the page, loading a calibrations file or stepping the curve selector does it; and
// drawing the schematic. Runs on the offscreen platform with the window shown, so that the
// views lay out what they hold.
#include "core/SetupTables.h"
#include "core/WindowInterface.h"
#include "files/StartUp.h"
#include "ui/MainWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TForm1> Form;

void FillCurves() {
    const char* makes[] = {"Brooks", "Voegtlin", "Krohne", "Fischer"};
    const char* gases[] = {"H2", "Ar", "O2", "CO", "CO2", "H2O"};
    for (int k = 1; k <= CalibrationCount; ++k) {
        CalibrationRecord& r = Calibrations[k];
        r.Make.Set(makes[k % 4]);
        r.Gas.Set(gases[k % 6]);
        r.Temp = 20 + k % 7 * 0.125;
        r.Press = 1.013;
        r.Flowmeter = static_cast<std::uint16_t>(k % 17);
        for (int p = 1; p <= 20; ++p)
            r.Point[p] = {p * 7.5, p * 11.25};
    }
}

void BM_Calibrations4Click(benchmark::State& state) {
    Form->PageControl1->setCurrentIndex(2);
    QApplication::processEvents();
    for (auto _ : state) {
        Form->Calibrations4Click();
        QApplication::processEvents(); // the views take in the new rows
    }
}
BENCHMARK(BM_Calibrations4Click)->Unit(benchmark::kMillisecond);

// Redrawing the whole schematic, as every resize of the window does, and showing it.
void BM_DrawMixer(benchmark::State& state) {
    for (auto _ : state) {
        Form->DrawMixer();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DrawMixer)->Unit(benchmark::kMillisecond);

// Redrawing one cell, as the equilibrium run does after each cell.
void BM_DrawCell(benchmark::State& state) {
    for (auto _ : state) {
        Form->DrawCell(1);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DrawCell)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    DefaultSetupLocation = folder.path().toStdString() + "/Default";
    Form = std::make_unique<TForm1>();
    Form->KeepPauses = false;
    SetWindow(Form.get());
    InstallDefaults();
    FillCurves();
    Form->show();
    QApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetWindow(nullptr);
    Form.reset();
    return 0;
}
