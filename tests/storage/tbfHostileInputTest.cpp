// Documents come from outside: whatever their bytes, reading must stay safe and bounded.
#include <gtest/gtest.h>

#include <dirent.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "tbfDocumentWalk.h"
#include "tbfReader.h"
#include "tbfTestStreams.h"

namespace {

struct DocumentReader : tbfReaderAsciiFILE {
    explicit DocumentReader(const std::string& body)
        : tbfReaderAsciiFILE(StreamOf("tbff .1\n" + body)) {}
};

TEST(HostileBytes, ANulByteEndsItsLineAndReadingGoesOnAtTheNextLine) {
    DocumentReader r(std::string("ab\0cd {\n\0\0\nnext\n", 16));
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "ab");
    EXPECT_FALSE(r.GetIsStartOfNode());
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "next");
}

TEST(HostileBytes, CarriageReturnLineEndsReadLikeLineFeeds) {
    tbfReaderAsciiFILE r(
        StreamOf("tbff .1\r\n\r\nchunk velko 1.0 anonymous {\r\n\t1 2\r\n}\r\nafter\r\n"));
    EXPECT_TRUE(r.GetIsFileReadable());
    ASSERT_TRUE(r.Read());
    EXPECT_TRUE(r.GetIsChunkType("velko"));
    EXPECT_STREQ(r.GetChunkName(), "anonymous");
    ASSERT_TRUE(r.OpenNode());
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(1), "2");
    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfNode());
    r.CloseNode();
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "after");
    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfFile());
}

TEST(HostileBytes, ACarriageReturnInsideALineStaysPartOfItsElement) {
    tbfReaderAsciiFILE r(StreamOf("tbff .1\na\rb c\n"));
    ASSERT_TRUE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "a\rb");
    EXPECT_STREQ(r.GetItemAsString(1), "c");
}

TEST(HostileBytes, AStrayClosingBraceAtTheTopEndsReadingWithoutEnteringANode) {
    DocumentReader r("}\nafter\n");
    EXPECT_FALSE(r.Read());
    EXPECT_FALSE(r.Read());
    EXPECT_FALSE(r.GetIsEndOfNode());
    EXPECT_EQ(r.depth, 0);
}

TEST(HostileStructure, AStreamEndingInsideNodesMakesEveryReadFailAndKeepsTheDepth) {
    DocumentReader r("a {\n\tb {\n\t\tc\n");
    ASSERT_TRUE(r.Read() && r.OpenNode());
    ASSERT_TRUE(r.Read() && r.OpenNode());
    ASSERT_TRUE(r.Read());
    EXPECT_FALSE(r.Read());
    EXPECT_FALSE(r.GetIsEndOfNode());
    EXPECT_FALSE(r.GetIsEndOfFile());  // the stream ended, but not outside every node
    r.CloseNode();
    r.CloseNode();
    EXPECT_EQ(r.depth, 2);
    EXPECT_FALSE(r.Read());
    EXPECT_STREQ(r.GetItemAsString(0), "");
}

TEST(HostileStructure, AnUnopenedNodeWhoseEndIsMissingSkipsToTheEndOfTheStream) {
    DocumentReader r("a {\n\tb\n\tc {\n\t}\n");
    ASSERT_TRUE(r.Read());
    EXPECT_FALSE(r.Read());
    EXPECT_TRUE(r.GetIsEndOfFile());
}

TEST(HostileStructure, DeeplyNestedNodesAreSkippedOrEnteredInBoundedSpace) {
    const int kLevels = 100000;
    std::string body;
    for (int i = 0; i < kLevels; ++i) body += "n {\n";
    for (int i = 0; i < kLevels; ++i) body += "}\n";
    body += "next\n";

    DocumentReader skipped(body);
    ASSERT_TRUE(skipped.Read());
    ASSERT_TRUE(skipped.Read());
    EXPECT_STREQ(skipped.GetItemAsString(0), "next");

    DocumentReader entered(body);
    while (entered.Read() && entered.OpenNode()) {
    }
    EXPECT_EQ(entered.depth, kLevels);
    while (entered.depth > 0) entered.CloseNode();
    ASSERT_TRUE(entered.Read());
    EXPECT_STREQ(entered.GetItemAsString(0), "next");
}

TEST(HostileNumbers, NonFiniteFloatsAreNotNumbersAndLeaveTargetsAlone) {
    DocumentReader r("nan inf -infinity 1e39 -1e39 1e-50 nan(0x7)\n");
    ASSERT_TRUE(r.Read());
    for (int i : {0, 1, 2, 3, 4, 6}) {
        float f = 3.0f;
        EXPECT_FALSE(r.ParseItem(i, &f)) << r.GetItemAsString(i);
        EXPECT_EQ(f, 3.0f);
    }
    float tiny = 3.0f;
    EXPECT_TRUE(r.ParseItem(5, &tiny));
    EXPECT_EQ(tiny, 0.0f);
    float x = 3.0f, y = 3.0f;
    EXPECT_TRUE(r.Parse("%f %f", &x, &y));
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(y, 3.0f);
}

TEST(HostileNumbers, IntegersOutOfRangeClampToTheNearestValue) {
    DocumentReader r("99999999999999999999999 -99999999999 4294967301 -2147483648\n");
    ASSERT_TRUE(r.Read());
    int i = 0;
    ASSERT_TRUE(r.ParseItem(0, &i));
    EXPECT_EQ(i, INT_MAX);
    ASSERT_TRUE(r.ParseItem(1, &i));
    EXPECT_EQ(i, INT_MIN);
    ASSERT_TRUE(r.ParseItem(2, &i));
    EXPECT_EQ(i, INT_MAX);  // not wrapped round to 5
    ASSERT_TRUE(r.ParseItem(3, &i));
    EXPECT_EQ(i, INT_MIN);
    unsigned u = 0;
    ASSERT_TRUE(r.ParseItem(0, &u));
    EXPECT_EQ(u, UINT_MAX);
    ASSERT_TRUE(r.ParseItem(2, &u));
    EXPECT_EQ(u, UINT_MAX);
    int a = 0, b = 0;
    EXPECT_TRUE(r.Parse("%d %d", &a, &b));
    EXPECT_EQ(a, INT_MAX);
    EXPECT_EQ(b, INT_MIN);
}

TEST(HostileDocuments, EverySeedAndPastFindingOfTheFuzzerWalksCleanly) {
    DIR* dir = opendir(VELKO_FUZZ_CORPUS_DIR);
    ASSERT_NE(dir, nullptr) << VELKO_FUZZ_CORPUS_DIR;
    int documents = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream file(std::string(VELKO_FUZZ_CORPUS_DIR) + "/" + entry->d_name,
                           std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        const std::string text = bytes.str();
        const DocumentWalkReport report = WalkDocument((const uint8_t*)text.data(), text.size());
        EXPECT_EQ(report.failure, "") << entry->d_name;
        ++documents;
    }
    closedir(dir);
    EXPECT_GE(documents, 6);
}

TEST(HostileDocuments, TheWalkReadsEveryItemOfADocumentOnBothPasses) {
    // A document the walk reads completely, items and nesting, on both passes
    const std::string text = kTwoJointDocument;
    const DocumentWalkReport report = WalkDocument((const uint8_t*)text.data(), text.size());
    EXPECT_EQ(report.failure, "");
    EXPECT_EQ(report.itemsRead, 2 * 6);
}

}  // namespace
