// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/EqCalcUnit.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <numbers>
#include <random>
#include <utility>

namespace {
constexpr long double Ln10 = std::numbers::ln10_v<long double>;
constexpr double SecondsPerDay = 86400.0;

double SystemSecondsOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0;
}

std::function<double()>& ClockSource() {
    static std::function<double()> source;
    return source;
}
} // namespace

long double Power(long double base, long double exponent) {
    return std::exp(exponent * std::log(base));
}

long double TenToPower(long double x) {
    if (x >= 308)
        return 1e307L;
    if (x <= -308)
        return 0;
    return std::exp(x * Ln10);
}

long double Log10Clamped(long double x) {
    if (x >= 1e307L)
        return 308;
    if (x <= 1e-307L)
        return -308;
    return std::log(x) / Ln10;
}

double SecondsOfDay() {
    const auto& source = ClockSource();
    return source ? source() : SystemSecondsOfDay();
}

void SetSecondsOfDaySource(std::function<double()> source) {
    ClockSource() = std::move(source);
}

void WaitSeconds(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds))
        seconds = 0;
    // The elapsed time is summed step by step. The time of day falls back by most of a day only
    // at midnight, which continues the count; a smaller step back (a clock adjustment) adds
    // nothing rather than stretching the pause by the size of the step.
    double previous = SecondsOfDay();
    double elapsed = 0;
    for (;;) {
        const double now = SecondsOfDay();
        if (now >= previous)
            elapsed += now - previous;
        else if (previous - now > SecondsPerDay / 2)
            elapsed += now + SecondsPerDay - previous;
        previous = now;
        if (elapsed > seconds)
            return;
    }
}

namespace {
std::mt19937_64& Generator() {
    static std::mt19937_64 generator(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                   std::chrono::system_clock::now().time_since_epoch().count()));
    return generator;
}

double UniformFrom(std::mt19937_64& generator) {
    // The top 53 bits make a double in [0, 1) with every value equally likely.
    return static_cast<double>(generator() >> 11) * 0x1.0p-53;
}
} // namespace

double RandomUniform() {
    return UniformFrom(Generator());
}

void SeedRandom(std::uint64_t seed) {
    Generator().seed(seed);
}

long double EquilibriumError(int a, int b, const EqVector& trial, const EqMatrix& A,
                             const EqVector& B, const EqMatrix& N, const EqVector& L) {
    const int n = a + b;
    long double acc = 0;
    for (int i = 1; i <= a; ++i) {
        long double s = 0;
        long double m = 0;
        for (int j = 1; j <= n; ++j) {
            s = s + trial[j] * A[i][j];
            m = m + std::fabs(trial[j] * A[i][j]);
        }
        if (m < 1e-37L)
            m = 1e-37L;
        const long double d = std::fabs(s - B[i]);
        acc = acc + d * d / m / m;
    }
    for (int r = 1; r <= b; ++r) {
        long double s = 0;
        for (int j = 1; j <= n; ++j)
            s = s + Log10Clamped(trial[j]) * N[r][j];
        const long double d = std::fabs(s - L[r]);
        acc = acc + d * d / 100;
    }
    return std::sqrt(acc) / n;
}

