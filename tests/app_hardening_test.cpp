// The command line against hostile or careless use: failed output, output that is not a plain
// file, signals, usage errors, bad inks, media and planes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/OutputFile.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {
class Hardening : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write("s.ini", "A = 1\n");
        // 8 x 2 pixels of all four levels: small enough for every page and method.
        Write("K.pgm", std::string("P5\n8 2\n3\n", 9) + std::string("\0\1\2\3\3\2\1\0\1\1\1\1\2\2\2\2", 16));
        // The start stream's first bytes: the exit-packet sequence.
        Write("job.prn", std::string("\0\0\0\x1b\x01@EJL 1284.4\n", 17));
    }
    std::string P(const std::string& name) const { return tmp / name; }
    void Write(const std::string& name, const std::string& bytes) { test_support::WriteFile(P(name), bytes); }
    std::string Read(const std::string& name) const { return test_support::ReadFile(P(name)); }
    // Runs rphoto in the test folder with its own data folders; stderr is kept apart from stdout.
    int Run(const std::string& args, std::string* err = nullptr)
    {
        const int status = test_support::RunShell("cd '" + dir.string() + "' && XDG_CONFIG_HOME=cfg XDG_DATA_HOME=data '" +
                                                  test_support::RphotoCommand() + "' " + args + " 2>err.txt").status;
        if (err) *err = Read("err.txt");
        return status;
    }
    const test_support::TempDir tmp;
    const fs::path dir = tmp.path();
};

constexpr const char* kStreams = "streams --model r2000 --method 1440x720 --settings s.ini ";
constexpr const char* kPrint = "print --model r2000 --method 1440x720 --settings s.ini --quiet ";

TEST_F(Hardening, EveryCommandFailsWhenItsOutputFails)
{
    const char* commands[] = {
        "info >/dev/full",
        "settings show --settings s.ini >/dev/full",
        "settings get A --settings s.ini >/dev/full",
        "options --model r3000 --settings s.ini >/dev/full",
        "decode job.prn >/dev/full",
        "decode job.prn --list >/dev/full",
        "decode job.prn --json >/dev/full",
        "streams --model r2000 --method 1440x720 --settings s.ini -o - >/dev/full",
        "streams --model r2000 --method 1440x720 --settings s.ini -o /dev/full",
        "print --model r3000 --method 1440x720 --settings s.ini --quiet -o /dev/full K.pgm",
        "print --model r3000 --method 1440x720 --settings s.ini --quiet -o - K.pgm >/dev/full",
    };
    for (const char* c : commands) {
        std::string err;
        EXPECT_NE(Run(c, &err), 0) << c;
        EXPECT_EQ(err.rfind("rphoto: ", 0), 0u) << c << ": " << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c << ": " << err;
    }
}

