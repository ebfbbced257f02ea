// Whole sketch-doll documents: the lines node after the doll's nodes, loading through the
// doll's chunk reader, and save-load-save round trips of random dolls with lines and masks.
#include <gtest/gtest.h>

#include <random>

#include "DollDocuments.h"
#include "SketchDocuments.h"
#include "SketchInvariants.h"
#include "TestDolls.h"
#include "fTime.h"

namespace {

class SketchDocuments : public ::testing::Test {
protected:
    void SetUp() override { SetTestSeconds(10); }
    void TearDown() override { ClearTestSeconds(); }
};

// Reads a whole document into d; the header must be readable
void Load(SketchDoll& d, const std::string& text) {
    tbfReaderAsciiFILE r(StreamOf(text));
    ASSERT_TRUE(r.GetIsFileReadable());
    d.ReadFromFile(&r);
}

const char kTwoLineEnding[] =
    "\n"
    "\tlines {\n"
    "\t\tline {\n"
    "\t\t\tattach 4 320.000000 232.000000\n"
    "\t\t\tattach 5 270.000000 332.000000\n"
    "\t\t\tpoints 3 {\n"
    "\t\t\t\t300.000000 250.000000\n"
    "\t\t\t\t296.500000 258.250000\n"
    "\t\t\t\t291.000000 270.000000\n"
    "\t\t\t}\n"
    "\t\t}\n"
    "\n"
    "\t\tline {\n"
    "\t\t\tattach 1 320.000000 132.000000\n"
    "\t\t\tattach 2 220.000000 182.000000\n"
    "\t\t\tmask\n"
    "\t\t\tpoints 2 {\n"
    "\t\t\t\t300.000000 140.000000\n"
    "\t\t\t\t250.000000 170.000000\n"
    "\t\t\t}\n"
    "\t\t}\n"
    "\t}\n"
    "}\n";

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The line nodes of a saved document, in file order, each without its separating blank line
std::vector<std::string> LineNodesOf(const std::string& doc) {
    std::vector<std::string> nodes;
    const std::string open = "\t\tline {\n", close = "\t\t}\n";
    for (size_t at = doc.find(open); at != std::string::npos; at = doc.find(open, at)) {
        size_t end = doc.find(close, at) + close.size();
        nodes.push_back(doc.substr(at, end - at));
        at = end;
    }
    return nodes;
}

}  // namespace

TEST_F(SketchDocuments, TheTwoLineExampleIsWrittenByteForByteAfterTheDollsNodes) {
    SketchDoll d;
    SketchDollLine* mask = d.NewLine(1, 2);
    mask->AddPoint(fPoint2(300, 140));
    mask->AddPoint(fPoint2(250, 170));
    mask->SetIsMask(true);
    SketchDollLine* thigh = d.NewLine(4, 5);
    for (fPoint2 p : {fPoint2(300, 250), fPoint2(296.5f, 258.25f), fPoint2(291, 270)})
        thigh->AddPoint(p);
    std::string doc = Saved(d);
    EXPECT_TRUE(EndsWith(doc, kTwoLineEnding)) << doc;
    // The doll's own nodes come first
    size_t poses = doc.find("\tposes 8 {\n"), lines = doc.find("\tlines {\n");
    ASSERT_NE(poses, std::string::npos);
    EXPECT_LT(poses, lines);
    EXPECT_EQ(doc.find("lines {", lines + 2), std::string::npos);

    SketchDoll back;
    Load(back, doc);
    auto read = Lines2Of(back);
    ASSERT_EQ(read.size(), 2u);
    // In the order of the file, which is the order the doll had
    EXPECT_FALSE(read[0]->GetIsMask());
    EXPECT_EQ(RecordedPoints(read[0]), RecordedPoints(thigh));
    EXPECT_TRUE(read[1]->GetIsMask());
    EXPECT_EQ(read[1]->joint[0], 1);
    EXPECT_EQ(RecordedPoints(read[1]), RecordedPoints(mask));
    EXPECT_EQ(back.GetNumJoints(), 11);
    EXPECT_EQ(Saved(back), doc);
}

