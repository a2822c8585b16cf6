// Shared pieces of the driver, output and weave tests: a device-parameter object the test
// controls, planes held in memory, a page runner and a reader of the raster output.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "devparms/CEpsonRPhotoDevParmsBase.h"
#include "driver/CEpsonPhotoR2000.h"
#include "driver/CEpsonPhotoR3000.h"
#include "host/HostTypes.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"

namespace engine_test {

// Bytes from hex pairs separated by spaces ("1B 28 76"), written out by hand.
inline std::string Hex(const char* text)
{
    std::string out;
    for (const char* p = text; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        out += static_cast<char>(std::strtol(std::string(p, 2).c_str(), nullptr, 16));
        p += 2;
    }
    return out;
}

// Device parameters whose geometry and weave flags the test sets directly.
class TestParms : public CEpsonRPhotoDevParmsBase {
public:
    TestParms() : CEpsonRPhotoDevParmsBase("DPT_", nullptr) {}
    void Load(CPrintEnv*) override {}
    void Save(CPrintEnv*) override {}
};

// One plane's rows, packed at the job's bit depth.
class MemoryPlane : public CRasterPixelBuffer {
public:
    std::vector<std::vector<uint8_t>> rows;
    size_t next = 0;
    const unsigned char* pReadRow() override { return rows.at(next++).data(); }
};

// Pixel values of a page: planes x rows x pixels, values 0..3.
struct Page {
    int width = 0;
    int height = 0;
    std::vector<std::vector<std::vector<uint8_t>>> px;  // [plane][row][x]

    Page(int planes, int w, int h) : width(w), height(h), px(planes, std::vector<std::vector<uint8_t>>(h, std::vector<uint8_t>(w, 0))) {}
    int Planes() const { return static_cast<int>(px.size()); }
    bool RowEmpty(int y) const
    {
        for (const auto& plane : px)
            for (uint8_t v : plane[y])
                if (v) return false;
        return true;
    }
};

// Packs one row of pixel values, most significant bits first.
inline std::vector<uint8_t> PackRow(const std::vector<uint8_t>& values, int bits)
{
    const int perByte = 8 / bits;
    std::vector<uint8_t> out((values.size() + perByte - 1) / perByte, 0);
    for (size_t x = 0; x < values.size(); ++x)
        out[x / perByte] = static_cast<uint8_t>(out[x / perByte] | (values[x] << (8 - (x % perByte + 1) * bits)));
    return out;
}

struct JobParams {
    int model = 2;
    double resX = 720, resY = 720;
    double nozzleResH = 360;
    int bits = 2;
    int compression = 0;
    int weave = 0;
    int inkMode = 0;
    std::vector<int> colors;  // host colour id per plane
};

// A driver of either model around TestParms, writing into a MemorySink.
struct Rig {
    CPrintEnv env;
    TestParms parms;
    MemorySink sink;
    std::unique_ptr<CEpsonRPhotoBase> driver;
    std::vector<MemoryPlane> planes;
    CPrintJobOpenContext ctx{CString("ctx")};

