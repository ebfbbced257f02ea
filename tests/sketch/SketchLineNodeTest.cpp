// The "lines" node: how each line writes itself and how the reader rebuilds lines from
// well-formed, reordered, short and damaged nodes.
#include <gtest/gtest.h>

#include "SketchDocuments.h"
#include "SketchInvariants.h"
#include "fTime.h"

namespace {

class LineNodes : public ::testing::Test {
protected:
    void SetUp() override { SetTestSeconds(10); }
    void TearDown() override { ClearTestSeconds(); }
    SketchDoll doll;  // default skeleton: joints 0 .. 10
};

const char kThighLine[] =
    "line {\n"
    "\tattach 4 320.000000 232.000000\n"
    "\tattach 5 270.000000 332.000000\n"
    "\tpoints 3 {\n"
    "\t\t300.000000 250.000000\n"
    "\t\t296.500000 258.250000\n"
    "\t\t291.000000 270.000000\n"
    "\t}\n"
    "}\n";

std::string LinesNode(const std::string& inner) { return "lines {\n" + inner + "}\n"; }

}  // namespace

TEST_F(LineNodes, ALineWritesItsAttachesMaskAndRecordedPoints) {
    SketchDollLine* l = doll.NewLine(1, 2);
    l->AddPoint(fPoint2(300, 140));
    l->AddPoint(fPoint2(250, 170));
    doll.Translate(fPoint2(5, 5));  // the pose now differs from the one of binding
    std::string plain = WrittenBy([&](tbfWriter& w) { l->WriteToFile(&w); });
    EXPECT_EQ(plain,
              "tbff .1\n"
              "\n"
              "line {\n"
              "\tattach 1 320.000000 132.000000\n"
              "\tattach 2 220.000000 182.000000\n"
              "\tpoints 2 {\n"
              "\t\t300.000000 140.000000\n"
              "\t\t250.000000 170.000000\n"
              "\t}\n"
              "}\n");
    l->SetIsMask(true);
    std::string mask = WrittenBy([&](tbfWriter& w) { l->WriteToFile(&w); });
    EXPECT_NE(mask.find("\tattach 2 220.000000 182.000000\n\tmask\n\tpoints 2 {\n"),
              std::string::npos)
        << mask;
}

TEST_F(LineNodes, ALineNodeIsReadWithItsBindingPointsAndMask) {
    ReadBodyNodes(doll, LinesNode(kThighLine));
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 1u);
    SketchDollLine2* l = lines[0];
    EXPECT_EQ(l->joint[0], 4);
    EXPECT_EQ(l->joint[1], 5);
    EXPECT_EQ(l->jointLoc[0], fPoint2(320, 232));
    EXPECT_EQ(l->jointLoc[1], fPoint2(270, 332));
    EXPECT_FLOAT_EQ(l->jointRotate, atan2f(100, -50));
    EXPECT_EQ(RecordedPoints(l), (std::vector<fPoint2>{{300, 250}, {296.5f, 258.25f}, {291, 270}}));
    EXPECT_FALSE(l->GetIsMask());
    EXPECT_EQ(l->thickness, 2);
    EXPECT_FLOAT_EQ(l->color.r, 0.5f);
    EXPECT_FLOAT_EQ(l->createTime, 10);
}

TEST_F(LineNodes, ItemsInAnyOrderReadTheSame) {
    ReadBodyNodes(doll, LinesNode("line {\n"
                                  "\tpoints 7 {\n"  // the count is not used
                                  "\t\t300 250\n"
                                  "\t\t296.5 258.25\n"
                                  "\t\t291 270\n"
                                  "\t}\n"
                                  "\tattach 4 320 232\n"
                                  "\tcolour red\n"
                                  "\tattach 5 270 332\n"
                                  "\tmask\n"
                                  "}\n"));
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0]->GetIsMask());
    EXPECT_EQ(lines[0]->joint[0], 4);
    EXPECT_EQ(lines[0]->joint[1], 5);
    EXPECT_EQ(lines[0]->GetNPoints(), 3);
    EXPECT_EQ(*lines[0]->GetPoint(2), fPoint2(291, 270));
}

TEST_F(LineNodes, ALineNeedsTwoAttachesAndIgnoresAThird) {
    ReadBodyNodes(doll, LinesNode("line {\n"
                                  "\tattach 4 320 232\n"
                                  "\tpoints 1 {\n\t\t1 2\n\t}\n"
                                  "}\n"
                                  "line {\n"
                                  "\tattach 4 320 232\n"
                                  "\tattach 5\n"  // too short to accept
                                  "}\n"
                                  "line {\n"
                                  "\tattach 1 320 132\n"
                                  "\tattach 2 220 182\n"
                                  "\tattach 4 320 232\n"
                                  "}\n"
                                  "line\n"));  // opens no node
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->joint[0], 1);
    EXPECT_EQ(lines[0]->joint[1], 2);
    EXPECT_EQ(lines[0]->jointLoc[1], fPoint2(220, 182));
}

