// Documents come from outside: whatever their bytes, loading leaves a consistent doll that
// saves, loads back the same, and moves without its numbers running away.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "DollDocuments.h"
#include "DollInvariants.h"
#include "TestDolls.h"

namespace {

const char kHeader[] = "tbff .1\n\n";
const char kChunk[] = "chunk velko 1.0 anonymous {\n";

std::string Chunk(const std::string& body) { return kHeader + std::string(kChunk) + body + "}\n"; }

struct Loaded {
    int joints = 0;
    int bones = 0;
    std::vector<int> poseJoints;
};

// Loads the bytes into a doll whatever their header says and checks everything a loaded doll
// promises; the test adds what it expects of the outcome
Loaded LoadHostile(const std::string& text) {
    Doll d;
    ForceLoadDoll(d, text);
    EXPECT_EQ(DollInvariantViolation(d), "") << "after loading";
    Loaded out;
    out.joints = d.GetNumJoints();
    out.bones = d.CountBones();
    for (int k = 0; k < d.GetNumPoses(); k++) out.poseJoints.push_back(d.GetPose(k)->njoints);

    const std::string saved = SaveDoll(d);
    Doll again;
    EXPECT_TRUE(LoadDoll(again, saved));
    EXPECT_EQ(DollInvariantViolation(again), "") << "after loading its save";
    EXPECT_EQ(SaveDoll(again), saved) << "saving is not stable";

    // The loaded doll moves, seeks each pose and stays finite
    for (int k = 0; k < d.GetNumPoses(); k++) {
        d.GoToPose(k, false);
        for (int t = 0; t < 5; t++) d.Update();
    }
    EXPECT_EQ(DollInvariantViolation(d), "") << "after moving";
    return out;
}

// A doll using every kind of content: 32 joints, bones in an order of their own, all eight
// poses filled, the icon named and moved
std::string FullDocument() {
    EmptyDoll d;
    for (int i = 0; i < kDollMaxJoints; i++)
        d.AddJoint(fPoint2(100 + 17.125f * (i % 8), 50 + 41.5f * (i / 8)));
    for (int i = 0; i + 1 < kDollMaxJoints; i++) d.ToggleEdge(&d.joints[i], &d.joints[i + 1]);
    for (int k = 0; k < Doll::kNumPoses; k++) {
        d.Translate(fPoint2(1.5f * k, -0.75f * k));
        d.poses[k].DollToPose(&d);
    }
    d.icon.SetIcon(BuiltInIcon("gears"));
    d.icon.SetBounds(fRect(600, 20, 650.5f, 70));
    const std::string doc = SaveDoll(d);
    EXPECT_NE(doc.find("\tdraworder 31 {"), std::string::npos);
    EXPECT_NE(doc.find("\t\tname gears\n"), std::string::npos);
    return doc;
}

}  // namespace