    explicit Rig(const JobParams& p, int width = 64)
    {
        parms.dNozzleResH = p.nozzleResH;
        parms.bEnableWeave = p.weave;
        if (p.model == 1) {
            auto* d = new CEpsonPhotoR2000(&env, &parms);
            d->m_nInkMode = p.inkMode;
            driver.reset(d);
        } else {
            driver.reset(new CEpsonPhotoR3000(&env, &parms));
        }
        Setup(p, width);
    }
    void Setup(const JobParams& p, int width)
    {
        JobSetup setup;
        setup.dResX = p.resX;
        setup.dResY = p.resY;
        setup.nPixelBits = p.bits;
        setup.nJobPixelWidth = width;
        setup.colors = p.colors.empty() ? std::vector<int>{0} : p.colors;
        setup.nCompression = p.compression;
        setup.jobName = "job";
        planes.assign(setup.colors.size(), MemoryPlane());
        std::vector<CRasterPixelBuffer*> ptrs;
        for (auto& plane : planes) ptrs.push_back(&plane);
        driver->SetupJob(setup, ptrs);
        driver->SetOutputSink(&sink);
    }
    // Runs a whole output of `page`: empty rows as runs, data rows one by one.
    int RunPage(const Page& page, int bits)
    {
        for (int c = 0; c < page.Planes(); ++c)
            for (int y = 0; y < page.height; ++y) planes[c].rows.push_back(PackRow(page.px[c][y], bits));
        driver->JobOpen(&ctx);
        driver->OutputInit(0, 0);
        int run = 0;
        for (int y = 0; y < page.height; ++y) {
            if (page.RowEmpty(y)) {
                for (auto& plane : planes) ++plane.next;
                ++run;
                continue;
            }
            if (run) driver->OutputEmptyRows(run);
            run = 0;
            driver->OutputDataRow();
        }
        if (run) driver->OutputEmptyRows(run);
        const int r = driver->OutputExit();
        driver->JobClose();
        return r;
    }
};

// One raster block as read back from the output.
struct Block {
    int vmove = 0;      // lines of the vertical moves since the previous block
    int hpos = -1;      // horizontal position sent before it, -1 if none
    int color = 0, compression = 0, bits = 0, bytesPerLine = 0, lines = 0;
    std::vector<uint8_t> data;  // unpacked
    bool operator==(const Block& o) const
    {
        return vmove == o.vmove && hpos == o.hpos && color == o.color && compression == o.compression &&
               bits == o.bits && bytesPerLine == o.bytesPerLine && lines == o.lines && data == o.data;
    }
};

struct Stream {
    std::vector<Block> blocks;
    int trailingVmove = 0;  // vertical moves after the last block
    std::string error;
};

inline uint32_t Le(const std::string& s, size_t at, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v * 256 + static_cast<uint8_t>(s[at + i]);
    return v;
}

// Reads vertical moves, horizontal positions, raster blocks and carriage returns.
inline Stream ReadRaster(const std::string& s)
{
    Stream out;
    int vmove = 0, hpos = -1;
    size_t i = 0;
    while (i < s.size()) {
        const uint8_t b = static_cast<uint8_t>(s[i]);
        if (b == 0x0D) {
            ++i;
            continue;
        }
        if (b != 0x1B || i + 1 >= s.size()) {
            out.error = "unexpected byte at " + std::to_string(i);
            return out;
        }
        const char cmd = s[i + 1];
        if (cmd == '(') {
            const char code = s[i + 2];
            const uint32_t n = Le(s, i + 3, 2);
            if (code == 'v') vmove += static_cast<int>(Le(s, i + 5, 4));
            else if (code == '$') hpos = static_cast<int>(Le(s, i + 5, 4));
            else {
                out.error = std::string("unexpected ESC ( ") + code;
                return out;
            }
            i += 5 + n;
            continue;
        }
        if (cmd != 'i') {
            out.error = "unexpected ESC " + std::to_string(static_cast<int>(cmd));
            return out;
        }
        Block blk;
        blk.vmove = vmove;
        blk.hpos = hpos;
        blk.color = static_cast<uint8_t>(s[i + 2]);
        blk.compression = static_cast<uint8_t>(s[i + 3]);
        blk.bits = static_cast<uint8_t>(s[i + 4]);
        blk.bytesPerLine = static_cast<int>(Le(s, i + 5, 2));
        blk.lines = static_cast<int>(Le(s, i + 7, 2));
        i += 9;
        const size_t want = static_cast<size_t>(blk.bytesPerLine) * blk.lines;
        if (blk.compression == 0) {
            blk.data.assign(s.begin() + static_cast<long>(i), s.begin() + static_cast<long>(i + want));
            i += want;
        } else {
            while (blk.data.size() < want && i < s.size()) {
                const uint8_t c = static_cast<uint8_t>(s[i++]);
                if (c < 0x80) {
                    for (int k = 0; k <= c; ++k) blk.data.push_back(static_cast<uint8_t>(s[i++]));
                } else if (c > 0x80) {
                    const uint8_t v = static_cast<uint8_t>(s[i++]);
                    for (int k = 0; k < 257 - c; ++k) blk.data.push_back(v);
                } else {
                    out.error = "PackBits count 0x80";
                    return out;
                }
            }
            if (blk.data.size() != want) {
                out.error = "PackBits length mismatch";
                return out;
            }
        }
        out.blocks.push_back(blk);
        vmove = 0;
        hpos = -1;
    }
    out.trailingVmove = vmove;
    return out;
}

// Where a one-plane output's dots land: times[y][x] and value[y][x] for page line y and pixel
// column x, from the vertical moves (the head's line), the horizontal positions (the first
// column of the trimmed data) and the nozzle pitch vp. topLines is the device's top offset in
// lines; `outside` counts dots that land off the page.
struct Placed {
    std::vector<std::vector<int>> times, value;
    long outside = 0;
};
inline Placed PlaceDots(const Stream& s, int vp, int hp, int bits, int topLines, int height, int width)
{
    Placed out;
    out.times.assign(height, std::vector<int>(width, 0));
    out.value.assign(height, std::vector<int>(width, 0));
    const int perByte = 8 / bits;
    int head = 0;  // band line under nozzle 0, counted from the output's first line
    for (const Block& b : s.blocks) {
        head += b.vmove;
        const int first = b.hpos < 0 ? 0 : b.hpos;
        for (int k = 0; k < b.lines; ++k)
            for (int j = 0; j < b.bytesPerLine; ++j)
                for (int q = 0; q < perByte; ++q) {
                    const int v = (b.data[static_cast<size_t>(k) * b.bytesPerLine + j] >> (8 - (q + 1) * bits)) & ((1 << bits) - 1);
                    if (!v) continue;
                    const int y = head + k * vp - topLines, x = first + (j * perByte + q) * hp;
                    if (y < 0 || y >= height || x >= width) {
                        ++out.outside;
                        continue;
                    }
                    ++out.times[y][x];
                    out.value[y][x] = v;
                }
    }
    return out;
}

}  // namespace engine_test
