// ESC ( X commands: code, u16le parameter count, parameters.
#include <cstdio>
#include <cstring>

#include "decode/Hex.h"
#include "decode/StreamDecoder.h"

namespace {
std::string Num(int64_t v) { return std::to_string(v); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
int32_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }

// "720" for a whole number of dots per inch, "1234.5" otherwise.
std::string Dpi(uint32_t base, uint32_t unit)
{
    char buf[32];
    if (base % unit == 0)
        std::snprintf(buf, sizeof buf, "%u", base / unit);
    else
        std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(base) / unit);
    return buf;
}

std::string ParenName(uint8_t x)
{
    if (x >= 0x21 && x <= 0x7E) return std::string("ESC ( ") + static_cast<char>(x);
    return "ESC ( " + Hex2(x);
}
}  // namespace

void StreamDecoder::ParenCommand()
{
    m_cmdName = "ESC (";
    Need(3, "ESC (");
    const uint8_t x = m_d[m_pos + 2];
    const std::string name = ParenName(x);
    m_cmdName = name;
    Need(5, name.c_str());
    const size_t n = U16(m_d + m_pos + 3);
    if (m_n - m_pos - 5 < n)
        Fail("truncated: " + Num(static_cast<int64_t>(n)) + " parameter bytes announced, " +
             Num(static_cast<int64_t>(m_n - m_pos - 5)) + " left");
    const uint8_t* p = m_d + m_pos + 5;
    m_pos += 5 + n;

    auto expect = [&](std::initializer_list<size_t> sizes) {
        for (size_t s : sizes)
            if (n == s) return;
        std::string want;
        for (size_t s : sizes) want += (want.empty() ? "" : " or ") + Num(static_cast<int64_t>(s));
        Fail("expected " + want + " parameter bytes, got " + Num(static_cast<int64_t>(n)));
    };

    switch (x) {
    case 'R':
        if (n == 8 && std::memcmp(p, "\0REMOTE1", 8) == 0) {
            m_remote = true;
            Emit(name, "enter remote mode");
        } else {
            Warn("remote-mode request not understood");
            Emit(name, "not REMOTE1, ignored: " + HexBytes(p, n));
        }
        return;
    case 'G':
        expect({1});
        if (p[0] != 1) Warn("graphics mode " + Num(p[0]) + " is not 1");
        m_s.graphics = true;
        Emit(name, "graphics mode " + Num(p[0]));
        return;
    case 'U':
        expect({1, 5});
        SetUnits(p, n);
        return;
    case 'D':
        expect({4});
        SetResolution(p, n);
        return;
    case 'i':
        expect({1});
        m_s.microWeave = p[0];
        Emit(name, p[0] == 0 ? "MicroWeave off (host weave)" : "MicroWeave on (" + Num(p[0]) + ")");
        return;
    case 'C':
        expect({2, 4});
        m_s.paperLength = n == 2 ? U16(p) : U32(p);
        Emit(name, "page length " + Num(m_s.paperLength) + " page units");
        return;
    case 'c':
        expect({4, 8});
        SetPageFormat(p, n);
        return;
    case 'S':
        expect({8});
        m_s.paperWidth = U32(p);
        m_s.paperLength = U32(p + 4);
        Emit(name, "paper width " + Num(U32(p)) + ", length " + Num(U32(p + 4)) + " page units");
        return;
    case 'K': {
        expect({2});
        static const char* const kModes[] = {"", " (black only)", " (colour)", " (fast 360 dpi colour)"};
        Emit(name, "colour mode " + Num(p[1]) + (p[1] < 4 ? kModes[p[1]] : ""));
        return;
    }
    case 'm':
        expect({1});
        Emit(name, "print method " + Hex2(p[0]));
        return;
    case 'e':
        expect({2});
        if (p[0] != 0) Warn("dot size command with first byte " + Hex2(p[0]));
        Emit(name, "dot size " + Hex2(p[1]));
        return;
    case 'v':
        expect({2, 4});
        MoveVertical(p, n, true);
        return;
    case 'V':
        expect({2, 4});
        MoveVertical(p, n, false);
        return;
    case '$':
        expect({4});
        MoveHorizontal(p, n, false);
        return;
    case '\\':
        expect({2, 4});
        MoveHorizontal(p, n, true);
        return;
    case 's':
        expect({1});
        Emit(name, "head speed " + Num(p[0]));
        return;
    case 'r':
        expect({2});
        Emit(name, "colour density " + Num(p[0]) + ", colour " + Num(p[1]));
        return;
    default:
        Warn("unknown command skipped");
        Emit(name, "unknown command, " + Num(static_cast<int64_t>(n)) + " parameter bytes skipped" +
                       (n ? ": " + HexBytes(p, n) : ""));
    }
}

