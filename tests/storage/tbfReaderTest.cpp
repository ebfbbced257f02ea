#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tbfReader.h"
#include "tbfTestStreams.h"

namespace {

// A reader on a document whose header line is prepended
struct DocumentReader : tbfReaderAsciiFILE {
    explicit DocumentReader(const std::string& body)
        : tbfReaderAsciiFILE(StreamOf("tbff .1\n\n" + body)) {}
};

TEST(ReaderWalk, TheTwoJointDocumentReadsAsItsChunkNodesAndEnds) {
    tbfReaderAsciiFILE r(StreamOf(kTwoJointDocument));
    EXPECT_TRUE(r.GetIsFileReadable());
    EXPECT_STREQ(r.GetItemAsString(0), "tbff");  // the header is the current line

    ASSERT_TRUE(r.Read());
    EXPECT_TRUE(r.GetIsStartOfNode());
    EXPECT_TRUE(r.GetIsChunk());
    EXPECT_TRUE(r.GetIsChunkType("velko"));
    EXPECT_STREQ(r.GetChunkName(), "anonymous");
    EXPECT_STREQ(r.GetItemAsString(4), "");  // the brace is not an element
    int major = -5, minor = -5;
    r.GetChunkVersion(&major, &minor);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);
    EXPECT_TRUE(r.GetIsChunkVersion(1, 0));

    ASSERT_TRUE(r.OpenNode());
    ASSERT_TRUE(r.Read());
    EXPECT_TRUE(r.CompareItem(0, "joints"));
    EXPECT_TRUE(r.GetIsStartOfNode());
    // Not entered: the next Read skips the joint lines
    ASSERT_TRUE(r.Read());
    EXPECT_TRUE(r.CompareItem(0, "edges"));

    ASSERT_TRUE(r.OpenNode());
    int a = -1, b = -1;
    ASSERT_TRUE(r.Read());
    EXPECT_TRUE(r.Parse("%d %d", &a, &b));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfNode());
    EXPECT_FALSE(r.Read());  // the end of a node is sticky until it is closed
    r.CloseNode();

    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfNode());
    r.CloseNode();
    EXPECT_EQ(r.depth, 0);
    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfFile());
}

TEST(ReaderHeader, OnlyTheMagicWordWithVersionPointOneIsReadable) {
    EXPECT_TRUE(tbfReaderAsciiFILE(StreamOf("\n \t\n  tbff\t .1  \nx\n")).GetIsFileReadable());
    for (const char* header : {"tbff .2\n", "tbff 1.1\n", "tbf .1\n",
                               "chunk velko 1.0 anonymous {\n", "tbff\n", "tbff .x\n"}) {
        EXPECT_FALSE(tbfReaderAsciiFILE(StreamOf(header)).GetIsFileReadable()) << header;
    }
}

TEST(ReaderHeader, AnEmptyOrBlankStreamIsNotReadableAndAtItsEnd) {
    for (const char* text : {"", "\n\n", " \t \n\t\n"}) {
        tbfReaderAsciiFILE r(StreamOf(text));
        EXPECT_FALSE(r.GetIsFileReadable());
        EXPECT_FALSE(r.Read());
        EXPECT_TRUE(r.GetIsEndOfFile());
        EXPECT_STREQ(r.GetItemAsString(0), "");
    }
}

TEST(ReaderItems, BlankLinesAreSkippedAndAnyMixOfSpacesAndTabsSeparatesElements) {
    DocumentReader r(" \t \n\t\t  \n \t item  a\t\t b \n");
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "item");
    EXPECT_STREQ(r.GetItemAsString(1), "a");
    EXPECT_STREQ(r.GetItemAsString(2), "b");
    EXPECT_STREQ(r.GetItemAsString(3), "");
    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfFile());
}

TEST(ReaderItems, ABraceGluedToAWordOpensNoNodeButASkipStillCountsIt) {
    const std::string body = "outer {\n\tjoints 2{\n\t}\n}\nnext\n";
    DocumentReader entered(body);
    ASSERT_TRUE(entered.Read());
    ASSERT_TRUE(entered.OpenNode());
    ASSERT_TRUE(entered.Read());
    EXPECT_FALSE(entered.GetIsStartOfNode());
    EXPECT_STREQ(entered.GetItemAsString(1), "2{");

    // Skipping "outer" pairs the glued brace with the first closing line
    DocumentReader skipped(body);
    ASSERT_TRUE(skipped.Read());
    ASSERT_TRUE(skipped.Read());
    EXPECT_STREQ(skipped.GetItemAsString(0), "next");
}

