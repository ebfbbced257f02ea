#include "DollExport.h"

#include <cstdio>

#include "AppFiles.h"
#include "DocumentFile.h"
#include "DollPictures.h"

namespace {

void Report(const std::string& message) {
    fprintf(stderr, "velko: %s\n", message.c_str());
    if (AppFiles* files = AppFiles::Get()) files->ShowError(message);
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

bool ExportDoll(DollExportKind kind, const std::string& document, const std::string& documentPath,
                const std::string& documentName) {
    AppFiles* files = AppFiles::Get();
    if (!files) return false;
    bool gif = kind == DollExportKind::animation;
    const char* extension = gif ? ".gif" : ".png";
    std::string path =
        files->ChooseExportFile(FolderOfPath(documentPath), ProposedExportName(kind, documentName),
                                gif ? "GIF animations" : "PNG pictures", extension);
    if (path.empty()) return false;  // cancelled

    std::string error;
    if (!CheckExportTarget(path, extension, documentPath, &error)) {
        Report(error);
        return false;
    }

    RenderRequest request;
    request.kind = kind == DollExportKind::picture     ? RenderRequest::still
                   : kind == DollExportKind::poseSheet ? RenderRequest::sheet
                                                       : RenderRequest::animation;
    std::string bytes;
    if (!RenderDollDocument(document, request, &bytes, &error)) {
        Report("Could not export \"" + path + "\": " + error);
        return false;
    }
    if (!WriteFileAtomically(path, bytes, &error)) {
        Report(error);
        return false;
    }
    return true;
}
