// velko-render: its command line, its timing and layout rules, and the program itself run
// without a display (DISPLAY removed from its environment), its files read back
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DocumentFile.h"
#include "DollPictures.h"
#include "ImageFiles.h"
#include "RenderCommand.h"
#include "fTime.h"
#include "tbfWriter.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

// Parsing

bool Parse(std::vector<const char*> args, RenderCommandLine* c, std::string* error) {
    args.insert(args.begin(), "velko-render");
    return ParseRenderCommandLine((int)args.size(), args.data(), c, error);
}

TEST(RenderCommandLine, TakesEachKindOfOutputWithItsOptions) {
    RenderCommandLine c;
    std::string error;
    ASSERT_TRUE(Parse({"d.velko", "-o", "p.png"}, &c, &error)) << error;
    EXPECT_EQ(c.request.kind, RenderRequest::still);
    EXPECT_EQ(c.request.pose, -1);
    EXPECT_EQ(c.request.options.width, 800);
    EXPECT_EQ(c.request.options.height, 480);
    ASSERT_TRUE(Parse(
        {"--pose=3", "d.velko", "--size", "320x200", "--icon", "--transparent", "-o", "P.PNG"}, &c,
        &error))
        << error;
    EXPECT_EQ(c.document, "d.velko");
    EXPECT_EQ(c.request.pose, 2) << "pose 3 is slot 2";
    EXPECT_EQ(c.request.options.width, 320);
    EXPECT_EQ(c.request.options.height, 200);
    EXPECT_TRUE(c.request.options.icon && c.request.options.transparent);
    ASSERT_TRUE(Parse({"d.velko", "--gif", "--poses", "5,1,8", "-o", "a.gif"}, &c, &error));
    EXPECT_EQ(c.request.kind, RenderRequest::animation);
    EXPECT_EQ(c.request.poses, (std::vector<int>{4, 0, 7}));
    ASSERT_TRUE(Parse({"d.velko", "--sheet", "--fit", "-o", "s.png"}, &c, &error));
    EXPECT_EQ(c.request.kind, RenderRequest::sheet);
    EXPECT_TRUE(c.request.options.fit);
    // The output's extension picks the format ("" a sheet's or sprites' own PNG)
    for (auto k : std::vector<std::pair<std::vector<const char*>, const char*>>{
             {{"-o", "p.SVG"}, ".svg"},
             {{"--animation", "--fit", "--transparent", "-o", "a.apng"}, ".apng"},
             {{"--animation", "-o", "a.webm"}, ".webm"},
             {{"--gif", "-o", "a.gif"}, ".gif"},
             {{"--sprites", "--poses", "4,5", "-o", "s.png"}, ""}}) {
        k.first.insert(k.first.begin(), "d.velko");
        ASSERT_TRUE(Parse(k.first, &c, &error)) << k.first.back() << ": " << error;
        EXPECT_STREQ(c.request.format ? c.request.format->extension : "", k.second);
    }
    EXPECT_EQ(c.request.kind, RenderRequest::sprites);
    EXPECT_FALSE(c.request.options.fit);
    // A name without an extension, as a thumbnailer gives, is taken for either kind
    EXPECT_TRUE(Parse({"d.velko", "-o", "/tmp/thumb"}, &c, &error)) << error;
    EXPECT_TRUE(Parse({"d.velko", "--gif", "-o", "anim"}, &c, &error)) << error;
    // Poses are 1 to 8: the message names the range
    EXPECT_FALSE(Parse({"d.velko", "--pose", "0", "-o", "p.png"}, &c, &error));
    EXPECT_EQ(error, "--pose 0: pose 0 does not exist (poses are 1 to 8)");
    EXPECT_FALSE(Parse({"d.velko", "--gif", "--poses", "1,9", "-o", "a.gif"}, &c, &error));
    EXPECT_EQ(error, "--poses 1,9: pose 9 does not exist (poses are 1 to 8)");
    // The document's frame rate and loop unless overridden
    EXPECT_EQ(c.request.fps, 0);
    EXPECT_FALSE(c.request.loopGiven);
    ASSERT_TRUE(
        Parse({"d.velko", "--gif", "--fps", "12", "--loop=pingpong", "-o", "a.gif"}, &c, &error))
        << error;
    EXPECT_EQ(c.request.fps, 12);
    EXPECT_TRUE(c.request.loopGiven);
    EXPECT_EQ(c.request.loop, SequenceLoop::pingPong);
    ASSERT_TRUE(Parse({"d.velko", "--info"}, &c, &error)) << error;
    EXPECT_TRUE(c.info);
    EXPECT_EQ(c.document, "d.velko");
}

