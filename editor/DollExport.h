// DollExport: the editor's File > Export commands. Each asks for a file name and writes
// exactly the file velko-render writes for the same document with its default options: a
// picture of the doll as it stands, a sheet of its filled poses, or a looping animation
// through them. The drawing is DollPictures'; the file is written atomically.
#pragma once

#include <string>

enum class DollExportKind { picture, poseSheet, animation };

// The name the chooser proposes, from the document's file name: "juggler.velko" gives
// "juggler.png", "juggler-poses.png" or "juggler.gif"
std::string ProposedExportName(DollExportKind kind, const std::string& documentName);

// The command's name, which titles its chooser: "Export Picture", "Export Pose Sheet",
// "Export Animation"
const char* ExportCommandName(DollExportKind kind);

// Asks for a file (starting in the document's folder) and writes the export of document, a
// whole doll document's bytes; documentPath is its file ("" untitled), which is never
// written over. Failures and refused names are written to stderr and shown through the
// platform's file services. True when a file was written; false when there is no chooser,
// the person cancelled, or it failed. *message gets a line for the person: what was written
// ("Exported walk.gif: 149 frames, 188 KB, 5.0 s") or why it failed; "" when cancelled.
bool ExportDoll(DollExportKind kind, const std::string& document, const std::string& documentPath,
                const std::string& documentName, std::string* message);
