// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ConditioningStages.h"
#include "core/SetupTables.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ios>
#include <optional>
#include <vector>

namespace {
struct FractionCase {
    const char* Gas;
    const char* Kind;
    double T;
    std::optional<double> Fraction;
};
} // namespace

TEST(StageFraction, GivesTheVapourFractionOrZeroForEveryKnownPair) {
    // The vapour fractions were computed independently from the Goff-Gratch equation and the
    // heavy-water polynomial in double precision.
    const std::vector<FractionCase> cases = {
        {"H2O", "PURE", 25, 0.03165195633383682},
        {"H2O", "PURE", 100, 1.0128843802843712},
        {"H2O", "PURE", 0, 0.006103360999334138},
        {"H2O", "PURE", -20, 0.0012529249216677043},
        {"H2O", "KBR", 25, 0.026587643320422932},
        {"H2O", "KBR", 100, 0.8508228794388718},
        {"D2O", "PURE", 25, 0.027312657134687505},
        {"D2O", "PURE", 100, 0.96207120433},
        {"D2O", "KBR", 25, 0.022942631993137504},
        {"H2O", "Pure", 25, 0.03165195633383682},
        {"H2O", "kbr", 25, 0.026587643320422932},
        {"H2O", "DRY", 25, 0.0},
        {"H2O", "GETTER", 25, 0.0},
        {"H2O", "getter", 80, 0.0},
        {"D2O", "Dry", 25, 0.0},
        {"D2O", "GETTER", 25, 0.0},
        {"O2", "GETTER", 25, 0.0},
        {"O2", "Getter", 25, 0.0},
        // Pairs the program does not know leave the stream alone.
        {"O2", "DRY", 25, std::nullopt},
        {"O2", "PURE", 25, std::nullopt},
        {"Ar", "PURE", 25, std::nullopt},
        {"h2o", "PURE", 25, std::nullopt},
        {"H2O ", "PURE", 25, std::nullopt},
        {"H2O", "BOIL", 25, std::nullopt},
        {"H2O", "", 25, std::nullopt},
    };
    for (const FractionCase& c : cases) {
        SCOPED_TRACE(std::string(c.Gas) + " " + c.Kind + " " + std::to_string(c.T));
        const std::optional<double> fraction = StageFraction(c.Gas, c.Kind, c.T);
        ASSERT_EQ(fraction.has_value(), c.Fraction.has_value());
        if (c.Fraction) {
            EXPECT_NEAR(*fraction, *c.Fraction, std::abs(*c.Fraction) * 1e-13);
        }
    }
}

// T = t + 273.15, the results of the Goff-Gratch steps 1, 2, 4 and 5, the heavy-water
// polynomial, the quotients W / 1000 and D / 100 and the KBr fraction are each rounded to a
// double; everything between is extended. The fractions below were computed apart from the
// program, with mpmath at a 64-bit mantissa for every operation (ln and exp correctly rounded
// to it) and rounding to binary64 at exactly those steps (rounding-references.py beside this
// file prints them). Each temperature was chosen so that
// keeping every step extended ends elsewhere, and so that the same bits come out when the
// library's ln or exp is one unit of its last place off anywhere.
TEST(StageFraction, RoundsToDoublesExactlyAtTheSpecifiedSteps) {
    const std::vector<FractionCase> cases = {
        {"H2O", "PURE", 8.32, 0x1.66cfa69abaa1ep-7},  {"H2O", "PURE", -4.48, 0x1.1f14a08a42ecdp-8},
        {"H2O", "PURE", 36.41, 0x1.f1936b28e5e8dp-5}, {"H2O", "PURE", -12, 0x1.3fac3d0743a3ep-9},
        {"H2O", "PURE", 88.1, 0x1.4db606cae5b08p-1},  {"H2O", "PURE", 11, 0x1.ad9ac5acbaf90p-7},
        {"H2O", "KBR", 8.32, 0x1.2d66bf25cff8ap-7},   {"H2O", "KBR", -4.48, 0x1.e24b9d113d3bfp-9},
        {"H2O", "KBR", 36.41, 0x1.a1f6b62c9829fp-5},  {"H2O", "KBR", 11, 0x1.68de2b2ab1898p-7},
        {"D2O", "PURE", 82, 0x1.ebe3fbb93a2efp-2},    {"D2O", "PURE", 26, 0x1.dbc165bf59286p-6},
        {"D2O", "PURE", -1.03, 0x1.e0587ebc40878p-9}, {"D2O", "PURE", 36.26, 0x1.b22ac75bd8bddp-5},
        {"D2O", "KBR", 2.82, 0x1.301497f3c7f12p-8},   {"D2O", "KBR", 26, 0x1.8fa2743017b14p-6},
        {"D2O", "KBR", 65, 0x1.8b33b6c07e4fcp-3},
    };
    for (const FractionCase& c : cases) {
        SCOPED_TRACE(std::string(c.Gas) + " " + c.Kind + " " + std::to_string(c.T));
        const std::optional<double> fraction = StageFraction(c.Gas, c.Kind, c.T);
        ASSERT_TRUE(fraction.has_value());
        EXPECT_EQ(*fraction, *c.Fraction)
            << std::hexfloat << *fraction << " instead of " << *c.Fraction;
    }
}