void StreamDecoder::SetUnits(const uint8_t* p, size_t n)
{
    PrinterState& s = m_s;
    if (n == 1) {
        if (p[0] == 0) Fail("unit 0");
        s.unitBase = 3600;
        s.pageUnit = s.vertUnit = s.horizUnit = p[0];
    } else {
        if (p[0] == 0 || p[1] == 0 || p[2] == 0 || U16(p + 3) == 0) Fail("a unit or the base is 0");
        s.pageUnit = p[0];
        s.vertUnit = p[1];
        s.horizUnit = p[2];
        s.unitBase = U16(p + 3);
    }
    s.unitsSet = true;
    if (s.pageUnit != s.vertUnit) Warn("page unit differs from vertical unit; page rows are vertical units");
    const std::string b = "/" + Num(s.unitBase);
    Emit(m_cmdName, "units page " + Num(s.pageUnit) + b + ", vertical " + Num(s.vertUnit) + b + ", horizontal " +
                        Num(s.horizUnit) + b + " inch (rows " + Dpi(s.unitBase, s.vertUnit) + " dpi, columns " +
                        Dpi(s.unitBase, s.horizUnit) + " dpi)");
}

void StreamDecoder::SetResolution(const uint8_t* p, size_t)
{
    const uint16_t base = U16(p);
    if (base == 0 || p[2] == 0 || p[3] == 0) Fail("the base or a pitch is 0");
    m_s.resBase = base;
    m_s.nozzlePitch = p[2];
    m_s.dotPitch = p[3];
    m_s.resolutionSet = true;
    const std::string b = "/" + Num(base);
    Emit(m_cmdName, "raster resolution: nozzle rows " + Num(p[2]) + b + " inch apart, dot pitch " + Num(p[3]) + b +
                        " inch (" + Dpi(base, p[3]) + " dpi)");
}

void StreamDecoder::SetPageFormat(const uint8_t* p, size_t n)
{
    m_s.formatTop = n == 4 ? U16(p) : S32(p);
    m_s.formatBottom = n == 4 ? U16(p + 2) : S32(p + 4);
    m_s.formatSet = true;
    if (m_s.formatBottom <= m_s.formatTop) Warn("the bottom margin is not below the top margin");
    Emit(m_cmdName, "page format top " + Num(m_s.formatTop) + ", bottom " + Num(m_s.formatBottom) + " page units");
}

void StreamDecoder::MoveVertical(const uint8_t* p, size_t n, bool relative)
{
    const int64_t v = n == 2 ? U16(p) : U32(p);
    const int64_t before = m_s.row;
    SetRow(relative ? m_s.row + v : v);
    CountFeed(m_s.row - before);
    Emit(m_cmdName, relative ? "advance " + Num(v) + " lines (row " + Num(m_s.row) + ")" : "to row " + Num(v));
}

void StreamDecoder::MoveHorizontal(const uint8_t* p, size_t n, bool relative)
{
    const int64_t v = relative ? (n == 2 ? static_cast<int16_t>(U16(p)) : S32(p)) : int64_t{U32(p)};
    const int64_t target = relative ? m_s.column + v : v;
    if (target < 0 || target >= m_opt.maxColumns)
        Fail("moves the head to column " + Num(target) + ", outside the page limit of " + Num(m_opt.maxColumns) +
             " columns");
    m_s.column = target;
    Emit(m_cmdName, relative ? "move " + Num(v) + " columns (column " + Num(target) + ")" : "column " + Num(v));
}
