#include "core/CalcReport.h"

#include "core/Calculate.h"
#include "core/Defaults.h"
#include "core/SetupTables.h"
#include "core/StatusLine.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "files/SetupFiles.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const Components ArgonAndOxygen = {{"Ar", 0.5}, {"O2", 0.5}};
const Components WetHydrogen = {{"H2", 0.1}, {"H2O", 0.1}, {"Ar", 0.8}};
// Never converges: solid carbon has no place in the gas balance.
const Components CarbonInArgon = {{"C(s)", 0.1}, {"Ar", 0.9}};

QJsonObject ParseObject(const std::string& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return document.object();
}

std::set<std::string> Keys(const QJsonObject& object) {
    std::set<std::string> keys;
    for (const QString& key : object.keys())
        keys.insert(key.toStdString());
    return keys;
}

std::vector<std::string> Strings(const QJsonValue& array) {
    std::vector<std::string> texts;
    for (const QJsonValue& value : array.toArray())
        texts.push_back(value.toString().toStdString());
    return texts;
}

std::vector<std::string> GasListNames() {
    std::vector<std::string> names;
    for (int b = 1; b <= GasCount; ++b)
        names.push_back(GasList[b].Str());
    return names;
}

// The rows of one results table of a text report with one cell column: name and value text.
std::vector<std::pair<std::string, std::string>> TextTableRows(const std::string& report,
                                                               const std::string& title) {
    std::vector<std::pair<std::string, std::string>> rows;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line) && line != title) {
    }
    std::getline(in, line); // the headings
    while (std::getline(in, line) && !line.empty()) {
        std::istringstream fields(line);
        std::string name;
        std::string value;
        fields >> name >> value;
        rows.emplace_back(name, value);
    }
    return rows;
}

const std::string LogEquilibrium = "Cell equilibrium, log10 of partial pressures (bar)";
const std::string LinearEquilibrium = "Cell equilibrium, partial pressures (bar)";
const std::string LogFeed = "Gas as fed, log10 of mole fractions";
const std::string LinearFeed = "Gas as fed, mole fractions";

} // namespace

using CalcReport = EquilibriumRun;

