// SPDX-License-Identifier: GPL-3.0-or-later
// The equilibrium solver written as plainly as possible: the error measure and the depth-first
// sweep exactly as the method is stated, with nothing carried between evaluations, and the
// measure written apart from the program's (its clamped logarithm included), row by row. The
// tests and the benchmark hold the program's fast solver against it; both must give the same x,
// best error and step, bit for bit. Also the solver calls they share.
#pragma once

#include "equilibrium/CellEquilibrium.h"
#include "equilibrium/EqCalcUnit.h"

long double ReferenceEquilibriumError(int a, int b, const EqVector& trial, const EqMatrix& A,
                                      const EqVector& B, const EqMatrix& N, const EqVector& L);

void ReferenceSolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B,
                               const EqMatrix& N, const EqVector& L, EqVector& x,
                               long double& BestError, long double Tolerance, int MaxIterations,
                               double& Perturbation, double Grow, double Shrink,
                               double MaxPerturbation, double MinPerturbation,
                               const bool& stopRequested, bool& Stalled);

using SolverFunction = void (*)(int, int, const EqMatrix&, const EqVector&, const EqMatrix&,
                                const EqVector&, EqVector&, long double&, long double, int, double&,
                                double, double, double, double, const bool&, bool&);

// One solver call: the rows, the amounts and the state a cell run carries from call to call,
// with the settings of a cell run.
struct SolverCall {
    int a = 0;
    int b = 0;
    EqMatrix A{};
    EqVector B{};
    EqMatrix N{};
    EqVector L{};
    EqVector x{};
    long double BestError = CellRunSettings{}.StartError;
    long double Tolerance = CellRunSettings{}.Tolerance;
    int MaxIterations = CellRunSettings{}.MaxIterations;
    double Perturbation = CellRunSettings{}.StartPerturbation;
    double Grow = CellRunSettings{}.Grow;
    double Shrink = CellRunSettings{}.Shrink;
    double MaxPerturbation = CellRunSettings{}.MaxPerturbation;
    double MinPerturbation = CellRunSettings{}.MinPerturbation;
    bool StopRequested = false;
    bool Stalled = false;

    void Run(SolverFunction solver);
};

// The first solver call of a cell prepared by the cell run (its species selected and the cells
// prepared), at the cell's pressure and temperature: the run's equations for the cell, over all
// the run's species (BuildCellEquations; the cell run itself leaves out the elements the cell's
// feed lacks), and the feed with every amount raised by 1e-20.
SolverCall FirstCallOfCell(int cell);

// The next pass of the same cell run: the amounts, best error and step carry over.
SolverCall NextPass(SolverCall call, const SolverCall& result);
