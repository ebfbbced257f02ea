// RecoveryFile: a copy of a document with unsaved changes, kept in the program's state
// folder ($XDG_STATE_HOME/velko, by default ~/.local/state/velko) so that the work survives
// a crash or a kill. A clean exit or a save removes it; a recovery file found at start that
// no running program holds was left by one that ended without that.
//
// Each program writes its own pair of files, NAME.recovery and NAME.lock, with a name no
// other program uses (its process id and start time). It holds an exclusive lock on the
// .lock file for as long as it runs, which the system releases however the program ends,
// so a file whose lock can be taken belongs to nobody. The .recovery file holds the line
// "velko recovery 1", the document's own path (empty when untitled) on a line of its own,
// and then the document's bytes. It is written atomically, like a saved document, and
// readable by its owner only.
//
// The folder holds a person's unsaved work, so it is used only when it is a real folder
// (not a link) owned by the person, and it is made 0700 when it is not closed to others
// already; otherwise the program warns once on stderr and keeps no copy. Nothing in it is
// followed through a symbolic link.
//
// Writing and removing happen in a thread of their own, in the order they were asked for,
// so the editor's ticks never wait for the disk; the document is handed over as a copy.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class RecoveryFile {
public:
    // $XDG_STATE_HOME/velko when that is an absolute path, else $HOME/.local/state/velko;
    // "" when neither can be found
    static std::string DefaultFolder();

    // Files go to folder, which is created (with its parents, private to the user) when the
    // first document is written
    explicit RecoveryFile(const std::string& folder);
    // Waits for the writes asked for, then removes this program's files: the clean exit
    ~RecoveryFile();
    RecoveryFile(const RecoveryFile&) = delete;
    RecoveryFile& operator=(const RecoveryFile&) = delete;

    // Writes the document (its own path, "" when untitled) as this program's recovery file,
    // replacing what the file held; a document asked for before the previous one was
    // written replaces it unwritten
    void Write(const std::string& documentPath, const std::string& bytes);
    // Removes this program's recovery file, after the writes asked for before
    void Remove();
    // Writes the document at once and keeps it after this program ends, for the next start
    // to offer (the program ends without having asked about unsaved work). False, with the
    // failure in GetLastError(), when it could not be written.
    bool KeepForNextStart(const std::string& documentPath, const std::string& bytes);
    // Waits until every write and removal asked for has been done (for tests and exit)
    void Flush();
    // The .recovery file this program writes
    const std::string& GetPath() const { return recoveryPath; }
    // The last failure of a write, "" when the last one succeeded; failures are also
    // written to stderr once each
    std::string GetLastError();

    // A recovery file that no running program holds. While the Orphan lives, this program
    // holds its lock, so no other program starting at the same time offers it too.
    struct Orphan {
        std::string recoveryPath;
        std::string documentPath;  // the document's own path, "" when it was untitled
        std::string bytes;         // the document
        int lockFd = -1;
        bool lockMade = false;  // the lock file was made by looking for orphans
    };
    // Reads every recovery file in folder whose lock is free, newest first; a file that is
    // not a recovery file is skipped. Lock files left without their copy are removed, and so
    // are the temporaries of copies whose write was cut short, once a day old and unheld.
    static std::vector<Orphan> FindOrphans(const std::string& folder);
    // Deletes the orphan's files (restored or discarded) and releases its lock
    static void Delete(Orphan* orphan);
    // Releases the lock and leaves the copy for a later start (and the lock file only when
    // it was there before)
    static void Release(Orphan* orphan);
    // Whether folder may hold recovery copies: a folder (not a link) of this user's, which is
    // made 0700 when others could reach into it. With create, it is made first (with its
    // parents, 0700). False with *error otherwise, the message also said once on stderr.
    static bool CheckFolder(const std::string& folder, bool create, std::string* error);

private:
    void Run();  // the writer thread
    void Report(const std::string& error);

    std::string folder, recoveryPath, lockPath;
    int lockFd = -1;

    std::mutex mutex;
    std::condition_variable wake, idle;
    std::thread writer;
    bool havePending = false;  // a document waits in pendingBytes
    std::string pendingPath, pendingBytes;
    bool removePending = false;
    bool busy = false;  // the thread is writing or removing outside the lock
    bool stop = false;
    bool keepOnExit = false;  // the copy stays when the program ends
    std::string lastError, reportedError;
};
