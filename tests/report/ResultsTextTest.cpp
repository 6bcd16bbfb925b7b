// SPDX-License-Identifier: GPL-3.0-or-later
// The results table as tab-separated text for a spreadsheet.
#include "report/ResultsText.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "support/EquilibriumSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::vector<std::string>> Fields(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab = line.find('\t'); tab != std::string::npos;
             start = tab + 1, tab = line.find('\t', start))
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        lines.push_back(fields);
    }
    return lines;
}

// A finished run by hand (see FakeFinishedRun): species H2 and H2O, gases H2O and H2, cell 2
// "Furnace" fed, cell 3 without a name; the other cells keep the start-up name "None".
class ResultsText : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        FakeFinishedRun();
    }
};

TEST_F(ResultsText, HeadingsThenOneLinePerRowWithEveryColumn) {
    const std::string text = TabSeparatedResults({true, true});
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "Species\tOC 1; None\tOC 2; Furnace\tOC 3; \tOC 4; None\tOC 5; None\tOC 6; None\t"
              "OC 7; None\tOC 8; None");
    const auto lines = Fields(text);
    ASSERT_EQ(lines.size(), 3u);
    // Empty where the logarithm has no value: a cell without amounts, a negative amount.
    EXPECT_EQ(lines[1], (std::vector<std::string>{"H2", "", "-2", "", "", "", "", "", ""}));
    EXPECT_EQ(lines[2], (std::vector<std::string>{"H2O", "", "-308", "", "", "", "", "", ""}));
    EXPECT_EQ(text.back(), '\n');

    // The feed view names its rows after the gases.
    EXPECT_EQ(Fields(TabSeparatedResults({false, false}))[0][0], "Gas");
}

TEST_F(ResultsText, EveryValueInFullAsTheViewShowsIt) {
    CellFeed[2][1].Fraction = 1.0 / 3;
    CellBestAmounts[2][1] = 0.0123456789012345678L;
    struct Case {
        ResultsView View;
        int Row;
        const char* Value; // cell 2 of that row
    };
    const Case cases[] = {
        // The table shows 0.333333; the copy holds every digit the double has.
        {{false, false}, 1, "0.3333333333333333"},
        {{true, false}, 1, "0.012345678901234568"},
        // Below the logarithm's clamp the view shows -308, and so does the copy.
        {{true, true}, 2, "-308"},
        {{true, false}, 2, "1e-320"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.View.Caption());
        const auto lines = Fields(TabSeparatedResults(c.View));
        ASSERT_GT(lines.size(), std::size_t(c.Row));
        EXPECT_EQ(lines[std::size_t(c.Row)][2], c.Value);
    }
    // Each field reads back as the very double the view shows.
    for (const bool equilibrium : {true, false}) {
        for (const bool logarithmic : {true, false}) {
            const ResultsView view{equilibrium, logarithmic};
            const auto lines = Fields(TabSeparatedResults(view));
            ASSERT_EQ(lines.size(), std::size_t(view.Rows()) + 1);
            for (int row = 1; row <= view.Rows(); ++row) {
                ASSERT_EQ(lines[std::size_t(row)].size(), std::size_t(ResultsView::Columns) + 1);
                for (int c = 1; c <= ResultsView::Columns; ++c) {
                    const std::string& field = lines[std::size_t(row)][std::size_t(c)];
                    const std::optional<long double> shown = view.Shown(view.Value(c, row));
                    ASSERT_EQ(field.empty(), !shown) << row << "," << c;
                    if (shown) {
                        EXPECT_EQ(std::strtod(field.c_str(), nullptr), static_cast<double>(*shown))
                            << field;
                    }
                }
            }
        }
    }
}

TEST_F(ResultsText, ANameThatHoldsATabOrALineBreakStaysOneField) {
    Cells[4].Name.Set("a\tb\nc");
    const auto lines = Fields(TabSeparatedResults({true, true}));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0][4], "OC 4; a b c");
    for (const auto& line : lines)
        EXPECT_EQ(line.size(), std::size_t(ResultsView::Columns) + 1);
}

TEST_F(ResultsText, WithoutRowsOnlyTheHeadings) {
    EqSpeciesCount = 0;
    const std::string text = TabSeparatedResults({true, true});
    EXPECT_EQ(Fields(text).size(), 1u);
    EXPECT_EQ(text.rfind("Species\tOC 1; None\t", 0), 0u);
}

} // namespace
