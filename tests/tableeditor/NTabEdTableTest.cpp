// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridFixture.h"

#include <QHeaderView>
#include <QSignalSpy>

using TableSyncTest = GridTest;

TEST_F(TableSyncTest, TheGridFollowsATableResizedByTheHost) {
    Grid->SetColWidths(3, 70);
    Grid->SetDecPlaces(3, 5);
    Grid->Data().Resize(5, 6);
    EXPECT_EQ(Grid->model()->columnCount(), 5);
    EXPECT_EQ(Grid->model()->rowCount(), 6);
    for (int c = 4; c <= 5; ++c) {
        EXPECT_EQ(Grid->GetColWidths(c), 70) << c;
        EXPECT_EQ(Grid->GetDecPlaces(c), 5) << c;
    }
    EXPECT_EQ(Grid->GetColWidths(2), Grid->DefaultColWidth());
    EXPECT_EQ(Shown(5, 6), "0.00000");
    EXPECT_EQ(Render().at({5, 0}).Text, "C-5");
    ClickCell(5, 6);
    EXPECT_EQ(Grid->Selection(), (TGridRect{5, 6, 5, 6}));

    Grid->Data().Resize(2, 2);
    EXPECT_EQ(Grid->model()->columnCount(), 2);
    EXPECT_EQ(Grid->model()->rowCount(), 2);
    EXPECT_EQ(Grid->Selection().Right, 2);
    EXPECT_EQ(Grid->Selection().Bottom, 2);
    EXPECT_EQ(Grid->GetDecPlaces(3), 0);
    Grid->Data().SetNrOfColumns(3);
    EXPECT_EQ(Grid->GetDecPlaces(3), 3) << "the new column takes column 2's decimal places";
}

TEST_F(TableSyncTest, SizeChangesAreReportedAsSetupChanges) {
    QSignalSpy setup(Grid.get(), &TNTabEd::OnChangeSetup);
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    Grid->SetNrOfRows(20);
    Grid->SetNrOfColumns(8);
    EXPECT_EQ(setup.count(), 2);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(Grid->NrOfRows(), 20);
    EXPECT_EQ(Grid->NrOfColumns(), 8);
    EXPECT_EQ(Grid->verticalHeader()->count(), 20);
    Grid->SetNrOfRows(0); // a table keeps at least one row
    EXPECT_EQ(Grid->NrOfRows(), 20);
}

TEST_F(TableSyncTest, InsertAndRemoveByProgramRunAsOneChange) {
    FillDistinct();
    QSignalSpy setup(Grid.get(), &TNTabEd::OnChangeSetup);
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    Grid->InsertRow(5); // one past the last: appends
    EXPECT_EQ(Grid->NrOfRows(), 5);
    EXPECT_EQ(Grid->GetRowName(5), "");
    EXPECT_EQ(Grid->GetElem(3, 4), 34.0);
    EXPECT_EQ(setup.count(), 1);
    Grid->InsertRow(7);
    Grid->InsertRow(0);
    Grid->RemoveRow(6);
    Grid->InsertColumn(5);
    Grid->RemoveColumn(0);
    EXPECT_EQ(setup.count(), 1) << "numbers outside the table are ignored";
    Grid->InsertColumn(1);
    Grid->RemoveColumn(2);
    Grid->RemoveRow(5);
    EXPECT_EQ(setup.count(), 4);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(Grid->NrOfColumns(), 3);
    EXPECT_EQ(Grid->GetElem(1, 1), 0.0);
    EXPECT_EQ(Grid->GetElem(3, 4), 34.0);
    EXPECT_EQ(Shown(3, 4), "34.000");
}

TEST_F(TableSyncTest, TheSelectionStaysInsideAShrinkingTable) {
    SelectCells(2, 2, 3, 4);
    Grid->SetNrOfRows(3);
    Grid->SetNrOfColumns(2);
    const TGridRect sel = Grid->Selection();
    EXPECT_GE(sel.Left, 1);
    EXPECT_LE(sel.Right, 2);
    EXPECT_LE(sel.Bottom, 3);
    EXPECT_EQ(CornerText(), QString("%1:%2").arg(sel.Left).arg(sel.Top));
}

TEST_F(TableSyncTest, ValuesWrittenByTheHostShowAndAreReported) {
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    Grid->SetElem(2, 3, 1e-12);
    Grid->Data().SetElem(1, 1, -7.25);
    Grid->SetElem(9, 9, 1.0); // outside: nothing
    EXPECT_EQ(change.count(), 2);
    EXPECT_EQ(Shown(2, 3), " 1.0E-12");
    EXPECT_EQ(Shown(1, 1), "-7.250");
    EXPECT_EQ(Grid->GetElem(9, 9), 0.0);
}
