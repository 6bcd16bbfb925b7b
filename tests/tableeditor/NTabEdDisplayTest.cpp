// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridFixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

using DisplayTest = GridTest;

TEST_F(DisplayTest, StartsAsAThreeByFourTableWithNumberedNamesAndTheCornerAtOneOne) {
    TNTabEd fresh;
    EXPECT_EQ(fresh.NrOfColumns(), 3);
    EXPECT_EQ(fresh.NrOfRows(), 4);
    EXPECT_EQ(fresh.ColOffset(), 1); // the attribute column shows until the host hides it
    EXPECT_EQ(fresh.RowOffset(), 0);
    EXPECT_EQ(fresh.GetColName(3), "C-3");
    EXPECT_EQ(fresh.GetRowName(4), "R-4");
    for (int c = 1; c <= 3; ++c)
        EXPECT_EQ(fresh.GetDecPlaces(c), 3);
    EXPECT_EQ(fresh.GetColWidths(0), 80);
    EXPECT_EQ(fresh.GetColWidths(-1), 32);
    EXPECT_EQ(fresh.NumWidth(), 1);
    EXPECT_TRUE(fresh.AutoAdvance());
    EXPECT_TRUE(fresh.ClipboardUseFullPrec());
    EXPECT_FALSE(fresh.DataReadOnly());
    EXPECT_EQ(CornerText(), "1:1");
}

TEST_F(DisplayTest, CornerFollowsArrowKeysAndClicks) {
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(CornerText(), "2:3");
    ClickCell(3, 1);
    EXPECT_EQ(CornerText(), "3:1");
    SelectCells(3, 4, 1, 2); // dragged up and left: the corner shows the top-left cell
    EXPECT_EQ(CornerText(), "1:2");
}

TEST_F(DisplayTest, CellTextByStateEmptyWinsOverInvalid) {
    const struct {
        std::uint8_t State;
        const char* Text;
    } cases[] = {
        {CellState::Plain, "2.500"},
        {CellState::Invalid, "-nan-"},
        {CellState::Empty, ""},
        {CellState::Invalid | CellState::Empty, ""},
        {CellState::MarkA | CellState::Imputed, "2.500"},
    };
    for (const auto& k : cases) {
        Grid->SetElem(2, 3, 2.5);
        Grid->SetCellState(2, 3, k.State);
        EXPECT_EQ(Shown(2, 3), k.Text) << int(k.State);
    }
}

