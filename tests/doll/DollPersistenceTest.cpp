// The doll's documents: the exact bytes a save writes, what a load rebuilds, and the hooks
// a derived doll writes and reads its own nodes through.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DollDocuments.h"
#include "DollInvariants.h"
#include "TestDolls.h"

namespace {

// What Save As writes for a new doll, byte for byte
const char kNewDollDocument[] =
    "tbff .1\n"
    "\n"
    "chunk velko 1.0 anonymous {\n"
    "\n"
    "\tjoints 11 {\n"
    "\t\t320.000000 65.333328\n"
    "\t\t320.000000 132.000000\n"
    "\t\t220.000000 182.000000\n"
    "\t\t220.000000 282.000000\n"
    "\t\t320.000000 232.000000\n"
    "\t\t270.000000 332.000000\n"
    "\t\t270.000000 432.000000\n"
    "\t\t370.000000 332.000000\n"
    "\t\t370.000000 432.000000\n"
    "\t\t420.000000 182.000000\n"
    "\t\t420.000000 282.000000\n"
    "\t}\n"
    "\n"
    "\tedges 10 {\n"
    "\t\t0 1\n"
    "\t\t1 2\n"
    "\t\t1 4\n"
    "\t\t1 9\n"
    "\t\t2 3\n"
    "\t\t4 5\n"
    "\t\t4 7\n"
    "\t\t5 6\n"
    "\t\t7 8\n"
    "\t\t9 10\n"
    "\t}\n"
    "\n"
    "\tposes 8 {\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n\n"
    "\t\tpose {\n\t\t\tjoints 0 {\n\t\t\t}\n\t\t}\n"
    "\t}\n"
    "}\n";

// The non-blank lines, without their tabs, between the first line opening a node with the
// item `opening` and that node's closing line
std::vector<std::string> NodeLines(const std::string& doc, const std::string& opening) {
    std::vector<std::string> lines;
    std::istringstream in(doc);
    std::string line, closing;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!inside && line.find(opening + " {") != std::string::npos &&
            line.find_first_not_of('\t') == line.find(opening)) {
            inside = true;
            closing = line.substr(0, line.find(opening)) + "}";
        } else if (inside && line == closing) {
            break;
        } else if (inside && !line.empty()) {
            lines.push_back(line.substr(line.find_first_not_of('\t')));
        }
    }
    return lines;
}

// Where the editor puts a new doll's icon, which it declares as the default
const fRect kCorner(10, 420, 60, 470);

void PlaceIconAsTheEditorDoes(Doll& d) {
    d.SetDefaultIcon(BuiltInIcon("heart"), kCorner);
    d.icon.SetIcon(BuiltInIcon("heart"));
    d.icon.SetBounds(kCorner);
}

Bones BonesOf(const Doll& d) {
    Bones b;
    for (int i = 0; i < kDollMaxJoints; i++)
        for (int j = i + 1; j < kDollMaxJoints; j++)
            if (d.GetIsValidJoint(i) && d.GetIsValidJoint(j) && d.edges[i][j] > 0)
                b.push_back({i, j});
    return b;
}

// Records the doll chunk's child nodes it is handed, and adds a node of its own after the
// doll's, as the sketch doll does with its lines
struct NodeRecordingDoll : Doll {
    std::vector<std::string> nodesSeen;
    std::vector<std::string> extraItems;

    void WriteNodesToFile(tbfWriter* f) override {
        Doll::WriteNodesToFile(f);
        f->WriteAndOpenNode("extra");
        f->Write("seven 7");
        f->CloseNode();
    }
    void ReadNodeFromFile(tbfReader* f) override {
        nodesSeen.push_back(f->GetItemAsString(0));
        if (f->CompareItem(0, "extra") && f->OpenNode()) {
            while (f->Read()) extraItems.push_back(f->GetItemAsString(0));
            f->CloseNode();
            return;
        }
        Doll::ReadNodeFromFile(f);
    }
};

}  // namespace

TEST(SavingADoll, ANewDollIsWrittenJointByJointBoneByBoneWithEightEmptyPoses) {
    Doll d;
    EXPECT_EQ(SaveDoll(d), kNewDollDocument);
}

