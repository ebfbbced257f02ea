// Readers of tbf documents. Persistent classes read through the abstract tbfReader, one
// item (a non-blank line) at a time, entering the nodes they want and letting the reader
// skip the rest. tbfReaderAsciiFILE reads the text encoding from a standard I/O stream,
// which it owns, holding one line at a time; no input bytes can make it misbehave.
//
// Numbers are read like scanf's %f, %d, %u and %c, with two safety rules: a float that is
// not finite (nan, inf, or out of float range like 1e39) counts as not a number, and an
// integer out of range is clamped to the nearest representable value. A conversion that
// fails leaves its target unchanged, so callers must initialise every target they pass.
#pragma once

#include <cstdio>

class tbfReader {
public:
    // The header named the tbf format, version 0.1
    virtual bool GetIsFileReadable() = 0;
    // The stream is exhausted, outside every node
    virtual bool GetIsEndOfFile() = 0;
    // The current node's closing line was read; sticky until CloseNode
    virtual bool GetIsEndOfNode() = 0;
    // Next item of the current node; false at the end of the node or of the stream
    virtual bool Read() = 0;
    // The current item opens a node that has not been entered
    virtual bool GetIsStartOfNode() = 0;
    // Converts the current item's elements in turn by format letters:
    // f float*, d int*, u unsigned*, c char*, 0 skips an element, s returns whether the
    // element exists; anything else is ignored. False when a converted element is missing.
    virtual bool Parse(const char* format, ...) = 0;
    // Element `item` converted into *f, *c, *i; false when missing or not a number
    virtual bool ParseItem(int item, float* f) = 0;
    virtual bool ParseItem(int item, char* c) = 0;
    virtual bool ParseItem(int item, int* i) = 0;
    virtual bool ParseItem(int item, unsigned int* i) = 0;
    // Element `item` exists and equals value
    virtual bool CompareItem(int item, const char* value) = 0;
    // Element `item`, or "" when missing; valid until the next Read
    virtual const char* GetItemAsString(int item) = 0;
    // Enters the node the current item opens; false when it opens none
    virtual bool OpenNode() = 0;
    // Leaves the entered node, skipping what is left of it; a node must have been entered
    virtual void CloseNode() = 0;

    // The current item is "chunk type major.minor name"
    virtual bool GetIsChunk() = 0;
    virtual const char* GetChunkType() = 0;
    // Version of the current chunk item; -1 for a part that is missing or not a number
    virtual void GetChunkVersion(int* major, int* minor) = 0;
    virtual const char* GetChunkName() = 0;
    virtual bool GetIsChunkType(const char* s) = 0;
    virtual bool GetIsChunkVersion(int major, int minor) = 0;
    virtual bool GetIsChunkName(const char* s) = 0;

protected:
    // Not deletable through this interface: readers are used as local objects
    ~tbfReader() = default;
};

// Splits a version "major.minor" (".1" is 0.1, "2." is 2.0, "3" is 3.0). Null s gives -1 and
// -1; a part that does not start with a number gives -1. major and minor must be non-null.
void GetAsMajorMinorVersion(const char* s, int* major, int* minor);

class tbfReaderAsciiFILE : public tbfReader {
public:
    // Takes ownership of the open stream f (non-null) and reads the header line
    explicit tbfReaderAsciiFILE(FILE* f);
    // Closes the stream unless dontCloseFile
    ~tbfReaderAsciiFILE();
    tbfReaderAsciiFILE(const tbfReaderAsciiFILE&) = delete;
    tbfReaderAsciiFILE& operator=(const tbfReaderAsciiFILE&) = delete;

    bool GetIsFileReadable() override;
    bool GetIsEndOfFile() override;
    bool GetIsEndOfNode() override;
    bool Read() override;
    bool GetIsStartOfNode() override;
    bool Parse(const char* format, ...) override;
    bool ParseItem(int item, float* f) override;
    bool ParseItem(int item, char* c) override;
    bool ParseItem(int item, int* i) override;
    bool ParseItem(int item, unsigned int* i) override;
    bool CompareItem(int item, const char* value) override;
    const char* GetItemAsString(int item) override;
    bool OpenNode() override;
    void CloseNode() override;
    bool GetIsChunk() override;
    const char* GetChunkType() override;
    void GetChunkVersion(int* major, int* minor) override;
    const char* GetChunkName() override;
    bool GetIsChunkType(const char* s) override;
    bool GetIsChunkVersion(int major, int minor) override;
    bool GetIsChunkName(const char* s) override;

    static constexpr int kBufSize = 1024;  // longest line read at once is kBufSize-1 chars
    static const char emptyString[1];      // what the string getters return for no element

    int tbffMinorVer;      // minor format version from the header; -1 until read
    int tbffMajorVer;      // major format version from the header; -1 until read
    bool tbffMagicCookie;  // element 0 of the header was "tbff"
    bool endOfFile;        // the stream is exhausted
    bool endOfNode;        // the current line closes the current node
    bool startOfNode;      // the current item opens a node that has not been entered
    int depth;             // entered nodes
    FILE* f;               // input stream; owned
    bool lineLoaded;       // buf holds a current line whose elements may be read
    int nelements;         // elements of the current item, without a trailing "{"
    char buf[kBufSize];    // the current line, split in place into NUL-terminated elements
    int bufstrlen;         // length of the line in buf without its line end
    // Offsets in buf of the elements of the current line; a line of kBufSize-1 chars holds at
    // most kBufSize/2 of them
    short elementStart[kBufSize / 2];
    bool dontCloseFile;  // true: the destructor leaves f open

private:
    // Element ei of the current item, or null when there is none
    const char* GetNthElement(int ei);
    // Element ei of the current line; ei must be in range
    const char* GetNthElementSlowly(int ei);
    // Splits buf into elements in place
    void ChopBuf();
    // Consumes the rest of a node by brace counting; false when the stream ends first
    bool SkipThisNode();
};