TEST_F(DisplayTest, CellsFollowNumWidthAndTheColumnsDecimalPlaces) {
    Grid->SetElem(1, 1, 12345.678);
    Grid->SetElem(2, 1, 0.0123);
    Grid->SetDecPlaces(1, -1);
    Grid->SetDecPlaces(2, 6);
    Grid->SetNumWidth(5);
    EXPECT_EQ(Shown(1, 1), " 1.2346E+04");
    EXPECT_EQ(Shown(2, 1), "0.012300");
    Grid->SetNumWidth(16);
    EXPECT_EQ(Shown(2, 1), "        0.012300");
    Grid->SetElem(2, 1, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(Shown(2, 1), "             Nan");
}

TEST_F(DisplayTest, NumWidthOutsideOneToTwentyIsIgnoredButReportedAsLayout) {
    QSignalSpy layout(Grid.get(), &TNTabEd::OnLayoutChanged);
    Grid->SetNumWidth(7);
    Grid->SetNumWidth(0);
    Grid->SetNumWidth(21);
    EXPECT_EQ(Grid->NumWidth(), 7);
    EXPECT_EQ(layout.count(), 3);
}

TEST_F(DisplayTest, DecimalPlacesAreLimitedToMinusOneAndTen) {
    const struct {
        std::int8_t Given;
        std::uint8_t Read;
    } cases[] = {{static_cast<std::int8_t>(252), 255}, {-1, 255}, {15, 10}, {0, 0}, {8, 8}};
    for (const auto& k : cases) {
        Grid->SetDecPlaces(2, k.Given);
        EXPECT_EQ(Grid->GetDecPlaces(2), k.Read) << int(k.Given);
    }
    Grid->SetDecPlaces(0, 5); // outside the table: ignored
    Grid->SetDecPlaces(4, 5);
    EXPECT_EQ(Grid->GetDecPlaces(0), 0);
    EXPECT_EQ(Grid->GetDecPlaces(4), 0);
    EXPECT_EQ(Grid->GetDecPlaces(1), 3);
}

TEST_F(DisplayTest, MarksColourTheTextAndWinOverTheSelection) {
    Grid->SetCellState(1, 1, CellState::MarkA);
    Grid->SetCellState(2, 1, CellState::MarkB);
    Grid->SetCellState(3, 1, CellState::MarkA | CellState::MarkB);
    SelectCells(1, 1, 2, 2);
    const auto drawn = Render();
    const struct {
        int Col, Row;
        QColor Text, Background;
        bool Bold;
    } cases[] = {
        {1, 1, QColor(255, 0, 0), QColor(224, 232, 248), true},
        {2, 1, QColor(0, 0, 255), QColor(224, 232, 248), true},
        {3, 1, QColor(187, 0, 204), Grid->ColorBackground(), true},
        {1, 2, QColor(44, 85, 128), QColor(224, 232, 248), false}, // selected, unmarked
        {3, 2, QColor(0, 32, 0), Grid->ColorBackground(), false},  // neither
    };
    for (const auto& k : cases) {
        const Rendered& r = drawn.at({k.Col, k.Row});
        EXPECT_EQ(r.TextColor, k.Text) << k.Col << "," << k.Row;
        EXPECT_EQ(r.Background, k.Background) << k.Col << "," << k.Row;
        EXPECT_EQ(r.Bold, k.Bold) << k.Col << "," << k.Row;
    }
    Grid->SetBoldMarks(false);
    EXPECT_FALSE(Render().at({1, 1}).Bold);
}

TEST_F(DisplayTest, HeadersOfTheSelectionsTopRowAndLeftColumnStandOut) {
    SelectCells(2, 3, 3, 4);
    const auto drawn = Render();
    EXPECT_EQ(drawn.at({0, 3}).Text, "R-3");
    EXPECT_EQ(drawn.at({0, 3}).TextColor, QColor(64, 64, 64));
    EXPECT_TRUE(drawn.at({0, 3}).Bold);
    EXPECT_EQ(drawn.at({0, 4}).TextColor, QColor(0, 32, 0));
    EXPECT_FALSE(drawn.at({0, 4}).Bold);
    EXPECT_EQ(drawn.at({2, 0}).Text, "C-2");
    EXPECT_TRUE(drawn.at({2, 0}).Bold);
    EXPECT_FALSE(drawn.at({3, 0}).Bold);
    EXPECT_EQ(drawn.at({2, 0}).Background, Grid->ColorFixed());
}

TEST_F(DisplayTest, TheDrawnPixelsCarryTheCellColours) {
    Grid->SetElem(2, 2, 888.0);
    Grid->SetCellState(2, 2, CellState::MarkA);
    ClickCell(3, 3);
    const QImage image = Grid->viewport()->grab().toImage();
    const QRect marked = Grid->visualRect(Grid->model()->index(1, 1));
    int red = 0;
    for (int x = marked.left(); x <= marked.right(); ++x)
        for (int y = marked.top(); y <= marked.bottom(); ++y)
            red += image.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 5) << "the marked cell's text is drawn in red";
    const QPoint selected =
        Grid->visualRect(Grid->model()->index(2, 2)).bottomRight() - QPoint(3, 2);
    EXPECT_EQ(image.pixelColor(selected), QColor(224, 232, 248));
}

