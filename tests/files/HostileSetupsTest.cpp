// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile setups: files as a typo, a broken USB stick or a careless script can leave them,
// loaded and calculated as the headless calculator does. Each case starts from the example rig,
// spoils some of its files, starts the program on the set and calculates it within tight
// bounds, by the pattern search and by the exact solver. Whatever the files hold, the calculation
// must end, keep every index in its table and hand the solver only what it can work with; where the
// decided behaviour says which cells are calculated and which messages show, the case says so too.
#include "core/Cat.h"
#include "core/MixerNetwork.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "files/RigJson.h"
#include "files/SetupFiles.h"
#include "files/StartUp.h"
#include "report/CalcReport.h"
#include "support/TestSetup.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

// The example rig feeds cells 1 to 4 from nodes M1 to M4; cells 5 to 8 have no node.
void ReadExampleRig() {
    QFile file(QStringLiteral(QUORVANE_EXAMPLE_RIG_JSON));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::string error;
    ASSERT_TRUE(RigFromJson(file.readAll().toStdString(), error)) << error;
}

// Every real field of each stored table.
void ForEachReal(IndexedTable<MixtureRecord, 1, InputMixtureCount>& table,
                 const std::function<void(double&)>& visit) {
    for (MixtureRecord& r : table) {
        for (double* x : {&r.Reserved1, &r.Flow, &r.Reserved2})
            visit(*x);
        for (GasFraction& g : r.Gas)
            visit(g.Fraction);
    }
}
void ForEachReal(IndexedTable<FlowmeterRecord, 1, FlowmeterCount>& table,
                 const std::function<void(double&)>& visit) {
    for (FlowmeterRecord& r : table)
        for (double* x : {&r.Reserved1, &r.Reading, &r.Flow, &r.FixGasT, &r.Reserved2})
            visit(*x);
}
void ForEachReal(IndexedTable<CalibrationRecord, 1, CalibrationCount>& table,
                 const std::function<void(double&)>& visit) {
    for (CalibrationRecord& r : table) {
        visit(r.Temp);
        visit(r.Press);
        for (CalibrationPoint& p : r.Point) {
            visit(p.Reading);
            visit(p.Flow);
        }
    }
}
void ForEachReal(IndexedTable<CellRecord, 1, CellCount>& table,
                 const std::function<void(double&)>& visit) {
    for (CellRecord& r : table)
        for (double* x : {&r.Pressure, &r.Temperature, &r.LeakO2, &r.LeakN2, &r.LeakH2, &r.LeakH2O})
            visit(*x);
}

std::function<void()> EveryRealOf(const char* table, double value) {
    const std::string name = table;
    return [name, value] {
        const auto set = [value](double& x) { x = value; };
        if (name == "INP" || name == "all")
            ForEachReal(InputMixtures, set);
        if (name == "MIX" || name == "all")
            ForEachReal(Flowmeters, set);
        if (name == "CAL" || name == "all")
            ForEachReal(Calibrations, set);
        if (name == "CEL" || name == "all")
            ForEachReal(Cells, set);
    };
}

// Every text field's length byte set to 255, far beyond every capacity.
void LongTextLengths() {
    for (MixtureRecord& r : InputMixtures) {
        r.Name.Length = 255;
        for (GasFraction& g : r.Gas)
            g.Gas.Length = 255;
    }
    for (FlowmeterRecord& r : Flowmeters)
        for (auto* text : {&r.Make, &r.Size, &r.Float, &r.FixGas, &r.FixGasType})
            text->Length = 255;
    for (CalibrationRecord& r : Calibrations) {
        for (auto* text : {&r.Make, &r.Size, &r.Float})
            text->Length = 255;
        r.Gas.Length = 255;
    }
    for (CellRecord& r : Cells)
        r.Name.Length = 255;
}

void LargestIndices() {
    for (FlowmeterRecord& r : Flowmeters)
        r.Input = r.Output = 65535;
    for (CalibrationRecord& r : Calibrations)
        r.Flowmeter = r.Reserved = 65535;
    for (CellRecord& r : Cells)
        r.Mix = 65535;
}

std::function<void()> Readings(double reading) {
    return [reading] {
        for (FlowmeterRecord& r : Flowmeters)
            r.Reading = reading;
    };
}

void AllPointsEqual() {
    for (CalibrationRecord& r : Calibrations)
        for (CalibrationPoint& p : r.Point)
            p = r.Point[1];
}

// A file of the set replaced by one of its size in a single repeated byte.
struct Filling {
    const char* Extension = "";
    char Byte = 0;
};

