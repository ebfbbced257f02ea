// ZenityFiles: the document services through the desktop's `zenity` dialog program. Each
// call runs zenity as a child process with an argument vector (never through a shell, so a
// file name is never parsed), reads its standard output to the end and waits for it; the
// program's own window does not update meanwhile, which keeps the dialog effectively modal.
// When zenity cannot be run, or exits in any way not listed below, the call counts as
// cancelled, except the question about unsaved changes, which then says it could not ask.
// Texts shown are made valid UTF-8; file names are passed on as the bytes they are.
#pragma once

#include <string>

#include "AppFiles.h"

class ZenityFiles : public AppFiles {
public:
    // An executable regular file named zenity is on PATH
    static bool IsAvailable();

    std::string ChooseDocumentToOpen(const std::string& title, const std::string& folder) override;
    // A name typed without an extension gets ".velko"; when that names an existing file the
    // person is asked before replacing it (the chooser only checked the name as typed), and
    // choosing not to replace shows the chooser again
    std::string ChooseDocumentToSave(const std::string& title, const std::string& folder,
                                     const std::string& proposedName) override;
    // The same chooser, filtering for kind, adding extension
    std::string ChooseExportFile(const std::string& title, const std::string& folder,
                                 const std::string& proposedName, const std::string& kind,
                                 const std::string& extension) override;
    // The same with a filter for each kind, the first's extension added to a bare name
    std::string ChooseExportFile(const std::string& title, const std::string& folder,
                                 const std::string& proposedName,
                                 const std::vector<FileKind>& kinds) override;
    // zenity's forms dialog: entries and combo boxes, which it shows empty
    bool AskForm(const std::string& title, const std::string& text,
                 const std::vector<FormField>& fields, std::vector<std::string>* answers) override;
    SaveChangesAnswer AskSaveChanges(const std::string& title,
                                     const std::string& documentName) override;
    RecoveryAnswer AskRestore(const std::string& documentName) override;
    void ShowError(const std::string& title, const std::string& message) override;
    // An entry dialog; Cancel, Escape and closing it count as cancelled
    bool AskText(const std::string& title, const std::string& prompt, const std::string& initial,
                 std::string* answer) override;
};