namespace {
struct StageCase {
    const char* Title;
    const char* Gas;
    const char* Kind;
    bool Before;
    Components Stream; // in WorkGas slots 1, 2, ...
    Components Expected;
    double FlowFactor; // flow after / flow before, for a stage after the flowmeter
};

} // namespace

using ApplyStage = ProgramTest;

TEST_F(ApplyStage, ConditionsTheStreamAndCorrectsTheFlowOfAStageAfterTheFlowmeter) {
    const double saturated = 0.03165195633383682;
    const std::vector<StageCase> cases = {
        {"drying before the flowmeter",
         "H2O",
         "DRY",
         true,
         {{"H2O", 0.03}, {"Ar", 0.97}},
         {{"H2O", 0}, {"Ar", 1.0}},
         1},
        {"drying after the flowmeter removes the water's share of the flow",
         "H2O",
         "DRY",
         false,
         {{"H2O", 0.03}, {"Ar", 0.97}},
         {{"H2O", 0}, {"Ar", 1.0}},
         0.97},
        {"saturating dry argon after the flowmeter",
         "H2O",
         "PURE",
         false,
         {{"Ar", 1.0}, {"H2O", 0}},
         {{"Ar", 1 - saturated}, {"H2O", saturated}},
         1 + saturated},
        {"saturating before the flowmeter",
         "H2O",
         "PURE",
         true,
         {{"H2", 0.5}, {"H2O", 0}, {"Ar", 0.5}},
         {{"H2", (1 - saturated) * 0.5}, {"H2O", saturated}, {"Ar", (1 - saturated) * 0.5}},
         1},
        {"a getter takes the oxygen",
         "O2",
         "getter",
         false,
         {{"O2", 0.2}, {"N2", 0.8}},
         {{"O2", 0}, {"N2", 1.0}},
         0.8},
        {"a stream of the stage's gas alone leaves the others at 0",
         "H2O",
         "DRY",
         false,
         {{"H2O", 1.0}, {"Ar", 0}},
         {{"H2O", 0}, {"Ar", 0}},
         0},
        {"... also with a saturator",
         "H2O",
         "PURE",
         true,
         {{"H2O", 1.0}, {"Ar", 0}},
         {{"H2O", saturated}, {"Ar", 0}},
         1},
        {"a stage gas written with a trailing blank finds no slot",
         "H2O ",
         "DRY",
         false,
         {{"H2O", 0.03}, {"Ar", 0.97}},
         {{"H2O", 0.03}, {"Ar", 0.97}},
         1},
        {"a gas not in the stream",
         "D2O",
         "PURE",
         false,
         {{"H2O", 0.03}, {"Ar", 0.97}},
         {{"H2O", 0.03}, {"Ar", 0.97}},
         1},
        {"an unknown pair leaves stream and flow alone",
         "O2",
         "DRY",
         false,
         {{"O2", 0.2}, {"N2", 0.8}},
         {{"O2", 0.2}, {"N2", 0.8}},
         1},
        {"the last slot of the gas is conditioned",
         "H2O",
         "DRY",
         true,
         {{"H2O", 0.5}, {"H2O", 0.25}, {"Ar", 0.25}},
         {{"H2O", 0.5 / 0.75}, {"H2O", 0}, {"Ar", 0.25 / 0.75}},
         1},
    };
    for (const StageCase& c : cases) {
        SCOPED_TRACE(c.Title);
        SetStage(4, c.Gas, c.Kind, 25, c.Before);
        FillSlots(WorkGas, c.Stream);
        double flow = 10;
        ApplyStageBefore(4);
        ApplyStageAfter(4, flow);

        EXPECT_NEAR(flow, 10 * c.FlowFactor, 1e-12);
        for (std::size_t j = 0; j < c.Expected.size(); ++j) {
            EXPECT_EQ(WorkGas[int(j) + 1].Gas.Str(), c.Expected[j].first);
            EXPECT_NEAR(WorkGas[int(j) + 1].Fraction, c.Expected[j].second, 1e-15) << j + 1;
        }
        double sum = 0;
        for (const GasFraction& slot : WorkGas)
            sum += slot.Fraction;
        EXPECT_TRUE(std::isfinite(sum));
    }
}

