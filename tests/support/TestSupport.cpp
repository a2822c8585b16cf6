#include "support/TestSupport.h"

#include "decode/PackBits.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace test_support {

std::string Hex(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#') {
            i = text.find('\n', i);
        } else if (c == '\'') {
            const size_t end = text.find('\'', i + 1);
            if (end == std::string::npos) throw std::invalid_argument("unclosed quote in hex text");
            out.append(text, i + 1, end - i - 1);
            i = end + 1;
        } else {
            if (i + 1 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
                throw std::invalid_argument("bad hex digits at " + std::to_string(i));
            out += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
            i += 2;
        }
    }
    return out;
}

std::vector<uint8_t> HexBytes(const std::string& text)
{
    const std::string b = Hex(text);
    return {b.begin(), b.end()};
}

std::string ToHex(const std::string& bytes)
{
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

std::string DataFile(const std::string& name) { return ReadFile(std::string(RPHOTO_TEST_DATA) + "/" + name); }

std::vector<std::vector<std::string>> DataTable(const std::string& name)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(DataFile(name));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells(1);
        for (char c : line) {
            if (c == '\t') cells.emplace_back();
            else cells.back() += c;
        }
        rows.push_back(cells);
    }
    return rows;
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

TempDir::TempDir()
{
    // A random name that no other folder has yet (create_directory says so), as mkdtemp makes one.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::ostringstream name;
        name << "rphoto-test-" << std::hex << random() << random();
        m_path = std::filesystem::temp_directory_path() / name.str();
        if (std::filesystem::create_directory(m_path)) return;
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

#ifndef _WIN32  // the command line is built for Linux only
ShellRun RunShell(const std::string& command)
{
    ShellRun run;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return run;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) run.out.append(buf, n);
    const int st = ::pclose(p);
    run.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return run;
}

std::string RphotoCommand() { return std::string(RPHOTO_BIN_DIR) + "/rphoto"; }
#endif

std::vector<uint8_t> PackRow(const std::vector<uint8_t>& values, int bits)
{
    const int perByte = 8 / bits;
    std::vector<uint8_t> out((values.size() + perByte - 1) / perByte, 0);
    for (size_t x = 0; x < values.size(); ++x)
        out[x / perByte] = static_cast<uint8_t>(out[x / perByte] | (values[x] << (8 - (x % perByte + 1) * bits)));
    return out;
}

uint32_t Le(const std::string& s, size_t at, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v * 256 + static_cast<uint8_t>(s.at(at + i));
    return v;
}

// The decoder's unpacker: the stream reader needs no PackBits of its own.
std::string Unpack(const std::string& packed, size_t want, std::string* out, size_t* used)
{
    std::vector<uint8_t> bytes;
    const UnpackResult r = UnpackBits(reinterpret_cast<const uint8_t*>(packed.data()), packed.size(), want, bytes);
    out->assign(bytes.begin(), bytes.end());
    if (used) *used = r.consumed;
    return r.status == UnpackStatus::Ok ? "" : "PackBits data does not unpack to " + std::to_string(want) + " bytes";
}

namespace {
// Length of the ESC i command at `pos`, its data included; 0 if the data cannot be read.
size_t RasterLength(const std::string& s, size_t pos)
{
    if (pos + 9 > s.size()) return 0;
    const size_t want = static_cast<size_t>(Le(s, pos + 5, 2)) * Le(s, pos + 7, 2);
    if (s[pos + 3] == 0) return pos + 9 + want <= s.size() ? 9 + want : 0;
    std::string data;
    size_t used = 0;
    return Unpack(s.substr(pos + 9), want, &data, &used).empty() ? 9 + used : 0;
}
}  // namespace

