// tickRegulator: lets at most one tick through per tickDelta seconds of program time.
// Late ticks are never made up: after a stall the next tick simply starts a new period.
//
// Runs on the double clock (GetPreciseSeconds): the float clock's step grows with uptime
// (1/32 s after 80 hours), which would round due times onto the wrong side of "now".
#pragma once

class tickRegulator {
public:
    // Program time (seconds) of the last tick
    double lastTickAt = 0;
    // Seconds between ticks
    double tickDelta = 1;

    void Set(float ticksPerSec);
    bool GetTick();
    // Seconds until GetTick will next return true; 0 when one is due now
    double GetSecondsUntilTick() const;
};
