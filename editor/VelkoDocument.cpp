#include "VelkoDocument.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "AppFiles.h"
#include "DisplayText.h"
#include "DocumentFile.h"
#include "SketchDoll.h"
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

bool IsCutShort(const std::string& bytes) {
    FILE* f = OpenDocumentBytes(bytes);
    if (!f) return false;
    tbfReaderAsciiFILE reader(f);  // closes f
    if (!reader.Read() || !reader.OpenNode()) return false;
    // Walks the chunk the way readers see it (an item ending in "{" opens a node, a line
    // starting with "}" closes one) with a count, not recursion: the stream must reach the
    // chunk's own closing line
    for (long long depth = 1; depth > 0;) {
        if (reader.Read()) {
            if (reader.OpenNode()) depth++;
        } else if (reader.GetIsEndOfNode()) {
            reader.CloseNode();
            depth--;
        } else {
            return true;  // the end of the stream inside a node
        }
    }
    return false;
}

std::string VelkoDocument::GetName() const {
    std::string name = FileNameOfPath(path);
    return name.empty() ? kUntitled : name;
}

std::string VelkoDocument::GetTitle(bool unsaved) const {
    return ValidUtf8ForDisplay(GetName()) + (unsaved ? " \u2022" : "") + " - " + kProgramName;
}

void VelkoDocument::Begin() {
    path.clear();
    if (!host->WriteDocument(&savedBytes)) savedBytes.clear();
    RefreshTitle();
}

void VelkoDocument::BeginWithPath(const std::string& commandLinePath) {
    Begin();
    command = "Open";
    if (commandLinePath.empty()) return;
    if (AbsolutePath(commandLinePath).empty()) {
        Report("Could not open \"" + commandLinePath + "\": the working folder is gone");
        return;
    }
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
    path = AbsolutePath(p);
    lastFolder = FolderOfPath(path);
}

void VelkoDocument::Report(const std::string& message) {
    fprintf(stderr, "velko: %s\n", message.c_str());
    if (AppFiles* files = AppFiles::Get()) files->ShowError(command, message);
    // After the dialog, which holds the program until it is closed
    host->ShowStatus(message);
}

VelkoDocument::Confirmation VelkoDocument::ConfirmDiscard() {
    if (!HasUnsavedChanges()) return proceed;
    AppFiles* files = AppFiles::Get();
    switch (files ? files->AskSaveChanges(command, GetName()) : AppFiles::cannotAsk) {
        case AppFiles::saveChanges:
            return SaveCurrent() ? proceed : cancelled;
        case AppFiles::discardChanges:
            return proceed;
        case AppFiles::cannotAsk:
            return couldNotAsk;
        default:
            return cancelled;
    }
}

void VelkoDocument::ReportCouldNotAsk() {
    // Without an answer the changes are kept; a dialog could not show this either
    fprintf(stderr,
            "velko: could not ask whether to save the changes to %s, so %s was not done; "
            "save them first\n",
            GetName().c_str(), command.c_str());
    host->ShowStatus(command + " was not done: there was no dialog to ask about " +
                     "the unsaved changes to " + GetName() + "; save them first");
}

bool VelkoDocument::New() {
    command = "New";
    switch (ConfirmDiscard()) {
        case proceed:
            break;
        case couldNotAsk:
            ReportCouldNotAsk();
            return false;
        default:
            return false;
    }
    host->NewDocument();
    Begin();
    host->DocumentReplaced();
    host->ShowStatus("New doll");
    return true;
}

bool VelkoDocument::Open() {
    command = "Open";
    AppFiles* files = AppFiles::Get();
    if (!files) return false;
    switch (ConfirmDiscard()) {
        case proceed:
            break;
        case couldNotAsk:
            ReportCouldNotAsk();
            return false;
        default:
            return false;
    }
    std::string chosen = files->ChooseDocumentToOpen("Open", lastFolder);
    if (chosen.empty()) return false;  // cancelled
    return OpenPath(chosen);
}

VelkoDocument::Loaded VelkoDocument::LoadBytes(const std::string& what, const std::string& bytes) {
    std::string why = WhyNotADollDocument(bytes);
    if (why.empty()) {
        // Read into a doll of its own first: a chunk that yields no joint is no doll, and
        // the doll on screen must stay as it is then
        SketchDoll scratch;
        FILE* f = OpenDocumentBytes(bytes);
        if (!f) {
            why = strerror(errno);
        } else {
            tbfReaderAsciiFILE reader(f);  // closes f when it goes
            scratch.ReadFromFile(&reader);
            if (scratch.GetNumJoints() == 0) why = "it holds no doll";
        }
    }
    FILE* f = why.empty() ? OpenDocumentBytes(bytes) : nullptr;
    if (!f) {
        Report("Could not open " + what + ": " + (why.empty() ? strerror(errno) : why));
        return notLoaded;
    }
    tbfReaderAsciiFILE reader(f);  // closes f when it goes
    host->LoadDocument(&reader);
    return IsCutShort(bytes) ? loadedInPart : loadedWhole;
}

bool VelkoDocument::OpenRecovered(const std::string& p, const std::string& bytes) {
    command = "Restore";
    if (LoadBytes("the recovered copy of " + (p.empty() ? std::string(kUntitled) : p), bytes) ==
        notLoaded)
        return false;
    if (!p.empty() && p[0] != '/') {
        // Relative to a working folder that is not known: Save asks for a name instead
        fprintf(
            stderr,
            "velko: the recovered copy names \"%s\", not a whole path; it is restored untitled\n",
            p.c_str());
        path.clear();
    } else if (p.empty()) {
        path.clear();
    } else {
        SetPath(p);
    }
    // Unsaved work whatever the file on disk holds, until the person saves it
    savedBytes.clear();
    RefreshTitle();
    host->DocumentReplaced();
    host->ShowStatus("Restored " + GetName());
    return true;
}

bool VelkoDocument::OpenPath(const std::string& p) {
    std::string bytes, error;
    if (!ReadWholeFile(p, &bytes, &error)) {
        Report(error);
        return false;
    }
    Loaded loaded = LoadBytes("\"" + p + "\"", bytes);
    if (loaded == notLoaded) return false;
    if (loaded == loadedInPart) {
        // Never the document itself: a Save would write the part over the whole. Unsaved
        // and untitled, so nothing is written without the person choosing a name.
        path.clear();
        lastFolder = FolderOfPath(AbsolutePath(p));
        savedBytes.clear();
        RefreshTitle();
        host->DocumentReplaced();
        Report(FileNameOfPath(p) +
               " is cut short: what could be read is shown as an untitled doll; the file is "
               "left as it is");
        return true;
    }
    SetPath(p);
    // What the opened doll writes, so a file written another way (by hand, by an older
    // version) does not count as changed merely by being read
    if (!host->WriteDocument(&savedBytes)) savedBytes = bytes;
    RefreshTitle();
    host->DocumentReplaced();
    host->ShowStatus("Opened " + GetName());
    return true;
}

VelkoDocument::Confirmation VelkoDocument::MayQuit(const char* quitCommand) {
    command = quitCommand;
    return ConfirmDiscard();
}

bool VelkoDocument::Save() {
    command = "Save";
    return SaveCurrent();
}

bool VelkoDocument::SaveCurrent() {
    if (path.empty()) return ChooseAndSave("Save");
    return SaveToPath(path);
}

bool VelkoDocument::SaveAs(const char* title) {
    command = title;
    return ChooseAndSave(title);
}

bool VelkoDocument::ChooseAndSave(const char* title) {
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
