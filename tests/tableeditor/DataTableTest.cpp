// SPDX-License-Identifier: GPL-3.0-or-later
#include "tableeditor/Vexa_datatable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Records every notification of a table in order.
struct Recorder {
    explicit Recorder(TDataTable& table) {
        table.OnChange = [this](TDataTable&) { Log.push_back("change"); };
        table.OnChangeSetup = [this](TDataTable&) { Log.push_back("setup"); };
        table.OnChangeNames = [this](TDataTable&) { Log.push_back("names"); };
        table.OnChangeCellSt = [this](TDataTable&) { Log.push_back("cellstate"); };
        table.OnChangeAttrib = [this](TDataTable&) { Log.push_back("attrib"); };
        table.OnResize = [this](TDataTable&, int oc, int orows, int nc, int nr) {
            Log.push_back("resize " + std::to_string(oc) + "x" + std::to_string(orows) + " -> " +
                          std::to_string(nc) + "x" + std::to_string(nr));
        };
    }
    std::vector<std::string> Log;
};

// Every cell, name and attribute of the table distinguishable: value c * 10 + r, state
// (c + r) % 4 plus mark A on the diagonal, names "col c" and "row r", attributes 100 + c and
// 200 + r.
void FillDistinct(TDataTable& t) {
    for (int c = 1; c <= t.NrOfColumns(); ++c) {
        t.SetColName(c, QString("col %1").arg(c));
        t.SetColAttrib(c, static_cast<std::uint8_t>(100 + c));
        for (int r = 1; r <= t.NrOfRows(); ++r) {
            t.SetElem(c, r, c * 10 + r);
            t.SetCellState(
                c, r, static_cast<std::uint8_t>((c + r) % 4 | (c == r ? CellState::MarkA : 0)));
        }
    }
    for (int r = 1; r <= t.NrOfRows(); ++r) {
        t.SetRowName(r, QString("row %1").arg(r));
        t.SetRowAttrib(r, static_cast<std::uint8_t>(200 + r));
    }
}

// Checks that data cell (c, r) of the table holds what FillDistinct put in (oc, or).
void ExpectCellFrom(const TDataTable& t, int c, int r, int oc, int orow) {
    SCOPED_TRACE("cell " + std::to_string(c) + "," + std::to_string(r));
    EXPECT_EQ(t.GetElem(c, r), oc * 10 + orow);
    EXPECT_EQ(t.GetCellState(c, r), (oc + orow) % 4 | (oc == orow ? CellState::MarkA : 0));
}

void ExpectBlankCell(const TDataTable& t, int c, int r) {
    SCOPED_TRACE("blank cell " + std::to_string(c) + "," + std::to_string(r));
    EXPECT_EQ(t.GetElem(c, r), 0.0);
    EXPECT_EQ(t.GetCellState(c, r), CellState::Plain);
}

} // namespace

TEST(DataTable, StartsAsOneNumberedCell) {
    TDataTable t;
    EXPECT_EQ(t.NrOfColumns(), 1);
    EXPECT_EQ(t.NrOfRows(), 1);
    EXPECT_EQ(t.GetElem(1, 1), 0.0);
    EXPECT_EQ(t.GetCellState(1, 1), CellState::Plain);
    EXPECT_TRUE(t.GetIsNumber(1, 1));
    EXPECT_EQ(t.GetColName(1), "C-1");
    EXPECT_EQ(t.GetRowName(1), "R-1");
    EXPECT_EQ(t.GetColAttrib(1), 0);
    EXPECT_EQ(t.GetRowAttrib(1), 0);
    EXPECT_EQ(t.GetMScaleType(1), stInterval);
    EXPECT_TRUE(t.Comment().isEmpty());
}

