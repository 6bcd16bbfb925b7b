#include "core/CalcReport.h"

#include "core/Calculate.h"
#include "core/Cat.h"
#include "core/Defaults.h"
#include "core/JsonWriter.h"
#include "core/MixerNetwork.h"
#include "core/NumberText.h"
#include "core/SetupTables.h"
#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/ChemicalData.h"
#include "files/SetupFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

BatchWindow::BatchWindow(std::ostream& out) : HeadlessWindow(out) {
    KeepPauses = false;
}

void BatchWindow::ShowStatusLine(StatusColour colour, const std::string& text) {
    if (colour == StatusColour::Red || ShowProgress)
        Messages.push_back({colour, text});
    HeadlessWindow::ShowStatusLine(colour, text);
}

std::array<bool, 4> StartOnFileSet(const std::string& base) {
    for (auto& row : LoadedSetupFiles)
        row[1].clear();
    DefaultSetupLocation = base;
    InstallDefaults();
    std::array<bool, 4> read{};
    for (int row = InputFileRow; row <= CellFileRow; ++row)
        read[std::size_t(row)] = !LoadedSetupFiles[std::size_t(row)][1].empty();
    return read;
}

CalcOutcome RunCalculation(int maxCycles) {
    return RunCalculation(CalcBounds{maxCycles, 0, 0});
}

namespace {
std::string Scientific(double value, int decimals) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*E", decimals, value);
    return text;
}

// A best error to show: the cell has made a pass, and a solver had an answer to measure.
bool HasBestError(int cell) {
    return CellPasses[cell] > 0 && !std::isnan(CellBestError[cell]);
}
} // namespace

CalcOutcome RunCalculation(const CalcBounds& bounds, EquilibriumSolver solver) {
    const int cycles = MaxCellCycles;
    const int passes = MaxCellRunPasses;
    const int iterations = MaxPassIterations;
    const EquilibriumSolver windowSolver = CellSolver;
    MaxCellCycles = bounds.Cycles;
    MaxCellRunPasses = bounds.PassesPerCellRun;
    MaxPassIterations = bounds.IterationsPerPass;
    CellSolver = solver;
    const bool mixerSolved = Run1Click();
    MaxCellCycles = cycles;
    MaxCellRunPasses = passes;
    MaxPassIterations = iterations;
    CellSolver = windowSolver;
    if (!mixerSolved)
        return CalcOutcome::MixerFailed;
    CalcOutcome outcome = CalcOutcome::Converged;
    for (int c = 1; c <= CellCount; ++c) {
        if (Cells[c].State == 0 || Cells[c].State >= 5)
            continue;
        outcome = CalcOutcome::NotConverged;
        if (HasBestError(c))
            Window().ShowStatusLine(StatusColour::Red,
                                    Cat("Cell ", std::to_string(c),
                                        " has not converged: best error ",
                                        Scientific(static_cast<double>(CellBestError[c]), 2),
                                        " after ", std::to_string(CellPasses[c]), " passes"));
    }
    return outcome;
}

int ExitStatus(CalcOutcome outcome) {
    switch (outcome) {
    case CalcOutcome::Converged:
        return 0;
    case CalcOutcome::MixerFailed:
        return 1;
    case CalcOutcome::NotConverged:
        return 3;
    }
    return 3;
}

