// SPDX-License-Identifier: GPL-3.0-or-later
// The results of a calculation as text, CSV or JSON: what the headless calculator prints.
#pragma once

#include "analysis/CellQuantities.h"
#include "report/BatchRun.h"

#include <string>
#include <vector>

enum class ReportFormat { Text, Csv, Json };
// Which tables text and CSV show: the cell equilibrium, the gas as fed, or the cells' derived
// quantities alone; Both shows all three.
enum class ReportView { Equilibrium, Feed, Both, Quantities };

struct ReportOptions {
    ReportFormat Format = ReportFormat::Text;
    ReportView View = ReportView::Both; // text and CSV; JSON always holds both
    bool Linear = false;                // text and CSV; JSON always holds the linear values
    bool Verbose = false;               // text: also the curve each flowmeter read each gas through
    int Cell = 0;                       // 1..8: only this cell; 0: all
    // The solver the calculation was run with (its bounds' Solver), which JSON names.
    EquilibriumSolver Solver = EquilibriumSolver::Pattern;
    QuantityOptions Quantities = {}; // the settings of the derived quantities (the reference pO2)
};

// The results of the last calculation. Text: the status, the gas list, the flowmeters (with
// Verbose, the curves they read each gas through) and nodes in use, the cells and the results
// tables of the chosen views, one column per cell (the cells with a node, or the one chosen), and
// the "Cell quantities" table. CSV: the results tables, one line per cell, view and species,
// then the quantities, one line per cell and quantity with the view "quantities". JSON:
// everything, see the README.
std::string FormatReport(CalcOutcome outcome, const std::vector<StatusMessage>& messages,
                         const ReportOptions& options);