// The solver's sweeps evaluate the error measure 3^f times each (f free species), so they do
// not call EquilibriumError. They compute the very same numbers with less work, and every
// shortcut below keeps each evaluation's result, or at least its comparison with the best
// error, bit for bit what EquilibriumError would give:
//
// 1. Sums carried down the recursion. Each row's sums add the species j = 1..n in this order,
//    and the trial values of species 1..j are fixed while the levels below j run. So the
//    partial sums after species j are computed once at level j and reused by every leaf
//    below it: the same additions in the same order. A row's term is taken at the level of
//    its last nonzero coefficient, from the same operations as in EquilibriumError, and the
//    leaf adds the terms in the error's order.
// 2. Zero coefficients skipped. A zero coefficient times a finite value (or times a finite
//    logarithm) is a signed zero, and adding a zero leaves a sum unchanged except, possibly,
//    for the sign of a zero sum. m only adds +0, and |s - B| (or |s - L|) of a zero s does not
//    depend on its sign. So skipping these terms gives identical rows as long as every trial
//    value is finite, which 3. guarantees.
// 3. Hopeless subtrees. With a balance row, a non-finite trial value makes every balance term
//    NaN (0 * inf is NaN; a finite coefficient gives an infinite s and m and inf / inf), so the
//    error is NaN and no leaf below can improve. Without balance rows only a NaN value has
//    that effect (the clamped logarithm of an infinity is finite). Such subtrees are skipped.
// 4. Each candidate's logarithm is taken once per candidate value, not once per leaf.
// 5. Screening. The error is sqrt(acc) / n with acc the in-order sum of the row terms, each
//    term d*d/m/m or d*d/100 being >= 0 or NaN. ScreeningThreshold gives a value from which on
//    acc makes the error reach the best error, so that such a trial cannot be strictly better.
//    Rows whose last nonzero coefficient belongs to a species at or above the current level
//    already have their final terms. Their sum, taken in the order in which the rows finish,
//    is held against RoughThreshold, which allows for that order's other roundings; reaching
//    it proves that every leaf below reaches the threshold, and the whole subtree is skipped.
//    Any order of the terms gives such a proof, so each level tries its rows in the order
//    that has lately decided soonest, and takes the logarithm only when a reaction row comes
//    up. (The rows' sums do not depend on each other; the order of a level's list changes
//    nothing else.) No improvement is lost, and x and the best error only change at
//    improvements, so the rest of the sweep runs exactly as without the skip. (Trial values
//    below a skipped level keep older contents; every leaf sets them again before it reads
//    them.)
// 6. The best point itself. x always holds the point whose error is the best error (its first
//    value, or the trial that last improved). A trial equal to x in every value has that very
//    error (a zero of the other sign changes nothing, as in 2.) and cannot be strictly better,
//    so it is not evaluated. Right after every improvement the next leaf is such a trial.
namespace {
constexpr int MaxRows = MaxEqSpecies; // a + b rows for a + b species

long double ErrorFromSum(long double acc, int n) {
    return std::sqrt(acc) / n;
}

// A value of acc from which on the error reaches best, so that acc >= it proves that a trial
// cannot improve on best.
long double ScreeningThreshold(long double best, int n) {
    constexpr long double Infinity = std::numeric_limits<long double>::infinity();
    if (std::isnan(best))
        return std::numeric_limits<long double>::quiet_NaN(); // never screen
    if (best <= 0)
        return 0; // no error is below 0
    if (std::isinf(best))
        return Infinity;
    const long double scaled = best * n;
    // In the normal range: acc >= (best n)^2 (1 + 2^-59) gives sqrt(acc) >= best n (1 + 2^-61),
    // which survives the rounding of the square root and of the division by n (2^-64 each).
    // The three roundings of this product lower it by less than the margin of 2^-58 adds.
    if (scaled >= 0x1p-8000L && scaled <= 0x1p8000L)
        return scaled * scaled * (1 + 0x1p-58L);
    // Far out of range: the least such value, found by stepping from the estimate.
    long double c = scaled * scaled;
    if (!std::isfinite(c))
        c = std::numeric_limits<long double>::max();
    constexpr int MaxSteps = 64;
    if (ErrorFromSum(c, n) >= best) {
        for (int step = 0; step < MaxSteps && c > 0; ++step) {
            const long double below = std::nextafter(c, 0.0L);
            if (ErrorFromSum(below, n) < best)
                return c;
            c = below;
        }
        return c; // still reaches best: safe, if not the least such value
    }
    for (int step = 0; step < MaxSteps; ++step) {
        c = std::nextafter(c, Infinity);
        if (ErrorFromSum(c, n) >= best)
            return c;
    }
    return Infinity; // screens out only infinite sums, which can never improve
}

// A threshold for sums taken in another order than the error's: the sum of the same terms in
// any order, with at most n - 1 roundings, that reaches it proves that the in-order sum reaches
// threshold. Each rounded addition of non-negative terms is within a factor (1 +- u) of the
// exact one, u = 2^-64, so any such sum is at most T (1 + u)^11 and the in-order sum at least
// T (1 - u)^11 of the exact total T; a margin of 2^-57 covers both with room, including the
// rounding of the margin itself. Below the normal range that relative argument fails, so tiny
// thresholds screen nothing here (the in-order check at the leaf still does).
long double RoughThreshold(long double threshold) {
    if (threshold == 0 || std::isnan(threshold) || std::isinf(threshold))
        return threshold;
    if (threshold < std::numeric_limits<long double>::min() * 0x1p64L)
        return std::numeric_limits<long double>::infinity();
    return threshold * (1 + 0x1p-57L);
}

class PatternSearch {
public:
    PatternSearch(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                  const EqVector& L, EqVector& x, const IndexedTable<bool, 1, MaxEqSpecies>& fixed)
        : a_(a), n_(a + b), x_(x) {
        for (int q = 1; q <= n_; ++q) {
            for (int j = 1; j <= n_; ++j)
                coef_[q][j] = q <= a ? A[q][j] : N[q - a][j];
            rhs_[q] = q <= a ? B[q] : L[q - a];
        }
        for (int j = 0; j <= MaxEqSpecies; ++j)
            same_[j] = true;
        for (int j = 1; j <= n_; ++j)
            fixed_[j] = fixed[j];
        int lastTouch[MaxRows + 1] = {};
        for (int j = 1; j <= n_; ++j) {
            touchCount_[j] = 0;
            for (int q = 1; q <= n_; ++q) {
                if (coef_[q][j] != 0) {
                    touchRow_[j][touchCount_[j]] = q;
                    touchPrev_[j][touchCount_[j]] = lastTouch[q];
                    ++touchCount_[j];
                    lastTouch[q] = j;
                }
            }
        }
        for (int q = 1; q <= n_; ++q) {
            last_[q] = lastTouch[q];
            sum_[q][0] = 0;
            size_[q][0] = 0;
            // A row without coefficients has a constant term.
            if (last_[q] == 0)
                term_[q] = q <= a ? BalanceTerm(0, 0, rhs_[q]) : ReactionTerm(0, rhs_[q]);
        }
        bound_[0] = 0;
        for (int q = 1; q <= n_; ++q)
            if (last_[q] == 0)
                bound_[0] = bound_[0] + term_[q];
        for (int j = 1; j <= n_; ++j)
            for (int k = 0; k < 3; ++k)
                cacheValid_[j][k] = false;
        trial_ = x;
    }