TEST(DataTable, ResizeKeepsTheOverlapNamesNewColumnsAndReportsOldAndNewSize) {
    TDataTable t;
    t.Resize(3, 4);
    FillDistinct(t);
    Recorder rec(t);
    t.Resize(5, 2);
    EXPECT_EQ(rec.Log, std::vector<std::string>{"resize 3x4 -> 5x2"});
    ASSERT_EQ(t.NrOfColumns(), 5);
    ASSERT_EQ(t.NrOfRows(), 2);
    for (int c = 1; c <= 3; ++c)
        for (int r = 1; r <= 2; ++r)
            ExpectCellFrom(t, c, r, c, r);
    for (int c = 4; c <= 5; ++c)
        for (int r = 1; r <= 2; ++r)
            ExpectBlankCell(t, c, r);
    EXPECT_EQ(t.GetColName(3), "col 3");
    EXPECT_EQ(t.GetColName(4), "C-4");
    EXPECT_EQ(t.GetColName(5), "C-5");
    EXPECT_EQ(t.GetColAttrib(5), 0);
    EXPECT_EQ(t.GetMScaleType(5), stInterval);
    EXPECT_EQ(t.GetRowName(2), "row 2");
    EXPECT_EQ(t.GetRowName(3), ""); // dropped
    EXPECT_EQ(t.GetElem(1, 3), 0.0);

    // Growing again brings numbered rows, not the dropped ones.
    t.SetNrOfRows(12);
    EXPECT_EQ(t.GetRowName(3), "R-3");
    EXPECT_EQ(t.GetRowName(12), "R-12");
    ExpectBlankCell(t, 1, 3);
}

TEST(DataTable, ResizeToTheSameSizeOrBelowOneCellDoesNothing) {
    TDataTable t;
    t.Resize(3, 4);
    Recorder rec(t);
    t.Resize(3, 4);
    t.Resize(0, 4);
    t.Resize(3, -1);
    t.SetNrOfColumns(0);
    EXPECT_TRUE(rec.Log.empty());
    EXPECT_EQ(t.NrOfColumns(), 3);
    EXPECT_EQ(t.NrOfRows(), 4);
}

TEST(DataTable, InsertRowShiftsRowsWithTheirNamesAndLeavesAnUnnamedBlankRow) {
    struct Case {
        int Ix;
    };
    for (const Case k : {Case{1}, Case{3}, Case{5}}) {
        SCOPED_TRACE("insert at " + std::to_string(k.Ix));
        TDataTable t;
        t.Resize(3, 4);
        FillDistinct(t);
        Recorder rec(t);
        t.InsertRow(k.Ix);
        EXPECT_EQ(rec.Log, (std::vector<std::string>{"resize 3x4 -> 3x5", "setup"}));
        ASSERT_EQ(t.NrOfRows(), 5);
        for (int r = 1; r <= 5; ++r) {
            const int from = r < k.Ix ? r : r - 1;
            for (int c = 1; c <= 3; ++c) {
                if (r == k.Ix)
                    ExpectBlankCell(t, c, r);
                else
                    ExpectCellFrom(t, c, r, c, from);
            }
            EXPECT_EQ(t.GetRowName(r), r == k.Ix ? QString() : QString("row %1").arg(from));
            EXPECT_EQ(t.GetRowAttrib(r), r == k.Ix ? 0 : 200 + from);
        }
    }
}

TEST(DataTable, InsertColumnCarriesNamesAttributesAndScaleTypes) {
    TDataTable t;
    t.Resize(3, 2);
    FillDistinct(t);
    t.SetMScaleType(2, stRatio);
    Recorder rec(t);
    t.InsertColumn(2);
    EXPECT_EQ(rec.Log, (std::vector<std::string>{"resize 3x2 -> 4x2", "setup"}));
    ASSERT_EQ(t.NrOfColumns(), 4);
    const int from[] = {1, 0, 2, 3};
    for (int c = 1; c <= 4; ++c) {
        for (int r = 1; r <= 2; ++r) {
            if (from[c - 1] == 0)
                ExpectBlankCell(t, c, r);
            else
                ExpectCellFrom(t, c, r, from[c - 1], r);
        }
    }
    EXPECT_EQ(t.GetColName(2), "");
    EXPECT_EQ(t.GetColName(3), "col 2");
    EXPECT_EQ(t.GetColAttrib(2), 0);
    EXPECT_EQ(t.GetColAttrib(4), 103);
    EXPECT_EQ(t.GetMScaleType(2), stInterval);
    EXPECT_EQ(t.GetMScaleType(3), stRatio);
    EXPECT_EQ(t.GetRowName(1), "row 1");
}

