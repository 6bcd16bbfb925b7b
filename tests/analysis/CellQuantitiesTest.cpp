// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/CellQuantities.h"
#include "analysis/RootFinding.h"
#include "core/ConditioningStages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {
// The EMF of an oxygen concentration cell, written out here with its constants: the gas
// constant of the calculation and the Faraday constant.
double EmfByFormula(double pO2, double reference, double temperatureC) {
    return 8.31451 * (temperatureC + 273.15) / (4 * 96485.33212) * std::log(reference / pO2) * 1000;
}
} // namespace

TEST(SensorEmf, FollowsTheNernstFormulaBothWays) {
    struct Case {
        double PO2;
        double Reference;
        double TemperatureC;
    };
    const std::vector<Case> cases = {
        {1e-20, 0.2095, 800}, {1e-10, 0.2095, 700}, {0.2095, 0.2095, 900},
        {1.0, 0.2095, 750},   {1e-35, 1e-5, 1200},  {0.01, 1.0, 25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.PO2);
        const std::optional<double> emf = SensorEmf(c.PO2, c.Reference, c.TemperatureC);
        ASSERT_TRUE(emf);
        const double expected = EmfByFormula(c.PO2, c.Reference, c.TemperatureC);
        EXPECT_NEAR(*emf, expected, 1e-9 * std::max(1.0, std::fabs(expected)));
        // More reducing than the reference: positive; more oxidising: negative.
        EXPECT_EQ(*emf > 0, c.PO2 < c.Reference);
        const std::optional<double> back = PO2FromSensorEmf(*emf, c.Reference, c.TemperatureC);
        ASSERT_TRUE(back);
        EXPECT_NEAR(std::log10(*back), std::log10(c.PO2), 1e-12);
    }
    // 53.2 mV per decade of pO2 at 800 degrees Celsius.
    const double decade = *SensorEmf(1e-16, 0.2095, 800) - *SensorEmf(1e-15, 0.2095, 800);
    EXPECT_NEAR(decade, 53.2, 0.05);
}

TEST(SensorEmf, HasNoValueWithoutOxygenOrAPhysicalReferenceOrTemperature) {
    EXPECT_FALSE(SensorEmf(0, 0.2095, 800));
    EXPECT_FALSE(SensorEmf(-1e-10, 0.2095, 800));
    EXPECT_FALSE(SensorEmf(NAN, 0.2095, 800));
    EXPECT_FALSE(SensorEmf(1e-10, 0, 800));
    EXPECT_FALSE(SensorEmf(1e-10, 0.2095, -273.15));
    EXPECT_FALSE(PO2FromSensorEmf(100, -1, 800));
    EXPECT_FALSE(ValidReferencePO2(0));
    EXPECT_FALSE(ValidReferencePO2(INFINITY));
    EXPECT_TRUE(ValidReferencePO2(1e-30));
}

TEST(DewPoint, MeetsPublishedValuesOverWaterAndOverIce) {
    struct Case {
        double WaterBar;
        double DewPointC;
    };
    // 25 degrees Celsius over water (x(H2O) = 0.03130 at 1.01325 bar); -40 and -80 degrees
    // Celsius over ice, 12.83 Pa and 0.0547 Pa in the published tables of the Goff-Gratch ice
    // formula.
    const std::vector<Case> cases = {
        {0.03130 * 1.01325, 25.0},
        {0.1283e-3, -40.0},
        {0.0547e-5, -80.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.DewPointC);
        const std::optional<double> dew = DewPointOf(c.WaterBar);
        ASSERT_TRUE(dew);
        EXPECT_NEAR(*dew, c.DewPointC, 0.05);
    }
}

TEST(DewPoint, InvertsTheCalculationsOwnVapourPressureCurves) {
    // Over water: the saturators' own curve, read back to its temperature.
    for (const double t : {0.5, 10.0, 37.0, 80.0, 150.0, 300.0}) {
        SCOPED_TRACE(t);
        const std::optional<double> dew = DewPointOf(WaterVapourPressure(t + 273.15) / 1000);
        ASSERT_TRUE(dew);
        EXPECT_NEAR(*dew, t, 1e-7);
    }
    // Over ice: the frost point, down to where almost no water is left.
    for (const double t : {-0.5, -20.0, -60.0, -120.0}) {
        SCOPED_TRACE(t);
        const std::optional<double> frost = DewPointOf(IceVapourPressure(t + 273.15) / 1000);
        ASSERT_TRUE(frost);
        EXPECT_NEAR(*frost, t, 1e-7);
    }
    // Between the two curves at 0 degrees Celsius (the ice curve lies a little lower there).
    const double between = (WaterVapourPressure(273.15) + IceVapourPressure(273.15)) / 2000;
    EXPECT_EQ(DewPointOf(between), 0.0);
    // A dew point only exists while the water can condense.
    EXPECT_FALSE(DewPointOf(0));
    EXPECT_FALSE(DewPointOf(-0.01));
    EXPECT_FALSE(DewPointOf(1000)); // 1000 bar of water is beyond the critical point
}

