// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MixerNetwork.h"
#include "core/Calculate.h"
#include "core/SetupTables.h"
#include "files/SetupFiles.h"
#include "support/MixerSetup.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
const std::string Blocked = "red: Inappropriate number of gases (too many / flow for nonexistent "
                            "flowmeter)";
const std::vector<std::string> BlockedWarning = {"beep", Blocked, "pause 4"};
// A converged mixer stage hands over to the equilibrium with the command still reading "Stop".
const std::vector<std::string> Converged = {"DrawMixer", "ShowCellResults"};
const std::vector<std::string> NotConverging = {"beep", "red: Non-converging mixer!", "pause 4",
                                                "caption &Calculate Start"};
const std::vector<std::string> TooManyGases = {
    "beep", "red: Too many gases or inappropriately organised mixer", "pause 4",
    "caption &Calculate Start"};

// Ten gases in one premix: with the leaks' O2 and H2O the gas list is full.
const Components TenGases = {{"H2", 0.1}, {"D2", 0.1},  {"N2", 0.1}, {"Ar", 0.1},  {"He", 0.1},
                             {"O3", 0.1}, {"D2O", 0.1}, {"CO", 0.1}, {"CO2", 0.1}, {"NH3", 0.1}};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> GasListNames() {
    std::vector<std::string> names;
    for (int c = 1; c <= GasCount; ++c)
        names.push_back(GasList[c].Str());
    return names;
}

// Fraction of the gas in node k, looked up by name.
double NodeFraction(int k, const std::string& gas) {
    for (const GasFraction& slot : Mixtures[NodeMixture(k)].Gas)
        if (slot.Gas == gas)
            return slot.Fraction;
    ADD_FAILURE() << gas << " is not laid out in node " << k;
    return -1;
}

struct NetworkCase {
    const char* Title;
    std::function<void()> Setup;
    bool Converges;
    int Sweeps;
    std::vector<std::string> Log;
    std::function<void()> Check;
};
} // namespace

// Every flowmeter starts with reading 0, and every cell with the default leaks of oxygen and
// water, so the gas list always ends with O2 and H2O.
class MixerRun : public ProgramTest {
protected:
    void RunCases(const std::vector<NetworkCase>& cases) {
        for (const NetworkCase& c : cases) {
            SCOPED_TRACE(c.Title);
            SetUp();
            c.Setup();
            const bool ok = RunMixerStage();
            EXPECT_EQ(ok, c.Converges);
            EXPECT_EQ(NetworkSweeps, c.Sweeps);
            EXPECT_EQ(Recorder.Log, c.Log);
            c.Check();
            TearDown();
        }
    }
};

