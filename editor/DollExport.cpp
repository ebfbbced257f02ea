#include "DollExport.h"

#include <cstdio>

#include "AppFiles.h"
#include "DocumentFile.h"
#include "DollPictures.h"
#include "ExportOutput.h"

namespace {

void Report(DollExportKind kind, const std::string& message) {
    fprintf(stderr, "velko: %s\n", message.c_str());
    if (AppFiles* files = AppFiles::Get()) files->ShowError(ExportCommandName(kind), message);
}

// "walk.gif: 149 frames, 188 KB, 5.0 s", "walk.png: 800 x 480, 12 KB"
// "walk.png and walk.json: 149 frames, 412 KB, 5.0 s" for a sprite sheet
std::string Summary(DollExportKind kind, const std::string& path, const EncodedOutput& out,
                    const RenderSummary& s) {
    size_t slash = path.rfind('/');
    std::string text = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!out.companionExtension.empty())
        text += " and " + CompanionPath(text, out.companionExtension);
    size_t bytes = out.bytes.size() + out.companionBytes.size();
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

std::vector<AppFiles::FileKind> ExportFileKinds(DollExportKind kind) {
    std::vector<AppFiles::FileKind> kinds;
    if (kind == DollExportKind::poseSheet) return {{"PNG pictures", ".png"}};
    for (const ExportFormat& f : ExportFormats())
        if (f.animated == (kind == DollExportKind::animation))
            kinds.push_back({f.kind, f.extension});
    if (kind == DollExportKind::animation)
        kinds.push_back({"Sprite sheets (PNG and JSON atlas)", ".png"});
    return kinds;
}

bool ExportDoll(DollExportKind kind, const std::string& document, const std::string& documentPath,
                const std::string& documentName, const ExportOptions& options,
                std::string* message) {
    message->clear();
    AppFiles* files = AppFiles::Get();
    if (!files) return false;
    std::vector<AppFiles::FileKind> kinds = ExportFileKinds(kind);
    std::string path = files->ChooseExportFile(ExportCommandName(kind), FolderOfPath(documentPath),
                                               ProposedExportName(kind, documentName), kinds);
    if (path.empty()) return false;  // cancelled

    RenderRequest request;
    options.ApplyTo(&request);
    request.kind = kind == DollExportKind::picture     ? RenderRequest::still
                   : kind == DollExportKind::poseSheet ? RenderRequest::sheet
                                                       : RenderRequest::animation;
    // The name's extension picks the format; an animation named .png is a sprite sheet
    const ExportFormat* format = FindExportFormat(path);
    // A name without an extension is taken as it is, in the first kind's format
    if (!format && WhyNotAnExportName(path, kinds[0].extension).empty())
        format = &ExportFormatOf(kinds[0].extension.c_str());
    bool png = format && format == &ExportFormatOf(".png");
    if (kind == DollExportKind::animation && png) {
        request.kind = RenderRequest::sprites;
    } else if (!format || format->animated != (kind == DollExportKind::animation) ||
               (kind == DollExportKind::poseSheet && !png)) {
        std::string offered;
        for (const AppFiles::FileKind& k : kinds)
            if (offered.find(k.extension) == std::string::npos)
                offered += (offered.empty() ? "" : ", ") + k.extension;
        // A document's name says what it is
        std::string why = WhyNotAnExportName(path, ".velko").empty()
                              ? "it is a Velko document"
                              : "its name must end in " + offered;
        *message = "Could not export \"" + path + "\": " + why;
        Report(kind, *message);
        return false;
    } else if (kind != DollExportKind::poseSheet) {
        request.format = format;
    }
    // Before anything is drawn: never the document, a pipe or a read-only file
    std::string error;
    if (!CheckExportTarget(path, format->extension, documentPath, &error) ||
        (request.kind == RenderRequest::sprites &&
         !CheckExportTarget(CompanionPath(path, ".json"), ".json", documentPath, &error))) {
        *message = error;
        Report(kind, error);
        return false;
    }
    EncodedOutput out;
    RenderSummary summary;
    if (!RenderDollDocument(document, request, &out, &error, &summary)) {
        *message = "Could not export \"" + path + "\": " + error;
        Report(kind, *message);
        return false;
    }
    if (!WriteEncodedOutput(path, out, &error)) {
        *message = error;
        Report(kind, error);
        return false;
    }
    *message = "Exported " + Summary(kind, path, out, summary);
    return true;
}
