#include "DollPictures.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "AuthorModePanel.h"
#include "GIconTable.h"
#include "ImageCodec.h"
#include "OffscreenGL.h"
#include "RecordedDrawing.h"
#include "VelkoAssert.h"
#include "VelkoDocument.h"
#include "VelkoIcons.h"
#include "fTime.h"
#include "graphicsUtilsGL.h"
#include "tbfReader.h"

namespace {
const float kIconInset = 10;
// A still is taken once no joint moves more than this in a tick (world units)
const float kAtRest = 0.01f;
// Breathing period of the lines (seconds) and the time after loading when the icon's pop
// is surely over
const double kBreathPeriod = 4.0;
const double kSettledSeconds = 4.0;
// Time a still is drawn at: a quarter breath after the lines were read, where they breathe
// at exactly their recorded size
const double kStillSeconds = kSettledSeconds + kBreathPeriod / 4;
// Sheet cell labels: digits this many world units tall, this far from the cell's corner
const float kLabelHeight = 16;
const float kLabelInset = 10;
const int kSheetColumns = 4;
const char* const kNoOffscreenHint =
    " (velko-render needs Mesa's EGL and OpenGL drivers: the libegl1 and libgl1-mesa-dri "
    "packages)";

fRect Stage() { return fRect(0, 0, kStageWidth, kStageHeight); }

void LoadStaticIconsOnce() {
    // The table is process-wide; the editor may have registered the set already. Looked up
    // in the table only: a heart.gicon in the working folder must not stand in for it.
    if (GIconTable::FindIcon("heart") < 0) LoadStaticIcons();
}

// Why slot pose cannot be drawn, naming it as people do (1 to 8); "" when it can
std::string PoseProblem(const DollStage& stage, int pose) {
    char message[80];
    if (pose < 0 || pose >= Doll::kNumPoses)
        snprintf(message, sizeof message, "pose %d does not exist (poses are 1 to %d)", pose + 1,
                 Doll::kNumPoses);
    else if (!stage.GetIsPoseFilled(pose))
        snprintf(message, sizeof message, "pose %d is empty", pose + 1);
    else
        return "";
    return message;
}

// Draws one picture of the staged doll, showing the world rectangle, into a cell of the
// buffer
void DrawDoll(OffscreenGL* gl, DollStage* stage, const PictureOptions& o, fRect world, int x,
              int y) {
    gl->StartFrame(world, x, y, o.width, o.height);
    RenderDollInMode(stage->GetDoll(), AuthorModePanel::play, true, o.icon);
    gl->EndFrame();
}

// Records what drawing the staged doll draws, at the clock's time, into recording
void RecordDoll(DollStage* stage, const PictureOptions& o, RecordedDrawing* recording) {
    RecordingScope scope(recording);
    RenderDollInMode(stage->GetDoll(), AuthorModePanel::play, true, o.icon);
}

// The world rectangle pictures show: the stage, or the bounds of what was recorded framed
// to the picture (the stage when nothing was drawn)
fRect Framing(const PictureOptions& o, const RecordedDrawing& recorded) {
    fRect bounds;
    if (!o.fit || !recorded.GetBounds(&bounds)) return Stage();
    return FitFrame(bounds, o.width, o.height);
}

bool ReadInto(OffscreenGL* gl, RgbaImage* image) {
    if (image->width != gl->GetWidth() || image->height != gl->GetHeight())
        image->Resize(gl->GetWidth(), gl->GetHeight());
    gl->ReadPixels(image->pixels.data());
    return true;
}

bool StartGL(OffscreenGL* gl, int w, int h, std::string* error) {
    if (gl->Create(w, h, error)) return true;
    if (error->find("no offscreen OpenGL") == 0) *error += kNoOffscreenHint;
    return false;
}

bool CheckTransparency(const PictureOptions& o, const ExportFormat& format, std::string* error) {
    if (!o.transparent || format.alpha) return true;
    *error = std::string("a transparent background cannot be kept in ") + format.kind +
             "; choose PNG, SVG, WebP or APNG";
    return false;
}

bool RenderStill(const std::string& document, const RenderRequest& r, EncodedOutput* out,
                 std::string* error, RenderSummary* summary) {
    const ExportFormat& format = r.format ? *r.format : ExportFormatOf(".png");
    if (format.animated) {
        *error = std::string("a single picture cannot be written as one of the ") + format.kind;
        return false;
    }
    if (!CheckTransparency(r.options, format, error)) return false;
    FixedClock clock(0);
    DollStage stage;
    if (!stage.Load(document, error)) return false;
    if (r.pose >= 0) {
        *error = PoseProblem(stage, r.pose);
        if (!error->empty()) return false;
        stage.Settle(r.pose);
    }
    clock.Set(kStillSeconds);
    RecordedDrawing drawing(format.vector);
    RecordDoll(&stage, r.options, &drawing);
    StillPicture picture;
    picture.width = r.options.width;
    picture.height = r.options.height;
    picture.transparent = r.options.transparent;
    picture.world = Framing(r.options, drawing);
    picture.drawing = &drawing;
    RgbaImage image;
    if (!format.vector) {
        OffscreenGL gl;
        if (!StartGL(&gl, r.options.width, r.options.height, error)) return false;
        gl.Clear(r.options.transparent);
        DrawDoll(&gl, &stage, r.options, picture.world, 0, 0);
        ReadInto(&gl, &image);
        picture.pixels = &image;
    }
    if (summary) *summary = {r.options.width, r.options.height, 1, 0};
    return format.newPicture()->Encode(picture, out, error);
}

bool RenderSheet(const std::string& document, const RenderRequest& r, EncodedOutput* out,
                 std::string* error, RenderSummary* summary) {
    if (r.format && strcmp(r.format->extension, ".png") != 0) {
        *error = "a pose sheet is a PNG picture";
        return false;
    }
    FixedClock clock(0);
    std::vector<int> poses;
    {
        DollStage stage;
        if (!stage.Load(document, error)) return false;
        poses = stage.FilledPoses();
    }
    if (poses.empty()) {
        *error = "the doll has no filled pose to put on a sheet";
        return false;
    }
    int columns = 0, rows = 0;
    SheetGrid((int)poses.size(), &columns, &rows);
    const PictureOptions& o = r.options;
    if ((long long)o.width * columns > 65535 || (long long)o.height * rows > 65535) {
        *error = "the sheet would be too large; choose a smaller --size";
        return false;
    }
    // Every cell starts from the document as read, so a cell is the still of its pose; with
    // fit, every cell shows the same rectangle, around all of them
    std::vector<std::unique_ptr<DollStage>> stages;
    RecordedDrawing all(false);
    for (int pose : poses) {
        clock.Set(0);
        stages.emplace_back(new DollStage());
        if (!stages.back()->Load(document, error)) return false;
        stages.back()->Settle(pose);
        clock.Set(kStillSeconds);
        if (o.fit) RecordDoll(stages.back().get(), o, &all);
    }
    fRect world = Framing(o, all);
    OffscreenGL gl;
    if (!StartGL(&gl, o.width * columns, o.height * rows, error)) return false;
    gl.Clear(o.transparent);
    for (size_t i = 0; i < poses.size(); i++) {
        clock.Set(kStillSeconds);
        int x = (int)(i % (size_t)columns) * o.width, y = (int)(i / (size_t)columns) * o.height;
        DrawDoll(&gl, stages[i].get(), o, world, x, y);
        // The label keeps its size and corner whatever the cell shows
        gl.StartFrame(Stage(), x, y, o.width, o.height);
        fColor::gray()->SetColor();
        PenWidth(2);
        DrawStrokeNumber(fPoint2(kLabelInset, kLabelInset), poses[i] + 1, kLabelHeight);
        PenWidth(1);
        gl.EndFrame();
    }
    RgbaImage image;
    ReadInto(&gl, &image);
    if (summary) *summary = {image.width, image.height, (int)poses.size(), 0};
    *out = EncodedOutput();
    return EncodePng(image, o.transparent, &out->bytes, error);
}

bool RenderAnimation(const std::string& document, const RenderRequest& r, EncodedOutput* out,
                     std::string* error, RenderSummary* summary) {
    const PictureOptions& o = r.options;
    std::unique_ptr<AnimationEncoder> encoder;
    if (r.kind == RenderRequest::sprites) {
        encoder = NewSpriteSheetEncoder();
    } else {
        const ExportFormat& format = r.format ? *r.format : ExportFormatOf(".gif");
        if (!format.animated) {
            *error = std::string("an animation cannot be written as one of the ") + format.kind;
            return false;
        }
        if (!CheckTransparency(o, format, error)) return false;
        encoder = format.newAnimation();
    }
    FixedClock clock(0);
    AnimationPlan plan;
    if (!PlanAnimation(document, r, &plan, error)) return false;
    const int n = (int)plan.frames.frames.size();
    RecordedDrawing all(false);
    if (o.fit) {
        for (int k = 0; k < n; k++) {
            plan.Pose(k, &clock);
            RecordDoll(&plan.stage, o, &all);
        }
    }
    fRect world = Framing(o, all);

    AnimationHeader header;
    header.width = o.width;
    header.height = o.height;
    header.frames = n;
    header.fps = plan.frames.fps;
    // Ping-pong's frames already go there and back
    header.loop = plan.frames.loop == SequenceLoop::once       ? LoopMode::once
                  : plan.frames.loop == SequenceLoop::pingPong ? LoopMode::pingPong
                                                               : LoopMode::forever;
    header.transparent = o.transparent;
    header.steps = plan.steps;
    if (!encoder->Begin(header, error)) return false;
    OffscreenGL gl;
    if (!StartGL(&gl, o.width, o.height, error)) return false;
    RgbaImage frame;
    for (int k = 0; k < n; k++) {
        plan.Pose(k, &clock);
        gl.Clear(o.transparent);
        DrawDoll(&gl, &plan.stage, o, world, 0, 0);
        ReadInto(&gl, &frame);
        if (!encoder->AddFrame(frame, plan.Timing(k), error)) return false;
    }
    if (summary) *summary = {o.width, o.height, n, plan.frames.lengthMs / 1000.0};
    return encoder->Finish(out, error);
}

}  // namespace

