// SPDX-License-Identifier: GPL-3.0-or-later
// "Find setting…" driven offscreen: its lists come from the rig, the search runs off the
// window's thread, and the value it puts into the rig is an edit that gives the goal.
#include "WindowFixture.h"

#include "analysis/CellQuantities.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "report/BatchRun.h"
#include "support/MixerSetup.h"
#include "ui/FindSettingDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

using FindSettingDialogTest = StartedWindowTest;

TEST_F(FindSettingDialogTest, FindsASaturatorTemperatureAndPutsItIntoTheRigAsAnEdit) {
    // Hydrogen in argon, wetted by a saturator after flowmeter 1.
    FeedCellOneAlone({{"H2", 0.2}, {"Ar", 0.8}});
    SetStage(1, "H2O", "PURE", 20, false);
    Cells[1].Name.Set("Wet");
    Form->Run1->trigger();
    ASSERT_EQ(Cells[1].State, CellRunState::Converged);
    const double now = *QuantitiesOfCell(1).Log10pO2;
    const double goal = now + 0.3; // wetter
    ASSERT_FALSE(Form->Modified());

    // The Tools menu sits between Calculate and About.
    const QList<QAction*> bar = Form->menuBar()->actions();
    const auto at = [&](const QAction* action) {
        return bar.indexOf(const_cast<QAction*>(action));
    };
    EXPECT_EQ(at(Form->Tools1->menuAction()), at(Form->Run1) + 1);
    EXPECT_EQ(at(Form->AboutAction), at(Form->Tools1->menuAction()) + 1);
    EXPECT_TRUE(Form->Tools1->actions().contains(Form->FindSetting1));

    Form->FindSetting1->trigger();
    TFindSettingDialog* dialog = Form->FindSettingDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    ASSERT_EQ(dialog->CellBox->count(), 1);
    EXPECT_EQ(dialog->CellBox->itemText(0), "Cell 1; Wet");
    const int saturator =
        dialog->ParameterBox->findData(QStringLiteral("flowmeter1.stageTemperature"));
    ASSERT_GE(saturator, 0);
    EXPECT_GE(dialog->ParameterBox->findData(QStringLiteral("flowmeter1.reading")), 0);
    EXPECT_GE(dialog->ParameterBox->findData(QStringLiteral("cell1.pressure")), 0);
    dialog->ParameterBox->setCurrentIndex(saturator);
    dialog->QuantityBox->setCurrentIndex(dialog->QuantityBox->findData(QStringLiteral("log10pO2")));

    // A goal that is no number is said so, and nothing is searched.
    dialog->GoalEdit->setText(QStringLiteral("wet"));
    QTest::mouseClick(dialog->FindButton, Qt::LeftButton);
    EXPECT_FALSE(dialog->Searching());
    EXPECT_EQ(dialog->Answer->text(), "The goal is not a number.");

    dialog->GoalEdit->setText(QString::number(goal, 'g', 17));
    QSignalSpy ended(dialog, &TFindSettingDialog::SearchEnded);
    QTest::mouseClick(dialog->FindButton, Qt::LeftButton);
    EXPECT_TRUE(dialog->Searching() || ended.count() == 1) << "it runs in a worker thread";
    ASSERT_TRUE(ended.count() == 1 || ended.wait(30000));
    ASSERT_TRUE(dialog->LastResult());
    ASSERT_EQ(dialog->LastResult()->Status, TargetStatus::Found);
    const double value = dialog->LastResult()->Value;
    EXPECT_GT(value, 20);
    EXPECT_TRUE(
        dialog->Answer->text().contains(QStringLiteral("Found: flowmeter1.stageTemperature")))
        << dialog->Answer->text().toStdString();
    EXPECT_EQ(Flowmeters[1].FixGasT, 20) << "the search leaves the rig as it is";
    ASSERT_TRUE(dialog->PutButton->isEnabled());

    QTest::mouseClick(dialog->PutButton, Qt::LeftButton);
    EXPECT_EQ(Flowmeters[1].FixGasT, value);
    EXPECT_TRUE(Form->Modified(1)) << "the flowmeters' table is changed";
    EXPECT_TRUE(Form->ResultsOutOfDate());
    EXPECT_TRUE(Form->isWindowModified()) << "the title marks it";

    // The window's Calculate (the pattern search, to its tolerance), and the exact solver's.
    Form->Run1->trigger();
    EXPECT_FALSE(Form->ResultsOutOfDate());
    EXPECT_NEAR(*QuantitiesOfCell(1).Log10pO2, goal, 1e-4);
    ASSERT_EQ(RunCalculation(CalcBounds{1, 0, 0, EquilibriumSolver::Exact}),
              CalcOutcome::Converged);
    EXPECT_NEAR(*QuantitiesOfCell(1).Log10pO2, goal, 1e-6);
}

} // namespace