TEST_F(Hardening, OutputKeepsWhatTheNameIs)
{
    // A new file, an existing one of mode 0640 (kept) and a symlink to it (written through).
    Write("private.prn", "old");
    ::chmod(P("private.prn").c_str(), 0640);
    fs::create_symlink("private.prn", dir / "link.prn");
    const std::pair<const char*, const char*> cases[] = {
        {"new.prn", "new.prn"}, {"private.prn", "private.prn"}, {"link.prn", "private.prn"}};
    for (const auto& [output, target] : cases) {
        ASSERT_EQ(Run(std::string(kStreams) + "-o " + output), 0) << output;
        EXPECT_EQ(Read(target).substr(0, 17), Read("job.prn")) << output;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.prn"));
    EXPECT_EQ(fs::status(dir / "private.prn").permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // No temporary file is left beside them.
    for (const auto& e : fs::directory_iterator(dir)) EXPECT_NE(e.path().filename().string()[0], '.');
}

TEST_F(Hardening, SignalsRemoveTemporaryFiles)
{
    for (int sig : {SIGTERM, SIGINT}) {
        const pid_t child = ::fork();
        if (child == 0) {
            RemoveTempFilesOnSignals();
            OutputFile out(P("job.out"));
            std::fputs("half a job", out.Stream());
            std::raise(sig);
            _exit(0);
        }
        int st = 0;
        ASSERT_EQ(::waitpid(child, &st, 0), child);
        EXPECT_TRUE(WIFSIGNALED(st) && WTERMSIG(st) == sig);
        for (const auto& e : fs::directory_iterator(dir)) EXPECT_NE(e.path().filename().string()[0], '.') << sig;
        EXPECT_FALSE(fs::exists(dir / "job.out"));
    }
}

TEST_F(Hardening, RefusalsSayWhatIsWrongAndWhatIsAllowed)
{
    Write("short.pgm", "P5\n30000 30000\n3\n0123");
    Write("wide.pgm", std::string("P5\n20000 1\n3\n") + std::string(20000, '\0'));
    fs::create_directory(dir / "folder");
    struct Case {
        std::string args;
        int code;
        const char* says;  // part of the one-line error
    };
    const Case cases[] = {
        {"bogus", 2, "unknown command 'bogus'"},
        {"print --model", 2, "rphoto: --model"},
        {std::string(kPrint) + "--inks K,k -o o.prn K.pgm K.pgm", 1, "K is named twice"},
        {std::string(kPrint) + "--inks LC -o o.prn K.pgm", 1, "the r2000's inks: K,C,M,Y,R,O,GO"},
        {"print --model r3000 --method 1440x720 --settings s.ini --inks R -o o.prn K.pgm", 1, "not an ink of the r3000"},
        {std::string(kPrint) + "--media-size 'ISO A0' -o o.prn K.pgm", 1, "wider than"},
        {std::string(kStreams) + "--media-size 'US Ledger' -o o.prn", 1, "wider than"},
        {std::string(kPrint) + "-o o.prn short.pgm", 1, "the file holds 21 bytes"},
        {std::string(kPrint) + "-o o.prn wide.pgm", 1, "do not fit"},
        {std::string(kPrint) + "-o o.prn folder", 1, "folder: is a folder"},
        {"decode folder", 1, "folder: is a folder"},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(Run(c.args, &err), c.code) << c.args << ": " << err;
        EXPECT_NE(err.find(c.says), std::string::npos) << c.args << ": " << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.args << ": " << err;
        EXPECT_FALSE(fs::exists(dir / "o.prn")) << c.args;
    }
}

TEST_F(Hardening, CommandLineConventions)
{
    std::string err;
    // --settings after the sub-command's own words, and before the command word.
    EXPECT_EQ(Run("settings show --settings s.ini >out.txt"), 0);
    EXPECT_EQ(Read("out.txt"), "A = 1\n");
    EXPECT_EQ(Run("--settings s.ini settings get A >out.txt"), 0);
    EXPECT_EQ(Read("out.txt"), "1\n");
    // One value per --set: the plane after it stays a plane; streams has print's default size.
    EXPECT_EQ(Run(std::string(kPrint) + "--set WeaveRatio=8 K.pgm -o o.prn", &err), 0) << err;
    EXPECT_EQ(Run(std::string(kStreams) + "-o o.prn", &err), 0) << err;
    // --quiet hides progress, not warnings.
    EXPECT_EQ(Run(std::string(kPrint) + "--set DP1_strPaperTyp=Bogus -o o.prn K.pgm", &err), 0);
    EXPECT_NE(err.find("warning"), std::string::npos) << err;
    // A job name cannot leave the log folder.
    EXPECT_EQ(Run(std::string(kPrint) + "--set TraceRealTime=1 --job-name ../../../x/evil -o o.prn K.pgm"), 0);
    EXPECT_FALSE(fs::exists(dir / "x"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "data" / "rphoto" / "Nvlogging"), fs::directory_iterator()), 1);
}
}  // namespace
