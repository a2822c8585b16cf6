// What the printer application tells IPP clients and what a job's choices put into the store.
#include <gtest/gtest.h>

#include <cstring>

#include "devparms/Model1PrintModes.h"
#include "printer-app/ModelCatalog.h"
#include "printer-app/PrinterSettings.h"

using namespace printerapp;

TEST(PrinterAppCatalog, AConnectedPrinterIsAddedByItsDeviceId)
{
    const struct {
        const char* id;
        const char* driver;  // null: not ours
    } cases[] = {
        {"MFG:EPSON;CMD:ESCPL2,BDC,D4;MDL:Stylus Photo R3000;CLS:PRINTER;", "r3000"},
        {"MANUFACTURER:Epson;COMMAND SET:ESCPL2;MODEL:stylus photo r2000;", "r2000"},
        {"MFG:EPSON;MDL:Stylus Photo R2880;", nullptr},
        {"MFG:Canon;MDL:Stylus Photo R2000;", nullptr},
        {"MDL:Stylus Photo R2000;", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const ModelInfo* m = MatchDeviceId(c.id);
        EXPECT_STREQ(m ? m->driverName : nullptr, c.driver) << c.id;
    }
}

// Every medium and resolution offered is one the model's own tables know.
TEST(PrinterAppCatalog, OffersOnlyWhatTheModelTablesKnow)
{
    for (const ModelInfo& m : Models()) {
        SCOPED_TRACE(m.driverName);
        EXPECT_LE(m.resolutions.size(), 4u);
        for (const MediaType& t : m.types) {
            bool known = m.id == 2 ? Model2MediaIndex(t.medium) > 0 : false;
            for (int i = 0; m.id == 1 && i < kModel1PrintModeCount; ++i) known |= std::strcmp(kModel1PrintModes[i].media, t.medium) == 0;
            EXPECT_TRUE(known) << t.keyword << " -> " << t.medium;
        }
        for (const Resolution& r : m.resolutions) {
            const std::string name = std::to_string(r.x) + "x" + std::to_string(r.y);
            bool printed = m.id == 2;
            for (int i = 0; m.id == 1 && i < kModel1PrintModeCount; ++i) printed |= name == kModel1PrintModes[i].resolution;
            EXPECT_TRUE(printed) << name;
        }
    }
}

TEST(PrinterAppCatalog, JobChoicesSelectTheDeviceOptions)
{
    const struct {
        const char* driver;
        const char* type;
        const char* source;
        const char* blackInk;
        std::vector<std::pair<const char*, const char*>> expected;  // key, value in the store
    } cases[] = {
        // Model 2: media position in its table, photo black 1, matte 2, roll is source 3.
        {"r3000", "photographic-glossy", "main-roll", "matte",
         {{"DP2_strPaperTyp", "Premium Glossy Photo Paper"}, {"DP2_nPaperTyp", "3"}, {"DP2_nMediaSource", "3"}, {"DP2_inkMode", "2"}}},
        {"r3000", "epson-singleweight-matte", "main", "photo", {{"DP2_nPaperTyp", "14"}, {"DP2_nMediaSource", "0"}, {"DP2_inkMode", "1"}}},
        // Model 1: the print-mode table's name; roll 1, CD-R 4; photo black 0, matte 1.
        {"r2000", "photographic-matte", "disc", "matte",
         {{"DP1_strPaperTyp", "Enhanced Matte Paper"}, {"DP1_nMediaSource", "4"}, {"DP1_inkMode", "1"}}},
        // Unknown keywords leave the stored options.
        {"r2000", "no-such-type", "no-such-tray", "green",
         {{"DP1_strPaperTyp", "Stored"}, {"DP1_nMediaSource", "7"}, {"DP1_inkMode", "9"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.driver) + " " + c.type);
        CPrintEnv store;
        store.PutString("DP1_strPaperTyp", "Stored");
        store.PutInt("DP1_nMediaSource", 7);
        store.PutInt("DP1_inkMode", 9);
        JobChoices job;
        job.resX = 2880;
        job.resY = 1440;
        job.mediaSize = "custom_a3plus_329x483mm";
        job.mediaType = c.type;
        job.mediaSource = c.source;
        job.vendor = {{"rphoto-black-ink", c.blackInk}};
        ApplyJobChoices(*FindModel(c.driver), job, store);
        EXPECT_EQ(store.GetString(PrEnv_PrintMethod).str(), "2880x1440");
        EXPECT_EQ(store.GetString(PrEnv_DefaultMediaSizeName).str(), "ISO A3Plus");
        for (const auto& [key, value] : c.expected) EXPECT_EQ(store.GetString(key, "").str(), value) << key;
    }
}