TEST_F(ApplyStage, HoldsTheStageFractionToZeroToOneSoThatNoGasGoesNegative) {
    // Above the boiling point the vapour pressure exceeds the 1 bar the fraction is taken over;
    // far below freezing the heavy-water polynomial goes negative.
    struct BoundCase {
        const char* Title;
        const char* Gas;
        double T;
        bool Before;
        double Stage;      // the stage gas's fraction afterwards
        double FlowFactor; // flow after / flow before
    };
    const std::vector<BoundCase> cases = {
        {"water at 100 degrees before the flowmeter", "H2O", 100, true, 1, 1},
        {"water at 100 degrees after the flowmeter", "H2O", 100, false, 1, 1 + 1 - 0.02},
        {"heavy water at 110 degrees", "D2O", 110, true, 1, 1},
        {"heavy water at -100 degrees", "D2O", -100, false, 0, 1 - 0.02},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.Title);
        ASSERT_TRUE(*StageFraction(c.Gas, "PURE", c.T) > 1 ||
                    *StageFraction(c.Gas, "PURE", c.T) < 0)
            << "the case lies beyond the range";
        SetStage(1, c.Gas, "PURE", c.T, c.Before);
        FillSlots(WorkGas, {{"H2", 0.05}, {c.Gas, 0.02}, {"Ar", 0.93}});
        double flow = 10;
        ApplyStageBefore(1);
        ApplyStageAfter(1, flow);
        EXPECT_EQ(WorkGas[2].Fraction, c.Stage);
        EXPECT_NEAR(flow, 10 * c.FlowFactor, 1e-12);
        double sum = 0;
        for (const GasFraction& slot : WorkGas) {
            EXPECT_GE(slot.Fraction, 0) << slot.Gas.Str();
            sum += slot.Fraction;
        }
        EXPECT_NEAR(sum, 1, 1e-15);
    }
}

TEST_F(ApplyStage, ActsOnlyOnItsOwnSideOfTheFlowmeterAndOnlyWhenInUse) {
    const Components stream = {{"H2O", 0.03}, {"Ar", 0.97}};
    struct SideCase {
        const char* Title;
        bool Used;
        bool Before;
        bool ChangedBefore;
        bool ChangedAfter;
    };
    const std::vector<SideCase> cases = {
        {"before", true, true, true, false},
        {"after", true, false, false, true},
        {"not in use", false, true, false, false},
    };
    for (const SideCase& c : cases) {
        SCOPED_TRACE(c.Title);
        SetStage(2, "H2O", "DRY", 25, c.Before);
        Flowmeters[2].FixGasUsed = c.Used ? 1 : 0;
        double flow = 10;
        FillSlots(WorkGas, stream);
        ApplyStageAfter(2, flow);
        EXPECT_EQ(WorkGas[1].Fraction == 0, c.ChangedAfter);
        EXPECT_EQ(flow != 10, c.ChangedAfter);
        FillSlots(WorkGas, stream);
        ApplyStageBefore(2);
        EXPECT_EQ(WorkGas[1].Fraction == 0, c.ChangedBefore);
    }
}
