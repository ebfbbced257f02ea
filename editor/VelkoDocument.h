// VelkoDocument: the file the editor's doll belongs to and the commands that move the doll
// between memory and disk: New, Open, Save, Save As, opening the document named on the
// command line, and asking about unsaved changes first.
//
// Whether there are unsaved changes is decided by content, not by tracking edits: the
// document the doll would write now is compared with the bytes last saved (or, after Open,
// the bytes the opened doll writes). Saving goes through a temporary file renamed over the
// target, so a failed save never touches the previous file. Every failure is written to
// stderr, shown through the platform's file services when there are any and on the editor's
// status line, where what succeeded is shown too ("Saved walk.velko"). Each dialog is titled
// by the command that raised it.
//
// The path, the bytes last saved and the title always belong to the doll on screen: New,
// Open and a restored copy tell the host, which begins a history of their own, and a path is
// kept absolute, so it names the same file whatever the working folder.
#pragma once

#include <cstdio>
#include <string>

class tbfReader;

// A stream reading a document held in memory (bytes must outlive it), to hand to a
// tbfReaderAsciiFILE, which closes it; null with errno set when it cannot be opened
FILE* OpenDocumentBytes(const std::string& bytes);
// Why the bytes cannot be opened as a doll ("it is not a Velko document", "it holds no
// doll", or the system's reason), or "" when they can
std::string WhyNotADollDocument(const std::string& bytes);
// The bytes end inside the chunk their first item opens (a file cut short by a full disk or
// an interrupted copy): what precedes the cut may read as a doll, but not the whole one
bool IsCutShort(const std::string& bytes);

// What the document needs of the editor that hosts the doll
class VelkoDocumentHost {
public:
    // The doll as a whole document (header included); false when it could not be written.
    // Writing renumbers the doll's joints; the host keeps its own references valid.
    virtual bool WriteDocument(std::string* bytes) = 0;
    // Replaces the doll with the one the reader holds (its header and chunk are checked)
    virtual void LoadDocument(tbfReader* reader) = 0;
    // Replaces the doll with a new default doll
    virtual void NewDocument() = 0;
    // The doll on screen has become another document (New, Open, a restored copy); nothing
    // done to the one before may be undone into it
    virtual void DocumentReplaced() = 0;
    virtual void ShowTitle(const char* title) = 0;
    // Tells the person, for a few seconds, what a command did or why it failed
    virtual void ShowStatus(const std::string& text) = 0;

protected:
    ~VelkoDocumentHost() = default;
};

class VelkoDocument {
public:
    explicit VelkoDocument(VelkoDocumentHost* host) : host(host) {}

    // The file name shown in titles and questions: the path's last part, or "Untitled"
    std::string GetName() const;
    // "NAME - Velko", with " •" after the name while there are unsaved changes
    std::string GetTitle(bool unsaved) const;
    const std::string& GetPath() const { return path; }

    // Takes the doll as it is now as saved (a new doll, untitled)
    void Begin();
    // The document named on the command line: opened when it exists; a path that does not
    // exist yet becomes the name the first Save writes to; anything else is reported and
    // the doll stays as it is
    void BeginWithPath(const std::string& commandLinePath);

    bool HasUnsavedChanges();
    // Shows the title with or without the unsaved mark, as the doll stands now
    void RefreshTitle();
    // The same for a document the caller has just written (the doll as it stands)
    void RefreshTitleFor(const std::string& now);
    // What the doll wrote when last saved or opened
    const std::string& GetSavedBytes() const { return savedBytes; }

    // The commands; each returns whether it was carried out
    bool New();
    bool Open();
    // Writes the current document's file; without one it asks for a name, in a chooser
    // titled "Save"
    bool Save();
    // Asks for a name in a chooser titled title, then writes the document there
    bool SaveAs(const char* title = "Save As");
    // Whether unsaved changes may go: proceed when there are none or they were saved or
    // discarded, cancelled when the person said so, couldNotAsk when no question could be
    // shown (the changes are still there)
    enum Confirmation { proceed, cancelled, couldNotAsk };
    // Asks whether the program may end (saving first if the person wants); command ("Quit",
    // "Close") titles the question and any error
    Confirmation MayQuit(const char* command = "Quit");

    // Reads the document at path into the doll; on any failure the doll stays as it was
    // and the failure is reported. A document cut short is shown as far as it could be read
    // as an untitled, unsaved doll, and reported too.
    bool OpenPath(const std::string& path);
    // Writes the doll to path atomically; reports failures
    bool SaveToPath(const std::string& path);
    // Loads a recovered document as unsaved work on the document at path ("" untitled; a
    // relative path, which could name any file, is dropped and the work comes back
    // untitled); false, with the failure reported, when the bytes hold no doll
    bool OpenRecovered(const std::string& path, const std::string& bytes);

private:
    Confirmation ConfirmDiscard();
    // Save without changing the command in hand (Save from the question Quit asked)
    bool SaveCurrent();
    // Asks for a name in a chooser titled title and writes the document there
    bool ChooseAndSave(const char* title);
    // Says on stderr that the command was not done because no question could be asked
    void ReportCouldNotAsk();
    void Report(const std::string& message);
    enum Loaded { notLoaded, loadedWhole, loadedInPart };
    // Replaces the doll with the bytes' doll when they hold one (loadedInPart when they are
    // cut short); what names them in a report
    Loaded LoadBytes(const std::string& what, const std::string& bytes);
    void SetPath(const std::string& p);

    VelkoDocumentHost* host;
    std::string path;        // the current document's file; "" for an untitled doll
    std::string lastFolder;  // where the choosers start: the folder of the last document
    std::string savedBytes;  // what the doll wrote when last saved or opened
    std::string shownTitle;
    // The command being carried out ("Open", "Save As", "Quit" ...): it titles every dialog
    // the document raises, errors and the question about unsaved changes alike
    std::string command = "Open";
};
