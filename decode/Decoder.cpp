// The stream decoder's top level: plain bytes, one-letter ESC commands and remote mode.
#include "decode/Decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "decode/Hex.h"
#include "decode/RemoteCommands.h"
#include "decode/StreamDecoder.h"

namespace {
std::string Num(int64_t v) { return std::to_string(v); }
constexpr size_t kMaxEjlBytes = 4096;
}  // namespace

std::string DecodeIssue::Text() const
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "offset 0x%06zx: ", offset);
    return std::string(buf) + (command.empty() ? "" : command + ": ") + message;
}

const InkPlane* DecodedPage::Plane(uint8_t ink) const
{
    for (const InkPlane& p : planes)
        if (p.Ink() == ink) return &p;
    return nullptr;
}

int32_t DecodedPage::Width() const
{
    int32_t w = 0;
    for (const InkPlane& p : planes) w = std::max(w, p.Width());
    return w;
}

int32_t DecodedPage::Height() const
{
    int32_t h = 0;
    for (const InkPlane& p : planes) h = std::max(h, p.Height());
    return h;
}

int32_t DecodedPage::Top() const
{
    int32_t top = INT32_MAX;
    for (const InkPlane& p : planes) top = std::min(top, p.Top());
    return top == INT32_MAX ? 0 : top;
}

int32_t DecodedPage::Left() const
{
    int32_t left = INT32_MAX;
    for (const InkPlane& p : planes) left = std::min(left, p.Left());
    return left == INT32_MAX ? 0 : left;
}

uint32_t DecodeResult::Passes() const { return blocks.empty() ? 0 : blocks.back().pass + 1; }

DecodeResult Decode(const uint8_t* data, size_t n, const DecodeOptions& options)
{
    DecodeResult result;
    DecodeWatched(data, n, options, result, nullptr);
    return result;
}

void DecodeWatched(const uint8_t* data, size_t n, const DecodeOptions& options, DecodeResult& result,
                   RowWatcher* watcher)
{
    result.bytes = n;
    StreamDecoder decoder(data, n, options, result, watcher);
    try {
        decoder.Run();
    } catch (const DecodeFault& f) {
        result.error = DecodeIssue{f.offset, f.command, f.message};
    } catch (const std::bad_alloc&) {
        result.error = DecodeIssue{n, "", "out of memory"};
    }
}

void StreamDecoder::Run()
{
    while (m_pos < m_n) {
        m_cmdStart = m_pos;
        m_cmdName.clear();
        if (m_remote)
            RemoteRecord();
        else
            TopLevel();
    }
    if (m_remote) {
        m_cmdStart = m_n;
        m_cmdName = "remote mode";
        Fail("the stream ends in remote mode (no ESC 00 00 00)");
    }
    FinishRows(INT32_MAX);
}

void StreamDecoder::Fail(const std::string& message) const { throw DecodeFault{m_cmdStart, m_cmdName, message}; }

void StreamDecoder::Warn(const std::string& message)
{
    if (m_r.warnings.size() >= m_opt.maxWarnings) {
        ++m_r.warningsDropped;
        return;
    }
    m_r.warnings.push_back(DecodeIssue{m_cmdStart, m_cmdName, message});
}

void StreamDecoder::Need(size_t k, const char* what) const
{
    const size_t left = m_n - m_cmdStart;
    if (left < k)
        Fail(std::string("truncated: ") + what + " needs " + Num(static_cast<int64_t>(k)) + " bytes, " +
             Num(static_cast<int64_t>(left)) + " left");
}

size_t StreamDecoder::Emit(const std::string& name, const std::string& text, bool remote)
{
    // Vectors may hold up to twice what they use.
    m_listingBytes += 2 * sizeof(StreamCommand) + name.size() + text.size();
    if (m_listingBytes > m_opt.maxListingBytes)
        Fail("the listing of the stream would need more than " + Num(static_cast<int64_t>(m_opt.maxListingBytes)) +
             " bytes");
    m_r.commands.push_back(StreamCommand{m_cmdStart, m_pos - m_cmdStart, name, text, remote});
    return m_r.commands.size() - 1;
}

void StreamDecoder::SetRow(int64_t row)
{
    if (row < 0 || row >= m_opt.maxRows)
        Fail("moves the paper to row " + Num(row) + ", outside the page limit of " + Num(m_opt.maxRows) +
             " rows");
    if (m_watcher && m_page >= 0 && row < m_finalRow) throw RowsReopened{};
    FinishRows(row);
    m_s.row = row;
}

