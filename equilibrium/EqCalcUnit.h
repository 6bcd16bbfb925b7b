// Numeric helpers of the equilibrium and the clock of the status-line pause. The solver itself
// joins this unit with the equilibrium.
#pragma once

#include <functional>
#include <limits>

// The equilibrium computes in the x87 80-bit extended format.
static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "long double must be the 80-bit extended format");

// exp(Exponent * ln Base); Base must be positive.
long double Power(long double base, long double exponent);
// 1e307 for x >= 308, 0 for x <= -308, otherwise exp(x * ln 10).
long double TenToPower(long double x);
// 308 for x >= 1e307, -308 for x <= 1e-307 (zero and negative values too), otherwise log10 x.
long double Log10Clamped(long double x);

// Local time of day in seconds, with milliseconds.
double SecondsOfDay();
// Replaces the clock behind SecondsOfDay (tests); an empty function restores the real one.
void SetSecondsOfDaySource(std::function<double()> source);

// Busy-waits until the time of day has moved on by more than the given seconds. It handles no
// window messages. A pause that spans midnight lasts its time like any other; a pause of 0 (or
// a negative or non-finite one) waits until the clock has moved at all.
void WaitSeconds(double seconds);
