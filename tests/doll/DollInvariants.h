// The consistency a doll keeps whatever it was told, above all whatever document it read:
// the checks the document tests and the document fuzzer apply after every load.
#pragma once

#include <string>

class Doll;

// Empty when the doll is consistent, else the first broken rule:
// - njoints is the number of allocated slots;
// - allocated joints have finite locations and inertia, a lock count >= 0, and rotate
//   relative to no joint or to a slot index;
// - between allocated joints the bone matrix is symmetric, has no bone on its diagonal, and
//   holds -1 or a finite rest length >= 0; nedges counts exactly those bones (>= 0);
// - the draw list is well linked, finite, without repeats, names slots 0 .. 31 with a <= b,
//   and lists every bone > 0 unless a node could not be allocated;
// - every pose holds as many marked slots as its count says, with finite locations; a
//   stored pose is empty or holds exactly the doll's joints;
// - the seek and edit pointers are null or point at the doll's own poses;
// - the icon's bounds are finite, not inverted, at most kMaxIconExtent wide and tall.
std::string DollInvariantViolation(const Doll& d);