TEST_F(MixerRun, ResolvesNodesAsFlowWeightedMeansOfTheirStreams) {
    RunCases({
        {"two flowmeters into M1",
         [] {
             SetInputMix(1, {{"H2", 0.2}, {"Ar", 0.8}});
             SetInputMix(2, {{"Ar", 1.0}});
             SetMeter(1, 1, 1, 10);
             SetConstantFlow(1, 1, 1);
             SetMeter(2, 2, 1, 10);
             SetConstantFlow(2, 2, 3);
         },
         true, 1, Converged,
         [] {
             EXPECT_EQ(GasListNames(), (std::vector<std::string>{"H2", "Ar", "O2", "H2O"}));
             const MixtureRecord& m1 = Mixtures[NodeMixture(1)];
             EXPECT_EQ(m1.Ready, 1);
             EXPECT_DOUBLE_EQ(m1.Flow, 4);
             EXPECT_EQ(m1.Gas[1].Gas.Str(), "H2");
             EXPECT_DOUBLE_EQ(m1.Gas[1].Fraction, 0.05);
             EXPECT_EQ(m1.Gas[2].Gas.Str(), "Ar");
             EXPECT_DOUBLE_EQ(m1.Gas[2].Fraction, 0.95);
             EXPECT_EQ(m1.Gas[3].Fraction + m1.Gas[4].Fraction, 0);
             EXPECT_DOUBLE_EQ(Flowmeters[1].Flow, 1);
             EXPECT_DOUBLE_EQ(Flowmeters[2].Flow, 3);
         }},
        {"each gas of the stream is read on its own curve",
         [] {
             SetInputMix(1, {{"H2", 0.25}, {"Ar", 0.75}});
             SetMeter(1, 1, 1, 10);
             SetConstantGasFlow(1, 1, "H2", 8);
             SetConstantGasFlow(1, 2, "Ar", 2);
         },
         true, 1, Converged,
         [] {
             EXPECT_DOUBLE_EQ(Flowmeters[1].Flow, 0.25 * 8 + 0.75 * 2);
             EXPECT_DOUBLE_EQ(NodeFraction(1, "H2"), 0.25);
         }},
        {"a node fed by nothing is resolved empty and feeds its flowmeters with flow 0",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetMeter(1, NodeMixture(9), 10, 10); // M9 has no flowmeter
             SetConstantFlow(1, 1, 5);
         },
         true, 1, Converged,
         [] {
             const MixtureRecord& m9 = Mixtures[NodeMixture(9)];
             EXPECT_EQ(m9.Ready, 1);
             EXPECT_EQ(m9.Flow, 0);
             EXPECT_EQ(Flowmeters[1].Flow, 0);
             EXPECT_EQ(Mixtures[NodeMixture(10)].Ready, 1);
             EXPECT_EQ(Mixtures[NodeMixture(10)].Flow, 0);
         }},
        {"a flowmeter without input but with reading 0 is ignored",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetMeter(5, 1, 3, 10);
             SetConstantFlow(5, 1, 1);
             SetMeter(6, 0, 3, 0);
         },
         true, 1, Converged,
         [] {
             EXPECT_EQ(Mixtures[NodeMixture(3)].Ready, 1);
             EXPECT_DOUBLE_EQ(Mixtures[NodeMixture(3)].Flow, 1);
         }},
        {"a stage before the flowmeter: the flow is read for the dried gas",
         [] {
             SetInputMix(1, {{"H2O", 0.03}, {"Ar", 0.97}});
             SetMeter(1, 1, 1, 10);
             SetConstantGasFlow(1, 1, "H2O", 10);
             SetConstantGasFlow(1, 2, "Ar", 2);
             SetStage(1, "H2O", "DRY", 25, true);
         },
         true, 1, Converged,
         [] {
             EXPECT_DOUBLE_EQ(Flowmeters[1].Flow, 2);
             EXPECT_EQ(NodeFraction(1, "H2O"), 0);
             EXPECT_DOUBLE_EQ(NodeFraction(1, "Ar"), 1);
         }},
        {"a stage after the flowmeter: the wet gas is read, then the water's share removed",
         [] {
             SetInputMix(1, {{"H2O", 0.03}, {"Ar", 0.97}});
             SetMeter(1, 1, 1, 10);
             SetConstantGasFlow(1, 1, "H2O", 10);
             SetConstantGasFlow(1, 2, "Ar", 2);
             SetStage(1, "H2O", "DRY", 25, false);
         },
         true, 1, Converged,
         [] {
             EXPECT_DOUBLE_EQ(Flowmeters[1].Flow, (0.03 * 10 + 0.97 * 2) * 0.97);
             EXPECT_DOUBLE_EQ(Mixtures[NodeMixture(1)].Flow, Flowmeters[1].Flow);
             EXPECT_EQ(NodeFraction(1, "H2O"), 0);
             EXPECT_DOUBLE_EQ(NodeFraction(1, "Ar"), 1);
         }},
        {"a saturator after the flowmeter brings its gas into the list",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetMeter(1, 1, 1, 10);
             SetConstantFlow(1, 1, 2);
             SetStage(1, "D2O", "PURE", 25, false);
         },
         true, 1, Converged,
         [] {
             EXPECT_EQ(GasListNames(), (std::vector<std::string>{"Ar", "D2O", "O2", "H2O"}));
             EXPECT_NEAR(NodeFraction(1, "D2O"), 0.027312657134687505, 1e-15);
             EXPECT_NEAR(Flowmeters[1].Flow, 2 * 1.027312657134687505, 1e-14);
         }},
    });
}