TEST(RenderCommandLine, RefusesWhatDoesNotFitWithAMessage) {
    const std::vector<std::vector<const char*>> bad = {
        {"d.velko"},                                         // no output
        {"-o", "p.png"},                                     // no document
        {"d.velko", "e.velko", "-o", "p.png"},               // two documents
        {"d.velko", "--bogus", "-o", "p.png"},               // unknown option
        {"d.velko", "-o"},                                   // missing value
        {"d.velko", "--pose", "x", "-o", "p.png"},           // not a number
        {"d.velko", "--pose", "-1", "-o", "p.png"},          // not a number either
        {"d.velko", "--size", "800", "-o", "p.png"},         // no height
        {"d.velko", "--size", "0x10", "-o", "p.png"},        // no pixels
        {"d.velko", "--sheet", "--gif", "-o", "p.gif"},      // two kinds
        {"d.velko", "--gif", "--pose", "1", "-o", "a.gif"},  // --pose is for stills
        {"d.velko", "--poses", "1,2", "-o", "p.png"},        // --poses is for --gif
        {"d.velko", "--gif", "--poses", "1,,2", "-o", "a.gif"},
        {"d.velko", "--gif", "--transparent", "-o", "a.gif"},
        {"d.velko", "--gif", "-o", "a.png"},  // extension of another kind
        {"d.velko", "-o", "p.gif"},
        {"d.velko", "-o", "p.velko"},
        {"d.velko", "-o", "p.jpg"},
        {"d.velko", "--icon=yes", "-o", "p.png"},
        {"d.velko", "--gif", "-o", "a.webp"},       // --gif stays a GIF
        {"d.velko", "--animation", "-o", "a.png"},  // a PNG does not move: .apng
        {"d.velko", "--sprites", "-o", "s.gif"},    // sprites are a PNG
        {"d.velko", "--sheet", "--sprites", "-o", "s.png"},
        {"d.velko", "--animation", "--transparent", "-o", "a.mp4"},
        {"d.velko", "--sheet", "-o", "s.svg"},
        {"d.velko", "--gif", "--fps", "0", "-o", "a.gif"},  // 1 to 50 frames a second
        {"d.velko", "--gif", "--fps", "51", "-o", "a.gif"},
        {"d.velko", "--gif", "--loop", "sometimes", "-o", "a.gif"},
        {"d.velko", "--fps", "10", "-o", "p.png"},  // --fps and --loop are for animations
        {"d.velko", "--sheet", "--loop", "once", "-o", "s.png"},
        {"d.velko", "--info", "-o", "p.png"},  // --info draws nothing
        {"--info"},
    };
    for (const auto& args : bad) {
        RenderCommandLine c;
        std::string error;
        EXPECT_FALSE(Parse(args, &c, &error)) << args.size() << " args, first " << args[0];
        EXPECT_FALSE(error.empty());
    }
}

// Timing and layout

TEST(RenderTiming, TheBreathingOfAPassLoopsWithoutASeam) {
    for (double pass : {40.0, 1160.0, 4000.0, 6000.0, 7525.0}) {
        EXPECT_NEAR(AnimationFrameSeconds(40, pass) - AnimationFrameSeconds(0, pass), 0.04, 1e-9);
        // The end of the pass breathes exactly as its start does
        float first = TimePeriodCycleAsClamp_base((float)AnimationFrameSeconds(0, pass), 0, 4);
        float after = TimePeriodCycleAsClamp_base((float)AnimationFrameSeconds(pass, pass), 0, 4);
        EXPECT_NEAR(first, after, 1e-4) << pass << " ms";
        EXPECT_GE(AnimationFrameSeconds(0, pass), 0.5);  // the icon's pop is over
    }
}

