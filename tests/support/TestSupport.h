// What the test suites share: bytes written as hex, temporary folders, command runs, plane
// packing, data files of tests/data and a reader that splits a printer stream into commands.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/HostTypes.h"
#include "host/PrintEnv.h"

namespace test_support {

// "1B 28 47 01 00 01" -> bytes; blanks and line breaks are ignored, '...' gives ASCII bytes and
// "#" starts a comment up to the end of the line (for the files of tests/data).
std::string Hex(const std::string& text);
std::vector<uint8_t> HexBytes(const std::string& text);
// Bytes as "1B 28 47 ..." for failure messages.
std::string ToHex(const std::string& bytes);

// The text of tests/data/<name>.
std::string DataFile(const std::string& name);
// Rows of a tab-separated file of tests/data: blank lines and "#" lines left out.
std::vector<std::vector<std::string>> DataTable(const std::string& name);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Runs `command` through the shell; its standard output and exit status (-1 if it did not exit).
// Linux only, as the command line is.
struct ShellRun {
    int status = -1;
    std::string out;
};
ShellRun RunShell(const std::string& command);
// The built rphoto command and driver module.
std::string RphotoCommand();

// One plane's rows, packed at the job's bit depth, handed to a driver row by row.
class MemoryPlane : public CRasterPixelBuffer {
public:
    std::vector<std::vector<uint8_t>> rows;
    size_t next = 0;
    const unsigned char* pReadRow() override { return rows.at(next++).data(); }
};

// One row of pixel values 0..3 packed at `bits` per pixel, most significant bits first.
std::vector<uint8_t> PackRow(const std::vector<uint8_t>& values, int bits);

// One command of a printer stream: its name ("ESC(m", "ESC@", "ESCU", "ESCEM", "FF", "CR",
// "ESCi", "ESC00", "EXIT", or a remote record's two letters) and its parameter bytes (for
// ESC i: the header bytes followed by the block data).
struct Command {
    std::string name;
    std::string params;
};
// Splits `stream` into commands independently of the command builder; "" or what it could not
// read.
std::string ReadCommands(const std::string& stream, std::vector<Command>* out);
// Parameters of the nth command of that name, or "<none>".
std::string Params(const std::vector<Command>& cmds, const std::string& name, int nth = 0);
std::vector<std::string> Names(const std::vector<Command>& cmds);

uint32_t Le(const std::string& s, size_t at, int n);

// PackBits data unpacked until `want` bytes are out; "" or what is wrong with it.
std::string Unpack(const std::string& packed, size_t want, std::string* out, size_t* used = nullptr);

// One raster block as read back from a stream, with the moves sent before it.
struct Block {
    int vmove = 0;      // lines of the vertical moves since the previous block
    int hpos = -1;      // horizontal position sent before it, -1 if none
    int color = 0, compression = 0, bits = 0, bytesPerLine = 0, lines = 0;
    std::vector<uint8_t> data;  // unpacked
    bool operator==(const Block& o) const = default;
};
struct Raster {
    std::vector<Block> blocks;
    int trailingVmove = 0;  // vertical moves after the last block
    std::string error;
};
// Reads a stream of vertical moves, horizontal positions, raster blocks and carriage returns.
Raster ReadRaster(const std::string& stream);

// The store of a whole job: model, print method on ISO A4, weave ratio, weave and the
// broken-nozzle simulation with its marked nozzles, the single-dot-size flag when asked.
struct JobStoreOptions {
    int model = 2;
    const char* method = "1440x720";
    int ratio = 6;
    bool weave = true;
    bool simulateBroken = false;
    std::vector<int> brokenNozzles;
    bool singleDotSize = false;
};
CPrintEnv JobStore(const JobStoreOptions& o);

}  // namespace test_support