TEST(DataTable, RemoveRowAndColumnCloseTheGap) {
    TDataTable t;
    t.Resize(3, 4);
    FillDistinct(t);
    Recorder rec(t);
    t.RemoveRow(2);
    t.RemoveColumn(1);
    EXPECT_EQ(rec.Log, (std::vector<std::string>{"resize 3x4 -> 3x3", "setup", "resize 3x3 -> 2x3",
                                                 "setup"}));
    ASSERT_EQ(t.NrOfColumns(), 2);
    ASSERT_EQ(t.NrOfRows(), 3);
    const int rowFrom[] = {1, 3, 4};
    for (int c = 1; c <= 2; ++c)
        for (int r = 1; r <= 3; ++r)
            ExpectCellFrom(t, c, r, c + 1, rowFrom[r - 1]);
    EXPECT_EQ(t.GetRowName(2), "row 3");
    EXPECT_EQ(t.GetRowAttrib(3), 204);
    EXPECT_EQ(t.GetColName(1), "col 2");
    EXPECT_EQ(t.GetColAttrib(2), 103);
}

TEST(DataTable, StructureChangesOutsideTheTableOrOfTheLastRowOrColumnDoNothing) {
    TDataTable t;
    t.Resize(1, 3);
    FillDistinct(t);
    Recorder rec(t);
    t.RemoveColumn(1); // the only column
    t.InsertRow(0);
    t.InsertRow(5);
    t.RemoveRow(0);
    t.RemoveRow(4);
    t.InsertColumn(3);
    t.InsertColumn(-1);
    t.Resize(3, 1);
    t.Resize(1, 1);
    rec.Log.clear();
    t.RemoveRow(1); // the only row
    t.RemoveColumn(1);
    EXPECT_TRUE(rec.Log.empty());
    EXPECT_EQ(t.NrOfColumns(), 1);
    EXPECT_EQ(t.NrOfRows(), 1);
    ExpectCellFrom(t, 1, 1, 1, 1);
}

TEST(DataTable, ReadsOutsideTheTableGiveZeroAndWritesThereChangeNothing) {
    TDataTable t;
    t.Resize(2, 3);
    FillDistinct(t);
    Recorder rec(t);
    const int cells[][2] = {{0, 1}, {1, 0}, {3, 1}, {1, 4}, {-1, -1}, {1 << 30, 1 << 30}};
    for (const auto& at : cells) {
        const int c = at[0], r = at[1];
        SCOPED_TRACE(std::to_string(c) + "," + std::to_string(r));
        EXPECT_EQ(t.GetElem(c, r), 0.0);
        EXPECT_EQ(t.GetCellState(c, r), CellState::Plain);
        EXPECT_FALSE(t.GetIsNumber(c, r));
        t.SetElem(c, r, 7);
        t.SetCellState(c, r, CellState::Empty);
    }
    for (const int c : {0, 3, -1, 1 << 30}) {
        EXPECT_EQ(t.GetColName(c), "");
        EXPECT_EQ(t.GetColAttrib(c), 0);
        EXPECT_EQ(t.GetMScaleType(c), stUnknown);
        t.SetColName(c, "x");
        t.SetColAttrib(c, 1);
        t.SetMScaleType(c, stNominal);
    }
    for (const int r : {0, 4, -1, 1 << 30}) {
        EXPECT_EQ(t.GetRowName(r), "");
        EXPECT_EQ(t.GetRowAttrib(r), 0);
        t.SetRowName(r, "x");
        t.SetRowAttrib(r, 1);
    }
    EXPECT_TRUE(rec.Log.empty());
    for (int c = 1; c <= 2; ++c)
        for (int r = 1; r <= 3; ++r)
            ExpectCellFrom(t, c, r, c, r);
}

TEST(DataTable, EachWriteSendsItsOwnNotification) {
    TDataTable t;
    t.Resize(2, 2);
    Recorder rec(t);
    t.SetElem(1, 2, 3.5);
    t.SetCellState(1, 2, CellState::Empty);
    t.SetCellState(1, 2, CellState::Empty); // unchanged: no notification
    t.SetColName(1, "Reading");
    t.SetRowAttrib(2, 9);
    t.SetMScaleType(2, stRatio);
    t.SetComment("calibrated");
    t.UnmarkAllCells();
    EXPECT_EQ(rec.Log, (std::vector<std::string>{"change", "cellstate", "names", "attrib", "setup",
                                                 "setup", "cellstate"}));
    EXPECT_EQ(t.GetElem(1, 2), 3.5);
    EXPECT_FALSE(t.GetIsNumber(1, 2));
}

