// Saving and loading as properties over many random dolls: a save loads back into a doll
// that saves the very same bytes, and locations come back at the document's precision.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "DollDocuments.h"
#include "DollInvariants.h"
#include "TestDolls.h"

namespace {

// A doll as an author leaves it: joints added and deleted (so slots have gaps), bones
// toggled, poses recorded in several postures, some joints dragged afterwards
void MakeRandomDoll(Doll& d, std::mt19937& rng) {
    std::uniform_real_distribution<float> x(0, 800), y(0, 480), step(-40, 40);
    d.Clear();
    const int joints = (int)(rng() % (kDollMaxJoints + 1));
    for (int i = 0; i < joints; i++) d.AddJoint(fPoint2(x(rng), y(rng)));
    for (int i = 0, deletions = (int)(rng() % 4); i < deletions && d.GetNumJoints() > 0; i++) {
        const int j = (int)(rng() % kDollMaxJoints);
        if (d.GetIsValidJoint(j)) d.DeleteJoint(j);
    }
    for (int i = 0, toggles = (int)(rng() % 60); i < toggles; i++) {
        const int a = (int)(rng() % kDollMaxJoints), b = (int)(rng() % kDollMaxJoints);
        if (d.GetIsValidJoint(a) && d.GetIsValidJoint(b)) d.ToggleEdge(&d.joints[a], &d.joints[b]);
    }
    for (int k = 0; k < Doll::kNumPoses; k++) {
        if (rng() % 3 == 0) continue;  // some poses stay empty
        for (int i = 0; i < kDollMaxJoints; i++)
            if (d.GetIsValidJoint(i)) d.joints[i].Move(fPoint2(step(rng), step(rng)));
        d.poses[k].DollToPose(&d);
    }
}

std::string Printed(float v) {
    char text[64];
    snprintf(text, sizeof text, "%f", v);
    return text;
}

}  // namespace

TEST(DocumentRoundTrip, RandomDollsSaveLoadAndSaveToTheSameBytes) {
    std::mt19937 rng(7031);
    int withPoses = 0, withGaps = 0;
    for (int n = 0; n < 400; n++) {
        SCOPED_TRACE(n);
        EmptyDoll d;
        MakeRandomDoll(d, rng);
        int lastSlot = -1;
        for (int i = 0; i < kDollMaxJoints; i++)
            if (d.GetIsValidJoint(i)) lastSlot = i;
        if (lastSlot + 1 != d.GetNumJoints()) withGaps++;
        for (int k = 0; k < Doll::kNumPoses; k++)
            if (d.poses[k].GetNumJoints() > 0) {
                withPoses++;
                break;
            }
        const int bones = d.CountBones();

        const std::string first = SaveDoll(d);
        Doll loaded;
        ASSERT_TRUE(LoadDoll(loaded, first));
        ASSERT_EQ(DollInvariantViolation(loaded), "");
        EXPECT_EQ(loaded.GetNumJoints(), d.GetNumJoints());
        EXPECT_EQ(loaded.CountBones(), bones);
        for (int k = 0; k < Doll::kNumPoses; k++)
            EXPECT_EQ(loaded.poses[k].GetNumJoints(), d.poses[k].GetNumJoints());
        const std::string second = SaveDoll(loaded);
        ASSERT_EQ(second, first);
    }
    // The generator covered what it is meant to cover
    EXPECT_GT(withPoses, 200);
    EXPECT_GT(withGaps, 100);
}

TEST(DocumentRoundTrip, LocationsComeBackAsTheirSixDecimalText) {
    // Whatever a document spells, a loaded location is the float its six-decimal text names,
    // so a loaded doll saves and loads back unchanged
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    for (int n = 0; n < 2000; n++) {
        const float a = (float)std::ldexp(mantissa(rng), -(int)(rng() % 40));
        const float b = (float)std::ldexp(mantissa(rng), (int)(rng() % 20));
        char doc[256];
        snprintf(doc, sizeof doc,
                 "tbff .1\n\nchunk velko 1.0 anonymous {\n\tjoints 2 {\n\t\t%.9g %.9g\n"
                 "\t\t%.9g %.9g\n\t}\n\tedges 1 {\n\t\t0 1\n\t}\n}\n",
                 a, b, a + 1e-7f, b);
        SCOPED_TRACE(doc);
        Doll d;
        ASSERT_TRUE(LoadDoll(d, doc));
        ASSERT_EQ(d.GetNumJoints(), 2);
        EXPECT_EQ(d.joints[0].loc.x, strtof(Printed(a).c_str(), nullptr));
        EXPECT_EQ(d.joints[0].loc.y, strtof(Printed(b).c_str(), nullptr));
        EXPECT_EQ(Printed(d.joints[0].loc.x), Printed(a));  // "-0.000000" keeps its sign
        const std::string saved = SaveDoll(d);
        Doll again;
        ASSERT_TRUE(LoadDoll(again, saved));
        EXPECT_EQ(again.joints[0].loc, d.joints[0].loc);
        EXPECT_EQ(again.joints[1].loc, d.joints[1].loc);
        EXPECT_EQ(again.CountBones(), d.CountBones());  // even when the ends nearly meet
        EXPECT_EQ(SaveDoll(again), saved);
    }
}
