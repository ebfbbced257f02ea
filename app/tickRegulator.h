// tickRegulator: lets at most one tick through per tickDelta seconds of program time.
// Late ticks are never made up: after a stall the next tick simply starts a new period.
#pragma once

class tickRegulator {
public:
    // Program time (seconds) of the last tick
    float lastTickAt = 0;
    // Seconds between ticks
    float tickDelta = 1;

    void Set(float ticksPerSec);
    bool GetTick();
    // Seconds until GetTick will next return true (0 when one is due now), measured on the
    // unrounded clock: the millisecond clock must read strictly past the due time
    double GetSecondsUntilTick() const;
};
