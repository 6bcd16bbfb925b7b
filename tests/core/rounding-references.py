#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The reference values of the exact-rounding tests, computed apart from the program: mpmath
at a 64-bit mantissa for every extended operation (ln and exp correctly rounded to it), at 53
bits for every double operation, and rounding to binary64 at exactly the steps the method
names. For the calibration curves and the stage fractions (CalibrationLookupTest.cpp,
ConditioningStagesTest.cpp), and for the Gibbs integrals and the element ratios
(equilibrium/CellEquilibriumTest.cpp). Prints the values, and checks for each case that
keeping the steps extended gives other bits (for the vapour fractions also that an ln or exp
one unit of the last place off anywhere gives the same bits).

Needs python3-mpmath; not part of the build. Usage: tests/core/rounding-references.py
"""
import itertools

from mpmath import exp, log, mp, mpf

mp.prec = 64


def r64(v):
    with mp.workprec(64):
        return +v


def dbl(v):
    with mp.workprec(53):
        return +v


def same(v):
    return v


def literal(text):  # a long double literal
    with mp.workprec(64):
        return mpf(text)


with mp.workprec(300):
    LN10 = r64(log(10))


def unit(v):
    return mpf(2) ** (mp.mag(v) - 64)


def ln(x, off=0):
    with mp.workprec(300):
        v = log(x)
    v = r64(v)
    return v + off * unit(v)


def ex(x, off=0):
    with mp.workprec(300):
        v = exp(x)
    v = r64(v)
    return v + off * unit(v)


def log10c(x, off=0):  # Log10Clamped within its range
    return r64(ln(x, off) / LN10)


def pow10(x, off=0):  # TenToPower within its range
    return ex(r64(x * LN10), off)


def curve_flow(points, x, to_double=dbl):
    """Lagrange's form; each L and each partial sum rounded by to_double."""
    total = mpf(0)
    for k, (rk, fk) in enumerate(points):
        l = mpf(1)
        for m, (rm, _) in enumerate(points):
            if m != k:
                l = to_double(r64(r64(r64(mpf(x) - mpf(rm)) * l) / r64(mpf(rk) - mpf(rm))))
        total = to_double(r64(r64(l * mpf(fk)) + total))
    return dbl(total)


def water_bar(t, to_double=dbl, offs=(0, 0, 0, 0, 0)):
    T = to_double(r64(mpf(t) + literal("273.15")))
    Ts = mpf(373.16)
    ratio = r64(Ts / T)
    a = to_double(r64(r64(log10c(ratio, offs[0]) * literal("5.02808")) +
                      r64(r64(ratio - 1) * literal("-7.90298"))))
    a = to_double(r64(a - r64(r64(pow10(r64(r64(1 - r64(T / Ts)) * literal("11.344")), offs[1]) -
                                  1) * literal("1.3816e-7"))))
    d = r64(r64(r64(pow10(r64(r64(ratio - 1) * literal("-3.49149")), offs[2]) - 1) *
                literal("0.0081328")) + a)
    e = to_double(r64(log10c(literal("1013.246"), offs[3]) + d))
    w = to_double(pow10(e, offs[4]))
    return to_double(r64(w / 1000))


def heavy_water_bar(t, to_double=dbl):
    t1 = mpf(t)
    t2 = r64(t1 * t1)
    t3 = r64(t2 * t1)
    t4 = r64(t3 * t1)
    t5 = r64(t4 * t1)
    d = r64(r64(literal("9.36772e-4") * t2) +
            r64(r64(literal("0.046428671") * t1) + literal("0.413333333")))
    d = r64(d + r64(literal("2.85781e-5") * t3))
    d = r64(d + r64(literal("2.5e-7") * t4))
    d = r64(d + r64(literal("2.82051e-9") * t5))
    return to_double(r64(to_double(d) / 100))


def kbr(bar, to_double=dbl):
    return to_double(r64(literal("0.84") * bar))


