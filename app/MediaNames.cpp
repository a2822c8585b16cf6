#include "app/MediaNames.h"

#include <algorithm>
#include <cctype>

#include "devparms/Model1PrintModes.h"
#include "devparms/Model2MediaTable.h"

namespace {
std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

std::vector<std::string> ModelMediaNames(int modelId)
{
    std::vector<std::string> names;
    auto add = [&](const char* name) {
        if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
    };
    if (modelId == 1)
        for (int i = 0; i < kModel1PrintModeCount; ++i) add(kModel1PrintModes[i].media);
    else
        for (int i = 0; i < kModel2MediaCount; ++i) add(kModel2Media[i].name);
    return names;
}

std::string FindModelMedia(int modelId, const std::string& name)
{
    for (const std::string& n : ModelMediaNames(modelId))
        if (Lower(n) == Lower(name)) return n;
    return std::string();
}
