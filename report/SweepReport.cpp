// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SweepReport.h"

#include "analysis/PointQuantities.h"

#include "core/JsonWriter.h"
#include "equilibrium/CalcBounds.h"
#include "equilibrium/EqCalcUnit.h"
#include "report/QuantitiesText.h"
#include "report/TextTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
bool Wanted(const CellPoint& point, int cell) {
    return cell == 0 || point.Index == cell;
}

std::string LogText(long double number) {
    const std::optional<double> log = SweepLog10(number);
    return log ? JsonNumber(*log) : std::string();
}

std::string CsvSweep(const SweepResult& sweep, int cell, const QuantityOptions& quantities) {
    std::string out = "parameter,value,cell,name,state,view,item,number,log10\n";
    const std::string parameter = sweep.Request.Parameter.Name();
    for (const SweepPoint& point : sweep.Points) {
        const std::string value = JsonNumber(point.Value);
        for (const CellPoint& c : point.Result.Cells) {
            if (!Wanted(c, cell))
                continue;
            const std::string lead = parameter + "," + value + "," + std::to_string(c.Index) + "," +
                                     CsvField(c.Name) + "," + c.State + ",";
            if (point.Result.MixerFailed) {
                out += lead + ",,,\n";
                continue;
            }
            for (const SpeciesPressure& species : c.Equilibrium)
                out += lead + "equilibrium," + CsvField(species.Species) + "," +
                       JsonNumber(static_cast<double>(species.Pressure)) + "," +
                       LogText(species.Pressure) + "\n";
            for (const FeedShare& gas : c.Feed)
                out += lead + "feed," + CsvField(gas.Gas) + "," + JsonNumber(gas.Fraction) + "," +
                       LogText(gas.Fraction) + "\n";
            const CellQuantities q = QuantitiesOf(c, quantities);
            for (const QuantityName& quantity : QuantityNames()) {
                const std::optional<double> number = q.*quantity.Member;
                out += lead + "quantities," + quantity.Name + "," +
                       (number ? JsonNumber(*number) : std::string()) + ",\n";
            }
        }
    }
    return out;
}

std::string JsonSweep(const SweepResult& sweep, int cell, const QuantityOptions& quantities) {
    JsonWriter json(JsonWriter::Numbers::Digits17);
    json.BeginObject();
    json.Member("solver", sweep.Request.Solver == EquilibriumSolver::Exact ? "exact" : "pattern");
    json.Key("sweep");
    json.BeginObject();
    json.Member("parameter", sweep.Request.Parameter.Name());
    json.Key("points");
    json.BeginArray();
    for (const SweepPoint& point : sweep.Points) {
        json.BeginObject();
        json.Member("value", point.Value);
        json.Key("cells");
        json.BeginArray();
        for (const CellPoint& c : point.Result.Cells) {
            if (!Wanted(c, cell))
                continue;
            json.BeginObject();
            json.Member("index", c.Index);
            json.Member("name", c.Name);
            json.Member("state", c.State);
            json.Key("feed");
            json.BeginObject(true);
            for (const FeedShare& gas : c.Feed)
                json.Member(gas.Gas, gas.Fraction);
            json.EndObject();
            json.Key("equilibrium");
            json.BeginObject(true);
            for (const SpeciesPressure& species : c.Equilibrium)
                json.Member(species.Species, static_cast<double>(species.Pressure));
            json.EndObject();
            WriteDerivedQuantities(json, QuantitiesOf(c, quantities));
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    json.EndObject();
    std::string text = json.Text();
    if (text.empty() || text.back() != '\n')
        text += '\n';
    return text;
}

// The species of a cell over the whole sweep, in the order they are first met.
std::vector<std::string> SweepSpecies(const SweepResult& sweep, int cell) {
    std::vector<std::string> species;
    for (const SweepPoint& point : sweep.Points)
        if (const CellPoint* c = point.Result.Cell(cell))
            for (const SpeciesPressure& s : c->Equilibrium)
                if (std::find(species.begin(), species.end(), s.Species) == species.end())
                    species.push_back(s.Species);
    return species;
}

std::string FixedLog(long double number) {
    const std::optional<double> log = SweepLog10(number);
    if (!log)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", *log);
    return text;
}

std::string TextSweep(const SweepResult& sweep, int cell) {
    std::vector<int> cells;
    for (const SweepPoint& point : sweep.Points)
        for (const CellPoint& c : point.Result.Cells)
            if (Wanted(c, cell) && std::find(cells.begin(), cells.end(), c.Index) == cells.end())
                cells.push_back(c.Index);
    std::sort(cells.begin(), cells.end());

    std::string out =
        "Sweep of " + sweep.Request.Parameter.Caption() + ", " +
        std::to_string(sweep.Points.size()) + " points, " +
        (sweep.Request.Solver == EquilibriumSolver::Exact ? "exact solver" : "pattern search") +
        "\n";
    for (const int c : cells) {
        std::string name;
        for (const SweepPoint& point : sweep.Points)
            if (const CellPoint* p = point.Result.Cell(c))
                name = p->Name;
        const std::vector<std::string> species = SweepSpecies(sweep, c);
        std::vector<std::string> headings = {sweep.Request.Parameter.Name(), "state"};
        headings.insert(headings.end(), species.begin(), species.end());
        TextTable table(headings, "rlr");
        for (const SweepPoint& point : sweep.Points) {
            const CellPoint* p = point.Result.Cell(c);
            if (p == nullptr)
                continue;
            std::vector<std::string> row = {JsonNumber(point.Value), p->State};
            for (const std::string& s : species) {
                std::string shown;
                for (const SpeciesPressure& e : p->Equilibrium)
                    if (e.Species == s)
                        shown = FixedLog(e.Pressure);
                row.push_back(shown);
            }
            table.Add(row);
        }
        out += "\nCell " + std::to_string(c) + "; " + Latin1ToUtf8(name) +
               ", log10 of partial pressures (bar)\n" + table.Render();
    }
    return out;
}
} // namespace

std::optional<double> SweepLog10(long double number) {
    if (!(number > 0))
        return std::nullopt;
    return static_cast<double>(Log10Clamped(number));
}

std::string FormatSweep(const SweepResult& sweep, SweepFormat format, int cell,
                        const QuantityOptions& quantities) {
    switch (format) {
    case SweepFormat::Csv:
        return CsvSweep(sweep, cell, quantities);
    case SweepFormat::Json:
        return JsonSweep(sweep, cell, quantities);
    case SweepFormat::Text:
        break;
    }
    return TextSweep(sweep, cell);
}
