#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tbfReader.h"
#include "tbfTestStreams.h"
#include "tbfWriter.h"

namespace {

// The calls that produce kTwoJointDocument
void WriteTwoJointDocument(tbfWriter& w) {
    w.WriteAndOpenChunkNode("velko", 1, 0, nullptr);
    w.WriteAndOpenNode("joints %d", 2);
    w.Write("%f %f", 0.0, 33.333332);
    w.Write("%f %f", 0.0, 100.0);
    w.CloseNode();
    w.WriteAndOpenNode("edges %d", 1);
    w.Write("%d %d", 0, 1);
    w.CloseNode();
    w.CloseNode();
}

TEST(DocumentLayout, TheTwoJointDocumentIsWrittenByteForByte) {
    EXPECT_EQ(WrittenBy(WriteTwoJointDocument), kTwoJointDocument);
}

// Locations are formatted without printf; the text must be printf's to the last digit
TEST(DocumentLayout, LocationsAreWrittenExactlyAsPrintfWritesThem) {
    std::vector<double> values = {0.0f,       -0.0f,      1e-7f,        -4e-7f,  5e-7f,
                                  0.0000005f, 65.333328f, -123.456789f, 1e6f,    -1e6f,
                                  3.4e38f,    -3.4e38f,   1.0f / 3,     2.5e-6f, 0.1f};
    uint32_t bits = 12345;
    for (int i = 0; i < 2000; i++) {  // any float bit pattern that is a number
        bits = bits * 1664525u + 1013904223u;
        float f;
        memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) values.push_back(f);
        // Where documents live: within the window's reach, and exact ties at the seventh
        // decimal (multiples of 2^-7 .. 2^-20), which round to even
        values.push_back((float)((int32_t)bits % 4000000) / 1000.0f);
        values.push_back((float)((int32_t)bits % 100000) / (float)(1 << (7 + i % 14)));
    }
    for (double d : {1e15, -4503599627370496.5, 9.2e18, 2.0e19, 1e300, 0.0078125, 5e-324})
        values.push_back(d);
    std::string want = "tbff .1\n\n";
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        char line[1024];
        snprintf(line, sizeof line, "%f %f\n", values[i], values[i + 1]);
        want += line;
    }
    std::string got = WrittenBy([&](tbfWriter& w) {
        for (size_t i = 0; i + 1 < values.size(); i += 2)
            w.Write("%f %f", values[i], values[i + 1]);
    });
    EXPECT_EQ(got, want);
}

TEST(DocumentLayout, AFreshDocumentIsTheHeaderAndABlankLineAndReadsAsReadable) {
    const std::string text = WrittenBy([](tbfWriter&) {});
    EXPECT_EQ(text, "tbff .1\n\n");
    tbfReaderAsciiFILE reader(StreamOf(text));
    EXPECT_TRUE(reader.GetIsFileReadable());
}

TEST(DocumentLayout, ABlankLineSeparatesAClosedNodeFromTheNextItemButNotFromAnotherClose) {
    const std::string text = WrittenBy([](tbfWriter& w) {
        w.WriteAndOpenNode("a");
        w.WriteAndOpenNode("b");
        w.CloseNode();
        w.CloseNode();
        w.Write("c");
        w.Write("d");
    });
    EXPECT_EQ(text, "tbff .1\n\na {\n\tb {\n\t}\n}\n\nc\nd\n");
}

TEST(DocumentLayout, ANamedChunkCarriesItsNameAndVersion) {
    const std::string text =
        WrittenBy([](tbfWriter& w) { w.WriteAndOpenChunkNode("icon", 2, 13, "heart"); });
    EXPECT_EQ(text, "tbff .1\n\nchunk icon 2.13 heart {\n\n}\n");
}

TEST(DocumentLayout, DestroyingTheWriterClosesEveryOpenNode) {
    const std::string text = WrittenBy([](tbfWriter& w) {
        w.WriteAndOpenNode("outer");
        w.WriteAndOpenNode("inner");
        w.Write("leaf");
    });
    EXPECT_EQ(text, "tbff .1\n\nouter {\n\tinner {\n\t\tleaf\n\t}\n}\n");
}

TEST(DocumentLayout, AnItemLongerThanTheItemBufferIsCutTo1023Characters) {
    const std::string longWord(3000, 'w');
    const std::string text = WrittenBy([&](tbfWriter& w) { w.Write("%s", longWord.c_str()); });
    EXPECT_EQ(text, "tbff .1\n\n" + std::string(1023, 'w') + "\n");
}

// /dev/full takes buffered writes and fails every flush with ENOSPC, like a full disk
TEST(WriterFailures, AFullDiskIsReportedWhenAWriteOrTheCloseFlushesTheBuffer) {
    tbfWriterAsciiFILE small(fopen("/dev/full", "w"));
    WriteTwoJointDocument(small);
    EXPECT_FALSE(small.GetHasFailed());  // all of it is still in the buffer
    EXPECT_FALSE(small.Close());
    EXPECT_TRUE(small.GetHasFailed());

    tbfWriterAsciiFILE big(fopen("/dev/full", "w"));
    for (int i = 0; i < 1000 && !big.GetHasFailed(); ++i) big.Write("%0100d", i);
    EXPECT_TRUE(big.GetHasFailed());
    EXPECT_FALSE(big.Close());
}

TEST(WriterFailures, ClosingClosesTheOpenNodesFlushesAndSucceeds) {
    FILE* f = tmpfile();
    ASSERT_NE(f, nullptr);
    {
        tbfWriterAsciiFILE writer(f);
        writer.dontCloseFile = true;
        writer.WriteAndOpenNode("outer");
        writer.Write("leaf");
        EXPECT_TRUE(writer.Close());
    }
    char bytes[64];
    const ssize_t n = pread(fileno(f), bytes, sizeof bytes, 0);  // below stdio: was it flushed?
    fclose(f);
    EXPECT_EQ(std::string(bytes, n > 0 ? n : 0), "tbff .1\n\nouter {\n\tleaf\n}\n");
}

using WriterDeathTest = ::testing::Test;

TEST_F(WriterDeathTest, AnItemHoldingATabOrLineBreakStopsTheProgram) {
    EXPECT_DEATH(WrittenBy([](tbfWriter& w) { w.Write("a\tb"); }),
                 "Assertion failed: 0, file .*tbfWriter");
    EXPECT_DEATH(WrittenBy([](tbfWriter& w) { w.WriteAndOpenNode("two\nlines"); }),
                 "Assertion failed: 0, file .*tbfWriter");
    EXPECT_DEATH(WrittenBy([](tbfWriter& w) { w.Write("cr\r"); }), "Assertion failed: 0");
}

TEST_F(WriterDeathTest, ClosingMoreNodesThanWereOpenedStopsTheProgram) {
    EXPECT_DEATH(WrittenBy([](tbfWriter& w) {
                     w.WriteAndOpenNode("one");
                     w.CloseNode();
                     w.CloseNode();
                 }),
                 "Assertion failed: 0, file .*tbfWriter");
}

TEST_F(WriterDeathTest, AChunkWithoutATypeStopsTheProgram) {
    EXPECT_DEATH(WrittenBy([](tbfWriter& w) { w.WriteAndOpenChunkNode(nullptr, 1, 0, "x"); }),
                 "Assertion failed: type, file .*tbfWriter");
}

}  // namespace
