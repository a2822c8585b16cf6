#include "host/Platform.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <filesystem>

#include "host/Os.h"

namespace {
TickSource g_tickSource = nullptr;
uint32_t g_randState = 1;
}

uint32_t GetTickCount()
{
    if (g_tickSource) return g_tickSource();
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void SetTickCountSource(TickSource source) { g_tickSource = source; }

void msvc_srand(uint32_t seed) { g_randState = seed; }

int msvc_rand()
{
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7FFFu);
}

int Atoi(const char* s)
{
    if (!s) return 0;
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = (*s++ == '-');
    long long value = 0;
    bool overflow = false;
    while (*s >= '0' && *s <= '9') {
        value = value * 10 + (*s++ - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) { overflow = true; break; }
    }
    if (negative) value = -value;
    if (overflow || value > INT_MAX) return negative ? INT_MIN : INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string UserDataFolder() { return (std::filesystem::path(os::UserDataRoot()) / "rphoto").string(); }

CString BuildUserDataPathName(const char* relative)
{
    std::string rel = relative ? relative : "";
    for (char& c : rel)
        if (c == '\\') c = '/';
    const std::string folder = UserDataFolder();
    const std::filesystem::path full = (std::filesystem::path(folder) / rel).make_preferred();
    // The data folder and the one folder the name sits in (such as "Nvlogging"); nothing that
    // the name's other parts would reach. A failure shows when the file is opened.
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path parent = full.parent_path();
    if (parent.parent_path() == std::filesystem::path(folder).make_preferred()) std::filesystem::create_directory(parent, ec);
    return CString(full.string());
}

std::string CtimeText(int64_t t)
{
    // The C runtime's asctime layout, written out so that no runtime's 32-bit time_t limits it.
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm tmv{};
    if (!os::LocalTime(t, &tmv)) return "??? ??? ?? ??:??:?? ????\n";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[tmv.tm_wday % 7], kMonths[tmv.tm_mon % 12],
                  tmv.tm_mday, tmv.tm_hour, tmv.tm_min, tmv.tm_sec, 1900 + tmv.tm_year);
    return buf;
}

PrinterClock PrinterClockNow()
{
    std::tm tmv{};
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch && *epoch)
        os::UtcTime(static_cast<int64_t>(std::strtoll(epoch, nullptr, 10)), &tmv);
    else
        os::LocalTime(os::Now(), &tmv);
    return {tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_hour, tmv.tm_min, tmv.tm_sec};
}