    void SetBest(long double best) {
        best_ = best;
        threshold_ = ScreeningThreshold(best, n_);
        roughThreshold_ = RoughThreshold(threshold_);
    }
    long double Best() const { return best_; }

    template <bool Absolute> void Sweep(double perturbation) {
        perturbation_ = perturbation;
        if (n_ == 0) {
            Leaf();
            return;
        }
        Visit<Absolute>(1);
    }

private:
    template <bool Absolute> long double Candidate(long double xi, int k) const {
        if constexpr (Absolute)
            return xi + k * 10.0L * perturbation_;
        else
            return xi * (1.0L + k * static_cast<long double>(perturbation_));
    }

    bool Usable(long double v) const { return a_ > 0 ? std::isfinite(v) : !std::isnan(v); }

    long double CandidateLog(int j, int k, long double v) {
        const int slot = k + 1;
        if (cacheValid_[j][slot] && cacheValue_[j][slot] == v)
            return cacheLog_[j][slot];
        // After an improvement the new centre is the candidate that improved.
        long double logv;
        if (cacheValid_[j][2 - slot] && cacheValue_[j][2 - slot] == v)
            logv = cacheLog_[j][2 - slot];
        else if (cacheValid_[j][1] && cacheValue_[j][1] == v)
            logv = cacheLog_[j][1];
        else
            logv = Log10Clamped(v);
        cacheValue_[j][slot] = v;
        cacheLog_[j][slot] = logv;
        cacheValid_[j][slot] = true;
        return logv;
    }

    // The terms of the error measure for a finished row, as EquilibriumError computes them.
    static long double BalanceTerm(long double sum, long double size, long double rhs) {
        if (size < 1e-37L)
            size = 1e-37L;
        const long double d = std::fabs(sum - rhs);
        return d * d / size / size;
    }
    static long double ReactionTerm(long double sum, long double rhs) {
        const long double d = std::fabs(sum - rhs);
        return d * d / 100;
    }

