#include "ZenityFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "DisplayText.h"

extern char** environ;

namespace {

const char* const kProgram = "zenity";
const char* const kDocumentFilter = "--file-filter=Velko documents | *.velko";
const char* const kAllFilesFilter = "--file-filter=All files | *";
const char* const kExtension = ".velko";

// How one run of zenity ended: its exit status (-1 when it could not be started or did not
// exit by itself) and everything it wrote to standard output
struct ZenityRun {
    int exitCode = -1;
    std::string output;
};

// Runs zenity found on PATH with args (after the program name) and waits for it. Standard
// input is /dev/null and standard error is dropped: zenity warns harmlessly on a bare X
// server.
ZenityRun RunZenity(const std::vector<std::string>& args) {
    ZenityRun run;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(kProgram));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The child's copy on descriptor 1 loses close-on-exec; both pipe ends keep it
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    int spawnError = posix_spawnp(&child, kProgram, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawnError != 0) {
        close(pipeEnds[0]);
        return run;
    }

    char buffer[4096];
    for (;;) {
        ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0) {
            run.output.append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipeEnds[0]);

    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(child, &status, 0);
    } while (waited < 0 && errno == EINTR);
    if (waited == child && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    return run;
}

// The path a chooser titled title printed ("PATH\n"), or "" when it was cancelled or failed.
// A chosen file in a folder whose name is not UTF-8 comes back as "(null)": never a path
// to use (it would name a file in the working folder), so the person is told instead.
std::string ChosenPath(const ZenityRun& run, const std::string& title) {
    if (run.exitCode != 0) return "";
    std::string path = run.output;
    if (!path.empty() && path.back() == '\n') path.pop_back();
    if (path.empty() || path[0] == '/') return path;
    const std::string message =
        "The file chooser cannot name a file in a folder whose name is not UTF-8; choose "
        "another folder";
    fprintf(stderr, "velko: %s (it gave \"%s\")\n", message.c_str(), path.c_str());
    RunZenity({"--error", "--title=" + title, "--no-wrap", "--text=" + message});
    return "";
}

// text as zenity's --text shows it literally: the text is Pango markup, and zenity expands
// C escapes such as \n in it before parsing, so backslashes are doubled too. zenity refuses
// text that is not UTF-8 (a file name in another encoding), so bad bytes are shown as U+FFFD.
std::string DialogText(const std::string& text) {
    std::string escaped;
    for (char c : ValidUtf8ForDisplay(text)) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '\\':
                escaped += "\\\\";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// folder made absolute and ending in '/': zenity starts in the folder of --filename only
// when it is absolute. Empty means the working folder; "" when that cannot be found.
std::string StartFolder(const std::string& folder) {
    std::string start;
    if (folder.empty() || folder[0] != '/') {
        char* cwd = getcwd(nullptr, 0);
        if (cwd == nullptr) return folder.empty() ? "" : folder + "/";
        start = cwd;
        free(cwd);
        if (!folder.empty()) start += "/" + folder;
    } else {
        start = folder;
    }
    if (start.back() != '/') start += '/';
    return start;
}

// The last component of path has a dot after its first character ("a.txt", not ".notes")
bool NameHasExtension(const std::string& path) {
    size_t slash = path.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    return dot != std::string::npos && dot > nameStart;
}

std::string FileNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool PathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool AskReplace(const std::string& path, const std::string& title) {
    ZenityRun run = RunZenity(
        {"--question", "--title=" + title, "--no-wrap",
         "--text=A file named \"" + DialogText(FileNameOf(path)) + "\" already exists. Replace it?",
         "--ok-label=Replace", "--cancel-label=Cancel"});
    return run.exitCode == 0;
}

}  // namespace

bool ZenityFiles::IsAvailable() {
    // With PATH unset, posix_spawnp and execvp search /bin:/usr/bin
    const char* pathVariable = getenv("PATH");
    std::string folders = pathVariable ? pathVariable : "/bin:/usr/bin";
    size_t start = 0;
    for (;;) {
        size_t colon = folders.find(':', start);
        std::string folder =
            folders.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        // An empty entry is the working folder
        std::string candidate = (folder.empty() ? "." : folder) + "/" + kProgram;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return true;
        if (colon == std::string::npos) return false;
        start = colon + 1;
    }
}

std::string ZenityFiles::ChooseDocumentToOpen(const std::string& title, const std::string& folder) {
    std::vector<std::string> args = {"--file-selection", "--title=" + title, kDocumentFilter,
                                     kAllFilesFilter};
    std::string start = StartFolder(folder);
    // A trailing '/' makes zenity start in the folder without selecting anything
    if (!start.empty()) args.push_back("--filename=" + start);
    return ChosenPath(RunZenity(args), title);
}

