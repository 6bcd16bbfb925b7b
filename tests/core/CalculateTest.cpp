// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Calculate.h"
#include "core/SetupTables.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using CalculateCommand = ProgramTest;

TEST_F(CalculateCommand, StartsACalculationWhenNoneRunsAndAsksARunningOneToStop) {
    SetInputMix(1, {{"Ar", 1.0}});
    for (CellRecord& cell : Cells)
        cell.Mix = 0; // no cell to calculate: the equilibrium phase only prepares the cells

    CalcStartStopClick();
    EXPECT_EQ(Recorder.Log,
              (std::vector<std::string>{"caption &Calculate Stop", "DrawMixer", "ShowCellResults",
                                        "DrawCell 1", "DrawCell 2", "DrawCell 3", "DrawCell 4",
                                        "DrawCell 5", "DrawCell 6", "DrawCell 7", "DrawCell 8",
                                        "ShowCellResults", "caption &Calculate Start"}));
    EXPECT_FALSE(Running);
    EXPECT_FALSE(StopRequested);

    // While the equilibrium phase runs, the command only sets the request.
    Running = true;
    Recorder.Clear();
    CalcStartStopClick();
    EXPECT_TRUE(StopRequested);
    EXPECT_EQ(Recorder.Log, std::vector<std::string>{"caption &Calculate Start"});
}

TEST_F(CalculateCommand, TheCaptionReadsStartAgainAfterAMixerFailure) {
    SetInputMix(1, {{"Ar", 1.0}});
    SetMeter(1, 0, 1, 10);
    CalcStartStopClick();
    ASSERT_FALSE(Recorder.Log.empty());
    EXPECT_EQ(Recorder.Log.front(), "caption &Calculate Stop");
    EXPECT_EQ(Recorder.Log.back(), "caption &Calculate Start");
    EXPECT_EQ(Recorder.StatusLines().back(), "red: Non-converging mixer!");
}

TEST_F(CalculateCommand, LeavesTheCalibrationPageSelectionAndKeepsTheOthers) {
    struct TableCase {
        int Before;
        int After;
    };
    for (const TableCase c :
         {TableCase{CalibrationTable, NoTable}, TableCase{FlowmeterTable, FlowmeterTable},
          TableCase{CellTable, CellTable}}) {
        CurrentTable = c.Before;
        RunMixerStage();
        EXPECT_EQ(CurrentTable, c.After) << c.Before;
    }
}

TEST_F(CalculateCommand, ChecksTheInputMixturesAndWorksOnFreshCopies) {
    SetInputMix(1, {{" Ar ", 1.0}});
    InputMixtures[1].Ready = 0;
    Mixtures[1].Gas[5].Fraction = 0.5; // leftover of an earlier calculation

    RunMixerStage();

    EXPECT_EQ(InputMixtures[1].Ready, 1);
    EXPECT_EQ(InputMixtures[1].Gas[1].Gas.Str(), "Ar");
    EXPECT_EQ(Mixtures[1].Gas[1].Gas.Str(), "Ar");
    EXPECT_EQ(Mixtures[1].Gas[1].Fraction, 1.0);
    for (int j = 2; j <= MaxGases; ++j)
        EXPECT_EQ(Mixtures[1].Gas[j].Fraction, 0) << j;
}