struct Case {
    std::string Title;
    std::function<void()> Edit;    // on the example rig's tables, before they are saved
    std::vector<Filling> Fillings; // then files overwritten whole
    std::string Calculated;        // per cell: 'C' calculated, '-' left out; empty: not checked
    bool MixerFails = false;       // the mixer stage ends the calculation
    std::vector<std::string> Shown = {}; // red lines that must be among the messages, once
};

const std::string OutOfRange = ": temperature or pressure out of range";

std::vector<Case> HostileCases() {
    std::vector<Case> cases = {
        {"all four files all zero bytes",
         {},
         {{"INP", 0}, {"MIX", 0}, {"CAL", 0}, {"CEL", 0}},
         "--------"},
        {"all four files all 0xFF bytes",
         {},
         {{"INP", '\xFF'}, {"MIX", '\xFF'}, {"CAL", '\xFF'}, {"CEL", '\xFF'}},
         "--------"},
        // Input mixtures that are not ready starve flowmeters that have readings.
        {"input mixtures all zero bytes", {}, {{"INP", 0}}, "--------", true},
        {"input mixtures all 0xFF bytes", {}, {{"INP", '\xFF'}}, "--------", true},
        // Flowmeters and curves that deliver nothing leave the cells their leaks.
        {"flowmeters all zero bytes", {}, {{"MIX", 0}}, "CCCC----"},
        {"flowmeters all 0xFF bytes", {}, {{"MIX", '\xFF'}}, "CCCC----"},
        {"curves all zero bytes", {}, {{"CAL", 0}}, "CCCC----"},
        {"curves all 0xFF bytes", {}, {{"CAL", '\xFF'}}, "CCCC----"},
        {"cells all zero bytes", {}, {{"CEL", 0}}, "--------"},
        {"cells all 0xFF bytes", {}, {{"CEL", '\xFF'}}, "--------"},
        {"text length bytes of 255", LongTextLengths, {}, ""},
        {"Mix, Input, Output and Flowmeter of 65535", LargestIndices, {}, "--------"},
        {"one cell with Mix 65535", [] { Cells[1].Mix = 65535; }, {}, "-CCC----"},
        {"readings of 1e308", Readings(1e308), {}, "CCCC----"},
        {"readings of -1e308", Readings(-1e308), {}, "CCCC----"},
        {"a negative fraction", [] { InputMixtures[1].Gas[1].Fraction = -0.05; }, {}, "CCCC----"},
        // A component with a NaN fraction is no gas of the calculation unless another mixture
        // brings that gas; then the NaN reaches node M1, and cell 1's feed counts as one of sum 0.
        {"a NaN fraction of a gas that only its mixture names",
         [] { InputMixtures[1].Gas[1].Fraction = Nan; },
         {},
         "CCCC----"},
        {"a NaN fraction of a gas that another mixture brings",
         [] { InputMixtures[1].Gas[2].Fraction = Nan; },
         {},
         "-CCC----"},
        {"a cell at -273.15 C and one at 1e6 C",
         [] {
             Cells[1].Temperature = -273.15;
             Cells[2].Temperature = 1e6;
         },
         {},
         "-CCC----",
         false,
         {Cat("Cell 1", OutOfRange)}},
        {"cell pressures of 0, negative and NaN",
         [] {
             Cells[1].Pressure = 0;
             Cells[2].Pressure = -1;
             Cells[3].Pressure = Nan;
         },
         {},
         "---C----",
         false,
         {Cat("Cell 1", OutOfRange), Cat("Cell 2", OutOfRange), Cat("Cell 3", OutOfRange)}},
        {"calibration points all equal", AllPointsEqual, {}, "CCCC----"},
    };
    // NaN and infinite reals in every real field, table by table and all at once: only the
    // promises that hold whatever the files hold are checked.
    for (const char* table : {"INP", "MIX", "CAL", "CEL", "all"})
        for (const double value : {Nan, Infinity, -Infinity})
            cases.push_back({Cat("every real of ", table, " ", std::to_string(value)),
                             EveryRealOf(table, value),
                             {},
                             ""});
    return cases;
}

std::vector<std::string> RedTexts(const std::vector<StatusMessage>& messages) {
    std::vector<std::string> texts;
    for (const StatusMessage& m : messages)
        if (m.Colour == StatusColour::Red)
            texts.push_back(m.Text);
    return texts;
}

