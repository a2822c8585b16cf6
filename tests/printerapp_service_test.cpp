// The printer application as clients meet it: started as a server on loopback, checked with
// ipptool's IPP Everywhere suite, and printed to through a real CUPS queue made with
// `lpadmin -m everywhere`; the jobs it writes are decoded and compared with the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <thread>
#include <tuple>

#include "decode/Decoder.h"
#include "printerapp_process.h"

namespace fs = std::filesystem;
using namespace printerapp_test;

namespace {
const std::string kApp = std::string(RPHOTO_BIN_DIR) + "/rphoto-printer-app";

// What ipp-everywhere.test asks of PAPPL 1.3 that it does not implement: one test, failed for
// these attributes. printer-supply is left out because the printers report no ink levels to
// the application (a one-way device), and inventing them would mislead clients.
const std::set<std::string> kUnimplementedTests = {"PWG 5100.14 section 5.1/5.2 - Required Operations and Attributes"};
const std::set<std::string> kUnimplementedAttributes = {
    "overrides-supported",  "preferred-attributes-supported", "print-rendering-intent-default",
    "print-rendering-intent-supported", "printer-supply", "printer-supply-description",
    "pwg-raster-document-sheet-back"};

// The picture: a 4 x 6 in white page with a red square from 1 to 2 in across and 2 to 3 in down.
constexpr double kPageW = 4, kPageH = 6, kLeft = 1, kTop = 2, kSide = 1;  // inches

// The same picture as a one-page PDF (points, origin at the bottom left).
void WritePicturePdf(const std::string& path)
{
    const std::string content = "1 0 0 rg " + std::to_string(kLeft * 72) + " " +
                                std::to_string((kPageH - kTop - kSide) * 72) + " 72 72 re f\n";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 288 432] /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream"};
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t o : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    std::ofstream(path, std::ios::binary) << pdf;
}

class PrinterAppService : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        tmp = new TempFolder;
        home = tmp->Sub("home");
        tmp->Sub("home/.config");
        env = ProcessEnvironment(home);
        port = FreePort();
        app = Start({kApp, "server", "-o", "server-port=" + std::to_string(port), "-o", "listen-hostname=localhost",
                     "-o", "log-level=info", "-o", "log-file=" + tmp->path + "/app.log"},
                    env, tmp->path + "/app.out");
        ASSERT_TRUE(WaitForPort(port, 30)) << ReadText(tmp->path + "/app.out");
        // One printer per model for the CUPS queues, one for ipptool that writes nowhere.
        for (const auto& [name, model, device] : {std::tuple<std::string, std::string, std::string>{"r2000", "r2000", "file://" + tmp->Sub("out-r2000")},
                                                  {"r3000", "r3000", "file://" + tmp->Sub("out-r3000")},
                                                  {"everywhere", "r3000", "file:///dev/null"}}) {
            ASSERT_EQ(0, RunBounded({kApp, "add", "-d", name, "-m", model, "-v", device}, env,
                             tmp->path + "/add.log", 60))
                << ReadText(tmp->path + "/add.log");
            // The draft resolution keeps the jobs of the tests short.
            ASSERT_EQ(0, RunBounded({kApp, "modify", "-d", name, "-o", "print-quality-default=draft"}, env,
                             tmp->path + "/add.log", 60))
                << ReadText(tmp->path + "/add.log");
        }
    }
    static void TearDownTestSuite()
    {
        Stop(app);
        delete tmp;
    }
    // The picture as a 50 dpi PNG, drawn by ImageMagick.
    static void WritePicturePng(const std::string& path)
    {
        const std::string square = "rectangle 50,100 99,149";  // kLeft, kTop, kSide at 50 dpi
        ASSERT_EQ(0, RunBounded({"/usr/bin/convert", "-size", "200x300", "xc:white", "-fill", "red", "-draw", square,
                                 "-units", "PixelsPerInch", "-density", "50", path},
                                env, tmp->path + "/convert.log", 60))
            << ReadText(tmp->path + "/convert.log");
    }
    static std::string Uri(const std::string& model)
    {
        return "ipp://localhost:" + std::to_string(port) + "/ipp/print/" + model;
    }

    static TempFolder* tmp;
    static std::string home;
    static std::vector<std::string> env;
    static int port;
    static pid_t app;
};
TempFolder* PrinterAppService::tmp = nullptr;
std::string PrinterAppService::home;
std::vector<std::string> PrinterAppService::env;
int PrinterAppService::port = 0;
pid_t PrinterAppService::app = 0;

TEST_F(PrinterAppService, PassesTheIppEverywhereSuiteButWhatPapplLeavesOut)
{
    const std::string png = tmp->path + "/picture.png", log = tmp->path + "/ipptool.log";
    WritePicturePng(png);
    // PAPPL counts printer-up-time in whole seconds, and the suite wants it above 0.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    RunBounded({"/usr/bin/ipptool", "-V", "2.0", "-tf", png, "-T", "30", Uri("everywhere"), "ipp-everywhere.test"}, env, log, 600);
    const std::string report = ReadText(log);
    auto matches = [&](const char* pattern) {
        std::set<std::string> found;
        const std::regex re(pattern);
        for (std::sregex_iterator it(report.begin(), report.end(), re), end; it != end; ++it)
            found.insert((*it)[1]);
        return found;
    };
    EXPECT_GE(matches(R"(\n +([^\n]+?) +\[PASS\])").size(), 30u) << report;
    EXPECT_EQ(matches(R"(\n +([^\n]+?) +\[FAIL\])"), kUnimplementedTests) << report;
    EXPECT_EQ(matches(R"(\n +EXPECTED: ([^ \n]+))"), kUnimplementedAttributes) << report;
}

