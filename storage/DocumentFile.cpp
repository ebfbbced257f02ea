#include "DocumentFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "VelkoAssert.h"

namespace {

constexpr long long kMaxDocumentBytes = 256LL * 1024 * 1024;
// Links followed before a save gives up, as the kernel does (ELOOP)
constexpr int kMaxLinkHops = 40;
// Longest part of the target's name kept in the temporary name ".NAME.XXXXXX", so that the
// temporary name stays within the usual 255-byte limit of one path component
constexpr size_t kMaxTempStem = 240;

bool Failed(const char* verb, const std::string& path, const std::string& reason,
            std::string* error) {
    *error = std::string("Could not ") + verb + " \"" + path + "\": " + reason;
    return false;
}

bool SaveFailed(const std::string& path, int err, std::string* error) {
    return Failed("save", path, std::strerror(err), error);
}

bool OpenFailed(const std::string& path, int err, std::string* error) {
    return Failed("open", path, std::strerror(err), error);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The file a save to path replaces: path itself, or the file its chain of symbolic links
// ends at, which need not exist yet (a dangling link names the file to create). False with
// errno set when the chain cannot be followed.
bool ResolveLinks(const std::string& path, std::string* target) {
    std::string name = path;
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        struct stat st;
        if (lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            *target = name;
            return true;
        }
        if (char* real = realpath(name.c_str(), nullptr)) {
            *target = real;
            free(real);
            return true;
        }
        char link[PATH_MAX];
        const ssize_t n = readlink(name.c_str(), link, sizeof link);
        if (n < 0) return false;
        if (static_cast<size_t>(n) == sizeof link) {
            errno = ENAMETOOLONG;
            return false;
        }
        const std::string linked(link, static_cast<size_t>(n));
        name = linked[0] == '/' ? linked : JoinPath(FolderOfPath(name), linked);
    }
    errno = ELOOP;
    return false;
}

// Characters of the six that end a temporary file's name, as mkstemp uses
const char kTempCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const size_t kTempSuffix = 6;
// A temporary file older than this was left by a save that never finished
const time_t kStaleTempSeconds = 24 * 60 * 60;

// The hidden temporary name's start for a target named name: ".NAME."
std::string TempPrefix(const std::string& name) { return "." + name.substr(0, kMaxTempStem) + "."; }

// Creates and opens a new temporary file in folder for a target named name, with mode
// (masked by the kernel with the umask) and locked, so that no cleanup takes it while the
// save runs; -1 with errno set on failure
int CreateTempFile(const std::string& folder, const std::string& name, mode_t mode,
                   std::string* temp) {
    for (int attempt = 0; attempt < 100; attempt++) {
        unsigned char random[kTempSuffix];
        if (getrandom(random, sizeof random, 0) != (ssize_t)sizeof random) {
            // No entropy source: the time, the process and the attempt still differ
            const unsigned long long t = ((unsigned long long)time(nullptr) << 24) ^
                                         ((unsigned long long)getpid() << 8) ^ (attempt * 7919u);
            for (size_t i = 0; i < kTempSuffix; i++) random[i] = (unsigned char)(t >> (8 * i));
        }
        std::string suffix;
        for (unsigned char r : random) suffix += kTempCharacters[r % (sizeof kTempCharacters - 1)];
        *temp = JoinPath(folder, TempPrefix(name) + suffix);
        const int fd =
            open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            (void)flock(fd, LOCK_EX);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

// The NAME (cut as TempPrefix cuts it) of a temporary file ".NAME.XXXXXX", the pattern
// CreateTempFile makes; "" for any other name
std::string TargetOfTempName(const std::string& candidate) {
    if (candidate.size() < kTempSuffix + 3 || candidate[0] != '.' ||
        candidate[candidate.size() - kTempSuffix - 1] != '.')
        return "";
    for (size_t i = candidate.size() - kTempSuffix; i < candidate.size(); i++)
        if (!strchr(kTempCharacters, candidate[i])) return "";
    return candidate.substr(1, candidate.size() - kTempSuffix - 2);
}

}  // namespace

void RemoveStaleTempFiles(const std::string& folder,
                          const std::function<bool(const std::string&)>& isTarget) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const time_t now = time(nullptr);
    while (dirent* e = readdir(dir)) {
        const std::string target = TargetOfTempName(e->d_name);
        if (target.empty() || !isTarget(target)) continue;
        const int fd =
            openat(dirfd(dir), e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && now - st.st_mtime > kStaleTempSeconds &&
            flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirfd(dir), e->d_name, 0);
        close(fd);
    }
    closedir(dir);
}

namespace {

// A file the person may not write: access says so, or (for root, whom access lets write
// anything) no write bit is set at all. Renaming over it would need only the folder.
bool IsReadOnly(const std::string& path, const struct stat& st) {
    if ((st.st_mode & 0222) == 0) return true;
    return access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM);
}

// Why an existing target at path (st from stat, links followed) must not be replaced by a
// save, or "" when it may be
std::string WhyNotReplaceable(const std::string& path, const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
    // Renaming over a device or a pipe would replace it with a plain file
    if (!S_ISREG(st.st_mode)) return "It is not a plain file";
    if (IsReadOnly(path, st)) return "the file is read-only";
    return "";
}

// Writes all n bytes, resuming after short writes and signals
bool WriteAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        const ssize_t written = write(fd, p, n);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {  // no progress on a regular file: the disk took nothing more
            errno = ENOSPC;
            return false;
        }
        p += written;
        n -= static_cast<size_t>(written);
    }
    return true;
}