namespace {
// The save chooser: a name typed without an extension gets extension, and when that names
// an existing file the person is asked before it is replaced
std::string ChooseFileToSave(const std::string& folder, const std::string& proposedName,
                             const std::string& title, const std::vector<std::string>& filters,
                             const std::string& extension) {
    std::string suggested = StartFolder(folder) + proposedName;
    for (;;) {
        // The chooser takes the folder as bytes but shows the name for editing, and refuses
        // one that is not UTF-8: it gets the name as the title shows it, and whatever the
        // person then chooses is used as it comes back
        size_t nameStart = suggested.rfind('/') + 1;  // StartFolder ends in '/' or is ""
        suggested =
            suggested.substr(0, nameStart) + ValidUtf8ForDisplay(suggested.substr(nameStart));
        // zenity 3 asks before replacing a file only when given --confirm-overwrite
        std::vector<std::string> args = {"--file-selection", "--save", "--confirm-overwrite",
                                         "--title=" + title};
        args.insert(args.end(), filters.begin(), filters.end());
        args.push_back(kAllFilesFilter);
        args.push_back("--filename=" + suggested);
        std::string path = ChosenPath(RunZenity(args), title);
        if (path.empty() || NameHasExtension(path)) return path;
        // The chooser confirmed only the name as typed
        path += extension;
        if (!PathExists(path) || AskReplace(path, title)) return path;
        suggested = path;
    }
}
}  // namespace

std::string ZenityFiles::ChooseDocumentToSave(const std::string& title, const std::string& folder,
                                              const std::string& proposedName) {
    return ChooseFileToSave(folder, proposedName, title, {kDocumentFilter}, kExtension);
}

std::string ZenityFiles::ChooseExportFile(const std::string& title, const std::string& folder,
                                          const std::string& proposedName, const std::string& kind,
                                          const std::string& extension) {
    return ChooseExportFile(title, folder, proposedName, {FileKind{kind, extension}});
}

std::string ZenityFiles::ChooseExportFile(const std::string& title, const std::string& folder,
                                          const std::string& proposedName,
                                          const std::vector<FileKind>& kinds) {
    std::vector<std::string> filters;
    for (const FileKind& k : kinds)
        filters.push_back("--file-filter=" + k.name + " | *" + k.extension);
    return ChooseFileToSave(folder, proposedName, title, filters, kinds.at(0).extension);
}

bool ZenityFiles::AskForm(const std::string& title, const std::string& text,
                          const std::vector<FormField>& fields, std::vector<std::string>* answers) {
    // Answers come back on one line, separated by a character no answer holds
    const std::string separator = "\x1f";
    std::vector<std::string> args = {"--forms", "--title=" + title, "--text=" + DialogText(text),
                                     "--separator=" + separator};
    for (const FormField& f : fields) {
        if (f.choices.empty()) {
            args.push_back("--add-entry=" + f.label);
            continue;
        }
        std::string values;
        for (const std::string& c : f.choices) values += (values.empty() ? "" : "|") + c;
        args.push_back("--add-combo=" + f.label);
        args.push_back("--combo-values=" + values);
    }
    ZenityRun run = RunZenity(args);
    if (run.exitCode != 0) return false;
    std::string line = run.output;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    answers->clear();
    size_t start = 0;
    for (size_t i = 0; i < fields.size(); i++) {
        size_t end = line.find(separator, start);
        std::string answer = line.substr(start, end == std::string::npos ? end : end - start);
        // An unchosen combo box answers " "
        size_t first = answer.find_first_not_of(' ');
        answers->push_back(first == std::string::npos
                               ? ""
                               : answer.substr(first, answer.find_last_not_of(' ') - first + 1));
        start = end == std::string::npos ? line.size() : end + separator.size();
    }
    return true;
}

AppFiles::SaveChangesAnswer ZenityFiles::AskSaveChanges(const std::string& title,
                                                        const std::string& documentName) {
    // Save exits 0 silently; the extra button prints its label and exits 1; Cancel, Escape
    // and closing the window exit 1 silently (5 after a timeout). Anything else (255 for
    // an error, or zenity not running at all) means the question was never shown.
    ZenityRun run =
        RunZenity({"--question", "--title=" + title, "--no-wrap",
                   "--text=Save changes to " + DialogText(documentName) + "?", "--ok-label=Save",
                   "--cancel-label=Cancel", "--extra-button=Don't Save"});
    if (run.exitCode == 0 && run.output.empty()) return saveChanges;
    if (run.exitCode == 1 && run.output == "Don't Save\n") return discardChanges;
    if (run.exitCode != 0 && run.exitCode != 1 && run.exitCode != 5) return cannotAsk;
    return cancelCommand;
}

AppFiles::RecoveryAnswer ZenityFiles::AskRestore(const std::string& documentName) {
    // Restore exits 0; Discard is the extra button; Escape or closing the window keeps the
    // copy, so work is never thrown away by a dialog dismissed in passing
    ZenityRun run = RunZenity(
        {"--question", "--title=Velko", "--no-wrap",
         "--text=Velko closed without saving " + DialogText(documentName) + ". Restore it?",
         "--ok-label=Restore", "--cancel-label=Not Now", "--extra-button=Discard"});
    if (run.exitCode == 0 && run.output.empty()) return restoreRecovery;
    if (run.exitCode == 1 && run.output == "Discard\n") return discardRecovery;
    if (run.exitCode != 0 && run.exitCode != 1 && run.exitCode != 5) return cannotAskRecovery;
    return keepRecovery;
}

void ZenityFiles::ShowError(const std::string& title, const std::string& message) {
    RunZenity({"--error", "--title=" + title, "--no-wrap", "--text=" + DialogText(message)});
}

bool ZenityFiles::AskText(const std::string& title, const std::string& prompt,
                          const std::string& initial, std::string* answer) {
    ZenityRun run = RunZenity(
        {"--entry", "--title=" + title, "--text=" + DialogText(prompt), "--entry-text=" + initial});
    if (run.exitCode != 0) return false;
    std::string text = run.output;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    *answer = text;
    return true;
}
