// LookAtFilter: turns a doll's head towards a point of interest. The doll owns one by value;
// the editor overwrites its target every tick, but only a caller of Run moves the head.
#pragma once

#include "DollFilter.h"
#include "fPoint2.h"

class LookAtFilter : public DollFilter {
public:
    fPoint2 where;   // point of interest, world coordinates
    float interest;  // strength, 0 .. 1

    LookAtFilter() : where(0, 0), interest(0) {}

    // Stores the target and strength; nothing moves until Run
    void LookAt(fPoint2 p, float i) {
        where = p;
        interest = i;
    }

    // Pulls the head onto the circle of neck length about the breast, in the direction of
    // the target turned back by 90 degrees per unit of interest
    void Run(Doll* d) override;
    // A circle of radius 16 * interest about the target while interest > 0
    void Render(Doll* d) override;
};
