// SPDX-License-Identifier: GPL-3.0-or-later
// The example rig that the build makes from examples/example-rig.json: what it is meant to show,
// and that it converges.
#include "core/Cat.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "files/StartUp.h"
#include "report/CalcReport.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

std::set<std::string> GasesOf(const MixtureRecord& mixture) {
    std::set<std::string> gases;
    for (const GasFraction& slot : mixture.Gas)
        if (slot.Fraction > 0)
            gases.insert(std::string(TrimName(slot.Gas.View())));
    return gases;
}

double FractionOf(const MixtureRecord& mixture, const std::string& gas) {
    for (const GasFraction& slot : mixture.Gas)
        if (slot.Gas == gas)
            return slot.Fraction;
    return 0;
}

bool InUse(const FlowmeterRecord& meter) {
    return meter.Reading > 0 && FlowmeterNode(int(&meter - Flowmeters.begin()) + 1) != 0;
}

// A curve made for this flowmeter and gas: every property of the lookup matches.
const CalibrationRecord* CurveFor(int f, const std::string& gas) {
    for (const CalibrationRecord& curve : Calibrations)
        if (curve.Flowmeter == f && curve.Gas == gas && curve.Make == Flowmeters[f].Make &&
            curve.Size == Flowmeters[f].Size && curve.Float == Flowmeters[f].Float)
            return &curve;
    return nullptr;
}

using ExampleRig = EquilibriumRun;

} // namespace

TEST_F(ExampleRig, ShowsTheRigsPartsAndConverges) {
    ASSERT_EQ(StartOnFileSet(QUORVANE_EXAMPLE_BASE), (std::array<bool, 4>{true, true, true, true}));
    EXPECT_TRUE(Recorder.StatusLines().empty());
    ASSERT_EQ(RunCalculation(20), CalcOutcome::Converged);
    EXPECT_TRUE(Recorder.Log.end() ==
                std::find_if(Recorder.Log.begin(), Recorder.Log.end(),
                             [](const std::string& line) { return line.rfind("red: ", 0) == 0; }))
        << "no warning";
    EXPECT_EQ(Recorder.Warnings, std::vector<std::string>{}) << "the rig check finds nothing";

    int hotCells = 0;
    bool oxidising = false;
    bool buffer = false;
    int withoutCarbon = 0;
    int withCarbon = 0;
    for (int c = 1; c <= CellCount; ++c) {
        const int node = CellNode(c);
        if (node == 0)
            continue;
        EXPECT_EQ(Cells[c].State, CellRunState::Converged) << c;
        hotCells += Cells[c].Temperature >= 600 && Cells[c].Temperature <= 1000;
        const MixtureRecord& gas = Mixtures[NodeMixture(node)];
        oxidising = oxidising || FractionOf(gas, "O2") > 0.01;
        buffer = buffer || (FractionOf(gas, "CO") > 0.1 && FractionOf(gas, "CO2") > 0.1);
        const bool carbon = FractionOf(gas, "CO") > 0 || FractionOf(gas, "CO2") > 0;
        withCarbon += carbon;
        withoutCarbon += !carbon && FractionOf(gas, "H2") > 0 && FractionOf(gas, "H2O") > 0;
    }
    EXPECT_GE(hotCells, 4);
    EXPECT_TRUE(oxidising) << "a cell fed with oxygen";
    EXPECT_TRUE(buffer) << "a cell fed with a CO/CO2 buffer";
    EXPECT_GE(withoutCarbon, 1) << "a wet-hydrogen cell without carbon";
    EXPECT_GE(withCarbon, 1) << "beside cells with carbon";

    bool humidifiedPremix = false;
    bool nodeFromNode = false;
    bool stageAfter = false;
    for (int f = 1; f <= FlowmeterCount; ++f) {
        const FlowmeterRecord& meter = Flowmeters[f];
        if (!InUse(meter))
            continue;
        SCOPED_TRACE(Cat("F", std::to_string(f)));
        const int source = FlowmeterSource(f);
        ASSERT_NE(source, 0);
        const bool stage = meter.FixGasUsed == 1;
        humidifiedPremix = humidifiedPremix ||
                           (stage && source <= InputMixtureCount && meter.FixGasType == "PURE" &&
                            meter.FixGas == "H2O" &&
                            GasesOf(InputMixtures[source]) == std::set<std::string>{"H2", "Ar"});
        nodeFromNode = nodeFromNode || source > InputMixtureCount;
        stageAfter = stageAfter || (stage && meter.FixGasBefore == 0);

        // A curve for every gas the flowmeter measures, with plausible points: readings
        // rising from 0 to at most 150, flows in ml/min rising with them.
        std::set<std::string> measured = GasesOf(Mixtures[source]);
        if (stage && meter.FixGasBefore == 1)
            measured.insert(meter.FixGas.Str());
        for (const std::string& gas : measured) {
            const CalibrationRecord* curve = CurveFor(f, gas);
            ASSERT_NE(curve, nullptr) << gas;
            EXPECT_EQ(curve->Point[1].Reading, 0) << gas;
            int points = 0;
            for (int k = 2; k <= 20 && curve->Point[k].Reading > 0; ++k) {
                ++points;
                EXPECT_GT(curve->Point[k].Reading, curve->Point[k - 1].Reading) << gas << k;
                EXPECT_GT(curve->Point[k].Flow, curve->Point[k - 1].Flow) << gas << k;
                EXPECT_LE(curve->Point[k].Reading, 150) << gas;
                EXPECT_LE(curve->Point[k].Flow, 5000) << gas;
            }
            EXPECT_GE(points, 4) << gas;
            EXPECT_GT(meter.Flow, 1) << "ml/min";
        }
    }
    EXPECT_TRUE(humidifiedPremix) << "an H2/Ar premix through a PURE water saturator";
    EXPECT_TRUE(nodeFromNode) << "a node fed by another node";
    EXPECT_TRUE(stageAfter) << "a stage after its flowmeter";
}