void PlaceDefaultDollIcon(SketchDoll* doll, fRect stage) {
    DollIcon* icon = doll->GetIcon();
    fRect r = icon->GetBounds();
    r.SetBottomLeft(fPoint2(stage.left + kIconInset, stage.bottom - kIconInset));
    int heart = GIconTable::FindIcon("heart");
    // What a document without an icon of its own shows, so only a changed icon is written
    doll->SetDefaultIcon(heart, r);
    icon->SetBounds(r);
    icon->SetIcon(heart);
}

void RenderDollInMode(SketchDoll* doll, const AuthorMode& m, bool opaque, bool decorations) {
    doll->SetRenderSkeleton(m.skeletonVisible);
    doll->SetRenderSketches(m.artVisible);
    doll->SetRenderOpaque(opaque);
    bool emphasizeNodes = m.clickNode == AuthorMode::pose || m.clickNode == AuthorMode::moveOrLink;
    bool thickBones = !m.artVisible;
    doll->RenderSkeleton(emphasizeNodes, thickBones);
    doll->Render();
    if (decorations) doll->RenderDecorations(m.iconFramesVisible);
}

// DollStage

DollStage::DollStage() : doll(new SketchDoll()) {}

bool DollStage::Load(const std::string& document, std::string* error) {
    std::string why = WhyNotADollDocument(document);
    // A picture of part of a doll would pass for the doll
    if (why.empty() && IsCutShort(document)) why = "it is cut short";
    if (!why.empty()) {
        *error = why;
        return false;
    }
    FILE* f = OpenDocumentBytes(document);
    if (!f) {
        *error = strerror(errno);
        return false;
    }
    LoadStaticIconsOnce();
    doll.reset(new SketchDoll());
    PlaceDefaultDollIcon(doll.get(), Stage());
    tbfReaderAsciiFILE reader(f);  // closes f
    doll->ReadFromFile(&reader);
    if (doll->GetNumJoints() == 0) {
        *error = "its doll has no joints";
        return false;
    }
    return true;
}

