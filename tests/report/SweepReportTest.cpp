// SPDX-License-Identifier: GPL-3.0-or-later
// A sweep's results as the command line and the Plots page write them: CSV, JSON and text, from
// a sweep made by hand so that every field can be traced to the number it came from.
#include "report/SweepReport.h"

#include "analysis/PointQuantities.h"
#include "support/TextLines.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

CellPoint Cell(int index, const std::string& name, const char* state,
               std::vector<SpeciesPressure> equilibrium, std::vector<FeedShare> feed) {
    CellPoint cell;
    cell.Index = index;
    cell.Name = name;
    cell.State = state;
    cell.Equilibrium = std::move(equilibrium);
    cell.Feed = std::move(feed);
    return cell;
}

// Two cells over three points: the second point's mixer stage failed, cell 3 did not converge
// at the third; a species with no pressure at all, a gas not fed, a name with a comma, a quote
// and a Latin-1 letter.
SweepResult HandMadeSweep() {
    SweepResult sweep;
    std::string error;
    sweep.Request = *ParseSweep("flowmeter2.reading=10:30:3", error);
    const std::vector<FeedShare> feed = {{"Ar", 0.75}, {"O2", 0.25}, {"H2", 0}};
    SweepPoint first{10, {}};
    first.Result.Cells = {Cell(1, "Wet \"H2\", 1\xE9", "converged",
                               {{"O2", 0.2L}, {"Ar", 0.75L}, {"O", 1.5e-300L}, {"H2", 0}}, feed),
                          Cell(3, "Plain", "converged", {{"O2", 1e-12L}, {"Ar", 0.5L}}, feed)};
    SweepPoint second{20, {}};
    second.Result.MixerFailed = true;
    second.Result.Cells = {Cell(1, "Wet \"H2\", 1\xE9", MixerFailedState, {}, {}),
                           Cell(3, "Plain", MixerFailedState, {}, {})};
    SweepPoint third{30, {}};
    third.Result.Cells = {
        Cell(1, "Wet \"H2\", 1\xE9", "converged", {{"O2", 0.3L}, {"Ar", 0.7L}}, feed),
        Cell(3, "Plain", "not converged", {}, feed)};
    sweep.Points = {first, second, third};
    return sweep;
}

// The fields of a CSV line, quotes undone.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The rows a cell of a point should write: equilibrium, then feed.
struct Row {
    std::string View, Item;
    long double Number;
};
std::vector<Row> ExpectedRows(const CellPoint& cell) {
    std::vector<Row> rows;
    for (const SpeciesPressure& s : cell.Equilibrium)
        rows.push_back({"equilibrium", s.Species, s.Pressure});
    for (const FeedShare& g : cell.Feed)
        rows.push_back({"feed", g.Gas, g.Fraction});
    return rows;
}

TEST(SweepReport, EveryCellOfEveryPointCarriesItsQuantities) {
    const SweepResult sweep = HandMadeSweep();
    QuantityOptions options;
    options.ReferencePO2 = 1.0;
    const QJsonObject json =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(FormatSweep(sweep, SweepFormat::Json, 0, options)))
            .object();
    const QJsonArray points = json["sweep"].toObject()["points"].toArray();
    ASSERT_EQ(points.size(), 3);
    // Cell 1 at the first point: 0.2 bar of oxygen, no water anywhere.
    const QJsonObject first =
        points[0].toObject()["cells"].toArray()[0].toObject()["derived"].toObject();
    EXPECT_EQ(first.keys(), (QStringList{"co2CoRatio", "dewPointC", "h2oH2Ratio", "log10pO2",
                                         "sensorEmfmV", "waterPpmEquilibrium", "waterPpmFeed"}));
    EXPECT_DOUBLE_EQ(first["log10pO2"].toDouble(), std::log10(0.2));
    // The cell is at 0 degrees Celsius (a point made by hand): E = (R T / 4F) ln(1 / 0.2).
    EXPECT_NEAR(first["sensorEmfmV"].toDouble(),
                8.31451 * 273.15 / (4 * 96485.33212) * std::log(1 / 0.2) * 1000, 1e-9);
    for (const char* none : {"waterPpmFeed", "dewPointC", "waterPpmEquilibrium", "h2oH2Ratio"})
        EXPECT_TRUE(first[none].isNull()) << none;
    // Cell 3 at the third point found no equilibrium: no value at all.
    const QJsonObject unsolved =
        points[2].toObject()["cells"].toArray()[1].toObject()["derived"].toObject();
    for (const QJsonValue value : unsolved)
        EXPECT_TRUE(value.isNull());

    // CSV: the same numbers in the rows of the view "quantities".
    const std::vector<std::string> lines = Lines(FormatSweep(sweep, SweepFormat::Csv, 1, options));
    std::vector<std::string> pO2;
    for (const std::string& line : lines)
        if (line.find(",quantities,log10pO2,") != std::string::npos)
            pO2.push_back(Fields(line)[7]);
    ASSERT_EQ(pO2.size(), 2u) << "two points of cell 1 with a mixer stage that worked";
    EXPECT_DOUBLE_EQ(std::stod(pO2[0]), std::log10(0.2));
    EXPECT_DOUBLE_EQ(std::stod(pO2[1]), std::log10(0.3));
}

