// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SetupTables.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Text, StoringCutsToCapacityAndClearsTheRest) {
    struct Case {
        const char* stored;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},
        {"H2O", "H2O"},
        {"123456789012", "123456789012"},
        {"1234567890123", "123456789012"},
        {"A much longer mixture name", "A much longe"},
    };
    for (const Case& c : cases) {
        Text<12> t;
        std::memset(&t, 'x', sizeof t);
        t.Set(c.stored);
        EXPECT_EQ(t.Str(), c.expected) << c.stored;
        EXPECT_EQ(t.Length, t.Str().size());
        for (std::size_t i = t.Length; i < 12; ++i)
            EXPECT_EQ(t.Chars[i], 0) << "byte " << i << " after " << c.stored;
    }
    Text<8> eight;
    eight.Set("Brooks-Instruments");
    EXPECT_EQ(eight.Str(), "Brooks-I");
}

TEST(Text, ComparisonsAreExactAndCaseSensitive) {
    Text<12> o2;
    o2.Set("O2");
    EXPECT_TRUE(o2 == "O2");
    EXPECT_FALSE(o2 == "o2");
    EXPECT_FALSE(o2 == "O2 ");
    EXPECT_FALSE(o2 == " O2");
    EXPECT_FALSE(o2 == "O");
    Text<8> alsoO2;
    alsoO2.Set("O2");
    EXPECT_TRUE(o2 == alsoO2);
}

TEST(Text, LengthByteAboveCapacityCountsAsCapacity) {
    Text<8> t;
    std::memcpy(t.Chars, "ABCDEFGH", 8);
    t.Length = 255;
    EXPECT_EQ(t.Len(), 8u);
    EXPECT_EQ(t.Str(), "ABCDEFGH");
    EXPECT_TRUE(t == "ABCDEFGH");
}

TEST(IndexedTable, IndexesFromItsFirstNumber) {
    IndexedTable<int, 1, 3> t{};
    t[1] = 10;
    t[3] = 30;
    EXPECT_EQ(t.Items[0], 10);
    EXPECT_EQ(t.Items[2], 30);
    EXPECT_TRUE(t.Contains(1));
    EXPECT_FALSE(t.Contains(0));
    EXPECT_FALSE(t.Contains(4));
}

TEST(IndexedTableDeathTest, IndexOutsideTheRangeStopsTheProgram) {
    EXPECT_DEATH({ (void)Cells[9]; }, "table index 9 outside 1..8");
    EXPECT_DEATH({ (void)Mixtures[0]; }, "table index 0 outside 1..32");
    EXPECT_DEATH({ (void)Calibrations[1].Point[21]; }, "table index 21 outside 1..20");
}
