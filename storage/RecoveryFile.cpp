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

#include "DocumentFile.h"

namespace {
const char* const kMagicLine = "velko recovery 1\n";
const char* const kRecoveryExtension = ".recovery";
const char* const kLockExtension = ".lock";

// mkdir -p, private to the user; true when folder is a folder afterwards
bool MakeFolders(const std::string& folder, std::string* error) {
    for (size_t i = 1; i <= folder.size(); i++) {
        if (i < folder.size() && folder[i] != '/') continue;
        std::string part = folder.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = "Could not make the folder \"" + part + "\": " + strerror(errno);
            return false;
        }
    }
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = "\"" + folder + "\" is not a folder";
        return false;
    }
    return true;
}

bool EndsWith(const std::string& s, const char* end) {
    size_t n = strlen(end);
    return s.size() >= n && s.compare(s.size() - n, n, end) == 0;
}

// Opens and locks path exclusively without waiting; -1 when another program holds it
int TakeLock(const std::string& path, bool create) {
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}
}  // namespace

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
    Remove();
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
    }
    wake.notify_all();
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
            bool ok = MakeFolders(folder, &error);
            if (ok && lockFd < 0) {
                lockFd = TakeLock(lockPath, true);
                if (lockFd < 0) {
                    ok = false;
                    error = "Could not lock \"" + lockPath + "\": " + strerror(errno);
                }
            }
            if (ok) ok = WriteFileAtomically(recoveryPath, text, &error);
            hold.lock();
            busy = false;
            Report(ok ? "" : error);
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
    DIR* dir = opendir(folder.c_str());
    if (!dir) return found;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name[0] == '.' || !EndsWith(name, kRecoveryExtension)) continue;
        Orphan o;
        o.recoveryPath = folder + "/" + name;
        std::string lock =
            o.recoveryPath.substr(0, o.recoveryPath.size() - strlen(kRecoveryExtension)) +
            kLockExtension;
        o.lockFd = TakeLock(lock, true);
        if (o.lockFd < 0) continue;  // its program is running
        std::string text, error;
        struct stat st;
        size_t magic = strlen(kMagicLine);
        size_t pathEnd = std::string::npos;
        if (ReadWholeFile(o.recoveryPath, &text, &error) && text.compare(0, magic, kMagicLine) == 0)
            pathEnd = text.find('\n', magic);
        if (pathEnd == std::string::npos || stat(o.recoveryPath.c_str(), &st) != 0) {
            close(o.lockFd);
            continue;
        }
        o.documentPath = text.substr(magic, pathEnd - magic);
        o.bytes = text.substr(pathEnd + 1);
        ages.push_back(
            {(long long)st.st_mtim.tv_sec * 1000000000ll + st.st_mtim.tv_nsec, found.size()});
        found.push_back(std::move(o));
    }
    closedir(dir);
    std::sort(ages.begin(), ages.end(), [](auto& a, auto& b) { return a.first > b.first; });
    std::vector<Orphan> newestFirst;
    for (auto& a : ages) newestFirst.push_back(std::move(found[a.second]));
    return newestFirst;
}

void RecoveryFile::Delete(Orphan* orphan) {
    unlink(orphan->recoveryPath.c_str());
    std::string lock =
        orphan->recoveryPath.substr(0, orphan->recoveryPath.size() - strlen(kRecoveryExtension)) +
        kLockExtension;
    unlink(lock.c_str());
    Release(orphan);
}

void RecoveryFile::Release(Orphan* orphan) {
    if (orphan->lockFd >= 0) close(orphan->lockFd);
    orphan->lockFd = -1;
}