TEST_F(DisplayTest, HostCanChangeWhatACellShowsBeforeItIsDrawn) {
    Grid->OnBeforeRenderCell = [](int c, int r, QString& text, QColor& fg, QColor&, QFont&) {
        if (c == 1 && r == 1) {
            text = "XXXXXXXX";
            fg = QColor(0, 200, 0);
        }
    };
    const QImage image = Grid->viewport()->grab().toImage();
    Grid->OnBeforeRenderCell = nullptr;
    const QRect cell = Grid->visualRect(Grid->model()->index(0, 0));
    int green = 0;
    for (int x = cell.left(); x <= cell.right(); ++x)
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            green += image.pixelColor(x, y) == QColor(0, 200, 0);
    EXPECT_GT(green, 5);
}

TEST_F(DisplayTest, AttributeColumnAndRowShiftTheDataCells) {
    Grid->SetRowAttrib(2, 7);
    Grid->SetColAttrib(1, 9);
    Grid->SetElem(1, 2, 4.0);
    Grid->SetAttribRowVisible(true);
    Grid->SetAttribColVisible(true);
    EXPECT_EQ(Grid->ColOffset(), 1);
    EXPECT_EQ(Grid->RowOffset(), 1);
    const auto drawn = Render();
    EXPECT_EQ(drawn.at({2, 3}).Text, "4.000"); // data cell (1, 2)
    EXPECT_EQ(drawn.at({1, 3}).Text, "7");     // row 2's attribute
    EXPECT_EQ(drawn.at({2, 1}).Text, "9");     // column 1's attribute
    EXPECT_EQ(drawn.at({0, 3}).Text, "R-2");
    EXPECT_EQ(drawn.at({2, 0}).Text, "C-1");
    EXPECT_EQ(drawn.at({1, 0}).Text, "Attrib");
    EXPECT_EQ(drawn.at({0, 1}).Text, "Attribute");
    ClickCell(1, 2);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 3, 2, 3}));
    EXPECT_EQ(CornerText(), "1:2");
    Grid->SetAttribRowVisible(false);
    Grid->SetAttribColVisible(false);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 2, 1, 2}));
    EXPECT_EQ(Shown(1, 2), "4.000");
}

TEST_F(DisplayTest, ClearKeepsSizeAndWidthsButResetsTheRest) {
    FillDistinct();
    Grid->SetColWidths(2, 111);
    Grid->SetDecPlaces(2, 6);
    Grid->SetColName(2, "Flow");
    Grid->SetCellState(1, 1, CellState::MarkB);
    Grid->Data().SetComment("old curve");
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    Grid->Clear();
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(Grid->NrOfColumns(), 3);
    EXPECT_EQ(Grid->NrOfRows(), 4);
    EXPECT_EQ(Grid->GetColWidths(2), 111);
    EXPECT_EQ(Grid->GetDecPlaces(2), 3);
    EXPECT_EQ(Grid->GetColName(2), "C-2");
    EXPECT_EQ(Grid->GetCellState(1, 1), CellState::Plain);
    EXPECT_EQ(Grid->GetElem(3, 4), 0.0);
    EXPECT_TRUE(Grid->Data().Comment().isEmpty());
    EXPECT_EQ(Shown(3, 4), "0.000");
}

TEST_F(DisplayTest, NamesAreCutToFiftyCharactersAndReported) {
    QSignalSpy headings(Grid.get(), &TNTabEd::OnHeadingChanged);
    const QString sixty = QString("abcdefghij").repeated(6);
    Grid->SetColName(1, sixty);
    Grid->SetRowName(2, "Ar");
    EXPECT_EQ(Grid->GetColName(1), sixty.left(50));
    EXPECT_EQ(headings.count(), 2);
    EXPECT_EQ(Render().at({1, 0}).Text, sixty.left(50));
    Grid->SetColName(9, "outside");
    Grid->SetRowName(0, "outside");
    EXPECT_EQ(headings.count(), 2);
    EXPECT_EQ(Grid->GetColName(9), "");
}

