// Raster command output: block bytes, positions, colour codes, compression, failed writes.
#include <gtest/gtest.h>

#include "engine_support.h"

namespace {
using namespace engine_test;

// The worked block: model 2, plain data, 1 bit, 2 horizontal passes, pass 1, offset 10,
// 50 bytes per line, 180 lines, plane colour 1, one line pending, head at the origin.
TEST(RasterOutput, WorkedBlock)
{
    JobParams p{.resX = 720, .resY = 180, .bits = 1, .colors = {1}};
    Rig rig(p, 1024);
    auto& d = *rig.driver;
    d.OutputInit(0, 0);
    ASSERT_EQ(d.m_nHPasses, 2);
    ASSERT_TRUE(rig.sink.bytes.empty());
    const int advancedBefore = d.m_nAdvancedRows;
    d.m_nPendingAdvance = 1;
    d.m_nDataOffset = 10;
    d.m_nDataBytes = 50;
    std::vector<uint8_t> data(180 * 50);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7 + 1);
    const std::vector<uint8_t> sent = data;
    EXPECT_EQ(d.OutputRasterPass(0, 1, 0, data.data(), 180, 50), 1);
    const std::string want = Hex("1B 28 76 04 00 01 00 00 00") + Hex("1B 28 24 04 00 A1 00 00 00") +
                             Hex("1B 69 02 00 01 32 00 B4 00") + std::string(sent.begin(), sent.end()) + Hex("0D");
    EXPECT_EQ(rig.sink.bytes, want);
    EXPECT_EQ(d.m_nPendingAdvance, 0);
    EXPECT_EQ(d.m_nHorizPos, 0);
    EXPECT_EQ(d.m_nAdvancedRows, advancedBefore + 1);
}

// Hand-worked blocks at the left origin with nothing pending: the position (only when the data
// does not start at column 0), the raster command, the data or its PackBits form, and a CR.
TEST(RasterOutput, BlocksAtTheOrigin)
{
    const struct {
        const char* what;
        JobParams p;
        int offset, bytesPerRow, rows;
        std::vector<std::vector<uint8_t>> planeData;  // one pass per plane, in plane order
        const char* want;
    } cases[] = {
        {"bare block", {.resX = 360, .resY = 180, .bits = 2, .colors = {3}}, 0, 2, 3, {{1, 2, 3, 4, 5, 6}},
         "1B 69 04 00 02 02 00 03 00 01 02 03 04 05 06 0D"},
        // Two colours with the same left trim each get their own position: 3 x 1 x 4 + 0 = 12.
        {"position after every CR", {.resX = 360, .resY = 180, .bits = 2, .colors = {1, 2}}, 3, 1, 1, {{0x40}, {0x80}},
         "1B 28 24 04 00 0C 00 00 00 1B 69 02 00 02 01 00 01 00 40 0D"
         "1B 28 24 04 00 0C 00 00 00 1B 69 01 00 02 01 00 01 00 80 0D"},
        // PackBits of all rows as one stream: 00 00 00 07 | 07 07 09 0A, the run of 07 crossing rows.
        {"PackBits across rows", {.resX = 360, .resY = 180, .bits = 2, .compression = 1, .colors = {0}}, 0, 4, 2,
         {{0, 0, 0, 7, 7, 7, 9, 10}}, "1B 69 00 01 02 04 00 02 00 FE 00 FE 07 01 09 0A 0D"},
    };
    for (const auto& c : cases) {
        Rig rig(c.p, 40);
        auto& d = *rig.driver;
        d.OutputInit(0, 0);
        d.m_nDataOffset = c.offset;
        d.m_nDataBytes = c.bytesPerRow;
        for (size_t plane = 0; plane < c.planeData.size(); ++plane) {
            std::vector<uint8_t> data = c.planeData[plane];
            d.OutputRasterPass(0, 0, static_cast<int>(plane), data.data(), c.rows, c.bytesPerRow);
        }
        EXPECT_EQ(rig.sink.bytes, Hex(c.want)) << c.what;
    }
}