// Makes the rename durable. Best effort: some file systems cannot sync a folder.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)fsync(fd);
    close(fd);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error,
                         FileUse use) {
    VELKO_ASSERT(error);
    if (path.empty()) {
        *error = "Could not save the document: no file name was given";
        return false;
    }
    std::string target = path;
    if (use == FileUse::shared && !ResolveLinks(path, &target))
        return SaveFailed(path, errno, error);

    const std::string name = FileNameOfPath(target);
    if (name.empty() || name == "." || name == "..") return SaveFailed(path, EISDIR, error);

    // A new file: the kernel applies the umask to this mode
    mode_t newMode = use == FileUse::shared ? 0666 : 0600;
    bool existing = false;
    mode_t mode = 0;
    struct stat st;
    const int found =
        use == FileUse::shared ? stat(target.c_str(), &st) : lstat(target.c_str(), &st);
    if (found == 0 && !(use == FileUse::privateState && S_ISLNK(st.st_mode))) {
        const std::string why = WhyNotReplaceable(target, st);
        if (!why.empty()) return Failed("save", path, why, error);
        existing = true;
        mode = st.st_mode & 0777;
        newMode = 0600;  // until it has the old file's bits, before any byte is in it
    } else if (found != 0 && errno != ENOENT) {
        return SaveFailed(path, errno, error);
    }

    // The temporary file must be on the target's file system for the rename to be atomic
    const std::string folder = FolderOfPath(target);
    std::string temp;
    const int fd = CreateTempFile(folder, name, newMode, &temp);
    if (fd < 0) return SaveFailed(path, errno, error);

    // A full disk may show at the write, the sync or the close (network and quota file
    // systems report late), so each is checked
    bool ok = (!existing || fchmod(fd, mode) == 0) && WriteAll(fd, bytes.data(), bytes.size());
    // EINVAL: the file system keeps no cache to sync, the bytes are already where they go
    if (ok && fsync(fd) != 0 && errno != EINVAL) ok = false;
    int failure = ok ? 0 : errno;
    // Linux frees the descriptor even when close is interrupted, and the data is synced
    if (close(fd) != 0 && ok && errno != EINTR) {
        ok = false;
        failure = errno;
    }
    if (ok && rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        return SaveFailed(path, failure, error);
    }
    SyncFolder(folder);
    const std::string stem = name.substr(0, kMaxTempStem);
    RemoveStaleTempFiles(folder, [&stem](const std::string& target) { return target == stem; });
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error, FileUse use) {
    VELKO_ASSERT(bytes && error);
    if (path.empty()) {
        *error = "Could not open the document: no file name was given";
        return false;
    }
    // Without waiting: opening a pipe for reading would wait for a writer
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC |
                                          (use == FileUse::privateState ? O_NOFOLLOW : 0));
    if (fd < 0) return OpenFailed(path, errno, error);

    std::string content;
    std::string reason;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {  // opening a folder for reading succeeds on Linux
        reason = std::strerror(EISDIR);
    } else if (!S_ISREG(st.st_mode)) {
        reason = "It is not a plain file";
    } else if (st.st_size > kMaxDocumentBytes) {
        reason = "It is too large to be a document";
    } else {
        content.reserve(static_cast<size_t>(st.st_size));
        // The size may change while reading, so the limit is kept while reading too
        char chunk[64 * 1024];
        for (;;) {
            const ssize_t n = read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                reason = std::strerror(errno);
                break;
            }
            if (n == 0) break;
            if (static_cast<long long>(content.size()) + n > kMaxDocumentBytes) {
                reason = "It is too large to be a document";
                break;
            }
            content.append(chunk, static_cast<size_t>(n));
        }
    }
    close(fd);
    if (!reason.empty()) return Failed("open", path, reason, error);
    bytes->swap(content);
    return true;
}

