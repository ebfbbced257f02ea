// OnionSkin: the poses before and after the selected step drawn behind the doll as faint
// ghosts, so a person posing one step sees its neighbours: the previous step's pose in a
// warm tint, the next one's in a cool tint, both much lighter than the doll. Which steps are
// neighbours follows the loop: looping forever the first step's previous is the last; in
// ping-pong the ends turn back (the first's previous and the last's next are the steps
// beside them); played once the ends have only one neighbour.
#pragma once

#include <vector>

#include "AuthorMode.h"
#include "DollSequence.h"
#include "SketchDoll.h"
#include "fColor.h"

namespace OnionSkin {

// Warm and cool ghost colours (lighter than the doll's gray lines and its light gray bones)
fColor PreviousTint();
fColor NextTint();

// The steps (indices into steps) before and after step i among those whose pose the doll
// has filled, or -1 where there is none; both -1 when step i does not play
void Neighbours(const Doll& d, const std::vector<SequenceStep>& steps, SequenceLoop loop, int i,
                int* previous, int* next);

// Draws pose slot p of the doll as a ghost in tint: the lines when the mode shows them,
// the bones when it shows the skeleton. Nothing for a pose the doll has not filled.
void RenderGhost(const SketchDoll& d, int pose, fColor tint, const AuthorMode& m);

}  // namespace OnionSkin