CURVES = [
    ([(20, 48.21), (40, 100.62), (60, 156.31), (80, 216.7), (100, 280.44), (120, 348.39),
      (140, 419.92)], 73.6),
    ([(20, 32.22), (40, 65.13), (60, 99.62), (80, 134.64), (100, 171.36)], 87.8),
    ([(15, 20.58), (30, 41.95), (45, 64.26), (60, 88.23), (75, 113.24), (90, 139.5)], 74.8),
    ([(20, 39.65), (40, 82.4), (60, 127.06), (80, 174.97), (100, 224.85)], 53.7),
]
WATER = {"PURE": [8.32, -4.48, 36.41, -12, 88.1, 11], "KBR": [8.32, -4.48, 36.41, 11]}
HEAVY_WATER = {"PURE": [82, 26, -1.03, 36.26], "KBR": [2.82, 26, 65]}

for points, x in CURVES:
    flow = curve_flow(points, x)
    assert flow != curve_flow(points, x, same), (points, x)
    print(f"curve {points} at {x}: {float(flow).hex()}")

for kind, temperatures in WATER.items():
    for t in temperatures:
        def fraction(to_double=dbl, offs=(0, 0, 0, 0, 0)):
            bar = water_bar(t, to_double, offs)
            return dbl(bar if kind == "PURE" else kbr(bar, to_double))
        value = fraction()
        assert value != fraction(same), (kind, t)
        for offs in itertools.product((-1, 0, 1), repeat=5):
            assert fraction(dbl, offs) == value, (kind, t, offs)
        print(f'{{"H2O", "{kind}", {t}, {float(value).hex()}}},')

for kind, temperatures in HEAVY_WATER.items():
    for t in temperatures:
        def fraction(to_double=dbl):
            bar = heavy_water_bar(t, to_double)
            return dbl(bar if kind == "PURE" else kbr(bar, to_double))
        value = fraction()
        assert value != fraction(same), (kind, t)
        print(f'{{"D2O", "{kind}", {t}, {float(value).hex()}}},')


def in_doubles(compute):
    """compute() with every operation rounded to binary64 (None: extended throughout)."""
    with mp.workprec(53):
        return compute()


def enthalpy_integral(A, B, C, D, lo, hi):
    A, B, C, D, lo, hi = map(mpf, (A, B, C, D, lo, hi))
    h = A * (hi - lo)
    h = h + (B / 2000) * (hi * hi - lo * lo)
    h = h - (C * 100000) * (1 / hi - 1 / lo)
    return h + (D / 3000000) * (hi * hi * hi - lo * lo * lo)


def entropy_integral_without_a(B, C, D, lo, hi):
    B, C, D, lo, hi = map(mpf, (B, C, D, lo, hi))
    s = (B / 1000) * (hi - lo)
    s = s - (C * 100000 / 2) * (1 / (hi * hi) - 1 / (lo * lo))
    return s + (D / 2000000) * (hi * hi - lo * lo)


ROW = (21.87, 22.56, 8.489, -4)  # H2O from 600 to 1600 K
for name, compute in [
        ("EnthalpyIntegral", lambda: enthalpy_integral(*ROW, 600, 1015.6)),
        ("EntropyIntegral without A", lambda: entropy_integral_without_a(*ROW[1:], 600, 1015.6))]:
    value = dbl(in_doubles(compute))
    assert value != dbl(compute()), name
    print(f"{name}: {float(value).hex()}")


def element_ratios(feed, to_double):
    """Species H2, N2, O2, H2O, NH3; elements H, N, O."""
    atoms = {"H": (2, 0, 0, 2, 3), "N": (0, 2, 0, 0, 1), "O": (0, 0, 2, 1, 0)}
    totals = {}
    for element, counts in atoms.items():
        total = mpf(0)
        for amount, count in zip(feed, counts):
            total = to_double(r64(total + r64(mpf(amount) * count)))
        totals[element] = dbl(total)
    main = max(totals, key=lambda e: (totals[e], -"HNO".index(e)))
    return {e: in_doubles(lambda e=e: totals[e] / totals[main]) for e in totals}


FEED = (0.1906, 0.114, 0.348, 0.1419, 0.36)
ratios = element_ratios(FEED, dbl)
assert ratios != element_ratios(FEED, same)
print("element ratios", {e: float(v).hex() for e, v in ratios.items()})
