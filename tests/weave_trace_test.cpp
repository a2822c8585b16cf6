// Whole pages through the driver compared, block by block, with a plain per-pixel model of
// the band engine and the weave written here. The model keeps every band line as pixel
// values and follows the printing rules step by step, with no shortcuts.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_support.h"

namespace {
using namespace engine_test;

struct Config {
    int model = 2;
    int inkMode = 0;
    double resX = 720, resY = 720, nozzleResH = 360;
    int bits = 2;
    int compression = 0;
    int weave = 0;
    int ratio = 0;  // 0: "WeaveRatio" not set
    int singleDot = 0;
    int broken = 0;
    int width = 37;
    std::vector<int> colors;
    std::string Name() const
    {
        return "model " + std::to_string(model) + " ink " + std::to_string(inkMode) + " res " +
               std::to_string(static_cast<int>(resX)) + "x" + std::to_string(static_cast<int>(resY)) + " bits " +
               std::to_string(bits) + " comp " + std::to_string(compression) + " weave " + std::to_string(weave) +
               " ratio " + std::to_string(ratio) + " single " + std::to_string(singleDot) + " broken " +
               std::to_string(broken) + " width " + std::to_string(width);
    }
};

const int kBrokenNozzles[] = {0, 5, 179};

// The colour byte of each host colour, written out for the model.
int ColourByte(int model, int inkMode, int id)
{
    switch (id) {
    case 0: return model == 1 && inkMode == 0 ? 0x40 : 0x00;
    case 1: return 0x02;
    case 2: return 0x01;
    case 3: return 0x04;
    case 4: return 0x0A;
    case 7: return 0x10;
    case 8: return 0x12;
    case 9: return 0x11;
    case 10: return 0x30;
    case 30: return 0x09;
    case 35: return 0x07;
    default: return 0x00;
    }
}

class Model {
public:
    Model(const Config& c) : cfg(c)
    {
        hp = static_cast<int>(c.resX / c.nozzleResH + 0.5);
        vp = static_cast<int>(c.resY / 180 + 0.5);
        perByte = 8 / c.bits;
        rowBytes = (c.width * c.bits + 7) / 8;
        pixels = rowBytes * perByte;
        passRowBytes = (rowBytes + hp - 1) / hp;
        lines = 180 * vp;
        band.assign(c.colors.size(), std::vector<std::vector<int>>(lines, std::vector<int>(pixels, 0)));
        StartWeave();
    }

    void Run(const Page& page)
    {
        Empty(static_cast<int>(1.5 * cfg.resY / 25.4 + 0.5));
        int run = 0;
        for (int y = 0; y < page.height; ++y) {
            if (page.RowEmpty(y)) {
                ++run;
                continue;
            }
            Empty(run);
            run = 0;
            for (size_t c = 0; c < band.size(); ++c)
                for (int x = 0; x < pixels; ++x) {
                    int v = x < page.width ? page.px[c][y][x] : 0;
                    if (v && cfg.singleDot) v = 1;
                    band[c][rows][x] = v;
                }
            ++rows;
            loaded = rows;
            if (rows == lines) PrintBand();
        }
        Empty(run);
        Flush(true);
        ended = true;
    }