TEST(ReaderItems, ALineStartingWithAClosingBraceClosesTheNodeWhateverFollows) {
    DocumentReader r("n {\n\ta\n\t} trailing words\nafter\n");
    ASSERT_TRUE(r.Read());
    ASSERT_TRUE(r.OpenNode());
    ASSERT_TRUE(r.Read());
    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfNode());
    r.CloseNode();
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "after");
}

TEST(ReaderItems, ReadingPastAnUnopenedNodeSkipsItWithAllItsChildren) {
    DocumentReader r("a {\n\tb {\n\t\tc {\n\t\t\tleaf\n\t\t}\n\t}\n\td\n}\nnext\n");
    ASSERT_TRUE(r.Read());
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "next");
}

TEST(ReaderItems, ALineLongerThan1023CharactersIsReadAsSeveralItems) {
    DocumentReader r(std::string(1500, 'a') + "\n");
    ASSERT_TRUE(r.Read());
    EXPECT_EQ(std::string(r.GetItemAsString(0)), std::string(1023, 'a'));
    ASSERT_TRUE(r.Read());
    EXPECT_EQ(std::string(r.GetItemAsString(0)), std::string(477, 'a'));
    EXPECT_FALSE(r.Read());
}

TEST(ReaderNodes, ClosingANodeEarlySkipsItsRestIncludingAPendingChild) {
    DocumentReader early("p {\n\tfirst\n\tsecond\n\tc {\n\t}\n}\nsibling\n");
    ASSERT_TRUE(early.Read());
    ASSERT_TRUE(early.OpenNode());
    ASSERT_TRUE(early.Read());
    early.CloseNode();
    EXPECT_EQ(early.depth, 0);
    ASSERT_TRUE(early.Read());
    EXPECT_STREQ(early.GetItemAsString(0), "sibling");

    DocumentReader pending("p {\n\tc {\n\t\tx\n\t}\n\ty\n}\nsibling\n");
    ASSERT_TRUE(pending.Read());
    ASSERT_TRUE(pending.OpenNode());
    ASSERT_TRUE(pending.Read());
    EXPECT_TRUE(pending.GetIsStartOfNode());
    pending.CloseNode();
    ASSERT_TRUE(pending.Read());
    EXPECT_STREQ(pending.GetItemAsString(0), "sibling");
}

TEST(ReaderNodes, OpeningAnItemThatOpensNoNodeFails) {
    DocumentReader r("plain\n");
    ASSERT_TRUE(r.Read());
    EXPECT_FALSE(r.OpenNode());
    EXPECT_EQ(r.depth, 0);
}

TEST(ReaderParse, MissingElementsFailAndNonNumbersLeaveTheirTargetsAlone) {
    DocumentReader r("1.5\na b\nattach 4 320.5 232.25 extra\nz 9\n");
    float x = -1, y = -1;
    ASSERT_TRUE(r.Read());
    EXPECT_FALSE(r.Parse("%f %f", &x, &y));
    EXPECT_EQ(x, 1.5f);
    EXPECT_EQ(y, -1);

    ASSERT_TRUE(r.Read());
    x = y = -1;
    EXPECT_TRUE(r.Parse("%f %f", &x, &y));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    EXPECT_TRUE(r.Parse("%s"));
    EXPECT_FALSE(r.Parse("%0 %0 %s"));

    ASSERT_TRUE(r.Read());
    int node = -1;
    EXPECT_TRUE(r.Parse("%0 %d %f %f", &node, &x, &y));
    EXPECT_EQ(node, 4);
    EXPECT_EQ(x, 320.5f);
    EXPECT_EQ(y, 232.25f);

    ASSERT_TRUE(r.Read());
    char c = 0;
    unsigned u = 0;
    EXPECT_TRUE(r.Parse("%c %u", &c, &u));
    EXPECT_EQ(c, 'z');
    EXPECT_EQ(u, 9u);
}

