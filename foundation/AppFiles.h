// AppFiles: the platform's document services. It lets the person choose a document to open
// or name one to write, asks whether to save unsaved changes, and tells the person when a
// command failed. The program installs one at start when the platform offers it; Get()
// returns null otherwise, and callers then disable the commands that need a chooser.
//
// Paths are plain file-system paths; an empty string from a chooser means cancelled.
#pragma once

#include <string>
#include <vector>

class AppFiles {
public:
    // The installed services, or null when the platform offers none
    static AppFiles* Get();
    // Installs the services Get() returns (null removes them); not owned
    static void Install(AppFiles* files);

    virtual ~AppFiles() {}

    // Each chooser's window is titled by the command that opened it ("Open", "Save As",
    // "Export Animation").
    // Lets the person pick an existing document, starting in folder (empty: the working
    // folder); the chosen path, or "" when cancelled
    virtual std::string ChooseDocumentToOpen(const std::string& title,
                                             const std::string& folder) = 0;
    // Lets the person name a document to write, starting in folder with the proposed file
    // name; the chosen path, or "" when cancelled
    virtual std::string ChooseDocumentToSave(const std::string& title, const std::string& folder,
                                             const std::string& proposedName) = 0;

    // Lets the person name a file to export to, starting in folder with the proposed name;
    // kind names such files for the chooser's filter ("PNG pictures") and extension (".png")
    // is added to a name typed without one. The chosen path, or "" when cancelled or when
    // the platform offers no such chooser.
    virtual std::string ChooseExportFile(const std::string& title, const std::string& folder,
                                         const std::string& proposedName, const std::string& kind,
                                         const std::string& extension) {
        (void)title, (void)folder, (void)proposedName, (void)kind, (void)extension;
        return "";
    }

    // A kind of file a chooser offers as a filter: "PNG pictures", ".png"
    struct FileKind {
        std::string name, extension;
    };
    // The export chooser offering each of kinds (at least one) as a filter; a name typed
    // without an extension gets the first kind's. The chosen path, or "" when cancelled.
    virtual std::string ChooseExportFile(const std::string& title, const std::string& folder,
                                         const std::string& proposedName,
                                         const std::vector<FileKind>& kinds) {
        return ChooseExportFile(title, folder, proposedName, kinds.at(0).name,
                                kinds.at(0).extension);
    }

    // A field of a form: a line of text to type, or one of choices when there are any
    struct FormField {
        std::string label;
        std::vector<std::string> choices;
    };
    // Shows a form titled title, text above its fields. True when the person confirmed it:
    // then *answers holds one answer a field, "" for one left empty or unchosen. False
    // when it was cancelled or cannot be shown.
    virtual bool AskForm(const std::string& title, const std::string& text,
                         const std::vector<FormField>& fields, std::vector<std::string>* answers) {
        (void)title, (void)text, (void)fields, (void)answers;
        return false;
    }

    enum SaveChangesAnswer { saveChanges, discardChanges, cancelCommand, cannotAsk };
    // Asks "Save changes to NAME?" with the answers Save, Don't Save and Cancel, in a dialog
    // titled by the command that asks ("New", "Quit"); a dialog that is closed counts as
    // Cancel, and one that cannot be shown at all is cannotAsk
    virtual SaveChangesAnswer AskSaveChanges(const std::string& title,
                                             const std::string& documentName) = 0;
    enum RecoveryAnswer { restoreRecovery, discardRecovery, keepRecovery, cannotAskRecovery };
    // Asks "Velko closed without saving NAME. Restore it?" with the answers Restore and
    // Discard; a dialog that is closed keeps the copy for a later start, and one that cannot
    // be shown at all is cannotAskRecovery
    virtual RecoveryAnswer AskRestore(const std::string& documentName) = 0;
    // Shows a failure to the person in a dialog titled by the command that failed ("Save
    // As", "Export Picture"); the caller has written it to stderr too
    virtual void ShowError(const std::string& title, const std::string& message) = 0;
    // Asks for one line of text in a dialog titled title, with a prompt and the text to
    // start from; false when the person cancelled or the platform cannot ask
    virtual bool AskText(const std::string& title, const std::string& prompt,
                         const std::string& initial, std::string* answer) {
        (void)title, (void)prompt, (void)initial, (void)answer;
        return false;
    }
};