    Stream out;

private:
    void StartWeave()
    {
        if (!cfg.weave) {
            if (state == 1) {
                state = 4;
                feed = lines;
                fullCopy = 180;
                factor = 1;
            }
            return;
        }
        int wr = cfg.ratio ? cfg.ratio : 6;
        if (wr < vp) wr = vp + 1;
        if (wr > 180 * vp) wr = 180 * vp;
        ratio = wr;
        state = 1;
        feed = (vp == 3 || vp == 6) ? 10 : 9;
        factor = lines / feed;
        bandCount = 0;
        divisor = wr / vp;
        fullCopy = vp * 180 / wr;
        ramp = lines / wr;
    }
    void AfterBand()
    {
        if (!cfg.weave) return;
        if (state == 1) {
            state = 2;
        } else if (state == 2 && bandCount * feed >= ramp) {
            state = 3;
            const int q = lines / ratio;
            int up = q;
            while (up % vp) ++up;
            feed = up - vp + 1;
        }
    }
    void Move()  // sends what the paper still has to advance
    {
        if (!pendingAdvance) return;
        advanced += pendingAdvance;
        moved += pendingAdvance;
        pendingAdvance = 0;
    }
    void Empty(int n)
    {
        if (n == 0) return;
        pendingEmpty += n;
        if (ended) {
            Flush(true);
        } else if (rows + pendingEmpty < lines) {
            if (rows == leading) leading += pendingEmpty;
            rows += pendingEmpty;
            pendingEmpty = 0;
        } else {
            Flush(false);
        }
    }
    void Flush(bool final)
    {
        Move();
        while (final ? (rows > 0 || (ended && pendingEmpty > 0)) : pendingEmpty > 0) {
            if (pendingEmpty > 0) {
                const int e = pendingEmpty, d = rows;
                if (e + d < lines) {
                    if (d == 0) leading = e - 1;
                    pendingEmpty = 0;
                    rows = e + d;
                } else {
                    if (d == 0) leading = lines - 2;
                    pendingEmpty = e + d + 1 - lines;
                    rows = lines - 1;
                }
            }
            PrintBand();
        }
        if (final) {
            Move();
            out.trailingVmove = moved;
            if (cfg.weave) StartWeave();
        }
    }
    static int FirstRand(uint32_t seed) { return static_cast<int>(((seed * 214013u + 2531011u) >> 16) & 0x7FFF); }

    void PrintBand()
    {
        if (rows == 0) return;
        int passes = vp;
        if (cfg.weave) passes = (state == 1 && factor * leading < lines * vp) ? vp : 1;
        const int mark = advanced + pendingAdvance;
        if (loaded > 0) {
            for (int p = 0; p < passes; ++p) {
                for (int h = 0; h < hp; ++h)
                    for (size_t c = 0; c < band.size(); ++c) PrintPass(p, h, static_cast<int>(c));
                pendingAdvance += 1;
            }
        }
        int f = feed;
        if (vp == 1) f = std::max(1, feed - (7 * bandCount) % 4);
        f = std::min(f, rows);
        pendingAdvance = f - advanced + mark;
        rows = std::max(0, rows - f);
        loaded = std::max(0, loaded - f);
        leading = std::max(0, leading - f);
        for (auto& plane : band)
            for (int L = 0; L < lines; ++L)
                plane[L] = L + f < lines ? plane[L + f] : std::vector<int>(pixels, 0);
        ++bandCount;
        AfterBand();
    }

    // Pixel of pass pixel i of horizontal pass h on band line L, or 0 past the row's end.
    int& Pixel(int c, int L, int h, int i)
    {
        static int none;
        none = 0;
        const int x = hp * i + h;
        return x < pixels ? band[c][L][x] : none;
    }

    void PrintPass(int p, int h, int c)
    {
        std::vector<int> nozzleRows;
        for (int k = 0; k < 180 && p + k * vp < rows; ++k) nozzleRows.push_back(k);
        int left = passRowBytes, right = 0;
        for (int k : nozzleRows)
            for (int i = 0; i < passRowBytes * perByte; ++i)
                if (Pixel(c, p + k * vp, h, i)) {
                    left = std::min(left, i / perByte);
                    right = std::max(right, i / perByte + 1);
                }
        if (right == 0) return;
        const int n = right - left;
        Block blk;
        blk.data.assign(static_cast<size_t>(n) * nozzleRows.size(), 0);
        for (int k : nozzleRows) {
            const int N = static_cast<int>((k + 180) * divisor / 180.0 + 0.5);
            for (int j = 0; j < n; ++j)
                for (int q = 0; q < perByte; ++q) {
                    const int i = (left + j) * perByte + q;
                    int& v = Pixel(c, p + k * vp, h, i);
                    const unsigned mask = ((1u << cfg.bits) - 1) << (8 - (q + 1) * cfg.bits);
                    const uint32_t seed = ((static_cast<uint32_t>(h) * 256 + k) * 256 + j) * 256 + mask;
                    const bool take = !cfg.weave || k < fullCopy || FirstRand(seed) % N == 0;
                    if (!take) continue;
                    const bool broken = cfg.broken && std::count(std::begin(kBrokenNozzles), std::end(kBrokenNozzles), k);
                    if (!broken) blk.data[k * n + j] |= static_cast<uint8_t>(v << (8 - (q + 1) * cfg.bits));
                    v = 0;
                }
        }
        Move();
        blk.vmove = moved;
        moved = 0;
        const int pos = left * hp * perByte + h;
        blk.hpos = pos ? pos : -1;
        blk.color = ColourByte(cfg.model, cfg.inkMode, cfg.colors[c]);
        blk.compression = cfg.compression;
        blk.bits = cfg.bits;
        blk.bytesPerLine = n;
        blk.lines = static_cast<int>(nozzleRows.size());
        out.blocks.push_back(blk);
    }

