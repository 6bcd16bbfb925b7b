// SPDX-License-Identifier: GPL-3.0-or-later
// quorvane-calc: calculates a rig without a window and prints the results.
#include "files/FileSets.h"
#include "files/StartUp.h"
#include "report/CalcReport.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <iostream>

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
        "(each such cell is named on standard error).");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption format("format",
                                    "Output: text (aligned tables, the default), csv or json.",
                                    "text|csv|json", "text");
    const QCommandLineOption view("view",
                                  "Results shown in text and csv: equilibrium, feed or both.",
                                  "equilibrium|feed|both", "both");
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
    parser.addOptions({format, view, linear, verbose, cell, maxCycles, solver});
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
    else
        return BadUsage(parser, "--view is equilibrium, feed or both");
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

    const CalcOutcome outcome = RunCalculation(bounds);
    options.Solver = bounds.Solver; // JSON names the solver of the results
    std::cout << FormatReport(outcome, window.Messages, options) << std::flush;
    SetWindow(nullptr);
    return ExitStatus(outcome);
}
