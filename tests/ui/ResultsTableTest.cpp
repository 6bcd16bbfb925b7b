// SPDX-License-Identifier: GPL-3.0-or-later
// The results table: views, captions, column names and empty cells.
#include "DrawnText.h"
#include "WindowFixture.h"

#include "core/LatinText.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "files/SetupFiles.h"
#include "report/ResultsText.h"
#include "support/EquilibriumSetup.h"
#include "tableeditor/Vexa_ntabed.h"
#include "ui/StringGrid.h"
#include "ui/ValueListEditor.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>

namespace {

using ResultsTableTest = StartedWindowTest;

TEST_F(ResultsTableTest, BeforeTheFirstRunTheTableIsEmpty) {
    ShowPage(CellPage);
    TNTabEd& t = *Form->CellTabEd;
    EXPECT_EQ(Form->Label6->text(), "Results - Logarithmic at Cell equilibrium");
    EXPECT_EQ(Form->Button3->text(), "Logarithmic");
    EXPECT_EQ(Form->Button5->text(), "Cell equilibrium");
    t.SetElem(2, 3, 7.5);
    Form->ShowCellResults();
    // Cleared: the layout's size stays, every value is 0 and the names are the table's own.
    EXPECT_EQ(t.NrOfColumns(), 8);
    EXPECT_EQ(t.NrOfRows(), 12);
    for (int c = 1; c <= t.NrOfColumns(); ++c)
        for (int r = 1; r <= t.NrOfRows(); ++r)
            EXPECT_EQ(t.GetElem(c, r), 0) << c << "," << r;
    EXPECT_EQ(t.GetColName(1), "C-1");
    EXPECT_EQ(t.GetRowName(1), "R-1");
}

TEST_F(ResultsTableTest, FourViews) {
    FakeFinishedRun();
    ShowPage(CellPage);
    Form->ShowCellResults();
    TNTabEd& t = *Form->CellTabEd;

    struct View {
        QPushButton* Toggle; // clicked before the view is checked (nullptr: none)
        const char* Caption;
        QColor Header, Background;
        int Decimals;
        double Cell2Row1, Cell2Row2;
        bool Cell3Row1Empty;
        bool Cell5Row1Empty;
        const char* Row1;
    };
    const View views[] = {
        {nullptr, "Results - Logarithmic at Cell equilibrium", QColor(252, 205, 48),
         QColor(255, 255, 255), 5, -2, -308, true, true, "H2"},
        // -4 places select the exponent notation, which the table stores as -1.
        {Form->Button3, "Results - Linear at Cell equilibrium", QColor(252, 205, 48),
         QColor(192, 192, 192), -1, 0.01, 1e-320, false, true, "H2"},
        {Form->Button5, "Results - Linear at Room temperature", QColor(166, 202, 240),
         QColor(192, 192, 192), 6, 0.25, 0.75, false, false, "H2O"},
        {Form->Button3, "Results - Logarithmic at Room temperature", QColor(166, 202, 240),
         QColor(255, 255, 255), 5, std::log10(0.25), std::log10(0.75), true, true, "H2O"},
    };
    for (const View& v : views) {
        SCOPED_TRACE(v.Caption);
        if (v.Toggle)
            Click(*v.Toggle);
        EXPECT_EQ(Form->Label6->text(), v.Caption);
        EXPECT_EQ(t.ColorFixed(), v.Header);
        EXPECT_EQ(t.ColorBackground(), v.Background);
        EXPECT_EQ(t.NrOfRows(), 2);
        EXPECT_EQ(t.GetRowName(1), v.Row1);
        EXPECT_EQ(static_cast<std::int8_t>(t.GetDecPlaces(2)), v.Decimals);
        EXPECT_EQ(t.GetColName(2), "OC 2; Furnace");
        EXPECT_EQ(t.GetColName(3), "OC 3; ");
        EXPECT_EQ(t.GetColWidths(0), 36);
        EXPECT_EQ(t.GetColWidths(5), 95);
        EXPECT_NEAR(t.GetElem(2, 1), v.Cell2Row1, 1e-12);
        EXPECT_DOUBLE_EQ(t.GetElem(2, 2), v.Cell2Row2);
        EXPECT_EQ(t.IsEmpty(3, 1), v.Cell3Row1Empty);
        EXPECT_EQ(t.IsEmpty(5, 1), v.Cell5Row1Empty);
    }
    EXPECT_EQ(Form->Button3->text(), "Logarithmic");
    EXPECT_EQ(Form->Button5->text(), "Room temperature");
}

TEST_F(ResultsTableTest, ColumnRefreshShowsTheRunsCurrentAmounts) {
    FakeFinishedRun();
    ShowPage(CellPage);
    Form->ShowCellResults();
    const long double amounts[2] = {0.1L, 0};
    Form->RefreshCellColumn(4, amounts, 2);
    TNTabEd& t = *Form->CellTabEd;
    EXPECT_DOUBLE_EQ(t.GetElem(4, 1), -1);
    EXPECT_TRUE(t.IsEmpty(4, 2));
    // Switching views rebuilds from the stored amounts: the refreshed values were not stored.
    Click(*Form->Button3);
    EXPECT_EQ(t.GetElem(4, 1), 0);
}

TEST_F(ResultsTableTest, TheResultsGridHasItsOwnLayoutAndColours) {
    TNTabEd& t = *Form->CellTabEd;
    EXPECT_EQ(t.DefaultRowHeight(), 15);
    EXPECT_EQ(t.DefaultColWidth(), 92);
    EXPECT_EQ(t.GetColWidths(0), 80);
    for (int c = 1; c <= t.NrOfColumns(); ++c)
        EXPECT_EQ(t.GetColWidths(c), 92) << c;
    EXPECT_EQ(t.NumWidth(), 16);
    EXPECT_EQ(t.ColorFixed(), QColor(Qt::black)) << "before the first run";
    EXPECT_EQ(t.ColorSelected(), QColor(Qt::black));
    EXPECT_EQ(t.ColorRangeSelBG(), QColor(Qt::black));
    // The curve editor's headers have the system's button face.
    EXPECT_EQ(Form->CalCurveEdit->ColorFixed(),
              Form->CalCurveEdit->palette().color(QPalette::Button));

    // Twelve species, the most a run can have, all in view at once.
    for (int j = 1; j <= 12; ++j)
        EqSpecies[j] = static_cast<std::uint16_t>(j);
    EqSpeciesCount = 12;
    ShowPage(CellPage);
    Form->ShowCellResults();
    ASSERT_EQ(t.NrOfRows(), 12);
    for (int row = 0; row < 12; ++row) {
        EXPECT_EQ(t.rowHeight(row), 15) << row;
        EXPECT_LE(t.rowViewportPosition(row) + t.rowHeight(row), t.viewport()->height()) << row;
    }
    EXPECT_EQ(t.NumWidth(), 5) << "as the results set it";
}

TEST_F(ResultsTableTest, CellNamesInTheHeadingsAreDrawnWhole) {
    FakeFinishedRun();
    Cells[3].Name.Set("WWWWWWWWWWWW");
    Cells[4].Name.Set("Buffer in Ar");
    ShowPage(CellPage);
    Form->ShowCellResults();
    TNTabEd& t = *Form->CellTabEd;
    QHeaderView& header = *t.horizontalHeader();
    for (int c = 2; c <= 4; ++c) { // column 1 holds the current cell: its name is bold
        t.SetLeftCol(c);
        const QImage image = header.viewport()->grab().toImage();
        const QRect cell(header.sectionViewportPosition(c - 1), 0, header.sectionSize(c - 1),
                         t.DefaultRowHeight());
        SCOPED_TRACE(t.GetColName(c).toStdString());
        ASSERT_TRUE(image.rect().contains(cell));
        ExpectDrawnWhole(image, cell.adjusted(1, 1, -3, -1), t.GetColName(c), t.font());
    }
    EXPECT_EQ(t.GetColWidths(5), 95) << "a name that fits keeps the width as laid out";
}

// Copy Table puts the whole table on the clipboard as tab-separated text, every value in full,
// from the context menus and with Ctrl+C; the grid's own Copy stays as it is.
TEST_F(ResultsTableTest, CopyTableGivesTheWholeTableInFullForASpreadsheet) {
    FakeFinishedRun();
    CellFeed[2][1].Fraction = 1.0 / 3;
    ShowPage(CellPage);
    Form->ShowCellResults();
    TNTabEd& t = *Form->CellTabEd;

    QStringList dataMenu;
    for (const QAction* a : t.PopupD()->actions())
        dataMenu << a->text();
    EXPECT_EQ(dataMenu.last(), "Copy Table");
    EXPECT_TRUE(dataMenu.contains("Copy")) << "the grid's own Copy is still there";
    EXPECT_TRUE(t.PopupH()->actions().contains(Form->CopyTable1));

    const auto copied = [] { return QApplication::clipboard()->text(); };
    struct Case {
        QPushButton* Toggle;
        std::function<void()> Copy;
    };
    const Case cases[] = {
        {nullptr, [&] { Form->CopyTable1->trigger(); }},
        {Form->Button5,
         [&] {
             Form->activateWindow();
             t.setFocus();
             QApplication::processEvents();
             QTest::keyClick(&t, Qt::Key_C, Qt::ControlModifier);
         }},
        {Form->Button3, [&] { Form->CopyTable1->trigger(); }},
    };
    for (const Case& c : cases) {
        if (c.Toggle)
            Click(*c.Toggle);
        SCOPED_TRACE(Form->Label6->text().toStdString());
        QApplication::clipboard()->setText(QStringLiteral("before"));
        c.Copy();
        EXPECT_EQ(copied(), Latin1(TabSeparatedResults(ResultsView::Shown())));
    }
    // The linear feed view: the table shows 0.333333, the copy every digit.
    EXPECT_EQ(t.GetDecPlaces(2), 6);
    EXPECT_TRUE(copied().contains(QStringLiteral("\nH2O\t0\t0.3333333333333333\t")))
        << copied().toStdString();

    // Ctrl+C in the curve editor is not Copy Table.
    ShowPage(CalibrationPage);
    Form->CalCurveEdit->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(Form->CalCurveEdit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(copied().startsWith(QStringLiteral("Species"))) << copied().toStdString();
}

TEST_F(ResultsTableTest, CtrlASelectsAllInTheGrids) {
    FakeFinishedRun();
    ShowPage(CellPage);
    Form->ShowCellResults();
    TNTabEd& results = *Form->CellTabEd;
    QTest::keyClick(&results, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(results.Selection(), (TGridRect{1, 1, 8, 2}));

    ShowPage(CalibrationPage);
    TNTabEd& editor = *Form->CalCurveEdit;
    QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor.Selection(), (TGridRect{1, 1, 2, 20}));

    TStringGrid& list = *Form->CalGrid1;
    QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list.Selection(), QRect(QPoint(0, 1), QPoint(7, CalibrationCount)));
}

// After a change that can change a result the caption says the results are out of date, until
// the next Calculate. Argon feeds cell 1 through flowmeter 1.
TEST_F(ResultsTableTest, TheCaptionSaysWhenTheResultsAreOutOfDate) {
    FeedCellOneAlone({{"Ar", 0.99}, {"O2", 0.01}});
    const QString current = QStringLiteral("Results - Logarithmic at Cell equilibrium");
    const QString outOfDate = current + QString::fromLatin1(TForm1::OutOfDateNote);
    ShowPage(ReadingsPage);

    // Before the first calculation there is nothing to be out of date.
    TypeValue(*Form->ValueListEditor3, 1, "11");
    ClickOK(ReadingsPage);
    EXPECT_EQ(Form->Label6->text(), current);

    Form->Run1->trigger();
    ASSERT_EQ(Cells[1].State, CellRunState::Converged);
    EXPECT_FALSE(Form->ResultsOutOfDate());

    struct Change {
        const char* Title;
        std::function<void()> Make;
        bool OutOfDate;
    };
    const std::vector<Change> changes = {
        {"OK without a change", [&] { ClickOK(ReadingsPage); }, false},
        {"OK that changes a reading",
         [&] {
             TypeValue(*Form->ValueListEditor3, 1, "12");
             ClickOK(ReadingsPage);
         },
         true},
        {"a click in the curve editor that changes a point",
         [&] {
             ShowPage(CalibrationPage);
             Form->CalCurveEdit->SetElem(2, 5, 9);
             Form->TrackEdit([&] { Form->ReadCalCurve(); });
         },
         true},
        {"an Open",
         [&] {
             SaveCellFile();
             AnswerDialogs({QString::fromStdString(CellFileName)});
             Form->OutputCells1->trigger();
         },
         true},
        {"a later dialog's change",
         [&] {
             Form->MarkRigEdited({false, true, false, false});
         },
         true},
        {"a switch of the view", [&] { Click(*Form->Button3); }, false},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.Title);
        ShowPage(ReadingsPage);
        Form->Run1->trigger();
        ASSERT_FALSE(Form->ResultsOutOfDate());
        c.Make();
        EXPECT_EQ(Form->ResultsOutOfDate(), c.OutOfDate);
        const ResultsView view = ResultsView::Shown();
        EXPECT_EQ(Form->Label6->text(),
                  Latin1(view.Caption()) +
                      (c.OutOfDate ? QString::fromLatin1(TForm1::OutOfDateNote) : QString()));
    }
    // The mark stays through a switch of the view; the cell's marker keeps its state.
    Form->MarkRigEdited({false, true, false, false});
    Click(*Form->Button3);
    EXPECT_EQ(Form->Label6->text(), outOfDate);
    EXPECT_EQ(Cells[1].State, CellRunState::Converged);

    // A calculation whose mixer fails leaves the table, and its caption, as they were.
    Flowmeters[1].Input = 0;
    Form->Run1->trigger();
    EXPECT_EQ(Form->Label6->text(), outOfDate);

    // An edit while the cells are calculated: the results are out of date when the run ends.
    Flowmeters[1].Input = 1;
    ShowPage(ReadingsPage);
    QTimer::singleShot(0, Form.get(), [&] {
        EXPECT_EQ(Form->Label6->text(), current) << "the run shows current results";
        TypeValue(*Form->ValueListEditor3, 1, "13");
        ClickOK(ReadingsPage);
    });
    Form->Run1->trigger();
    EXPECT_EQ(Form->Label6->text(), outOfDate);
}

} // namespace
