// SPDX-License-Identifier: GPL-3.0-or-later
// Running out of memory: every allocation the table editor makes is made to fail in turn, and
// each failure must surface as the component's exception with its message, leaving what was
// there intact. The program replaces the global allocation functions to do so.
#include "GridFixture.h"
#include "tableeditor/Vexa_datatable.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTableView>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

std::atomic<long> Countdown{0};       // fail the allocation that brings it to 0
std::atomic<std::size_t> FailFrom{0}; // fail every allocation of at least this many bytes
std::atomic<bool> Failed{false};      // an allocation was made to fail
std::atomic<long> Allocations{0};
std::atomic<std::size_t> Largest{0}; // the largest request so far

void* Allocate(std::size_t size) {
    ++Allocations;
    if (size > Largest)
        Largest = size;
    const std::size_t limit = FailFrom;
    if ((limit != 0 && size >= limit) || (Countdown > 0 && --Countdown == 0)) {
        Failed = true;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

// Fails every allocation of at least the given size while it lives.
class FailingFrom {
public:
    explicit FailingFrom(std::size_t size) { FailFrom = size; }
    ~FailingFrom() { FailFrom = 0; }
    FailingFrom(const FailingFrom&) = delete;
    FailingFrom& operator=(const FailingFrom&) = delete;
};

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

// Everything a table holds, for comparing before and after.
struct Snapshot {
    explicit Snapshot(const TDataTable& t) : Cols(t.NrOfColumns()), Rows(t.NrOfRows()) {
        Comment = t.Comment();
        for (int c = 1; c <= Cols; ++c) {
            Names.push_back(t.GetColName(c));
            Attribs.push_back(t.GetColAttrib(c));
            Attribs.push_back(t.GetMScaleType(c));
            for (int r = 1; r <= Rows; ++r) {
                Values.push_back(t.GetElem(c, r));
                Attribs.push_back(t.GetCellState(c, r));
            }
        }
        for (int r = 1; r <= Rows; ++r) {
            Names.push_back(t.GetRowName(r));
            Attribs.push_back(t.GetRowAttrib(r));
        }
    }
    bool operator==(const Snapshot&) const = default;
    int Cols, Rows;
    QString Comment;
    std::vector<QString> Names;
    std::vector<int> Attribs;
    std::vector<double> Values;
};

std::unique_ptr<TDataTable> FilledTable() {
    auto t = std::make_unique<TDataTable>("Curve");
    t->Resize(3, 4);
    for (int c = 1; c <= 3; ++c) {
        t->SetColName(c, QString("col %1").arg(c));
        t->SetColAttrib(c, static_cast<std::uint8_t>(c));
        for (int r = 1; r <= 4; ++r) {
            t->SetElem(c, r, c * 10 + r);
            t->SetCellState(c, r, static_cast<std::uint8_t>(r % 3));
        }
    }
    t->SetMScaleType(2, stRatio);
    t->SetComment("kept");
    return t;
}

// Runs the operation once for every allocation it makes, that allocation failing; returns
// how many allocation points were tried.
int FailEachAllocation(const std::function<void(TDataTable&)>& operation,
                       const std::string& message) {
    for (int k = 1; k < 100000; ++k) {
        auto table = FilledTable();
        const Snapshot before(*table);
        Failed = false;
        Countdown = k;
        try {
            operation(*table);
        } catch (const EVexaDataTableError& e) {
            Countdown = 0;
            EXPECT_EQ(e.what(), message) << "allocation " << k;
            EXPECT_TRUE(Snapshot(*table) == before) << "allocation " << k << " changed the table";
            continue;
        } catch (const std::bad_alloc&) {
            Countdown = 0;
            ADD_FAILURE() << "std::bad_alloc escaped at allocation " << k;
            continue;
        }
        Countdown = 0;
        EXPECT_FALSE(Failed) << "allocation " << k << " failed and the operation still succeeded";
        return k - 1;
    }
    ADD_FAILURE() << "the operation never got through";
    return 0;
}

} // namespace

TEST(DataTableOutOfMemory, EveryAllocationOfAStructureChangeFailsCleanly) {
    const struct {
        const char* Name;
        std::function<void(TDataTable&)> Operation;
    } cases[] = {
        {"grow", [](TDataTable& t) { t.Resize(5, 6); }},
        {"shrink", [](TDataTable& t) { t.Resize(2, 2); }},
        {"insert row", [](TDataTable& t) { t.InsertRow(2); }},
        {"insert column", [](TDataTable& t) { t.InsertColumn(1); }},
        {"remove row", [](TDataTable& t) { t.RemoveRow(3); }},
        {"remove column", [](TDataTable& t) { t.RemoveColumn(2); }},
        {"clear", [](TDataTable& t) { t.Clear(); }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Name);
        EXPECT_GT(FailEachAllocation(k.Operation, "Component \"Curve\": not enough memory on heap"),
                  0);
    }
}

TEST(DataTableOutOfMemory, CreationFailsWithItsOwnMessage) {
    int points = 0;
    for (int k = 1; k < 1000; ++k, ++points) {
        Failed = false;
        Countdown = k;
        try {
            TDataTable table("Curve");
            Countdown = 0;
            EXPECT_FALSE(Failed);
            break;
        } catch (const EVexaDataTableError& e) {
            Countdown = 0;
            EXPECT_STREQ(e.what(), "Component \"Curve\": failed to initialize (out of memory)");
        }
    }
    EXPECT_GT(points, 0);
}

TEST(DataTableOutOfMemory, ASizeBeyondAnyMemoryIsRefusedBeforeAllocating) {
    auto table = FilledTable();
    const Snapshot before(*table);
    Largest = 0;
    try {
        table->Resize(2147483647, 2147483647);
        ADD_FAILURE() << "no exception";
    } catch (const EVexaDataTableError& e) {
        EXPECT_STREQ(e.what(), "Component \"Curve\": not enough memory on heap");
    }
    EXPECT_TRUE(Snapshot(*table) == before);
    EXPECT_LT(Largest, 4096u) << "nothing of that size was requested";
}

using GridOutOfMemory = GridTest;

TEST_F(GridOutOfMemory, TooManyColumnsForTheDecimalPlacesLeaveTheGridAsItWas) {
    Grid->SetElem(3, 4, 2.5);
    {
        FailingFrom failing(1 << 20);
        try {
            Grid->SetNrOfColumns(5000000);
            ADD_FAILURE() << "no exception";
        } catch (const EVexaNTabedError& e) {
            EXPECT_STREQ(e.what(), "Component \"TestGrid\": not enough memory on heap");
        }
        try {
            Grid->SetNrOfRows(5000000);
            ADD_FAILURE() << "no exception";
        } catch (const EVexaDataTableError& e) {
            EXPECT_STREQ(e.what(), "Component \"TestGrid\": not enough memory on heap");
        }
    }
    EXPECT_EQ(Grid->NrOfColumns(), 3);
    EXPECT_EQ(Grid->NrOfRows(), 4);
    EXPECT_EQ(Grid->model()->columnCount(), 3);
    EXPECT_EQ(Shown(3, 4), "2.500");
    Grid->SetNrOfColumns(4);
    EXPECT_EQ(Grid->GetDecPlaces(4), 3);
}

TEST_F(GridOutOfMemory, AMenuCommandThatRunsOutOfMemoryReportsItAndKeepsTheTable) {
    Grid->SetNrOfRows(100000);
    Grid->SetElem(2, 100000, 7.0);
    {
        FailingFrom failing(1 << 20); // the value matrix of four columns needs 3.2 MB
        ColumnCommand(1, "Insert Column");
    }
    EXPECT_EQ(Grid->NrOfColumns(), 3);
    EXPECT_EQ(Grid->GetElem(2, 100000), 7.0);
    QMessageBox* box = nullptr;
    EXPECT_TRUE(WaitFor([&box, this] {
        box = Grid->findChild<QMessageBox*>();
        return box && box->isVisible();
    }));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Component \"TestGrid\": not enough memory on heap");
    box->close();
}

TEST(GridConstructionOutOfMemory, FailingTablesRaiseTheGridsError) {
    // The grid's body starts by creating its two tables, right after the base view. Count the
    // allocations of both, then fail each of them in turn.
    { TNTabEd warmUp; }
    long before = Allocations;
    { QTableView base; }
    const long baseAllocations = Allocations - before;
    before = Allocations;
    { TDataTable table("x"); }
    const long tableAllocations = Allocations - before;
    ASSERT_GT(tableAllocations, 0);
    for (long k = baseAllocations + 1; k <= baseAllocations + 2 * (tableAllocations + 1); ++k) {
        Failed = false;
        Countdown = k;
        try {
            TNTabEd grid(nullptr, "Results");
            Countdown = 0;
            ADD_FAILURE() << "allocation " << k << " did not fail the construction";
        } catch (const EVexaNTabedError& e) {
            Countdown = 0;
            EXPECT_STREQ(e.what(),
                         "Component \"Results\": failed to initialize table editor (out of memory)")
                << "allocation " << k;
        }
        EXPECT_TRUE(Failed);
    }
}
