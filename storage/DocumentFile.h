// Documents as whole files: saving that never leaves a half-written document behind, reading
// a document into memory, and the parts of a path shown in titles and file choosers.
//
// Failures are returned with a message for the person that names the file and the reason
// in plain words, e.g. Could not save "/x/y.velko": No space left on device
#pragma once

#include <string>

// Replaces the file at path with bytes, or leaves it byte-for-byte as it was: the bytes go
// to a hidden temporary file in the same folder, which is synced and then renamed over the
// target. A new file gets the permission bits fopen would give it; an existing one keeps
// its own. A symbolic link is written through, so the link stays a link. On failure no
// temporary file is left and *error (non-null) holds the message.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

// Reads the whole file at path (byte-for-byte, no line-end translation) into *bytes. Fails
// for a missing or unreadable file, a folder, or a file too large to be a document
// (over 256 MiB); then *bytes is untouched and *error (non-null) holds the message.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// The last component of path: "/x/y.velko" -> "y.velko"; "" when path is "" or ends in '/'
std::string FileNameOfPath(const std::string& path);
// The folder part of path: "/x/y.velko" -> "/x", "/y.velko" -> "/"; "" when path has no
// folder part ("y.velko")
std::string FolderOfPath(const std::string& path);