TEST_F(LineNodes, AShortPointItemEndsThePointsAndTheRestOfTheLineStillCounts) {
    ReadBodyNodes(doll, LinesNode("line {\n"
                                  "\tattach 4 320 232\n"
                                  "\tattach 5 270 332\n"
                                  "\tpoints 4 {\n"
                                  "\t\t1 2\n"
                                  "\t\t3\n"
                                  "\t\t5 6\n"
                                  "\t\tnested {\n\t\t\t7 8\n\t\t}\n"
                                  "\t}\n"
                                  "\tmask\n"
                                  "}\n"
                                  "line {\n"
                                  "\tattach 4 320 232\n"
                                  "\tattach 5 270 332\n"
                                  "}\n"));
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 2u);
    // The second line of the file has no points and is kept all the same
    EXPECT_EQ(RecordedPoints(lines[0]), (std::vector<fPoint2>{{1, 2}}));
    EXPECT_TRUE(lines[0]->GetIsMask());
    EXPECT_EQ(lines[1]->GetNPoints(), 0);
    // A line without points, or with one, draws nothing visible and fails nothing
    for (SketchDollLine2* l : lines) EXPECT_TRUE(l->GetNPoints() == 0 || l->RunFilter());
}

TEST_F(LineNodes, LinesAreAppendedInFileOrderAfterTheLinesTheDollHolds) {
    doll.NewLine(1, 2)->AddPoint(fPoint2(-1, 0));
    auto node = [](int from, int to) {
        std::string body;
        for (int i = from; i < to; i++)
            body += "line {\n\tattach 4 320 232\n\tattach 5 270 332\n\tpoints 1 {\n\t\t" +
                    std::to_string(i) + " 0\n\t}\n}\n";
        return LinesNode(body);
    };
    ReadBodyNodes(doll, node(0, 3) + node(3, 5));  // two nodes: the second goes on after
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 6u);
    for (int i = 0; i < 6; i++) EXPECT_EQ(lines[i]->GetPoint(0)->x, i - 1);
    EXPECT_EQ(SketchDollInvariantViolation(doll), "");
    // A line made afterwards still goes to the head
    doll.NewLine(4, 5);
    EXPECT_EQ(doll.GetNumLines(), 7);
    EXPECT_EQ(SketchDollInvariantViolation(doll), "");
}

TEST_F(LineNodes, LinesNamingJointsTheDollDoesNotHaveAreDroppedOnLoad) {
    // The joints come after the lines: only slots 0 .. 5
    tbfReaderAsciiFILE r(StreamOf("tbff .1\nchunk velko 1.0 anonymous {\n" +
                                  LinesNode("line {\n\tattach 4 320 232\n\tattach 7 0 0\n}\n"
                                            "line {\n\tattach 40 0 0\n\tattach 5 0 0\n}\n"
                                            "line {\n\tattach -1 0 0\n\tattach 5 0 0\n}\n"
                                            "line {\n\tattach 4 0 0\n\tattach 11 0 0\n}\n"
                                            "line {\n\tattach 2147483647 0 0\n\tattach 5 0 0\n}\n"
                                            "line {\n\tattach 4 0 0\n\tattach 5 0 0\n"
                                            "\tpoints 1 {\n\t\t1 1\n\t}\n}\n") +
                                  "joints 6 {\n0 0\n0 10\n0 20\n0 30\n0 40\n0 50\n}\n}\n"));
    ASSERT_TRUE(r.GetIsFileReadable());
    doll.ReadFromFile(&r);
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->joint[0], 4);
    EXPECT_EQ(lines[0]->joint[1], 5);
    EXPECT_EQ(SketchDollInvariantViolation(doll), "");
}

TEST_F(LineNodes, CoordinatesBeyondTheDocumentRangeAreNotRead) {
    ReadBodyNodes(doll, LinesNode("line {\n"
                                  "\tattach 4 2000000 232\n"  // not accepted: a third follows
                                  "\tattach 4 320 232\n"
                                  "\tattach 5 270 -1e38\n"
                                  "\tattach 5 270 332\n"
                                  "\tpoints 3 {\n\t\t1 2\n\t\t3 -1000001\n\t\t5 6\n\t}\n"
                                  "}\n"));
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->jointLoc[0], fPoint2(320, 232));
    EXPECT_EQ(lines[0]->jointLoc[1], fPoint2(270, 332));
    EXPECT_EQ(RecordedPoints(lines[0]), (std::vector<fPoint2>{{1, 2}}));
}

TEST_F(LineNodes, OtherNodesAndAnUnopenedLinesItemAreLeftToTheDoll) {
    ReadBodyNodes(doll,
                  "lines\n"
                  "strokes {\n" +
                      std::string(kThighLine) +
                      "}\n"
                      "lines {\n\tjunk 1 2\n\tpage {\n\t\tline {\n\t\t}\n\t}\n" +
                      kThighLine + "}\n");
    auto lines = Lines2Of(doll);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->GetNPoints(), 3);
    EXPECT_EQ(doll.GetNumJoints(), 11);
}

TEST_F(LineNodes, PointsAreKeptToSixDecimals) {
    SketchDollLine* l = doll.NewLine(4, 5);
    l->AddPoint(fPoint2(300.1234567f, 0.0000004f));
    std::string text = WrittenBy([&](tbfWriter& w) {
        w.WriteAndOpenNode("lines");
        l->WriteToFile(&w);
        w.CloseNode();
    });
    EXPECT_NE(text.find("\t\t\t300.123444 0.000000\n"), std::string::npos) << text;
    SketchDoll back;
    ReadBodyNodes(back, text.substr(text.find('\n') + 1));
    ASSERT_EQ(back.GetNumLines(), 1);
    EXPECT_EQ(*back.GetFirstLine()->GetPoint(0), fPoint2(300.123444f, 0));
}