TEST_F(MixerRun, ResolvesNodesFedByHigherNodesInLaterSweeps) {
    RunCases({
        {"M1 fed from M2: one warning, resolved in the second sweep",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetMeter(1, NodeMixture(2), 1, 10);
             SetConstantFlow(1, 1, 2);
             SetMeter(3, 1, 2, 10);
             SetConstantFlow(3, 2, 5);
         },
         true, 2, Join({BlockedWarning, Converged}),
         [] {
             EXPECT_EQ(Mixtures[NodeMixture(1)].Ready, 1);
             EXPECT_DOUBLE_EQ(Mixtures[NodeMixture(1)].Flow, 2);
             EXPECT_DOUBLE_EQ(NodeFraction(1, "Ar"), 1);
             EXPECT_DOUBLE_EQ(Mixtures[NodeMixture(2)].Flow, 5);
         }},
        {"a chain M4 -> M3 -> M2 -> M1 takes four sweeps",
         [] {
             SetInputMix(1, {{"H2", 0.1}, {"Ar", 0.9}});
             SetMeter(1, NodeMixture(2), 1, 10);
             SetMeter(3, NodeMixture(3), 2, 10);
             SetMeter(5, NodeMixture(4), 3, 10);
             SetMeter(7, 1, 4, 10);
             for (int f : {1, 3, 5, 7})
                 SetConstantFlow(f, f, 1.5);
         },
         true, 4,
         Join({BlockedWarning, BlockedWarning, BlockedWarning, BlockedWarning, BlockedWarning,
               BlockedWarning, Converged}),
         [] {
             for (int k = 1; k <= 4; ++k) {
                 EXPECT_EQ(Mixtures[NodeMixture(k)].Ready, 1);
                 EXPECT_DOUBLE_EQ(NodeFraction(k, "H2"), 0.1);
             }
         }},
    });
}

TEST_F(MixerRun, EndsABlockedNetworkWhenASweepResolvesNothingNew) {
    // M3 is fed by flowmeters 5 and 6. Every other node resolves in the first sweep; the second
    // sweep resolves nothing, and every further sweep would repeat it exactly.
    auto blockedSetup = [](int blockerFirst) {
        return [blockerFirst] {
            SetInputMix(1, {{"Ar", 0.5}, {"H2", 0.5}});
            const int good = blockerFirst ? 6 : 5;
            const int blocker = blockerFirst ? 5 : 6;
            SetMeter(good, 1, 3, 10);
            SetConstantFlow(good, 1, 4);
            SetMeter(blocker, 0, 3, 10); // a reading but no input
            Flowmeters[good].Flow = 42;
            Flowmeters[blocker].Flow = 42;
            for (CellRecord& cell : Cells)
                cell.State = CellRunState::FirstPass;
        };
    };
    RunCases({
        {"the usable flowmeter comes first: its stream stays as a partial sum", blockedSetup(0),
         false, 2, Join({BlockedWarning, BlockedWarning, NotConverging}),
         [] {
             const MixtureRecord& m3 = Mixtures[NodeMixture(3)];
             EXPECT_EQ(m3.Ready, 0);
             EXPECT_DOUBLE_EQ(m3.Flow, 4);
             EXPECT_DOUBLE_EQ(NodeFraction(3, "Ar"), 2); // not yet divided by the flow
             EXPECT_DOUBLE_EQ(Flowmeters[5].Flow, 4);
             EXPECT_EQ(Flowmeters[6].Flow, 42);
             for (int k = 1; k <= NodeCount; ++k)
                 EXPECT_EQ(Mixtures[NodeMixture(k)].Ready, k == 3 ? 0 : 1) << k;
             for (const CellRecord& cell : Cells)
                 EXPECT_EQ(cell.State, CellRunState::NotCalculated);
         }},
        {"the blocking flowmeter comes first: every later positive reading warns too",
         blockedSetup(1), false, 2,
         Join({BlockedWarning, BlockedWarning, BlockedWarning, BlockedWarning, NotConverging}),
         [] {
             EXPECT_EQ(Mixtures[NodeMixture(3)].Ready, 0);
             EXPECT_EQ(Mixtures[NodeMixture(3)].Flow, 0);
             EXPECT_EQ(Flowmeters[6].Flow, 42);
         }},
        {"a node feeding itself never resolves",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetMeter(1, NodeMixture(1), 1, 10);
         },
         false, 2, Join({BlockedWarning, BlockedWarning, NotConverging}),
         [] { EXPECT_EQ(Mixtures[NodeMixture(1)].Ready, 0); }},
    });
}

