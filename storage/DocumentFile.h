// Documents as whole files: saving that never leaves a half-written document behind, reading
// a document into memory, and the parts of a path shown in titles and file choosers.
//
// Failures are returned with a message for the person that names the file and the reason
// in plain words, e.g. Could not save "/x/y.velko": No space left on device
#pragma once

#include <functional>
#include <string>

// What a file is written for, which decides how links and new files are treated
enum class FileUse {
    // A person's file: a symbolic link is written through, so the link stays a link; a new
    // file gets 0666 less the umask, as fopen would make it
    shared,
    // The program's own state: a symbolic link at the path is replaced, never followed; a
    // new file is readable by its owner only
    privateState,
};

// Replaces the file at path with bytes, or leaves it byte-for-byte as it was: the bytes go
// to a hidden temporary file ".NAME.XXXXXX" in the same folder, which is synced and then
// renamed over the target. An existing file keeps its permission bits; one the person may
// not write, or one that is not a plain file, is refused. Temporary files of this kind that
// an interrupted save left beside the target (older than a day, held by no save) are
// removed. On failure no temporary file is left and *error (non-null) holds the message.
// The process's umask is never changed: files are created with a mode the kernel masks.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error,
                         FileUse use = FileUse::shared);
// Removes from folder the temporary files ".NAME.XXXXXX" that interrupted saves left, for
// each NAME that isTarget accepts: plain files more than a day old that no save in progress
// holds locked. Best effort; a file that cannot be checked is left.
void RemoveStaleTempFiles(const std::string& folder,
                          const std::function<bool(const std::string&)>& isTarget);

// Reads the whole file at path (byte-for-byte, no line-end translation) into *bytes. Fails
// for a missing or unreadable file, a folder, anything else that is not a plain file (a
// pipe or a device is refused at once, never waited on), or a file too large to be a
// document (over 256 MiB); then *bytes is untouched and *error (non-null) holds the message.
// With FileUse::privateState a symbolic link is refused rather than followed.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error,
                   FileUse use = FileUse::shared);

// Checks, before anything is drawn, that path may take an exported file whose format's
// extension is extension (".png", ".gif"): its name ends in that extension (in any case) or
// has none at all, as a file manager's temporary thumbnail may; it is no Velko document and
// not document (the document being exported, "" for none), directly or through links; and
// when it exists it is a plain file the person may write. False with *error otherwise, a
// message naming the file.
bool CheckExportTarget(const std::string& path, const std::string& extension,
                       const std::string& document, std::string* error);
// Why path's name does not fit an export of extension's format ("" when it does): the name
// check of CheckExportTarget alone, for checking a command line before touching any file
std::string WhyNotAnExportName(const std::string& path, const std::string& extension);

// path made absolute against the working folder (a relative path names another file once
// the working folder changes); "" stays "", and "" when the working folder is gone
std::string AbsolutePath(const std::string& path);

// The last component of path: "/x/y.velko" -> "y.velko"; "" when path is "" or ends in '/'
std::string FileNameOfPath(const std::string& path);
// The folder part of path: "/x/y.velko" -> "/x", "/y.velko" -> "/"; "" when path has no
// folder part ("y.velko")
std::string FolderOfPath(const std::string& path);
