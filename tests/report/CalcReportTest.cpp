// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/CalcReport.h"

#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "support/EquilibriumSetup.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const Components ArgonAndOxygen = {{"Ar", 0.5}, {"O2", 0.5}};
const Components WetHydrogen = {{"H2", 0.1}, {"H2O", 0.1}, {"Ar", 0.8}};

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

TEST_F(CalcReport, JsonHoldsExactlyTheKeysOfEveryPartAndRoundTripNumbers) {
    FeedCellOneAlone(WetHydrogen);
    Cells[1].Name.Set("Hot");
    ASSERT_EQ(RunCalculation(20), CalcOutcome::Converged);
    const std::vector<StatusMessage> messages = {
        {StatusColour::Red, "Input mix 3 not properly defined"},
        {StatusColour::Blue, "Compound: H2O"},
        {StatusColour::Red, "Input mix 2 fractions add up to 0.9, not 1", true}};

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
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].toObject(),
              (QJsonObject{{"kind", "error"}, {"text", "Input mix 3 not properly defined"}}));
    EXPECT_EQ(shown[1].toObject(), (QJsonObject{{"kind", "info"}, {"text", "Compound: H2O"}}));
    EXPECT_EQ(
        shown[2].toObject(),
        (QJsonObject{{"kind", "warning"}, {"text", "Input mix 2 fractions add up to 0.9, not 1"}}));

    const QJsonArray meters = json["flowmeters"].toArray();
    ASSERT_EQ(meters.size(), FlowmeterCount);
    for (int f = 1; f <= FlowmeterCount; ++f) {
        const QJsonObject meter = meters[f - 1].toObject();
        EXPECT_EQ(Keys(meter),
                  (std::set<std::string>{"index", "reading", "flow", "input", "output", "curves"}));
        EXPECT_EQ(meter["index"].toInt(), f);
        EXPECT_EQ(meter["reading"].toDouble(), Flowmeters[f].Reading);
        EXPECT_EQ(meter["flow"].toDouble(), Flowmeters[f].Flow);
        EXPECT_EQ(meter["input"].toInt(), Flowmeters[f].Input);
        EXPECT_EQ(meter["output"].toInt(), Flowmeters[f].Output);
    }
    EXPECT_EQ(meters[0].toObject()["flow"].toDouble(), 2.0);
    // Flowmeter 1 read its three gases through its one curve; the others read nothing.
    EXPECT_EQ(meters[0].toObject()["curves"].toObject(),
              (QJsonObject{{"H2", 1}, {"H2O", 1}, {"Ar", 1}}));
    EXPECT_TRUE(meters[1].toObject()["curves"].toObject().isEmpty());

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
        EXPECT_EQ(Keys(cell), (std::set<std::string>{
                                  "index", "name", "mix", "state", "temperatureC", "pressure",
                                  "feed", "equilibrium", "bestError", "passes", "derived"}));
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
    EXPECT_EQ(first["state"].toInt(), CellRunState::Converged);
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
        // The quantities' lines follow the results tables (they have a test of their own).
        while (std::getline(csv, line) && line.find(",quantities,") == std::string::npos) {
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

TEST_F(CalcReport, ACellTheExactSolverCouldNotSolveShowsNoValuesAndNoBestError) {
    // Wet hydrogen; and pure CO, which has no more oxygen than carbon.
    FeedTwoCells(WetHydrogen, {{"CO", 1.0}});
    const CalcOutcome outcome = RunCalculation(CalcBounds{1, 0, 0, EquilibriumSolver::Exact});
    ASSERT_EQ(Cells[2].State, CellRunState::Passed);

    ReportOptions options;
    options.Format = ReportFormat::Json;
    options.Solver = EquilibriumSolver::Exact;
    const QJsonObject json = ParseObject(FormatReport(outcome, {}, options));
    EXPECT_EQ(json["solver"].toString(), "exact");
    EXPECT_EQ(json["status"].toString(), "not-converged");
    const QJsonArray cells = json["cells"].toArray();
    ASSERT_GE(cells.size(), 2);
    const QJsonObject solved = cells[0].toObject();
    EXPECT_EQ(solved["state"].toInt(), CellRunState::Converged);
    EXPECT_EQ(solved["passes"].toInt(), 1);
    EXPECT_EQ(solved["bestError"].toDouble(), static_cast<double>(CellBestError[1]));
    // A cell without an answer shows no values, not the amounts the solver stopped at.
    const QJsonObject unsolved = cells[1].toObject();
    EXPECT_EQ(unsolved["state"].toInt(), CellRunState::Passed);
    EXPECT_EQ(unsolved["passes"].toInt(), 1);
    EXPECT_TRUE(unsolved["bestError"].isNull());
    const QJsonObject none = unsolved["equilibrium"].toObject();
    ASSERT_EQ(none.size(), EqSpeciesCount);
    for (const QJsonValue value : none)
        EXPECT_TRUE(value.isNull());

    // Text: empty places in either scale, and a pass without a best error after it.
    options.Format = ReportFormat::Text;
    options.Cell = 2;
    for (const bool linear : {false, true}) {
        SCOPED_TRACE(linear ? "linear" : "logarithmic");
        options.Linear = linear;
        const std::string text = FormatReport(outcome, {}, options);
        const auto rows = TextTableRows(text, linear ? LinearEquilibrium : LogEquilibrium);
        ASSERT_EQ(static_cast<int>(rows.size()), EqSpeciesCount);
        for (const auto& [species, value] : rows)
            EXPECT_EQ(value, "") << species;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line) && line.rfind("OC 2  ", 0) != 0) {
        }
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        ASSERT_GE(words.size(), 3u) << line;
        EXPECT_EQ(std::vector<std::string>(words.end() - 3, words.end()),
                  (std::vector<std::string>{"not", "converged", "1"}));
    }

    // CSV: the equilibrium lines of the cell end in an empty value.
    options.Format = ReportFormat::Csv;
    options.View = ReportView::Equilibrium;
    options.Linear = true;
    std::istringstream csv(FormatReport(outcome, {}, options));
    std::string line;
    std::getline(csv, line); // the headings
    int lines = 0;
    while (std::getline(csv, line)) {
        ++lines;
        EXPECT_EQ(line.back(), ',') << line;
    }
    EXPECT_EQ(lines, EqSpeciesCount);
}