TEST_F(MixerRun, WarnsAboutInputMixturesAndStillCalculates) {
    RunCases({
        {"an unknown gas: one message per component, flowmeters from it cannot be used",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetInputMix(2, {{"Xe", 0.5}, {"Kr", 0.25}, {"Ar", 0.25}});
             SetMeter(3, 2, 2, 10);
         },
         false, 2,
         Join({{"red: Input mix 2 not properly defined", "pause 1",
                "red: Input mix 2 not properly defined", "pause 1"},
               BlockedWarning,
               BlockedWarning,
               NotConverging}),
         [] {}},
        {"an unknown gas in a mixture no flowmeter reads from",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetInputMix(16, {{"ar", 1.0}});
         },
         true, 1, Join({{"red: Input mix 16 not properly defined", "pause 1"}, Converged}),
         [] {
             EXPECT_EQ(GasListNames(), (std::vector<std::string>{"Ar", "O2", "H2O"}));
         }},
        {"a mixture whose fractions are all 0 is not ready",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             SetInputMix(2, {{"H2", 0}, {"Ar", 0}});
             SetMeter(3, 2, 2, 10);
         },
         false, 2, Join({BlockedWarning, BlockedWarning, NotConverging}), [] {}},
    });
}

TEST_F(MixerRun, CollectsTheGasListInItsOrderAndLaysTheMixturesOutOnIt) {
    RunCases({
        {"mixtures, then stages, then leaks",
         [] {
             SetInputMix(1, {{"Ar", 0.5}, {"H2", 0.5}});
             SetInputMix(2, {{"CO", 0.9}, {"Ar", 0.1}});
             SetMeter(3, 2, 2, 10);
             SetConstantFlow(3, 1, 1);
             SetStage(3, " NH3 ", "DRY", 25, true); // trimmed for the list only
             Cells[2].LeakN2 = 1e-6;
         },
         true, 1, Converged,
         [] {
             EXPECT_EQ(GasListNames(),
                       (std::vector<std::string>{"Ar", "H2", "CO", "NH3", "O2", "H2O", "N2"}));
             const MixtureRecord& i2 = Mixtures[2];
             EXPECT_EQ(i2.Gas[1].Gas.Str(), "Ar");
             EXPECT_EQ(i2.Gas[1].Fraction, 0.1);
             EXPECT_EQ(i2.Gas[3].Gas.Str(), "CO");
             EXPECT_EQ(i2.Gas[3].Fraction, 0.9);
             EXPECT_EQ(i2.Gas[12].Gas.Str(), "");
             EXPECT_DOUBLE_EQ(NodeFraction(2, "CO"), 0.9); // the stage found no slot
         }},
        {"a gas with fraction 0 stays out of the list; an unused mixture is left as copied",
         [] {
             SetInputMix(1, {{"Ar", 1.0}, {"CO", 0}});
             SetInputMix(5, {{"He", 1.0}, {"Ar", 0.5}});
         },
         true, 1, Converged,
         [] {
             EXPECT_EQ(GasListNames(), (std::vector<std::string>{"Ar", "O2", "H2O"}));
             EXPECT_EQ(Mixtures[1].Gas[1].Gas.Str(), "Ar");
             EXPECT_EQ(Mixtures[1].Gas[2].Gas.Str(), "O2");
             EXPECT_EQ(Mixtures[1].Gas[2].Fraction, 0);
             EXPECT_EQ(Mixtures[5].Gas[1].Gas.Str(), "He");
             EXPECT_EQ(Mixtures[5].Gas[2].Gas.Str(), "Ar");
         }},
        {"cells without a feed add no leak gases",
         [] {
             SetInputMix(1, {{"Ar", 1.0}});
             for (CellRecord& cell : Cells)
                 cell.Mix = 0;
             Cells[8].Mix = 17; // beyond the nodes: not connected either
         },
         true, 1, Converged, [] { EXPECT_EQ(GasListNames(), std::vector<std::string>{"Ar"}); }},
        {"a repeated component gives its last fraction; a nameless one is dropped",
         [] {
             // The nameless component is the last of all twelve, so no later empty slot
             // overwrites what it might leave in the list's empty entries.
             Components components = {{"Ar", 0.3}, {"H2", 0.2}};
             while (components.size() < 11)
                 components.push_back({"Ar", 0.8});
             components.push_back({"", 0.4});
             SetInputMix(1, components);
         },
         true, 1, Converged,
         [] {
             EXPECT_EQ(GasListNames(), (std::vector<std::string>{"Ar", "H2", "O2", "H2O"}));
             const MixtureRecord& i1 = Mixtures[1];
             EXPECT_EQ(i1.Gas[1].Fraction, 0.8);
             EXPECT_EQ(i1.Gas[2].Fraction, 0.2);
             for (int c = 3; c <= MaxGases; ++c)
                 EXPECT_EQ(i1.Gas[c].Fraction, 0) << c;
         }},
        {"twelve distinct gases are accepted", [] { SetInputMix(1, TenGases); }, true, 1, Converged,
         [] { EXPECT_EQ(GasCount, 12); }},
    });
}

