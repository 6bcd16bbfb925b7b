// The equilibrium solver written as plainly as possible: the error measure and the depth-first
// sweep exactly as the method is stated, with nothing carried between evaluations. The tests
// and the benchmark hold the program's fast solver against it; both must give the same x,
// best error and step, bit for bit.
#pragma once

#include "equilibrium/EqCalcUnit.h"

long double ReferenceEquilibriumError(int a, int b, const EqVector& trial, const EqMatrix& A,
                                      const EqVector& B, const EqMatrix& N, const EqVector& L);

void ReferenceSolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B,
                               const EqMatrix& N, const EqVector& L, EqVector& x,
                               long double& BestError, long double Tolerance, int MaxIterations,
                               double& Perturbation, double Grow, double Shrink,
                               double MaxPerturbation, double MinPerturbation,
                               const bool& stopRequested, bool& Stalled);
