// SPDX-License-Identifier: GPL-3.0-or-later
// Calculate from the window: the command's caption, the results, and a stop request while the
// cells are calculated.
#include "WindowFixture.h"

#include "core/Calculate.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "support/MixerSetup.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <map>

namespace {

// Wet hydrogen through flowmeter 1 into node 1, feeding cells 1 and 2 at 800 degrees C; the
// other cells are not fed.
void WetHydrogenRig() {
    SetInputMix(1, {{"H2", 0.97}, {"H2O", 0.03}});
    SetMeter(1, 1, 1, 50);
    SetConstantFlow(1, 1, 100);
    for (int c = 1; c <= CellCount; ++c) {
        Cells[c].Mix = c <= 2 ? 1 : 0;
        Cells[c].Temperature = 800;
        Cells[c].LeakO2 = Cells[c].LeakH2O = 0;
    }
}

using CalculateTest = StartedWindowTest;

TEST_F(CalculateTest, RunsToConvergenceAndShowsTheResults) {
    WetHydrogenRig();
    ShowPage(CellPage);
    QString captionDuringRun;
    bool runningDuringRun = false;
    QTimer::singleShot(0, Form.get(), [&] {
        captionDuringRun = Form->Run1->text();
        runningDuringRun = Running;
    });
    Form->Run1->trigger();

    EXPECT_EQ(captionDuringRun, "&Calculate Stop");
    EXPECT_TRUE(runningDuringRun) << "the run let pending events through";
    EXPECT_EQ(Form->Run1->text(), "&Calculate Start");
    EXPECT_FALSE(Running);
    EXPECT_EQ(Cells[1].State, CellRunState::Converged);
    EXPECT_EQ(Cells[2].State, CellRunState::Converged);
    EXPECT_EQ(Cells[3].State, CellRunState::NotCalculated);

    const TNTabEd& t = *Form->CellTabEd;
    ASSERT_EQ(t.NrOfRows(), EqSpeciesCount);
    int h2 = 0;
    for (int r = 1; r <= t.NrOfRows(); ++r)
        if (t.GetRowName(r) == "H2")
            h2 = r;
    ASSERT_GT(h2, 0);
    // Partial pressure of hydrogen close to its feed share of 1 bar.
    EXPECT_NEAR(t.GetElem(1, h2), std::log10(0.97), 1e-3);
    EXPECT_TRUE(t.IsEmpty(3, h2)) << "a cell that is not fed has no logarithm";
}

TEST_F(CalculateTest, AWetHydrogenCellBesideACarbonBufferConverges) {
    // Each cell alone at 800 degrees C: log pO2 -21.373 in wet hydrogen, -18.372 in the 1:1
    // CO/CO2 buffer. Together they bring carbon to the one and hydrogen to the other.
    WetHydrogenRig();
    SetInputMix(2, {{"CO", 0.5}, {"CO2", 0.5}});
    SetMeter(2, 2, 2, 50);
    SetConstantFlow(2, 2, 100);
    Cells[2].Mix = 2;
    ShowPage(CellPage);
    Form->Run1->trigger();

    EXPECT_EQ(Cells[1].State, CellRunState::Converged);
    EXPECT_EQ(Cells[2].State, CellRunState::Converged);
    const TNTabEd& t = *Form->CellTabEd;
    ASSERT_EQ(t.NrOfRows(), EqSpeciesCount);
    std::map<QString, int> row;
    for (int r = 1; r <= t.NrOfRows(); ++r)
        row[t.GetRowName(r)] = r;
    EXPECT_NEAR(t.GetElem(1, row["O2"]), -21.373, 2e-3);
    EXPECT_NEAR(t.GetElem(2, row["O2"]), -18.372, 2e-3);
    // What a cell's feed lacks is not there at all.
    for (const char* carbon : {"C(s)", "CO", "CO2"})
        EXPECT_TRUE(t.IsEmpty(1, row[carbon])) << carbon;
    for (const char* hydrogen : {"H2", "H2O"})
        EXPECT_TRUE(t.IsEmpty(2, row[hydrogen])) << hydrogen;
}

TEST_F(CalculateTest, UsingTheCommandAgainStopsTheRun) {
    WetHydrogenRig();
    QTimer::singleShot(0, Form.get(), [&] { Form->Run1->trigger(); });
    Form->Run1->trigger();
    EXPECT_FALSE(Running);
    EXPECT_EQ(Form->Run1->text(), "&Calculate Start");
    EXPECT_NE(Cells[1].State, CellRunState::Converged);
    EXPECT_NE(Cells[2].State, CellRunState::Converged);
    // The command starts a new calculation whatever happened before.
    Form->Run1->trigger();
    EXPECT_EQ(Cells[1].State, CellRunState::Converged);
}

TEST_F(CalculateTest, ClosingTheWindowStopsTheRun) {
    WetHydrogenRig();
    QTimer::singleShot(0, Form.get(), [&] { Form->Exit1->trigger(); });
    Form->Run1->trigger();
    EXPECT_FALSE(Running);
    EXPECT_FALSE(Form->isVisible());
    EXPECT_NE(Cells[1].State, CellRunState::Converged);
    EXPECT_NE(Cells[2].State, CellRunState::Converged);
}

// With the status line's pauses kept, as in the program: a progress line holds nothing, so the
// click is taken between two passes.
TEST_F(CalculateTest, SwitchingTheViewDuringTheRun) {
    WetHydrogenRig();
    ShowPage(CellPage);
    Form->KeepPauses = true;
    QTimer::singleShot(0, Form.get(), [&] { Click(*Form->Button5); });
    Form->Run1->trigger();
    Form->KeepPauses = false;
    EXPECT_EQ(Form->Label6->text(), "Results - Logarithmic at Room temperature");
    EXPECT_EQ(Form->CellTabEd->GetRowName(1), "H2");
    EXPECT_EQ(Form->CellTabEd->NrOfRows(), GasCount);
    EXPECT_EQ(Cells[1].State, CellRunState::Converged);
}

TEST_F(CalculateTest, MixerFailureEndsWithTheMessage) {
    // Thirteen gases in use overflow the gas list.
    SetInputMix(1, {{"H2", 0.1},
                    {"D2", 0.1},
                    {"N2", 0.1},
                    {"O2", 0.1},
                    {"Ar", 0.1},
                    {"He", 0.1},
                    {"H2O", 0.1},
                    {"D2O", 0.1},
                    {"CO", 0.1},
                    {"CO2", 0.1},
                    {"NH3", 0.1},
                    {"O3", 0.1}});
    SetInputMix(2, {{"C(s)", 1}});
    SetMeter(1, 1, 1, 10);
    SetMeter(2, 2, 1, 10);
    Form->Run1->trigger();
    EXPECT_EQ(Form->Message1->text(), "Too many gases or inappropriately organised mixer");
    EXPECT_EQ(Form->Message1->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Form->Run1->text(), "&Calculate Start");
}

TEST_F(CalculateTest, TheCalibrationPageStillShownWhenTheRunEndsTakesOKAgain) {
    WetHydrogenRig();
    Calibrations[2].Temp = 25.126;
    ShowPage(CalibrationPage);
    // During the run the user edits a curve in the list; the end of the run keeps the edit.
    QTimer::singleShot(0, Form.get(), [&] {
        EXPECT_EQ(CurrentTable, NoTable) << "while the cells are calculated, OK reads nothing";
        TypeInto(*Form->CalGrid1, 2, 1, QStringLiteral("Edited"));
    });
    Form->Run1->trigger();
    EXPECT_FALSE(Running);
    EXPECT_EQ(CurrentTable, CalibrationTable);
    EXPECT_EQ(Form->CalGrid1->Cell(1, 3), "Edited");
    ClickOK(CalibrationPage);
    EXPECT_EQ(Calibrations[3].Make.Str(), "Edited");
    EXPECT_EQ(Calibrations[2].Temp, 25.13);

    // A run that ends on another page leaves the calibration table to its show routine.
    ShowPage(CellPage);
    Form->Run1->trigger();
    EXPECT_EQ(CurrentTable, CellTable);
}

} // namespace
