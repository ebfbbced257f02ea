#include "tickRegulator.h"

#include <cmath>

#include "fTime.h"

void tickRegulator::Set(float ticksPerSec) {
    lastTickAt = GetSeconds();
    tickDelta = 1 / ticksPerSec;
}

bool tickRegulator::GetTick() {
    float now = GetSeconds();
    if (lastTickAt + tickDelta < now) {
        lastTickAt = now;
        return true;
    }
    return false;
}

double tickRegulator::GetSecondsUntilTick() const {
    // The first whole millisecond the clock can read that is past the due time
    double due = (double)(lastTickAt + tickDelta);
    double firstReadingPastDue = (std::floor(due * 1000) + 1) / 1000;
    double wait = firstReadingPastDue - GetPreciseSeconds();
    return wait > 0 ? wait : 0;
}