// The colour code of every host colour identifier, per model and black-ink mode.
TEST(RasterOutput, ColourCodes)
{
    std::vector<int> table(41, 0x00);
    const std::pair<int, int> listed[] = {{1, 0x02}, {2, 0x01}, {3, 0x04}, {4, 0x0A}, {5, 0x0B}, {6, 0x08},
                                          {7, 0x10}, {8, 0x12}, {9, 0x11}, {10, 0x30}, {30, 0x09}, {33, 0x3F},
                                          {34, 0x7F}, {35, 0x07}};
    for (auto [id, code] : listed) table[id] = code;
    for (int model : {1, 2})
        for (int inkMode : {0, 1}) {
            JobParams p{.model = model, .resX = 360, .resY = 180, .bits = 1, .inkMode = inkMode, .colors = {}};
            for (int id = 0; id <= 40; ++id) p.colors.push_back(id);
            Rig rig(p, 8);
            auto& d = *rig.driver;
            d.OutputInit(0, 0);
            d.m_nDataOffset = 0;
            d.m_nDataBytes = 1;
            for (int id = 0; id <= 40; ++id) {
                rig.sink.bytes.clear();
                uint8_t px[1] = {0xFF};
                d.OutputRasterPass(0, 0, id, px, 1, 1);
                ASSERT_GE(rig.sink.bytes.size(), 3u);
                const int want = (model == 1 && inkMode == 0 && id == 0) ? 0x40 : table[id];
                EXPECT_EQ(static_cast<uint8_t>(rig.sink.bytes[2]), want)
                    << "model " << model << " ink mode " << inkMode << " colour " << id;
            }
        }
}

// Broken-nozzle simulation blanks the marked nozzles' rows before they are sent.
TEST(RasterOutput, BrokenNozzlesBlanked)
{
    for (int enabled : {0, 1}) {
        JobParams p{.resX = 360, .resY = 180, .bits = 1, .colors = {0}};
        Rig rig(p, 16);
        rig.parms.bEnableBrokenNozzles = enabled;
        rig.parms.bBrokenNozzle[0] = 1;
        rig.parms.bBrokenNozzle[2] = 1;
        auto& d = *rig.driver;
        d.OutputInit(0, 0);  // holds 11 lines: nozzles 0..10 take part
        d.m_nDataOffset = 0;
        d.m_nDataBytes = 2;
        std::vector<uint8_t> data(8, 0xFF);
        d.OutputRasterPass(0, 0, 0, data.data(), 4, 2);
        const std::string rows = enabled ? Hex("00 00 FF FF 00 00 FF FF") : Hex("FF FF FF FF FF FF FF FF");
        EXPECT_EQ(rig.sink.bytes, Hex("1B 69 00 00 01 02 00 04 00") + rows + Hex("0D")) << enabled;
    }
}

// A sink that fails half-way: writes report 0, the job still ends and reports failure.
TEST(RasterOutput, FailingSinkEndsCleanly)
{
    JobParams p{.resX = 720, .resY = 720, .bits = 2, .colors = {0, 1}};
    Rig rig(p, 200);
    CountingSink sink(3000);
    rig.driver->SetOutputSink(&sink);
    Page page(2, 200, 1500);
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) page.px[y % 2][y][x] = static_cast<uint8_t>((x + y) % 4);
    EXPECT_EQ(rig.RunPage(page, 2), 0);
    EXPECT_EQ(sink.writes, 1u);  // the band's large write fails, and nothing is tried after it
    EXPECT_LE(sink.total, 3000u);
    EXPECT_EQ(rig.driver->m_pBandBuf, nullptr);
    EXPECT_EQ(rig.driver->m_pPackBuf, nullptr);
    EXPECT_EQ(rig.driver->m_nPendingAdvance, 0);

    // A single failed move reports 0 and leaves nothing pending.
    CountingSink dead(0);
    rig.driver->SetOutputSink(&dead);
    rig.driver->OutputInit(0, 0);
    rig.driver->m_nPendingAdvance = 5;
    CEpsonCommandsAddClass cmds;
    EXPECT_EQ(rig.driver->OutputVertAdvance(cmds, 1), 0);
    EXPECT_EQ(rig.driver->m_nPendingAdvance, 0);
    EXPECT_EQ(rig.driver->OutputExit(), 0);
}

}  // namespace