TEST(RenderTiming, EveryFormatGetsTheSequencesFramesAndTheAtlasItsSteps) {
    std::string doc, error;
    ASSERT_TRUE(ReadWholeFile(VELKO_EXAMPLE, &doc, &error)) << error;
    // Poses 5 to 8 with the default timing: the step of each run of frames, going (forever:
    // with the move back into the first) and, in ping-pong, coming back
    const std::vector<int> forever = {5, 6, 7, 8, 5}, once = {5, 6, 7, 8},
                           pingPong = {5, 6, 7, 8, 7, 6, 5};
    for (SequenceLoop loop : {SequenceLoop::forever, SequenceLoop::once, SequenceLoop::pingPong}) {
        RenderRequest r;
        r.kind = RenderRequest::sprites;
        r.poses = {4, 5, 6, 7};
        r.fps = 12 + 9 * (int)loop;
        r.loopGiven = true;
        r.loop = loop;
        AnimationPlan plan;
        ASSERT_TRUE(PlanAnimation(doc, r, &plan, &error)) << error;
        EXPECT_EQ(plan.frames.fps, r.fps);
        // Milliseconds add up to the pass, hundredths to it rounded
        long ms = 0, cs = 0;
        const int n = (int)plan.frames.frames.size();
        for (int k = 0; k < n; k++) {
            ms += plan.Timing(k).durationMs;
            cs += plan.Timing(k).centiseconds;
        }
        EXPECT_EQ(ms, plan.frames.lengthMs);
        EXPECT_EQ(cs, (plan.frames.lengthMs + 5) / 10);
        std::vector<int> poses;
        int next = 0;
        for (const AnimationStep& s : plan.steps) {
            EXPECT_TRUE(s.from == next && s.to >= s.from) << s.from;
            next = s.to + 1;
            poses.push_back(s.pose);
        }
        EXPECT_EQ(next, n);
        EXPECT_EQ(poses, loop == SequenceLoop::forever ? forever
                         : loop == SequenceLoop::once  ? once
                                                       : pingPong);
    }
}

TEST(RenderLayout, SheetsHaveUpToFourCellsARow) {
    const int want[][3] = {{1, 1, 1}, {3, 3, 1}, {4, 4, 1}, {5, 4, 2}, {8, 4, 2}};
    for (const auto& w : want) {
        int columns = 0, rows = 0;
        SheetGrid(w[0], &columns, &rows);
        EXPECT_EQ(columns, w[1]) << w[0];
        EXPECT_EQ(rows, w[2]) << w[0];
    }
}

// The program

struct Outcome {
    int status = -1;
    std::string err;
};

class VelkoRender : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        char tmpl[] = "/tmp/velko-render-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Read(const std::string& name) const {
        std::string bytes, error;
        ReadWholeFile(Path(name), &bytes, &error);
        return bytes;
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(Path(name), bytes, &error)) << error;
    }

    // velko-render DOC --info: its standard output, which it must end with status 0
    std::string Describe(const std::string& name) const {
        Outcome run = Render({Path(name), "--info"}, Path("stdout.txt"));
        EXPECT_EQ(run.status, 0) << run.err;
        std::string out = Read("stdout.txt");
        fs::remove(Path("stdout.txt"));
        return out;
    }

    // Runs velko-render with args, without DISPLAY in its environment (its standard output
    // into the file outFile when given), in folder cwd (the test's own when empty)
    Outcome Render(const std::vector<std::string>& args, const std::string& outFile = "",
                   const std::string& cwd = "") const {
        std::vector<char*> argv{const_cast<char*>(VELKO_RENDER)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<char*> env;
        for (char** e = environ; *e; e++)
            if (strncmp(*e, "DISPLAY=", 8) != 0) env.push_back(*e);
        env.push_back(nullptr);
        std::string errFile = Path("stderr.txt");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (!outFile.empty())
            posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
        pid_t pid = -1;
        Outcome run;
        if (posix_spawn(&pid, VELKO_RENDER, &actions, nullptr, argv.data(), env.data()) == 0) {
            int status = 0;
            waitpid(pid, &status, 0);
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        run.err = Read("stderr.txt");
        fs::remove(errFile);
        return run;
    }
};

// The default doll with one line drawn straight along y = 100 from x = 500 to 700, bound to
// the head's bone, and the poses asked for filled with its posture
std::string LineDocument(const std::vector<int>& filledPoses = {}) {
    SketchDoll d;
    SketchDollLine* line = d.NewLine(0, 1);
    for (int x = 500; x <= 700; x += 4) line->AddPoint(fPoint2((float)x, 100));
    for (int p : filledPoses) d.poses[p].DollToPose(&d);
    std::string bytes;
    tbfWriterAsciiString writer(&bytes);
    d.WriteToFile(&writer);
    writer.Close();
    return bytes;
}

// A gray at least as dark as a pixel a quarter covered by the line's gray (128): a line
// 1 pixel wide (in a small picture) half on each of two pixels reaches that
bool IsLineGray(const unsigned char* p) {
    return p[0] < 224 && p[0] == p[1] && p[1] == p[2] && p[3] > 0;
}
// Darkness against white, alpha counted: 0 (white or clear) to 255
int Ink(const unsigned char* p) { return (255 - p[0]) * p[3] / 255; }
long InkIn(const RgbaImage& im, int x0, int y0, int x1, int y1) {
    long n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) n += Ink(im.Pixel(x, y));
    return n;
}
bool IsWhite(const unsigned char* p) { return p[0] == 255 && p[1] == 255 && p[2] == 255; }