TEST(SweepReport, CsvHasARowPerPointCellAndItemAndOnePerCellOfAFailedMixer) {
    const SweepResult sweep = HandMadeSweep();
    for (const int only : {0, 3}) {
        SCOPED_TRACE("cell " + std::to_string(only));
        const std::vector<std::string> lines = Lines(FormatSweep(sweep, SweepFormat::Csv, only));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "parameter,value,cell,name,state,view,item,number,log10");
        std::size_t next = 1;
        for (const SweepPoint& point : sweep.Points)
            for (const CellPoint& cell : point.Result.Cells) {
                if (only != 0 && cell.Index != only)
                    continue;
                const std::string utf8Name =
                    cell.Index == 1 ? "Wet \"H2\", 1\xC3\xA9" : cell.Name; // é in UTF-8
                std::vector<Row> rows = ExpectedRows(cell);
                if (point.Result.MixerFailed)
                    rows = {{"", "", 0}};
                for (const Row& row : rows) {
                    ASSERT_LT(next, lines.size());
                    const std::vector<std::string> f = Fields(lines[next++]);
                    ASSERT_EQ(f.size(), 9u) << lines[next - 1];
                    EXPECT_EQ(f[0], "flowmeter2.reading");
                    EXPECT_EQ(std::stod(f[1]), point.Value);
                    EXPECT_EQ(f[2], std::to_string(cell.Index));
                    EXPECT_EQ(f[3], utf8Name);
                    EXPECT_EQ(f[4], cell.State);
                    EXPECT_EQ(f[5], row.View);
                    EXPECT_EQ(f[6], row.Item);
                    if (point.Result.MixerFailed) {
                        EXPECT_EQ(f[7] + f[8], "");
                        continue;
                    }
                    EXPECT_EQ(std::stod(f[7]), static_cast<double>(row.Number));
                    if (row.Number == 0) {
                        EXPECT_EQ(f[8], "");
                    } else {
                        ASSERT_FALSE(f[8].empty());
                        EXPECT_NEAR(std::stod(f[8]), std::log10(static_cast<double>(row.Number)),
                                    1e-14);
                    }
                }
                if (point.Result.MixerFailed)
                    continue;
                // Then the cell's quantities: the name, the value or nothing, and no log10.
                const CellQuantities q = QuantitiesOf(cell);
                for (const QuantityName& quantity : QuantityNames()) {
                    ASSERT_LT(next, lines.size());
                    const std::vector<std::string> f = Fields(lines[next++]);
                    ASSERT_EQ(f.size(), 9u) << lines[next - 1];
                    EXPECT_EQ(f[5], "quantities");
                    EXPECT_EQ(f[6], quantity.Name);
                    if (const std::optional<double> value = q.*quantity.Member)
                        EXPECT_EQ(std::stod(f[7]), *value) << quantity.Name;
                    else
                        EXPECT_EQ(f[7], "") << quantity.Name;
                    EXPECT_EQ(f[8], "");
                }
            }
        EXPECT_EQ(next, lines.size()) << "rows beyond the sweep's";
    }
}