TEST(SavingADoll, TheIconAndTheDrawOrderAreWrittenLastAndOnlyAwayFromTheirDefaults) {
    Doll d;
    PlaceIconAsTheEditorDoes(d);
    EXPECT_EQ(SaveDoll(d), kNewDollDocument);

    d.icon.SetIcon(BuiltInIcon("skull"));
    d.icon.TranslateForDrag(fPoint2(100.5f, -200));
    d.MoveEdgeBackwards(9, 10);
    const std::string doc = SaveDoll(d);
    const std::string body(kNewDollDocument, sizeof kNewDollDocument - 3);  // without "}\n"
    EXPECT_EQ(doc.substr(0, body.size()), body);
    EXPECT_EQ(doc.substr(body.size()),
              "\n\ticon {\n\t\tname skull\n"
              "\t\tbounds 110.500000 220.000000 160.500000 270.000000\n\t}\n"
              "\n\tdraworder 10 {\n\t\t1 4\n\t\t7 8\n\t\t5 6\n\t\t4 7\n\t\t4 5\n\t\t1 9\n"
              "\t\t1 2\n\t\t9 10\n\t\t0 1\n\t\t2 3\n\t}\n}\n");

    // Neither once both are back at their defaults
    d.MoveEdgeForwards(9, 10);
    d.icon.SetIcon(BuiltInIcon("heart"));
    d.icon.SetBounds(kCorner);
    EXPECT_EQ(SaveDoll(d), kNewDollDocument);
}

TEST(SavingADoll, ADollWithADeletedJointIsWrittenWithCompactedIndices) {
    Doll d;
    d.DeleteJoint(0);  // the head, with its bone to the breast
    d.poses[3].DollToPose(&d);
    d.joints[10].SetLoc(fPoint2(500.25f, 99.5f));  // the right hand, slot 9 once compacted
    d.poses[5].DollToPose(&d);
    const std::string doc = SaveDoll(d);

    EXPECT_EQ(NodeLines(doc, "joints 10").size(), 10u);
    EXPECT_EQ(NodeLines(doc, "joints 10")[0], "320.000000 132.000000");
    EXPECT_EQ(
        NodeLines(doc, "edges 9"),
        (std::vector<std::string>{"0 1", "0 3", "0 8", "1 2", "3 4", "3 6", "4 5", "6 7", "8 9"}));
    // Poses 3 and 5 hold ten locations in the new order; the others are empty
    std::vector<std::string> poseCounts;
    for (const std::string& line : NodeLines(doc, "poses 8"))
        if (line.rfind("joints ", 0) == 0) poseCounts.push_back(line);
    EXPECT_EQ(poseCounts,
              (std::vector<std::string>{"joints 0 {", "joints 0 {", "joints 0 {", "joints 10 {",
                                        "joints 0 {", "joints 10 {", "joints 0 {", "joints 0 {"}));
    EXPECT_NE(
        doc.find("\t\t\t\t420.000000 282.000000\n\t\t\t}\n\t\t}\n\n\t\tpose {\n\t\t\tjoints 0"),
        std::string::npos);
    EXPECT_NE(doc.find("\t\t\t\t500.250000 99.500000\n\t\t\t}"), std::string::npos);

    // The doll itself was renumbered
    for (int i = 0; i < 10; i++) EXPECT_TRUE(d.GetIsValidJoint(i));
    EXPECT_FALSE(d.GetIsValidJoint(10));
    EXPECT_EQ(d.GetJoint(0)->GetName(), 1);
}

TEST(SavingADoll, TheBoneCountIsAlwaysTheNumberOfBoneLinesWritten) {
    // Joints 0 and 1 share a point: their bone exists but has no length, so no line
    EmptyDoll d({{10, 10}, {10, 10}, {40, 50}});
    ASSERT_TRUE(d.ToggleEdge(d.GetJoint(0), d.GetJoint(1)));
    ASSERT_TRUE(d.ToggleEdge(d.GetJoint(1), d.GetJoint(2)));
    ASSERT_EQ(d.nedges, 2);
    std::string doc = SaveDoll(d);
    EXPECT_NE(doc.find("\tedges 1 {\n\t\t1 2\n\t}\n"), std::string::npos) << doc;

    // A joint deleted with its bones takes them out of the count too
    Doll full;
    full.DeleteJoint(1);  // the breast: four bones go with it
    doc = SaveDoll(full);
    EXPECT_EQ(NodeLines(doc, "edges 6").size(), 6u) << doc;
}

