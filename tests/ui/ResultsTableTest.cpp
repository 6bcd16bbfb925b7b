// The results table: views, captions, column names and empty cells.
#include "DrawnText.h"
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "support/EquilibriumSetup.h"
#include "tableeditor/Vexa_ntabed.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>

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

} // namespace