// Some pixel of the 5 x 5 square around (x, y) has the line's gray
bool GrayNear(const RgbaImage& im, int x, int y) {
    for (int dy = -2; dy <= 2; dy++)
        for (int dx = -2; dx <= 2; dx++)
            if (IsLineGray(im.Pixel(x + dx, y + dy))) return true;
    return false;
}

int GrayPixels(const RgbaImage& im, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) n += !IsWhite(im.Pixel(x, y));
    return n;
}

TEST_F(VelkoRender, APictureShowsTheLinesWhereTheDocumentPutsThemAtAnySize) {
    Write("line.velko", LineDocument());
    ASSERT_EQ(Render({Path("line.velko"), "-o", Path("p.png")}).status, 0);
    RgbaImage im;
    ASSERT_TRUE(DecodePng(Read("p.png"), &im));
    ASSERT_EQ(im.width, 800);
    ASSERT_EQ(im.height, 480);
    for (int x : {505, 600, 695}) EXPECT_TRUE(GrayNear(im, x, 100)) << x;
    EXPECT_TRUE(IsWhite(im.Pixel(600, 110)));
    EXPECT_TRUE(IsWhite(im.Pixel(320, 63)));         // the head joint: no skeleton is drawn
    EXPECT_EQ(GrayPixels(im, 0, 380, 120, 480), 0);  // nor the icon, unless asked

    Outcome half = Render({Path("line.velko"), "--size", "400x240", "--icon", "--transparent", "-o",
                           Path("half.png")});
    ASSERT_EQ(half.status, 0) << half.err;
    ASSERT_TRUE(DecodePng(Read("half.png"), &im));
    ASSERT_EQ(im.width, 400);
    ASSERT_EQ(im.height, 240);
    EXPECT_TRUE(GrayNear(im, 300, 50));
    EXPECT_EQ(im.Pixel(300, 60)[3], 0);              // background: transparent
    EXPECT_GT(GrayPixels(im, 0, 190, 60, 240), 20);  // the heart in its corner
}

TEST_F(VelkoRender, PicturesAreSmoothAndTheirLinesGrowWithThem) {
    Write("line.velko", LineDocument());
    std::string example, error;
    ASSERT_TRUE(ReadWholeFile(VELKO_EXAMPLE, &example, &error)) << error;
    Write("juggler.velko", example);
    for (const char* size : {"800x480", "1600x960"})
        ASSERT_EQ(Render({Path("line.velko"), "--size", size, "-o", Path(size) + ".png"}).status,
                  0);
    ASSERT_EQ(Render({Path("juggler.velko"), "-o", Path("j.png")}).status, 0);
    ASSERT_EQ(Render({Path("line.velko"), "--transparent", "-o", Path("t.png")}).status, 0);
    RgbaImage small, large, juggler, clear;
    ASSERT_TRUE(DecodePng(Read("800x480.png"), &small));
    ASSERT_TRUE(DecodePng(Read("1600x960.png"), &large));
    ASSERT_TRUE(DecodePng(Read("j.png"), &juggler));
    ASSERT_TRUE(DecodePng(Read("t.png"), &clear));

    // Twice the size, twice as long and twice as wide: four times the ink
    double ratio = (double)InkIn(large, 0, 0, 1600, 960) / (double)InkIn(small, 0, 0, 800, 480);
    EXPECT_NEAR(ratio, 4.0, 0.3);
    // The example's edges: many levels of gray between the lines' and white
    std::set<int> grays;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 800; x++) grays.insert(juggler.Pixel(x, y)[0]);
    EXPECT_GE(grays.size(), 24u);
    // Transparent: the edges keep their coverage as alpha, in the line's own gray
    int partial = 0;
    for (int y = 90; y < 110; y++)
        for (int x = 480; x < 720; x++) {
            const unsigned char* p = clear.Pixel(x, y);
            if (p[3] == 0 || p[3] == 255) continue;
            partial++;
            EXPECT_NEAR(p[0], 128, 6) << x << "," << y << " alpha " << (int)p[3];
        }
    EXPECT_GT(partial, 300);
}

