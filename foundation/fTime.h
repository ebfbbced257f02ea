// The program clock and the clamped time curves that drive every animation.
//
// Times are seconds as float. The clock is monotonic, readable before the windowing toolkit
// starts, and counts from the first reading in the process (plus an uptime offset a
// benchmark may set). Tests can pin it to an exact instant with SetTestSeconds so animations
// can be checked at chosen times.
//
// A float holds whole milliseconds only up to about 2.3 hours of uptime (its step is 1/32 s
// at 80 hours), so anything that schedules against the clock reads GetPreciseSeconds.
#pragma once

float GetSeconds();
// The same clock as double seconds without rounding to milliseconds, for scheduling ticks
// and sleeps; finer than a microsecond at any uptime. Follows a pinned test time too.
double GetPreciseSeconds();
// Starts the clock at the given uptime (seconds) by adding it to every later reading, so a
// benchmark can run the program as if it had been up that long
void SetClockOffset(double seconds);
// Hook the application shell calls once at construction; nothing to do
void fTimeInit();

// Pins GetSeconds() and GetPreciseSeconds() to t until ClearTestSeconds(); for tests only
void SetTestSeconds(double t);
void ClearTestSeconds();

// Runs the program clock on a time its owner advances, for as long as it lives: a renderer
// that must give the same pictures on every run sets the time of each frame itself instead
// of reading the wall clock. Whatever pin was in force before (a test's, an outer
// FixedClock's, or none) is back once it goes. Seconds.
class FixedClock {
public:
    explicit FixedClock(double seconds);
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    void Set(double seconds);
    double Get() const { return now; }

private:
    double now;
    bool wasPinned;
    double pinnedBefore;
};

// Saw-tooth: 0 to 1 over each len seconds counted from start, evaluated at base
float TimePeriodRiseAsClamp_base(float base, float start, float len);
// Triangle: 0 -> 1 -> 0 over each period seconds from start, evaluated at base
float TimePeriodCycleAsClamp_base(float base, float start, float period);
// Ramp: 0 before since, rising to 1 at since + unit, 1 afterwards
float TimeSinceAsClamp_base(float base, float since, float unit);
float TimePeriodCycleAsClamp(float start, float period);
float TimeSinceAsClamp(float since, float unit);

class fTime {
public:
    static float GetSeconds() { return ::GetSeconds(); }
    static float Since(float start, float unit) { return TimeSinceAsClamp(start, unit); }
    static float Cycle(float start, float period) { return TimePeriodCycleAsClamp(start, period); }
};
