#include "VelkoDocument.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "AppFiles.h"
#include "DocumentFile.h"
#include "tbfReader.h"

namespace {
const char* const kUntitled = "Untitled";
const char* const kProgramName = "Velko";
const char* const kDocumentExtension = ".velko";

}  // namespace

FILE* OpenDocumentBytes(const std::string& bytes) {
    // fmemopen refuses a zero-length buffer in some C libraries; an empty document is read
    // from a one-byte buffer holding nothing but a line end
    static const char kEmpty[] = "\n";
    if (bytes.empty()) return fmemopen((void*)kEmpty, 1, "r");
    return fmemopen((void*)bytes.data(), bytes.size(), "r");
}

std::string WhyNotADollDocument(const std::string& bytes) {
    FILE* f = OpenDocumentBytes(bytes);
    if (!f) return strerror(errno);
    tbfReaderAsciiFILE reader(f);
    if (!reader.GetIsFileReadable()) return "it is not a Velko document";
    // A doll reads the first item as its chunk; anything else would leave it empty
    if (!reader.Read() || !reader.GetIsChunk() || !reader.GetIsChunkType("velko"))
        return "it holds no doll";
    return "";
}

std::string VelkoDocument::GetName() const {
    std::string name = FileNameOfPath(path);
    return name.empty() ? kUntitled : name;
}

std::string VelkoDocument::GetTitle(bool unsaved) const {
    return GetName() + (unsaved ? " \u2022" : "") + " - " + kProgramName;
}

void VelkoDocument::Begin() {
    path.clear();
    if (!host->WriteDocument(&savedBytes)) savedBytes.clear();
    RefreshTitle();
}

void VelkoDocument::BeginWithPath(const std::string& commandLinePath) {
    Begin();
    if (commandLinePath.empty()) return;
    struct stat st;
    if (stat(commandLinePath.c_str(), &st) != 0 && errno == ENOENT) {
        // A new document: the doll stays new, the first Save writes it here
        SetPath(commandLinePath);
        RefreshTitle();
        return;
    }
    OpenPath(commandLinePath);
}

bool VelkoDocument::HasUnsavedChanges() {
    std::string now;
    if (!host->WriteDocument(&now)) return true;
    return now != savedBytes;
}

void VelkoDocument::RefreshTitle() {
    std::string now;
    if (!host->WriteDocument(&now)) now.clear();
    RefreshTitleFor(now);
}

void VelkoDocument::RefreshTitleFor(const std::string& now) {
    std::string title = GetTitle(now.empty() || now != savedBytes);
    if (title == shownTitle) return;
    shownTitle = title;
    host->ShowTitle(title.c_str());
}

void VelkoDocument::SetPath(const std::string& p) {
    path = p;
    lastFolder = FolderOfPath(p);
}

void VelkoDocument::Report(const std::string& message) {
    fprintf(stderr, "velko: %s\n", message.c_str());
    if (AppFiles* files = AppFiles::Get()) files->ShowError(message);
    // After the dialog, which holds the program until it is closed
    host->ShowStatus(message);
}

bool VelkoDocument::ConfirmDiscard() {
    if (!HasUnsavedChanges()) return true;
    AppFiles* files = AppFiles::Get();
    // Without a way to ask there is no way to keep the person from going on either; at
    // least the loss is not silent
    if (!files) {
        fprintf(stderr, "velko: unsaved changes to %s were discarded (no dialog to ask)\n",
                GetName().c_str());
        return true;
    }
    switch (files->AskSaveChanges(GetName())) {
        case AppFiles::saveChanges:
            return Save();
        case AppFiles::discardChanges:
            return true;
        default:
            return false;
    }
}

bool VelkoDocument::New() {
    if (!ConfirmDiscard()) return false;
    host->NewDocument();
    Begin();
    host->ShowStatus("New doll");
    return true;
}

bool VelkoDocument::Open() {
    AppFiles* files = AppFiles::Get();
    if (!files) return false;
    if (!ConfirmDiscard()) return false;
    std::string chosen = files->ChooseDocumentToOpen("Open", lastFolder);
    if (chosen.empty()) return false;  // cancelled
    return OpenPath(chosen);
}

bool VelkoDocument::LoadBytes(const std::string& what, const std::string& bytes) {
    std::string why = WhyNotADollDocument(bytes);
    if (!why.empty()) {
        Report("Could not open " + what + ": " + why);
        return false;
    }
    FILE* f = OpenDocumentBytes(bytes);
    if (!f) {
        Report("Could not open " + what + ": " + strerror(errno));
        return false;
    }
    tbfReaderAsciiFILE reader(f);  // closes f when it goes
    host->LoadDocument(&reader);
    return true;
}

bool VelkoDocument::OpenRecovered(const std::string& p, const std::string& bytes) {
    if (!LoadBytes("the recovered copy of " + (p.empty() ? std::string(kUntitled) : p), bytes))
        return false;
    if (p.empty())
        path.clear();
    else
        SetPath(p);
    // Unsaved work whatever the file on disk holds, until the person saves it
    savedBytes.clear();
    RefreshTitle();
    host->ShowStatus("Restored " + GetName());
    return true;
}

bool VelkoDocument::OpenPath(const std::string& p) {
    std::string bytes, error;
    if (!ReadWholeFile(p, &bytes, &error)) {
        Report(error);
        return false;
    }
    if (!LoadBytes("\"" + p + "\"", bytes)) return false;
    SetPath(p);
    // What the opened doll writes, so a file written another way (by hand, by an older
    // version) does not count as changed merely by being read
    if (!host->WriteDocument(&savedBytes)) savedBytes = bytes;
    RefreshTitle();
    host->ShowStatus("Opened " + GetName());
    return true;
}

bool VelkoDocument::Save() {
    if (path.empty()) return SaveAs("Save");
    return SaveToPath(path);
}

bool VelkoDocument::SaveAs(const char* title) {
    AppFiles* files = AppFiles::Get();
    if (!files) return false;
    std::string proposed = path.empty() ? std::string(kUntitled) + kDocumentExtension : GetName();
    std::string chosen = files->ChooseDocumentToSave(title, lastFolder, proposed);
    if (chosen.empty()) return false;  // cancelled
    return SaveToPath(chosen);
}

bool VelkoDocument::SaveToPath(const std::string& p) {
    std::string bytes, error;
    if (!host->WriteDocument(&bytes)) {
        Report("Could not save \"" + p + "\": the document could not be put together in memory");
        return false;
    }
    if (!WriteFileAtomically(p, bytes, &error)) {
        Report(error);
        return false;
    }
    SetPath(p);
    savedBytes = bytes;
    RefreshTitle();
    host->ShowStatus("Saved " + GetName());
    return true;
}