TEST(SavingADoll, EveryJointAndPoseSlotReloadsWhateverItsLocation) {
    // A joint the reader refused would be dropped and every later index would shift under
    // the bones and the poses, so the written locations are brought within the range
    const float kMax = Doll::kMaxDocumentCoordinate;
    Doll d;
    d.UserDeformJoint(d.GetJoint(3), fPoint2(4e30f, 0));  // a drag keeps it in range
    d.poses[0].DollToPose(&d);
    d.poses[1].DollToPose(&d);
    d.joints[6].loc = fPoint2(NAN, -1e20f);  // set behind motion's back
    d.poses[1].joints[2] = fPoint2(INFINITY, NAN);
    const std::string doc = SaveDoll(d);

    Doll reloaded;
    ASSERT_TRUE(LoadDoll(reloaded, doc)) << doc;
    EXPECT_EQ(DollInvariantViolation(reloaded), "");
    EXPECT_EQ(reloaded.GetNumJoints(), 11);
    EXPECT_EQ(reloaded.CountBones(), 10);
    EXPECT_EQ(reloaded.GetJoint(3)->loc, fPoint2(kMax, d.GetJoint(3)->loc.y));
    EXPECT_EQ(reloaded.GetJoint(6)->loc, fPoint2(0, -kMax));
    for (int k = 0; k < 2; k++) EXPECT_EQ(reloaded.poses[k].GetNumJoints(), 11) << k;
    EXPECT_EQ(reloaded.poses[1].GetJointLoc(2), fPoint2(kMax, 0));
}

TEST(SavingADollDeathTest, APoseWhoseFirstSlotsAreNotAllMarkedStops) {
    DollPose p;
    p.njoints = 2;
    p.jointAllocTable[0] = true;  // slot 1 unmarked
    char* bytes = nullptr;
    size_t size = 0;
    EXPECT_DEATH(
        {
            tbfWriterAsciiFILE w(open_memstream(&bytes, &size));
            p.Write(&w);
        },
        "jointAllocTable\\[i\\]");
    free(bytes);
}

TEST(LoadingADoll, ANewDollsDocumentGivesElevenJointsTenBonesAndNoRoles) {
    EmptyDoll d({{1, 1}, {2, 2}, {3, 3}});
    ASSERT_TRUE(LoadDoll(d, kNewDollDocument));
    EXPECT_EQ(DollInvariantViolation(d), "");
    Doll fresh;
    EXPECT_EQ(d.GetNumJoints(), 11);
    for (int i = 0; i < 11; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(d.GetJoint(i)->loc, fresh.GetJoint(i)->loc);
        EXPECT_EQ(d.GetJoint(i)->GetName(), -1);
    }
    EXPECT_EQ(BonesOf(d), BonesOf(fresh));
    EXPECT_EQ(d.nedges, 10);
    EXPECT_FLOAT_EQ(d.edges[1][4], 100);  // rest lengths measured from the loaded joints
    for (int k = 0; k < d.GetNumPoses(); k++) EXPECT_EQ(d.GetPose(k)->GetNumJoints(), 0);
    for (int name = 0; name <= 10; name++) EXPECT_EQ(d.GetJointByName(name), nullptr);
    // The loaded posture is the home pose
    EXPECT_EQ(d.homePose.GetNumJoints(), 11);
    EXPECT_EQ(d.homePose.GetJointLoc(6), fresh.GetJoint(6)->loc);
    // and saving it again gives the same document
    EXPECT_EQ(SaveDoll(d), kNewDollDocument);
}

TEST(LoadingADoll, ADocumentWithoutIconOrDrawOrderLoadsTheSameWhateverDollWasThere) {
    // Twelve joints: the new doll's bones, and two more to the twelfth
    Doll twelve;
    twelve.AddJoint(fPoint2(100, 100));
    twelve.ToggleEdge(twelve.GetJoint(0), twelve.GetJoint(11));
    twelve.ToggleEdge(twelve.GetJoint(3), twelve.GetJoint(11));
    const std::string extra = SaveDoll(twelve);
    ASSERT_NE(extra.find("\t\t0 11\n"), std::string::npos);
    ASSERT_EQ(extra.find("draworder"), std::string::npos);
    const Bones newOrder = DrawOrder(Doll());
    Bones extraOrder = {{3, 11}, {0, 11}};  // each bone not a new doll's put in front
    extraOrder.insert(extraOrder.end(), newOrder.begin(), newOrder.end());

    for (const std::string& doc : {std::string(kNewDollDocument), extra}) {
        Doll a, b;
        PlaceIconAsTheEditorDoes(a);
        PlaceIconAsTheEditorDoes(b);
        // b is far from new: icon changed and moved, bones reordered, broken and made
        b.icon.SetIcon(BuiltInIcon("zzz"));
        b.icon.TranslateForDrag(fPoint2(30, -40));
        b.MoveEdgeForwards(1, 4);
        b.MoveEdgeBackwards(2, 3);
        b.ToggleEdge(b.GetJoint(0), b.GetJoint(1));
        b.ToggleEdge(b.GetJoint(0), b.GetJoint(1));
        b.ToggleEdge(b.GetJoint(3), b.GetJoint(8));
        ASSERT_TRUE(LoadDoll(a, doc));
        ASSERT_TRUE(LoadDoll(b, doc));
        EXPECT_EQ(DollInvariantViolation(b), "");
        EXPECT_EQ(DrawOrder(a), doc == extra ? extraOrder : newOrder);
        EXPECT_EQ(DrawOrder(b), DrawOrder(a));
        EXPECT_EQ(b.icon.GetIcon(), BuiltInIcon("heart"));
        EXPECT_EQ(b.icon.GetBounds().left, kCorner.left);
        EXPECT_EQ(b.icon.GetBounds().bottom, kCorner.bottom);
        EXPECT_EQ(SaveDoll(b), doc);
    }
}

