// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/ExactSolver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <type_traits>

// The unknowns are u_k = ln x_k of the reference species k = 1..a. Every species is a
// log-linear function of them: a reference species is its own unknown, and compound a+r follows
// from its reaction row,
//     ln x_(a+r) = ln 10 * L_r + sum over k of M[a+r][k] * u_k,   M[a+r][k] = -N[r][k],
// M[j][k] being the molecules of reference species k that make one of species j. The reaction
// rows thus hold by construction, and only the balance rows remain.
//
// Those say that the gas holds the elements in their feed ratios and adds up to the pressure.
// Counted in reference molecules, the gas holds s_k(u) = sum over gases j of M[j][k] x_j of
// element k, the feed beta_k = sum over j of M[j][k] * feed_j; the rows hold when s = tau * beta
// for some tau > 0 and the gases add up to the pressure. For a fixed tau, s = tau * beta is the
// minimum of the convex function
//     h(u) = sum over gases of x_j(u) - tau * sum over k of beta_k u_k,
// whose gradient is s - tau * beta and whose Hessian, H = sum over gases of x_j M_j M_j^T, is
// positive definite. Newton's steps on u, damped (Levenberg and Marquardt) and cut back until h
// falls, find it from any start: h has no other stationary point, where a line search on the
// balance residuals themselves can stall far from the answer. The gas total grows with tau, so
// tau follows by Newton's method on ln(total) - ln(pressure), each change of tau carrying u
// along to first order. A start far above the answer would put amounts like e^190 into h, whose
// rounding then hides every gain; the start is kept below the pressure.
//
// A feed with no more oxygen than carbon has no minimum (h falls without bound as the carbon
// potential grows), which is why such a feed is refused first.
//
// Last, Newton's method on the balance rows as given polishes the answer to the last digits:
// each row is a balance of two positive sums, and G_i = ln(positive side) - ln(negative side)
// is 0 exactly where it holds; the steps are cut back until the sum of squares of the G_i falls.
namespace {

constexpr int Carbon = 6;
constexpr int Oxygen = 8;
constexpr long double Ln10 = std::numbers::ln10_v<long double>;
constexpr long double Infinity = std::numeric_limits<long double>::infinity();

// Work bounds: steps on u for one tau, changes of tau, and polishing steps.
constexpr int MaxInnerSteps = 100;
constexpr int MaxTotalChanges = 50;
// A trace species that only the last digits of a row decide (the oxygen of a feed that holds
// hardly more than its carbon needs) comes down by one e-fold per polishing step.
constexpr int MaxPolishSteps = 100;
// Where the convex stage hands over to the polish (relative, in logarithms).
constexpr long double HandOver = 1e-8L;
// Below this the G_i are rounding: stop polishing.
constexpr long double RoundingFloor = 1e-18L;
// The most a step may change the logarithm of an amount (thirty decades), and ln tau in one
// change.
constexpr long double MaxLogStep = 30 * Ln10;
constexpr long double MaxTotalStep = 10 * Ln10;
// How far a step may be carried on along its direction (two hundred decades).
constexpr long double MaxReach = 200 * Ln10;
// The damping of the scaled Hessian: the least above 0, and where a step is given up.
constexpr long double MinDamping = 1e-12L;
constexpr long double MaxDamping = 1e12L;
// Log ratios below which h no longer resolves a step's gain, and the log ratios judge it.
constexpr long double NearAnswer = 1e-6L;
// How often a step cut to the cap is halved before the damping rises.
constexpr int MaxHalvings = 12;
// How often a step on the rows is halved before the damping rises.
constexpr int MaxRowHalvings = 30;
// How often the polish looks for traces along a singular direction.
constexpr int MaxTraceSearches = 3;
// The pull of the start towards the pressure along directions that the feed leaves open.
constexpr long double StartPrior = 1e-6L;

// The convex stage runs in double, where exp and log cost a fraction of their extended
// counterparts; the polish, in the extended format, takes the answer to its last digits.
template <typename Real> using VectorOf = std::array<Real, MaxEqSpecies>;
template <typename Real> using MatrixOf = std::array<VectorOf<Real>, MaxEqSpecies>;
using Vector = VectorOf<long double>;
using Matrix = MatrixOf<long double>;
// Sums below this have lost digits to the bottom of the range.
template <typename Real>
constexpr Real TinyOf = static_cast<Real>(std::numeric_limits<Real>::min() * 0x1p64L);

template <typename Real> bool AllFinite(const VectorOf<Real>& v, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

template <typename Real> Real Dot(const VectorOf<Real>& p, const VectorOf<Real>& q, int count) {
    Real s = 0;
    for (int i = 0; i < count; ++i)
        s += p[i] * q[i];
    return s;
}

// u moved by lambda * step.
template <typename Real>
VectorOf<Real> Moved(const VectorOf<Real>& u, const VectorOf<Real>& step,
                     std::type_identity_t<Real> lambda, int a) {
    VectorOf<Real> moved = u;
    for (int k = 0; k < a; ++k)
        moved[k] += lambda * step[k];
    return moved;
}

template <typename Real> Real Longest(const VectorOf<Real>& v, int count) {
    Real longest = 0;
    for (int i = 0; i < count; ++i)
        longest = std::max(longest, std::fabs(v[i]));
    return longest;
}

// Gaussian elimination with partial pivoting on the leading size x size block. Returns false
// when the matrix is singular to working precision.
template <typename Real>
bool SolveLinear(int size, MatrixOf<Real> m, VectorOf<Real> rhs, VectorOf<Real>& out) {
    for (int col = 0; col < size; ++col) {
        int pivot = col;
        for (int row = col + 1; row < size; ++row)
            if (std::fabs(m[row][col]) > std::fabs(m[pivot][col]))
                pivot = row;
        if (!(std::fabs(m[pivot][col]) > 0) || !std::isfinite(m[pivot][col]))
            return false;
        std::swap(m[pivot], m[col]);
        std::swap(rhs[pivot], rhs[col]);
        for (int row = col + 1; row < size; ++row) {
            const Real f = m[row][col] / m[col][col];
            if (f == 0)
                continue;
            for (int k = col; k < size; ++k)
                m[row][k] -= f * m[col][k];
            rhs[row] -= f * rhs[col];
        }
    }
    for (int row = size - 1; row >= 0; --row) {
        Real s = rhs[row];
        for (int k = row + 1; k < size; ++k)
            s -= m[row][k] * out[k];
        out[row] = s / m[row][row];
    }
    return AllFinite(out, size);
}

// A positive definite system, scaled to a unit diagonal first: the Hessian's entries span as
// many decades as the amounts do. A damping mu > 0 is added to the scaled diagonal.
template <typename Real>
bool SolveScaled(int size, const MatrixOf<Real>& m, const VectorOf<Real>& rhs, VectorOf<Real>& out,
                 std::type_identity_t<Real> damping = 0) {
    VectorOf<Real> d{};
    for (int k = 0; k < size; ++k) {
        if (!(m[k][k] > 0))
            return false;
        d[k] = 1 / std::sqrt(m[k][k]);
    }
    MatrixOf<Real> scaled{};
    VectorOf<Real> scaledRhs{};
    for (int k = 0; k < size; ++k) {
        for (int l = 0; l < size; ++l)
            scaled[k][l] = d[k] * m[k][l] * d[l];
        scaled[k][k] += damping;
        scaledRhs[k] = d[k] * rhs[k];
    }
    if (!SolveLinear(size, scaled, scaledRhs, out))
        return false;
    for (int k = 0; k < size; ++k)
        out[k] *= d[k];
    return true;
}

// The species as log-linear functions of u, and what the convex stage needs of them.
template <typename Real> struct Species {
    int a = 0;
    int n = 0;
    VectorOf<Real> Offset{}; // ln x_j = Offset_j + sum over k of M[j][k] u_k
    MatrixOf<Real> M{};
    // The nonzero entries of each row of M: a species is made of one to three reference species.
    std::array<int, MaxEqSpecies> Terms{};
    std::array<std::array<int, MaxEqSpecies>, MaxEqSpecies> Term{};
    std::array<bool, MaxEqSpecies> Gaseous{};
    VectorOf<Real> Feed{};    // beta, the feed in reference molecules
    VectorOf<Real> LogFeed{}; // ln beta

    explicit Species(const CellSystem& s) : a(s.a), n(s.n()) {
        for (int k = 0; k < a; ++k)
            M[k][k] = 1;
        for (int r = 1; r <= s.b; ++r) {
            const int j = a + r - 1;
            Offset[j] = static_cast<Real>(Ln10 * s.L[r]);
            for (int k = 0; k < a; ++k)
                M[j][k] = -s.N[r][k + 1];
        }
        for (int j = 0; j < n; ++j) {
            Gaseous[j] = s.Gaseous[j + 1];
            const Real feed = s.Feed[j + 1];
            if (feed > 0 && std::isfinite(feed))
                for (int k = 0; k < a; ++k)
                    Feed[k] += M[j][k] * feed;
        }
        for (int k = 0; k < a; ++k)
            LogFeed[k] = std::log(Feed[k]);
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < a; ++k)
                if (M[j][k] != 0)
                    Term[j][Terms[j]++] = k;
    }

    VectorOf<Real> LogAmounts(const VectorOf<Real>& u) const {
        VectorOf<Real> lnx{};
        for (int j = 0; j < n; ++j) {
            Real v = Offset[j];
            for (int t = 0; t < Terms[j]; ++t)
                v += M[j][Term[j][t]] * u[Term[j][t]];
            lnx[j] = v;
        }
        return lnx;
    }
};

// The convex stage at one point for one tau.
template <typename Real> struct ConvexPoint {
    bool Finite = false;
    Real H = Infinity;         // h(u)
    VectorOf<Real> Gradient{}; // s - tau beta
    VectorOf<Real> LogRatio{}; // ln s - ln(tau beta)
    VectorOf<Real> Held{};     // s
    MatrixOf<Real> Hessian{};
    Real GasTotal = 0;
};

template <typename Real>
ConvexPoint<Real> EvaluateConvex(const Species<Real>& sp, const VectorOf<Real>& u,
                                 std::type_identity_t<Real> tau, bool full) {
    ConvexPoint<Real> p;
    const VectorOf<Real> lnx = sp.LogAmounts(u);
    if (!AllFinite(lnx, sp.n))
        return p;
    Real h = 0;
    for (int k = 0; k < sp.a; ++k)
        h -= tau * sp.Feed[k] * u[k];
    VectorOf<Real> x{};
    for (int j = 0; j < sp.n; ++j) {
        if (!sp.Gaseous[j])
            continue;
        x[j] = std::exp(lnx[j]);
        h += x[j];
        p.GasTotal += x[j];
    }
    if (!std::isfinite(h))
        return p;
    p.H = h;
    p.Finite = true;
    if (!full)
        return p;
    const Real logTotal = std::log(tau);
    for (int k = 0; k < sp.a; ++k) {
        Real held = 0;
        for (int j = 0; j < sp.n; ++j)
            held += sp.M[j][k] * x[j]; // x is 0 for the solids
        Real logHeld = std::log(held);
        if (!(held >= TinyOf<Real>) || !std::isfinite(held)) {
            // Amounts below the range of the type: ln s_k by log-sum-exp, so that an element
            // held in traces alone keeps its logarithm.
            Real top = -Infinity;
            for (int j = 0; j < sp.n; ++j)
                if (sp.Gaseous[j] && sp.M[j][k] > 0)
                    top = std::max(top, std::log(sp.M[j][k]) + lnx[j]);
            Real sum = 0;
            for (int j = 0; j < sp.n; ++j)
                if (sp.Gaseous[j] && sp.M[j][k] > 0)
                    sum += std::exp(std::log(sp.M[j][k]) + lnx[j] - top);
            logHeld = top + std::log(sum);
            held = std::exp(logHeld);
        }
        p.Held[k] = held;
        p.Gradient[k] = p.Held[k] - tau * sp.Feed[k];
        p.LogRatio[k] = logHeld - logTotal - sp.LogFeed[k];
    }
    for (int j = 0; j < sp.n; ++j) {
        if (!sp.Gaseous[j])
            continue;
        for (int t = 0; t < sp.Terms[j]; ++t)
            for (int q = 0; q < sp.Terms[j]; ++q) {
                const int k = sp.Term[j][t];
                const int l = sp.Term[j][q];
                p.Hessian[k][l] += x[j] * sp.M[j][k] * sp.M[j][l];
            }
    }
    return p;
}

template <typename Real>
Real QuadraticForm(const MatrixOf<Real>& m, const VectorOf<Real>& d, int size) {
    Real q = 0;
    for (int k = 0; k < size; ++k)
        for (int l = 0; l < size; ++l)
            q += d[k] * m[k][l] * d[l];
    return q;
}

// One step on u for a fixed tau: Newton's step with Levenberg and Marquardt's damping of the
// scaled Hessian, raised until h falls by a fair part of what the quadratic model promised and
// lowered again after good steps. The damping keeps the steps short along the nearly flat
// directions that a singular Hessian leaves (a species that holds two elements alone, the
// traces beside it deciding the rest). A step that gains more than the model promised goes on
// in its direction, doubling, while h keeps falling: from amounts many decades too high,
// Newton's step moves one e-fold at a time. Near the answer, where h no longer resolves the
// gains, a step counts when it brings the log ratios closer to 0.
template <typename Real>
bool ConvexStep(const Species<Real>& sp, const ConvexPoint<Real>& at, Real tau, Real& damping,
                VectorOf<Real>& u) {
    const int a = sp.a;
    VectorOf<Real> minusGradient{};
    for (int k = 0; k < a; ++k)
        minusGradient[k] = -at.Gradient[k];
    const Real ratio = Longest(at.LogRatio, a);
    const bool near = ratio <= NearAnswer;
    for (; damping <= MaxDamping; damping = damping == 0 ? MinDamping : damping * 10) {
        VectorOf<Real> d{};
        if (!SolveScaled(a, at.Hessian, minusGradient, d, damping))
            continue;
        const Real longest = Longest(d, a);
        if (longest > MaxLogStep)
            for (int k = 0; k < a; ++k)
                d[k] *= MaxLogStep / longest;
        if (near) {
            const VectorOf<Real> trial = Moved(u, d, 1, a);
            const ConvexPoint<Real> next = EvaluateConvex(sp, trial, tau, true);
            if (next.Finite && Longest(next.LogRatio, a) < ratio) {
                u = trial;
                damping = damping <= MinDamping ? 0 : damping / 10;
                return true;
            }
            continue;
        }
        // A step cut to the cap may reach past the answer: it is halved a few times before
        // the damping rises.
        Real promised = 0;
        Real gained = 0;
        ConvexPoint<Real> next;
        for (int halving = 0; halving < MaxHalvings; ++halving) {
            promised = -(Dot(at.Gradient, d, a) + QuadraticForm(at.Hessian, d, a) / 2);
            next = EvaluateConvex(sp, Moved(u, d, 1, a), tau, false);
            gained = at.H - next.H;
            if (next.Finite && promised > 0 && gained >= promised / 10)
                break;
            for (int k = 0; k < a; ++k)
                d[k] /= 2;
        }
        if (!next.Finite || !(promised > 0) || !(gained >= promised / 10))
            continue;
        u = Moved(u, d, 1, a);
        if (gained > promised) {
            Real lowest = next.H;
            for (Real lambda = 2; lambda * Longest(d, a) <= MaxReach; lambda *= 2) {
                const VectorOf<Real> further = Moved(u, d, lambda / 2, a);
                const ConvexPoint<Real> there = EvaluateConvex(sp, further, tau, false);
                if (!there.Finite || !(there.H < lowest))
                    break;
                lowest = there.H;
                u = further;
            }
        }
        if (gained >= promised * 3 / 4)
            damping = damping <= MinDamping ? 0 : damping / 10;
        return true;
    }
    return false;
}

// Minimises h for one tau until the gas holds the elements to HandOver in their logarithms,
// counting the steps. Returns the point reached, evaluated in full.
template <typename Real>
ConvexPoint<Real> MinimiseForTotal(const Species<Real>& sp, Real tau, VectorOf<Real>& u,
                                   int& steps) {
    ConvexPoint<Real> at = EvaluateConvex(sp, u, tau, true);
    Real damping = 0;
    for (int step = 0; step < MaxInnerSteps && at.Finite; ++step) {
        if (Longest(at.LogRatio, sp.a) <= HandOver || !ConvexStep(sp, at, tau, damping, u))
            break;
        ++steps;
        at = EvaluateConvex(sp, u, tau, true);
    }
    return at;
}

// The balance rows as given, each split into its two positive sides: species j is on the
// positive side of row i when A[i][j] > 0, on the negative one when A[i][j] < 0, with the
// coefficient's magnitude; the right-hand side is a constant of one side.
struct BalanceSides {
    int a = 0;
    int n = 0;
    std::array<std::array<int, MaxEqSpecies>, MaxEqSpecies> Side{}; // +1, -1 or 0
    Matrix Coefficient{};                                           // |A[i][j]|
    Vector PositiveConstant{};                                      // -B_i, or 0
    Vector NegativeConstant{};                                      // B_i, or 0