std::string WhyNotAnExportName(const std::string& path, const std::string& extension) {
    const std::string name = FileNameOfPath(path);
    const size_t dot = name.rfind('.');
    // No extension ("thumbnail", ".hidden"): the file is what the command says it is
    if (dot == std::string::npos || dot == 0) return "";
    const std::string has = name.substr(dot);
    if (strcasecmp(has.c_str(), extension.c_str()) == 0) return "";
    if (strcasecmp(has.c_str(), ".velko") == 0) return "it is a Velko document";
    // True of the editor, which adds the extension to a bare name, and of velko-render,
    // which writes a bare name as it is
    const char* kind =
        strcasecmp(extension.c_str(), ".gif") == 0 ? "a GIF animation" : "a PNG picture";
    return "the name ends in " + has + ", which is not " + kind + "'s extension (" + extension +
           ")";
}

bool CheckExportTarget(const std::string& path, const std::string& extension,
                       const std::string& document, std::string* error) {
    VELKO_ASSERT(error);
    if (path.empty()) {
        *error = "Could not export: no file name was given";
        return false;
    }
    const std::string why = WhyNotAnExportName(path, extension);
    if (!why.empty()) return Failed("export", path, why, error);
    struct stat st, doc;
    if (stat(path.c_str(), &st) != 0) {
        // A name of its own, unless it is the document's, whose file is not written yet
        if (!document.empty() && AbsolutePath(path) == AbsolutePath(document))
            return Failed("export", path, "it is the document being exported", error);
        return true;
    }
    if (!document.empty() && stat(document.c_str(), &doc) == 0 && doc.st_dev == st.st_dev &&
        doc.st_ino == st.st_ino)
        return Failed("export", path, "it is the document being exported", error);
    const std::string notReplaceable = WhyNotReplaceable(path, st);
    if (!notReplaceable.empty()) return Failed("export", path, notReplaceable, error);
    return true;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) return "";
    std::string absolute = cwd;
    free(cwd);
    // "./a" is "a"; anything else stays as given (".." may cross a link, so it is not undone)
    size_t start = 0;
    while (path.compare(start, 2, "./") == 0) {
        start += 2;
        while (start < path.size() && path[start] == '/') start++;
    }
    return JoinPath(absolute, path.substr(start));
}

std::string FileNameOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return "";
    // "a//b" is in "a"; "/b" and "//b" are in the root
    const size_t end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}
