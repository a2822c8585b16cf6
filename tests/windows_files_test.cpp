// What only Windows does to files: renames over existing files, text-mode descriptors, the user
// data folder and the characters its file names may not contain.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/JobRunner.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"
#include "support/TestSupport.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace fs = std::filesystem;

namespace {

using test_support::ReadFile;

class WindowsFiles : public ::testing::Test {
protected:
    const test_support::TempDir tmp;
    const fs::path dir = tmp.path();
};

TEST_F(WindowsFiles, EverySaveReplacesTheSettingsFile)
{
    const std::string path = (dir / "settings.ini").string();
    for (const char* value : {"first", "second", "third"}) {
        CPrintEnv saved;
        saved.PutString("strPaperTyp", value);
        saved.PutInt("WeaveRatio", 8);
        std::string error;
        ASSERT_TRUE(saved.SaveFile(path, &error)) << error;
        CPrintEnv loaded;
        ASSERT_TRUE(loaded.LoadFile(path, &error)) << error;
        EXPECT_EQ(loaded.Values(), saved.Values());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "a temporary file was left";
}

TEST_F(WindowsFiles, JobBytesPassATextModeDescriptorUnchanged)
{
    const std::string bytes("\x1b\x0a\x0d\x0a\x1a\x00\x0a", 7);  // line feeds, CR LF, Ctrl-Z, NUL
    const fs::path path = dir / "job.prn";
    const int fd = _open(path.string().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_TEXT, _S_IREAD | _S_IWRITE);
    ASSERT_GE(fd, 0);
    FdSink sink(fd);
    EXPECT_TRUE(sink.Write(bytes.data(), bytes.size()));
    ASSERT_EQ(_close(fd), 0);
    EXPECT_EQ(ReadFile(path), bytes);
}

TEST_F(WindowsFiles, StatisticsLogGoesToLocalAppDataUnderAWindowsName)
{
    const char* local = std::getenv("LOCALAPPDATA");
    ASSERT_TRUE(local && *local);
    const fs::path logs = fs::path(local) / "rphoto" / "Nvlogging";
    CPrintEnv store;
    store.PutInt(PrEnv_UID, 2);
    store.PutString(PrEnv_PrintMethod.pszKey, "720x720");
    store.PutInt("TraceRealTime", 1);
    DriverPtr driver(Create(&store));
    ASSERT_TRUE(AsDriverBase(driver.get()));
    JobDescription job;
    job.resX = job.resY = 720;
    job.jobName = "a/b*c?d\"e<f>g|h";  // each character is one Windows refuses in a file name
    const JobPlane plane{0, 64, 16, 16, std::vector<uint8_t>(16 * 16, 0x5A)};
    MemorySink out;
    ASSERT_TRUE(RunJob(*AsDriverBase(driver.get()), job, {plane}, out).Ok());

    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(logs))
        if (e.path().filename().string().rfind("a_b_c_d_e_f_g_h_720x720_", 0) == 0) found.push_back(e.path());
    ASSERT_EQ(found.size(), 1u);
    const std::string text = ReadFile(found[0]);
    fs::remove(found[0]);
    EXPECT_EQ(text.rfind("PRINT a/b*c?d\"e<f>g|h SUCCESSFUL!!\n", 0), 0u) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos) << "the log was written in text mode";
}

}  // namespace
