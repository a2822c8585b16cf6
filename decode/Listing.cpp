// The disassembler-style listing and the human summary of a decoded stream.
#include "decode/Listing.h"

#include <cstdio>

#include "decode/Inks.h"

std::string ListingLine(const StreamCommand& c)
{
    char buf[64];
    const std::string name = (c.remote ? "  " : "") + c.name;
    std::snprintf(buf, sizeof buf, "0x%06zx %-14s ", c.offset, name.c_str());
    return buf + c.text;
}

std::string Listing(const DecodeResult& r)
{
    std::string out;
    for (const StreamCommand& c : r.commands) out += ListingLine(c) + "\n";
    for (const DecodeIssue& w : r.warnings) out += "warning: " + w.Text() + "\n";
    if (r.warningsDropped) out += "warning: " + std::to_string(r.warningsDropped) + " more warnings\n";
    return out;
}

std::string SummaryText(const DecodeResult& r)
{
    std::string out;
    char buf[256];
    std::snprintf(buf, sizeof buf, "%zu bytes, %zu commands, %zu raster blocks, %u passes, %zu page%s\n", r.bytes,
                  r.commands.size(), r.blocks.size(), r.Passes(), r.pages.size(), r.pages.size() == 1 ? "" : "s");
    out += buf;
    for (size_t i = 0; i < r.pages.size(); ++i) {
        const DecodedPage& p = r.pages[i];
        std::snprintf(buf, sizeof buf, "page %zu: %d x %d pixels at %d x %d dpi, %u passes, %u feeds (%lld lines)\n",
                      i + 1, p.Width(), p.Height(), p.dpiX, p.dpiY, p.passes, p.feeds,
                      static_cast<long long>(p.feedLines));
        out += buf;
        for (const InkPlane& ink : p.planes) {
            std::snprintf(buf, sizeof buf,
                          "  %-4s %s: %llu dots (small %llu, medium %llu, large %llu), %llu printed more than once\n",
                          InkName(ink.Ink()).c_str(), LookupInk(ink.Ink()).longName,
                          static_cast<unsigned long long>(ink.TotalDots()),
                          static_cast<unsigned long long>(ink.Dots(1)), static_cast<unsigned long long>(ink.Dots(2)),
                          static_cast<unsigned long long>(ink.Dots(3)),
                          static_cast<unsigned long long>(ink.MultiplyPrinted()));
            out += buf;
        }
    }
    if (!r.warnings.empty())
        out += std::to_string(r.warnings.size() + r.warningsDropped) + " warnings (see --list)\n";
    return out;
}
