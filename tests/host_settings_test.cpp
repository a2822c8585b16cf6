// The settings store and its INI file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/PrintEnv.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void TearDown() override
    {
        CPrintEnv::SetBeforeRenameHook(nullptr);
    }
    std::string Read() const { return fs::exists(path) ? test_support::ReadFile(path) : ""; }
    void Write(const std::string& text) const { test_support::WriteFile(path, text); }

    test_support::TempDir dir;
    std::string path = dir / "settings.ini";
};

TEST(PrintEnv, TypedReadsAndDefaults)
{
    CPrintEnv env;
    EXPECT_EQ(env.GetInt("DP1_nPaperTyp", 18), 18);
    EXPECT_EQ(env.GetString("DP1_strPaperTyp", "dflt"), "dflt");
    EXPECT_EQ(env.GetInt(PrEnv_UID), 0);
    env.PutInt("DP1_nPaperTyp", -3);
    env.PutString("name", "12abc");
    env.PutInt(PrEnv_UID, 0x201);
    EXPECT_EQ(env.GetInt("DP1_nPaperTyp", 18), -3);
    EXPECT_EQ(env.GetInt("name", 0), 12);  // read the way atoi reads
    EXPECT_EQ(env.GetInt(PrEnv_UID), 0x201);
    EXPECT_EQ(env.GetString("DP1_nPaperTyp", ""), "-3");
    ASSERT_EQ(env.WriteLog().size(), 3u);
    EXPECT_EQ(env.WriteLog()[2], PrEnv_UID.pszKey);
}

TEST_F(SettingsFile, RoundTripOfEveryKindOfKey)
{
    CPrintEnv env;
    env.PutInt("DP1_nPaperTyp", 3);
    env.PutInt("DP2_bBrokenNozzle_179", -1);
    env.PutString("DP1_strPaperTyp", "Premium Glossy Photo Paper");
    env.PutString("$Parms$1440x720", "1,2,3,4,2,0,1");
    env.PutString("$Parms$Photo RPM 2880", "0,0,0,0,3,2");  // a print method named with blanks
    env.PutString("TraceRealTime", "1");
    env.PutInt(PrEnv_BitsPerPixel, 2);
    env.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A3Plus");
    env.PutString("empty", "");
    std::string error;
    ASSERT_TRUE(env.SaveFile(path, &error)) << error;

    CPrintEnv back;
    ASSERT_TRUE(back.LoadFile(path, &error)) << error;
    EXPECT_EQ(back.Values(), env.Values());
    EXPECT_EQ(back.GetString("$Parms$1440x720", ""), "1,2,3,4,2,0,1");
    EXPECT_EQ(back.GetString(PrEnv_DefaultMediaSizeName), "ISO A3Plus");
    EXPECT_TRUE(back.Has("empty"));
}

TEST_F(SettingsFile, MissingFileIsAnEmptyStore)
{
    CPrintEnv env;
    env.PutInt("x", 1);
    std::string error;
    EXPECT_TRUE(env.LoadFile((dir / "absent.ini"), &error));
    EXPECT_TRUE(env.Values().empty());
}

TEST_F(SettingsFile, MalformedFileNamesFileAndLineAndKeepsTheStore)
{
    Write("# comment\nDP1_nPaperTyp = 3\nthis line has no separator\nx = 1\n");
    CPrintEnv env;
    env.PutInt("kept", 7);
    std::string error;
    EXPECT_FALSE(env.LoadFile(path, &error));
    EXPECT_EQ(error.rfind(path + ":3:", 0), 0u) << error;
    EXPECT_EQ(env.GetInt("kept", 0), 7);

    Write("[section]\nx = 1\n");
    EXPECT_FALSE(env.LoadFile(path, &error));
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;
}

TEST_F(SettingsFile, InterruptedSaveLeavesTheOldFileWhole)
{
    Write("DP1_nPaperTyp = 3\n");
    CPrintEnv env;
    env.PutInt("DP1_nPaperTyp", 5);
    CPrintEnv::SetBeforeRenameHook([](const std::string&) { return false; });
    std::string error;
    EXPECT_FALSE(env.SaveFile(path, &error));
    CPrintEnv::SetBeforeRenameHook(nullptr);
    EXPECT_EQ(Read(), "DP1_nPaperTyp = 3\n");
}

TEST_F(SettingsFile, UnwritableKeysAreRefusedBeforeTouchingTheFile)
{
    Write("a = 1\n");
    CPrintEnv env;
    env.PutString("bad=key", "1");
    std::string error;
    EXPECT_FALSE(env.SaveFile(path, &error));
    EXPECT_EQ(Read(), "a = 1\n");
}

}  // namespace