TEST_F(CalcReport, TheCellQuantitiesAreInEveryFormatAndEmptyWhereACellHasNoValue) {
    // Wet hydrogen; and pure CO, which is dry and has no equilibrium at all.
    FeedTwoCells(WetHydrogen, {{"CO", 1.0}});
    const CalcOutcome outcome = RunCalculation(CalcBounds{1, 0, 0, EquilibriumSolver::Exact});
    ReportOptions options;
    options.Solver = EquilibriumSolver::Exact;
    options.Quantities.ReferencePO2 = 1.0;

    options.Format = ReportFormat::Json;
    const QJsonArray cells = ParseObject(FormatReport(outcome, {}, options))["cells"].toArray();
    ASSERT_EQ(cells.size(), CellCount);
    const std::set<std::string> keys = {
        "log10pO2",  "sensorEmfmV", "waterPpmFeed", "waterPpmEquilibrium",
        "dewPointC", "h2oH2Ratio",  "co2CoRatio"};
    const QJsonObject wet = cells[0].toObject();
    const QJsonObject derived = wet["derived"].toObject();
    EXPECT_EQ(Keys(derived), keys);
    const QJsonObject feed = wet["feed"].toObject();
    const QJsonObject equilibrium = wet["equilibrium"].toObject();
    const double pO2 = equilibrium["O2"].toDouble();
    ASSERT_GT(pO2, 0);
    EXPECT_DOUBLE_EQ(derived["log10pO2"].toDouble(), std::log10(pO2));
    // Against pure oxygen as the reference: E = (R T / 4F) ln(1 / pO2).
    EXPECT_NEAR(derived["sensorEmfmV"].toDouble(),
                8.31451 * 1073.15 / (4 * 96485.33212) * -std::log(pO2) * 1000, 1e-9);
    EXPECT_DOUBLE_EQ(derived["waterPpmFeed"].toDouble(), feed["H2O"].toDouble() * 1e6);
    EXPECT_DOUBLE_EQ(derived["h2oH2Ratio"].toDouble(),
                     equilibrium["H2O"].toDouble() / equilibrium["H2"].toDouble());
    EXPECT_NEAR(derived["waterPpmEquilibrium"].toDouble(), equilibrium["H2O"].toDouble() * 1e6,
                1e-6 * equilibrium["H2O"].toDouble() * 1e6);
    // 0.1 of water at 1 bar condenses at about 45.8 degrees Celsius.
    EXPECT_NEAR(derived["dewPointC"].toDouble(), 45.8, 0.1);
    EXPECT_TRUE(derived["co2CoRatio"].isNull());
    // The unsolved CO cell and a cell without a node have no value at all.
    for (const int c : {2, 3}) {
        SCOPED_TRACE(c);
        const QJsonObject none = cells[c - 1].toObject()["derived"].toObject();
        EXPECT_EQ(Keys(none), keys);
        for (const QJsonValue value : none)
            EXPECT_TRUE(value.isNull());
    }

    // CSV: one line per fed cell and quantity, after the tables, the value in full.
    options.Format = ReportFormat::Csv;
    options.View = ReportView::Quantities;
    std::istringstream csv(FormatReport(outcome, {}, options));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "cell,name,temperatureC,pressure,state,view,species,log10");
    std::vector<std::string> lines;
    while (std::getline(csv, line))
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 2 * keys.size());
    EXPECT_EQ(lines[0].rfind("1,None,800,1,converged,quantities,log10pO2,", 0), 0u) << lines[0];
    EXPECT_EQ(std::stod(lines[0].substr(lines[0].rfind(',') + 1)), std::log10(pO2));
    EXPECT_EQ(lines[6], "1,None,800,1,converged,quantities,co2CoRatio,");
    for (std::size_t i = keys.size(); i < lines.size(); ++i)
        EXPECT_EQ(lines[i].back(), ',') << lines[i];

    // Text: the quantities alone, with the reference named.
    options.Format = ReportFormat::Text;
    const std::string text = FormatReport(outcome, {}, options);
    EXPECT_EQ(text.find(LogEquilibrium), std::string::npos);
    const auto rows = TextTableRows(text, "Cell quantities (reference pO2 1 bar)");
    ASSERT_EQ(rows.size(), keys.size());
    EXPECT_EQ(rows[0].first, "log10");
    EXPECT_EQ(rows[0].second, "pO2");
    std::istringstream first(text.substr(text.find("\nlog10 pO2")));
    std::string caption, unit, value;
    first >> caption >> unit >> value;
    EXPECT_NEAR(std::stod(value), std::log10(pO2), 5e-5);
}

