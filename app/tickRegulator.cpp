#include "tickRegulator.h"

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

float tickRegulator::GetSecondsUntilTick() const {
    float wait = lastTickAt + tickDelta - GetSeconds();
    return wait > 0 ? wait : 0;
}
