// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ResultsView.h"

#include "core/Defaults.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "support/EquilibriumSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

// A finished run by hand: species H2 and H2O, gases H2O and H2, cell 2 fed.
class ResultsViewTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        FakeFinishedRun();
    }
};

} // namespace

TEST_F(ResultsViewTest, FourViewsOfTheSameResults) {
    const struct {
        ResultsView View;
        const char* Caption;
        const char* Title;
        const char* Row1;
        int Decimals;
        const char* Cell2Row1;
        const char* Cell2Row2;
    } cases[] = {
        {{true, true},
         "Results - Logarithmic at Cell equilibrium",
         "Cell equilibrium, log10 of partial pressures (bar)",
         "H2",
         5,
         "-2.00000",
         "-308.00000"},
        {{true, false},
         "Results - Linear at Cell equilibrium",
         "Cell equilibrium, partial pressures (bar)",
         "H2",
         -4,
         "1.0000E-02",
         "9.9999E-321"},
        {{false, false},
         "Results - Linear at Room temperature",
         "Gas as fed, mole fractions",
         "H2O",
         6,
         "0.250000",
         "0.750000"},
        {{false, true},
         "Results - Logarithmic at Room temperature",
         "Gas as fed, log10 of mole fractions",
         "H2O",
         5,
         "-0.60206",
         "-0.12494"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Caption);
        const ResultsView& view = c.View;
        EXPECT_EQ(view.Caption(), c.Caption);
        EXPECT_EQ(view.Title(), c.Title);
        EXPECT_EQ(view.Rows(), 2);
        EXPECT_EQ(view.RowName(1), c.Row1);
        EXPECT_EQ(view.Decimals(), c.Decimals);
        const auto text = [&](int row) {
            const std::optional<long double> shown = view.Shown(view.Value(2, row));
            return shown ? view.Text(*shown) : std::string("(empty)");
        };
        EXPECT_EQ(text(1), c.Cell2Row1);
        EXPECT_EQ(text(2), c.Cell2Row2);
        // Cell 3: a negative amount, or no feed; neither has a logarithm.
        EXPECT_EQ(view.Shown(view.Value(3, 1)).has_value(), !view.Logarithmic);
        // Cell 5 had no answer: no value in either scale; its feed (none) is 0.
        EXPECT_EQ(view.Shown(view.Value(5, 1)).has_value(), !view.Equilibrium && !view.Logarithmic);
    }
}

TEST_F(ResultsViewTest, OnlyPositiveValuesHaveALogarithm) {
    const ResultsView logarithmic{true, true};
    const ResultsView linear{true, false};
    const struct {
        long double Value;
        std::optional<long double> Logarithm;
        bool Linear; // shown as itself in the linear view
    } cases[] = {
        {100, 2, true},
        {1e-320L, -308, true},
        {0, std::nullopt, true},
        {-0.0L, std::nullopt, true},
        {-1e-9L, std::nullopt, true},
        // No answer (a cell the exact solver could not solve): no value in any view.
        {std::nanl(""), std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.Value));
        EXPECT_EQ(logarithmic.Shown(c.Value), c.Logarithm);
        EXPECT_EQ(linear.Shown(c.Value), c.Linear ? std::optional(c.Value) : std::nullopt);
    }
}

TEST_F(ResultsViewTest, ACellsBestErrorIsShownOnceItHasMadeAPassAndHasAnAnswer) {
    const struct {
        const char* Title;
        int Passes;
        long double Error;
        const char* Text;
    } cases[] = {
        {"before the first pass", 0, 0, ""},
        {"after a pass", 3, 9.1949e-7L, "9.19E-07"},
        {"an exact answer", 1, 2.5e-19L, "2.50E-19"},
        {"no answer to measure", 1, std::nanl(""), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Title);
        CellPasses[2] = c.Passes;
        CellBestError[2] = c.Error;
        EXPECT_EQ(ResultsView::BestErrorText(2), c.Text);
        EXPECT_EQ(ResultsView::BestError(2).has_value(), *c.Text != '\0');
        if (*c.Text != '\0') {
            EXPECT_EQ(ResultsView::BestError(2), c.Error);
        }
    }
}

TEST_F(ResultsViewTest, ColumnsAreTheCellsByNumberAndName) {
    EXPECT_EQ(ResultsView::Columns, CellCount);
    EXPECT_EQ(ResultsView::ColumnName(2), "OC 2; Furnace");
    EXPECT_EQ(ResultsView::ColumnName(3), "OC 3; ");
}

TEST_F(ResultsViewTest, TheWindowsViewFollowsItsSwitchesAndWithoutARunHasNoRows) {
    ShowEquilibrium = 0;
    ShowLogarithmic = 0;
    EXPECT_EQ(ResultsView::Shown().Caption(), "Results - Linear at Room temperature");
    ShowEquilibrium = 1;
    EqSpeciesCount = 0;
    EXPECT_EQ(ResultsView::Shown().Rows(), 0);
    GasCount = 0;
    EXPECT_EQ((ResultsView{false, true}.Rows()), 0);
}
