#include "tickRegulator.h"

#include "fTime.h"

void tickRegulator::Set(float ticksPerSec) {
    lastTickAt = GetPreciseSeconds();
    tickDelta = 1.0 / ticksPerSec;
}

bool tickRegulator::GetTick() {
    double now = GetPreciseSeconds();
    if (now >= lastTickAt + tickDelta) {
        lastTickAt = now;
        return true;
    }
    return false;
}

double tickRegulator::GetSecondsUntilTick() const {
    double wait = lastTickAt + tickDelta - GetPreciseSeconds();
    return wait > 0 ? wait : 0;
}