TEST_F(VelkoRender, ASheetHasOneLabelledCellPerFilledPose) {
    Write("poses.velko", LineDocument({0, 2, 5, 6, 7}));
    ASSERT_EQ(
        Render({Path("poses.velko"), "--sheet", "--size", "200x120", "-o", Path("s.png")}).status,
        0);
    RgbaImage im;
    ASSERT_TRUE(DecodePng(Read("s.png"), &im));
    ASSERT_EQ(im.width, 800);  // four cells a row, two rows
    ASSERT_EQ(im.height, 240);
    for (int cell = 0; cell < 8; cell++) {
        int x = cell % 4 * 200, y = cell / 4 * 120;
        bool filled = cell < 5;
        EXPECT_EQ(GrayNear(im, x + 150, y + 25), filled) << "line of cell " << cell;
        EXPECT_EQ(GrayPixels(im, x, y, x + 10, y + 12) > 0, filled) << "label of cell " << cell;
    }
}

TEST_F(VelkoRender, FitFramesTheDrawingInsteadOfTheStageForEveryKindOfOutput) {
    Write("line.velko", LineDocument({0}));
    // The line runs from x 500 to 700: fitted, it spans the picture but for the margin (5 %
    // of the smaller side, 12 pixels) and nothing else is drawn
    Outcome run = Render({Path("line.velko"), "--fit", "--size", "400x240", "-o", Path("thumb")});
    ASSERT_EQ(run.status, 0) << run.err;
    RgbaImage im;
    ASSERT_TRUE(DecodePng(Read("thumb"), &im)) << "a PNG, though the name has no extension";
    EXPECT_EQ(InkIn(im, 0, 0, 10, 240) + InkIn(im, 390, 0, 400, 240), 0) << "the margin";
    EXPECT_GT(InkIn(im, 12, 110, 20, 130), 0);
    EXPECT_GT(InkIn(im, 380, 110, 388, 130), 0);
    EXPECT_EQ(InkIn(im, 0, 0, 400, 100) + InkIn(im, 0, 140, 400, 240), 0);
    // A sheet's cells are framed alike, and its label reads 1 for the first slot
    ASSERT_EQ(Render({Path("line.velko"), "--sheet", "--fit", "-o", Path("s.png")}).status, 0);
    ASSERT_TRUE(DecodePng(Read("s.png"), &im));
    EXPECT_TRUE(GrayNear(im, 60, 240) && GrayNear(im, 740, 240));
    EXPECT_EQ(GrayPixels(im, 8, 8, 13, 28), 0) << "a 1 has no left strokes";
    EXPECT_GT(GrayPixels(im, 16, 8, 21, 28), 10);
    // An animation of the one filled pose: one frame holds the line as it breathes (0.98 to
    // 1.02 about the head), so it spans the picture in every frame
    ASSERT_EQ(
        Render({Path("line.velko"), "--gif", "--fit", "--size", "200x100", "-o", Path("a.gif")})
            .status,
        0);
    DecodedGif gif;
    ASSERT_TRUE(DecodeGif(Read("a.gif"), &gif));
    for (const RgbaImage& frame : gif.frames)
        for (int x : {20, 100, 170}) EXPECT_TRUE(GrayNear(frame, x, 50)) << x;
}

// The sum of a GIF's frame delays, in hundredths of a second
int TotalDelay(const DecodedGif& gif) {
    int total = 0;
    for (int d : gif.delays) total += d;
    return total;
}