TEST_F(CalcReport, OutcomeAndExitStatusFollowTheMixerAndTheCells) {
    struct Case {
        const char* Title;
        std::function<void()> Rig;
        int MaxCycles;
        CalcOutcome Outcome;
        int Exit;
        const char* Status;
    };
    const std::vector<Case> cases = {
        {"argon and oxygen converge", [] { FeedCellOneAlone(ArgonAndOxygen); }, 20,
         CalcOutcome::Converged, 0, "converged"},
        {"no cell with a node has nothing left unconverged",
         [] {
             FeedCellOneAlone(ArgonAndOxygen);
             Cells[1].Mix = 0;
         },
         20, CalcOutcome::Converged, 0, "converged"},
        {"a flowmeter with a reading and no input",
         [] {
             FeedCellOneAlone(ArgonAndOxygen);
             SetMeter(1, 0, 1, 10);
         },
         20, CalcOutcome::MixerFailed, 1, "mixer-failed"},
        {"thirteen gases", [] { FeedThirteenGases(); }, 20, CalcOutcome::MixerFailed, 1,
         "mixer-failed"},
        {"carbon in argon within two cycles",
         [] {
             FeedCellOneAlone(CarbonInArgon);
             Cells[1].LeakO2 = Cells[1].LeakH2O = 0; // two species alone: quick passes
         },
         2, CalcOutcome::NotConverged, 3, "not-converged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        SetUp();
        c.Rig();
        const CalcOutcome outcome = RunCalculation(c.MaxCycles);
        EXPECT_EQ(outcome, c.Outcome);
        EXPECT_EQ(ExitStatus(outcome), c.Exit);
        EXPECT_EQ(MaxCellCycles, 0) << "the window's calculation stays unbounded";
        const QJsonObject json = ParseObject(FormatReport(outcome, {}, {ReportFormat::Json}));
        EXPECT_EQ(json["status"].toString().toStdString(), c.Status);
        TearDown();
    }
}

TEST_F(CalcReport, BoundsOnPassesAndIterationsHoldForOneCalculationOnly) {
    FeedCellOneAlone(CarbonInArgon);
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0;

    const CalcOutcome outcome = RunCalculation(CalcBounds{2, 3, 1});

    EXPECT_EQ(outcome, CalcOutcome::NotConverged);
    EXPECT_EQ(CellPasses[1], 6); // three passes in each of two cycles
    EXPECT_EQ(PassesOf(1), 6);
    EXPECT_EQ(MaxCellCycles, 0);
    EXPECT_EQ(MaxCellRunPasses, 0);
    EXPECT_EQ(MaxPassIterations, 0);
    // One iteration grows the step from 1e-6 by the square root of 2 or shrinks it by that of 3.
    const std::string first = "blue: Cell 1   Iteration 1   ";
    const auto line = std::find_if(Recorder.Log.begin(), Recorder.Log.end(),
                                   [&](const auto& l) { return l.rfind(first, 0) == 0; });
    ASSERT_NE(line, Recorder.Log.end());
    const std::string step = line->substr(line->find("Perturbation: ") + 14, 12);
    EXPECT_TRUE(step == "  0.00000141" || step == "  0.00000058") << step;

    // Bounds above the run's own eleven passes change nothing.
    SetUp();
    FeedCellOneAlone(CarbonInArgon);
    Cells[1].LeakO2 = Cells[1].LeakH2O = 0;
    RunCalculation(CalcBounds{1, 50, 500});
    EXPECT_EQ(CellPasses[1], 11);
}

TEST_F(CalcReport, JsonHoldsExactlyTheKeysOfEveryPartAndRoundTripNumbers) {
    FeedCellOneAlone(WetHydrogen);
    Cells[1].Name.Set("Hot");
    ASSERT_EQ(RunCalculation(20), CalcOutcome::Converged);
    const std::vector<StatusMessage> messages = {
        {StatusColour::Red, "Input mix 3 not properly defined"},
        {StatusColour::Blue, "Compound: H2O"}};

    const QJsonObject json = ParseObject(FormatReport(
        CalcOutcome::Converged, messages, {ReportFormat::Json, ReportView::Feed, true}));

    EXPECT_EQ(Keys(json), (std::set<std::string>{"gasList", "species", "solver", "status",
                                                 "messages", "flowmeters", "nodes", "cells"}));
    EXPECT_EQ(json["solver"].toString(), "pattern");
    const std::vector<std::string> gases = GasListNames();
    EXPECT_EQ(gases, (std::vector<std::string>{"H2", "H2O", "Ar", "O2"}));
    EXPECT_EQ(Strings(json["gasList"]), gases);
    const std::vector<std::string> species = EqSpeciesFormulas();
    EXPECT_EQ(Strings(json["species"]), species);

    const QJsonArray shown = json["messages"].toArray();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].toObject(),
              (QJsonObject{{"kind", "error"}, {"text", "Input mix 3 not properly defined"}}));
    EXPECT_EQ(shown[1].toObject(), (QJsonObject{{"kind", "info"}, {"text", "Compound: H2O"}}));

    const QJsonArray meters = json["flowmeters"].toArray();
    ASSERT_EQ(meters.size(), FlowmeterCount);
    for (int f = 1; f <= FlowmeterCount; ++f) {
        const QJsonObject meter = meters[f - 1].toObject();
        EXPECT_EQ(Keys(meter),
                  (std::set<std::string>{"index", "reading", "flow", "input", "output"}));
        EXPECT_EQ(meter["index"].toInt(), f);
        EXPECT_EQ(meter["reading"].toDouble(), Flowmeters[f].Reading);
        EXPECT_EQ(meter["flow"].toDouble(), Flowmeters[f].Flow);
        EXPECT_EQ(meter["input"].toInt(), Flowmeters[f].Input);
        EXPECT_EQ(meter["output"].toInt(), Flowmeters[f].Output);
    }
    EXPECT_EQ(meters[0].toObject()["flow"].toDouble(), 2.0);

    const QJsonArray nodes = json["nodes"].toArray();
    ASSERT_EQ(nodes.size(), NodeCount);
    for (int k = 1; k <= NodeCount; ++k) {
        const QJsonObject node = nodes[k - 1].toObject();
        const MixtureRecord& mixture = Mixtures[NodeMixture(k)];
        EXPECT_EQ(Keys(node), (std::set<std::string>{"index", "ready", "flow", "fractions"}));
        EXPECT_EQ(node["index"].toInt(), k);
        EXPECT_EQ(node["ready"].toBool(), mixture.Ready == 1);
        EXPECT_EQ(node["flow"].toDouble(), mixture.Flow);
        const QJsonObject fractions = node["fractions"].toObject();
        EXPECT_EQ(Keys(fractions), std::set<std::string>(gases.begin(), gases.end()));
        for (int b = 1; b <= GasCount; ++b)
            EXPECT_EQ(fractions[QString::fromStdString(gases[b - 1])].toDouble(),
                      mixture.Gas[b].Fraction);
    }

    const QJsonArray cells = json["cells"].toArray();
    ASSERT_EQ(cells.size(), CellCount);
    for (int c = 1; c <= CellCount; ++c) {
        SCOPED_TRACE(c);
        const QJsonObject cell = cells[c - 1].toObject();
        EXPECT_EQ(Keys(cell), (std::set<std::string>{"index", "name", "mix", "state",
                                                     "temperatureC", "pressure", "feed",
                                                     "equilibrium", "bestError", "passes"}));
        EXPECT_EQ(cell["index"].toInt(), c);
        EXPECT_EQ(cell["name"].toString().toStdString(), Cells[c].Name.Str());
        EXPECT_EQ(cell["mix"].toInt(), Cells[c].Mix);
        EXPECT_EQ(cell["state"].toInt(), Cells[c].State);
        EXPECT_EQ(cell["temperatureC"].toDouble(), Cells[c].Temperature);
        EXPECT_EQ(cell["pressure"].toDouble(), Cells[c].Pressure);
        const QJsonObject feed = cell["feed"].toObject();
        EXPECT_EQ(Keys(feed), std::set<std::string>(gases.begin(), gases.end()));
        for (int b = 1; b <= GasCount; ++b)
            EXPECT_EQ(feed[QString::fromStdString(gases[b - 1])].toDouble(),
                      CellFeed[c][b].Fraction);
        // Partial pressures, not their logarithms, whatever the options say.
        const QJsonObject equilibrium = cell["equilibrium"].toObject();
        EXPECT_EQ(Keys(equilibrium), std::set<std::string>(species.begin(), species.end()));
        for (int j = 1; j <= EqSpeciesCount; ++j)
            EXPECT_EQ(equilibrium[QString::fromStdString(species[j - 1])].toDouble(),
                      static_cast<double>(CellBestAmounts[c][j]));
        EXPECT_EQ(cell["passes"].toInt(), CellPasses[c]);
    }
    const QJsonObject first = cells[0].toObject();
    EXPECT_EQ(first["name"].toString(), "Hot");
    EXPECT_EQ(first["state"].toInt(), 5);
    EXPECT_GE(first["passes"].toInt(), 3);
    EXPECT_EQ(first["bestError"].toDouble(), static_cast<double>(CellBestError[1]));
    EXPECT_LE(first["bestError"].toDouble(), 1e-6);
    EXPECT_TRUE(cells[1].toObject()["bestError"].isNull()) << "a cell that made no pass";
}

