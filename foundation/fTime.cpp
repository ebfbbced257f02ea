#include "fTime.h"

#include <chrono>
#include <cmath>

namespace {

using Clock = std::chrono::steady_clock;

// Origin taken at static initialisation so that it never moves once the program runs
const Clock::time_point clockOrigin = Clock::now();

// Seconds added to every reading of the steady clock
double clockOffset = 0;

bool testTimeSet = false;
double testTime = 0;

float Clamp01(float v) {
    if (v < 0) return 0;
    if (v > 1) return 1;
    return v;
}

}  // namespace

float GetSeconds() {
    if (testTimeSet) return (float)testTime;
    // Whole milliseconds, like the toolkit's elapsed-time counter
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clockOrigin);
    return (float)((double)ms.count() / 1000.0 + clockOffset);
}

double GetPreciseSeconds() {
    if (testTimeSet) return testTime;
    return std::chrono::duration<double>(Clock::now() - clockOrigin).count() + clockOffset;
}

void SetClockOffset(double seconds) { clockOffset = seconds; }

void fTimeInit() {}

void SetTestSeconds(double t) {
    testTimeSet = true;
    testTime = t;
}

void ClearTestSeconds() { testTimeSet = false; }

FixedClock::FixedClock(double seconds)
    : now(seconds), wasPinned(testTimeSet), pinnedBefore(testTime) {
    Set(seconds);
}

FixedClock::~FixedClock() {
    testTimeSet = wasPinned;
    testTime = pinnedBefore;
}

void FixedClock::Set(double seconds) {
    now = seconds;
    testTimeSet = true;
    testTime = seconds;
}

float TimePeriodRiseAsClamp_base(float base, float start, float len) {
    float t = base - start;
    float v = (t - floorf(t / len) * len) / len;
    return Clamp01(v);
}

float TimePeriodCycleAsClamp_base(float base, float start, float period) {
    float v = TimePeriodRiseAsClamp_base(base, start, period);
    if (v < 0.5f)
        v = 2 * v;
    else
        v = 2 * (1 - v);
    return Clamp01(v);
}

float TimeSinceAsClamp_base(float base, float since, float unit) {
    if (base < since) return 0;
    if (since + unit < base) return 1;
    if (base == since) return 0;  // also covers unit 0 without dividing
    return Clamp01((base - since) / unit);
}

float TimePeriodCycleAsClamp(float start, float period) {
    return TimePeriodCycleAsClamp_base(GetSeconds(), start, period);
}

float TimeSinceAsClamp(float since, float unit) {
    return TimeSinceAsClamp_base(GetSeconds(), since, unit);
}
