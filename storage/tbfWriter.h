// Writers of tbf documents: lines of whitespace-separated words in nested brace nodes.
// Persistent classes write through the abstract tbfWriter and never touch files;
// tbfWriterAsciiFILE is the text encoding on a standard I/O stream, which it owns; it
// remembers whether any write to the stream failed so its owner can tell a saved document
// from a truncated one.
#pragma once

#include <cstdarg>
#include <cstdio>

class tbfWriter {
public:
    // One item on its own line, printf-style; the text must hold no \b, \t, \n or \r
    __attribute__((format(printf, 2, 3))) virtual void Write(const char* format, ...) = 0;
    // One item that opens a node; later items go inside it until CloseNode
    __attribute__((format(printf, 2, 3))) virtual void WriteAndOpenNode(const char* format,
                                                                        ...) = 0;
    // Closes the innermost open node; there must be one
    virtual void CloseNode() = 0;
    // Opens the node "chunk type major.minor name"; type non-null, null name = "anonymous"
    virtual void WriteAndOpenChunkNode(const char* type, int majorVer, int minorVer,
                                       const char* name) = 0;

protected:
    // Not deletable through this interface: owners hold the concrete writer
    ~tbfWriter() = default;
};

class tbfWriterAsciiFILE : public tbfWriter {
public:
    // Takes ownership of the open stream f (non-null) and writes the header "tbff .1"
    explicit tbfWriterAsciiFILE(FILE* f);
    // Without Close(): closes the nodes still open, then the stream (unless dontCloseFile),
    // ignoring failures. After Close(): does nothing.
    virtual ~tbfWriterAsciiFILE();
    tbfWriterAsciiFILE(const tbfWriterAsciiFILE&) = delete;
    tbfWriterAsciiFILE& operator=(const tbfWriterAsciiFILE&) = delete;

    __attribute__((format(printf, 2, 3))) void Write(const char* format, ...) override;
    __attribute__((format(printf, 2, 3))) void WriteAndOpenNode(const char* format, ...) override;
    void CloseNode() override;
    void WriteAndOpenChunkNode(const char* type, int majorVer, int minorVer,
                               const char* name) override;

    // A write to the stream has failed (a full disk, a closed pipe); sticky
    bool GetHasFailed() const;
    // Closes the nodes still open, flushes, and closes the stream unless dontCloseFile.
    // True when every write, the flush and the close succeeded. Call at most once; nothing
    // may be written afterwards.
    bool Close();

    FILE* f;              // output stream; owned
    int nodeDepth;        // open nodes = tabs written before each line
    bool justClosedNode;  // last line written closed a node: the next item gets a blank line
    bool dontCloseFile;   // true: the destructor leaves f open

private:
    // Formats one item (cut to 1023 characters) and writes it as an indented line
    __attribute__((format(printf, 3, 0))) void _Write(bool openNode, const char* format,
                                                      va_list args);
    void TabToDepth();
    void BlankLine();
    // fputs / fputc that remember a failure in hasFailed
    void Put(const char* text);
    void PutChar(char c);

    bool hasFailed;  // some write to f failed
    bool closed;     // Close() ran: f may be gone, the destructor leaves everything alone
};
