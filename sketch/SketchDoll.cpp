#include "SketchDoll.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "VelkoAssert.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"
#include "utils.h"

// ---------------------------------------------------------------------------------------
// SketchDollLine

SketchDollLine::SketchDollLine(SketchDoll* d) : doll(d), createTime(0), isMask(false) {
    VELKO_ASSERT_TEXT(d, "d");
    createTime = GetSeconds();
    SetThickness(2);
    SetColor(*fColor::gray());
}

void SketchDollLine::WriteToFile(tbfWriter* w) { (void)w; }

bool SketchDollLine::GetDoesReferenceJoint(int j) const {
    (void)j;
    return false;
}

void SketchDollLine::RenderSelected() {
    if (isMask) {
        DrawWith(*fColor::yellow(), 3);
    } else {
        DrawWith(*fColor::yellow(), 5);
        Draw();
    }
}

// ---------------------------------------------------------------------------------------
// SketchDollLine2

SketchDollLine2::SketchDollLine2(SketchDoll* d, int jointa, int jointb)
    : SketchDollLine(d), jointRotate(0) {
    joint[0] = jointa;
    joint[1] = jointb;
    jointLoc[0] = doll->GetJoint(jointa)->loc;
    jointLoc[1] = doll->GetJoint(jointb)->loc;
    jointRotate = jointLoc[0].Angle(jointLoc[1]);
}

SketchDollLine2::SketchDollLine2(SketchDoll* d) : SketchDollLine(d), jointRotate(0) {
    joint[0] = joint[1] = -1;
}

bool SketchDollLine2::GetDoesReferenceJoint(int j) const { return j == joint[0] || j == joint[1]; }

bool SketchDollLine2::GetIsOnEdge(int a, int b) const {
    return (a == joint[0] && b == joint[1]) || (a == joint[1] && b == joint[0]);
}

void SketchDollLine2::NotifyJointIndexChanged(int from, int to) {
    if (joint[0] == from) joint[0] = to;
    if (joint[1] == from) joint[1] = to;
}

float SketchDollLine2::BreathingScale(float createTime) {
    // Worked in double so that the mid-swing value is exactly 1.0 once rounded to float
    const double k = 0.04;
    double c = TimePeriodCycleAsClamp(createTime, 4.0f);
    return (float)(c * k + 1.0 - k / 2.0);
}

void SketchDollLine2::MapPoints(fPoint2* pts, int npts, fPoint2 from, fPoint2 to, float turn,
                                float scale) {
    // The rotation and the scale fold into one 2x2 matrix taken once per call: the same
    // result as turning each point in polar form, to float precision, without four
    // transcendental calls per point.
    const float a = cosf(turn) * scale;
    const float b = sinf(turn) * scale;
    const float fx = from.x, fy = from.y, tx = to.x, ty = to.y;
    for (int i = 0; i < npts; i++) {
        float dx = pts[i].x - fx;
        float dy = pts[i].y - fy;
        pts[i].x = a * dx - b * dy + tx;
        pts[i].y = b * dx + a * dy + ty;
    }
}

void SketchDollLine2::MapPointsPolar(fPoint2* pts, int npts, fPoint2 from, fPoint2 to, float turn,
                                     float scale) {
    fPoint2::OffsetArray(pts, npts, -from.x, -from.y);
    fPoint2::RotateArray(pts, npts, turn);
    fPoint2::ScaleArray(pts, npts, scale, scale);
    fPoint2::OffsetArray(pts, npts, to.x, to.y);
}

void SketchDollLine2::FilterPoints(fPoint2* p, int n) {
    // Replaces the stroke's filter step: no translate, no filter list, no final filter
    const SketchDoll* d = doll;
    fPoint2 j0 = d->GetJoint(joint[0])->loc;
    fPoint2 j1 = d->GetJoint(joint[1])->loc;
    fPoint2 moved = j0 - jointLoc[0];
    float turn = j0.Angle(j1) - jointRotate;
    float s = BreathingScale(createTime);
    // jointLoc[0] + moved rather than j0 itself, so the mapping is the step-by-step one
    MapPoints(p, n, jointLoc[0], jointLoc[0] + moved, turn, s);
}

// ---------------------------------------------------------------------------------------
// SketchDoll

SketchDoll::SketchDoll() : Doll(), renderSketches(true), lines(nullptr) {}

