// AuthorMode: one of the editor's authoring modes, a fixed record of what is drawn and what
// a press or the delete key does. The records themselves are static, owned by the mode panel
// (AuthorModePanel); the editor copies the chosen one whenever it needs it.
#pragma once

class AuthorMode {
public:
    // What a press or key does. The values from manipulateIcon on are never stored in a
    // record: they only name the outcome of the editor's click classification.
    enum option : unsigned char {
        null = 0,
        pose = 1,             // drag a joint to pose the doll; double click toggles its lock
        draw = 2,             // draw a new line bound to the nearest bone
        makeNode = 3,         // add a joint at the press point
        moveOrLink = 4,       // drag a joint in the skeleton, or link it to another
        eraseLine = 5,        // the delete key does nothing to joints
        eraseEdgeOrNode = 6,  // the delete key deletes the joint under the pointer
        manipulateIcon = 7,
        manipulatePose = 8,
        pickAuthorMode = 9,
        selectLine = 10,
    };

    bool artVisible;         // sketched lines are drawn
    bool skeletonVisible;    // the skeleton is drawn
    bool iconFramesVisible;  // passed on to the doll's decoration drawing
    option clickNowhere;     // a press away from joints
    option clickNode;        // a press on a joint
    option deleteRollover;   // the delete key, on the joint under the pointer

    constexpr AuthorMode(bool art, bool skeleton, bool iconFrames, option nowhere, option node,
                         option deleteKey)
        : artVisible(art),
          skeletonVisible(skeleton),
          iconFramesVisible(iconFrames),
          clickNowhere(nowhere),
          clickNode(node),
          deleteRollover(deleteKey) {}
};