TEST_F(CalcReport, OneChosenCellIsTheOnlyOneReported) {
    FeedCellOneAlone(ArgonAndOxygen);
    ASSERT_EQ(RunCalculation(20), CalcOutcome::Converged);
    ReportOptions options;
    options.Cell = 3; // a cell without a node can be chosen too

    options.Format = ReportFormat::Json;
    const QJsonArray cells =
        ParseObject(FormatReport(CalcOutcome::Converged, {}, options))["cells"].toArray();
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0].toObject()["index"].toInt(), 3);

    options.Format = ReportFormat::Text;
    const std::string text = FormatReport(CalcOutcome::Converged, {}, options);
    EXPECT_NE(text.find("OC 3; None"), std::string::npos);
    EXPECT_EQ(text.find("OC 1"), std::string::npos);

    options.Format = ReportFormat::Csv;
    std::istringstream csv(FormatReport(CalcOutcome::Converged, {}, options));
    std::string line;
    std::getline(csv, line);
    while (std::getline(csv, line))
        EXPECT_EQ(line.rfind("3,None,", 0), 0u) << line;
}

TEST_F(CalcReport, TextShowsTheChosenViewsWithTheValuesOfTheWindowsResultsTable) {
    FeedCellOneAlone(WetHydrogen);
    // Nitrogen is on the gas list, but no cell receives any: not a species of the run, and an
    // empty place in the logarithmic feed view.
    SetInputMix(2, {{"N2", 1.0}});
    SetMeter(2, 2, 2, 0);
    Cells[1].LeakO2 = 0;
    ASSERT_EQ(RunCalculation(20), CalcOutcome::Converged);

    struct Case {
        ReportView View;
        bool Linear;
        std::vector<std::string> Titles;
        std::vector<std::string> Absent;
    };
    const std::vector<Case> cases = {
        {ReportView::Both, false, {LogEquilibrium, LogFeed}, {LinearEquilibrium, LinearFeed}},
        {ReportView::Equilibrium, true, {LinearEquilibrium}, {LogFeed, LinearFeed}},
        {ReportView::Feed, true, {LinearFeed}, {LogEquilibrium, LinearEquilibrium}},
    };
    for (const Case& c : cases) {
        ReportOptions options;
        options.View = c.View;
        options.Linear = c.Linear;
        const std::string text = FormatReport(CalcOutcome::Converged, {}, options);
        for (const std::string& absent : c.Absent)
            EXPECT_EQ(text.find(absent + "\n"), std::string::npos) << absent;
        for (const std::string& title : c.Titles) {
            SCOPED_TRACE(title);
            EXPECT_NE(text.find(title + "\n"), std::string::npos);
            const bool equilibrium = title.rfind("Cell equilibrium", 0) == 0;
            const auto rows = TextTableRows(text, title);
            const std::vector<std::string> names =
                equilibrium ? EqSpeciesFormulas() : GasListNames();
            ASSERT_EQ(rows.size(), names.size());
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const int row = int(i) + 1;
                EXPECT_EQ(rows[i].first, names[i]);
                const double value = equilibrium ? static_cast<double>(CellBestAmounts[1][row])
                                                 : CellFeed[1][row].Fraction;
                if (!c.Linear && value <= 0) {
                    EXPECT_EQ(rows[i].second, "") << names[i];
                    continue;
                }
                ASSERT_FALSE(rows[i].second.empty()) << names[i];
                const double shown = std::stod(rows[i].second);
                if (!c.Linear)
                    EXPECT_NEAR(shown, std::log10(value), 6e-6) << names[i];
                else if (equilibrium)
                    EXPECT_NEAR(shown, value, 5e-5 * value) << names[i]; // four decimals
                else
                    EXPECT_NEAR(shown, value, 5e-7) << names[i];
            }
        }
    }
    EXPECT_EQ(TextTableRows(FormatReport(CalcOutcome::Converged, {}, {}), LogFeed).back(),
              (std::pair<std::string, std::string>{"N2", ""}));
}