    // Puts value v of species j into the sums of the rows it takes part in and finishes the rows
    // whose last species it is (their sums are not stored: nothing below reads them). Returns
    // false when the subtree below cannot improve. The rows go in the order that has lately
    // decided soonest: the row that reaches the threshold moves to the front of the level's
    // list (the rows' sums do not depend on each other, and any order gives a valid bound). The
    // logarithm is taken only when a reaction row comes up.
    bool Enter(int j, int k, long double v) {
        if (!Usable(v))
            return false;
        long double bound = bound_[j - 1];
        long double logv = 0;
        bool haveLog = false;
        for (int t = 0; t < touchCount_[j]; ++t) {
            const int q = touchRow_[j][t];
            const int p = touchPrev_[j][t];
            if (q <= a_) {
                const long double product = v * coef_[q][j];
                const long double sum = sum_[q][p] + product;
                const long double size = size_[q][p] + std::fabs(product);
                if (last_[q] != j) {
                    sum_[q][j] = sum;
                    size_[q][j] = size;
                    continue;
                }
                term_[q] = BalanceTerm(sum, size, rhs_[q]);
            } else {
                if (!haveLog) {
                    logv = CandidateLog(j, k, v);
                    haveLog = true;
                }
                const long double sum = sum_[q][p] + logv * coef_[q][j];
                if (last_[q] != j) {
                    sum_[q][j] = sum;
                    continue;
                }
                term_[q] = ReactionTerm(sum, rhs_[q]);
            }
            bound = bound + term_[q];
            if (bound >= roughThreshold_) {
                std::swap(touchRow_[j][0], touchRow_[j][t]);
                std::swap(touchPrev_[j][0], touchPrev_[j][t]);
                return false;
            }
        }
        bound_[j] = bound;
        return true;
    }

    void Leaf() {
        long double acc = 0;
        for (int q = 1; q <= n_; ++q)
            acc = acc + term_[q];
        Judge(acc);
    }

    // The leaves: the last level of a free species, where nearly all evaluations happen.
    template <bool Absolute> void LastLevel() {
        const int j = n_;
        for (int k = -1; k <= 1; ++k) {
            const long double v = Candidate<Absolute>(x_[j], k);
            Assign(j, v);
            // The trial is the best point itself: its error equals the best error.
            if (differing_ > 0 && Enter(j, k, v))
                Leaf();
        }
    }

    // Sets trial value j and keeps count of the trial values that differ from x.
    void Assign(int j, long double v) {
        const bool same = v == x_[j];
        differing_ += static_cast<int>(same_[j]) - static_cast<int>(same);
        same_[j] = same;
        trial_[j] = v;
    }

    void Judge(long double acc) {
        if (acc >= threshold_)
            return;
        const long double e = ErrorFromSum(acc, n_);
        if (e < best_) {
            x_ = trial_;
            for (bool& same : same_)
                same = true;
            differing_ = 0;
            SetBest(e);
        }
    }

    template <bool Absolute> void Visit(int j) {
        if (j == n_ && !fixed_[j]) {
            LastLevel<Absolute>();
            return;
        }
        if (fixed_[j]) {
            // A fixed species keeps its value, which trial already holds.
            if (Enter(j, 0, trial_[j]))
                Descend<Absolute>(j);
            return;
        }
        for (int k = -1; k <= 1; ++k) {
            const long double v = Candidate<Absolute>(x_[j], k);
            Assign(j, v);
            if (Enter(j, k, v))
                Descend<Absolute>(j);
        }
    }

    template <bool Absolute> void Descend(int j) {
        if (j == n_)
            Leaf();
        else
            Visit<Absolute>(j + 1);
    }

    int a_;
    int n_;
    EqVector& x_;
    EqVector trial_;
    long double best_ = 0;
    long double threshold_ = 0;
    long double roughThreshold_ = 0;
    double perturbation_ = 0;

