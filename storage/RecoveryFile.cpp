#include "RecoveryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "DocumentFile.h"

namespace {
const char* const kMagicLine = "velko recovery 1\n";
const char* const kRecoveryExtension = ".recovery";
const char* const kLockExtension = ".lock";

// "PID-START.recovery", the name every program gives its own copy
bool IsCopyName(const std::string& name) {
    const size_t dash = name.find('-');
    const size_t dot = name.find('.');
    auto digits = [&name](size_t from, size_t to) {
        return to > from && name.find_first_not_of("0123456789", from) >= to;
    };
    return dash != std::string::npos && dot != std::string::npos && digits(0, dash) &&
           digits(dash + 1, dot) && name.compare(dot, std::string::npos, kRecoveryExtension) == 0;
}

// mkdir -p, private to the user
bool MakeFolders(const std::string& folder, std::string* error) {
    for (size_t i = 1; i <= folder.size(); i++) {
        if (i < folder.size() && folder[i] != '/') continue;
        std::string part = folder.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = "Could not make the folder \"" + part + "\": " + strerror(errno);
            return false;
        }
    }
    return true;
}

// Says message on stderr the first time this process meets it
void WarnOnce(const std::string& message) {
    static std::mutex mutex;
    static std::set<std::string> said;
    std::lock_guard<std::mutex> hold(mutex);
    if (said.insert(message).second) fprintf(stderr, "velko: %s\n", message.c_str());
}

bool EndsWith(const std::string& s, const char* end) {
    size_t n = strlen(end);
    return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

std::string WithExtension(const std::string& path, const char* from, const char* to) {
    return path.substr(0, path.size() - strlen(from)) + to;
}

// Opens and locks path exclusively without waiting, never through a link; -1 when another
// program holds it or it cannot be opened. With create it is made when missing, and *made
// says whether this call made it. The lock counts only while the file is still the one at
// path: a program that removes its lock file after taking it does not leave it to others.
int TakeLock(const std::string& path, bool create, bool* made = nullptr) {
    if (made) *made = false;
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 && errno == ENOENT && create) {
        fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_CREAT | O_EXCL, 0600);
        if (fd >= 0 && made) *made = true;
    }
    if (fd < 0) return -1;
    struct stat held, named;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &held) != 0 ||
        lstat(path.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
        held.st_dev != named.st_dev) {
        const int err = errno;
        if (made && *made) unlink(path.c_str());
        close(fd);
        errno = err;
        return -1;
    }
    return fd;
}
}  // namespace

bool RecoveryFile::CheckFolder(const std::string& folder, bool create, std::string* error) {
    std::string why;
    struct stat st;
    if (create && !MakeFolders(folder, &why)) {
        // said with the failure to write
    } else if (lstat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT && !create) return false;  // nothing kept there yet
        why = "\"" + folder + "\": " + strerror(errno);
    } else if (!S_ISDIR(st.st_mode)) {
        why = "\"" + folder + "\" is not a folder of its own (a link or a file)";
    } else if (st.st_uid != geteuid()) {
        why = "\"" + folder + "\" belongs to another user";
    } else if ((st.st_mode & 07777) != 0700 && chmod(folder.c_str(), 0700) != 0) {
        why = "could not close \"" + folder + "\" to other users: " + strerror(errno);
    } else {
        return true;
    }
    *error = why;
    WarnOnce("no recovery copy of unsaved work is kept or offered: " + why);
    return false;
}

std::string RecoveryFile::DefaultFolder() {
    const char* state = getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/velko";
    const char* home = getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/velko";
    return "";
}

RecoveryFile::RecoveryFile(const std::string& folder) : folder(folder) {
    long long started = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    std::string base = folder + "/" + std::to_string(getpid()) + "-" + std::to_string(started);
    recoveryPath = base + kRecoveryExtension;
    lockPath = base + kLockExtension;
    writer = std::thread(&RecoveryFile::Run, this);
}

RecoveryFile::~RecoveryFile() {
    bool keep;
    {
        std::lock_guard<std::mutex> hold(mutex);
        keep = keepOnExit;
    }
    if (!keep) Remove();
    {
        std::lock_guard<std::mutex> hold(mutex);
        stop = true;
    }
    wake.notify_all();
    writer.join();
    if (lockFd >= 0) {
        unlink(lockPath.c_str());
        close(lockFd);
    }
}

void RecoveryFile::Write(const std::string& documentPath, const std::string& bytes) {
    {
        std::lock_guard<std::mutex> hold(mutex);
        pendingPath = documentPath;
        pendingBytes = bytes;
        havePending = true;
        removePending = false;  // the write replaces the file anyway
    }
    wake.notify_all();
}

void RecoveryFile::Remove() {
    {
        std::lock_guard<std::mutex> hold(mutex);
        havePending = false;  // nothing unwritten is worth writing now
        pendingBytes.clear();
        removePending = true;
        keepOnExit = false;
    }
    wake.notify_all();
}

bool RecoveryFile::KeepForNextStart(const std::string& documentPath, const std::string& bytes) {
    Write(documentPath, bytes);
    Flush();
    std::lock_guard<std::mutex> hold(mutex);
    keepOnExit = lastError.empty();
    return keepOnExit;
}