    explicit BalanceSides(const CellSystem& s) : a(s.a), n(s.n()) {
        for (int i = 0; i < a; ++i) {
            for (int j = 0; j < n; ++j) {
                const long double c = s.A[i + 1][j + 1];
                Side[i][j] = c > 0 ? 1 : c < 0 ? -1 : 0;
                Coefficient[i][j] = std::fabs(c);
            }
            const long double b = s.B[i + 1];
            PositiveConstant[i] = b < 0 ? -b : 0;
            NegativeConstant[i] = b > 0 ? b : 0;
        }
    }
};

// The G_i at a point, and their derivatives by the u_k.
struct RowResiduals {
    Vector G{};
    Matrix Jacobian{};
    long double Largest = Infinity;
    long double SumOfSquares = Infinity;
};

// ln of one side's sum, and each species' share of it, by log-sum-exp: for a side whose sum
// lies beyond the extended range.
long double LogSide(const BalanceSides& sides, int i, int sign, const Vector& lnx,
                    long double constant, Vector& share) {
    const long double logConstant = constant > 0 ? std::log(constant) : -Infinity;
    Vector logTerm{};
    long double top = logConstant;
    for (int j = 0; j < sides.n; ++j)
        if (sides.Side[i][j] == sign) {
            logTerm[j] = std::log(sides.Coefficient[i][j]) + lnx[j];
            top = std::max(top, logTerm[j]);
        }
    share.fill(0);
    if (!std::isfinite(top))
        return top; // an empty side
    long double sum = std::exp(logConstant - top);
    for (int j = 0; j < sides.n; ++j)
        if (sides.Side[i][j] == sign) {
            share[j] = std::exp(logTerm[j] - top);
            sum += share[j];
        }
    for (int j = 0; j < sides.n; ++j)
        share[j] /= sum;
    return top + std::log(sum);
}

RowResiduals EvaluateRows(const BalanceSides& sides, const Species<long double>& sp,
                          const Vector& u) {
    RowResiduals r;
    const Vector lnx = sp.LogAmounts(u);
    if (!AllFinite(lnx, sp.n))
        return r;
    Vector x{};
    for (int j = 0; j < sp.n; ++j)
        x[j] = std::exp(lnx[j]);
    long double largest = 0;
    long double squares = 0;
    for (int i = 0; i < sides.a; ++i) {
        Vector positive{};
        Vector negative{};
        long double plus = sides.PositiveConstant[i];
        long double minus = sides.NegativeConstant[i];
        for (int j = 0; j < sides.n; ++j) {
            const long double term = sides.Coefficient[i][j] * x[j];
            if (sides.Side[i][j] > 0) {
                positive[j] = term;
                plus += term;
            } else if (sides.Side[i][j] < 0) {
                negative[j] = term;
                minus += term;
            }
        }
        long double g;
        if (plus >= TinyOf<long double> && minus >= TinyOf<long double> && std::isfinite(plus) &&
            std::isfinite(minus)) {
            g = std::log(plus) - std::log(minus);
            for (int j = 0; j < sides.n; ++j) {
                positive[j] /= plus;
                negative[j] /= minus;
            }
        } else {
            // A side beyond the extended range: its logarithm by log-sum-exp.
            g = LogSide(sides, i, 1, lnx, sides.PositiveConstant[i], positive) -
                LogSide(sides, i, -1, lnx, sides.NegativeConstant[i], negative);
        }
        if (!std::isfinite(g))
            return r;
        r.G[i] = g;
        largest = std::max(largest, std::fabs(g));
        squares += g * g;
        for (int j = 0; j < sides.n; ++j) {
            const long double share = positive[j] - negative[j];
            if (share != 0)
                for (int t = 0; t < sp.Terms[j]; ++t)
                    r.Jacobian[i][sp.Term[j][t]] += share * sp.M[j][sp.Term[j][t]];
        }
    }
    r.Largest = largest;
    r.SumOfSquares = squares;
    return r;
}

// The step on the rows as given: Newton's, or where the Jacobian is singular (a species that
// holds two elements alone, the traces beside it too small for the rows to see) the least-squares
// step of Levenberg and Marquardt, which leaves such directions alone.
bool RowStep(const RowResiduals& at, int a, long double damping, Vector& step) {
    Vector minusG{};
    for (int i = 0; i < a; ++i)
        minusG[i] = -at.G[i];
    if (damping == 0)
        return SolveLinear(a, at.Jacobian, minusG, step);
    Matrix normal{};
    Vector rhs{};
    for (int k = 0; k < a; ++k) {
        for (int l = 0; l < a; ++l) {
            long double s = 0;
            for (int i = 0; i < a; ++i)
                s += at.Jacobian[i][k] * at.Jacobian[i][l];
            normal[k][l] = s;
        }
        long double s = 0;
        for (int i = 0; i < a; ++i)
            s += at.Jacobian[i][k] * minusG[i];
        rhs[k] = s;
    }
    return SolveScaled(a, normal, rhs, step, damping);
}

// A direction in which a matrix is singular: (m^T m + mu I)^-1 applied to a unit vector, for a
// tiny mu, is all but parallel to it. Scaled to a largest component of 1. With transposed set,
// the direction in which m^T is singular: the combination of rows that m cannot change.
bool SingularDirection(const Matrix& m, int a, bool transposed, Vector& direction) {
    auto entry = [&](int i, int k) { return transposed ? m[k][i] : m[i][k]; };
    Matrix normal{};
    long double largest = 0;
    for (int k = 0; k < a; ++k)
        for (int l = 0; l < a; ++l) {
            long double s = 0;
            for (int i = 0; i < a; ++i)
                s += entry(i, k) * entry(i, l);
            normal[k][l] = s;
            largest = std::max(largest, std::fabs(s));
        }
    for (int k = 0; k < a; ++k)
        normal[k][k] += largest * 1e-15L + 1e-300L;
    long double best = 0;
    for (int e = 0; e < a; ++e) {
        Vector unit{};
        unit[e] = 1;
        Vector v{};
        if (!SolveLinear(a, normal, unit, v))
            continue;
        const long double size = Longest(v, a);
        if (size > best) {
            best = size;
            for (int k = 0; k < a; ++k)
                direction[k] = v[k] / size;
        }
    }
    return best > 0;
}

// Where the rows' Jacobian is singular because the traces that decide a combination of rows
// are too small to show in it (CO2 with a trace of water at room temperature: the rows of
// carbon and hydrogen differ only by the traces of O2, CO and H2), that combination is brought
// to 0 along the singular direction, which moves the traces alone: its sign change is found by
// doublings of the length either way, and the root by bisection. Returns false when there is
// no sign change within reach.
bool FindTraces(const BalanceSides& sides, const Species<long double>& sp, const RowResiduals& at,
                Vector& u) {
    const int a = sides.a;
    Vector along{};
    Vector rows{};
    if (!SingularDirection(at.Jacobian, a, false, along) ||
        !SingularDirection(at.Jacobian, a, true, rows))
        return false;
    auto combination = [&](long double t) {
        const RowResiduals r = EvaluateRows(sides, sp, Moved(u, along, t, a));
        return std::isfinite(r.Largest) ? Dot(rows, r.G, a) : std::nanl("");
    };
    const long double start = Dot(rows, at.G, a);
    for (const long double sign : {1.0L, -1.0L}) {
        long double inside = 0;
        for (long double length = 1; length <= MaxReach; length *= 2) {
            const long double there = combination(sign * length);
            if (std::isnan(there))
                break;
            if ((there > 0) == (start > 0)) {
                inside = sign * length;
                continue;
            }
            long double outside = sign * length;
            for (int bisection = 0; bisection < 80; ++bisection) {
                const long double middle = (inside + outside) / 2;
                if (middle == inside || middle == outside)
                    break;
                const long double value = combination(middle);
                if (std::isnan(value) || (value > 0) != (start > 0))
                    outside = middle;
                else
                    inside = middle;
            }
            u = Moved(u, along, inside, a);
            return true;
        }
    }
    return false;
}

// Steps on the rows as given. Newton's step (damped where it must be) is halved until it lowers
// the sum of squares of the G_i, and carried on, doubling, while that keeps falling: a trace
// species that only the last digits of a row decide comes down one e-fold per step otherwise.
// Where no such step helps, the traces are looked for along the singular direction.
int Polish(const BalanceSides& sides, const Species<long double>& sp, Vector& u) {
    const int a = sides.a;
    int steps = 0;
    int searches = 0;
    RowResiduals at = EvaluateRows(sides, sp, u);
    auto tryMove = [&](const Vector& trial) {
        const RowResiduals next = EvaluateRows(sides, sp, trial);
        if (!(next.SumOfSquares < at.SumOfSquares))
            return false;
        u = trial;
        at = next;
        return true;
    };
    while (steps < MaxPolishSteps && at.Largest > RoundingFloor && std::isfinite(at.Largest)) {
        // Once the rows hold as asked, one more full Newton step takes them to the rounding.
        const bool polished = at.Largest <= ExactTolerance;
        const long double before = at.SumOfSquares;
        bool accepted = false;
        for (long double damping = 0; damping <= MaxDamping && !accepted;
             damping = damping == 0 ? MinDamping : damping * 100) {
            Vector step{};
            if (!RowStep(at, a, damping, step))
                continue;
            const long double longest = Longest(step, a);
            long double lambda = longest > MaxLogStep ? MaxLogStep / longest : 1;
            bool full = false;
            for (int halving = 0; halving < (polished ? 1 : MaxRowHalvings); ++halving) {
                accepted = tryMove(Moved(u, step, lambda, a));
                full = accepted && halving == 0 && lambda == 1;
                if (accepted)
                    break;
                lambda /= 2;
            }
            // Newton's step gains orders of magnitude near the answer; one that gains little
            // may be creeping.
            if (full && !polished && at.SumOfSquares > before / 100)
                for (long double further = 1; (further + 1) * longest <= MaxReach; further *= 2)
                    if (!tryMove(Moved(u, step, further, a)))
                        break;
            if (polished)
                break;
        }
        if (!accepted && at.Largest > ExactTolerance && searches < MaxTraceSearches &&
            FindTraces(sides, sp, at, u)) {
            ++searches;
            at = EvaluateRows(sides, sp, u);
            accepted = true;
        }
        if (!accepted)
            break;
        ++steps;
        if (polished)
            break;
    }
    return steps;
}

bool IsFormationSystem(const CellSystem& s) {
    if (s.a < 1 || s.b < 0 || s.n() > MaxEqSpecies)
        return false;
    if (!std::isfinite(s.Pressure) || !(s.Pressure > 0))
        return false;
    for (int i = 1; i <= s.a; ++i) {
        if (!std::isfinite(s.B[i]))
            return false;
        for (int j = 1; j <= s.n(); ++j)
            if (!std::isfinite(s.A[i][j]))
                return false;
    }
    for (int r = 1; r <= s.b; ++r) {
        if (!std::isfinite(s.L[r]))
            return false;
        for (int j = 1; j <= s.n(); ++j) {
            const long double expected = j == s.a + r ? 1 : 0;
            // A compound is formed from reference species alone, which it cannot be made of
            // in negative numbers.
            if (j > s.a ? s.N[r][j] != expected : !(s.N[r][j] <= 0))
                return false;
        }
    }
    return true;
}

// Lowers the logarithms until no gas exceeds the pressure. A start below the answer costs a
// few long steps up; one far above it puts amounts like e^190 into h, whose rounding then
// hides every gain.
template <typename Real>
void KeepBelowPressure(const Species<Real>& sp, Real logPressure, VectorOf<Real>& u) {
    for (int pass = 0; pass < 4 * MaxEqSpecies; ++pass) {
        const VectorOf<Real> lnx = sp.LogAmounts(u);
        int worst = -1;
        for (int j = 0; j < sp.n; ++j)
            if (sp.Gaseous[j] && lnx[j] > logPressure && (worst < 0 || lnx[j] > lnx[worst]))
                worst = j;
        if (worst < 0)
            return;
        Real molecules = 0;
        for (int k = 0; k < sp.a; ++k)
            molecules += sp.M[worst][k];
        if (!(molecules > 0))
            return;
        const Real lower = (lnx[worst] - logPressure) / molecules;
        for (int k = 0; k < sp.a; ++k)
            if (sp.M[worst][k] > 0)
                u[k] -= lower;
    }
}

// The logarithms that reproduce the feed best: a least-squares fit of ln x_j to the feed's
// partial pressures over the species the feed holds, pulled slightly towards the pressure so
// that directions the feed leaves open (a feed of CO fixes only ln C + ln O2 / 2) are defined.
// A feed far from equilibrium (ammonia beside oxygen) would make other species huge; they are
// brought down to the pressure.
template <typename Real>
VectorOf<Real> StartFromFeed(const CellSystem& s, const Species<Real>& sp) {
    const int a = s.a;
    MatrixOf<Real> normal{};
    VectorOf<Real> rhs{};
    const Real prior = std::log(static_cast<Real>(s.Pressure));
    for (int k = 0; k < a; ++k) {
        normal[k][k] = StartPrior;
        rhs[k] = StartPrior * prior;
    }
    for (int j = 0; j < s.n(); ++j) {
        const Real fraction = s.Feed[j + 1];
        if (!(fraction > 0) || !std::isfinite(fraction))
            continue;
        const Real target = std::log(fraction * s.Pressure) - sp.Offset[j];
        for (int k = 0; k < a; ++k) {
            rhs[k] += sp.M[j][k] * target;
            for (int l = 0; l < a; ++l)
                normal[k][l] += sp.M[j][k] * sp.M[j][l];
        }
    }
    VectorOf<Real> u{};
    if (!SolveLinear(a, normal, rhs, u))
        u.fill(prior);
    KeepBelowPressure(sp, prior, u);
    return u;
}

template <typename Real>
bool StartFromAnswer(const CellSystem& s, const EqVector& start, VectorOf<Real>& u) {
    for (int k = 0; k < s.a; ++k) {
        const Real x = start[k + 1];
        if (!(x > 0) || !std::isfinite(x))
            return false;
        u[k] = std::log(x);
    }
    return true;
}

// The tau at which the gas of the given u would hold the feed's elements: the least-squares
// scale of beta to s.
template <typename Real> Real TotalOf(const Species<Real>& sp, const VectorOf<Real>& u) {
    const ConvexPoint<Real> p = EvaluateConvex(sp, u, 1, true);
    const Real t = Dot(p.Held, sp.Feed, sp.a) / Dot(sp.Feed, sp.Feed, sp.a);
    return p.Finite && t > 0 && std::isfinite(t) ? t : 0;
}

// The amounts of the system's species at u.
EqVector AmountsAt(const Species<long double>& sp, const Vector& u) {
    const Vector lnx = sp.LogAmounts(u);
    EqVector x{};
    for (int j = 0; j < sp.n; ++j)
        x[j + 1] = std::exp(lnx[j]);
    return x;
}

// The convex stage: from the start (a previous answer when given and usable, else the feed),
// minimise h, then move tau until the gases add up to the pressure; u is where it ended.
template <typename Real>
void ConvexStage(const CellSystem& system, const Species<Real>& sp, const EqVector* start,
                 VectorOf<Real>& u, int& steps) {
    const int a = system.a;
    const Real pressure = static_cast<Real>(system.Pressure);
    Real tau = 0;
    if (start != nullptr && StartFromAnswer(system, *start, u))
        tau = TotalOf(sp, u);
    if (!(tau > 0)) {
        u = StartFromFeed(system, sp);
        tau = pressure; // as many molecules as fed
    }
    for (int change = 0; change < MaxTotalChanges; ++change) {
        const ConvexPoint<Real> at = MinimiseForTotal(sp, tau, u, steps);
        if (!at.Finite || !(at.GasTotal > 0))
            return;
        const Real miss = std::log(pressure) - std::log(at.GasTotal);
        if (std::fabs(miss) <= HandOver && Longest(at.LogRatio, a) <= HandOver)
            return;
        // d(total)/d(ln tau) = s^T H^-1 s, and u moves by H^-1 s per unit of ln tau.
        VectorOf<Real> carried{};
        if (!SolveScaled(a, at.Hessian, at.Held, carried))
            return;
        const Real slope = Dot(at.Held, carried, a) / at.GasTotal;
        if (!(slope > 0) || !std::isfinite(slope))
            return;
        const Real step = std::clamp<Real>(miss / slope, -MaxTotalStep, MaxTotalStep);
        tau *= std::exp(step);
        const Real longest = Longest(carried, a) * std::fabs(step);
        const Real lambda = longest > MaxLogStep ? MaxLogStep / longest : 1;
        for (int k = 0; k < a; ++k)
            u[k] += lambda * step * carried[k];
    }
}

} // namespace