TEST_F(SketchDocuments, ADollWithoutLinesWritesAnEmptyLinesNode) {
    SketchDoll d;
    EXPECT_TRUE(EndsWith(Saved(d), "\t}\n\n\tlines {\n\t}\n}\n"));
    SketchDoll back;
    Load(back, Saved(d));
    EXPECT_EQ(back.lines, nullptr);
    EXPECT_EQ(back.GetNumJoints(), 11);
}

TEST_F(SketchDocuments, LoadingReplacesTheLinesAndKeepsTheirOrder) {
    SketchDoll d;
    for (int i = 0; i < 3; i++) d.NewLine(4, 5)->AddPoint(fPoint2(i, 0));  // L3 L2 L1
    SketchDoll back;
    back.NewLine(1, 2);  // whatever was there goes
    Load(back, Saved(d));
    auto lines = Lines2Of(back);
    ASSERT_EQ(lines.size(), 3u);
    for (int i = 0; i < 3; i++) EXPECT_EQ(lines[i]->GetPoint(0)->x, 2 - i);  // L3 L2 L1
}

TEST_F(SketchDocuments, IconDrawingOrderAndLineOrderComeBackIntoADifferentDoll) {
    const fRect corner(10, 420, 60, 470);
    SketchDoll d;
    d.SetDefaultIcon(BuiltInIcon("heart"), corner);
    d.icon.SetIcon(BuiltInIcon("thought-balloon"));
    d.icon.SetBounds(fRect(200, 30.5f, 250, 80.5f));
    // Lines and masks on shared bones, in an order of their own; joint 2 goes, so saving
    // renumbers the bones and the lines
    const int bones[][2] = {{1, 4}, {4, 5}, {1, 4}, {2, 3}, {9, 10}, {4, 5}, {1, 4}};
    for (int i = 0; i < 7; i++) {
        SketchDollLine* l = d.NewLine(bones[i][0], bones[i][1]);
        l->SetIsMask(i % 3 == 1);
        l->AddPoint(fPoint2(300 + i, 200));
        l->AddPoint(fPoint2(310, 220 - i));
    }
    d.DeleteJoint(2);
    d.MoveEdgeForwards(1, 4);
    d.MoveEdgeForwards(1, 4);
    d.MoveEdgeBackwards(5, 6);
    const std::string doc = Saved(d);
    ASSERT_LT(doc.find("\tlines {"), doc.find("\ticon {"));
    ASSERT_LT(doc.find("\ticon {"), doc.find("\tdraworder 8 {"));

    SketchDoll back;
    back.SetDefaultIcon(BuiltInIcon("heart"), corner);
    back.NewLine(4, 5)->AddPoint(fPoint2(1, 1));
    back.MoveEdgeBackwards(2, 3);
    back.AddJoint(fPoint2(5, 5));
    Load(back, doc);
    EXPECT_EQ(SketchDollInvariantViolation(back), "");
    EXPECT_EQ(back.icon.GetIcon(), BuiltInIcon("thought-balloon"));
    EXPECT_EQ(back.icon.GetBounds().top, 30.5f);
    EXPECT_EQ(back.icon.GetBounds().right, 250);
    EXPECT_EQ(DrawOrder(back), DrawOrder(d));
    auto lines = Lines2Of(back), saved = Lines2Of(d);
    ASSERT_EQ(lines.size(), 6u);  // the line of joint 2 went with it
    ASSERT_EQ(lines.size(), saved.size());
    for (size_t i = 0; i < lines.size(); i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i]->joint[0], saved[i]->joint[0]);
        EXPECT_EQ(lines[i]->joint[1], saved[i]->joint[1]);
        EXPECT_EQ(lines[i]->GetIsMask(), saved[i]->GetIsMask());
        EXPECT_EQ(RecordedPoints(lines[i]), RecordedPoints(saved[i]));
    }
    EXPECT_EQ(Saved(back), doc);
}

