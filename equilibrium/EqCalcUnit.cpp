#include "equilibrium/EqCalcUnit.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <numbers>
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
