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
} // namespace

double RandomUniform() {
    // The top 53 bits make a double in [0, 1) with every value equally likely.
    return static_cast<double>(Generator()() >> 11) * 0x1.0p-53;
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

namespace {
struct SweepState {
    int n;
    int a, b;
    const EqMatrix* A;
    const EqVector* B;
    const EqMatrix* N;
    const EqVector* L;
    IndexedTable<bool, 1, MaxEqSpecies> fixed;
    EqVector trial;
    EqVector* x;
    long double best;
    double perturbation;
    bool absolute;
};

long double Candidate(const SweepState& st, long double xi, int k) {
    if (st.absolute)
        return xi + k * 10.0L * st.perturbation;
    return xi * (1.0L + k * static_cast<long double>(st.perturbation));
}

void Sweep(SweepState& st, int depth) {
    if (depth > st.n) {
        const long double e = EquilibriumError(st.a, st.b, st.trial, *st.A, *st.B, *st.N, *st.L);
        if (e < st.best) {
            st.best = e;
            *st.x = st.trial;
        }
        return;
    }
    const int first = st.fixed[depth] ? 0 : -1;
    const int last = st.fixed[depth] ? 0 : 1;
    for (int k = first; k <= last; ++k) {
        if (!st.fixed[depth])
            st.trial[depth] = Candidate(st, (*st.x)[depth], k);
        Sweep(st, depth + 1);
    }
}
} // namespace

void SolveEquilibrium(int a, int b, const EqMatrix& A, const EqVector& B, const EqMatrix& N,
                      const EqVector& L, EqVector& x, long double& BestError, long double Tolerance,
                      int MaxIterations, double& Perturbation, double Grow, double Shrink,
                      double MaxPerturbation, double MinPerturbation, const bool& stopRequested,
                      bool& Stalled) {
    SweepState st{};
    st.n = a + b;
    st.a = a;
    st.b = b;
    st.A = &A;
    st.B = &B;
    st.N = &N;
    st.L = &L;
    st.x = &x;
    for (int i = 1; i <= a; ++i) {
        int count = 0;
        int only = 0;
        for (int j = 1; j <= st.n; ++j)
            if (A[i][j] != 0) {
                ++count;
                only = j;
            }
        if (count == 1) {
            x[only] = B[i] / A[i][only];
            st.fixed[only] = true;
        }
    }
    st.trial = x;
    st.best = EquilibriumError(a, b, st.trial, A, B, N, L);
    int counter = 0;
    for (;;) {
        ++counter;
        st.perturbation = Perturbation;
        st.absolute = false;
        Sweep(st, 1);
        if (10.0L * Perturbation != 0) {
            st.absolute = true;
            Sweep(st, 1);
        }
        if (BestError > st.best) {
            BestError = st.best;
            Perturbation = static_cast<double>(Perturbation * static_cast<long double>(Grow));
            Stalled = false;
        } else {
            Perturbation = static_cast<double>(Perturbation / static_cast<long double>(Shrink));
            if (Perturbation < MinPerturbation) {
                if (Stalled) {
                    for (int j = 1; j <= st.n; ++j)
                        if (!st.fixed[j])
                            x[j] = 1;
                    return;
                }
                Perturbation = RandomUniform();
            }
            Stalled = true;
        }
        if (Perturbation >= MaxPerturbation)
            Perturbation = MaxPerturbation;
        if (!(st.best >= Tolerance) || counter >= MaxIterations || stopRequested)
            return;
    }
}