SketchDoll::~SketchDoll() {
    FreeLines();
    free(scratch);
}

SketchDollLine* SketchDoll::NewLine(int jointa, int jointb) {
    SketchDollLine2* l = new (std::nothrow) SketchDollLine2(this, jointa, jointb);
    if (!l) {
        FlagLowMem();
        return nullptr;
    }
    l->Insert(&lines);
    return l;
}

SketchDollLine* SketchDoll::PickLine(fPoint2 loc, float maxd) {
    return static_cast<SketchDollLine*>(gesture::PickStrokeFromList(lines, loc, maxd));
}

int SketchDoll::GetNumLines() const {
    int n = 0;
    for (gesture* g = lines; g; g = g->GetNext()) n++;
    return n;
}

void SketchDoll::Reset() {
    Doll::Reset();
    FreeLines();
}

void SketchDoll::Update() { Doll::Update(); }

void SketchDoll::Clear() {
    Doll::Clear();
    FreeLines();
}

void SketchDoll::RenderEdge(int a, int b) const {
    Doll::RenderEdge(a, b);
    if (!renderSketches) return;
    if (GetRenderOpaque()) {
        for (gesture* g = lines; g; g = g->GetNext()) {
            SketchDollLine* l = static_cast<SketchDollLine*>(g);
            if (l->GetIsOnEdge(a, b) && l->GetIsMask()) l->DrawFilled(*fColor::white());
        }
    }
    for (gesture* g = lines; g; g = g->GetNext()) {
        SketchDollLine* l = static_cast<SketchDollLine*>(g);
        if (l->GetIsOnEdge(a, b) && !l->GetIsMask()) l->Draw();
    }
}

void SketchDoll::RenderLinesAt(const fPoint2* locations, fColor c, int thickness,
                               int pointStep) const {
    if (pointStep < 1) pointStep = 1;
    // Every line's points into one array, handed to GL at once: a function call per point
    // costs more than the drawing
    int used = 0;
    scratchCounts.clear();
    for (gesture* g = lines; g; g = g->GetNext()) {
        // Every line of the doll is of the one concrete kind
        const SketchDollLine2* l = static_cast<const SketchDollLine2*>(g);
        const int a = l->joint[0], b = l->joint[1];
        const int n = l->GetNPoints();
        // As RenderEdge: only lines of bones the doll draws, never an unbound joint
        if (l->GetIsMask() || n < 2 || !GetIsValidJoint(a) || !GetIsValidJoint(b) ||
            !(edges[a][b] > 0))
            continue;
        const int kept = (n - 1) / pointStep + 2;
        if (used + kept > scratchSize) {
            const int size = std::max(2 * scratchSize, used + kept);
            fPoint2* grown = (fPoint2*)realloc(scratch, sizeof(fPoint2) * (size_t)size);
            if (!grown) {
                FlagLowMem();
                break;
            }
            scratch = grown;
            scratchSize = size;
        }
        fPoint2* p = scratch + used;
        int m = 0;
        for (int i = 0; i < n - 1; i += pointStep) p[m++] = *l->GetPoint(i);
        p[m++] = *l->GetPoint(n - 1);
        const float turn = locations[a].Angle(locations[b]) - l->jointRotate;
        SketchDollLine2::MapPoints(p, m, l->jointLoc[0], locations[a], turn, 1.0f);
        used += m;
        scratchCounts.push_back(m);
    }
    c.SetColor();
    PenWidth(thickness);
    LineStrips(scratch, scratchCounts.data(), (int)scratchCounts.size());
    PenWidth(1);
    fColor::DefaultColor();
}

void SketchDoll::NotifyJointIndexChanged(int from, int to) {
    Doll::NotifyJointIndexChanged(from, to);
    for (gesture* g = lines; g; g = g->GetNext())
        static_cast<SketchDollLine*>(g)->NotifyJointIndexChanged(from, to);
}

void SketchDoll::NotifyJointDeleted(int j) {
    Doll::NotifyJointDeleted(j);
    gesture* g = lines;
    while (g) {
        gesture* following = g->GetNext();  // deleting g unlinks it
        if (static_cast<SketchDollLine*>(g)->GetDoesReferenceJoint(j)) delete g;
        g = following;
    }
}

void SketchDoll::FreeLines() {
    while (lines) delete lines;  // each line unlinks itself from the head
}
