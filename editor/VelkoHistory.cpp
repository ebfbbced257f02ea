// The editor's undo and redo, and the recovery copy of unsaved work: when a step begins and
// ends, what it is called, and when the copy is written. The steps themselves are whole
// documents kept by EditHistory; restoring one loads it the way Open loads a file.
#include <cstdio>

#include "AppFiles.h"
#include "DocumentFile.h"
#include "Velko.h"
#include "fTime.h"
#include "tbfReader.h"

namespace {
// Seconds of program time between two writes of the recovery copy. A change waits at most
// this long, after the doll comes to rest, for its copy; the writer thread then takes well
// under a second to sync it, so the copy stays less than 5 s behind the work. The first
// copy of new unsaved work is written at once.
const double kRecoveryIntervalSeconds = 2.0;
}  // namespace

void Velko::EnableRecovery(const std::string& folder) {
    recoveryFolder = folder;
    recovery.reset(folder.empty() ? nullptr : new RecoveryFile(folder));
}

void Velko::BuildEditMenu(AppMenu* menu) {
    menu->BeginSubmenu("Edit");
    menu->AddItem("Undo", kMenuUndo, 'Z', nullptr);
    menu->AddItem("Redo", kMenuRedo, 'Z' | kShortcutShift, nullptr);
    menu->AddShortcut(kMenuRedo, 'Y');
    menu->EndSubmenu();
    menu->EnableItem(kMenuUndo, false);
    menu->EnableItem(kMenuRedo, false);
}

void Velko::BeginAction() {
    if (!documentBegun) return;  // the history starts with the first tick
    if (!pendingStep.empty() || documentTouched || DollFingerprint() != historyFingerprint)
        TakeSnapshot();
}

void Velko::EndAction(const char* label) {
    pendingStep = label;
    documentTouched = true;
}

void Velko::TakeSnapshot() {
    std::string now;
    // About the size of the last one: the document is not copied as it grows
    now.reserve(history.GetCurrent().size() + 4096);
    WriteDocument(&now);
    if (!pendingStep.empty())
        history.Record(pendingStep.c_str(), now);
    else
        history.Amend(now);  // the doll moved into a pose by itself
    pendingStep.clear();
    historyFingerprint = DollFingerprint();
    lastDollFingerprint = historyFingerprint;
    documentTouched = false;
    DocumentStateChanged();
}

void Velko::UndoStep() {
    // Not in the middle of an action: it would go on with a doll that is no longer there
    if (mode != idle || GetIsMouseDown() || theDrag.GetIsInDrag()) {
        ShowStatus("Undo waits until what you are doing is finished");
        return;
    }
    BeginAction();
    if (history.Undo())
        RestoreSnapshot(history.GetCurrent());
    else
        ShowStatus("Nothing to undo");
}

void Velko::RedoStep() {
    if (mode != idle || GetIsMouseDown() || theDrag.GetIsInDrag()) {
        ShowStatus("Redo waits until what you are doing is finished");
        return;
    }
    BeginAction();
    if (history.Redo())
        RestoreSnapshot(history.GetCurrent());
    else
        ShowStatus("Nothing to redo");
}

void Velko::RestoreSnapshot(const std::string& bytes) {
    if (FILE* f = OpenDocumentBytes(bytes)) {
        tbfReaderAsciiFILE reader(f);  // closes f
        LoadDocument(&reader);
    }
    historyFingerprint = DollFingerprint();
    lastDollFingerprint = historyFingerprint;
    documentTouched = false;
    DocumentStateChanged();
}

void Velko::DocumentStateChanged() {
    const std::string& now = history.GetCurrent();
    document.RefreshTitleFor(now);
    if (AppMenu* menu = GetMenu()) {
        menu->SetItemLabel(kMenuUndo,
                           history.CanUndo() ? ("Undo " + history.GetUndoLabel()).c_str() : "Undo");
        menu->SetItemLabel(kMenuRedo,
                           history.CanRedo() ? ("Redo " + history.GetRedoLabel()).c_str() : "Redo");
        menu->EnableItem(kMenuUndo, history.CanUndo());
        menu->EnableItem(kMenuRedo, history.CanRedo());
    }
    if (!recovery) return;
    if (now != document.GetSavedBytes()) {
        recoveryStale = now != recoveryWritten;
    } else if (recoveryKept) {
        // Saved, or back to what was saved: nothing to recover
        recovery->Remove();
        recoveryKept = false;
        recoveryStale = false;
        recoveryWritten.clear();
    }
}

