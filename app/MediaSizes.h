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

// The media size jobs use when none is named.
constexpr const char* kDefaultMediaSize = "ISO A4";
// The widest medium these printers take: 13 inches (A3+ is 329 mm, Super B 13 in).
constexpr double kWidestMediaMm = 330.2;

// A size these printers can take; throws CommandError listing those sizes otherwise.
const MediaSize* FindPrintableMediaSize(const std::string& name);
// The names of the sizes these printers can take, comma-separated.
std::string PrintableMediaSizeNames();
