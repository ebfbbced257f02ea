// The consistency a sketch doll keeps whatever it was told, above all whatever document it
// read: the checks the sketch document tests and the document fuzzer apply after a load.
#pragma once

#include <string>

class SketchDoll;

// Empty when the sketch doll is consistent, else the first broken rule:
// - the doll itself is consistent (DollInvariantViolation);
// - the line list is well linked: each line's prev is the link that points at it;
// - every line is a bound line of this doll, on two allocated joints, with finite binding
//   locations, the bone angle they give, and finite recorded points within its capacity;
// - mapped onto the current pose (which refreshes the draw buffers), every point is finite.
std::string SketchDollInvariantViolation(SketchDoll& d);
