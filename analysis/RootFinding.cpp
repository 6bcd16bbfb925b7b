// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/RootFinding.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

std::optional<double> BrentRoot(const std::function<double(double)>& f, double a, double b,
                                double fa, double fb, const BrentOptions& options) {
    if (std::isnan(fa) || std::isnan(fb))
        return std::nullopt;
    if (fa == 0)
        return a;
    if (fb == 0)
        return b;
    if ((fa > 0) == (fb > 0))
        return std::nullopt;
    const double eps = std::numeric_limits<double>::epsilon();
    double c = a, fc = fa, d = b - a, e = d;
    for (int iteration = 0; iteration < options.MaxIterations; ++iteration) {
        // b is the best estimate, c the other end of the bracket, a the previous b.
        if ((fb > 0) == (fc > 0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tolerance =
            2 * eps * std::fabs(b) + 0.5 * options.XTolerance * (1 + std::fabs(b));
        const double half = 0.5 * (c - b);
        if (std::fabs(half) <= tolerance || fb == 0 || std::fabs(fb) <= options.FTolerance)
            return b;
        if (std::fabs(e) >= tolerance && std::fabs(fa) > std::fabs(fb)) {
            // Inverse quadratic interpolation, or the secant when two points coincide.
            const double s = fb / fa;
            double p, q;
            if (a == c) {
                p = 2 * half * s;
                q = 1 - s;
            } else {
                const double r = fb / fc;
                const double t = fa / fc;
                p = s * (2 * half * t * (t - r) - (b - a) * (r - 1));
                q = (t - 1) * (r - 1) * (s - 1);
            }
            if (p > 0)
                q = -q;
            else
                p = -p;
            if (2 * p < std::min(3 * half * q - std::fabs(tolerance * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = half;
                e = d;
            }
        } else {
            d = half;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tolerance ? d : (half > 0 ? tolerance : -tolerance);
        fb = f(b);
        if (std::isnan(fb))
            return std::nullopt;
    }
    return b;
}