TEST(LoadingADoll, ADocumentWithoutBonesStillMakesItsPostureTheHomePose) {
    // Joints only: the home pose must hold the last joint where the document puts it, not
    // where its slot was before the location was read
    EmptyDoll d({{1, 1}});
    ASSERT_TRUE(LoadDoll(d,
                         "tbff .1\nchunk velko 1.0 anonymous {\n\tjoints 2 {\n"
                         "\t\t10.000000 20.000000\n\t\t30.000000 40.000000\n\t}\n}\n"));
    ASSERT_EQ(d.homePose.GetNumJoints(), 2);
    EXPECT_EQ(d.homePose.GetJointLoc(0), fPoint2(10, 20));
    EXPECT_EQ(d.homePose.GetJointLoc(1), fPoint2(30, 40));
}

TEST(LoadingADoll, ReplacesEverythingTheDollHeldBefore) {
    Doll d;
    d.poses[1].DollToPose(&d);
    d.SetEditPose(1);
    d.GoToPose(1, true);
    d.joints[4].SetLock(true);
    const std::string doc =
        "tbff .1\n\nchunk velko 1.0 anonymous {\n\n\tjoints 2 {\n\t\t5 6\n\t\t7 8\n\t}\n}\n";
    ASSERT_TRUE(LoadDoll(d, doc));
    EXPECT_EQ(DollInvariantViolation(d), "");
    EXPECT_EQ(d.GetNumJoints(), 2);
    EXPECT_EQ(d.GetJoint(1)->loc, fPoint2(7, 8));
    EXPECT_FALSE(d.GetJoint(1)->GetLock());
    EXPECT_EQ(d.nedges, 0);
    EXPECT_EQ(d.CountBones(), 0);
    EXPECT_EQ(d.seekPose, nullptr);
    EXPECT_EQ(d.editPose, nullptr);
    EXPECT_EQ(d.editPoseAfterSeek, nullptr);
    EXPECT_EQ(d.GetPose(1)->GetNumJoints(), 0);
}

TEST(LoadingADoll, APoseIsKeptForASkeletonOfItsSizeAndEmptiedForAnother) {
    Doll d;
    d.Translate(fPoint2(3.5f, -2.25f));
    d.poses[6].DollToPose(&d);
    d.Translate(fPoint2(-3.5f, 2.25f));
    const std::string doc = SaveDoll(d);

    Doll same;
    ASSERT_TRUE(LoadDoll(same, doc));
    EXPECT_EQ(DollInvariantViolation(same), "");
    ASSERT_EQ(same.GetPose(6)->GetNumJoints(), 11);
    for (int i = 0; i < 11; i++) EXPECT_EQ(same.GetPose(6)->GetJointLoc(i), d.poses[6].joints[i]);
    EXPECT_FALSE(same.GetPose(6)->boundingBoxEmpty);
    EXPECT_FLOAT_EQ(same.GetPose(6)->GetBoundingBox().left, 223.5f);
    // Moving into the loaded pose works: the pose fits the loaded skeleton
    same.GoToPose(6, false);
    for (int t = 0; t < 300 && same.seekPose; t++) same.Update();
    EXPECT_EQ(same.seekPose, nullptr);

    // One joint line more and the pose no longer fits
    std::string bigger = doc;
    bigger.insert(bigger.find("\t}\n"), "\t\t1.000000 2.000000\n");
    Doll other;
    ASSERT_TRUE(LoadDoll(other, bigger));
    EXPECT_EQ(DollInvariantViolation(other), "");
    EXPECT_EQ(other.GetNumJoints(), 12);
    EXPECT_EQ(other.GetPose(6)->GetNumJoints(), 0);
    EXPECT_TRUE(other.GetPose(6)->boundingBoxEmpty);
}