// What every finished calculation keeps to, whatever the setup.
void ExpectSoundEnd(CalcOutcome outcome, const std::vector<StatusMessage>& messages) {
    EXPECT_FALSE(Running);
    EXPECT_FALSE(StopRequested);
    EXPECT_GE(GasCount, 0);
    EXPECT_LE(GasCount, MaxGases);
    EXPECT_LE(EqSpeciesCount, MaxEqSpecies);
    for (int c = 1; c <= CellCount; ++c) {
        SCOPED_TRACE("cell " + std::to_string(c));
        const CellRecord& cell = Cells[c];
        EXPECT_TRUE(cell.State == CellRunState::NotCalculated ||
                    cell.State == CellRunState::Passed || cell.State == CellRunState::Converged)
            << int(cell.State);
        for (const GasFraction& slot : CellFeed[c])
            EXPECT_TRUE(std::isfinite(slot.Fraction));
        if (cell.State == CellRunState::NotCalculated)
            continue;
        // A calculated cell has a node, conditions the solver can work with and a feed.
        EXPECT_NE(CellNode(c), 0);
        EXPECT_TRUE(std::isfinite(cell.Pressure) && cell.Pressure > 0);
        EXPECT_TRUE(std::isfinite(cell.Temperature) && cell.Temperature + 273.15 > 0);
        EXPECT_GE(MainElement[c], 1);
        EXPECT_LE(CellPasses[c], 1);
        // What a converged cell shows is an answer: amounts, none negative.
        for (int j = 1; j <= EqSpeciesCount && cell.State == CellRunState::Converged; ++j)
            EXPECT_TRUE(std::isfinite(CellBestAmounts[c][j]) && CellBestAmounts[c][j] >= 0) << j;
    }
    for (const ReportFormat format : {ReportFormat::Text, ReportFormat::Csv})
        EXPECT_FALSE(FormatReport(outcome, messages, {format}).empty());
    const std::string json = FormatReport(outcome, messages, {ReportFormat::Json});
    EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(json)).isNull());
}

} // namespace

using HostileSetups = ProgramTest;

TEST_F(HostileSetups, LoadAndCalculateWithoutACrashAHangOrUndefinedBehaviour) {
    SetupElements();
    SetupCompounds();
    const std::string base = TempPath("Hostile");
    for (const Case& c : HostileCases()) {
        SCOPED_TRACE(c.Title);
        SetStoredTablesToDefaults();
        ReadExampleRig();
        if (c.Edit)
            c.Edit();
        SaveFileSet(base);
        for (const Filling& f : c.Fillings) {
            const std::string name = base + "." + f.Extension;
            WriteFileBytes(name, std::vector<char>(ReadFileBytes(name).size(), f.Byte));
        }

        std::ostringstream statusLines;
        BatchWindow loading(statusLines);
        loading.ShowProgress = false;
        SetWindow(&loading);
        const std::array<bool, 4> read = StartOnFileSet(base);
        SetWindow(&Recorder);
        EXPECT_EQ(read, (std::array<bool, 4>{true, true, true, true}));

        // Each solver calculates the set as loaded; its window holds what the loading said too.
        for (const EquilibriumSolver solver :
             {EquilibriumSolver::Pattern, EquilibriumSolver::Exact}) {
            SCOPED_TRACE(solver == EquilibriumSolver::Exact ? "exact solver" : "pattern search");
            BatchWindow window(statusLines);
            window.ShowProgress = false;
            window.Messages = loading.Messages;
            SetWindow(&window);
            const CalcOutcome outcome = RunCalculation(CalcBounds{1, 1, 1, solver});
            SetWindow(&Recorder);

            ExpectSoundEnd(outcome, window.Messages);
            if (!c.Calculated.empty()) {
                EXPECT_EQ(outcome == CalcOutcome::MixerFailed, c.MixerFails);
                std::string calculated;
                for (const CellRecord& cell : Cells)
                    calculated += cell.State == CellRunState::NotCalculated ? '-' : 'C';
                EXPECT_EQ(calculated, c.Calculated);
            }
            const std::vector<std::string> red = RedTexts(window.Messages);
            for (const std::string& text : c.Shown)
                EXPECT_EQ(std::count(red.begin(), red.end(), text), 1) << text;
            // A message about a cell's conditions is shown only for a cell that was left out.
            for (int cell = 1; cell <= CellCount; ++cell) {
                if (Cells[cell].State != CellRunState::NotCalculated) {
                    EXPECT_EQ(std::count(red.begin(), red.end(),
                                         Cat("Cell ", std::to_string(cell), OutOfRange)),
                              0);
                }
            }
        }
    }
}