TEST(HostileDocuments, EmptyAndBlankStreamsLeaveAnEmptyDoll) {
    for (const std::string& text : std::vector<std::string>{
             "", "\n\n\n", " \t \n", std::string("\0\0\0", 3), "tbff .1\n", "tbff .1\n\n"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(LoadHostile(text).joints, 0);
    }
}

TEST(HostileDocuments, AWrongMagicOrVersionIsNotOpenedAndIsHarmlessWhenReadAnyway) {
    for (const char* header : {"tbfx .1\n", "TBFF .1\n", "tbff .2\n", "tbff 1.1\n", "tbff\n"}) {
        SCOPED_TRACE(header);
        const std::string text = header + std::string(kChunk) + "\tjoints 1 {\n\t\t1 2\n\t}\n}\n";
        Doll d;
        EXPECT_FALSE(LoadDoll(d, text));
        EXPECT_EQ(d.GetNumJoints(), 11);  // Open leaves the doll as it was
        LoadHostile(text);
    }
}

TEST(HostileDocuments, MissingBracesAreNeverClosedTwice) {
    // The chunk item opens no node: its "{" glued to the name, or missing
    EXPECT_EQ(LoadHostile("tbff .1\n\nchunk velko 1.0 anonymous{\n\tjoints 1 {\n\t\t1 2\n\t}\n}\n")
                  .joints,
              0);
    EXPECT_EQ(LoadHostile("tbff .1\n\nchunk velko\n\tjoints 1 {\n\t\t1 2\n\t}\n").joints, 0);
    // Inner items that open no node are passed over
    EXPECT_EQ(LoadHostile(Chunk("\tjoints 1\n\t\t1 2\n\tjoints 1 {\n\t\t3 4\n\t}\n")).joints, 1);
    Loaded posed = LoadHostile(Chunk(
        "\tjoints 1 {\n\t\t1 2\n\t}\n\tposes 8 {\n\t\tpose\n\t\tpose {\n\t\t\tjoints 1\n"
        "\t\t\t\t5 5\n\t\t}\n\t\tpose {\n\t\t\tjoints 1 {\n\t\t\t\t7 7\n\t\t\t}\n\t\t}\n\t}\n"));
    EXPECT_EQ(posed.joints, 1);
    EXPECT_EQ(posed.poseJoints, (std::vector<int>{0, 0, 1, 0, 0, 0, 0, 0}));
    // Nodes left open at the end of the stream, and closing lines with nothing to close
    EXPECT_EQ(
        LoadHostile(kHeader + std::string(kChunk) + "\tjoints 2 {\n\t\t1 2\n\t\t3 4\n").joints, 2);
    EXPECT_EQ(LoadHostile(Chunk("\tjoints 1 {\n\t\t1 2\n\t}\n") + "}\n}\n}\n").joints, 1);
    EXPECT_EQ(LoadHostile(std::string(kHeader) + "}\n}\n" + kChunk + "}\n").joints, 0);
}

TEST(HostileDocuments, AStreamEndingAnywhereInARealDocumentLoadsWhatCameBefore) {
    const std::string full = FullDocument();
    int lastJoints = 0;
    for (size_t cut = 0; cut <= full.size(); cut += 7) {
        SCOPED_TRACE(cut);
        const Loaded l = LoadHostile(full.substr(0, cut));
        EXPECT_GE(l.joints, lastJoints);  // a longer prefix never loads fewer joints
        lastJoints = l.joints;
    }
    EXPECT_EQ(lastJoints, 32);
    const Loaded whole = LoadHostile(full);
    EXPECT_EQ(whole.bones, 31);
    EXPECT_EQ(whole.poseJoints, std::vector<int>(8, 32));
}

TEST(HostileDocuments, LongLinesAreReadInPiecesWithoutHarm) {
    const std::string spaces(1500, ' ');
    const std::string digits(1100, '7');
    Loaded l =
        LoadHostile(Chunk("\tjoints 3 {\n\t\t" + spaces + "1 2\n\t\t" + digits + " 5\n\t\t1 " +
                          digits + "\n\t\t" + std::string(1021, 'x') + "3 4\n\t}\n"));
    // The spaces are a blank piece before "1 2"; a 1100-digit number is no number; the piece
    // "3 4" after two tabs and 1021 letters is a line of its own
    EXPECT_EQ(l.joints, 2);
}

TEST(HostileDocuments, NulBytesEndTheirLine) {
    std::string body = "\tjoints 3 {\n\t\t1 2";
    body += '\0';
    body += " 9 9 {\n\t\t3";
    body += '\0';
    body += "4\n\t\t5 6\n\t}\n";
    EXPECT_EQ(LoadHostile(Chunk(body)).joints, 2);  // "1 2", then "3" alone, then "5 6"
}

TEST(HostileDocuments, CarriageReturnLineEndsLoadLikeTheOriginal) {
    Doll d;
    std::string crlf;
    for (char c : SaveDoll(d)) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    Loaded l = LoadHostile(crlf);
    EXPECT_EQ(l.joints, 11);
    EXPECT_EQ(l.bones, 10);
}

TEST(HostileDocuments, BonesNamingFreeOrOutOfRangeJointsAreSkipped) {
    Loaded l = LoadHostile(
        Chunk("\tedges 3 {\n\t\t0 1\n\t}\n\tjoints 3 {\n\t\t0 0\n\t\t10 0\n\t\t0 10\n\t}\n"
              "\tedges -4 {\n\t\t0 3\n\t\t-1 0\n\t\t0 32\n\t\t2147483647 1\n\t\t99999999999 1\n"
              "\t\t-99999999999 1\n\t\t2 2\n\t\tx 1\n\t\t1\n\t\t1 2\n\t}\n"));
    EXPECT_EQ(l.joints, 3);
    EXPECT_EQ(l.bones, 1);  // only "1 2"; the first edges node came before any joint
}

TEST(HostileDocuments, JointLinesBeyondThirtyTwoAreDropped) {
    std::string body = "\tjoints 40 {\n";
    for (int i = 0; i < 40; i++) body += "\t\t" + std::to_string(i) + " 1\n";
    body += "\t}\n\tjoints 1 {\n\t\t5 5\n\t}\n";
    EXPECT_EQ(LoadHostile(Chunk(body)).joints, 32);
}

TEST(HostileDocuments, NumbersThatAreNoNumbersOrTooFarAwayAreNotLocations) {
    Loaded l = LoadHostile(
        Chunk("\tjoints 9 {\n\t\ta b\n\t\tnan nan\n\t\t1e39 5\n\t\t5 -inf\n\t\t2000000 0\n"
              "\t\t0 -1000001\n\t\t7\n\t\t1000000 -1000000\n\t\t-1e6 1e6\n\t}\n"));
    EXPECT_EQ(l.joints, 2);  // only the two lines at the edge of the range
}

TEST(HostileDocuments, JointsAtTheEdgeOfTheRangeMoveWithoutOverflow) {
    // Bones as long as the range allows, every joint tied to every other
    std::string body = "\tjoints 32 {\n";
    for (int i = 0; i < 32; i++)
        body += i % 2 ? "\t\t1000000 -1000000\n" : "\t\t-1000000 1000000\n";
    body += "\t}\n\tedges 496 {\n";
    for (int i = 0; i < 32; i++)
        for (int j = i + 1; j < 32; j++)
            body += "\t\t" + std::to_string(i) + " " + std::to_string(j) + "\n";
    body += "\t}\n";
    Doll d;
    ForceLoadDoll(d, Chunk(body));
    ASSERT_EQ(d.GetNumJoints(), 32);
    EXPECT_EQ(d.CountBones(), 16 * 16);  // pairs at one point have no length
    for (int t = 0; t < 200; t++) d.Update();
    EXPECT_EQ(DollInvariantViolation(d), "");
}

TEST(HostileDocuments, PosesWithTooManyLocationsOrBadCountsAreEmptied) {
    std::string locations;
    for (int i = 0; i < 40; i++) locations += "\t\t\t\t1 " + std::to_string(i) + "\n";
    const std::string twoJoints = "\tjoints 2 {\n\t\t0 0\n\t\t5 5\n\t}\n";
    Loaded l = LoadHostile(Chunk(
        twoJoints + "\tposes 8 {\n" + "\t\tpose {\n\t\t\tjoints 2 {\n" + locations +
        "\t\t\t}\n\t\t}\n" +  // 40 lines: 32 read
        "\t\tpose {\n\t\t\tjoints -3 {\n\t\t\t\t1 1\n\t\t\t\t2 2\n\t\t\t}\n\t\t}\n" +
        "\t\tpose {\n\t\t\tjoints 33 {\n\t\t\t\t1 1\n\t\t\t\t2 2\n\t\t\t}\n\t\t}\n" +
        "\t\tpose {\n\t\t\tjoints 99 {\n\t\t\t}\n\t\t}\n" +
        "\t\tpose {\n\t\t\tjoints 1 {\n\t\t\t\t1 1\n\t\t\t}\n\t\t\tjoints 1 {\n\t\t\t\t2 2\n"
        "\t\t\t}\n\t\t}\n" +  // two nodes fill two slots: it fits
        "\t\tpose {\n\t\t\tjoints 2 {\n\t\t\t\t1 1\n\t\t\t\tnan 2\n\t\t\t\t3 3\n\t\t\t}\n\t\t}\n" +
        "\t}\n"));
    EXPECT_EQ(l.poseJoints, (std::vector<int>{0, 0, 0, 0, 2, 0, 0, 0}));
}

TEST(HostileDocuments, OnlyEightPosesAreReadAndStrayItemsTakeASlot) {
    std::string poses = "\tposes 9 {\n\t\tstray item\n";
    for (int k = 0; k < 9; k++)
        poses +=
            "\t\tpose {\n\t\t\tjoints 1 {\n\t\t\t\t" + std::to_string(k) + " 1\n\t\t\t}\n\t\t}\n";
    poses += "\t}\n\tposes -1 {\n\t}\n";
    Loaded l = LoadHostile(Chunk("\tjoints 1 {\n\t\t0 0\n\t}\n" + poses));
    // The empty second poses node takes nothing away: no pose is read from it
    EXPECT_EQ(l.poseJoints, (std::vector<int>{0, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(HostileDocuments, DeeplyNestedUnknownNodesAreSkippedWithoutRecursion) {
    const int depth = 200000;
    std::string nested;
    for (int i = 0; i < depth; i++) nested += "x {\n";
    nested += "1 2\n";
    for (int i = 0; i < depth; i++) nested += "}\n";
    // In the chunk, inside the joints node and inside a pose node
    Loaded l =
        LoadHostile(std::string(kHeader) + kChunk + nested + "\tjoints 1 {\n" + nested +
                    "\t\t4 4\n\t}\n\tposes 8 {\n\t\tpose {\n" + nested + "\t\t\tjoints 1 {\n" +
                    nested + "\t\t\t\t1 1\n\t\t\t}\n" + "\t\t}\n\t}\n}\n");
    EXPECT_EQ(l.joints, 1);
    EXPECT_EQ(l.poseJoints[0], 0);  // its joints node met the nested node first and stopped
    // Before the chunk, it is the item the doll finds instead of the chunk
    EXPECT_EQ(
        LoadHostile(std::string(kHeader) + nested + kChunk + "\tjoints 1 {\n\t\t4 4\n\t}\n}\n")
            .joints,
        0);
}

TEST(HostileDocuments, IconItemsTheDollCannotUseLeaveTheDefaultIcon) {
    const fRect corner(10, 420, 60, 470);
    Doll fresh;
    std::string body = SaveDoll(fresh);
    body.erase(body.size() - 2);  // the chunk's closing line
    for (const char* items :
         {"name unknown\n\t\tbounds 10 20 30\n",
          "name\n\t\tname skull.gicon\n\t\tbounds nan 0 50 50\n",
          "name {\n\t\t}\n\t\tbounds 0 0 inf 50\n", "bounds 2000000 0 2000050 50\n",
          "bounds 50 0 0 50\n", "bounds 0 50 50 0\n", "bounds 0 0 0 50\n", "bounds 0 0 500.5 50\n",
          "bounds -1e6 -1e6 1e6 1e6\n"}) {
        SCOPED_TRACE(items);
        Doll d;
        d.SetDefaultIcon(BuiltInIcon("heart"), corner);
        d.icon.SetIcon(BuiltInIcon("skull"));
        ForceLoadDoll(d, body + "\ticon {\n\t\t" + items + "\t}\n}\n");
        EXPECT_EQ(DollInvariantViolation(d), "");
        EXPECT_EQ(d.GetNumJoints(), 11);
        EXPECT_EQ(d.icon.GetIcon(), BuiltInIcon("heart"));
        EXPECT_EQ(d.icon.GetBounds().left, corner.left);
        EXPECT_EQ(d.icon.GetBounds().bottom, corner.bottom);
    }
    // Each line counts on its own; the largest icon allowed, at the edge of the range
    Doll d;
    ForceLoadDoll(d, body +
                         "\ticon {\n\t\tname zzz\n\t\tbounds 0 0 600 50\n"
                         "\t\tbounds -1000000 999500 -999500 1000000\n\t}\n}\n");
    EXPECT_EQ(d.icon.GetIcon(), BuiltInIcon("zzz"));
    EXPECT_EQ(d.icon.GetBounds().left, -1e6f);
    EXPECT_EQ(d.icon.GetBounds().GetHeight(), Doll::kMaxIconExtent);
}

TEST(HostileDocuments, DrawOrderEntriesNamingNoBoneOrRepeatedAreIgnored) {
    Doll fresh;
    const std::string doc = SaveDoll(fresh);
    // Before the joints: applied once the bones are known
    std::string text = doc;
    text.insert(text.find("\tjoints"),
                "\tdraworder 99 {\n\t\t2 3\n\t\t3 2\n\t\t0 2\n\t\t-1 4\n\t\t9 32\n"
                "\t\t5 5\n\t\tx 1\n\t\t1\n\t\t2 3\n\t\t0 1\n\t\tnested {\n\t\t\t1 4\n"
                "\t\t}\n\t}\n");
    Doll d;
    ForceLoadDoll(d, text);
    EXPECT_EQ(DollInvariantViolation(d), "");
    // The two it names last, in its order; the others keep the order they load with
    Bones expected = DrawOrder(fresh);
    expected.erase(std::find(expected.begin(), expected.end(), std::pair<int, int>{2, 3}));
    expected.erase(std::find(expected.begin(), expected.end(), std::pair<int, int>{0, 1}));
    expected.insert(expected.end(), {{2, 3}, {0, 1}});
    EXPECT_EQ(DrawOrder(d), expected);

    // Every pair of 32 joints listed backwards, then each of them again: all 496 bones
    // drawn in that order, the repeats change nothing
    std::string body = "\tjoints 32 {\n";
    for (int i = 0; i < 32; i++)
        body += "\t\t" + std::to_string(i) + " " + std::to_string(i * i) + "\n";
    body += "\t}\n\tedges 496 {\n";
    std::string pairs;
    Bones backwards;
    for (int i = 31; i >= 0; i--)
        for (int j = 31; j > i; j--) {
            pairs += "\t\t" + std::to_string(i) + " " + std::to_string(j) + "\n";
            backwards.push_back({i, j});
        }
    body += pairs + "\t}\n\tdraworder 992 {\n" + pairs + pairs + "\t}\n";
    Doll all;
    ForceLoadDoll(all, Chunk(body));
    EXPECT_EQ(DollInvariantViolation(all), "");
    EXPECT_EQ(DrawOrder(all), backwards);
}

TEST(HostileDocuments, RandomDamageToARealDocumentNeverHurts) {
    const std::string full = FullDocument();
    std::mt19937 rng(20240611);
    const char kBytes[] = "{} \t\n\r0123456789.-ex\0";
    for (int round = 0; round < 300; round++) {
        std::string text = full;
        const int edits = 1 + (int)(rng() % 8);
        for (int e = 0; e < edits; e++) {
            const size_t at = rng() % text.size();
            const char c = kBytes[rng() % (sizeof kBytes - 1)];
            switch (rng() % 3) {
                case 0:
                    text[at] = c;
                    break;
                case 1:
                    text.insert(text.begin() + at, c);
                    break;
                default:
                    text.erase(at, 1 + rng() % 40);
                    break;
            }
        }
        SCOPED_TRACE(round);
        LoadHostile(text);
        if (HasFailure()) {
            ADD_FAILURE() << "document:\n" << text;
            break;
        }
    }
}