void StreamDecoder::FinishRows(int64_t end)
{
    if (!m_watcher || m_page < 0 || end <= m_finalRow) return;
    const int32_t to = static_cast<int32_t>(std::min<int64_t>(end, INT32_MAX));
    DecodedPage& page = m_r.pages[static_cast<size_t>(m_page)];
    m_watcher->RowsFinal(static_cast<size_t>(m_page), page, to);
    for (InkPlane& p : page.planes) m_planeBytes -= p.Release(m_finalRow, to);
    m_finalRow = to;
}

void StreamDecoder::CountFeed(int64_t lines)
{
    if (m_page >= 0) {
        ++m_r.pages[m_page].feeds;
        m_r.pages[m_page].feedLines += lines;
    } else {
        ++m_pendingFeeds;
        m_pendingFeedLines += lines;
    }
}

void StreamDecoder::TopLevel()
{
    switch (m_d[m_pos]) {
    case 0x00:
        NulRun();
        return;
    case 0x0D:
        m_cmdName = "CR";
        ++m_pos;
        m_s.column = 0;
        Emit("CR", "carriage return");
        return;
    case 0x0A:
        LineFeed();
        return;
    case 0x0C:
        FormFeed();
        return;
    case 0x1B:
        Escape();
        return;
    default:
        Fail("unexpected byte " + Hex2(m_d[m_pos]) + " outside a command");
    }
}

void StreamDecoder::NulRun()
{
    while (m_pos < m_n && m_d[m_pos] == 0x00) ++m_pos;
    const int64_t count = static_cast<int64_t>(m_pos - m_cmdStart);
    Emit("NUL", Num(count) + (count == 1 ? " padding byte" : " padding bytes"));
}

// LF: carriage return and one line of the default 1/6 inch spacing.
void StreamDecoder::LineFeed()
{
    m_cmdName = "LF";
    ++m_pos;
    const int64_t lines = m_s.unitBase / (6 * int64_t{m_s.vertUnit});
    m_s.column = 0;
    SetRow(m_s.row + lines);
    CountFeed(lines);
    Emit("LF", "line feed, advance " + Num(lines) + " lines (row " + Num(m_s.row) + ")");
}

void StreamDecoder::FormFeed()
{
    m_cmdName = "FF";
    ++m_pos;
    FinishRows(INT32_MAX);
    m_finalRow = 0;
    m_page = -1;
    m_pendingFeeds = 0;
    m_pendingFeedLines = 0;
    m_passOpen = false;
    m_s.row = 0;
    m_s.column = 0;
    Emit("FF", "form feed, eject the page");
}

void StreamDecoder::Escape()
{
    m_cmdName = "ESC";
    Need(2, "ESC");
    const uint8_t c = m_d[m_pos + 1];
    switch (c) {
    case '@':
        m_cmdName = "ESC @";
        m_pos += 2;
        {
            const int64_t row = m_s.row;
            const int64_t paperWidth = m_s.paperWidth, paperLength = m_s.paperLength;
            m_s = PrinterState{};
            m_s.row = row;  // initialising does not move the paper
            m_s.paperWidth = paperWidth;
            m_s.paperLength = paperLength;
        }
        Emit("ESC @", "initialise printer");
        return;
    case '(':
        ParenCommand();
        return;
    case 'i':
        Raster();
        return;
    case 'U':
    case 0x19:
    case 'r':
        OneByteEsc(c == 'U' ? "ESC U" : c == 'r' ? "ESC r" : "ESC EM");
        return;
    case '\\':
        ShortHorizontal(true);
        return;
    case '$':
        ShortHorizontal(false);
        return;
    case 0x00:
        m_cmdName = "ESC 00 00 00";
        Need(4, "ESC 00 00 00");
        if (m_d[m_pos + 2] != 0 || m_d[m_pos + 3] != 0)
            Fail("expected 00 00 after ESC 00, found " + HexBytes(m_d + m_pos + 2, 2));
        m_pos += 4;
        Warn("exit remote mode outside remote mode");
        Emit("ESC 00 00 00", "exit remote mode (not in remote mode)");
        return;
    case 0x01:
        Ejl();
        return;
    default: {
        const bool printable = c >= 0x21 && c <= 0x7E;
        m_cmdName = printable ? std::string("ESC ") + static_cast<char>(c) : "ESC " + Hex2(c);
        Fail("unknown command");
    }
    }
}