void RecoveryFile::Flush() {
    std::unique_lock<std::mutex> hold(mutex);
    idle.wait(hold, [this] { return !havePending && !removePending && !busy; });
}

std::string RecoveryFile::GetLastError() {
    std::lock_guard<std::mutex> hold(mutex);
    return lastError;
}

void RecoveryFile::Report(const std::string& error) {
    // Called with the mutex held; the same failure every ten seconds is said once
    lastError = error;
    if (!error.empty() && error != reportedError)
        fprintf(stderr, "velko: the recovery copy could not be kept: %s\n", error.c_str());
    reportedError = error;
}

void RecoveryFile::Run() {
    std::unique_lock<std::mutex> hold(mutex);
    for (;;) {
        wake.wait(hold, [this] { return stop || havePending || removePending; });
        if (havePending) {
            std::string text = kMagicLine;
            // A path is one line; one that holds a line end is not kept (the name is lost,
            // not the doll)
            text += pendingPath.find('\n') == std::string::npos ? pendingPath : std::string();
            text += '\n';
            text += pendingBytes;
            havePending = false;
            pendingBytes.clear();
            busy = true;
            hold.unlock();
            std::string error;
            // Checked at every write: the folder may have been replaced meanwhile
            const bool folderSafe = CheckFolder(folder, true, &error);
            bool ok = folderSafe;
            if (ok && lockFd < 0) {
                lockFd = TakeLock(lockPath, true);
                if (lockFd < 0) {
                    ok = false;
                    error = "Could not lock \"" + lockPath + "\": " + strerror(errno);
                }
            }
            if (ok) ok = WriteFileAtomically(recoveryPath, text, &error, FileUse::privateState);
            hold.lock();
            busy = false;
            if (folderSafe)
                Report(ok ? "" : error);
            else
                lastError = error;  // CheckFolder has said it
        } else if (removePending) {
            removePending = false;
            busy = true;
            hold.unlock();
            bool ok = unlink(recoveryPath.c_str()) == 0 || errno == ENOENT;
            std::string error =
                ok ? "" : "Could not remove \"" + recoveryPath + "\": " + strerror(errno);
            hold.lock();
            busy = false;
            Report(error);
        } else if (stop) {
            break;
        }
        if (!havePending && !removePending) idle.notify_all();
    }
    idle.notify_all();
}

std::vector<RecoveryFile::Orphan> RecoveryFile::FindOrphans(const std::string& folder) {
    std::vector<Orphan> found;
    std::vector<std::pair<long long, size_t>> ages;  // modification time, index
    std::string why;
    if (!CheckFolder(folder, false, &why)) return found;
    // What a copy's write cut short by a kill left: its program's name is never used again,
    // so no later write of that copy would clear it
    RemoveStaleTempFiles(folder, IsCopyName);
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(dir);
    }
    for (const std::string& name : names) {
        struct stat st;
        const std::string path = folder + "/" + name;
        // A lock without its copy: left by a program killed before its first copy was
        // written; removed unless its program is still running
        if (EndsWith(name, kLockExtension) &&
            lstat(WithExtension(path, kLockExtension, kRecoveryExtension).c_str(), &st) != 0 &&
            errno == ENOENT) {
            const int fd = TakeLock(path, false);
            if (fd >= 0) {
                unlink(path.c_str());
                close(fd);
            }
            continue;
        }
        if (!EndsWith(name, kRecoveryExtension) || lstat(path.c_str(), &st) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        Orphan o;
        o.recoveryPath = path;
        o.lockFd =
            TakeLock(WithExtension(path, kRecoveryExtension, kLockExtension), true, &o.lockMade);
        if (o.lockFd < 0) continue;  // its program is running
        std::string text, error;
        size_t magic = strlen(kMagicLine);
        size_t pathEnd = std::string::npos;
        if (ReadWholeFile(o.recoveryPath, &text, &error, FileUse::privateState) &&
            text.compare(0, magic, kMagicLine) == 0)
            pathEnd = text.find('\n', magic);
        if (pathEnd == std::string::npos) {
            Release(&o);
            continue;
        }
        o.documentPath = text.substr(magic, pathEnd - magic);
        o.bytes = text.substr(pathEnd + 1);
        ages.push_back(
            {(long long)st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec, found.size()});
        found.push_back(std::move(o));
    }
    std::sort(ages.begin(), ages.end(), [](auto& a, auto& b) { return a.first > b.first; });
    std::vector<Orphan> newestFirst;
    for (auto& a : ages) newestFirst.push_back(std::move(found[a.second]));
    return newestFirst;
}

void RecoveryFile::Delete(Orphan* orphan) {
    unlink(orphan->recoveryPath.c_str());
    orphan->lockMade = true;  // the lock file goes with the copy
    Release(orphan);
}

void RecoveryFile::Release(Orphan* orphan) {
    if (orphan->lockFd < 0) return;
    // Removed while still held, so no other program takes the lock of a file that is gone
    if (orphan->lockMade)
        unlink(WithExtension(orphan->recoveryPath, kRecoveryExtension, kLockExtension).c_str());
    close(orphan->lockFd);
    orphan->lockFd = -1;
}
