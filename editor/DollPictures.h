// DollPictures: a doll document turned into pictures the way the editor's "Play" mode shows
// the doll (its lines and masks; no skeleton, no editor furniture, the emotion icon only on
// request): a still of one posture, a sheet of the filled poses, and an animation following
// the doll's sequence. velko-render and the editor's Export commands both come here, so the
// same document and options give the same bytes.
//
// Nothing here reads the wall clock. A still settles the doll one tick at a time, 30 ticks
// a second; an animation takes each frame's posture from the doll's timeline; and the
// program clock is pinned to each frame's time while it is drawn, so the lines' breathing
// and the icon's follow the frames, not the machine.
//
// World coordinates are those of the editor's window (kStageWidth x kStageHeight units, y
// down); a picture of another size shows that same rectangle scaled to fit and centred, or
// with the fit option the rectangle around the doll's drawing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "AuthorMode.h"
#include "DollSequence.h"
#include "DollTimeline.h"
#include "SketchDoll.h"
#include "fRect.h"

class FixedClock;

// The editor window's size in world units: where a doll's document places everything
const float kStageWidth = 800;
const float kStageHeight = 480;

// Declares and places the icon a document without one of its own shows: "heart" in the
// bottom-left corner of stage, inset 10, at the icon's current size
void PlaceDefaultDollIcon(SketchDoll* doll, fRect stage);
// Draws the doll as author mode m shows it: masks filled when opaque, the emotion icon
// (with its frame when the mode shows icon frames) when decorations
void RenderDollInMode(SketchDoll* doll, const AuthorMode& m, bool opaque, bool decorations);

struct PictureOptions {
    int width = 800, height = 480;  // pixels of one picture: a still, a sheet cell, a frame
    bool icon = false;              // draw the emotion icon too
    bool transparent = false;       // PNG only: the background is transparent
    // Show the doll's drawing with a small margin instead of the whole stage; one frame for
    // all the pictures of a sheet or an animation, so they share place and scale
    bool fit = false;
};

// Poses are slots 0 to 7 here; people see and type them as 1 to 8
struct RenderRequest {
    enum Kind { still, sheet, animation } kind = still;
    // still: the pose slot to settle in; -1 draws the document's own posture
    int pose = -1;
    // animation: a quick sequence of these pose slots, in order, with the default timing;
    // empty means the document's own sequence
    std::vector<int> poses;
    // animation: frames a second (DollSequence::kMinFps .. kMaxFps), 0 for the document's
    int fps = 0;
    // animation: the loop mode instead of the document's, when loopGiven
    bool loopGiven = false;
    SequenceLoop loop = SequenceLoop::forever;
    PictureOptions options;
};

// What was drawn, for a message to the person
struct RenderSummary {
    int width = 0, height = 0;  // pixels of the whole picture (a sheet: of the whole sheet)
    int pictures = 0;           // sheet cells or animation frames; 1 for a still
    double seconds = 0;         // an animation's length
};

// A still's doll settles at 30 ticks a second
const int kTicksPerSecond = 30;
// Longest a still waits for the doll to come to rest in its pose (ticks)
const int kMaxSettleTicks = 20 * kTicksPerSecond;

// A document's doll, read once and moved only by its own ticks
class DollStage {
public:
    struct Posture {
        fPoint2 joints[kDollMaxJoints];
    };

    DollStage();
    // Reads a whole document (header included); false with *error saying why
    bool Load(const std::string& document, std::string* error);
    SketchDoll* GetDoll() { return doll.get(); }

    // The pose slot holds a posture of this doll's joints
    bool GetIsPoseFilled(int pose) const;
    std::vector<int> FilledPoses() const;

    // Moves into pose (which must be filled) until the doll comes to rest
    void Settle(int pose);
    Posture GetPosture() const;
    void SetPosture(const Posture& p);
    // The world rectangle holding what is drawn of the doll now (its lines, and the icon when
    // icon is set), grown by a small margin; the joints' box when there are no lines
    fRect GetDrawingBounds(bool icon);

private:
    void Tick(float* largestStep);

    std::unique_ptr<SketchDoll> doll;
};

// An animation ready to draw: the document's doll, its timeline (the steps, loop mode and
// frame rate asked for) and its frames. Every exporter draws the same frames: for frame k,
// Pose puts the doll in its posture and the program clock at its time, and the frame is
// then drawn as RenderDollInMode draws the doll and shown for frames.frames[k]'s duration.
struct AnimationPlan {
    DollStage stage;
    std::unique_ptr<DollTimeline> timeline;
    AnimationFrames frames;

    void Pose(int k, FixedClock* clock);
};
// Reads the document and lays out the animation the request asks for; false with *error
// when the document cannot be read, a pose asked for is empty, or no step of the sequence
// names a filled pose
bool PlanAnimation(const std::string& document, const RenderRequest& request, AnimationPlan* plan,
                   std::string* error);

// Program time (seconds) at which a frame shown startMs into a pass of lengthMs is drawn:
// the breathing (a 4 s triangle) is at the same phase at the end of the pass as at its
// start, so a loop has no seam; always past the icon's pop after loading
double AnimationFrameSeconds(double startMs, double lengthMs);
// Columns and rows of a sheet of n cells: up to four in a row
void SheetGrid(int n, int* columns, int* rows);

// Draws what the request asks of the document and encodes it, PNG for a still or a sheet,
// GIF for an animation, into *out. False with *error, a message for the person, when the
// document cannot be read, a pose is empty or missing, the options do not fit, or there is
// no offscreen OpenGL.
bool RenderDollDocument(const std::string& document, const RenderRequest& request, std::string* out,
                        std::string* error, RenderSummary* summary = nullptr);
