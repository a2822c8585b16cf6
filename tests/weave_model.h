// A plain per-pixel model of the band engine and the weave, written for the tests: it keeps
// every band line as pixel values and follows the printing rules step by step, with no
// shortcuts. With `rescue` set it also prints, before each advance, every leaving line that
// still holds ink; without it those pixels are dropped and counted.
#pragma once
#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "engine_support.h"

namespace engine_test {

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
    int inkFromTop = 0;  // the page's ink starts right under the top offset
    bool rescue = true;  // false: the weave alone, dropping what leaves the band
    std::vector<int> colors;
    std::string Name() const
    {
        return "model " + std::to_string(model) + " ink " + std::to_string(inkMode) + " res " +
               std::to_string(static_cast<int>(resX)) + "x" + std::to_string(static_cast<int>(resY)) + " bits " +
               std::to_string(bits) + " comp " + std::to_string(compression) + " weave " + std::to_string(weave) +
               " ratio " + std::to_string(ratio) + " single " + std::to_string(singleDot) + " broken " +
               std::to_string(broken) + " width " + std::to_string(width) + " top " + std::to_string(inkFromTop);
    }
};

inline const int kBrokenNozzles[] = {0, 5, 179};

// The colour byte of each host colour, written out for the model.
inline int ColourByte(int model, int inkMode, int id)
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
    explicit Model(const Config& c) : cfg(c)
    {
        hp = static_cast<int>(c.resX / c.nozzleResH + 0.5);
        vp = static_cast<int>(c.resY / 180 + 0.5);
        perByte = 8 / c.bits;
        rowBytes = (c.width * c.bits + 7) / 8;
        pixels = rowBytes * perByte;
        passRowBytes = (rowBytes + hp - 1) / hp;
        lines = 180 * vp;
        topOffset = static_cast<int>(1.5 * cfg.resY / 25.4 + 0.5);
        band.assign(c.colors.size(), std::deque<std::vector<int>>(lines, std::vector<int>(pixels, 0)));
        StartWeave();
    }

    void Run(const Page& page)
    {
        printed.assign(band.size(), std::vector<std::vector<int>>(page.height, std::vector<int>(pixels, 0)));
        Empty(topOffset);
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

    // Page pixels printed once with their value, never twice, nothing where the page is blank.
    bool EveryDotOnce(const Page& page, std::string* why) const
    {
        for (size_t c = 0; c < printed.size(); ++c)
            for (int y = 0; y < page.height; ++y)
                for (int x = 0; x < pixels; ++x) {
                    const int v = x < page.width ? page.px[c][y][x] : 0;
                    const int want = v ? 1 : 0;
                    if (printed[c][y][x] != want) {
                        *why = "plane " + std::to_string(c) + " line " + std::to_string(y) + " pixel " + std::to_string(x) +
                               " printed " + std::to_string(printed[c][y][x]) + " times";
                        return false;
                    }
                }
        return true;
    }

    Stream out;
    int rescueBlocks = 0;  // blocks sent by rescue passes
    long droppedDots = 0;  // pixels that left the band unprinted

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

    bool LineHoldsInk(int L) const
    {
        for (const auto& plane : band)
            for (int v : plane[L])
                if (v) return true;
        return false;
    }

    void PrintBand()
    {
        if (rows == 0) return;
        int passes = vp;
        if (cfg.weave) passes = (state == 1 && factor * leading < lines * vp) ? vp : 1;
        const int mark = advanced + pendingAdvance;
        int f = feed;
        if (vp == 1) f = std::max(1, feed - (7 * bandCount) % 4);
        f = std::min(f, rows);
        if (loaded > 0) {
            for (int p = 0; p < vp; ++p) {
                if (p < passes)
                    for (int h = 0; h < hp; ++h)
                        for (size_t c = 0; c < band.size(); ++c) PrintPass(p, h, static_cast<int>(c), rows, false);
                // Lines of this interleave pass that leave the band at this advance with ink.
                bool leaving = false;
                for (int L = p; L < f; L += vp) leaving = leaving || LineHoldsInk(L);
                if (cfg.rescue && leaving)
                    for (int h = 0; h < hp; ++h)
                        for (size_t c = 0; c < band.size(); ++c) PrintPass(p, h, static_cast<int>(c), f, true);
                pendingAdvance += 1;
            }
        }
        pendingAdvance = f - advanced + mark;
        rows = std::max(0, rows - f);
        loaded = std::max(0, loaded - f);
        leading = std::max(0, leading - f);
        for (auto& plane : band)
            for (int L = 0; L < f; ++L) {
                for (int v : plane.front()) droppedDots += v ? 1 : 0;
                plane.pop_front();
                plane.push_back(std::vector<int>(pixels, 0));
            }
        bandTop += f;
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

    // One block of interleave pass p: nozzle rows whose band line lies below `limit`; a
    // rescue block (`whole`) takes every pixel, a normal one draws where the weave says.
    void PrintPass(int p, int h, int c, int limit, bool whole)
    {
        std::vector<int> nozzleRows;
        for (int k = 0; k < 180 && p + k * vp < limit; ++k) nozzleRows.push_back(k);
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
            const int L = p + k * vp;
            for (int j = 0; j < n; ++j)
                for (int q = 0; q < perByte; ++q) {
                    const int i = (left + j) * perByte + q;
                    int& v = Pixel(c, L, h, i);
                    const unsigned mask = ((1u << cfg.bits) - 1) << (8 - (q + 1) * cfg.bits);
                    const uint32_t seed = ((static_cast<uint32_t>(h) * 256 + k) * 256 + j) * 256 + mask;
                    const bool take = whole || !cfg.weave || k < fullCopy || FirstRand(seed) % N == 0;
                    if (!take) continue;
                    const bool broken = cfg.broken && std::count(std::begin(kBrokenNozzles), std::end(kBrokenNozzles), k);
                    if (!broken) {
                        blk.data[k * n + j] |= static_cast<uint8_t>(v << (8 - (q + 1) * cfg.bits));
                        const int y = bandTop + L - topOffset, x = hp * i + h;
                        if (v && y >= 0 && y < static_cast<int>(printed[c].size()) && x < pixels) ++printed[c][y][x];
                    }
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
        if (whole) ++rescueBlocks;
    }

    Config cfg;
    int hp, vp, perByte, rowBytes, pixels, passRowBytes, lines, topOffset;
    std::vector<std::deque<std::vector<int>>> band;   // [plane][band line][pixel]
    std::vector<std::vector<std::vector<int>>> printed;  // [plane][page line][pixel]: times printed
    int bandTop = 0;  // lines the band has advanced since the output started
    int rows = 0, loaded = 0, leading = 0, pendingEmpty = 0, pendingAdvance = 0, advanced = 0, moved = 0;
    int bandCount = 0;
    bool ended = false;
    int state = 1, feed = 180, factor = 1, ratio = 1, fullCopy = 180, divisor = 1, ramp = 0;
};

}  // namespace engine_test
