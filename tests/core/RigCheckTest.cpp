// SPDX-License-Identifier: GPL-3.0-or-later
// The rig check of the mixer stage: the warnings it gives, and that they change nothing of the
// calculation's own messages.
#include "core/RigCheck.h"
#include "core/Calculate.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

// Curve c for flowmeter f and one gas: flows 10 and 110 at readings 10 and 100.
void SetLineCurve(int f, int c, const std::string& gas) {
    SetConstantGasFlow(f, c, gas, 0);
    Calibrations[c].Point[1] = {10, 10};
    Calibrations[c].Point[2] = {100, 110};
}

// Argon through flowmeter 1 into node 1, read through a curve made for argon.
void ArgonRig() {
    SetInputMix(1, {{"Ar", 1.0}});
    SetMeter(1, 1, 1, 50);
    SetLineCurve(1, 5, "Ar");
}

using RigCheck = ProgramTest;

TEST_F(RigCheck, WarnsOfWhatGivesAPlausibleNumberFromARigNotSetUpAsMeant) {
    struct Case {
        const char* Title;
        std::function<void()> Rig;
        std::vector<std::string> Warnings;
    };
    const std::vector<Case> cases = {
        {"a rig set up as meant", [] { ArgonRig(); }, {}},
        {"fractions that add up to 0.9",
         [] {
             ArgonRig();
             SetInputMix(1, {{"Ar", 0.9}});
         },
         {"Input mix 1 fractions add up to 0.9, not 1"}},
        {"fractions within 1e-6 of 1",
         [] {
             ArgonRig();
             SetInputMix(1, {{"Ar", 0.5 + 4e-7}, {"O2", 0.5 + 4e-7}});
             SetLineCurve(1, 6, "O2");
         },
         {}},
        {"a mixture whose gas does not flow is not checked",
         [] {
             ArgonRig();
             SetInputMix(2, {{"Ar", 0.3}});
             SetMeter(2, 2, 2, 0);
         },
         {"Flowmeter 2 (I2 to M2) reads 0 and is skipped"}},
        {"a flowmeter set up with a negative reading is skipped",
         [] {
             ArgonRig();
             SetMeter(3, 1, 2, -5);
         },
         {"Flowmeter 3 (I1 to M2) reads -5 and is skipped"}},
        {"a flowmeter without an output or an input is not part of the mixer",
         [] {
             ArgonRig();
             SetMeter(3, 1, 0, 0);
             SetMeter(4, 0, 2, 0);
         },
         {}},
        {"flowmeters still at their start-up values are not checked",
         [] {
             ArgonRig();
             EXPECT_EQ(Flowmeters[16].Input, 1) << "the start-up flowmeters have an input";
             EXPECT_NE(FlowmeterNode(16), 0) << "and an output";
         },
         {}},
        {"a gas read through a curve made for another gas",
         [] {
             ArgonRig();
             SetInputMix(1, {{"H2", 0.5}, {"Ar", 0.5}});
         },
         {"Flowmeter 1 reads H2 through curve 5, which is made for Ar"}},
        {"a curve that names no gas",
         [] {
             ArgonRig();
             SetLineCurve(1, 5, "");
         },
         {"Flowmeter 1 reads Ar through curve 5, which names no gas"}},
        {"a reading above the curve's largest, once for a curve that two gases use",
         [] {
             ArgonRig();
             SetInputMix(1, {{"H2", 0.5}, {"Ar", 0.5}});
             Flowmeters[1].Reading = 120;
         },
         {"Flowmeter 1 reads H2 through curve 5, which is made for Ar",
          "Flowmeter 1 reads 120, above the largest reading 100 of curve 5: the flow is held at "
          "the curve's end"}},
        {"a curve without a point of positive reading",
         [] {
             ArgonRig();
             for (CalibrationPoint& p : Calibrations[5].Point)
                 p = {0, 0};
         },
         {"Flowmeter 1 reads Ar through curve 5, which has no point with a positive reading: no "
          "flow"}},
        {"a gas with fraction 0 is not read, and a stage after the flowmeter adds its gas unread",
         [] {
             ArgonRig();
             SetInputMix(1, {{"Ar", 1.0}, {"H2", 0}});
             SetStage(1, "H2O", "PURE", 20, false);
         },
         {}},
        {"a stage before the flowmeter: the flowmeter reads the gas it adds",
         [] {
             ArgonRig();
             SetStage(1, "H2O", "PURE", 20, true);
         },
         {"Flowmeter 1 reads H2O through curve 5, which is made for Ar"}},
        {"a saturator above the boiling point holds its stream to all vapour",
         [] {
             ArgonRig();
             SetStage(1, "H2O", "PURE", 120, false);
         },
         // Goff-Gratch gives 1984.7 hPa at 120 degrees Celsius, taken over 1000 hPa.
         {"Flowmeter 1's PURE stage at 120 C gives H2O a fraction of 1.98, held to 1: the "
          "stream is all vapour"}},
        {"a saturator just below the boiling point, and a drying agent, hold nothing",
         [] {
             ArgonRig();
             SetStage(1, "H2O", "PURE", 99, false);
             SetInputMix(2, {{"Ar", 1.0}});
             SetMeter(2, 2, 1, 50);
             SetLineCurve(2, 5, "Ar");
             SetStage(2, "H2O", "DRY", 150, false);
         },
         {}},
        {"a saturator on a flowmeter that is skipped is not checked",
         [] {
             ArgonRig();
             SetMeter(3, 1, 2, 0);
             SetStage(3, "H2O", "PURE", 120, false);
         },
         {"Flowmeter 3 (I1 to M2) reads 0 and is skipped"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SetUp();
        c.Rig();
        EXPECT_TRUE(RunMixerStage());
        EXPECT_EQ(Recorder.Warnings, c.Warnings);
        EXPECT_EQ(RigWarnings(), c.Warnings) << "the same list, asked again";
        TearDown();
    }
}

TEST_F(RigCheck, WarningsNeitherPauseNorChangeTheCalculationsMessages) {
    // One flowmeter with no input and a positive reading: the mixer's own warning in every
    // sweep, then "Non-converging mixer!". A second flowmeter at 0 is a warning of the check.
    ArgonRig();
    SetMeter(2, 0, 2, 10);
    SetMeter(3, 1, 3, 0);
    EXPECT_FALSE(RunMixerStage());
    const std::vector<std::string> mixerLog = Recorder.Log;
    EXPECT_EQ(Recorder.Warnings,
              std::vector<std::string>{"Flowmeter 3 (I1 to M3) reads 0 and is skipped"})
        << "given once, however many sweeps read the flowmeter";

    // Without the flowmeter that only the check warns of, the mixer says and waits the same.
    SetUp();
    ArgonRig();
    SetMeter(2, 0, 2, 10);
    EXPECT_FALSE(RunMixerStage());
    EXPECT_TRUE(Recorder.Warnings.empty());
    EXPECT_EQ(Recorder.Log, mixerLog);
    EXPECT_NE(std::find(mixerLog.begin(), mixerLog.end(), "red: Non-converging mixer!"),
              mixerLog.end());
}

TEST_F(RigCheck, TheCurvesReadAreThoseOfTheLastCalculation) {
    ArgonRig();
    SetInputMix(1, {{"Ar", 0.5}, {"O2", 0.5}});
    SetLineCurve(1, 6, "O2");
    ASSERT_TRUE(RunMixerStage());
    // The gas list is Ar, O2 and then the leaks' H2O; the water flows through no flowmeter.
    ASSERT_EQ(GasList[1].Str(), "Ar");
    EXPECT_EQ(FlowmeterCurves[1][1], 5);
    EXPECT_EQ(FlowmeterCurves[1][2], 6);
    EXPECT_EQ(FlowmeterCurves[1][3], 0);
    EXPECT_EQ(FlowmeterCurves[2][1], 0) << "a flowmeter at its start-up values reads nothing";

    // A reading of 0 reads no curve, and the next calculation forgets the last one's curves.
    Flowmeters[1].Reading = 0;
    ASSERT_TRUE(RunMixerStage());
    EXPECT_EQ(FlowmeterCurves[1][1], 0);
    EXPECT_EQ(FlowmeterCurves[1][2], 0);
}

} // namespace