namespace {

// The rows of the two results views: the run's species, or the gases of the gas list.
int SpeciesRows() {
    return std::clamp<int>(EqSpeciesCount, 0, MaxEqSpecies);
}
int GasRows() {
    return std::clamp(GasCount, 0, MaxGases);
}
std::string SpeciesName(int j) {
    const int species = EqSpecies[j];
    return Compounds.Contains(species) ? Compounds[species].Formula : std::string();
}
std::string GasName(int b) {
    return GasList[b].Str();
}

struct ResultView {
    bool Equilibrium;
    int Rows() const { return Equilibrium ? SpeciesRows() : GasRows(); }
    std::string RowName(int row) const { return Equilibrium ? SpeciesName(row) : GasName(row); }
    // The amounts are extended reals: their logarithms are taken before they become doubles.
    long double Value(int cell, int row) const {
        return Equilibrium ? CellBestAmounts[cell][row] : CellFeed[cell][row].Fraction;
    }
};

std::vector<ResultView> Views(ReportView view) {
    switch (view) {
    case ReportView::Equilibrium:
        return {{true}};
    case ReportView::Feed:
        return {{false}};
    case ReportView::Both:
        break;
    }
    return {{true}, {false}};
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

const char* StateName(int state) {
    switch (state) {
    case 0:
        return "not calculated";
    case 1:
        return "pending";
    case 3:
        return "first pass";
    case 4:
        return "not converged";
    case 5:
        return "converged";
    default:
        return "unknown";
    }
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

// A value as a results view shows it: the decimal logarithm (nothing for zero and negative
// values), or the plain value.
bool HasShownValue(long double value, bool linear) {
    return !std::isnan(value) && (linear || value > 0);
}
double ShownValue(long double value, bool linear) {
    return static_cast<double>(linear ? value : Log10Clamped(value));
}

// The text of a value in a results table, with the decimals of the window's results table.
std::string ResultText(const ResultView& view, long double value, bool linear) {
    if (!HasShownValue(value, linear))
        return "";
    if (!linear)
        return FormatFixed(Log10Clamped(value), 0, 5);
    return view.Equilibrium ? Scientific(static_cast<double>(value), 4) : FormatFixed(value, 0, 6);
}

std::string ViewTitle(const ResultView& view, bool linear) {
    std::string title = view.Equilibrium ? "Cell equilibrium" : "Gas as fed";
    title += linear ? ", " : ", log10 of ";
    title += view.Equilibrium ? "partial pressures (bar)" : "mole fractions";
    return title;
}

std::string MixtureName(int mixture) {
    if (mixture >= 1 && mixture <= InputMixtureCount)
        return Cat("I", std::to_string(mixture));
    if (mixture > InputMixtureCount && mixture <= MixtureCount)
        return Cat("M", std::to_string(mixture - InputMixtureCount));
    return mixture == 0 ? "-" : std::to_string(mixture);
}

std::string NodeName(int node) {
    return node == 0 ? "-" : Cat("M", std::to_string(node));
}

std::string ColumnName(int cell) {
    return Cat("OC ", std::to_string(cell), "; ", Cells[cell].Name.View());
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

// A table of texts laid out in columns, the first row being the headings. Texts are single-byte
// characters, so that they line up by their length; they become UTF-8 once padded.
class TextTable {
public:
    // align: one letter a column, "l" left-aligned, "r" right-aligned (numbers); the last letter
    // holds for the columns after it.
    TextTable(std::vector<std::string> headings, std::string align) : Align(std::move(align)) {
        Rows.push_back(std::move(headings));
    }
    void Add(std::vector<std::string> row) { Rows.push_back(std::move(row)); }

    std::string Render() const {
        std::vector<std::size_t> widths;
        for (const auto& row : Rows)
            for (std::size_t i = 0; i < row.size(); ++i) {
                widths.resize(std::max(widths.size(), i + 1));
                widths[i] = std::max(widths[i], row[i].size());
            }
        std::string out;
        for (const auto& row : Rows) {
            std::string line;
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (i > 0)
                    line += "  ";
                const std::string pad(widths[i] - row[i].size(), ' ');
                const char align = Align[std::min(i, Align.size() - 1)];
                line += align == 'r' ? pad + row[i] : row[i] + pad;
            }
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            out += Latin1ToUtf8(line);
            out += '\n';
        }
        return out;
    }

private:
    std::string Align;
    std::vector<std::vector<std::string>> Rows;
};

std::string TextReport(CalcOutcome outcome, const ReportOptions& options) {
    std::string out = "Status: ";
    out += OutcomeName(outcome);
    out += "\nGases:";
    for (int b = 1; b <= GasRows(); ++b) {
        out += ' ';
        out += GasName(b);
    }
    out += "\n\n";

    TextTable meters({"Flowmeter", "Reading", "Flow", "Input", "Output"}, "lrrl");
    for (int f = 1; f <= FlowmeterCount; ++f)
        if (FlowmeterInUse(f))
            meters.Add({Cat("F", std::to_string(f)), FormatFixed(Flowmeters[f].Reading, 0, 2),
                        FormatFixed(Flowmeters[f].Flow, 0, 3), MixtureName(Flowmeters[f].Input),
                        NodeName(FlowmeterNode(f))});
    out += Cat("Flowmeters in use\n", meters.Render(), "\n");

    std::vector<std::string> nodeHeadings = {"Node", "Resolved", "Flow"};
    for (int b = 1; b <= GasRows(); ++b)
        nodeHeadings.push_back(GasName(b));
    TextTable nodes(nodeHeadings, "llr");
    for (int k = 1; k <= NodeCount; ++k) {
        if (!NodeInUse(k))
            continue;
        const MixtureRecord& node = Mixtures[NodeMixture(k)];
        std::vector<std::string> row = {NodeName(k), node.Ready == 1 ? "yes" : "no",
                                        FormatFixed(node.Flow, 0, 3)};
        for (int b = 1; b <= GasRows(); ++b)
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
                     StateName(cell.State), std::to_string(CellPasses[c]),
                     HasBestError(c) ? Scientific(static_cast<double>(CellBestError[c]), 2) : ""});
    }
    out += Cat("\nCells\n", summary.Render());

    for (const ResultView& view : Views(options.View)) {
        std::vector<std::string> headings = {view.Equilibrium ? "Species" : "Gas"};
        for (const int c : cells)
            headings.push_back(ColumnName(c));
        TextTable results(headings, "lr");
        for (int row = 1; row <= view.Rows(); ++row) {
            std::vector<std::string> line = {view.RowName(row)};
            for (const int c : cells)
                line.push_back(ResultText(view, view.Value(c, row), options.Linear));
            results.Add(line);
        }
        out += Cat("\n", ViewTitle(view, options.Linear), "\n", results.Render());
    }
    return out;
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(const std::string& latin1) {
    const std::string text = Latin1ToUtf8(latin1);
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    quoted += '"';
    return quoted;
}

std::string CsvReport(const ReportOptions& options) {
    std::string out = "cell,name,temperatureC,pressure,state,view,";
    out += options.Linear ? "species,value\n" : "species,log10\n";
    for (const ResultView& view : Views(options.View))
        for (const int c : ReportCells(options, true))
            for (int row = 1; row <= view.Rows(); ++row) {
                const CellRecord& cell = Cells[c];
                const long double value = view.Value(c, row);
                out += Cat(std::to_string(c), ",", CsvField(cell.Name.Str()), ",",
                           JsonNumber(cell.Temperature), ",", JsonNumber(cell.Pressure), ",",
                           StateName(cell.State), view.Equilibrium ? ",equilibrium," : ",feed,",
                           CsvField(view.RowName(row)), ",");
                if (HasShownValue(value, options.Linear))
                    out += JsonNumber(ShownValue(value, options.Linear));
                out += '\n';
            }
    return out;
}

// {name: value} over the rows of a results view for one cell.
void ViewObject(JsonWriter& json, const ResultView& view, int cell) {
    json.BeginObject(true);
    for (int row = 1; row <= view.Rows(); ++row) {
        json.Key(view.RowName(row));
        json.Number(static_cast<double>(view.Value(cell, row)));
    }
    json.EndObject();
}

std::string JsonReport(CalcOutcome outcome, const std::vector<StatusMessage>& messages,
                       const ReportOptions& options) {
    JsonWriter json(JsonWriter::Numbers::Digits17);
    json.BeginObject();

    json.Key("gasList");
    json.BeginArray(true);
    for (int b = 1; b <= GasRows(); ++b)
        json.String(GasName(b));
    json.EndArray();

    json.Key("species");
    json.BeginArray(true);
    for (int j = 1; j <= SpeciesRows(); ++j)
        json.String(SpeciesName(j));
    json.EndArray();

    json.Key("solver");
    json.String(options.Solver == EquilibriumSolver::Exact ? "exact" : "pattern");

    json.Key("status");
    json.String(OutcomeName(outcome));

    json.Key("messages");
    json.BeginArray();
    for (const StatusMessage& message : messages) {
        json.BeginObject(true);
        json.Key("kind");
        json.String(message.Colour == StatusColour::Red ? "error" : "info");
        json.Key("text");
        json.String(message.Text);
        json.EndObject();
    }
    json.EndArray();

    json.Key("flowmeters");
    json.BeginArray();
    for (int f = 1; f <= FlowmeterCount; ++f) {
        const FlowmeterRecord& meter = Flowmeters[f];
        json.BeginObject(true);
        json.Key("index");
        json.Integer(f);
        json.Key("reading");
        json.Number(meter.Reading);
        json.Key("flow");
        json.Number(meter.Flow);
        json.Key("input");
        json.Integer(meter.Input);
        json.Key("output");
        json.Integer(meter.Output);
        json.EndObject();
    }
    json.EndArray();

    json.Key("nodes");
    json.BeginArray();
    for (int k = 1; k <= NodeCount; ++k) {
        const MixtureRecord& node = Mixtures[NodeMixture(k)];
        json.BeginObject(true);
        json.Key("index");
        json.Integer(k);
        json.Key("ready");
        json.Bool(node.Ready == 1);
        json.Key("flow");
        json.Number(node.Flow);
        json.Key("fractions");
        json.BeginObject();
        for (int b = 1; b <= GasRows(); ++b) {
            json.Key(GasName(b));
            json.Number(node.Gas[b].Fraction);
        }
        json.EndObject();
        json.EndObject();
    }
    json.EndArray();

    json.Key("cells");
    json.BeginArray();
    for (const int c : ReportCells(options, false)) {
        const CellRecord& cell = Cells[c];
        json.BeginObject();
        json.Key("index");
        json.Integer(c);
        json.Key("name");
        json.String(cell.Name.Str());
        json.Key("mix");
        json.Integer(cell.Mix);
        json.Key("state");
        json.Integer(cell.State);
        json.Key("temperatureC");
        json.Number(cell.Temperature);
        json.Key("pressure");
        json.Number(cell.Pressure);
        json.Key("feed");
        ViewObject(json, {false}, c);
        json.Key("equilibrium");
        ViewObject(json, {true}, c);
        json.Key("bestError");
        if (HasBestError(c))
            json.Number(static_cast<double>(CellBestError[c]));
        else
            json.Null();
        json.Key("passes");
        json.Integer(CellPasses[c]);
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
