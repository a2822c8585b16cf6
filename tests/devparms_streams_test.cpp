// Both models' job start and end streams: the worked examples byte for byte, the commands that
// follow each option and job setting (tests/data/start_stream_cases.tsv), and what carries over
// from one job to the next.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/CDEFP_2_RPHOTO.h"
#include "devparms_support.h"
#include "support/TestSupport.h"

using devparms_test::Job;
using test_support::Command;
using test_support::Hex;
using test_support::Params;

namespace {

class Streams : public ::testing::Test {
protected:
    void SetUp() override { setenv("SOURCE_DATE_EPOCH", "0", 1); }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    std::unique_ptr<CEpsonRPhotoDevParmsBase> Make(int model)
    {
        if (model == 1) return std::make_unique<CDEFP_1_RPHOTO>(&job.env);
        return std::make_unique<CDEFP_2_RPHOTO>(&job.env);
    }
    std::vector<Command> Commands(CEpsonRPhotoDevParmsBase& parms)
    {
        std::vector<Command> cmds;
        const std::string error = test_support::ReadCommands(parms.GetStartString(job.driver).str(), &cmds);
        EXPECT_EQ(error, "");
        return cmds;
    }

    Job job;
};

TEST_F(Streams, WorkedExamplesGiveTheWholeStartStream)
{
    const struct {
        int model;
        const char* options;
        const char* file;
    } cases[] = {{1, "DP1_strPaperTyp=Premium Glossy Photo Paper", "model1_start_stream.hex"},
                 {2, "DP2_nPaperTyp=3;DP2_strPaperTyp=Premium Glossy Photo Paper;DP2_inkMode=1;$Parms$1440x720=1,2,3,4,3,2",
                  "model2_start_stream.hex"}};
    for (const auto& c : cases) {
        std::istringstream options(c.options);
        for (std::string kv; std::getline(options, kv, ';');)
            job.env.PutString(kv.substr(0, kv.find('=')).c_str(), kv.substr(kv.find('=') + 1).c_str());
        auto parms = Make(c.model);
        job.Start(parms.get(), 1440, 720, "1440x720");
        EXPECT_EQ(test_support::ToHex(parms->GetStartString(job.driver).str()),
                  test_support::ToHex(Hex(test_support::DataFile(c.file))))
            << c.file;
        EXPECT_EQ(parms->dNozzleResH, 720.0);
    }
}

TEST_F(Streams, EachOptionAndJobSettingReachesItsCommand)
{
    int rowNumber = 0;
    for (const auto& row : test_support::DataTable("start_stream_cases.tsv")) {
        ++rowNumber;
        ASSERT_GE(row.size(), 10u) << "row " << rowNumber;
        const int model = std::stoi(row[0]);
        SCOPED_TRACE("row " + std::to_string(rowNumber) + ": " + row[6] + " " + (row.size() > 10 ? row[10] : ""));
        Job one;
        const std::string prefix = "DP" + row[0] + "_";
        int width = 0;
        std::istringstream options(row[6]);
        for (std::string kv; std::getline(options, kv, ';');) {
            const std::string key = kv.substr(0, kv.find('=')), value = kv.substr(kv.find('=') + 1);
            if (key == "@width") width = std::stoi(value);
            else one.env.PutString((prefix + key).c_str(), value.c_str());
        }
        if (row[3] != "-") one.env.PutString(("$Parms$" + row[2]).c_str(), row[3] == "''" ? "" : row[3].c_str());
        if (row[5] != "-") {
            double m[6];
            uint32_t flags = 0;
            std::istringstream(row[5]) >> m[0] >> m[1] >> m[2] >> m[3] >> m[4] >> m[5] >> flags;
            one.SetMedia(m[0], m[1], CDRc{m[2], m[3], m[4], m[5]}, flags);
        }
        std::unique_ptr<CEpsonRPhotoDevParmsBase> parms;
        if (model == 1) parms = std::make_unique<CDEFP_1_RPHOTO>(&one.env);
        else parms = std::make_unique<CDEFP_2_RPHOTO>(&one.env);
        const size_t x = row[1].find('x');
        one.Start(parms.get(), std::stod(row[1].substr(0, x)), std::stod(row[1].substr(x + 1)), row[2].c_str(),
                  row[4] == "-" ? "ISO A4" : row[4].c_str(), width);
        std::vector<Command> cmds;
        ASSERT_EQ(test_support::ReadCommands(parms->GetStartString(one.driver).str(), &cmds), "");
        const std::string want = row[9] == "<none>" ? row[9] : Hex(row[9]);
        EXPECT_EQ(test_support::ToHex(Params(cmds, row[7], std::stoi(row[8]))), test_support::ToHex(want)) << row[7];
    }
    EXPECT_GT(rowNumber, 100);
}

// The paper path stays as the last job left it when the source is outside the table; the
// nozzle resolution only rises, and a later job keeps what the last one left.
TEST_F(Streams, WhatCarriesOverFromOneJobToTheNext)
{
    CDEFP_1_RPHOTO parms(&job.env);
    job.Start(&parms, 360, 360, "360x360");
    parms.nMediaSource = 4;
    EXPECT_EQ(Params(Commands(parms), "PP"), Hex("00 02 01"));
    parms.nMediaSource = 5;
    EXPECT_EQ(Params(Commands(parms), "PP"), Hex("00 02 01"));
    EXPECT_EQ(Params(Commands(parms), "ESC(D"), Hex("80 16 20 10"));
    job.Resolution(720, 720);
    EXPECT_EQ(Params(Commands(parms), "ESC(D"), Hex("80 16 20 08"));
    job.Resolution(360, 360);
    EXPECT_EQ(Params(Commands(parms), "ESC(D"), Hex("80 16 20 08"));
    EXPECT_EQ(parms.dNozzleResH, 720.0);

    CDEFP_2_RPHOTO two(&job.env);
    job.env.PutString("$Parms$720x180", "a,b,c,d,3,0");
    job.Start(&two, 720, 180, "720x180");
    EXPECT_EQ(Params(Commands(two), "ESC(D"), Hex("80 16 20 10"));
    job.env.PutString("$Parms$360x360", "a,b,c,d,3,1");
    job.Start(&two, 360, 360, "360x360");
    EXPECT_EQ(Params(Commands(two), "ESC(D"), Hex("80 16 20 10"));
}

// Model 2 sends the ink type right after the printer timer, and nothing there for ink mode 0.
TEST_F(Streams, Model2InkTypeFollowsTheTimer)
{
    CDEFP_2_RPHOTO parms(&job.env);
    job.Start(&parms, 1440, 720, "1440x720");
    for (int ink : {0, 1}) {
        parms.inkMode = ink;
        EXPECT_EQ(test_support::Names(Commands(parms))[5], ink == 0 ? "JS" : "IK");
    }
}

TEST_F(Streams, EndStreamIsTheSameTenCommandsAlways)
{
    const std::string expected = Hex(test_support::DataFile("end_stream.hex"));
    for (int model : {1, 2}) {
        auto parms = Make(model);
        job.Start(parms.get(), 1440, 720, "1440x720");
        job.sink.bytes.clear();
        EXPECT_EQ(parms->OutputEndString(job.driver), 1);
        job.Resolution(5760, 1440);
        EXPECT_EQ(parms->OutputEndString(job.driver), 1);
        EXPECT_EQ(job.sink.bytes, expected + expected) << "model " << model;
        CountingSink failing(0);
        job.driver->SetOutputSink(&failing);
        EXPECT_EQ(parms->OutputEndString(job.driver), 0);
        job.driver->SetOutputSink(&job.sink);
    }
}

}  // namespace