TEST(ReaderParse, ASingleElementConvertsItsNumericPrefix) {
    DocumentReader r("12abc abc -7 x\n");
    ASSERT_TRUE(r.Read());
    int i = -1;
    EXPECT_TRUE(r.ParseItem(0, &i));
    EXPECT_EQ(i, 12);
    i = -1;
    EXPECT_FALSE(r.ParseItem(1, &i));
    EXPECT_EQ(i, -1);
    EXPECT_FALSE(r.ParseItem(4, &i));
    unsigned u = 0;
    EXPECT_TRUE(r.ParseItem(2, &u));
    EXPECT_EQ(u, 4294967289u);  // a minus sign wraps, as %u does
    float f = 0;
    EXPECT_TRUE(r.ParseItem(0, &f));
    EXPECT_EQ(f, 12.0f);
    char c = 0;
    EXPECT_TRUE(r.ParseItem(3, &c));
    EXPECT_EQ(c, 'x');
    EXPECT_FALSE(r.ParseItem(-1, &c));
}

TEST(ReaderParse, FloatsReadToTheSameBitsAsTheCLibraryReadsThem) {
    std::vector<std::string> words = {"16777217",
                                      "16777219",
                                      "-0.000000",
                                      "0.1",
                                      "33.333332",
                                      "1.",
                                      ".5",
                                      "+2.5",
                                      "1.5e3",
                                      "123456789012345",
                                      "1234567890123456",
                                      "0.30000001",
                                      "1.5x",
                                      "0x1p3",
                                      "9.999999999999999"};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        char word[64];
        snprintf(word, sizeof word, "%.*f", int(random() % 9),
                 (double(random()) - 2147483648.0) / double(1u << (random() % 31)));
        words.push_back(word);
        snprintf(word, sizeof word, "%u.%06u", unsigned(random() % 100000),
                 unsigned(random() % 1000000));
        words.push_back(word);
    }
    std::string body;
    for (const std::string& w : words) body += w + "\n";
    DocumentReader r(body);
    for (const std::string& w : words) {
        ASSERT_TRUE(r.Read());
        float mine = 0;
        ASSERT_TRUE(r.ParseItem(0, &mine)) << w;
        const float library = strtof(w.c_str(), nullptr);
        EXPECT_EQ(memcmp(&mine, &library, sizeof mine), 0) << w << " " << mine << " " << library;
    }
}

TEST(ReaderVersions, MajorAndMinorAreSplitAtTheFirstPoint) {
    struct Case {
        const char* text;
        int major, minor;
    };
    const Case cases[] = {{"1.0", 1, 0},   {"2.", 2, 0},    {".1", 0, 1},   {"3", 3, 0},
                          {"1.2.3", 1, 2}, {"x.y", -1, -1}, {"7.q", 7, -1}, {nullptr, -1, -1}};
    for (const Case& c : cases) {
        int major = 99, minor = 99;
        GetAsMajorMinorVersion(c.text, &major, &minor);
        EXPECT_EQ(major, c.major) << (c.text ? c.text : "null");
        EXPECT_EQ(minor, c.minor) << (c.text ? c.text : "null");
    }
}

TEST(ReaderVersions, AChunkWithoutAVersionElementHasVersionMinusOne) {
    DocumentReader r("chunk velko\n");
    ASSERT_TRUE(r.Read());
    int major = 5, minor = 5;
    r.GetChunkVersion(&major, &minor);
    EXPECT_EQ(major, -1);
    EXPECT_EQ(minor, -1);
    EXPECT_FALSE(r.GetIsChunkVersion(1, 0));
}

using ReaderDeathTest = ::testing::Test;

TEST_F(ReaderDeathTest, ClosingANodeThatWasNeverEnteredStopsTheProgram) {
    EXPECT_DEATH(
        {
            DocumentReader r("a {\n}\n");
            r.Read();
            r.CloseNode();
        },
        "Assertion failed: depth > 0, file .*tbfReader");
}

TEST_F(ReaderDeathTest, ParsingWithoutAFormatStopsTheProgram) {
    EXPECT_DEATH(
        {
            DocumentReader r("a\n");
            r.Read();
            r.Parse(nullptr);
        },
        "Assertion failed: format, file .*tbfReader");
}

}  // namespace
