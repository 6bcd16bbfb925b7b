// SPDX-License-Identifier: GPL-3.0-or-later
// Roots of a function of one variable on a bracket: Brent's method, which keeps the root inside
// the bracket at every step and converges like the secant method where the function is smooth.
#pragma once

#include <functional>
#include <optional>

struct BrentOptions {
    double XTolerance = 1e-12; // relative to the size of x, plus a small absolute part
    double FTolerance = 0;     // |f| at or below this ends the search
    int MaxIterations = 200;
};

// A root of f between a and b, where f(a) and f(b) are known (fa, fb) and of opposite signs or
// one of them 0; empty when they are not, or when f gives a value that is not a number.
std::optional<double> BrentRoot(const std::function<double(double)>& f, double a, double b,
                                double fa, double fb, const BrentOptions& options = {});