TEST_F(VelkoRender, AnAnimationFollowsTheSequenceFrameByFrameAndRepeatsItselfExactly) {
    std::string doc;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(VELKO_EXAMPLE, &doc, &error)) << error;
    Write("juggler.velko", doc);
    Outcome run =
        Render({Path("juggler.velko"), "--gif", "--size", "200x120", "-o", Path("a.gif")});
    ASSERT_EQ(run.status, 0) << run.err;
    DecodedGif gif;
    ASSERT_TRUE(DecodeGif(Read("a.gif"), &gif));
    EXPECT_EQ(gif.width, 200);
    EXPECT_EQ(gif.loopCount, 0);
    // No sequence of its own: poses 5 to 8 (slots 4 to 7), each moved into in 1 s and held
    // for 0.5 s, at 25 frames a second: 6 s in 150 frames of 4 hundredths
    ASSERT_EQ(gif.frames.size(), 150u);
    EXPECT_EQ(TotalDelay(gif), 600);
    EXPECT_EQ(*std::min_element(gif.delays.begin(), gif.delays.end()), 4);
    EXPECT_EQ(*std::max_element(gif.delays.begin(), gif.delays.end()), 4);
    // The arm raised in the second pose shows up a second and a half in
    EXPECT_NE(gif.frames[0].pixels, gif.frames[50].pixels);

    ASSERT_EQ(
        Render({Path("juggler.velko"), "--gif", "--size", "200x120", "-o", Path("b.gif")}).status,
        0);
    EXPECT_TRUE(Read("a.gif") == Read("b.gif"));
    ASSERT_EQ(Render({Path("juggler.velko"), "--sheet", "-o", Path("s1.png")}).status, 0);
    ASSERT_EQ(Render({Path("juggler.velko"), "--sheet", "-o", Path("s2.png")}).status, 0);
    EXPECT_TRUE(Read("s1.png") == Read("s2.png"));

    // Overrides: two poses at 30 frames a second (3 s, delays 3, 3, 4 ...), played once
    // (no looping extension, and the last frame is the last pose reached, not the first)
    Outcome two = Render({Path("juggler.velko"), "--gif", "--poses", "5,6", "--fps", "30", "--loop",
                          "once", "--size", "200x120", "-o", Path("c.gif")});
    ASSERT_EQ(two.status, 0) << two.err;
    DecodedGif once;
    ASSERT_TRUE(DecodeGif(Read("c.gif"), &once));
    EXPECT_EQ(once.loopCount, -1);
    // Once: hold 0.5 s, move 1 s, hold 0.5 s = 2 s
    EXPECT_EQ(once.frames.size(), 60u);
    EXPECT_EQ(TotalDelay(once), 200);
    EXPECT_NE(once.frames.front().pixels, once.frames.back().pixels);
}