TEST_F(CalcReport, CsvHasOneLinePerCellViewAndRowAtFullPrecision) {
    FeedCellOneAlone(WetHydrogen);
    Cells[1].Name.Set("Hot, \"wet\"");
    ASSERT_EQ(RunCalculation(20), CalcOutcome::Converged);

    for (const bool linear : {false, true}) {
        SCOPED_TRACE(linear ? "linear" : "logarithmic");
        ReportOptions options;
        options.Format = ReportFormat::Csv;
        options.Linear = linear;
        std::istringstream csv(FormatReport(CalcOutcome::Converged, {}, options));
        std::string line;
        std::getline(csv, line);
        EXPECT_EQ(line, linear ? "cell,name,temperatureC,pressure,state,view,species,value"
                               : "cell,name,temperatureC,pressure,state,view,species,log10");
        std::vector<std::string> expected;
        for (int j = 1; j <= EqSpeciesCount; ++j) {
            const long double x = CellBestAmounts[1][j];
            const double value =
                linear ? static_cast<double>(x) : static_cast<double>(Log10Clamped(x));
            std::ostringstream s;
            s.precision(17);
            s << value;
            expected.push_back(Compounds[EqSpecies[j]].Formula + "," + s.str());
        }
        for (int b = 1; b <= GasCount; ++b) {
            const double x = CellFeed[1][b].Fraction;
            std::ostringstream s;
            s.precision(17);
            s << (linear ? x : static_cast<double>(Log10Clamped(x)));
            expected.push_back(GasList[b].Str() + "," + s.str());
        }
        std::size_t n = 0;
        const std::string prefix = "1,\"Hot, \"\"wet\"\"\",800,1,converged,";
        while (std::getline(csv, line)) {
            ASSERT_LT(n, expected.size()) << line;
            ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
            const std::string rest = line.substr(prefix.size());
            const std::string view = n < std::size_t(EqSpeciesCount) ? "equilibrium," : "feed,";
            ASSERT_EQ(rest.rfind(view, 0), 0u) << line;
            // The text parses back to the very value.
            const std::string row = rest.substr(view.size());
            const std::size_t comma = row.find(',');
            EXPECT_EQ(row.substr(0, comma), expected[n].substr(0, expected[n].find(',')));
            EXPECT_EQ(std::stod(row.substr(comma + 1)),
                      std::stod(expected[n].substr(expected[n].find(',') + 1)))
                << line;
            ++n;
        }
        EXPECT_EQ(n, expected.size());
    }
}