std::string ReadCommands(const std::string& s, std::vector<Command>* out)
{
    size_t pos = 0;
    bool remote = false;
    if (s.compare(0, 5, std::string("\0\0\0\x1B\x01", 5)) == 0) {
        out->push_back({"EXIT", s.substr(5, 22)});
        pos = 27;
    }
    while (pos < s.size()) {
        const std::string at = " at byte " + std::to_string(pos);
        if (remote) {
            if (s.compare(pos, 4, std::string("\x1B\0\0\0", 4)) == 0) {
                out->push_back({"ESC00", ""});
                pos += 4;
                remote = false;
                continue;
            }
            if (pos + 4 > s.size() || pos + 4 + Le(s, pos + 2, 2) > s.size()) return "remote record cut" + at;
            const size_t n = Le(s, pos + 2, 2);
            out->push_back({s.substr(pos, 2), s.substr(pos + 4, n)});
            pos += 4 + n;
            continue;
        }
        if (s[pos] == 0x0C || s[pos] == 0x0D) {
            out->push_back({s[pos] == 0x0C ? "FF" : "CR", ""});
            ++pos;
            continue;
        }
        if (s[pos] != 0x1B || pos + 1 >= s.size()) return "unexpected byte" + at;
        const char c = s[pos + 1];
        if (c == '@') {
            out->push_back({"ESC@", ""});
            pos += 2;
        } else if (c == 'U' || c == 0x19) {
            if (pos + 3 > s.size()) return "command cut" + at;
            out->push_back({c == 'U' ? "ESCU" : "ESCEM", s.substr(pos + 2, 1)});
            pos += 3;
        } else if (c == 'i') {
            const size_t n = RasterLength(s, pos);
            if (!n) return "raster block cut" + at;
            out->push_back({"ESCi", s.substr(pos + 2, n - 2)});
            pos += n;
        } else if (c == '(' && pos + 5 <= s.size() && pos + 5 + Le(s, pos + 3, 2) <= s.size()) {
            const size_t n = Le(s, pos + 3, 2);
            out->push_back({std::string("ESC(") + s[pos + 2], s.substr(pos + 5, n)});
            remote = s[pos + 2] == 'R';
            pos += 5 + n;
        } else {
            return "unknown or cut command" + at;
        }
    }
    return remote ? "remote mode not left" : "";
}

std::string Params(const std::vector<Command>& cmds, const std::string& name, int nth)
{
    for (const Command& c : cmds)
        if (c.name == name && nth-- == 0) return c.params;
    return "<none>";
}

std::vector<std::string> Names(const std::vector<Command>& cmds)
{
    std::vector<std::string> names;
    for (const Command& c : cmds) names.push_back(c.name);
    return names;
}

Raster ReadRaster(const std::string& stream)
{
    Raster out;
    std::vector<Command> cmds;
    out.error = ReadCommands(stream, &cmds);
    int vmove = 0, hpos = -1;
    for (const Command& c : cmds) {
        if (c.name == "ESC(v") {
            vmove += static_cast<int>(Le(c.params, 0, 4));
        } else if (c.name == "ESC($") {
            hpos = static_cast<int>(Le(c.params, 0, 4));
        } else if (c.name == "ESCi") {
            Block b;
            b.vmove = vmove;
            b.hpos = hpos;
            b.color = static_cast<uint8_t>(c.params[0]);
            b.compression = static_cast<uint8_t>(c.params[1]);
            b.bits = static_cast<uint8_t>(c.params[2]);
            b.bytesPerLine = static_cast<int>(Le(c.params, 3, 2));
            b.lines = static_cast<int>(Le(c.params, 5, 2));
            std::string data = c.params.substr(7);
            if (b.compression) Unpack(c.params.substr(7), static_cast<size_t>(b.bytesPerLine) * b.lines, &data);
            b.data.assign(data.begin(), data.end());
            out.blocks.push_back(b);
            vmove = 0;
            hpos = -1;
        } else if (c.name != "CR" && out.error.empty()) {
            out.error = "unexpected " + c.name + " in raster output";
        }
    }
    out.trailingVmove = vmove;
    return out;
}

CPrintEnv JobStore(const JobStoreOptions& o)
{
    const std::string prefix = o.model == 1 ? "DP1_" : "DP2_";
    CPrintEnv env;
    env.PutInt(PrEnv_UID, o.model);
    env.PutString(PrEnv_PrintMethod.pszKey, o.method);
    env.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A4");
    env.PutInt("WeaveRatio", o.ratio);
    env.PutInt((prefix + "bEnableWeave").c_str(), o.weave ? 1 : 0);
    env.PutInt((prefix + "bEnableBrokenNozzles").c_str(), o.simulateBroken ? 1 : 0);
    for (int n : o.brokenNozzles) env.PutInt((prefix + "bBrokenNozzle_" + std::to_string(n)).c_str(), 1);
    if (o.singleDotSize) env.PutString((std::string("$Parms$") + o.method).c_str(), "0,0,0,0,3,0,1");
    return env;
}

}  // namespace test_support
