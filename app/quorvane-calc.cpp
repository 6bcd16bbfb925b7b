// SPDX-License-Identifier: GPL-3.0-or-later
// quorvane-calc: calculates a rig without a window and prints the results.
#include "analysis/RigParameter.h"
#include "analysis/RigSetup.h"
#include "analysis/Sweep.h"
#include "analysis/Targeting.h"
#include "core/JsonWriter.h"
#include "files/FileSets.h"
#include "files/StartUp.h"
#include "report/CalcReport.h"
#include "report/SweepReport.h"
#include "report/TargetReport.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <iostream>
#include <optional>
#include <string>

namespace {

const char* const Program = "quorvane-calc";

int BadUsage(const QCommandLineParser& parser, const std::string& problem) {
    std::cerr << Program << ": " << problem << "\n\n" << parser.helpText().toStdString();
    return 2;
}

// A whole number min..max, nothing else.
bool ParseNumber(const QString& text, int min, int max, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= min && value <= max;
}

// The exit status of a sweep: 1 when some point's mixer stage failed, else 3 when some cell of
// some point did not converge, else 0.
int SweepExitStatus(const SweepResult& sweep) {
    bool mixerFailed = false;
    bool unconverged = false;
    for (const SweepPoint& point : sweep.Points) {
        mixerFailed = mixerFailed || point.Result.MixerFailed;
        for (const CellPoint& cell : point.Result.Cells)
            unconverged =
                unconverged || (!point.Result.MixerFailed && !cell.Converged() &&
                                cell.State != CellRunStateName(CellRunState::NotCalculated));
    }
    return mixerFailed ? 1 : unconverged ? 3 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    SetProgramIdentity();
    QCoreApplication::setApplicationVersion(QUORVANE_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Calculates a Quorvane rig without a window: reads the file set BASE.INP, BASE.MIX,\n"
        "BASE.CAL and BASE.CEL, runs Calculate to its end and prints the results. Status-line\n"
        "messages go to standard error, prefixed \"error: \" or \"info: \", and so do the\n"
        "warnings of the rig check, prefixed \"warning: \".\n"
        "\n"
        "Exit status: 0 every fed cell converged; 1 the mixer stage failed; 2 bad usage, or\n"
        "no file of the set could be read; 3 some fed cell did not converge within the cycles\n"
        "(each such cell is named on standard error).\n"
        "\n"
        "With --sweep NAME=FROM:TO:POINTS it varies one parameter of the rig over POINTS\n"
        "values evenly spaced from FROM to TO, both included (2..100000 points), and prints\n"
        "every fed cell's state, feed and equilibrium at each, by the exact solver unless\n"
        "--solver pattern is given. NAME is cellN.temperature (degrees Celsius),\n"
        "cellN.pressure (bar), flowmeterN.reading or flowmeterN.stageTemperature (degrees\n"
        "Celsius, a PURE or KBR saturator). Exit status: 0 every cell converged at every\n"
        "point; 1 the mixer stage failed at some point; 2 bad usage; 3 some cell did not\n"
        "converge at some point. The rows say which.\n"
        "\n"
        "With --target and --vary it finds the setting that gives a cell's quantity a goal\n"
        "instead: exit status 0 found; 1 the mixer stage fails at the rig's setting; 2 bad\n"
        "usage; 3 the goal is out of reach (the quantity's range is printed).");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption format("format",
                                    "Output: text (aligned tables, the default), csv or json.",
                                    "text|csv|json", "text");
    const QCommandLineOption view("view",
                                  "Results shown in text and csv: equilibrium, feed, both (with\n"
                                  "the cells' derived quantities) or quantities alone.",
                                  "equilibrium|feed|both|quantities", "both");
    const QCommandLineOption linear("linear",
                                    "Plain values in text and csv instead of decimal logarithms.");
    const QCommandLineOption verbose(
        "verbose", "Also write the progress lines to standard error, and in text the curve each\n"
                   "flowmeter read each gas through.");
    const QCommandLineOption cell("cell", "Only cell N (1..8) in the output.", "N");
    const QCommandLineOption maxCycles(
        "max-cycles",
        "Cycles over the cells before the unconverged ones are given up (default 20).", "N", "20");
    const QCommandLineOption solver(
        "solver",
        "The equilibrium solver: pattern (the window's pattern search, the default) or exact\n"
        "(Newton's method, each cell solved once).",
        "pattern|exact", "pattern");
    const QCommandLineOption referencePO2(
        "reference-po2",
        "The oxygen sensor's reference pO2 in bar, for the EMF of the derived quantities\n"
        "(default 0.2095, air).",
        "BAR", "0.2095");
    const QCommandLineOption target(
        "target",
        "Find the setting that gives cell N's quantity the goal: log10pO2, sensorEmfmV,\n"
        "dewPointC or waterPpmFeed, e.g. cell1.log10pO2=-20. Needs --vary.",
        "cellN.QUANTITY=GOAL");
    const QCommandLineOption vary(
        "vary",
        "The parameter --target varies: cellN.temperature, cellN.pressure,\n"
        "flowmeterN.reading or flowmeterN.stageTemperature.",
        "PARAMETER");

    const QCommandLineOption sweep(
        "sweep", "Sweep one parameter of the rig: NAME=FROM:TO:POINTS (see above).",
        "NAME=FROM:TO:POINTS");
    parser.addOptions({format, view, linear, verbose, cell, maxCycles, solver, referencePO2, target,
                       vary, sweep});
    parser.addPositionalArgument("BASE", "The file set: its base name, or one of its four files.");

    if (!parser.parse(QCoreApplication::arguments()))
        return BadUsage(parser, parser.errorText().toStdString());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version)) {
        std::cout << Program << " " << QUORVANE_VERSION << "\n";
        return 0;
    }

    ReportOptions options;
    const QString formatName = parser.value(format);
    if (formatName == "text")
        options.Format = ReportFormat::Text;
    else if (formatName == "csv")
        options.Format = ReportFormat::Csv;
    else if (formatName == "json")
        options.Format = ReportFormat::Json;
    else
        return BadUsage(parser, "--format is text, csv or json");
    const QString viewName = parser.value(view);
    if (viewName == "equilibrium")
        options.View = ReportView::Equilibrium;
    else if (viewName == "feed")
        options.View = ReportView::Feed;
    else if (viewName == "both")
        options.View = ReportView::Both;
    else if (viewName == "quantities")
        options.View = ReportView::Quantities;
    else
        return BadUsage(parser, "--view is equilibrium, feed, both or quantities");
    {
        bool ok = false;
        options.Quantities.ReferencePO2 = parser.value(referencePO2).toDouble(&ok);
        if (!ok || !ValidReferencePO2(options.Quantities.ReferencePO2))
            return BadUsage(parser, "--reference-po2 takes a pressure in bar above 0");
    }
    options.Linear = parser.isSet(linear);
    options.Verbose = parser.isSet(verbose);
    if (parser.isSet(cell) && !ParseNumber(parser.value(cell), 1, 8, options.Cell))
        return BadUsage(parser, "--cell takes a cell number 1..8");
    CalcBounds bounds;
    if (!ParseNumber(parser.value(maxCycles), 1, 1000000, bounds.Cycles))
        return BadUsage(parser, "--max-cycles takes a number of at least 1");
    const QString solverName = parser.value(solver);
    if (solverName == "pattern")
        bounds.Solver = EquilibriumSolver::Pattern;
    else if (solverName == "exact")
        bounds.Solver = EquilibriumSolver::Exact;
    else
        return BadUsage(parser, "--solver is pattern or exact");
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 1)
        return BadUsage(parser, "give one file set");
    const bool targeting = parser.isSet(target) || parser.isSet(vary);
    TargetRequest request;
    if (targeting) {
        if (!parser.isSet(target) || !parser.isSet(vary))
            return BadUsage(parser, "--target and --vary go together");
        if (options.Format == ReportFormat::Csv)
            return BadUsage(parser, "--target writes text or json");
        if (parser.isSet(solver) && bounds.Solver != EquilibriumSolver::Exact)
            return BadUsage(parser, "--target searches with the exact solver");
        if (const std::optional<std::string> problem =
                ParseTarget(parser.value(target).toStdString(), request))
            return BadUsage(parser, *problem);
        std::string error;
        const std::optional<RigParameter> parameter =
            ParseRigParameter(parser.value(vary).toStdString(), error);
        if (!parameter)
            return BadUsage(parser, error);
        request.Parameter = *parameter;
        request.Quantities = options.Quantities;
    }
    if (targeting && parser.isSet(sweep))
        return BadUsage(parser, "--sweep and --target are two different runs: give one");
    std::optional<SweepRequest> sweepRequest;
    if (parser.isSet(sweep)) {
        std::string error;
        sweepRequest = ParseSweep(parser.value(sweep).toStdString(), error);
        if (!sweepRequest)
            return BadUsage(parser, "--sweep: " + error);
        // A sweep is the exact solver's work unless the pattern search is asked for.
        sweepRequest->Solver = parser.isSet(solver) ? bounds.Solver : EquilibriumSolver::Exact;
    }

    BatchWindow window(std::cerr);
    window.ShowProgress = parser.isSet(verbose);
    SetWindow(&window);

    const std::string base = FileSetBaseOf(arguments.front().toStdString());
    // A file of the set that cannot be read is a warning of the start-up, with the reason.
    const std::array<bool, 4> read = StartOnFileSet(base);
    if (read == std::array<bool, 4>{}) {
        std::cerr << UnreadFilesMessage(Program, base, read, "");
        return 2;
    }

    if (targeting) {
        const RigSetup setup = CaptureRigSetup();
        if (const std::string problem = CheckTargetRequest(request, setup); !problem.empty()) {
            SetWindow(nullptr);
            return BadUsage(parser, problem);
        }
        const TargetResult result = FindSetting(setup, request);
        SetWindow(nullptr);
        if (result.Status == TargetStatus::MixerFailed) {
            std::cerr << "error: " << result.Failure << "\n";
            return 1;
        }
        if (!result.Failure.empty())
            std::cerr << "error: " << result.Failure << "\n";
        std::cout << FormatTargetReport(request, result, options.Format == ReportFormat::Json)
                  << std::flush;
        return result.Status == TargetStatus::Found ? 0 : 3;
    }

    if (sweepRequest) {
        const RigSetup setup = CaptureRigSetup();
        if (const std::string problem = CheckRigParameter(sweepRequest->Parameter, setup);
            !problem.empty()) {
            SetWindow(nullptr);
            return BadUsage(parser, "--sweep: " + problem);
        }
        if (sweepRequest->Solver == EquilibriumSolver::Pattern)
            std::cerr << "note: the pattern search takes up to seconds a cell at each point; the "
                         "exact solver (the default) answers in microseconds\n";
        const SweepResult result = RunSweep(setup, *sweepRequest);
        const std::string name = sweepRequest->Parameter.Name();
        for (const SweepPoint& point : result.Points)
            for (const std::string& message : point.Result.Messages)
                std::cerr << "error: " << name << "=" << JsonNumber(point.Value) << ": " << message
                          << "\n";
        const SweepFormat sweepFormat = options.Format == ReportFormat::Csv    ? SweepFormat::Csv
                                        : options.Format == ReportFormat::Json ? SweepFormat::Json
                                                                               : SweepFormat::Text;
        std::cout << FormatSweep(result, sweepFormat, options.Cell, options.Quantities)
                  << std::flush;
        SetWindow(nullptr);
        return SweepExitStatus(result);
    }

    const CalcOutcome outcome = RunCalculation(bounds);
    options.Solver = bounds.Solver; // JSON names the solver of the results
    std::cout << FormatReport(outcome, window.Messages, options) << std::flush;
    SetWindow(nullptr);
    return ExitStatus(outcome);
}
