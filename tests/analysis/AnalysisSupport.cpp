// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/AnalysisSupport.h"

#include "core/MixerNetwork.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/FormationReactions.h"
#include "files/RigJson.h"

#include <QFile>

#include <cmath>

void AnalysisTest::ReadExampleRig() {
    QFile file(QStringLiteral(QUORVANE_EXAMPLE_RIG_JSON));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::string error;
    ASSERT_TRUE(RigFromJson(file.readAll().toStdString(), error)) << error;
}

void SetGlobally(const RigParameter& parameter, double value) {
    RigSetup setup = CaptureRigSetup();
    SetRigParameter(parameter, setup, value);
    Cells = setup.Cells;
    Flowmeters = setup.Flowmeters;
}

RigParameter Parsed(const std::string& name) {
    std::string error;
    const std::optional<RigParameter> parameter = ParseRigParameter(name, error);
    EXPECT_TRUE(parameter) << name << ": " << error;
    return parameter.value_or(RigParameter{});
}

void ExpectSameAsGlobal(const RigPointResult& point, const std::string& what) {
    SCOPED_TRACE(what);
    std::vector<int> connected;
    for (int c = 1; c <= CellCount; ++c)
        if (CellNode(c) != 0)
            connected.push_back(c);
    ASSERT_EQ(point.Cells.size(), connected.size());
    for (std::size_t i = 0; i < connected.size(); ++i) {
        const int c = connected[i];
        const CellPoint& cell = point.Cells[i];
        SCOPED_TRACE("cell " + std::to_string(c));
        EXPECT_EQ(cell.Index, c);
        EXPECT_EQ(cell.Name, Cells[c].Name.Str());
        EXPECT_EQ(cell.State, CellRunStateName(Cells[c].State));
        EXPECT_EQ(cell.Temperature, Cells[c].Temperature);
        EXPECT_EQ(cell.Pressure, Cells[c].Pressure);
        ASSERT_EQ(cell.Feed.size(), static_cast<std::size_t>(GasCount));
        for (int b = 1; b <= GasCount; ++b) {
            EXPECT_EQ(cell.Feed[b - 1].Gas, GasList[b].Str());
            EXPECT_EQ(cell.Feed[b - 1].Fraction, CellFeed[c][b].Fraction) << GasList[b].Str();
        }
        if (Cells[c].State != CellRunState::Converged) {
            EXPECT_TRUE(cell.Equilibrium.empty());
            continue;
        }
        ASSERT_EQ(cell.Equilibrium.size(), static_cast<std::size_t>(EqSpeciesCount));
        for (int j = 1; j <= EqSpeciesCount; ++j) {
            const SpeciesPressure& species = cell.Equilibrium[j - 1];
            EXPECT_EQ(species.Species, Compounds[EqSpecies[j]].Formula);
            const long double global = CellBestAmounts[c][j];
            if (global <= 0) {
                EXPECT_LE(species.Pressure, 0) << species.Species;
                continue;
            }
            EXPECT_NEAR(static_cast<double>(std::log10(species.Pressure)),
                        static_cast<double>(std::log10(global)), 1e-9)
                << species.Species;
        }
    }
}

std::vector<unsigned char> GlobalBytes() {
    std::vector<unsigned char> bytes;
    const auto add = [&bytes](const auto& table) {
        const auto* first = reinterpret_cast<const unsigned char*>(&table);
        bytes.insert(bytes.end(), first, first + sizeof table);
    };
    add(InputMixtures);
    add(Mixtures);
    add(Flowmeters);
    add(Calibrations);
    add(Cells);
    add(GasList);
    add(GasCount);
    add(WorkGas);
    add(CellFeed);
    add(FlowmeterCurves);
    add(NetworkSweeps);
    add(UsedElements);
    add(UsedElementCount);
    add(EqSpecies);
    add(EqSpeciesCount);
    add(ReactionCount);
    add(FeedAmounts);
    add(CellAmounts);
    add(CellBestAmounts);
    add(ElementTotals);
    add(ElementRatios);
    add(MainElement);
    add(CellPasses);
    add(CellBestError);
    add(EqWorkList);
    add(BalanceMatrix);
    add(BalanceRightSides);
    add(ReactionMatrix);
    add(LogKeq);
    add(Elements);
    for (const CompoundRecord& species : Compounds)
        bytes.push_back(species.Selected ? 1 : 0);
    return bytes;
}