TEST(DataTable, WritingAValueKeepsTheCellState) {
    TDataTable t;
    t.SetCellState(1, 1, CellState::Invalid | CellState::MarkB);
    t.SetElem(1, 1, 2.0);
    EXPECT_EQ(t.GetCellState(1, 1), CellState::Invalid | CellState::MarkB);
}

TEST(DataTable, IsNumberNeedsBothTheInvalidAndTheEmptyBitClear) {
    TDataTable t;
    const struct {
        std::uint8_t State;
        bool IsNumber;
    } cases[] = {{CellState::Plain, true},
                 {CellState::Invalid, false},
                 {CellState::Empty, false},
                 {CellState::Invalid | CellState::Empty, false},
                 {CellState::MarkA | CellState::MarkB | CellState::Imputed, true}};
    for (const auto& k : cases) {
        t.SetCellState(1, 1, k.State);
        EXPECT_EQ(t.GetIsNumber(1, 1), k.IsNumber) << int(k.State);
    }
}

TEST(DataTable, UnmarkAllCellsClearsOnlyTheMarks) {
    TDataTable t;
    t.Resize(2, 1);
    const std::uint8_t everyBit = 0xFF;
    t.SetCellState(1, 1, everyBit);
    t.SetCellState(2, 1, CellState::MarkA | CellState::Empty);
    t.UnmarkAllCells();
    EXPECT_EQ(t.GetCellState(1, 1), everyBit & ~(CellState::MarkA | CellState::MarkB));
    EXPECT_EQ(t.GetCellState(2, 1), CellState::Empty);
}

TEST(DataTable, NamesAreCutToFiftyCharacters) {
    TDataTable t;
    const QString sixty = QString("0123456789").repeated(6);
    t.SetColName(1, sixty);
    t.SetRowName(1, sixty);
    EXPECT_EQ(t.GetColName(1), sixty.left(50));
    EXPECT_EQ(t.GetRowName(1), sixty.left(50));
    // A character outside the basic plane is never cut in half.
    const QString wide = QString(49, 'x') + QString::fromUtf8("\xF0\x9D\x84\x9E") + "y";
    t.SetColName(1, wide);
    EXPECT_EQ(t.GetColName(1), QString(49, 'x'));
}

TEST(DataTable, CommentLosesItsControlCharacters) {
    TDataTable t;
    t.SetComment("line one\r\nline\ttwo\x01!");
    EXPECT_EQ(t.Comment(), "line onelinetwo!");
}

TEST(DataTable, ClearResetsEverythingButTheSizeAndReportsInOrder) {
    TDataTable t;
    t.Resize(3, 2);
    FillDistinct(t);
    t.SetMScaleType(1, stOrdinal);
    t.SetComment("old");
    Recorder rec(t);
    t.Clear();
    EXPECT_EQ(rec.Log,
              (std::vector<std::string>{"change", "names", "attrib", "cellstate", "setup"}));
    ASSERT_EQ(t.NrOfColumns(), 3);
    ASSERT_EQ(t.NrOfRows(), 2);
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(t.GetColName(c), QString("C-%1").arg(c));
        EXPECT_EQ(t.GetColAttrib(c), 0);
        EXPECT_EQ(t.GetMScaleType(c), stInterval);
        for (int r = 1; r <= 2; ++r)
            ExpectBlankCell(t, c, r);
    }
    EXPECT_EQ(t.GetRowName(2), "R-2");
    EXPECT_EQ(t.GetRowAttrib(2), 0);
    EXPECT_TRUE(t.Comment().isEmpty());
}

TEST(DataTable, NominalAndOrdinalColumnsReadWholeNumbers) {
    TDataTable t;
    t.Resize(4, 1);
    const TMScaleType types[] = {stNominal, stOrdinal, stInterval, stRatio};
    for (int c = 1; c <= 4; ++c) {
        t.SetMScaleType(c, types[c - 1]);
        t.SetElem(c, 1, 2.6);
    }
    EXPECT_EQ(t.GetElem(1, 1), 3.0);
    EXPECT_EQ(t.GetElem(2, 1), 3.0);
    EXPECT_EQ(t.GetElem(3, 1), 2.6);
    EXPECT_EQ(t.GetElem(4, 1), 2.6);
    EXPECT_EQ(t.NumericData().Elem(1, 1), 2.6); // the stored value stays
    EXPECT_EQ(ScaleTypeName(stOrdinal), "Ordinal");
}