TEST_F(CalcReport, TextOfAFailedMixerShowsTheMixerAndNoCells) {
    FeedCellOneAlone(ArgonAndOxygen);
    SetMeter(2, 0, 1, 10);
    const CalcOutcome outcome = RunCalculation(20);
    ASSERT_EQ(outcome, CalcOutcome::MixerFailed);
    const std::string text = FormatReport(outcome, {}, {});
    EXPECT_EQ(text.rfind("Status: mixer-failed\n", 0), 0u);
    EXPECT_NE(text.find("\nM1    no "), std::string::npos) << text;
    EXPECT_EQ(text.find("Cells"), std::string::npos);
    EXPECT_EQ(text.find(LogEquilibrium), std::string::npos);
}

TEST(BatchWindow, WritesAndKeepsEveryErrorAndTheProgressOnRequestWithoutPausing) {
    for (const bool progress : {false, true}) {
        std::ostringstream out;
        BatchWindow window(out);
        window.ShowProgress = progress;
        SetWindow(&window);
        const auto start = std::chrono::steady_clock::now();
        ShowStatusError("Non-converging mixer!", 4.0);
        ShowStatusInfo("Cell 1   Iteration 1", 0.0);
        ShowStatusError("Input mix 2 not properly defined", 1.0);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        SetWindow(nullptr);

        EXPECT_LT(elapsed, std::chrono::seconds(1));
        std::vector<std::string> kept;
        for (const StatusMessage& m : window.Messages)
            kept.push_back(std::string(m.Colour == StatusColour::Red ? "red " : "blue ") + m.Text);
        if (progress) {
            EXPECT_EQ(out.str(), "error: Non-converging mixer!\ninfo: Cell 1   Iteration 1\n"
                                 "error: Input mix 2 not properly defined\n");
            EXPECT_EQ(kept, (std::vector<std::string>{"red Non-converging mixer!",
                                                      "blue Cell 1   Iteration 1",
                                                      "red Input mix 2 not properly defined"}));
        } else {
            EXPECT_EQ(out.str(), "error: Non-converging mixer!\n"
                                 "error: Input mix 2 not properly defined\n");
            EXPECT_EQ(kept, (std::vector<std::string>{"red Non-converging mixer!",
                                                      "red Input mix 2 not properly defined"}));
        }
    }
}