TEST_F(SketchDocuments, SavingCompactsJointsAndTheLinesFollowTheirJoints) {
    SketchDoll d;
    d.NewLine(0, 1)->AddPoint(fPoint2(320, 100));
    d.NewLine(4, 5)->AddPoint(fPoint2(300, 250));
    d.DeleteJoint(0);  // the head line goes with its joint
    std::string doc = Saved(d);
    EXPECT_NE(doc.find("\t\t\tattach 3 320.000000 232.000000\n"
                       "\t\t\tattach 4 270.000000 332.000000\n"),
              std::string::npos)
        << doc;
    EXPECT_EQ(LineNodesOf(doc).size(), 1u);
}

TEST_F(SketchDocuments, LinesOfJointsADamagedDocumentDoesNotHoldAreDroppedAndTheRestDraws) {
    SketchDoll d;
    d.NewLine(4, 5)->AddPoint(fPoint2(300, 250));
    d.NewLine(9, 10)->AddPoint(fPoint2(420, 200));
    std::string doc = Saved(d);
    // Hand-edit: only eight joints remain, so joints 9 and 10 are gone
    size_t from = doc.find("\tjoints 11 {\n");
    size_t to = doc.find("\t}\n", from);
    std::string joints = "\tjoints 8 {\n";
    for (int i = 0; i < 8; i++) joints += "\t\t" + std::to_string(100 + i * 10) + " 100\n";
    doc.replace(from, to - from, joints);
    SketchDoll back;
    Load(back, doc);
    EXPECT_EQ(back.GetNumJoints(), 8);
    auto lines = Lines2Of(back);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->joint[1], 5);
    EXPECT_EQ(SketchDollInvariantViolation(back), "");
}

TEST_F(SketchDocuments, LinesReadBeforeTheJointsAndBonesAreKept) {
    SketchDoll d;
    d.NewLine(9, 10)->AddPoint(fPoint2(420, 200));
    d.NewLine(4, 5)->AddPoint(fPoint2(300, 250));
    const std::string doc = Saved(d);
    // Hand-edit: the lines node first in the chunk (lines of slots no doll holds are
    // dropped all the same: see the line node tests)
    const std::string head = "chunk velko 1.0 anonymous {\n", tail = "\n\tlines {\n";
    size_t open = doc.find(head), from = doc.rfind(tail);
    ASSERT_NE(open, std::string::npos);
    ASSERT_TRUE(from != std::string::npos && EndsWith(doc, "\t}\n}\n"));
    std::string lines = doc.substr(from + 1, doc.size() - 2 - from - 1);  // "\tlines {" .. "\t}\n"
    std::string moved = doc.substr(0, from) + "\n}\n";
    moved.insert(open + head.size(), lines);

    SketchDoll back;
    Load(back, moved);
    EXPECT_EQ(back.GetNumJoints(), 11);
    EXPECT_EQ(back.CountBones(), 10);
    auto read = Lines2Of(back);
    ASSERT_EQ(read.size(), 2u) << moved;
    EXPECT_EQ(read[0]->joint[0], 4);
    EXPECT_EQ(read[1]->joint[0], 9);
    EXPECT_EQ(SketchDollInvariantViolation(back), "");
    EXPECT_EQ(Saved(back), doc);
}

