// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/CalcReport.h"

#include "core/Cat.h"
#include "core/JsonWriter.h"
#include "core/MixerNetwork.h"
#include "core/NumberText.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "report/QuantitiesText.h"
#include "report/ResultsView.h"
#include "report/TextTable.h"

#include <algorithm>
#include <optional>

namespace {

// The gases of the gas list and the species of the run, in the plain values that JSON holds.
const ResultsView Gases{false, false};
const ResultsView Species{true, false};

// The results views of text and CSV; the amounts are extended reals, and their logarithms are
// taken before they become doubles.
std::vector<ResultsView> Views(const ReportOptions& options) {
    const bool logarithmic = !options.Linear;
    switch (options.View) {
    case ReportView::Equilibrium:
        return {{true, logarithmic}};
    case ReportView::Feed:
        return {{false, logarithmic}};
    case ReportView::Quantities:
        return {};
    case ReportView::Both:
        break;
    }
    return {{true, logarithmic}, {false, logarithmic}};
}

bool ShowsQuantities(const ReportOptions& options) {
    return options.View == ReportView::Both || options.View == ReportView::Quantities;
}

// The cells a report covers: the chosen one, or all of them, or in text and CSV those that
// take their gas from a node.
std::vector<int> ReportCells(const ReportOptions& options, bool onlyConnected) {
    std::vector<int> cells;
    for (int c = 1; c <= CellCount; ++c)
        if (options.Cell == 0 ? !onlyConnected || CellNode(c) != 0 : c == options.Cell)
            cells.push_back(c);
    return cells;
}

const char* OutcomeName(CalcOutcome outcome) {
    switch (outcome) {
    case CalcOutcome::Converged:
        return "converged";
    case CalcOutcome::MixerFailed:
        return "mixer-failed";
    case CalcOutcome::NotConverged:
        return "not-converged";
    }
    return "";
}

// The text of a value in a results table, as the window's results table shows it; empty where
// the view has no value.
std::string ResultText(const ResultsView& view, long double value) {
    const std::optional<long double> shown = view.Shown(value);
    return shown ? view.Text(*shown) : std::string();
}

// A flowmeter's input: its mixture's label, "-" for none, or the number a file brought.
std::string MixtureName(int mixture) {
    if (mixture == 0)
        return "-";
    const std::string label = MixtureLabel(mixture);
    return label.empty() ? std::to_string(mixture) : label;
}

std::string NodeName(int node) {
    return node == 0 ? "-" : MixtureLabel(NodeMixture(node));
}

// The curve each gas of a flowmeter's stream was read through, in gas-list order.
std::vector<std::pair<std::string, int>> ReadThrough(int f) {
    std::vector<std::pair<std::string, int>> curves;
    for (int j = 1; j <= Gases.Rows(); ++j)
        if (FlowmeterCurves[f][j] != 0)
            curves.emplace_back(Gases.RowName(j), FlowmeterCurves[f][j]);
    return curves;
}

bool FlowmeterInUse(int f) {
    return Flowmeters[f].Reading > 0 || Flowmeters[f].Flow != 0;
}

bool NodeInUse(int k) {
    if (Mixtures[NodeMixture(k)].Flow != 0)
        return true;
    for (int f = 1; f <= FlowmeterCount; ++f)
        if (FlowmeterInUse(f) && FlowmeterNode(f) == k)
            return true;
    return false;
}

std::string TextReport(CalcOutcome outcome, const ReportOptions& options) {
    std::string out = "Status: ";
    out += OutcomeName(outcome);
    out += "\nGases:";
    for (int b = 1; b <= Gases.Rows(); ++b) {
        out += ' ';
        out += Gases.RowName(b);
    }
    out += "\n\n";

    std::vector<std::string> meterHeadings = {"Flowmeter", "Reading", "Flow", "Input", "Output"};
    if (options.Verbose)
        meterHeadings.push_back("Curves");
    TextTable meters(meterHeadings, "lrrl");
    for (int f = 1; f <= FlowmeterCount; ++f) {
        if (!FlowmeterInUse(f))
            continue;
        std::vector<std::string> row = {
            Cat("F", std::to_string(f)), FormatFixed(Flowmeters[f].Reading, 0, 2),
            FormatFixed(Flowmeters[f].Flow, 0, 3), MixtureName(Flowmeters[f].Input),
            NodeName(FlowmeterNode(f))};
        if (options.Verbose) {
            std::string curves;
            for (const auto& [gas, curve] : ReadThrough(f))
                curves += Cat(curves.empty() ? "" : ", ", gas, " ", std::to_string(curve));
            row.push_back(curves);
        }
        meters.Add(row);
    }
    out += Cat("Flowmeters in use\n", meters.Render(), "\n");

    std::vector<std::string> nodeHeadings = {"Node", "Resolved", "Flow"};
    for (int b = 1; b <= Gases.Rows(); ++b)
        nodeHeadings.push_back(Gases.RowName(b));
    TextTable nodes(nodeHeadings, "llr");
    for (int k = 1; k <= NodeCount; ++k) {
        if (!NodeInUse(k))
            continue;
        const MixtureRecord& node = Mixtures[NodeMixture(k)];
        std::vector<std::string> row = {NodeName(k), node.Ready == 1 ? "yes" : "no",
                                        FormatFixed(node.Flow, 0, 3)};
        for (int b = 1; b <= Gases.Rows(); ++b)
            row.push_back(FormatFixed(node.Gas[b].Fraction, 0, 6));
        nodes.Add(row);
    }
    out += Cat("Nodes in use\n", nodes.Render());

    if (outcome == CalcOutcome::MixerFailed) {
        out += "\nNo cell was calculated: the mixer stage failed.\n";
        return out;
    }

    const std::vector<int> cells = ReportCells(options, true);
    TextTable summary(
        {"Cell", "Name", "Node", "Temp. C", "Pressure", "State", "Passes", "Best error"},
        "lllrrlr");
    for (const int c : cells) {
        const CellRecord& cell = Cells[c];
        summary.Add({Cat("OC ", std::to_string(c)), cell.Name.Str(), NodeName(CellNode(c)),
                     FormatFixed(cell.Temperature, 0, 2), FormatFixed(cell.Pressure, 0, 5),
                     CellRunStateName(cell.State), std::to_string(CellPasses[c]),
                     ResultsView::BestErrorText(c)});
    }
    out += Cat("\nCells\n", summary.Render());

    for (const ResultsView& view : Views(options)) {
        std::vector<std::string> headings = {view.RowHeading()};
        for (const int c : cells)
            headings.push_back(ResultsView::ColumnName(c));
        TextTable results(headings, "lr");
        for (int row = 1; row <= view.Rows(); ++row) {
            std::vector<std::string> line = {view.RowName(row)};
            for (const int c : cells)
                line.push_back(ResultText(view, view.Value(c, row)));
            results.Add(line);
        }
        out += Cat("\n", view.Title(), "\n", results.Render());
    }

    if (ShowsQuantities(options)) {
        std::vector<std::string> headings = {"Quantity"};
        std::vector<CellQuantities> values;
        for (const int c : cells) {
            headings.push_back(ResultsView::ColumnName(c));
            values.push_back(QuantitiesOfCell(c, options.Quantities));
        }
        TextTable quantities(headings, "lr");
        for (const QuantityName& quantity : QuantityNames()) {
            std::vector<std::string> line = {quantity.Caption};
            for (const CellQuantities& q : values)
                line.push_back(QuantityText(quantity, q.*quantity.Member));
            quantities.Add(line);
        }
        out += Cat("\nCell quantities (reference pO2 ", JsonNumber(options.Quantities.ReferencePO2),
                   " bar)\n", quantities.Render());
    }
    return out;
}

std::string CsvReport(const ReportOptions& options) {
    std::string out = "cell,name,temperatureC,pressure,state,view,";
    out += options.Linear ? "species,value\n" : "species,log10\n";
    for (const ResultsView& view : Views(options))
        for (const int c : ReportCells(options, true))
            for (int row = 1; row <= view.Rows(); ++row) {
                const CellRecord& cell = Cells[c];
                out +=
                    Cat(std::to_string(c), ",", CsvField(cell.Name.Str()), ",",
                        JsonNumber(cell.Temperature), ",", JsonNumber(cell.Pressure), ",",
                        CellRunStateName(cell.State), view.Equilibrium ? ",equilibrium," : ",feed,",
                        CsvField(view.RowName(row)), ",");
                // At full precision, not with the view's decimals.
                if (const std::optional<long double> shown = view.Shown(view.Value(c, row)))
                    out += JsonNumber(static_cast<double>(*shown));
                out += '\n';
            }
    if (ShowsQuantities(options))
        for (const int c : ReportCells(options, true)) {
            const CellRecord& cell = Cells[c];
            const CellQuantities q = QuantitiesOfCell(c, options.Quantities);
            for (const QuantityName& quantity : QuantityNames()) {
                out += Cat(std::to_string(c), ",", CsvField(cell.Name.Str()), ",",
                           JsonNumber(cell.Temperature), ",", JsonNumber(cell.Pressure), ",",
                           CellRunStateName(cell.State), ",quantities,", quantity.Name, ",");
                if (const std::optional<double> value = q.*quantity.Member)
                    out += JsonNumber(*value);
                out += '\n';
            }
        }
    return out;
}

// {name: value} over the rows of a results view for one cell.
void ViewObject(JsonWriter& json, const ResultsView& view, int cell) {
    json.BeginObject(true);
    for (int row = 1; row <= view.Rows(); ++row)
        json.Member(view.RowName(row), static_cast<double>(view.Value(cell, row)));
    json.EndObject();
}

std::string JsonReport(CalcOutcome outcome, const std::vector<StatusMessage>& messages,
                       const ReportOptions& options) {
    JsonWriter json(JsonWriter::Numbers::Digits17);
    json.BeginObject();

    json.Key("gasList");
    json.BeginArray(true);
    for (int b = 1; b <= Gases.Rows(); ++b)
        json.String(Gases.RowName(b));
    json.EndArray();

    json.Key("species");
    json.BeginArray(true);
    for (int j = 1; j <= Species.Rows(); ++j)
        json.String(Species.RowName(j));
    json.EndArray();

    json.Member("solver", options.Solver == EquilibriumSolver::Exact ? "exact" : "pattern");
    json.Member("status", OutcomeName(outcome));

    json.Key("messages");
    json.BeginArray();
    for (const StatusMessage& message : messages) {
        json.BeginObject(true);
        json.Member("kind", message.Warning                       ? "warning"
                            : message.Colour == StatusColour::Red ? "error"
                                                                  : "info");
        json.Member("text", message.Text);
        json.EndObject();
    }
    json.EndArray();

    json.Key("flowmeters");
    json.BeginArray();
    for (int f = 1; f <= FlowmeterCount; ++f) {
        const FlowmeterRecord& meter = Flowmeters[f];
        json.BeginObject(true);
        json.Member("index", f);
        json.Member("reading", meter.Reading);
        json.Member("flow", meter.Flow);
        json.Member("input", meter.Input);
        json.Member("output", meter.Output);
        json.Key("curves");
        json.BeginObject(true);
        for (const auto& [gas, curve] : ReadThrough(f))
            json.Member(gas, curve);
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();

    json.Key("nodes");
    json.BeginArray();
    for (int k = 1; k <= NodeCount; ++k) {
        const MixtureRecord& node = Mixtures[NodeMixture(k)];
        json.BeginObject(true);
        json.Member("index", k);
        json.Member("ready", node.Ready == 1);
        json.Member("flow", node.Flow);
        json.Key("fractions");
        json.BeginObject();
        for (int b = 1; b <= Gases.Rows(); ++b)
            json.Member(Gases.RowName(b), node.Gas[b].Fraction);
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();

    json.Key("cells");
    json.BeginArray();
    for (const int c : ReportCells(options, false)) {
        const CellRecord& cell = Cells[c];
        json.BeginObject();
        json.Member("index", c);
        json.Member("name", cell.Name.Str());
        json.Member("mix", cell.Mix);
        json.Member("state", cell.State);
        json.Member("temperatureC", cell.Temperature);
        json.Member("pressure", cell.Pressure);
        json.Key("feed");
        ViewObject(json, Gases, c);
        json.Key("equilibrium");
        ViewObject(json, Species, c);
        json.Key("bestError");
        if (const std::optional<long double> error = ResultsView::BestError(c))
            json.Number(static_cast<double>(*error));
        else
            json.Null();
        json.Member("passes", CellPasses[c]);
        WriteDerivedQuantities(json, QuantitiesOfCell(c, options.Quantities));
        json.EndObject();
    }
    json.EndArray();

    json.EndObject();
    return json.Text();
}

} // namespace

std::string FormatReport(CalcOutcome outcome, const std::vector<StatusMessage>& messages,
                         const ReportOptions& options) {
    switch (options.Format) {
    case ReportFormat::Text:
        return TextReport(outcome, options);
    case ReportFormat::Csv:
        return CsvReport(options);
    case ReportFormat::Json:
        break;
    }
    return JsonReport(outcome, messages, options);
}