    // Rows 1..a are the balance rows, a+1..n the reaction rows; coef_[q][j] is the coefficient
    // of species j in row q and rhs_[q] its right-hand side.
    long double coef_[MaxRows + 1][MaxEqSpecies + 1];
    long double rhs_[MaxRows + 1];
    bool fixed_[MaxEqSpecies + 1];
    // Which trial values equal x (entry 0 unused), and how many do not.
    bool same_[MaxEqSpecies + 1];
    int differing_ = 0;
    // The rows species j takes part in (in the order Enter tries them), and for each the level
    // that last added to its sums before j.
    int touchCount_[MaxEqSpecies + 1];
    int touchRow_[MaxEqSpecies + 1][MaxRows];
    int touchPrev_[MaxEqSpecies + 1][MaxRows];
    // The species whose level finishes row q (its last nonzero coefficient), 0 for none.
    int last_[MaxRows + 1];
    // Sums of row q (s and, for balance rows, m) after the species up to level j.
    long double sum_[MaxRows + 1][MaxEqSpecies + 1];
    long double size_[MaxRows + 1][MaxEqSpecies + 1];
    long double term_[MaxRows + 1];
    // bound_[j]: the terms finished down to level j, summed as they finished (see
    // RoughThreshold); bound_[0] holds the constant terms.
    long double bound_[MaxEqSpecies + 1];
    // The three candidates of each level with their logarithms.
    bool cacheValid_[MaxEqSpecies + 1][3];
    long double cacheValue_[MaxEqSpecies + 1][3];
    long double cacheLog_[MaxEqSpecies + 1][3];
};

void Search(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
            const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
            int MaxIterations, double& Perturbation, double Grow, double Shrink,
            double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
            bool& Stalled, EqVector* bestPoint, std::mt19937_64* random) {
    // Row counts outside the tables' capacity have no meaning; nothing is touched.
    if (a < 0 || b < 0 || a + b > MaxEqSpecies)
        return;
    const int n = a + b;

    // A balance row with a single nonzero coefficient fixes its species (a later row fixing
    // the same species wins).
    IndexedTable<bool, 1, MaxEqSpecies> fixed{};
    for (int i = 1; i <= a; ++i) {
        int count = 0;
        int only = 0;
        for (int j = 1; j <= n; ++j)
            if (A[i][j] != 0) {
                ++count;
                only = j;
            }
        if (count == 1) {
            x[only] = B[i] / A[i][only];
            fixed[only] = true;
        }
    }

    PatternSearch search(a, b, A, B, N, L, x, fixed);
    search.SetBest(EquilibriumError(a, b, x, A, B, N, L));
    int counter = 0;
    for (;;) {
        ++counter;
        search.Sweep<false>(Perturbation);
        if (10.0L * Perturbation != 0)
            search.Sweep<true>(Perturbation);

        if (BestError > search.Best()) {
            BestError = search.Best();
            if (bestPoint != nullptr)
                *bestPoint = x;
            Perturbation = static_cast<double>(Perturbation * static_cast<long double>(Grow));
            Stalled = false;
        } else {
            Perturbation = static_cast<double>(Perturbation / static_cast<long double>(Shrink));
            if (Perturbation < MinPerturbation) {
                if (Stalled) {
                    // Give up: the next call starts from a neutral point.
                    for (int j = 1; j <= n; ++j)
                        if (!fixed[j])
                            x[j] = 1;
                    return;
                }
                Perturbation = random != nullptr ? UniformFrom(*random) : RandomUniform();
            }
            Stalled = true;
        }
        if (Perturbation >= MaxPerturbation)
            Perturbation = MaxPerturbation;

        if (!(search.Best() >= Tolerance) || counter >= MaxIterations || stopRequested)
            return;
    }
}
} // namespace

void SolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                      const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
                      int MaxIterations, double& Perturbation, double Grow, double Shrink,
                      double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
                      bool& Stalled) {
    Search(a, b, A, B, N, L, x, BestError, Tolerance, MaxIterations, Perturbation, Grow, Shrink,
           MaxPerturbation, MinPerturbation, stopRequested, Stalled, nullptr, nullptr);
}

void SolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                      const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
                      int MaxIterations, double& Perturbation, double Grow, double Shrink,
                      double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
                      bool& Stalled, EqVector& bestPoint) {
    Search(a, b, A, B, N, L, x, BestError, Tolerance, MaxIterations, Perturbation, Grow, Shrink,
           MaxPerturbation, MinPerturbation, stopRequested, Stalled, &bestPoint, nullptr);
}

void SolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                      const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
                      int MaxIterations, double& Perturbation, double Grow, double Shrink,
                      double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
                      bool& Stalled, EqVector& bestPoint, std::mt19937_64& random) {
    Search(a, b, A, B, N, L, x, BestError, Tolerance, MaxIterations, Perturbation, Grow, Shrink,
           MaxPerturbation, MinPerturbation, stopRequested, Stalled, &bestPoint, &random);
}