TEST_F(VelkoRender, InfoDescribesTheDocumentAsJson) {
    auto step = [](int pose, int hold, int move, const char* ease) {
        return "{\"pose\": " + std::to_string(pose) + ", \"hold_ms\": " + std::to_string(hold) +
               ", \"move_ms\": " + std::to_string(move) + ", \"ease\": \"" + ease + "\"}";
    };
    std::string doc, error;
    // The juggler has no steps of its own: one per filled pose, 1.5 s each
    ASSERT_TRUE(ReadWholeFile(VELKO_EXAMPLE, &doc, &error));
    Write("juggler.velko", doc);
    EXPECT_EQ(
        Describe("juggler.velko"),
        "{\"joints\": 11, \"bones\": 10, \"lines\": 34, \"masks\": 1, \"poses\": [5, 6, 7, 8], "
        "\"sequence\": {\"steps\": [" +
            step(5, 500, 1000, "in-out") + ", " + step(6, 500, 1000, "in-out") + ", " +
            step(7, 500, 1000, "in-out") + ", " + step(8, 500, 1000, "in-out") +
            "], \"loop\": \"forever\", \"fps\": 25, \"duration_ms\": 6000}}\n");
    // The walk's steps were arranged on the strip (pose 5 is filled but not used)
    ASSERT_TRUE(ReadWholeFile(VELKO_WALK, &doc, &error));
    Write("walk.velko", doc);
    EXPECT_EQ(Describe("walk.velko"),
              "{\"joints\": 11, \"bones\": 10, \"lines\": 23, \"masks\": 0, "
              "\"poses\": [1, 2, 3, 4, 5], \"sequence\": {\"steps\": [" +
                  step(1, 300, 400, "in-out") + ", " + step(2, 50, 350, "linear") + ", " +
                  step(3, 400, 400, "in-out") + ", " + step(4, 100, 350, "linear") +
                  "], \"loop\": \"forever\", \"fps\": 25, \"duration_ms\": 2350}}\n");

    Write("junk.velko", "tbff .1\n\nnot a doll\n");
    Outcome bad = Render({Path("junk.velko"), "--info"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err.rfind("velko-render: ", 0), 0u) << bad.err;
}

TEST_F(VelkoRender, BadInputExitsWithTwoAndLeavesNoFile) {
    std::string doc;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(VELKO_EXAMPLE, &doc, &error));
    Write("juggler.velko", doc);
    Write("junk.velko", "this is not a doll\n");
    Write("cut.velko", doc.substr(0, doc.size() / 2));
    Write("kept.png", "old bytes");
    // A document named like a picture, a link to it, a read-only picture, and a pipe
    Write("doll.png", doc);
    fs::create_symlink("doll.png", Path("link.png"));
    Write("locked.png", "old bytes");
    fs::permissions(Path("locked.png"), fs::perms(0444));
    ASSERT_EQ(mkfifo(Path("pipe.velko").c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> bad = {
        {Path("missing.velko"), "-o", Path("out.png")},
        {Path("junk.velko"), "-o", Path("out.png")},
        {Path("cut.velko"), "-o", Path("out.png")},
        {Path("juggler.velko"), "--pose", "1", "-o", Path("out.png")},  // an empty pose
        {Path("juggler.velko"), "--pose", "9", "-o", Path("out.png")},  // no such pose
        {Path("juggler.velko"), "--gif", "--poses", "4,2", "-o", Path("out.gif")},
        {Path("juggler.velko"), "--frobnicate", "-o", Path("out.png")},
        {Path("juggler.velko"), "--pose", "1", "-o", Path("kept.png")},
        {Path("juggler.velko"), "-o", Path("no-such-folder/out.png")},
        {Path("doll.png"), "-o", Path("doll.png")},
        {Path("doll.png"), "-o", Path("link.png")},
        {Path("juggler.velko"), "-o", Path("locked.png")},
        {Path("pipe.velko"), "-o", Path("out.png")},
    };
    for (const auto& args : bad) {
        Outcome run = Render(args);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.err.rfind("velko-render: ", 0), 0u) << run.err;
        if (args[0] == Path("cut.velko")) {
            EXPECT_NE(run.err.find("it is cut short"), std::string::npos) << run.err;
        }
    }
    EXPECT_EQ(Read("kept.png"), "old bytes");
    EXPECT_EQ(Read("locked.png"), "old bytes");
    EXPECT_EQ(Read("doll.png"), doc);
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir)) left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left,
              (std::vector<std::string>{"cut.velko", "doll.png", "juggler.velko", "junk.velko",
                                        "kept.png", "link.png", "locked.png", "pipe.velko"}));

    // A name without an extension (a file manager's thumbnail) is given the picture it asks for
    EXPECT_EQ(Render({Path("juggler.velko"), "-o", Path("thumbnail")}).status, 0);
    EXPECT_EQ(Read("thumbnail").compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
}

// A thumbnailer runs in the file manager's folder: an icon file named like a built-in icon
// there, garbage or a pipe no one writes to, changes nothing and holds nothing up
TEST_F(VelkoRender, TheWorkingFolderNeitherChangesNorHoldsUpThePicture) {
    std::string doc, error;
    ASSERT_TRUE(ReadWholeFile(VELKO_EXAMPLE, &doc, &error));
    Write("juggler.velko", doc);
    fs::create_directories(dir / "garbage");
    fs::create_directories(dir / "pipe");
    Write("garbage/heart.gicon", "garbage");
    ASSERT_EQ(mkfifo(Path("pipe/heart.gicon").c_str(), 0600), 0);
    std::string first;
    for (const char* folder : {"", "garbage", "pipe"}) {
        Outcome run =
            Render({Path("juggler.velko"), "--icon", "-o", Path("icon.png")}, "", Path(folder));
        ASSERT_EQ(run.status, 0) << folder;
        if (!*folder) first = Read("icon.png");
        EXPECT_EQ(Read("icon.png"), first) << folder;
    }
    EXPECT_FALSE(first.empty());
}

}  // namespace
