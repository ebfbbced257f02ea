#include "DollExport.h"

#include <cstdio>

#include "AppFiles.h"
#include "DocumentFile.h"
#include "DollPictures.h"

namespace {

void Report(DollExportKind kind, const std::string& message) {
    fprintf(stderr, "velko: %s\n", message.c_str());
    if (AppFiles* files = AppFiles::Get()) files->ShowError(ExportCommandName(kind), message);
}

// "walk.gif: 149 frames, 188 KB, 5.0 s", "walk.png: 800 x 480, 12 KB"
std::string Summary(DollExportKind kind, const std::string& path, const RenderSummary& s,
                    size_t bytes) {
    size_t slash = path.rfind('/');
    std::string text = slash == std::string::npos ? path : path.substr(slash + 1);
    char line[128];
    long kilobytes = (long)((bytes + 512) / 1024);
    if (kilobytes == 0) kilobytes = 1;
    switch (kind) {
        case DollExportKind::picture:
            snprintf(line, sizeof line, ": %d x %d, %ld KB", s.width, s.height, kilobytes);
            break;
        case DollExportKind::poseSheet:
            snprintf(line, sizeof line, ": %d pose%s, %d x %d, %ld KB", s.pictures,
                     s.pictures == 1 ? "" : "s", s.width, s.height, kilobytes);
            break;
        case DollExportKind::animation:
            snprintf(line, sizeof line, ": %d frames, %ld KB, %.1f s", s.pictures, kilobytes,
                     s.seconds);
            break;
    }
    return text + line;
}

}  // namespace

std::string ProposedExportName(DollExportKind kind, const std::string& documentName) {
    std::string stem = documentName;
    size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem.erase(dot);
    if (stem.empty()) stem = "Untitled";
    switch (kind) {
        case DollExportKind::picture:
            return stem + ".png";
        case DollExportKind::poseSheet:
            return stem + "-poses.png";
        case DollExportKind::animation:
            return stem + ".gif";
    }
    return stem;
}

const char* ExportCommandName(DollExportKind kind) {
    switch (kind) {
        case DollExportKind::picture:
            return "Export Picture";
        case DollExportKind::poseSheet:
            return "Export Pose Sheet";
        case DollExportKind::animation:
            return "Export Animation";
    }
    return "Export";
}

bool ExportDoll(DollExportKind kind, const std::string& document, const std::string& documentPath,
                const std::string& documentName, std::string* message) {
    message->clear();
    AppFiles* files = AppFiles::Get();
    if (!files) return false;
    bool gif = kind == DollExportKind::animation;
    const char* extension = gif ? ".gif" : ".png";
    std::string path = files->ChooseExportFile(ExportCommandName(kind), FolderOfPath(documentPath),
                                               ProposedExportName(kind, documentName),
                                               gif ? "GIF animations" : "PNG pictures", extension);
    if (path.empty()) return false;  // cancelled

    std::string error;
    if (!CheckExportTarget(path, extension, documentPath, &error)) {
        *message = error;
        Report(kind, error);
        return false;
    }

    RenderRequest request;
    request.kind = kind == DollExportKind::picture     ? RenderRequest::still
                   : kind == DollExportKind::poseSheet ? RenderRequest::sheet
                                                       : RenderRequest::animation;
    std::string bytes;
    RenderSummary summary;
    if (!RenderDollDocument(document, request, &bytes, &error, &summary)) {
        *message = "Could not export \"" + path + "\": " + error;
        Report(kind, *message);
        return false;
    }
    if (!WriteFileAtomically(path, bytes, &error)) {
        *message = error;
        Report(kind, error);
        return false;
    }
    *message = "Exported " + Summary(kind, path, summary, bytes.size());
    return true;
}