TEST_F(MixerRun, EndsTheCalculationAtTheThirteenthGas) {
    SetInputMix(1, TenGases);
    SetInputMix(2, {{"C(s)", 1.0}});
    SetMeter(3, 2, 2, 10);
    Mixtures[NodeMixture(4)].Ready = 1;
    Mixtures[NodeMixture(4)].Flow = 7;
    Cells[5].State = CellRunState::Passed;

    EXPECT_FALSE(RunMixerStage());

    EXPECT_EQ(Recorder.Log, TooManyGases);
    EXPECT_EQ(GasCount, 12);
    // The fresh copies of the input mixtures are not laid out; nodes and cells are untouched.
    EXPECT_EQ(Mixtures[1].Gas[1].Gas.Str(), "H2");
    EXPECT_EQ(Mixtures[2].Gas[1].Gas.Str(), "C(s)");
    EXPECT_EQ(Mixtures[NodeMixture(4)].Ready, 1);
    EXPECT_EQ(Mixtures[NodeMixture(4)].Flow, 7);
    EXPECT_EQ(Cells[5].State, CellRunState::Passed);
}

TEST_F(MixerRun, TreatsNumbersBeyondTheTablesFromAFileAsNotConnected) {
    SetInputMix(1, {{"Ar", 1.0}});
    SetMeter(1, 1, 1, 10);
    SetConstantFlow(1, 1, 2);
    SetMeter(2, 1, 17, 10);    // feeds no node
    SetMeter(4, 1, 65535, 10); // feeds no node
    SetMeter(5, 33, 3, 0);     // no input, but no reading either
    SetMeter(7, 65535, 4, 10); // no input and a reading: M4 cannot be resolved
    Cells[2].Mix = 65535;
    Flowmeters[2].Flow = Flowmeters[4].Flow = 42;
    SaveMixerFile();
    SaveCellFile();
    SaveCalibrationFile();
    SaveInputFile();
    StartOnFileSet(DefaultBase());
    ASSERT_EQ(Flowmeters[7].Input, 65535);
    ASSERT_EQ(Cells[2].Mix, 65535);
    Recorder.Clear();

    EXPECT_FALSE(RunMixerStage());

    EXPECT_EQ(Recorder.Log, Join({BlockedWarning, BlockedWarning, NotConverging}));
    EXPECT_EQ(Flowmeters[2].Flow, 42);
    EXPECT_EQ(Flowmeters[4].Flow, 42);
    EXPECT_EQ(Mixtures[NodeMixture(3)].Ready, 1);
    EXPECT_EQ(Mixtures[NodeMixture(4)].Ready, 0);

    // Without the blocking reading the rig calculates, and the cell without a node gets no feed.
    Flowmeters[7].Reading = 0;
    Recorder.Clear();
    EXPECT_TRUE(RunMixerStage());
    EXPECT_EQ(Recorder.Log, Converged);
    for (const GasFraction& slot : CellFeed[2]) {
        EXPECT_TRUE(slot.Gas.Empty());
        EXPECT_EQ(slot.Fraction, 0);
    }
    EXPECT_DOUBLE_EQ(CellFeed[1][1].Fraction, 1 / (1 + 1e-5 + 3e-5));
}
