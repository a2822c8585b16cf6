// The remote-mode records the R2000/R3000 take, with their payload layouts.
#include "decode/RemoteCommands.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "decode/Hex.h"

namespace {
std::string Num(long v) { return std::to_string(v); }

// Text carried as 00 <text> 00 (JS, JH); false when the payload is not in that form.
bool QuotedName(const uint8_t* p, size_t n, std::string& out)
{
    if (n < 2 || p[0] != 0 || p[n - 1] != 0) return false;
    out.clear();
    for (size_t i = 1; i + 1 < n; ++i) {
        const uint8_t c = p[i];
        if (c < 0x20 || c > 0x7E) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return true;
}

std::string JobStart(const uint8_t* p, size_t n)
{
    std::string name;
    QuotedName(p, n, name);
    return name.empty() ? "job start, no name" : "job start, name \"" + name + "\"";
}

std::string ProductId(const uint8_t* p, size_t n)
{
    std::string name;
    QuotedName(p, n, name);
    return name.empty() ? "product id, no text" : "product id \"" + name + "\"";
}

std::string Clock(const uint8_t* p, size_t)
{
    const unsigned year = (p[1] << 8) | p[2];
    char buf[64];
    std::snprintf(buf, sizeof buf, "printer clock %04u-%02u-%02u %02u:%02u:%02u", year, p[3], p[4], p[5],
                  p[6], p[7]);
    return buf;
}

const char* SnFunction(uint8_t fn)
{
    switch (fn) {
    case 0: return "feed sequence";
    case 1: return "platen gap";
    case 2: return "loading speed";
    case 4: return "feed adjustment";
    case 5: return "vacuum intensity";
    case 7: return "duplex side";
    case 9: return "zero-margin mode";
    default: return "unknown function";
    }
}

std::string Mechanical(const uint8_t* p, size_t n)
{
    if (n == 1) return "mechanical sequence: setup";
    return std::string("mechanical sequence: function ") + Num(p[1]) + " (" + SnFunction(p[1]) + "), value " +
           Num(p[2]);
}

std::string Media(const uint8_t* p, size_t)
{
    std::string s = "media " + Num(p[2]) + ", size " + Num(p[3]);
    if (p[3] == 99) s += " (user size)";
    return s;
}

std::string UserSetting(const uint8_t* p, size_t)
{
    return "user setting " + Num(p[1]) + " = " + Num(p[2]) + (p[1] == 1 ? " (platen gap)" : "");
}

std::string Duplex(const uint8_t* p, size_t)
{
    switch (p[1]) {
    case 0: return "duplex off";
    case 1: return "duplex without tumble";
    case 2: return "duplex with tumble";
    default: return "duplex mode " + Num(p[1]);
    }
}

std::string Extended(const uint8_t* p, size_t)
{
    if (p[4] == 5) return std::string("roll paper mode ") + (p[5] == 0 ? "off" : p[5] == 1 ? "on" : Num(p[5]));
    return "extended setting " + Hex2(p[4]) + " = " + Num(p[5]);
}

std::string PrintPosition(const uint8_t* p, size_t)
{
    const int16_t v = static_cast<int16_t>(p[1] | (p[2] << 8));
    return "left print position " + Num(v) + " (1/360 inch)";
}

std::string PaperPath(const uint8_t* p, size_t)
{
    const unsigned g = p[1] | (p[2] << 8);
    const char* what = nullptr;
    switch (g) {
    case 0xFF01: what = "sheet feeder"; break;
    case 0x0003: what = "rear manual sheet guide"; break;
    case 0x0002: what = "front manual feed"; break;
    case 0x0103: what = "roll feed"; break;
    case 0x0102: what = "CD/DVD tray"; break;
    case 0x0202: what = "fine art path"; break;
    }
    return "paper path " + Hex4(g) + (what ? std::string(" (") + what + ")" : std::string());
}

std::string InkType(const uint8_t* p, size_t)
{
    const char* what = p[1] == 0x31 ? " (photo black)" : p[1] == 0x51 ? " (matte black)" : "";
    return "ink type " + Hex2(p[1]) + what;
}

std::string Thickness(const uint8_t* p, size_t) { return "paper thickness " + Num(p[1]) + " (0.1 mm)"; }

std::string DryingTime(const uint8_t* p, size_t)
{
    const unsigned t = p[2] | (p[3] << 8);
    switch (p[1]) {
    case 0x00: return "drying time " + Num(t) + " ms per scan";
    case 0x01: return "drying time " + Num(t) + " s per page";
    case 0x40: return "drying time at least " + Num(t) + " ms per scan";
    default: return "drying time mode " + Hex2(p[1]) + ", " + Num(t);
    }
}

std::string Ir(const uint8_t* p, size_t) { return "IR " + Num(p[1]); }
std::string JobEnd(const uint8_t*, size_t) { return "job end"; }
std::string LoadDefaults(const uint8_t*, size_t) { return "load defaults"; }
std::string Pm(const uint8_t* p, size_t) { return "function unknown, " + HexBytes(p + 1, 1); }

struct RemoteLayout {
    const char* name;
    size_t minLength, maxLength;  // payload bytes; maxLength 0 means no upper bound
    bool leadingZero;             // the payload begins with a 00 byte
    std::string (*describe)(const uint8_t*, size_t);
};

constexpr RemoteLayout kRemote[] = {
    {"JS", 2, 0, true, JobStart},     {"JE", 1, 1, true, JobEnd},        {"JH", 2, 0, true, ProductId},
    {"LD", 0, 0, false, LoadDefaults}, {"TI", 8, 8, true, Clock},         {"PM", 2, 2, true, Pm},
    {"SN", 1, 3, true, Mechanical},   {"MI", 4, 4, true, Media},         {"US", 3, 3, true, UserSetting},
    {"DP", 2, 2, true, Duplex},       {"EX", 6, 6, true, Extended},      {"FP", 3, 3, true, PrintPosition},
    {"PP", 3, 3, true, PaperPath},    {"IK", 2, 2, true, InkType},       {"PH", 2, 2, true, Thickness},
    {"DR", 4, 4, true, DryingTime},   {"IR", 2, 2, true, Ir},
};

bool Fits(const RemoteLayout& l, const uint8_t* p, size_t n)
{
    if (n < l.minLength) return false;
    if (l.maxLength == 0 && l.minLength == 0 && n != 0) return false;  // no parameters at all
    if (l.maxLength != 0 && n > l.maxLength) return false;
    if (l.leadingZero && p[0] != 0) return false;
    if (std::strcmp(l.name, "SN") == 0 && n == 2) return false;
    if (std::strcmp(l.name, "MI") == 0 && p[1] != 1) return false;
    if ((std::strcmp(l.name, "JS") == 0 || std::strcmp(l.name, "JH") == 0) && p[n - 1] != 0) return false;
    return true;
}
}  // namespace

RemoteDescription DescribeRemote(const char* name, const uint8_t* p, size_t n)
{
    for (const RemoteLayout& l : kRemote) {
        if (std::strncmp(l.name, name, 2) != 0) continue;
        if (Fits(l, p, n)) return {l.describe(p, n), {}};
        return {"unexpected layout, " + Num(static_cast<long>(n)) + " bytes: " + HexBytes(p, n),
                "unexpected parameters for remote command " + std::string(name, 2)};
    }
    return {"unknown remote command, " + Num(static_cast<long>(n)) + " bytes: " + HexBytes(p, n),
            "unknown remote command " + std::string(name, 2)};
}