bool DollStage::GetIsPoseFilled(int p) const { return doll->GetIsPoseFilled(p); }

std::vector<int> DollStage::FilledPoses() const {
    std::vector<int> filled;
    for (int p = 0; p < Doll::kNumPoses; p++)
        if (GetIsPoseFilled(p)) filled.push_back(p);
    return filled;
}

void DollStage::Tick(float* largestStep) {
    Posture before = GetPosture();
    doll->Update();
    float largest = 0;
    for (int i = 0; i < kDollMaxJoints; i++)
        if (doll->jointAllocTable[i])
            largest = std::max(largest, doll->joints[i].loc.Dist(before.joints[i]));
    *largestStep = largest;
}

void DollStage::Settle(int pose) {
    VELKO_ASSERT(GetIsPoseFilled(pose));
    doll->GoToPose(pose, true);
    for (int t = 0; t < kMaxSettleTicks; t++) {
        float step = 0;
        Tick(&step);
        if (step < kAtRest) break;
    }
}

DollStage::Posture DollStage::GetPosture() const {
    Posture p;
    for (int i = 0; i < kDollMaxJoints; i++) p.joints[i] = doll->joints[i].loc;
    return p;
}

void DollStage::SetPosture(const Posture& p) {
    for (int i = 0; i < kDollMaxJoints; i++) doll->joints[i].loc = p.joints[i];
}

// Timing and layout