TEST_F(CalcReport, StartsOnTheGivenFileSetAloneAndTellsWhichFilesItRead) {
    // A default file set with curves and cells of its own, which must not be read.
    Calibrations[1].Make.Set("Default");
    Cells[1].Name.Set("Default");
    SaveFileSet(DefaultBase());
    // The rig: only its input mixtures and its cells.
    ResetProgramState();
    DefaultSetupLocation = DefaultBase();
    InstallDefaults();
    SetInputMix(3, {{"o2", 1.0}}); // not a formula: the check says so while the rig is read
    Cells[1].Name.Set("Rig");
    SaveFileSet(TempPath("rig"));
    QFile::remove(QString::fromStdString(TempPath("rig.MIX")));
    QFile::remove(QString::fromStdString(TempPath("rig.CAL")));
    ResetProgramState();
    Recorder.Clear();

    const std::array<bool, 4> read = StartOnFileSet(TempPath("rig"));

    EXPECT_EQ(read, (std::array<bool, 4>{true, false, false, true}));
    EXPECT_EQ(Cells[1].Name.Str(), "Rig");
    EXPECT_EQ(Calibrations[1].Make.Str(), "None");
    EXPECT_EQ(InputMixtures[3].Ready, 0);
    EXPECT_EQ(Recorder.StatusLines(),
              std::vector<std::string>{"red: Input mix 3 not properly defined"});
    EXPECT_EQ(CompoundCount, 13) << "the species table is built";
}

namespace {
// Cell 1 fed through flowmeter 1 as FeedCellOneAlone does, cell 2 with the second gas through
// flowmeter 2, both at 800 degrees Celsius and without leaks.
void FeedTwoCells(const Components& first, const Components& second) {
    FeedCellOneAlone(first);
    SetInputMix(2, second);
    SetMeter(2, 2, 2, 10);
    SetConstantFlow(2, 2, 2.0);
    Cells[2].Mix = 2;
    Cells[2].Temperature = 800;
    for (const int c : {1, 2})
        Cells[c].LeakO2 = Cells[c].LeakH2O = 0;
}

// The line of the text report's cell table for a cell; its last columns are the passes and
// the best error.
std::string CellLine(int cell) {
    ReportOptions options;
    options.Cell = cell;
    std::istringstream in(FormatReport(CalcOutcome::NotConverged, {}, options));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("OC " + std::to_string(cell) + "  ", 0) == 0)
            return line;
    return "";
}
} // namespace

TEST_F(CalcReport, ABoundedRunNamesEveryCellThatHasNotConvergedButTheWindowDoesNot) {
    FeedTwoCells(ArgonAndOxygen, CarbonInArgon);

    ASSERT_EQ(RunCalculation(CalcBounds{1, 0, 0}), CalcOutcome::NotConverged);

    EXPECT_EQ(Cells[1].State, 5);
    EXPECT_EQ(Cells[2].State, 4);
    const std::string line = CellLine(2);
    const std::string error = line.substr(line.find_last_of(' ') + 1);
    EXPECT_EQ(error.size(), 8u) << line; // as 9.19E-07
    EXPECT_EQ(Recorder.RedLines(),
              std::vector<std::string>{"red: Cell 2 has not converged: best error " + error +
                                       " after 11 passes"});

    // The window's calculation goes on until it is stopped, and says nothing.
    SetUp();
    FeedTwoCells(ArgonAndOxygen, CarbonInArgon);
    OnPass = [this] {
        if (PassesOf(2) == 22)
            CalcStartStopClick();
    };
    ASSERT_TRUE(Run1Click());
    EXPECT_EQ(Cells[2].State, 4);
    EXPECT_EQ(Recorder.RedLines(), std::vector<std::string>{});
}

