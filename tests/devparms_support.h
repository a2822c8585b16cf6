// Shared pieces of the device-parameter tests: a job around a parameter object, hand-written
// byte sequences, and a small independent reader of start streams.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "devparms/CEpsonRPhotoDevParmsBase.h"
#include "host/HostTypes.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"
#include "host/PrinterDriver.h"

namespace devparms_test {

// Bytes from hex pairs separated by spaces ("1B 28 47"); written out by hand in the tests.
inline std::string Hex(const char* text)
{
    std::string out;
    for (const char* p = text; *p;) {
        if (*p == ' ') { ++p; continue; }
        out += static_cast<char>(std::strtol(std::string(p, 2).c_str(), nullptr, 16));
        p += 2;
    }
    return out;
}

// One job: settings store, media attachment, driver base and the bytes it outputs.
struct Job {
    CPrintEnv env;
    CJobPrintAttach attach;
    MemorySink sink;
    CPrinterDriverBase* driver = nullptr;

    // Media 210 x 297 mm with 3 mm driver margins unless changed with SetMedia.
    Job() : attach(210, 297, CDRc{3, 3, 3, 3}, 0) {}
    ~Job()
    {
        // The parameter objects of these tests live on the stack, whoever owns them otherwise.
        if (driver) driver->m_pDevParms = nullptr;
        delete driver;
    }

    // Builds the driver around `parms` (which the base then loads from `env`).
    void Start(CUnivDevParmsBase* parms, double resX, double resY, const char* method,
               const char* sizeName = "ISO A4", int pixelWidth = 0, const char* jobName = "Job1")
    {
        env.PutString(PrEnv_PrintMethod.pszKey, method);
        env.PutString(PrEnv_DefaultMediaSizeName.pszKey, sizeName);
        if (driver) driver->m_pDevParms = nullptr;
        delete driver;
        driver = new CPrinterDriverBase(&env, parms);
        Resolution(resX, resY, pixelWidth, jobName);
        driver->SetJobPrintAttach(&attach);
        driver->SetOutputSink(&sink);
    }
    void Resolution(double resX, double resY, int pixelWidth = 0, const char* jobName = "Job1")
    {
        JobSetup setup;
        setup.dResX = resX;
        setup.dResY = resY;
        setup.nJobPixelWidth = pixelWidth;
        setup.jobName = jobName;
        driver->SetupJob(setup, {});
    }
    void SetMedia(double w, double l, CDRc margins, uint32_t flags = 0)
    {
        attach = CJobPrintAttach(w, l, margins, flags);
    }
};

// One command of a start or end stream: its name ("MI", "ESC(m", "ESC@", "ESCU", "EXIT") and
// its parameter bytes.
struct Command {
    std::string name;
    std::string params;
};

// Reads a stream command by command, independently of the builder. Returns false at bytes
// it does not know.
inline bool ReadStream(const std::string& s, std::vector<Command>* out)
{
    auto u16 = [&](size_t at) { return static_cast<size_t>(static_cast<unsigned char>(s[at])) |
                                       static_cast<size_t>(static_cast<unsigned char>(s[at + 1])) << 8; };
    size_t pos = 0;
    bool remote = false;
    if (s.compare(0, 5, std::string("\0\0\0\x1B\x01", 5)) == 0) {
        out->push_back({"EXIT", s.substr(5, 22)});
        pos = 27;
    }
    while (pos < s.size()) {
        if (remote) {
            if (s[pos] == 0x1B) {
                if (pos + 4 > s.size() || s.compare(pos, 4, std::string("\x1B\0\0\0", 4)) != 0) return false;
                out->push_back({"ESC00", ""});
                pos += 4;
                remote = false;
                continue;
            }
            if (pos + 4 > s.size()) return false;
            const size_t n = u16(pos + 2);
            if (pos + 4 + n > s.size()) return false;
            out->push_back({s.substr(pos, 2), s.substr(pos + 4, n)});
            pos += 4 + n;
            continue;
        }
        if (s[pos] == 0x0C) { out->push_back({"FF", ""}); ++pos; continue; }
        if (s[pos] != 0x1B || pos + 1 >= s.size()) return false;
        const char c = s[pos + 1];
        if (c == '@') { out->push_back({"ESC@", ""}); pos += 2; continue; }
        if (c == 'U' || c == 0x19) {
            if (pos + 3 > s.size()) return false;
            out->push_back({c == 'U' ? "ESCU" : "ESCEM", s.substr(pos + 2, 1)});
            pos += 3;
            continue;
        }
        if (c != '(' || pos + 5 > s.size()) return false;
        const size_t n = u16(pos + 3);
        if (pos + 5 + n > s.size()) return false;
        out->push_back({std::string("ESC(") + s[pos + 2], s.substr(pos + 5, n)});
        if (s[pos + 2] == 'R') remote = true;
        pos += 5 + n;
    }
    return !remote;
}

// Parameters of the first command of that name, or "<none>".
inline std::string Params(const std::vector<Command>& cmds, const std::string& name, int nth = 0)
{
    for (const Command& c : cmds)
        if (c.name == name && nth-- == 0) return c.params;
    return "<none>";
}

// Everything the object's Save writes, as key -> value.
inline std::map<std::string, std::string> Saved(CEpsonRPhotoDevParmsBase& parms)
{
    CPrintEnv env;
    CPrintEnv* own = parms.pPrintEnv;
    parms.pPrintEnv = &env;
    parms.Save(&env);
    parms.pPrintEnv = own;
    return env.Values();
}

inline std::vector<std::string> Names(const std::vector<Command>& cmds)
{
    std::vector<std::string> names;
    for (const Command& c : cmds) names.push_back(c.name);
    return names;
}

}  // namespace devparms_test