void StreamDecoder::OneByteEsc(const char* name)
{
    m_cmdName = name;
    Need(3, name);
    const uint8_t v = m_d[m_pos + 2];
    m_pos += 3;
    std::string text;
    if (name[4] == 'U') {
        static const char* const kDirections[] = {"bidirectional", "unidirectional", "automatic direction",
                                                  "reverse unidirectional"};
        const unsigned d = v >= 0x30 ? v - 0x30u : v;
        if (d < 4) {
            text = std::string(kDirections[d]) + (v >= 0x30 ? std::string(" ('") + static_cast<char>(v) + "')" : "");
        } else {
            text = "direction " + Hex2(v);
            Warn("unknown print direction " + Hex2(v));
        }
    } else if (name[4] == 'r') {
        text = "colour " + Num(v);
    } else {
        switch (v) {
        case 0x31: text = "paper feed control '1' (default feeder)"; break;
        case 0x34: text = "paper feed control '4' (load)"; break;
        case 0x52: text = "paper feed control 'R' (eject)"; break;
        default: text = "paper feed control " + Hex2(v);
        }
    }
    Emit(name, text);
}

// ESC \ (relative, signed) and ESC $ (absolute): 16-bit horizontal moves in horizontal units.
void StreamDecoder::ShortHorizontal(bool relative)
{
    const char* name = relative ? "ESC \\" : "ESC $";
    m_cmdName = name;
    Need(4, name);
    const uint16_t raw = static_cast<uint16_t>(m_d[m_pos + 2] | (m_d[m_pos + 3] << 8));
    m_pos += 4;
    const int64_t target = relative ? m_s.column + static_cast<int16_t>(raw) : int64_t{raw};
    if (target < 0 || target >= m_opt.maxColumns)
        Fail("moves the head to column " + Num(target) + ", outside the page limit of " + Num(m_opt.maxColumns) +
             " columns");
    m_s.column = target;
    Emit(name, relative ? "move " + Num(static_cast<int16_t>(raw)) + " columns (column " + Num(target) + ")"
                        : "column " + Num(target));
}

// ESC 01 and EJL lines up to the closing "@EJL" line of spaces; with the three NULs before it this
// takes the printer out of packet mode.
void StreamDecoder::Ejl()
{
    m_cmdName = "ESC 01";
    size_t p = m_pos + 2;
    std::vector<std::string> lines;
    for (;;) {
        const size_t eol = static_cast<size_t>(
            std::find(m_d + p, m_d + std::min(m_n, m_cmdStart + kMaxEjlBytes), 0x0A) - m_d);
        if (eol >= m_n) Fail("truncated: EJL text ends without its closing \"@EJL\" line");
        if (eol >= m_cmdStart + kMaxEjlBytes) Fail("EJL text longer than " + Num(kMaxEjlBytes) + " bytes");
        const std::string line(reinterpret_cast<const char*>(m_d + p), eol - p);
        if (line.compare(0, 4, "@EJL") != 0) Fail("EJL line does not begin with \"@EJL\"");
        lines.push_back(line);
        p = eol + 1;
        if (line.find_first_not_of(' ', 4) == std::string::npos) break;
    }
    m_pos = p;
    std::string text = lines.size() == 2 && lines[0] == "@EJL 1284.4" ? "exit packet mode:" : "EJL:";
    for (const std::string& l : lines) text += " \"" + l + "\"";
    Emit("ESC 01", text);
}

void StreamDecoder::RemoteRecord()
{
    if (m_d[m_pos] == 0x1B) {
        m_cmdName = "ESC 00 00 00";
        Need(4, "ESC 00 00 00");
        if (m_d[m_pos + 1] != 0 || m_d[m_pos + 2] != 0 || m_d[m_pos + 3] != 0) {
            m_cmdName = "remote mode";
            Fail("ESC " + HexBytes(m_d + m_pos + 1, 3) + " inside remote mode (only ESC 00 00 00 leaves it)");
        }
        m_pos += 4;
        m_remote = false;
        Emit("ESC 00 00 00", "exit remote mode");
        return;
    }
    m_cmdName = "remote mode";
    Need(4, "remote command header");
    const char name[3] = {static_cast<char>(m_d[m_pos]), static_cast<char>(m_d[m_pos + 1]), 0};
    auto valid = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
    if (!valid(name[0]) || !valid(name[1])) Fail("bad remote command name " + HexBytes(m_d + m_pos, 2));
    m_cmdName = std::string("remote ") + name;
    const size_t count = m_d[m_pos + 2] | (m_d[m_pos + 3] << 8);
    Need(4 + count, (std::string("remote ") + name).c_str());
    const uint8_t* p = m_d + m_pos + 4;
    m_pos += 4 + count;
    const RemoteDescription d = DescribeRemote(name, p, count);
    if (!d.warning.empty()) Warn(d.warning);
    Emit(name, d.text, true);
}
