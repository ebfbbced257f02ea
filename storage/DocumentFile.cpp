#include "DocumentFile.h"

#include <fcntl.h>
#include <sys/stat.h>
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

// The process's file-creation mask. Reading it means setting it, so it is set straight
// back; this program creates no files on other threads meanwhile.
mode_t CurrentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
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

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    VELKO_ASSERT(error);
    if (path.empty()) {
        *error = "Could not save the document: no file name was given";
        return false;
    }
    std::string target;
    if (!ResolveLinks(path, &target)) return SaveFailed(path, errno, error);

    const std::string name = FileNameOfPath(target);
    if (name.empty() || name == "." || name == "..") return SaveFailed(path, EISDIR, error);

    mode_t mode = 0;
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return SaveFailed(path, EISDIR, error);
        // Renaming over a device or a pipe would replace it with a plain file
        if (!S_ISREG(st.st_mode)) return Failed("save", path, "It is not a plain file", error);
        mode = st.st_mode & 0777;
    } else if (errno == ENOENT) {
        mode = 0666 & ~CurrentUmask();  // what fopen(path, "w") would create
    } else {
        return SaveFailed(path, errno, error);
    }

    // The temporary file must be on the target's file system for the rename to be atomic
    const std::string folder = FolderOfPath(target);
    std::string temp = JoinPath(folder, "." + name.substr(0, kMaxTempStem) + ".XXXXXX");
    const int fd = mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) return SaveFailed(path, errno, error);

    // A full disk may show at the write, the sync or the close (network and quota file
    // systems report late), so each is checked
    bool ok = WriteAll(fd, bytes.data(), bytes.size()) && fchmod(fd, mode) == 0;
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
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    VELKO_ASSERT(bytes && error);
    if (path.empty()) {
        *error = "Could not open the document: no file name was given";
        return false;
    }
    FILE* f = fopen(path.c_str(), "rbe");
    if (!f) return OpenFailed(path, errno, error);

    std::string content;
    std::string reason;
    struct stat st;
    if (fstat(fileno(f), &st) != 0) {
        reason = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {  // opening a folder for reading succeeds on Linux
        reason = std::strerror(EISDIR);
    } else if (st.st_size > kMaxDocumentBytes) {
        reason = "It is too large to be a document";
    } else {
        if (S_ISREG(st.st_mode)) content.reserve(static_cast<size_t>(st.st_size));
        // A pipe or a device tells no size, so the limit is kept while reading too
        char chunk[64 * 1024];
        size_t n;
        while (reason.empty() && (n = fread(chunk, 1, sizeof chunk, f)) > 0) {
            if (static_cast<long long>(content.size() + n) > kMaxDocumentBytes)
                reason = "It is too large to be a document";
            else
                content.append(chunk, n);
        }
        if (reason.empty() && ferror(f)) reason = std::strerror(errno);
    }
    fclose(f);
    if (!reason.empty()) return Failed("open", path, reason, error);
    bytes->swap(content);
    return true;
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