bool PlanAnimation(const std::string& document, const RenderRequest& r, AnimationPlan* plan,
                   std::string* error) {
    if (!plan->stage.Load(document, error)) return false;
    const SketchDoll& d = *plan->stage.GetDoll();
    std::vector<SequenceStep> steps;
    if (r.poses.empty()) {
        steps = d.sequence.GetSteps(d);
    } else {
        // A quick sequence: every pose asked for must be there, with the default timing
        for (int p : r.poses) {
            *error = PoseProblem(plan->stage, p);
            if (!error->empty()) return false;
            SequenceStep step;
            step.pose = p;
            steps.push_back(step);
        }
    }
    const SequenceLoop loop = r.loopGiven ? r.loop : d.sequence.loop;
    plan->timeline.reset(new DollTimeline(d, steps, loop));
    if (plan->timeline->GetIsEmpty()) {
        *error = steps.empty() ? "the doll has no filled pose to animate"
                               : "no step of the animation names a filled pose";
        return false;
    }
    plan->frames = MakeAnimationFrames(plan->timeline->GetLengthMs(),
                                       r.fps > 0 ? r.fps : d.sequence.fps, loop);
    // Each frame's step; a step met again (the way back, the move back to the first) starts
    // an entry of its own
    plan->steps.clear();
    int previous = -1;
    for (size_t k = 0; k < plan->frames.frames.size(); k++) {
        float through = 0;
        const int step = plan->timeline->StepAt(plan->frames.frames[k].postureMs, &through);
        if (step != previous || plan->steps.empty())
            plan->steps.push_back(AnimationStep{steps[(size_t)step].pose + 1, (int)k, (int)k});
        else
            plan->steps.back().to = (int)k;
        previous = step;
    }
    return true;
}

void AnimationPlan::Pose(int k, FixedClock* clock) {
    const AnimationFrame& f = frames.frames[(size_t)k];
    DollStage::Posture p = stage.GetPosture();
    timeline->PostureAt(f.postureMs, p.joints);
    stage.SetPosture(p);
    clock->Set(AnimationFrameSeconds(f.startMs, frames.lengthMs));
}

FrameTiming AnimationPlan::Timing(int k) const {
    const AnimationFrame& f = frames.frames[(size_t)k];
    // Each frame ends at its end rounded to the millisecond, the last at the pass's end, so
    // the milliseconds add up to the pass's length
    const bool last = k + 1 == (int)frames.frames.size();
    const long long end = last ? frames.lengthMs : std::llround(f.startMs + f.durationMs);
    FrameTiming t;
    t.durationMs = std::max(1, (int)(end - std::llround(f.startMs)));
    t.centiseconds = f.delayCs;
    return t;
}

double AnimationFrameSeconds(double startMs, double lengthMs) {
    // The triangle wave is symmetric about its peak at 2 s (mod 4): starting half the pass
    // before the peak puts the end of the pass at the start's phase
    double pass = lengthMs / 1000;
    double start = std::fmod(kBreathPeriod / 2 - pass / 2, kBreathPeriod);
    if (start < 0) start += kBreathPeriod;
    return kSettledSeconds + start + startMs / 1000;
}

fRect FitFrame(fRect bounds, int width, int height) {
    float margin = kFitMargin * (float)std::min(width, height);
    float bw = std::max(bounds.GetWidth(), 1.0f), bh = std::max(bounds.GetHeight(), 1.0f);
    // Pixels per world unit that put the bounds inside the margin, both ways
    float scale = std::min(std::max(1.0f, (float)width - 2 * margin) / bw,
                           std::max(1.0f, (float)height - 2 * margin) / bh);
    float halfW = (float)width / scale / 2, halfH = (float)height / scale / 2;
    fPoint2 c = bounds.GetCenter();
    return fRect(c.x - halfW, c.y - halfH, c.x + halfW, c.y + halfH);
}

void SheetGrid(int n, int* columns, int* rows) {
    *columns = n < kSheetColumns ? n : kSheetColumns;
    *rows = n <= 0 ? 0 : (n + kSheetColumns - 1) / kSheetColumns;
}

bool RenderDollDocument(const std::string& document, const RenderRequest& request,
                        EncodedOutput* out, std::string* error, RenderSummary* summary) {
    const PictureOptions& o = request.options;
    if (o.width <= 0 || o.height <= 0 || o.width > 16384 || o.height > 16384) {
        *error = "the picture size must be 1 to 16384 pixels each way";
        return false;
    }
    switch (request.kind) {
        case RenderRequest::still:
            return RenderStill(document, request, out, error, summary);
        case RenderRequest::sheet:
            return RenderSheet(document, request, out, error, summary);
        case RenderRequest::animation:
        case RenderRequest::sprites:
            return RenderAnimation(document, request, out, error, summary);
    }
    return false;
}

bool RenderDollDocument(const std::string& document, const RenderRequest& request, std::string* out,
                        std::string* error) {
    EncodedOutput encoded;
    if (!RenderDollDocument(document, request, &encoded, error)) return false;
    out->swap(encoded.bytes);
    return true;
}