TEST(SweepReport, JsonHoldsEveryPointWithItsCellsFeedAndEquilibrium) {
    const SweepResult sweep = HandMadeSweep();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromStdString(FormatSweep(sweep, SweepFormat::Json)), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject root = document.object();
    EXPECT_EQ(root.keys(), (QStringList{"solver", "sweep"}));
    EXPECT_EQ(root["solver"].toString(), "exact");
    const QJsonObject body = root["sweep"].toObject();
    EXPECT_EQ(body["parameter"].toString(), "flowmeter2.reading");
    const QJsonArray points = body["points"].toArray();
    ASSERT_EQ(points.size(), 3);
    for (qsizetype i = 0; i < points.size(); ++i) {
        const SweepPoint& expected = sweep.Points[static_cast<std::size_t>(i)];
        const QJsonObject point = points[i].toObject();
        EXPECT_EQ(point["value"].toDouble(), expected.Value);
        const QJsonArray cells = point["cells"].toArray();
        ASSERT_EQ(cells.size(), 2);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const CellPoint& cell = expected.Result.Cells[static_cast<std::size_t>(c)];
            const QJsonObject object = cells[c].toObject();
            EXPECT_EQ(object.keys(),
                      (QStringList{"derived", "equilibrium", "feed", "index", "name", "state"}));
            EXPECT_EQ(object["index"].toInt(), cell.Index);
            EXPECT_EQ(object["name"].toString(), QString::fromLatin1(cell.Name.c_str()));
            EXPECT_EQ(object["state"].toString().toStdString(), cell.State);
            const QJsonObject feed = object["feed"].toObject();
            ASSERT_EQ(feed.size(), static_cast<qsizetype>(cell.Feed.size()));
            for (const FeedShare& gas : cell.Feed)
                EXPECT_EQ(feed[QString::fromStdString(gas.Gas)].toDouble(), gas.Fraction);
            const QJsonObject equilibrium = object["equilibrium"].toObject();
            ASSERT_EQ(equilibrium.size(), static_cast<qsizetype>(cell.Equilibrium.size()));
            for (const SpeciesPressure& s : cell.Equilibrium)
                EXPECT_EQ(equilibrium[QString::fromStdString(s.Species)].toDouble(),
                          static_cast<double>(s.Pressure));
        }
    }
    SweepResult pattern = sweep;
    pattern.Request.Solver = EquilibriumSolver::Pattern;
    EXPECT_NE(FormatSweep(pattern, SweepFormat::Json, 3).find("\"solver\": \"pattern\""),
              std::string::npos);
    EXPECT_EQ(FormatSweep(pattern, SweepFormat::Json, 3).find("\"index\": 1"), std::string::npos);
}

TEST(SweepReport, TextIsATableOfLogPressuresPerCellWithARowPerPoint) {
    const std::vector<std::string> lines = Lines(FormatSweep(HandMadeSweep(), SweepFormat::Text));
    // The heading line, then per cell: an empty line, its title, the column headings and a row
    // per point.
    ASSERT_EQ(lines.size(), 1u + 2 * (1 + 1 + 1 + 3));
    EXPECT_EQ(lines[0], "Sweep of Flowmeter 2 reading (scale), 3 points, exact solver");
    EXPECT_EQ(lines[2], "Cell 1; Wet \"H2\", 1\xC3\xA9, log10 of partial pressures (bar)");
    const auto columns = [](const std::string& line) {
        std::vector<std::string> words;
        std::istringstream in(line);
        for (std::string word; in >> word;)
            words.push_back(word);
        return words;
    };
    EXPECT_EQ(columns(lines[3]),
              (std::vector<std::string>{"flowmeter2.reading", "state", "O2", "Ar", "O", "H2"}));
    EXPECT_EQ(columns(lines[4]),
              (std::vector<std::string>{"10", "converged", "-0.69897", "-0.12494", "-299.82391"}));
    EXPECT_EQ(columns(lines[5]), (std::vector<std::string>{"20", "mixer", "failed"}));
    EXPECT_EQ(columns(lines[6]),
              (std::vector<std::string>{"30", "converged", "-0.52288", "-0.15490"}));
    // The columns line up: every value ends where its heading ends.
    const std::size_t end = lines[3].find(" O2") + 3;
    EXPECT_EQ(lines[4].find("-0.69897") + 8, end);
    EXPECT_EQ(lines[8], "Cell 3; Plain, log10 of partial pressures (bar)");
    EXPECT_EQ(columns(lines[12]), (std::vector<std::string>{"30", "not", "converged"}));
}

TEST(SweepReport, LogarithmsAsTheResultsTableShowsThem) {
    EXPECT_FALSE(SweepLog10(0));
    EXPECT_FALSE(SweepLog10(-1));
    EXPECT_FALSE(SweepLog10(std::nanl("")));
    EXPECT_EQ(*SweepLog10(1e-320L), -308);
    EXPECT_EQ(*SweepLog10(100), 2);
}

} // namespace
