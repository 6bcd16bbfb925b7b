// SPDX-License-Identifier: GPL-3.0-or-later
#include "EquilibriumSetup.h"

#include "EquilibriumCheck.h"
#include "core/Calculate.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "equilibrium/EqCalcUnit.h"

#include <cmath>
#include <limits>
#include <sstream>

void SetCellFeeds(const std::vector<Components>& feeds) {
    GasList = {};
    GasCount = 0;
    CellFeed = {};
    auto position = [](const std::string& gas) {
        for (int b = 1; b <= GasCount; ++b)
            if (GasList[b] == gas)
                return b;
        GasList[++GasCount].Set(gas);
        return GasCount;
    };
    for (const Components& feed : feeds)
        for (const auto& component : feed)
            position(component.first);
    for (int c = 1; c <= CellCount; ++c) {
        const bool fed = c <= static_cast<int>(feeds.size());
        Cells[c].Mix = fed ? 1 : 0;
        if (!fed)
            continue;
        for (int b = 1; b <= GasCount; ++b)
            CellFeed[c][b].Gas = GasList[b];
        for (const auto& [gas, fraction] : feeds[static_cast<std::size_t>(c - 1)])
            CellFeed[c][position(gas)].Fraction = fraction;
    }
}

const Components& ElevenGases() {
    static const Components gases = {{"H2", 0.05}, {"D2", 0.02},  {"N2", 0.1},   {"O2", 0.05},
                                     {"Ar", 0.5},  {"He", 0.1},   {"H2O", 0.05}, {"D2O", 0.02},
                                     {"CO", 0.05}, {"CO2", 0.05}, {"NH3", 0.01}};
    return gases;
}

void PrepareCellOne(const std::vector<Components>& feeds, double temperatureC, double pressure) {
    SetCellFeeds(feeds);
    Cells[1].Temperature = temperatureC;
    Cells[1].Pressure = pressure;
    EXPECT_TRUE(SelectEquilibriumSpecies());
    PrepareCells();
}

long double ErrorOfShownAmounts(int cell) {
    const CellSystem system = BuildCellSystem(cell, Cells[cell].Pressure, Cells[cell].Temperature);
    EqVector x{};
    for (int i = 1; i <= system.n(); ++i)
        x[i] = CellBestAmounts[cell][system.RunPosition[i]];
    return EquilibriumError(system.a, system.b, x, system.A, system.B, system.N, system.L);
}

int CompoundNumber(const std::string& formula) {
    for (int i = 1; i <= CompoundCount; ++i)
        if (Compounds[i].Formula == formula)
            return i;
    ADD_FAILURE() << formula << " is not in the species table";
    return 0;
}

void FakeFinishedRun() {
    EqSpecies[1] = static_cast<std::uint16_t>(CompoundNumber("H2"));
    EqSpecies[2] = static_cast<std::uint16_t>(CompoundNumber("H2O"));
    EqSpeciesCount = 2;
    GasList[1].Set("H2O");
    GasList[2].Set("H2");
    GasCount = 2;
    CellAmounts[2][1] = CellAmounts[2][2] = 1; // where a give-up return would start again
    CellBestAmounts[2][1] = 0.01L;
    CellBestAmounts[2][2] = 1e-320L;
    CellBestAmounts[3][1] = -1e-9L;
    CellBestAmounts[5][1] = std::numeric_limits<long double>::quiet_NaN();
    CellFeed[2][1].Fraction = 0.25;
    CellFeed[2][2].Fraction = 0.75;
    Cells[2].Name.Set("Furnace");
    Cells[3].Name.Set("");
}

std::vector<std::string> EqSpeciesFormulas() {
    std::vector<std::string> formulas;
    for (int j = 1; j <= EqSpeciesCount; ++j)
        formulas.push_back(Compounds[EqSpecies[j]].Formula);
    return formulas;
}

int EqPosition(const std::string& formula) {
    for (int j = 1; j <= EqSpeciesCount; ++j)
        if (Compounds[EqSpecies[j]].Formula == formula)
            return j;
    ADD_FAILURE() << formula << " is not a species of the run";
    return 1;
}

void EquilibriumRun::SetUp() {
    ProgramTest::SetUp();
    OnPass = nullptr;
    Recorder.OnRefreshCellColumn = nullptr;
    Passes = 0;
    CheckConvergedCells = true;
    SeedRandom(20260101);
    SetSecondsOfDaySource([now = 36000.0]() mutable { return now += 0.25; });
    Recorder.OnProcessPendingEvents = [this] {
        if (++Passes == PassLimit) {
            ADD_FAILURE() << "the run did not end within " << PassLimit << " passes";
            CalcStartStopClick();
        }
        if (OnPass)
            OnPass();
    };
}

void EquilibriumRun::TearDown() {
    for (int c = 1; c <= CellCount && CheckConvergedCells; ++c) {
        if (Cells[c].State == CellRunState::Converged) {
            EXPECT_TRUE(MeetsEquilibrium(c, ConvergedCellTolerance(c)));
        }
    }
    SetSecondsOfDaySource({});
    ProgramTest::TearDown();
}

int EquilibriumRun::PassesOf(int cell) const {
    const std::string prefix = "blue: Cell " + std::to_string(cell) + "   Iteration ";
    int passes = 0;
    for (const std::string& line : Recorder.Log)
        if (line.rfind(prefix, 0) == 0)
            ++passes;
    return passes;
}

::testing::AssertionResult RelativelyNear(long double actual, long double expected,
                                          long double relative) {
    if (std::fabs(actual - expected) <= relative * std::fabs(expected))
        return ::testing::AssertionSuccess();
    std::ostringstream s;
    s.precision(21);
    s << actual << " differs from " << expected << " by more than " << double(relative)
      << " relative";
    return ::testing::AssertionFailure() << s.str();
}