bool NoMoreOxygenThanCarbon(const CellSystem& system) {
    double carbon = 0;
    double oxygen = 0;
    for (int i = 1; i <= system.a && i <= MaxEqSpecies; ++i) {
        if (system.Element[i] == Carbon)
            carbon = system.ElementTotal[i];
        else if (system.Element[i] == Oxygen)
            oxygen = system.ElementTotal[i];
    }
    return carbon > 0 && carbon >= oxygen;
}

long double RelativeBalanceResidual(const CellSystem& system, const EqVector& x) {
    long double largest = 0;
    for (int i = 1; i <= system.a && i <= MaxEqSpecies; ++i) {
        long double f = -system.B[i];
        long double size = std::fabs(system.B[i]);
        for (int j = 1; j <= system.n() && j <= MaxEqSpecies; ++j) {
            const long double term = system.A[i][j] * x[j];
            f += term;
            size += std::fabs(term);
        }
        const long double relative = size > 0 ? std::fabs(f) / size : std::fabs(f);
        if (!(relative <= largest))
            largest = std::isnan(relative) ? Infinity : relative;
    }
    return largest;
}

ExactSolution SolveExactly(const CellSystem& system, const EqVector* start) {
    ExactSolution solution;
    if (!IsFormationSystem(system)) {
        solution.Outcome = ExactOutcome::NotAFormationSystem;
        return solution;
    }
    if (NoMoreOxygenThanCarbon(system)) {
        solution.Outcome = ExactOutcome::NoOxygenForCarbon;
        return solution;
    }
    const Species<long double> fine(system);
    for (int k = 0; k < system.a; ++k)
        if (!(fine.Feed[k] > 0)) {
            // An element without feed has no place in the cell's system.
            solution.Outcome = ExactOutcome::NotAFormationSystem;
            return solution;
        }

    // The convex stage in double, then the polish; should the double range not do, both in
    // the extended format from the feed.
    int steps = 0;
    Vector u{};
    {
        const Species<double> coarse(system);
        VectorOf<double> v{};
        ConvexStage(system, coarse, start, v, steps);
        for (int k = 0; k < system.a; ++k)
            u[k] = v[k];
    }
    const BalanceSides sides(system);
    steps += Polish(sides, fine, u);
    solution.Residual = RelativeBalanceResidual(system, AmountsAt(fine, u));
    if (!(solution.Residual <= ExactTolerance)) {
        ConvexStage(system, fine, nullptr, u, steps);
        steps += Polish(sides, fine, u);
    }

    solution.x = AmountsAt(fine, u);
    solution.Iterations = steps;
    solution.Residual = RelativeBalanceResidual(system, solution.x);
    solution.Outcome =
        solution.Residual <= ExactTolerance ? ExactOutcome::Converged : ExactOutcome::NotConverged;
    return solution;
}