TEST(CellQuantities, AreComputedFromTheCellsFeedAndEquilibriumAndEmptyWithoutThem) {
    CellSnapshot wetHydrogen;
    wetHydrogen.TemperatureC = 800;
    wetHydrogen.Pressure = 1.01325;
    wetHydrogen.Feed = {{"H2", 0.4}, {"H2O", 0.03130}, {"Ar", 0.56870}};
    wetHydrogen.Equilibrium = {{"H2", 0.4}, {"O2", 1e-20}, {"H2O", 0.04}, {"Ar", 0.57325}};
    const CellQuantities wet = ComputeCellQuantities(wetHydrogen);
    ASSERT_TRUE(wet.Log10pO2);
    EXPECT_DOUBLE_EQ(*wet.Log10pO2, -20);
    ASSERT_TRUE(wet.SensorEmfmV);
    EXPECT_NEAR(*wet.SensorEmfmV, EmfByFormula(1e-20, 0.2095, 800), 1e-9);
    ASSERT_TRUE(wet.WaterPpmFeed);
    EXPECT_NEAR(*wet.WaterPpmFeed, 31300, 1e-9);
    ASSERT_TRUE(wet.DewPointC);
    EXPECT_NEAR(*wet.DewPointC, 25.0, 0.05);
    ASSERT_TRUE(wet.WaterPpmEquilibrium);
    EXPECT_NEAR(*wet.WaterPpmEquilibrium, 0.04 / 1.01325 * 1e6, 1e-6);
    ASSERT_TRUE(wet.H2oH2Ratio);
    EXPECT_DOUBLE_EQ(*wet.H2oH2Ratio, 0.1);
    EXPECT_FALSE(wet.Co2CoRatio) << "no carbon in the cell";

    // Another reference moves the EMF and nothing else.
    const CellQuantities pure = ComputeCellQuantities(wetHydrogen, {1.0});
    EXPECT_NEAR(*pure.SensorEmfmV, EmfByFormula(1e-20, 1.0, 800), 1e-9);
    EXPECT_EQ(pure.Log10pO2, wet.Log10pO2);

    // A dry CO/CO2 buffer with soot: no water anywhere, and the solid is no part of the gas.
    CellSnapshot dry;
    dry.TemperatureC = 900;
    dry.Pressure = 1;
    dry.Feed = {{"CO", 0.5}, {"CO2", 0.5}, {"H2O", 0}};
    dry.Equilibrium = {{"C(s)", 0.3}, {"O2", 1e-16}, {"CO", 0.5}, {"CO2", 0.5}, {"H2O", 0}};
    const CellQuantities buffer = ComputeCellQuantities(dry);
    EXPECT_FALSE(buffer.WaterPpmFeed);
    EXPECT_FALSE(buffer.DewPointC);
    EXPECT_FALSE(buffer.WaterPpmEquilibrium);
    EXPECT_FALSE(buffer.H2oH2Ratio);
    ASSERT_TRUE(buffer.Co2CoRatio);
    EXPECT_DOUBLE_EQ(*buffer.Co2CoRatio, 1.0);

    // Water in the feed but no equilibrium yet (or none found): only the feed's quantities.
    CellSnapshot unsolved = wetHydrogen;
    unsolved.Equilibrium.clear();
    const CellQuantities fed = ComputeCellQuantities(unsolved);
    EXPECT_TRUE(fed.WaterPpmFeed);
    EXPECT_TRUE(fed.DewPointC);
    for (const QuantityName& quantity : QuantityNames()) {
        const std::string name = quantity.Name;
        if (name != "waterPpmFeed" && name != "dewPointC") {
            EXPECT_FALSE(fed.*quantity.Member) << name;
        }
    }
}

TEST(QuantityNames, AreTheReportKeysInOrderAndFoundByName) {
    std::vector<std::string> names;
    for (const QuantityName& quantity : QuantityNames()) {
        names.push_back(quantity.Name);
        EXPECT_EQ(FindQuantity(quantity.Name), &quantity);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"log10pO2", "sensorEmfmV", "waterPpmFeed",
                                               "waterPpmEquilibrium", "dewPointC", "h2oH2Ratio",
                                               "co2CoRatio"}));
    EXPECT_EQ(FindQuantity("pO2"), nullptr);
}

TEST(BrentRoot, FindsRootsInsideTheBracketAndRefusesABracketWithoutOne) {
    struct Case {
        const char* Name;
        std::function<double(double)> F;
        double A;
        double B;
        double Root;
    };
    const std::vector<Case> cases = {
        {"cubic", [](double x) { return x * x * x - 2 * x - 5; }, 2, 3, 2.0945514815423265},
        {"steep", [](double x) { return std::exp(20 * x) - 1e5; }, -1, 1, std::log(1e5) / 20},
        {"flat end", [](double x) { return std::atan(x - 7.5); }, -100, 100, 7.5},
        {"root at an end", [](double x) { return x - 3; }, 3, 10, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::optional<double> root = BrentRoot(c.F, c.A, c.B, c.F(c.A), c.F(c.B));
        ASSERT_TRUE(root);
        EXPECT_NEAR(*root, c.Root, 1e-10);
    }
    const auto square = [](double x) { return x * x + 1; };
    EXPECT_FALSE(BrentRoot(square, -1, 1, square(-1), square(1)));
}