    Config cfg;
    int hp, vp, perByte, rowBytes, pixels, passRowBytes, lines;
    std::vector<std::vector<std::vector<int>>> band;  // [plane][band line][pixel]
    int rows = 0, loaded = 0, leading = 0, pendingEmpty = 0, pendingAdvance = 0, advanced = 0, moved = 0;
    int bandCount = 0;
    bool ended = false;
    int state = 1, feed = 180, factor = 1, ratio = 1, fullCopy = 180, divisor = 1, ramp = 0;
};

// A page with empty runs at the top, in the middle (longer than a band) and at the end,
// ragged margins and a mix of pixel values.
Page MakePage(const Config& c, int bandLines)
{
    const int top = 30, first = 120 + bandLines / 3, middle = bandLines + 37, second = 150, end = 40;
    Page page(static_cast<int>(c.colors.size()), c.width, top + first + middle + second + end);
    uint32_t s = 12345u + static_cast<uint32_t>(c.width * 7 + c.bits);
    const int maxValue = c.bits == 2 ? 3 : 1;
    for (int y = top; y < page.height - end; ++y) {
        if (y >= top + first && y < top + first + middle) continue;
        if (y % 23 == 5) continue;  // single empty rows now and then
        const int from = (y * 5) % 11, to = c.width - (y * 3) % 9;
        for (int pl = 0; pl < page.Planes(); ++pl) {
            if ((y + pl) % 17 == 0) continue;  // a plane without ink on this row
            for (int x = from; x < to; ++x) {
                s = s * 1103515245u + 12345u;
                if ((s >> 16) % 5 < 2) page.px[pl][y][x] = static_cast<uint8_t>(1 + (s >> 8) % maxValue);
            }
        }
    }
    return page;
}

long InkSum(const std::vector<uint8_t>& data, int bits)
{
    long sum = 0;
    for (uint8_t b : data)
        for (int q = 0; q < 8 / bits; ++q) sum += (b >> (8 - (q + 1) * bits)) & ((1 << bits) - 1);
    return sum;
}

void RunAndCompare(const Config& c)
{
    SCOPED_TRACE(c.Name());
    JobParams p;
    p.model = c.model;
    p.inkMode = c.inkMode;
    p.resX = c.resX;
    p.resY = c.resY;
    p.nozzleResH = c.nozzleResH;
    p.bits = c.bits;
    p.compression = c.compression;
    p.weave = c.weave;
    p.colors = c.colors;
    Rig rig(p, c.width);
    if (c.ratio) rig.env.PutInt("WeaveRatio", c.ratio);
    rig.env.PutString(PrEnv_PrintMethod.pszKey, "T");
    rig.env.PutString("$Parms$T", c.singleDot ? "0,0,0,0,0,0,1" : "0,0,0,0,0,0,0");
    if (c.broken) {
        rig.parms.bEnableBrokenNozzles = 1;
        for (int k : kBrokenNozzles) rig.parms.bBrokenNozzle[k] = 1;
    }
    const int vp = static_cast<int>(c.resY / 180 + 0.5);
    const Page page = MakePage(c, 180 * vp);
    ASSERT_EQ(rig.RunPage(page, c.bits), 1);
    const Stream got = ReadRaster(rig.sink.bytes);
    ASSERT_TRUE(got.error.empty()) << got.error;

    Model model(c);
    model.Run(page);
    const Stream& want = model.out;
    ASSERT_EQ(got.blocks.size(), want.blocks.size());
    for (size_t i = 0; i < want.blocks.size(); ++i) {
        const Block& g = got.blocks[i];
        const Block& w = want.blocks[i];
        ASSERT_EQ(g.vmove, w.vmove) << "block " << i;
        ASSERT_EQ(g.hpos, w.hpos) << "block " << i;
        ASSERT_EQ(g.color, w.color) << "block " << i;
        ASSERT_EQ(g.compression, w.compression) << "block " << i;
        ASSERT_EQ(g.bits, w.bits) << "block " << i;
        ASSERT_EQ(g.bytesPerLine, w.bytesPerLine) << "block " << i;
        ASSERT_EQ(g.lines, w.lines) << "block " << i;
        ASSERT_TRUE(g.data == w.data) << "block " << i;
    }
    EXPECT_EQ(got.trailingVmove, want.trailingVmove);

    // Every dot is printed exactly once, unless nozzles are marked broken or the ratio
    // equals the interleave (which may lose lines after a long empty run).
    int effective = c.ratio ? c.ratio : 6;
    if (effective < vp) effective = vp + 1;
    if (!c.broken && !(c.weave && effective == vp)) {
        long pageSum = 0;
        for (const auto& plane : page.px)
            for (const auto& row : plane)
                for (uint8_t v : row) pageSum += c.singleDot && v ? 1 : v;
        long outSum = 0;
        for (const Block& b : got.blocks) outSum += InkSum(b.data, c.bits);
        EXPECT_EQ(outSum, pageSum);
    }
}

std::vector<int> Colors(int model) { return model == 1 ? std::vector<int>{0, 35, 30} : std::vector<int>{0, 8, 40}; }

// Weave off and on at every interleave, both models, both bit depths, plain and packed.
TEST(WeaveTrace, MatchesModel)
{
    for (int vp : {1, 2, 4, 8})
        for (int weave : {0, 1})
            for (int bits : {1, 2})
                for (int model : {1, 2}) {
                    Config c;
                    c.model = model;
                    c.inkMode = bits == 1 ? 1 : 0;
                    c.resY = 180.0 * vp;
                    c.resX = (vp + bits) % 2 ? 1440 : 720;
                    c.nozzleResH = c.resX == 1440 ? 720 : 360;
                    c.bits = bits;
                    c.compression = (vp + model) % 2;
                    c.weave = weave;
                    c.width = 37 + 64 * ((vp + weave) % 2);
                    c.colors = Colors(model);
                    RunAndCompare(c);
                    if (HasFatalFailure()) return;
                }
}

// Weave ratios at and around the interleave, single-dot loading, broken nozzles, and
// horizontal passes that do not divide the row.
TEST(WeaveTrace, RatiosAndOptions)
{
    struct Case {
        int vp, ratio, single, broken, width;
        double resX, nozzle;
    } cases[] = {
        {1, 1, 0, 0, 50, 360, 360},  {2, 2, 0, 0, 45, 720, 360},  {4, 4, 1, 0, 33, 1440, 720},
        {4, 13, 0, 1, 70, 720, 360}, {2, 7, 1, 1, 29, 2880, 720}, {8, 12, 0, 0, 40, 720, 360},
        {1, 30, 0, 1, 61, 720, 360}, {4, 0, 0, 0, 23, 5760, 360}, {8, 5000, 0, 0, 19, 720, 360},
    };
    for (const Case& k : cases) {
        Config c;
        c.resY = 180.0 * k.vp;
        c.resX = k.resX;
        c.nozzleResH = k.nozzle;
        c.weave = 1;
        c.ratio = k.ratio;
        c.singleDot = k.single;
        c.broken = k.broken;
        c.width = k.width;
        c.compression = 1;
        c.colors = Colors(2);
        RunAndCompare(c);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
