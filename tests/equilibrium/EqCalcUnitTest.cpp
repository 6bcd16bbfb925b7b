// SPDX-License-Identifier: GPL-3.0-or-later
#include "equilibrium/EqCalcUnit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {
constexpr long double NaN = std::numeric_limits<long double>::quiet_NaN();

// A clock that moves by a fixed step on every reading, starting from a given time of day. A
// pause that never ends fails the test instead of hanging it.
struct SteppingClock {
    double Now;
    double Step;
    long Reads = 0;
    double operator()() {
        if (++Reads > 10'000'000)
            throw std::runtime_error("the pause never ended");
        Now += Step;
        if (Now >= 86400.0)
            Now -= 86400.0;
        return Now;
    }
};

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { SetSecondsOfDaySource({}); }
    void Use(SteppingClock& clock) {
        SetSecondsOfDaySource([&clock] { return clock(); });
    }
};
} // namespace

TEST(Log10Clamped, ClampsAtItsBounds) {
    struct Case {
        long double x, expected;
    };
    const Case exact[] = {
        {1e307L, 308},   {1e308L, 308},   {std::numeric_limits<long double>::infinity(), 308},
        {1e-307L, -308}, {1e-320L, -308}, {0, -308},
        {-1, -308},      {-1e300L, -308}, {1, 0},
        {10, 1},         {1000, 3},
    };
    for (const Case& c : exact)
        EXPECT_EQ(Log10Clamped(c.x), c.expected) << double(c.x);
    // Just inside the bounds the logarithm itself is returned.
    EXPECT_NEAR(double(Log10Clamped(9.99e306L)), 306.99957, 1e-5);
    EXPECT_NEAR(double(Log10Clamped(1.01e-307L)), -306.99568, 1e-5);
    EXPECT_NEAR(double(Log10Clamped(2)), 0.30102999566398120, 1e-16);
}

TEST(TenToPower, ClampsAtItsBounds) {
    EXPECT_EQ(TenToPower(308), 1e307L);
    EXPECT_EQ(TenToPower(400), 1e307L);
    EXPECT_EQ(TenToPower(-308), 0.0L);
    EXPECT_EQ(TenToPower(-1000), 0.0L);
    EXPECT_EQ(TenToPower(0), 1.0L);
    EXPECT_NEAR(double(TenToPower(2)), 100.0, 1e-13);
    // Just inside the bounds: the extended range holds both without overflow or underflow.
    EXPECT_NEAR(double(TenToPower(307.9L) / 1e307L), std::pow(10.0, 0.9), 1e-12);
    EXPECT_GT(TenToPower(-307.9L), 0.0L);
    EXPECT_NEAR(double(TenToPower(-307.9L) * 1e307L), std::pow(10.0, -0.9), 1e-12);
    // A round trip through both stays exact to extended precision.
    EXPECT_NEAR(double(Log10Clamped(TenToPower(-20.5L))), -20.5, 1e-15);
}

TEST(Power, IsExpOfExponentTimesLogOfBase) {
    EXPECT_NEAR(double(Power(2, 10)), 1024.0, 1e-12);
    EXPECT_NEAR(double(Power(373.16L / 298.15L, 5.02808L)), std::pow(373.16 / 298.15, 5.02808),
                1e-12);
    EXPECT_EQ(Power(5, 0), 1.0L);
}

TEST_F(ClockTest, PauseEndsOnlyWhenTheClockHasMovedStrictlyPastItsLength) {
    SteppingClock clock{1000.0, 0.25};
    Use(clock);
    WaitSeconds(1.0);
    // Started at 1000.25; 1001.25 is not past the end, 1001.5 is.
    EXPECT_DOUBLE_EQ(clock.Now, 1001.5);
}

TEST_F(ClockTest, PauseOfZeroWaitsForTheClockToMove) {
    SteppingClock clock{5000.0, 0.001};
    Use(clock);
    WaitSeconds(0);
    EXPECT_EQ(clock.Reads, 2);
    // A clock that stands still for a while keeps the pause going until it moves.
    int reads = 0;
    SetSecondsOfDaySource([&reads] { return ++reads < 50 ? 7.0 : 7.001; });
    WaitSeconds(0);
    EXPECT_EQ(reads, 50);
}

TEST_F(ClockTest, PauseSpanningMidnightLastsItsTime) {
    SteppingClock clock{86399.0, 0.01};
    Use(clock);
    WaitSeconds(4.0); // from 86399.01 to 3.01 seconds after midnight
    EXPECT_NEAR(clock.Now, 3.02, 1e-6);
}

TEST_F(ClockTest, SmallStepBackOfTheClockDoesNotStretchThePause) {
    // The clock is set back by an hour in the middle of the pause.
    double now = 50000.0;
    int reads = 0;
    SetSecondsOfDaySource([&] {
        ++reads;
        now += 0.5;
        if (reads == 3)
            now -= 3600;
        return now;
    });
    WaitSeconds(2.0);
    EXPECT_LT(reads, 10);
}

TEST_F(ClockTest, NonFinitePauseActsAsZero) {
    SteppingClock clock{10.0, 0.001};
    Use(clock);
    WaitSeconds(double(NaN));
    WaitSeconds(-3);
    EXPECT_EQ(clock.Reads, 4);
}

TEST(SecondsOfDay, RealClockLiesWithinADay) {
    const double t = SecondsOfDay();
    EXPECT_GE(t, 0.0);
    EXPECT_LT(t, 86400.0);
}