TEST(LoadingADoll, APoseOfThirtyTwoLocationsLoadsAllOfThem) {
    EmptyDoll d;
    for (int i = 0; i < kDollMaxJoints; i++) d.AddJoint(fPoint2(10.0f * i, 500.0f - i));
    d.poses[7].DollToPose(&d);
    Doll loaded;
    ASSERT_TRUE(LoadDoll(loaded, SaveDoll(d)));
    EXPECT_EQ(DollInvariantViolation(loaded), "");
    ASSERT_EQ(loaded.GetPose(7)->GetNumJoints(), 32);
    EXPECT_EQ(loaded.GetPose(7)->GetJointLoc(31), fPoint2(310, 469));
}

TEST(LoadingADoll, APairListedTwiceLeavesNoBoneAndReversedPairsCountAsOne) {
    const std::string doc =
        "tbff .1\n\nchunk velko 1.0 anonymous {\n\n\tjoints 4 {\n\t\t0 0\n\t\t10 0\n"
        "\t\t20 0\n\t\t30 0\n\t}\n\n\tedges 4 {\n\t\t2 3\n\t\t0 1\n\t\t2 3\n\t\t1 2\n"
        "\t\t2 1\n\t\t3 3\n\t}\n}\n";
    Doll d;
    ASSERT_TRUE(LoadDoll(d, doc));
    EXPECT_EQ(DollInvariantViolation(d), "");
    EXPECT_EQ(BonesOf(d), (Bones{{0, 1}}));
    EXPECT_EQ(d.nedges, 1);
}

TEST(LoadingADoll, ADerivedDollsNodeFollowsTheDollsNodesAndComesBackThroughItsHook) {
    NodeRecordingDoll d;
    const std::string doc = SaveDoll(d);
    const std::string tail = "\t}\n\n\textra {\n\t\tseven 7\n\t}\n}\n";
    ASSERT_GE(doc.size(), tail.size());
    EXPECT_EQ(doc.substr(doc.size() - tail.size()), tail);  // after the poses, in the chunk

    NodeRecordingDoll loaded;
    ASSERT_TRUE(LoadDoll(loaded, doc));
    EXPECT_EQ(loaded.nodesSeen, (std::vector<std::string>{"joints", "edges", "poses", "extra"}));
    EXPECT_EQ(loaded.extraItems, (std::vector<std::string>{"seven"}));
    EXPECT_EQ(loaded.GetNumJoints(), 11);
    EXPECT_EQ(SaveDoll(loaded), doc);
}

TEST(LoadingADoll, AFileThatIsNotADollChunkLeavesTheDollCleared) {
    for (const char* doc : {"tbff .1\n\nchunk sketch 1.0 anonymous {\n\tjoints 1 {\n\t\t1 2\n"
                            "\t}\n}\n",
                            "tbff .1\n\njoints 1 {\n\t1 2\n}\n", "tbff .1\n"}) {
        SCOPED_TRACE(doc);
        Doll d;
        ASSERT_TRUE(LoadDoll(d, doc));
        EXPECT_EQ(d.GetNumJoints(), 0);
        EXPECT_EQ(DollInvariantViolation(d), "");
    }
}

TEST(LoadingADoll, TheCommittedExampleDollsLoadAndSaveByteForByte) {
    // Documents as this program writes them; every later version must read them the same
    int documents = 0;
    for (const char* name :
         {"doll-new.tbf", "doll-edited-and-posed.tbf", "doll-posed-32-joints.tbf"}) {
        SCOPED_TRACE(name);
        std::ifstream file(std::string(VELKO_FUZZ_CORPUS_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(file.good());
        std::stringstream bytes;
        bytes << file.rdbuf();
        Doll d;
        ASSERT_TRUE(LoadDoll(d, bytes.str()));
        EXPECT_EQ(DollInvariantViolation(d), "");
        EXPECT_GT(d.GetNumJoints(), 0);
        EXPECT_EQ(SaveDoll(d), bytes.str());
        documents++;
    }
    EXPECT_EQ(documents, 3);
}
