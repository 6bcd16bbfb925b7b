// The results table: views, captions, column names and empty cells.
#include "WindowFixture.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "tableeditor/Vexa_ntabed.h"

#include <QLabel>
#include <QPushButton>

#include <cmath>
#include <limits>

namespace {

using ResultsTableTest = StartedWindowTest;

int CompoundNumber(const std::string& formula) {
    for (int i = 1; i <= CompoundCount; ++i)
        if (Compounds[i].Formula == formula)
            return i;
    return 0;
}

// A finished run's lists by hand: species H2 and H2O, gases H2 and H2O, cell 2 fed. Cell 2's
// last pass gave up, so that its run would start again from the neutral point; the table shows
// the best point. Cell 4 had no answer at all.
void FakeResults() {
    EqSpecies[1] = static_cast<std::uint16_t>(CompoundNumber("H2"));
    EqSpecies[2] = static_cast<std::uint16_t>(CompoundNumber("H2O"));
    EqSpeciesCount = 2;
    GasList[1].Set("H2O");
    GasList[2].Set("H2");
    GasCount = 2;
    CellAmounts[2][1] = CellAmounts[2][2] = 1;
    CellBestAmounts[2][1] = 0.01;
    CellBestAmounts[2][2] = 1e-320; // below the clamp: shows as -308
    CellBestAmounts[3][1] = -1e-9;  // a negative amount has no logarithm
    CellBestAmounts[4][1] = std::numeric_limits<long double>::quiet_NaN();
    CellFeed[2][1].Fraction = 0.25;
    CellFeed[2][2].Fraction = 0.75;
    Cells[2].Name.Set("Furnace");
    Cells[3].Name.Set("");
}

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
    FakeResults();
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
        bool Cell4Row1Empty;
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
        EXPECT_EQ(t.IsEmpty(4, 1), v.Cell4Row1Empty);
    }
    EXPECT_EQ(Form->Button3->text(), "Logarithmic");
    EXPECT_EQ(Form->Button5->text(), "Room temperature");
}

TEST_F(ResultsTableTest, ColumnRefreshShowsTheRunsCurrentAmounts) {
    FakeResults();
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

} // namespace
