// A whole calculation without a window, and its results as text, CSV or JSON: what the headless
// calculator prints. The calculation is the window's own (Run1Click through the window
// interface); only the window is a stream.
#pragma once

#include "core/WindowInterface.h"
#include "equilibrium/CellEquilibrium.h"

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

struct StatusMessage {
    StatusColour Colour;
    std::string Text;
};

// The headless window of a batch run: writes the status line to a stream ("error: ", and
// "info: " for the progress lines when ShowProgress is on), never waits and never beeps, and
// keeps every message it wrote for the report.
class BatchWindow : public HeadlessWindow {
public:
    explicit BatchWindow(std::ostream& out);
    void ShowStatusLine(StatusColour colour, const std::string& text) override;

    std::vector<StatusMessage> Messages;
};

// Starts the program on the file set with this base, as start-up does with the default file
// set, so that no file of another set is read. Returns, in the order INP, MIX, CAL, CEL,
// whether each file was read; a file that was not read leaves its table at the defaults.
std::array<bool, 4> StartOnFileSet(const std::string& base);

enum class CalcOutcome {
    Converged,    // every fed cell converged
    MixerFailed,  // the gas list overflowed or the mixer did not converge
    NotConverged, // some fed cell had not converged after the last cycle over the cells
};

// Runs one calculation on the setup tables as they are, with at most maxCycles cycles over the
// cells (0: until every fed cell has converged).
CalcOutcome RunCalculation(int maxCycles);

// Bounds on the work of one calculation, each 0 for none: cycles over the cells, solver passes in
// one cell run, and solver iterations in one pass. With all three set, a calculation ends in a
// time that no setup can stretch (fuzzing, tests of hostile setups).
struct CalcBounds {
    int Cycles = 0;
    int PassesPerCellRun = 0;
    int IterationsPerPass = 0;
};
// The cells are solved by the given solver. When the run ends with fed cells that have not
// converged, one red message names each of them with its best error and passes ("Cell 2 has not
// converged: best error 3.60E-03 after 220 passes"); a cell the exact solver found no answer for
// has said why already.
CalcOutcome RunCalculation(const CalcBounds& bounds,
                           EquilibriumSolver solver = EquilibriumSolver::Pattern);

// The exit status of the headless calculator for an outcome: 0, 1 or 3.
int ExitStatus(CalcOutcome outcome);

enum class ReportFormat { Text, Csv, Json };
enum class ReportView { Equilibrium, Feed, Both };

struct ReportOptions {
    ReportFormat Format = ReportFormat::Text;
    ReportView View = ReportView::Both; // text and CSV; JSON always holds both
    bool Linear = false;                // text and CSV; JSON always holds the linear values
    int Cell = 0;                       // 1..8: only this cell; 0: all
    // The solver that calculated the results, which JSON names.
    EquilibriumSolver Solver = EquilibriumSolver::Pattern;
};

// The results of the last calculation. Text: the status, the gas list, the flowmeters and nodes
// in use, the cells and the results tables of the chosen views, one column per cell (the cells
// with a node, or the one chosen). CSV: the results tables, one line per cell, view and
// species. JSON: everything, see the README.
std::string FormatReport(CalcOutcome outcome, const std::vector<StatusMessage>& messages,
                         const ReportOptions& options);
