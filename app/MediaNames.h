// The media a model names in its own table (the R2000's print-mode table, the R3000's media
// table), for `--paper` and `options --list-media`.
#pragma once
#include <string>
#include <vector>

// Each name once, in table order.
std::vector<std::string> ModelMediaNames(int modelId);
// The table's spelling of `name` (compared without case), or empty.
std::string FindModelMedia(int modelId, const std::string& name);
// The medium a picture job uses when none is stored or given.
constexpr const char* kDefaultPictureMedia = "Premium Glossy Photo Paper";
