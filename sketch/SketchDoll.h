// SketchDoll: the doll the editor works on, a Doll plus the hand-drawn lines bound to its
// bones. The doll owns its lines (an intrusive gesture list, newest at the head) and frees
// them when reset, cleared or destroyed, and when a joint they are bound to is deleted.
//
// A line records its points once, in world coordinates of the pose the doll had when the
// line was bound, and never rewrites them. Each draw maps a copy onto the bone's current
// position and angle: p -> J0 + s * R(dtheta) * (p - jointLoc[0]), turning about and moving
// with the bone's first joint (a longer bone does not stretch the line), with s breathing
// between 0.98 and 1.02 over 4 seconds from the line's creation time.
//
// Masks are closed shapes painted white under the bone's outlines while the doll is drawn
// opaque; since bones are drawn in draw-list order, a later bone's mask hides what earlier
// bones painted.
#pragma once

#include <vector>

#include "Doll.h"
#include "fColor.h"
#include "fPoint2.h"
#include "gesture.h"

class tbfWriter;
class tbfReader;
class SketchDoll;

// A line of the sketch doll: a stroke that knows its doll, its creation time and whether it
// is a mask. Abstract: SketchDollLine2 is the one concrete kind.
class SketchDollLine : public gesture {
public:
    SketchDoll* doll;  // owner; never null
    float createTime;  // GetSeconds() at construction (seconds): phase of the breathing
    bool isMask;       // filled white mask instead of an outline

    // d must be non-null ("d"); gray, thickness 2 (pixels), not a mask
    explicit SketchDollLine(SketchDoll* d);
    ~SketchDollLine() override = default;

    bool GetIsMask() const { return isMask; }
    void SetIsMask(bool v) { isMask = v; }

    // Writes nothing; the concrete kind writes its own node
    virtual void WriteToFile(tbfWriter* w);
    // The line is bound to joint j
    virtual bool GetDoesReferenceJoint(int j) const;
    // The line is bound to the bone a-b, in either order
    virtual bool GetIsOnEdge(int a, int b) const = 0;
    // A mask as a 3-pixel yellow outline; an outline as a 5-pixel yellow halo under itself
    virtual void RenderSelected();
    // Joint from has been renumbered to to
    virtual void NotifyJointIndexChanged(int from, int to) = 0;
};

// A line bound to the bone between two joints, mapped onto it at every draw.
class SketchDollLine2 : public SketchDollLine {
public:
    int joint[2];         // bone ends; -1 while unbound
    fPoint2 jointLoc[2];  // joint locations when bound (the pose the points were drawn in)
    float jointRotate;    // bone angle when bound, radians: jointLoc[0].Angle(jointLoc[1])

    // Binds to the bone jointa-jointb of d in its current pose; both must be allocated
    SketchDollLine2(SketchDoll* d, int jointa, int jointb);

    void FilterPoints(fPoint2* pts, int npts) override;
    // One "line" node: both attaches, "mask" for a mask, then the recorded points
    void WriteToFile(tbfWriter* w) override;
    bool GetDoesReferenceJoint(int j) const override;
    bool GetIsOnEdge(int a, int b) const override;
    void NotifyJointIndexChanged(int from, int to) override;

    // Reads the "line" node at r's current item; null (nothing allocated) when it does not
    // hold two attaches. Joint indices are not checked against d here.
    static SketchDollLine2* ParseNode(SketchDoll* d, tbfReader* r);

    // Breathing factor at the current time for a line created at createTime: 0.98 .. 1.02
    // over a 4 second triangle wave, exactly 1.0 a quarter period after creation
    static float BreathingScale(float createTime);
    // In place, p -> to + scale * R(turn) * (p - from); turn in radians (positive turns +x
    // towards +y). The per-frame mapping, one pass with the rotation taken once per call.
    static void MapPoints(fPoint2* pts, int npts, fPoint2 from, fPoint2 to, float turn,
                          float scale);
    // The same mapping step by step with the per-point polar rotation of fPoint2: the
    // reference MapPoints is checked against
    static void MapPointsPolar(fPoint2* pts, int npts, fPoint2 from, fPoint2 to, float turn,
                               float scale);

protected:
    // Unbound line for the document reader: joints -1, locations (0, 0)
    explicit SketchDollLine2(SketchDoll* d);
};

class SketchDoll : public Doll {
public:
    bool renderSketches;  // draw the lines when bones are rendered
    gesture* lines;       // head of the owned lines (each a SketchDollLine), newest first

    SketchDoll();
    virtual ~SketchDoll();

    // New line bound to the bone jointa-jointb (both allocated), at the head of the list;
    // null when it cannot be allocated
    SketchDollLine* NewLine(int jointa, int jointb);
    // Line whose drawn segments pass within maxd of loc (world units), the nearest; or null
    SketchDollLine* PickLine(fPoint2 loc, float maxd);
    void SetRenderSketches(bool v) { renderSketches = v; }
    bool GetRenderSketches() const { return renderSketches; }
    // Head of the line list; follow GetNext()
    SketchDollLine* GetFirstLine() const { return static_cast<SketchDollLine*>(lines); }
    int GetNumLines() const;

    void Reset() override;
    void Update() override;
    // Masks of the bone a-b (when opaque), then its outlines
    void RenderEdge(int a, int b) const override;
    // Draws the outlines (not the masks) of every bone as they would lie with the joints at
    // locations[0 .. 31] instead of where they are, without breathing, in colour c and
    // thickness pixels, through every pointStep-th recorded point (and the last): a faint
    // likeness of another posture. Lines' draw buffers (what picking sees) are not touched.
    void RenderLinesAt(const fPoint2* locations, fColor c, int thickness, int pointStep) const;
    void Clear() override;
    // Deletes every line bound to j
    void NotifyJointDeleted(int j) override;
    // Renumbers the line bindings along with the doll
    void NotifyJointIndexChanged(int from, int to) override;
    // The doll's nodes, then "lines"
    void WriteNodesToFile(tbfWriter* w) override;
    // "lines" here, its lines appended in document order, their joints not checked yet;
    // other nodes to the doll
    void ReadNodeFromFile(tbfReader* r) override;
    // Drops the lines bound to a joint slot the doll does not hold, once the whole chunk
    // is read
    void ChunkRead() override;

private:
    void FreeLines();
    // Scratch points and strip lengths for RenderLinesAt
    mutable fPoint2* scratch = nullptr;
    mutable int scratchSize = 0;
    mutable std::vector<int> scratchCounts;
    // Deletes lines bound to a joint slot the doll does not hold (damaged documents)
    void DropLinesOfMissingJoints();
};
