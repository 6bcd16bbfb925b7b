// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the setting that gives a cell's quantity a goal, held to the window's own calculation
// of the rig with the setting put in.
#include "analysis/Targeting.h"
#include "analysis/AnalysisSupport.h"
#include "analysis/CellQuantities.h"
#include "core/Calibration.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "report/BatchRun.h"
#include "support/MixerSetup.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using TargetingTest = AnalysisTest;

TargetRequest Request(int cell, const std::string& quantity, double goal,
                      const std::string& parameter) {
    TargetRequest request;
    request.Cell = cell;
    request.Quantity = quantity;
    request.Goal = goal;
    request.Parameter = Parsed(parameter);
    return request;
}

TEST_F(TargetingTest, TheSettingFoundGivesTheGoalWhenTheRigIsCalculatedWithIt) {
    struct Case {
        int Cell;
        const char* Quantity;
        double Goal;
        const char* Parameter;
    };
    // The example rig: cell 1 is wet hydrogen at 950 degrees Celsius, its water from the
    // saturator of flowmeter 1; cell 2 a CO/CO2 buffer at 900.
    const std::vector<Case> cases = {
        {1, "log10pO2", -15.5, "flowmeter1.stageTemperature"},
        {1, "dewPointC", 10, "flowmeter1.stageTemperature"},
        {1, "waterPpmFeed", 15000, "flowmeter1.reading"},
        {1, "sensorEmfmV", 900, "cell1.temperature"},
        {2, "log10pO2", -14, "cell2.temperature"},
        {2, "sensorEmfmV", 850, "flowmeter3.reading"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Parameter) + " for " + c.Quantity);
        ReadExampleRig();
        const TargetRequest request = Request(c.Cell, c.Quantity, c.Goal, c.Parameter);
        const RigSetup setup = CaptureRigSetup();
        ASSERT_EQ(CheckTargetRequest(request, setup), "");
        const std::vector<unsigned char> before = GlobalBytes();
        const TargetResult result = FindSetting(setup, request);
        EXPECT_EQ(GlobalBytes(), before) << "the search works on its copy alone";
        ASSERT_EQ(result.Status, TargetStatus::Found);
        EXPECT_GE(result.Value, result.Searched.first);
        EXPECT_LE(result.Value, result.Searched.second);
        EXPECT_NEAR(result.Achieved, c.Goal, TargetTolerance);
        ASSERT_TRUE(result.Range);
        EXPECT_LE(result.Range->first, c.Goal);
        EXPECT_GE(result.Range->second, c.Goal);

        SetGlobally(request.Parameter, result.Value);
        ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged);
        const CellQuantities q = QuantitiesOfCell(c.Cell);
        const std::optional<double> achieved = q.*FindQuantity(c.Quantity)->Member;
        ASSERT_TRUE(achieved);
        EXPECT_NEAR(*achieved, c.Goal, 1e-6);
    }
}

TEST_F(TargetingTest, AGoalOutOfReachGivesTheRangeTheParameterCanGive) {
    ReadExampleRig();
    // No saturator temperature gives a hydrogen cell 0.1 bar of oxygen.
    const TargetRequest request = Request(1, "log10pO2", -1, "flowmeter1.stageTemperature");
    const RigSetup setup = CaptureRigSetup();
    const TargetResult result = FindSetting(setup, request);
    EXPECT_EQ(result.Status, TargetStatus::Unreachable);
    ASSERT_TRUE(result.Range);
    EXPECT_LT(result.Range->second, -1);
    EXPECT_LT(result.Range->first, result.Range->second);
    // The range searched: 0 degrees Celsius up to where the saturator's fraction reaches 1,
    // just below 100 degrees Celsius.
    EXPECT_EQ(result.Searched.first, 0);
    EXPECT_NEAR(result.Searched.second, 99.6, 0.1);
    // The rig's own setting lies inside what the range gives.
    ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged);
    const double now = *QuantitiesOfCell(1).Log10pO2;
    EXPECT_GE(now, result.Range->first);
    EXPECT_LE(now, result.Range->second);
}

TEST_F(TargetingTest, TheRangesOfTheParameters) {
    ReadExampleRig();
    struct Case {
        const char* Parameter;
        double Lo;
        double Hi;
        double Slack;
    };
    const std::vector<Case> cases = {
        {"cell1.pressure", 1e-3, 100, 0},
        // The largest reading of the curves flowmeter 1 reads H2, Ar and H2O through.
        {"flowmeter1.reading", 0, -1, 0},
        {"cell1.temperature", 25, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Parameter);
        std::string error;
        const auto range = ParameterRange(Parsed(c.Parameter), CaptureRigSetup(), error);
        ASSERT_TRUE(range) << error;
        EXPECT_EQ(range->first, c.Lo);
        if (c.Hi >= 0)
            EXPECT_EQ(range->second, c.Hi);
        else
            EXPECT_GT(range->second, range->first);
    }
    // The reading range ends at the largest reading of the curves the flowmeter reads through.
    ASSERT_EQ(RunCalculation(ExactBounds), CalcOutcome::Converged);
    double largest = 0;
    for (int j = 1; j <= GasCount; ++j)
        if (FlowmeterCurves[1][j] != 0)
            largest = std::max(largest, LargestReading(FlowmeterCurves[1][j]));
    std::string error;
    EXPECT_EQ(ParameterRange(Parsed("flowmeter1.reading"), CaptureRigSetup(), error)->second,
              largest);
}

TEST_F(TargetingTest, ARigWhoseMixerFailsOrARequestThatNamesNothingIsRefused) {
    ReadExampleRig();
    EXPECT_NE(CheckTargetRequest(Request(1, "pO2", -10, "cell1.temperature"), CaptureRigSetup()),
              "");
    EXPECT_NE(
        CheckTargetRequest(Request(6, "log10pO2", -10, "cell1.temperature"), CaptureRigSetup()), "")
        << "cell 6 has no node";
    EXPECT_NE(CheckTargetRequest(Request(1, "log10pO2", -10, "flowmeter2.stageTemperature"),
                                 CaptureRigSetup()),
              "")
        << "flowmeter 2 has no saturator";

    // A flowmeter with an output but no input stops the mixer.
    SetMeter(12, 0, 1, 10);
    const TargetResult result =
        FindSetting(CaptureRigSetup(), Request(1, "log10pO2", -15, "cell1.temperature"));
    EXPECT_EQ(result.Status, TargetStatus::MixerFailed);
    EXPECT_NE(result.Failure, "");
}

} // namespace
