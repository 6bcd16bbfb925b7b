// SPDX-License-Identifier: GPL-3.0-or-later
// The calibration page: the list of all curves read back on OK, and the curve editor whose
// points are stored at every click in it.
#include "DrawnText.h"
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/StringGrid.h"
#include "ui/ValueListEditor.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QTest>

namespace {

using CalibrationPageTest = StartedWindowTest;

enum { MakeCol = 1, SizeCol, FloatCol, GasCol, TempCol, PressCol, FlowmeterCol };

TEST_F(CalibrationPageTest, ListShowsEveryCurve) {
    CalibrationRecord& r = Calibrations[12];
    r.Make.Set("Brooks");
    r.Gas.Set("H2");
    r.Temp = 25;
    r.Press = -1.005;
    r.Flowmeter = 7;
    ShowPage(CalibrationPage);
    const TStringGrid& list = *Form->CalGrid1;
    ASSERT_EQ(list.RowCount(), 1000);
    const char* titles[] = {"Curve", "Make",  "Size",   "Float",
                            "Gas",   "Temp.", "Press.", "Flowmeter"};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(list.Cell(c, 0), titles[c]);
    EXPECT_EQ(list.Cell(0, 12), "12");
    EXPECT_EQ(list.Cell(MakeCol, 12), "Brooks");
    EXPECT_EQ(list.Cell(SizeCol, 12), "None");
    EXPECT_EQ(list.Cell(GasCol, 12), "H2");
    EXPECT_EQ(list.Cell(TempCol, 12), "    25.00");
    EXPECT_EQ(list.Cell(PressCol, 12), "    -1.00"); // -1.005 is held as -1.00499...
    EXPECT_EQ(list.Cell(FlowmeterCol, 12), "7");
    EXPECT_EQ(list.Cell(0, 1000), "1000");
    EXPECT_EQ(list.Cell(FlowmeterCol, 1000), "0");
}

TEST_F(CalibrationPageTest, ListCellsFollowTheirRules) {
    struct Case {
        int Column;
        const char* Typed;
        const char* ShownAfter; // the cell after OK and a refill
    };
    const Case cases[] = {
        {FlowmeterCol, "3x", "3"},
        {FlowmeterCol, "", "0"},
        {FlowmeterCol, "  12abc", "12"},
        {FlowmeterCol, "abc", "0"},
        {FlowmeterCol, "65537", "1"},
        {FlowmeterCol, "-1", "65535"},
        {FlowmeterCol, "$1F", "31"},
        {TempCol, "25.5", "    25.50"},
        {TempCol, "warm", "    30.00"},
        {PressCol, "1e-3", "     0.00"},
        {MakeCol, "VeryLongMake", "VeryLong"},
        {GasCol, " CO2 ", " CO2 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        Calibrations[5].Temp = 30;
        Calibrations[5].Flowmeter = 9;
        ShowPage(CalibrationPage);
        TypeInto(*Form->CalGrid1, 4, c.Column, QString::fromLatin1(c.Typed));
        ClickOK(CalibrationPage);
        Form->Calibrations4Click();
        EXPECT_EQ(Form->CalGrid1->Cell(c.Column, 5), c.ShownAfter);
        ShowPage(InputPage);
    }
}

TEST_F(CalibrationPageTest, OKStoresTheShownPrecisionAndKeepsTexts) {
    Calibrations[3].Temp = 25.126;
    Calibrations[3].Press = 1.013;
    Calibrations[3].Gas.Set("H2O");
    ShowPage(CalibrationPage);
    ClickOK(CalibrationPage);
    EXPECT_EQ(Calibrations[3].Temp, 25.13);
    EXPECT_EQ(Calibrations[3].Press, 1.01);
    EXPECT_EQ(Calibrations[3].Gas.Str(), "H2O");
    EXPECT_EQ(Calibrations[3].Make.Str(), "None");
}

TEST_F(CalibrationPageTest, ListEditsNeedOKBeforeTheSelectorMoves) {
    ShowPage(CalibrationPage);
    TypeInto(*Form->CalGrid1, 0, MakeCol, "Dropped");
    StepUp(*Form->SpinEdit2CalCurve);
    EXPECT_EQ(Calibrations[1].Make.Str(), "None");
    EXPECT_EQ(Form->CalGrid1->Cell(MakeCol, 1), "None");

    TypeInto(*Form->CalGrid1, 0, MakeCol, "Kept");
    ClickOK(CalibrationPage);
    StepUp(*Form->SpinEdit2CalCurve);
    EXPECT_EQ(Calibrations[1].Make.Str(), "Kept");
    EXPECT_EQ(Form->CalGrid1->Cell(MakeCol, 1), "Kept");
}

TEST_F(CalibrationPageTest, EditorShowsTheCurrentCurve) {
    Calibrations[12].Point[7].Reading = 70;
    Calibrations[12].Point[7].Flow = 123.5;
    ShowPage(CalibrationPage);
    StepUp(*Form->SpinEdit2CalCurve, 11);
    EXPECT_EQ(CurrentCalCurve, 12);
    const TNTabEd& editor = *Form->CalCurveEdit;
    EXPECT_EQ(editor.GetColName(1), "Reading");
    EXPECT_EQ(editor.GetColName(2), "Flow");
    EXPECT_EQ(editor.GetRowName(1), "Curve 12 P-1");
    EXPECT_EQ(editor.GetRowName(20), "Curve 12 P-20");
    EXPECT_EQ(editor.GetElem(1, 7), 70);
    EXPECT_EQ(editor.GetElem(2, 7), 123.5);
    EXPECT_EQ(Form->CalGrid1->Selection(), QRect(QPoint(0, 12), QPoint(7, 12)));
}

TEST_F(CalibrationPageTest, SelectorWrapsBothWaysAndSelectsTheCurvesRow) {
    ShowPage(CalibrationPage);
    struct Step {
        bool Up;
        int Curve; // after the step
    };
    // From curve 1: down to 1000, up to 1 again, up to 2, down to 1.
    const Step steps[] = {{false, 1000}, {true, 1}, {true, 2}, {false, 1}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Curve);
        if (step.Up)
            StepUp(*Form->SpinEdit2CalCurve);
        else
            StepDown(*Form->SpinEdit2CalCurve);
        EXPECT_EQ(CurrentCalCurve, step.Curve);
        EXPECT_EQ(Form->SpinEdit2CalCurve->value(), step.Curve);
        EXPECT_EQ(Form->CalGrid1->Selection(), QRect(QPoint(0, step.Curve), QPoint(7, step.Curve)));
        EXPECT_EQ(Form->CalCurveEdit->GetRowName(1),
                  QStringLiteral("Curve %1 P-1").arg(step.Curve));
    }
    Form->SpinEdit2CalCurve->setValue(999);
    StepUp(*Form->SpinEdit2CalCurve);
    EXPECT_EQ(CurrentCalCurve, 1000);
    // The other selectors wrap upward in their handler and stop at 1 downward.
    ShowPage(CellPage);
    StepDown(*Form->SpinEditOutPutCells);
    EXPECT_EQ(CurrentCell, 1);
}

TEST_F(CalibrationPageTest, NoTextIsCutShortOnTheDrawnPage) {
    // The widest texts each column can hold: its widest letters, a temperature that widens
    // its field, and the last curve's longest point names in the editor.
    for (int k = 990; k <= 1000; ++k) {
        Calibrations[k].Make.Set("WWWWWWWW");
        Calibrations[k].Size.Set(k % 2 ? "MMMMMMMM" : "R2-15-A");
        Calibrations[k].Float.Set("Sapphire");
        Calibrations[k].Gas.Set("WWWWWWWWWWWW");
        Calibrations[k].Temp = k % 2 ? 25 : -12345678.5;
        Calibrations[k].Press = 1.01325;
        Calibrations[k].Flowmeter = 16;
    }
    ShowPage(CalibrationPage);
    StepDown(*Form->SpinEdit2CalCurve); // curve 1000, and its row in view
    ASSERT_EQ(CurrentCalCurve, 1000);

    TStringGrid& list = *Form->CalGrid1;
    int checked = 0;
    for (int c = 0; c < list.ColumnCount(); ++c) {
        list.scrollTo(list.model()->index(999 - 1, c)); // the columns are wider than the page
        const QImage listImage = list.viewport()->grab().toImage();
        for (int row = 990; row <= 999; ++row) { // 1000 is selected, drawn light on dark
            const QRect cell = list.visualRect(list.model()->index(row - 1, c));
            if (!listImage.rect().contains(cell))
                continue;
            SCOPED_TRACE(QStringLiteral("curve %1, column %2").arg(row).arg(c).toStdString());
            ExpectDrawnWhole(listImage, cell, list.Cell(c, row), list.font());
            ++checked;
        }
    }
    EXPECT_GE(checked, 5 * list.ColumnCount()) << "rows in view";

    TNTabEd& editor = *Form->CalCurveEdit;
    QHeaderView& names = *editor.verticalHeader();
    const QImage namesImage = names.viewport()->grab().toImage();
    checked = 0;
    for (int r = 2; r <= 20; ++r) { // the current row's name is drawn bold in white
        const int top = names.sectionViewportPosition(r - 1);
        const QRect cell(0, top, editor.GetColWidths(0), names.sectionSize(r - 1));
        if (top < 0 || !namesImage.rect().contains(cell))
            continue;
        SCOPED_TRACE(editor.GetRowName(r).toStdString());
        ExpectDrawnWhole(namesImage, cell.adjusted(1, 1, -3, -1), editor.GetRowName(r),
                         editor.font());
        ++checked;
    }
    EXPECT_GE(checked, 10) << "point names in view";
}

TEST_F(CalibrationPageTest, TheCurveEditorKeepsTwentyPointsInTwoColumns) {
    Calibrations[1].Point[1] = {10, 40};
    Calibrations[1].Point[20] = {200, 800};
    ShowPage(CalibrationPage);
    TNTabEd& editor = *Form->CalCurveEdit;

    // Its header menus offer no command that inserts or deletes a column or a row.
    for (QHeaderView* header : {editor.horizontalHeader(), editor.verticalHeader()}) {
        const bool columns = header == editor.horizontalHeader();
        SCOPED_TRACE(columns ? "column header" : "row header");
        const int middle = header->sectionViewportPosition(1) + header->sectionSize(1) / 2;
        QTest::mousePress(header->viewport(), Qt::RightButton, Qt::NoModifier,
                          columns ? QPoint(middle, 5) : QPoint(5, middle));
        QApplication::processEvents();
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        int offered = 0;
        for (QAction* action : menu->actions()) {
            const bool reshapes =
                action->text().startsWith("Insert") || action->text().startsWith("Delete");
            if (reshapes) {
                EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
            }
            offered += action->isEnabled();
        }
        EXPECT_GE(offered, 2) << "the other commands are offered";
        menu->close();
        QApplication::processEvents();
    }

    // Should its shape change all the same, showing a curve restores it before a click stores
    // the points.
    editor.RemoveColumn(1);
    editor.InsertRow(3);
    StepUp(*Form->SpinEdit2CalCurve);
    StepDown(*Form->SpinEdit2CalCurve);
    EXPECT_EQ(editor.NrOfColumns(), 2);
    EXPECT_EQ(editor.NrOfRows(), 20);
    EXPECT_EQ(editor.GetColName(1), "Reading");
    EXPECT_EQ(editor.GetColWidths(1), 111);
    EXPECT_EQ(editor.GetColWidths(2), 78);
    EXPECT_EQ(editor.GetRowName(20), "Curve 1 P-20");
    const QRect cell = editor.visualRect(editor.model()->index(4, 0));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(Calibrations[1].Point[1].Flow, 40);
    EXPECT_EQ(Calibrations[1].Point[20].Reading, 200);
    EXPECT_EQ(Calibrations[1].Point[20].Flow, 800);
}

TEST_F(CalibrationPageTest, ClickInTheEditorStoresThePoints) {
    ShowPage(CalibrationPage);
    StepUp(*Form->SpinEdit2CalCurve, 2);
    ASSERT_EQ(CurrentCalCurve, 3);
    TNTabEd& editor = *Form->CalCurveEdit;
    TypeInto(editor, 1, 1, "42.5"); // the flow of point 2
    EXPECT_EQ(Calibrations[3].Point[2].Flow, 0) << "typing alone stores nothing";
    const QRect cell = editor.visualRect(editor.model()->index(4, 0));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(Calibrations[3].Point[2].Flow, 42.5);
    // The points survive a change of curve.
    StepUp(*Form->SpinEdit2CalCurve);
    StepDown(*Form->SpinEdit2CalCurve);
    EXPECT_EQ(editor.GetElem(2, 2), 42.5);
}

} // namespace
