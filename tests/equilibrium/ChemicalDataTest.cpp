// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/ChemicalData.h"

#include <gtest/gtest.h>

#include <vector>

class ChemicalData : public ::testing::Test {
protected:
    void SetUp() override {
        SetupElements();
        SetupCompounds();
    }
};

TEST_F(ChemicalData, ElementTableHoldsItsRowsAndBlanksElsewhere) {
    struct Row {
        int Number;
        const char* Symbol;
        int Atomicity;
        const char* State;
    };
    const Row rows[] = {{1, "H", 2, "g"},   {2, "He", 1, "g"},  {6, "C", 1, "s"},
                        {7, "N", 2, "g"},   {8, "O", 2, "g"},   {17, "Cl", 2, "g"},
                        {18, "Ar", 1, "g"}, {122, "D", 2, "g"}, {123, "T", 2, "g"},
                        {16, "", 0, ""},    {19, "", 0, ""},    {121, "", 0, ""}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Number);
        EXPECT_EQ(Elements[r.Number].Symbol.Str(), r.Symbol);
        EXPECT_EQ(Elements[r.Number].Atomicity, r.Atomicity);
        EXPECT_EQ(Elements[r.Number].StateCode.Str(), r.State);
        EXPECT_FALSE(Elements[r.Number].Used);
    }
}

TEST_F(ChemicalData, ThirteenSpeciesInTheirOrder) {
    ASSERT_EQ(CompoundCount, 13);
    const std::vector<std::string> formulas = {"H2", "D2",  "C(s)", "N2", "O2",  "Ar", "He",
                                               "O3", "H2O", "D2O",  "CO", "CO2", "NH3"};
    for (int i = 1; i <= 13; ++i)
        EXPECT_EQ(Compounds[i].Formula, formulas[std::size_t(i - 1)]);
    for (int i = 14; i <= 20; ++i) {
        EXPECT_TRUE(Compounds[i].Formula.empty());
        EXPECT_TRUE(Compounds[i].Enabled);
        EXPECT_FALSE(Compounds[i].EIMSF);
    }
}

TEST_F(ChemicalData, RowsCarryTheirDataExactly) {
    const CompoundRecord& water = Compounds[9];
    EXPECT_EQ(water.Name, "Water vapour");
    EXPECT_EQ(water.Composition[1], 2.0);
    EXPECT_EQ(water.Composition[8], 1.0);
    double others = 0;
    for (int e = 1; e <= 123; ++e)
        if (e != 1 && e != 8)
            others += water.Composition[e];
    EXPECT_EQ(others, 0.0);
    EXPECT_EQ(water.Phase, Gaseous);
    EXPECT_EQ(water.S, 188.832);
    EXPECT_EQ(water.dH, -241.827);
    EXPECT_TRUE(water.Enabled);
    EXPECT_FALSE(water.EIMSF);
    EXPECT_FALSE(water.Selected);
    const double row3[] = {51.191, 2.69, -180.201, -0.18, 1600, 6000};
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(water.HSCData[3][k], row3[k - 1]) << k;

    const CompoundRecord& carbon = Compounds[3];
    EXPECT_EQ(carbon.Phase, Solid);
    EXPECT_TRUE(carbon.EIMSF);
    EXPECT_EQ(carbon.HSCData[2][HSC_C], -31.627);
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(carbon.HSCData[3][k], 0.0); // an empty row

    const CompoundRecord& heavyWater = Compounds[10];
    EXPECT_EQ(heavyWater.Composition[Deuterium], 2.0);
    EXPECT_EQ(heavyWater.HSCData[1][HSC_T1], 0.0);
    EXPECT_EQ(heavyWater.HSCData[2][HSC_D], -1.153);

    const CompoundRecord& ozone = Compounds[8];
    EXPECT_FALSE(ozone.Enabled);
    EXPECT_EQ(ozone.Composition[8], 3.0);
    EXPECT_EQ(ozone.dH, 143.093);

    EXPECT_EQ(Compounds[13].Composition[1], 3.0);
    EXPECT_EQ(Compounds[13].Composition[7], 1.0);
    EXPECT_EQ(Compounds[13].HSCData[2][HSC_T2], 3000.0);
}

TEST_F(ChemicalData, LowestAndHighestDataTemperaturesDifferBySpecies) {
    struct Range {
        const char* Formula;
        double Lowest, Highest;
    };
    const Range ranges[] = {
        {"H2", 50, 6000},      {"D2", 50, 5000},     {"C(s)", 298.15, 4073}, {"N2", 298.15, 6000},
        {"O2", 50, 5000},      {"Ar", 298.15, 5000}, {"He", 298.15, 3000},   {"O3", 50, 5000},
        {"H2O", 298.15, 6000}, {"D2O", 0, 5000},     {"CO", 0, 5000},        {"CO2", 50, 5000},
        {"NH3", 298.15, 3000},
    };
    for (const Range& r : ranges) {
        SCOPED_TRACE(r.Formula);
        int found = 0;
        for (int i = 1; i <= CompoundCount; ++i) {
            const CompoundRecord& c = Compounds[i];
            if (c.Formula != r.Formula)
                continue;
            ++found;
            EXPECT_EQ(c.HSCData[1][HSC_T1], r.Lowest);
            double highest = 0;
            for (int row = 1; row <= 3; ++row)
                if (c.HSCData[row][HSC_T2] > highest)
                    highest = c.HSCData[row][HSC_T2];
            EXPECT_EQ(highest, r.Highest);
        }
        EXPECT_EQ(found, 1);
    }
}

TEST_F(ChemicalData, FormulaLookupIsExact) {
    EXPECT_EQ(CountCompoundsWithFormula("O2"), 1);
    EXPECT_EQ(CountCompoundsWithFormula("C(s)"), 1);
    EXPECT_EQ(CountCompoundsWithFormula("o2"), 0);
    EXPECT_EQ(CountCompoundsWithFormula(" O2"), 0);
    EXPECT_EQ(CountCompoundsWithFormula("C"), 0);
    EXPECT_EQ(CountCompoundsWithFormula(""), 0); // the empty entries 14..20 are never consulted
}
