// DollInfo: what a doll document holds, as one line of JSON for scripts (velko-render
// --info): its joints, bones, lines and masks, its filled pose slots and its animation
// sequence with the length of one pass. Pose slots are numbered 1 to 8, as people see them.
#pragma once

#include <string>

// The document's description, ending in a line end; false with *error saying why when the
// bytes hold no doll
bool DescribeDollDocument(const std::string& document, std::string* json, std::string* error);