TEST_F(CalcReport, TheExactSolverSolvesEachCellOnceAndSaysWhyItCannot) {
    // Wet hydrogen; and pure CO, which has no more oxygen than carbon.
    FeedTwoCells(WetHydrogen, {{"CO", 1.0}});

    const CalcOutcome outcome = RunCalculation(CalcBounds{20, 0, 0}, EquilibriumSolver::Exact);

    EXPECT_EQ(outcome, CalcOutcome::NotConverged);
    EXPECT_EQ(CellSolver, EquilibriumSolver::Pattern) << "the window keeps its solver";
    EXPECT_EQ(Cells[1].State, 5);
    EXPECT_EQ(Cells[2].State, 4);
    EXPECT_EQ(CellPasses[1], 1);
    EXPECT_EQ(CellPasses[2], 1);
    EXPECT_EQ(Recorder.RedLines(),
              std::vector<std::string>{
                  "red: Cell 2: no equilibrium: the feed holds no more oxygen than carbon"});
    // The error measure of the pattern search at the answer.
    const CellSystem system = BuildCellSystem(1, Cells[1].Pressure, Cells[1].Temperature);
    EqVector x{};
    for (int i = 1; i <= system.n(); ++i)
        x[i] = CellBestAmounts[1][system.RunPosition[i]];
    EXPECT_EQ(CellBestError[1],
              EquilibriumError(system.a, system.b, x, system.A, system.B, system.N, system.L));
    EXPECT_LT(CellBestError[1], 1e-12L);
    for (int j = 1; j <= EqSpeciesCount; ++j)
        EXPECT_EQ(CellAmounts[1][j], CellBestAmounts[1][j]) << j;

    ReportOptions options;
    options.Format = ReportFormat::Json;
    options.Solver = EquilibriumSolver::Exact;
    const QJsonObject json = ParseObject(FormatReport(outcome, {}, options));
    EXPECT_EQ(json["solver"].toString(), "exact");
    const QJsonArray cells = json["cells"].toArray();
    const QJsonObject solved = cells[0].toObject();
    EXPECT_EQ(solved["state"].toInt(), 5);
    EXPECT_EQ(solved["passes"].toInt(), 1);
    EXPECT_EQ(solved["bestError"].toDouble(), static_cast<double>(CellBestError[1]));
    // A cell without an answer shows no values, not the amounts the solver stopped at.
    const QJsonObject unsolved = cells[1].toObject();
    EXPECT_EQ(unsolved["state"].toInt(), 4);
    EXPECT_EQ(unsolved["passes"].toInt(), 1);
    EXPECT_TRUE(unsolved["bestError"].isNull());
    const QJsonObject none = unsolved["equilibrium"].toObject();
    ASSERT_EQ(none.size(), EqSpeciesCount);
    for (const QJsonValue value : none)
        EXPECT_TRUE(value.isNull());

    options.Format = ReportFormat::Text;
    options.Cell = 2;
    const std::string text = FormatReport(outcome, {}, options);
    const auto rows = TextTableRows(text, LogEquilibrium);
    ASSERT_EQ(static_cast<int>(rows.size()), EqSpeciesCount);
    for (const auto& [species, value] : rows)
        EXPECT_EQ(value, "") << species;
    std::istringstream line(CellLine(2));
    std::vector<std::string> words;
    for (std::string word; line >> word;)
        words.push_back(word);
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(words.back(), "1") << "a pass, and no best error after it";
    EXPECT_EQ(words[words.size() - 2], "converged");
}
