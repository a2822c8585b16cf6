// Named media sizes (ISO A series and US sizes) for jobs started from the command line.
#pragma once
#include <string>

struct MediaSize {
    const char* name;  // as the host names it, e.g. "ISO A4"
    double widthMm;
    double lengthMm;
};

// The size of that exact name, or null.
const MediaSize* FindMediaSize(const std::string& name);
// Every name, comma-separated, for messages and help.
std::string MediaSizeNames();