// Random dolls: joints added and deleted (so saving compacts), bones toggled, lines with
// and without masks on random joint pairs, points on a 1/64 grid (exact in six decimals).
// Saved, loaded and saved again, a document reads back to the same bytes.
TEST_F(SketchDocuments, RandomDollsWithLinesSurviveSaveLoadSave) {
    std::mt19937 rng(20240611);
    auto grid = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo * 64, hi * 64)(rng) / 64.0f;
    };
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int round = 0; round < 60; round++) {
        SketchDoll d;
        for (int i = 0, n = pick(18); i < n; i++) d.AddJoint(fPoint2(grid(0, 800), grid(0, 480)));
        for (int i = 0, n = pick(4); i < n; i++) {
            int j = pick(kDollMaxJoints);
            if (d.GetIsValidJoint(j) && d.GetNumJoints() > 2) d.DeleteJoint(j);
        }
        std::vector<int> live;
        for (int j = 0; j < kDollMaxJoints; j++)
            if (d.GetIsValidJoint(j)) live.push_back(j);
        for (int i = 0, n = pick(20); i < n; i++)
            d.ToggleEdge(d.GetJoint(live[pick(live.size())]), d.GetJoint(live[pick(live.size())]));
        for (int i = 0, n = pick(12); i < n; i++) {
            SketchDollLine* l = d.NewLine(live[pick(live.size())], live[pick(live.size())]);
            l->SetIsMask(pick(3) == 0);
            for (int k = 0, m = pick(40); k < m; k++)
                l->AddPoint(fPoint2(grid(-50, 850), grid(-50, 530)));
        }
        int nlines = d.GetNumLines();

        std::string saved = Saved(d);
        SketchDoll once;
        Load(once, saved);

        EXPECT_EQ(once.GetNumLines(), nlines) << "round " << round;
        EXPECT_EQ(SketchDollInvariantViolation(once), "") << "round " << round;
        EXPECT_EQ(Saved(once), saved) << "round " << round;
        EXPECT_EQ(LineNodesOf(saved).size(), size_t(nlines));
    }
}

// Documents damaged at random: bytes replaced, lines cut out or repeated, numbers swapped for
// others. Whatever is read, the sketch doll stays consistent and every line can be drawn.
TEST_F(SketchDocuments, SketchDollsLoadedFromMangledDocumentsStayConsistent) {
    SketchDoll d;
    for (int i = 0; i < 6; i++) {
        static const int bones[][2] = {{4, 5}, {1, 2}, {9, 10}, {0, 1}, {5, 6}, {1, 4}};
        SketchDollLine* l = d.NewLine(bones[i][0], bones[i][1]);
        l->SetIsMask(i % 2);
        for (int k = 0; k < 5; k++) l->AddPoint(fPoint2(300 + 7 * k, 200 + 11 * i));
    }
    const std::string saved = Saved(d);
    static const char* const kWords[] = {"-1",  "31",         "32",     "11",   "1e38",
                                         "nan", "-2000000",   "attach", "mask", "line {",
                                         "}",   "points 9 {", "{"};
    std::mt19937 rng(99);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    for (int round = 0; round < 400; round++) {
        std::string doc = saved;
        for (int edit = 0, n = 1 + (int)pick(6); edit < n; edit++) {
            size_t at = doc.find('\n', pick(doc.size()));
            if (at == std::string::npos) continue;
            size_t next = doc.find('\n', at + 1);
            if (next == std::string::npos) next = doc.size();
            switch (pick(4)) {
                case 0:  // drop a line of text
                    doc.erase(at, next - at);
                    break;
                case 1:  // repeat it
                    doc.insert(at, doc.substr(at, next - at));
                    break;
                case 2: {  // a word of its own replaces the last element of the line
                    size_t space = doc.rfind(' ', next - 1);
                    if (space != std::string::npos && space > at)
                        doc.replace(space + 1, next - space - 1, kWords[pick(13)]);
                    break;
                }
                default:  // a raw byte
                    doc[pick(doc.size())] = (char)pick(256);
            }
        }
        SketchDoll back;
        tbfReaderAsciiFILE r(StreamOf(doc));
        back.ReadFromFile(&r);
        ASSERT_EQ(SketchDollInvariantViolation(back), "") << "round " << round << "\n" << doc;
        std::string again = Saved(back);
        ASSERT_EQ(SketchDollInvariantViolation(back), "") << "round " << round;
    }
}