// Ink colour bytes of the raster command.
constexpr uint8_t kMagenta = 0x01, kYellow = 0x04, kRed = 0x07, kCyan = 0x02;

struct CupsCase {
    const char* model;
    const char* file;
    const char* format;  // the document format the queue is told
    std::vector<uint8_t> redInks;  // at least one of them prints the square
};

TEST_F(PrinterAppService, CupsQueuesPrintThePictureWithTheModelsInks)
{
    // cupsd of its own on a free port, its folders inside the test folder.
    const std::string root = tmp->Sub("cups");
    for (const char* d : {"spool", "cache", "state", "tmp", "ppd", "log"}) tmp->Sub(std::string("cups/") + d);
    const int cupsPort = FreePort();
    std::ofstream(root + "/cupsd.conf") << "Listen 127.0.0.1:" << cupsPort
                                        << "\nLogLevel info\nWebInterface No\nBrowsing No\nDefaultPolicy open\n"
                                           "<Policy open>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n"
                                           "<Location />\nOrder deny,allow\n</Location>\n";
    std::ofstream(root + "/cups-files.conf") << "ServerRoot " << root << "\nRequestRoot " << root << "/spool\nCacheDir "
                                             << root << "/cache\nStateDir " << root << "/state\nTempDir " << root
                                             << "/tmp\nErrorLog " << root << "/log/error_log\nAccessLog " << root
                                             << "/log/access_log\nPageLog " << root << "/log/page_log\n";
    const pid_t cupsd = Start({"/usr/sbin/cupsd", "-f", "-c", root + "/cupsd.conf", "-s", root + "/cups-files.conf"}, env,
                              tmp->path + "/cupsd.out");
    ASSERT_TRUE(WaitForPort(cupsPort, 30)) << ReadText(tmp->path + "/cupsd.out") << ReadText(root + "/log/error_log");
    const std::string server = "127.0.0.1:" + std::to_string(cupsPort);
    WritePicturePng(tmp->path + "/picture.png");
    WritePicturePdf(tmp->path + "/picture.pdf");

    // A PDF is declared as already prepared for the queue (what cups-filters' pdftopdf would
    // make of it), so that CUPS passes it on to the application as application/pdf.
    const CupsCase cases[] = {{"r3000", "picture.png", "image/png", {kMagenta, kYellow}},
                              {"r2000", "picture.pdf", "application/vnd.cups-pdf", {kRed, kMagenta, kYellow}}};
    for (const CupsCase& c : cases) {
        SCOPED_TRACE(c.model);
        const std::string log = tmp->path + "/cups-" + c.model + ".log", out = tmp->path + "/out-" + c.model;
        for (const auto& e : fs::directory_iterator(out)) fs::remove(e.path());
        ASSERT_EQ(0, RunBounded({"/usr/sbin/lpadmin", "-h", server, "-p", c.model, "-E", "-v", Uri(c.model), "-m", "everywhere"},
                         env, log, 120))
            << ReadText(log);
        ASSERT_EQ(0, RunBounded({"/usr/bin/lp", "-h", server, "-d", c.model, "-o", "media=na_index-4x6_4x6in", "-o", "print-quality=3",
                          "-o", "print-scaling=none", "-o", std::string("document-format=") + c.format, tmp->path + "/" + c.file},
                         env, log, 60))
            << ReadText(log);

        // The job is written when its file stops growing and decodes to a page.
        DecodeResult job;
        std::map<std::string, uintmax_t> sizes;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(300);
        while (job.pages.empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            for (const auto& e : fs::directory_iterator(out)) {
                const uintmax_t before = std::exchange(sizes[e.path()], e.file_size());
                if (e.file_size() == 0 || e.file_size() != before) continue;
                const std::string bytes = ReadText(e.path());
                DecodeOptions o;
                o.trackOrigins = false;
                job = Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), o);
            }
        }
        ASSERT_EQ(job.pages.size(), 1u) << ReadText(log) << ReadText(root + "/log/error_log") << ReadText(tmp->path + "/app.log");
        ASSERT_TRUE(job.Ok()) << job.error->Text();
        const DecodedPage& page = job.pages[0];
        EXPECT_EQ(page.Plane(kCyan), nullptr) << "a red picture prints no cyan";

        // Every ink's dots lie on the square (page units from the paper's top left corner).
        int inked = 0;
        for (const InkPlane& plane : page.planes) {
            if (!plane.TotalDots()) continue;
            ++inked;
            int32_t top = INT32_MAX, bottom = -1, left = INT32_MAX, right = -1;
            for (int32_t r = 0; r < plane.Height(); ++r)
                for (int32_t col = 0; col < plane.Width(); ++col)
                    if (plane.Value(r, col)) {
                        top = std::min(top, r), bottom = std::max(bottom, r);
                        left = std::min(left, col), right = std::max(right, col);
                    }
            // The picture is placed at its size (print-scaling none); the page units start at the
            // printable area, 3 mm in and 1.5 mm down.
            const double tolerance = 0.2;  // in
            EXPECT_NEAR(left / double(page.dpiX), kLeft, tolerance) << "ink " << int(plane.Ink());
            EXPECT_NEAR((right + 1) / double(page.dpiX), kLeft + kSide, tolerance) << "ink " << int(plane.Ink());
            EXPECT_NEAR(top / double(page.dpiY), kTop, tolerance) << "ink " << int(plane.Ink());
            EXPECT_NEAR((bottom + 1) / double(page.dpiY), kTop + kSide, tolerance) << "ink " << int(plane.Ink());
            EXPECT_NE(std::find(c.redInks.begin(), c.redInks.end(), plane.Ink()), c.redInks.end())
                << "ink " << int(plane.Ink()) << " on a red square";
        }
        EXPECT_GT(inked, 0);
    }
    Stop(cupsd);
}
}  // namespace
