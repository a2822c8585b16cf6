// The media-size table.
#include "app/MediaSizes.h"

#include "app/Commands.h"

namespace {
const MediaSize kSizes[] = {
    {"ISO A0", 841, 1189},       {"ISO A1", 594, 841},          {"ISO A2", 420, 594},
    {"ISO A3", 297, 420},        {"ISO A3Plus", 329, 483},      {"ISO A4", 210, 297},
    {"ISO A5", 148, 210},        {"ISO A6", 105, 148},          {"US Letter", 215.9, 279.4},
    {"US Legal", 215.9, 355.6},  {"US Tabloid", 279.4, 431.8},  {"US Ledger", 431.8, 279.4},
    {"US Executive", 184.15, 266.7}, {"US Statement", 139.7, 215.9}, {"US Super B", 330.2, 482.6},
};
}  // namespace

const MediaSize* FindMediaSize(const std::string& name)
{
    for (const MediaSize& s : kSizes)
        if (name == s.name) return &s;
    return nullptr;
}

std::string MediaSizeNames()
{
    std::string names;
    for (const MediaSize& s : kSizes) names += (names.empty() ? "" : ", ") + std::string(s.name);
    return names;
}

std::string PrintableMediaSizeNames()
{
    std::string names;
    for (const MediaSize& s : kSizes)
        if (s.widthMm <= kWidestMediaMm) names += (names.empty() ? "" : ", ") + std::string(s.name);
    return names;
}

const MediaSize* FindPrintableMediaSize(const std::string& name)
{
    const MediaSize* size = FindMediaSize(name);
    if (!size) throw CommandError{"unknown media size '" + name + "' (sizes: " + PrintableMediaSizeNames() + ")"};
    if (size->widthMm > kWidestMediaMm)
        throw CommandError{"media size '" + name + "' is " + std::to_string(static_cast<int>(size->widthMm)) +
                           " mm wide, wider than the 330.2 mm (13 in) these printers take (sizes: " +
                           PrintableMediaSizeNames() + ")"};
    return size;
}
