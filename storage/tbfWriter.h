// Writers of tbf documents: lines of whitespace-separated words in nested brace nodes.
// Persistent classes write through the abstract tbfWriter and never touch files;
// tbfWriterAsciiFILE is the text encoding on a standard I/O stream, which it owns; it
// remembers whether any write to the stream failed so its owner can tell a saved document
// from a truncated one.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

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

// The text encoding: one item a line, indented by one tab per open node, a blank line after
// a closed node and after the header. Subclasses say where the bytes go.
class tbfWriterAscii : public tbfWriter {
public:
    __attribute__((format(printf, 2, 3))) void Write(const char* format, ...) override;
    __attribute__((format(printf, 2, 3))) void WriteAndOpenNode(const char* format, ...) override;
    void CloseNode() override;
    void WriteAndOpenChunkNode(const char* type, int majorVer, int minorVer,
                               const char* name) override;

    int nodeDepth;        // open nodes = tabs written before each line
    bool justClosedNode;  // last line written closed a node: the next item gets a blank line

protected:
    tbfWriterAscii();
    ~tbfWriterAscii() = default;
    // "tbff .1" and a blank line; the subclass's constructor calls it, once it can take bytes
    void WriteHeader();
    void CloseOpenNodes();
    // Takes n bytes of the document, in order
    virtual void Emit(const char* bytes, size_t n) = 0;

    bool closed;  // nothing may be written any more

private:
    // Formats one item (cut to 1023 characters) and writes it as an indented line
    __attribute__((format(printf, 3, 0))) void _Write(bool openNode, const char* format,
                                                      va_list args);
};

class tbfWriterAsciiFILE : public tbfWriterAscii {
public:
    // Takes ownership of the open stream f (non-null) and writes the header "tbff .1"
    explicit tbfWriterAsciiFILE(FILE* f);
    // Without Close(): closes the nodes still open, then the stream (unless dontCloseFile),
    // ignoring failures. After Close(): does nothing.
    virtual ~tbfWriterAsciiFILE();
    tbfWriterAsciiFILE(const tbfWriterAsciiFILE&) = delete;
    tbfWriterAsciiFILE& operator=(const tbfWriterAsciiFILE&) = delete;

    // A write to the stream has failed (a full disk, a closed pipe); sticky
    bool GetHasFailed() const;
    // Closes the nodes still open, flushes, and closes the stream unless dontCloseFile.
    // True when every write, the flush and the close succeeded. Call at most once; nothing
    // may be written afterwards.
    bool Close();

    FILE* f;             // output stream; owned
    bool dontCloseFile;  // true: the destructor leaves f open

protected:
    void Emit(const char* bytes, size_t n) override;

private:
    bool hasFailed;  // some write to f failed
};

// Writes the document into a string in memory: the cheapest way to hold a whole document
// (a snapshot, or the bytes of a file about to be written), and it cannot fail
class tbfWriterAsciiString : public tbfWriterAscii {
public:
    // Replaces *out with the header; the document follows as it is written
    explicit tbfWriterAsciiString(std::string* out);
    ~tbfWriterAsciiString();  // closes the nodes still open
    tbfWriterAsciiString(const tbfWriterAsciiString&) = delete;
    tbfWriterAsciiString& operator=(const tbfWriterAsciiString&) = delete;
    // Closes the nodes still open; the string then holds the whole document
    void Close();

protected:
    void Emit(const char* bytes, size_t n) override { out->append(bytes, n); }

private:
    std::string* out;
};
