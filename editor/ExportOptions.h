// ExportOptions: how the editor's Export commands draw: the pixels of a picture, sheet cell
// or frame, whether to frame the doll's drawing (on by default) or show the whole stage, the
// frame rate and the loop of animations (the animation's own unless changed), the emotion
// icon and a transparent background. They belong to the editing session of one document:
// set with File > Export Options…, kept until New or Open, never written into the document.
//
// "Export Options…" is a form of the platform's file services (AppFiles::AskForm). Such a
// form cannot show values in its fields, so its text says what the options are, and a field
// left empty keeps its option.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AppFiles.h"
#include "DollPictures.h"

struct ExportOptions {
    int width = 800, height = 480;
    bool fit = true;
    int fps = 0;                       // frames a second, 1 to 50; 0: the animation's own
    std::optional<SequenceLoop> loop;  // unset: the animation's own
    bool icon = false;
    bool transparent = false;

    // Sets the options of an export request to these
    void ApplyTo(RenderRequest* r) const;
};

// The form's text: what the options are now, and how to keep one
std::string ExportOptionsText(const ExportOptions& o);
// The form's fields, in the order of the answers
std::vector<AppFiles::FormField> ExportOptionsFields();
// Takes the form's answers (one per field, "" keeps the option) into *o; false with *error
// and *o untouched when an answer is not one it takes
bool ApplyExportOptionsAnswers(const std::vector<std::string>& answers, ExportOptions* o,
                               std::string* error);
// Shows the form and takes its answers: true when the options changed; a refused answer is
// reported (stderr and the platform's error dialog) and changes nothing
bool AskExportOptions(ExportOptions* o);
