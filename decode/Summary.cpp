// JSON summary of a decoded stream.
#include "decode/Summary.h"

#include <map>
#include <nlohmann/json.hpp>

#include "decode/Hex.h"
#include "decode/Inks.h"

std::string SummaryJson(const DecodeResult& r)
{
    using nlohmann::json;
    json j;
    j["bytes"] = r.bytes;
    j["commands"] = r.commands.size();
    j["raster_blocks"] = r.blocks.size();
    j["passes"] = r.Passes();
    std::map<std::string, uint64_t> bytesPerKind, countPerKind;
    for (const StreamCommand& c : r.commands) {
        bytesPerKind[c.name] += c.length;
        ++countPerKind[c.name];
    }
    json kinds = json::object();
    for (const auto& [name, bytes] : bytesPerKind) kinds[name] = {{"count", countPerKind[name]}, {"bytes", bytes}};
    j["command_kinds"] = kinds;
    json pages = json::array();
    for (const DecodedPage& p : r.pages) {
        json inks = json::array();
        for (const InkPlane& ink : p.planes) {
            inks.push_back({{"code", Hex2(ink.Ink())},
                            {"name", InkName(ink.Ink())},
                            {"bits_per_pixel", ink.BitsPerPixel()},
                            {"dots", {{"small", ink.Dots(1)}, {"medium", ink.Dots(2)}, {"large", ink.Dots(3)}}},
                            {"positions", ink.Positions()},
                            {"printed_more_than_once", ink.MultiplyPrinted()}});
        }
        pages.push_back({{"width_px", p.Width()},
                         {"height_px", p.Height()},
                         {"dpi", {{"x", p.dpiX}, {"y", p.dpiY}}},
                         {"paper_px", {{"width", p.paperColumns}, {"height", p.paperRows}}},
                         {"passes", p.passes},
                         {"feeds", {{"count", p.feeds}, {"lines", p.feedLines}}},
                         {"inks", inks}});
    }
    j["pages"] = pages;
    json warnings = json::array();
    for (const DecodeIssue& w : r.warnings) warnings.push_back(w.Text());
    j["warnings"] = warnings;
    j["error"] = r.error ? json(r.error->Text()) : json(nullptr);
    return j.dump(2) + "\n";
}