TEST_F(CalcReport, EachFlowmeterNamesTheCurveItReadEachGasThrough) {
    // Flowmeter 1 reads each gas through the curve made for it; flowmeter 2 is at 0 and reads
    // nothing.
    FeedCellOneAlone({{"H2", 0.05}, {"Ar", 0.95}});
    SetConstantGasFlow(1, 7, "H2", 5.0);
    SetConstantGasFlow(1, 12, "Ar", 3.0);
    SetMeter(2, 1, 1, 0);
    ASSERT_EQ(RunCalculation(20), CalcOutcome::Converged);

    ReportOptions json;
    json.Format = ReportFormat::Json;
    const QJsonArray meters =
        ParseObject(FormatReport(CalcOutcome::Converged, {}, json))["flowmeters"].toArray();
    EXPECT_EQ(meters[0].toObject()["curves"].toObject(), (QJsonObject{{"H2", 7}, {"Ar", 12}}));
    EXPECT_TRUE(meters[1].toObject()["curves"].toObject().isEmpty());

    // The text lists them only with Verbose.
    ReportOptions text;
    EXPECT_EQ(FormatReport(CalcOutcome::Converged, {}, text).find("Curves"), std::string::npos);
    text.Verbose = true;
    const std::string verbose = FormatReport(CalcOutcome::Converged, {}, text);
    EXPECT_NE(verbose.find("  Output  Curves\nF1 "), std::string::npos) << verbose;
    EXPECT_NE(verbose.find("  M1      H2 7, Ar 12\n"), std::string::npos) << verbose;
}