TEST_F(DisplayTest, SuppressedPaintingDrawsNothingAndHoldsBackChangeNotifications) {
    QSignalSpy change(Grid.get(), &TNTabEd::OnChange);
    QSignalSpy state(Grid.get(), &TNTabEd::OnCellStateChanged);
    Grid->SetSuppressPaint(true);
    Grid->SetElem(1, 1, 5);
    Grid->SetCellState(1, 1, CellState::MarkA);
    EXPECT_TRUE(Render().empty());
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(state.count(), 0);
    int drawnAtOnce = 0;
    Grid->OnBeforeRenderCell = [&drawnAtOnce](int, int, QString&, QColor&, QColor&, QFont&) {
        ++drawnAtOnce;
    };
    Grid->SetSuppressPaint(false); // repaints before returning
    Grid->OnBeforeRenderCell = nullptr;
    EXPECT_GT(drawnAtOnce, 0);
    Grid->SetElem(1, 1, 6);
    EXPECT_EQ(change.count(), 1);
}

TEST_F(DisplayTest, SetCellStateReportsEvenOutsideTheTable) {
    QSignalSpy state(Grid.get(), &TNTabEd::OnCellStateChanged);
    Grid->SetCellState(9, 9, CellState::Empty);
    EXPECT_EQ(state.count(), 1);
    EXPECT_EQ(Grid->GetCellState(9, 9), CellState::Plain);
}

TEST_F(DisplayTest, WidthsOfDataNameAndAttributeColumns) {
    QSignalSpy layout(Grid.get(), &TNTabEd::OnLayoutChanged);
    Grid->SetColWidths(0, 80);
    Grid->SetColWidths(1, 111);
    Grid->SetColWidths(2, 78);
    EXPECT_EQ(Grid->GetColWidths(1), 111);
    EXPECT_EQ(Grid->GetColWidths(2), 78);
    EXPECT_EQ(Grid->verticalHeader()->width(), 80);
    Grid->SetColWidths(-1, 40); // the attribute column is hidden: ignored
    EXPECT_EQ(Grid->GetColWidths(-1), 0);
    Grid->SetAttribRowVisible(true);
    EXPECT_EQ(Grid->GetColWidths(-1), 32);
    Grid->SetColWidths(-1, 40);
    EXPECT_EQ(Grid->GetColWidths(-1), 40);
    EXPECT_EQ(Grid->verticalHeader()->width(), 120);
    EXPECT_EQ(Grid->GetColWidths(1), 111); // data columns keep their widths
    EXPECT_GE(layout.count(), 5);
}

TEST_F(DisplayTest, TopLeftIsClampedToTheTable) {
    Grid->SetNrOfRows(200);
    QSignalSpy topLeft(Grid.get(), &TNTabEd::OnTopLeftChanged);
    Grid->SetTopRow(50);
    EXPECT_EQ(Grid->TopRow(), 50);
    EXPECT_EQ(topLeft.count(), 1);
    Grid->SetTopRow(-3);
    EXPECT_EQ(Grid->TopRow(), 1);
    Grid->SetLeftCol(99);
    EXPECT_GE(Grid->LeftCol(), 1);
    EXPECT_LE(Grid->LeftCol(), 3);
}

TEST_F(DisplayTest, RowHeightsFollowTheFontWhenOptimized) {
    EXPECT_EQ(Grid->rowHeight(0), 18);
    EXPECT_EQ(Grid->horizontalHeader()->height(), 18);
    Grid->SetOptimizeRowHeight(true);
    QFont big = Grid->font();
    big.setPixelSize(30);
    Grid->setFont(big);
    const int fitted = Grid->rowHeight(0);
    EXPECT_GT(fitted, 30);
    EXPECT_EQ(Grid->rowHeight(3), fitted);
    EXPECT_EQ(Grid->horizontalHeader()->height(), fitted);
    Grid->SetOptimizeRowHeight(false);
    EXPECT_EQ(Grid->rowHeight(0), 18);
}