void Velko::BeginHistory() {
    pendingStep.clear();
    std::string now;
    WriteDocument(&now);
    history.Reset(now);
    historyFingerprint = lastDollFingerprint = DollFingerprint();
    documentTouched = false;
}

void Velko::DocumentReplaced() {
    // A history of the new document's own: a step back would give the doll of another
    // document under this one's name
    BeginHistory();
    DocumentStateChanged();
}

void Velko::KeepRecoveryCopy() {
    if (!recovery || !recoveryStale) return;
    const double now = GetPreciseSeconds();
    if (now - lastRecoveryWriteTime < kRecoveryIntervalSeconds) return;
    // The history's current document: no writing of the doll here, only a copy handed to
    // the recovery file's own thread
    recoveryWritten = history.GetCurrent();
    recovery->Write(document.GetPath(), recoveryWritten);
    recoveryKept = true;
    recoveryStale = false;
    lastRecoveryWriteTime = now;
}

void Velko::Quit(const char* command) {
    switch (document.MayQuit(command)) {
        case VelkoDocument::proceed:
            SetQuit(true);
            return;
        case VelkoDocument::cancelled:
            return;
        case VelkoDocument::couldNotAsk:
            break;
    }
    // No way to ask: the work is kept for the next start, which offers it, and the program
    // ends as asked. MenuInvoked has brought the history's document up to date.
    const std::string name = document.GetName();
    if (!recovery || !recovery->KeepForNextStart(document.GetPath(), history.GetCurrent())) {
        fprintf(stderr,
                "velko: could not ask whether to save the changes to %s, and no recovery copy "
                "could be kept%s%s; not quitting: save them first\n",
                name.c_str(), recovery ? ": " : "",
                recovery ? recovery->GetLastError().c_str() : "");
        ShowStatus("Not quitting: there was no dialog to ask about the unsaved changes to " + name +
                   "; save them first");
        return;
    }
    recoveryKept = true;
    fprintf(stderr,
            "velko: could not ask whether to save the changes to %s; they are kept in %s and "
            "brought back when Velko starts again\n",
            name.c_str(), recovery->GetPath().c_str());
    SetQuit(true);
}

void Velko::OfferRecovery() {
    AppFiles* files = AppFiles::Get();
    if (!recovery) return;
    std::vector<RecoveryFile::Orphan> orphans = RecoveryFile::FindOrphans(recoveryFolder);
    bool asking = true;
    for (RecoveryFile::Orphan& o : orphans) {
        if (!asking) {
            RecoveryFile::Release(&o);  // offered at a later start
            continue;
        }
        std::string name = FileNameOfPath(o.documentPath);
        if (name.empty()) name = "Untitled";
        switch (files ? files->AskRestore(name) : AppFiles::cannotAskRecovery) {
            case AppFiles::restoreRecovery:
                // One doll at a time: the others wait for a later start
                if (document.OpenRecovered(o.documentPath, o.bytes)) {
                    RecoveryFile::Delete(&o);
                } else {
                    RecoveryFile::Release(&o);
                }
                asking = false;
                break;
            case AppFiles::discardRecovery:
                RecoveryFile::Delete(&o);
                break;
            case AppFiles::cannotAskRecovery:
                // Not left unseen: the newest copy comes back as unsaved work, to keep or
                // to throw away like any other
                if (document.OpenRecovered(o.documentPath, o.bytes)) {
                    fprintf(stderr,
                            "velko: there is no dialog to ask about the unsaved work on %s kept "
                            "in %s, so it is restored; save it to keep it%s\n",
                            name.c_str(), o.recoveryPath.c_str(),
                            orphans.size() > 1 ? " (older copies wait in the same folder)" : "");
                    ShowStatus("Restored " + name + ", unsaved work kept when Velko last ended");
                    RecoveryFile::Delete(&o);
                } else {
                    RecoveryFile::Release(&o);
                }
                asking = false;
                break;
            default:
                RecoveryFile::Release(&o);
                asking = false;
                break;
        }
    }
}
