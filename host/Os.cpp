// Operating-system calls behind host/Os.h. The only host file besides the Windows settings
// store that includes a platform header.
#include "host/Os.h"

#include <cerrno>
#include <cstdlib>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <shlobj.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

// Under AddressSanitizer working buffers come from the checked heap, so that a write past their
// end is reported rather than landing in the rest of a mapped page.
#if defined(__SANITIZE_ADDRESS__)
#define RPHOTO_CHECKED_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define RPHOTO_CHECKED_MEMORY 1
#endif
#endif

namespace os {

#ifdef _WIN32

bool LocalTime(int64_t t, std::tm* out) { return _localtime64_s(out, &t) == 0; }
bool UtcTime(int64_t t, std::tm* out) { return _gmtime64_s(out, &t) == 0; }
int64_t Now() { return _time64(nullptr); }

bool SyncFile(std::FILE* f) { return _commit(_fileno(f)) == 0; }

bool RenameReplacing(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void SetBinary(int fd) { _setmode(fd, _O_BINARY); }

bool WriteAll(int fd, const void* data, size_t n)
{
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const unsigned chunk = n > 0x40000000u ? 0x40000000u : static_cast<unsigned>(n);
        const int w = _write(fd, p, chunk);
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

int ProcessId() { return _getpid(); }

namespace {
// A known folder in the runtime's narrow encoding; the environment variable when the shell
// cannot tell (a service account without a profile).
std::string KnownFolder(REFKNOWNFOLDERID id, const char* variable)
{
    std::string path;
    PWSTR wide = nullptr;
    if (SHGetKnownFolderPath(id, 0, nullptr, &wide) == S_OK) {
        const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (n > 1) {
            path.resize(static_cast<size_t>(n));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, path.data(), n, nullptr, nullptr);
            path.resize(static_cast<size_t>(n - 1));
        }
    }
    CoTaskMemFree(wide);
    if (path.empty()) {
        const char* env = std::getenv(variable);
        path = env && *env ? env : ".";
    }
    return path;
}
}  // namespace

std::string UserConfigRoot() { return KnownFolder(FOLDERID_RoamingAppData, "APPDATA"); }
std::string UserDataRoot() { return KnownFolder(FOLDERID_LocalAppData, "LOCALAPPDATA"); }

#else

bool LocalTime(int64_t t, std::tm* out)
{
    const time_t v = static_cast<time_t>(t);
    return localtime_r(&v, out) != nullptr;
}
bool UtcTime(int64_t t, std::tm* out)
{
    const time_t v = static_cast<time_t>(t);
    return gmtime_r(&v, out) != nullptr;
}
int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

bool SyncFile(std::FILE* f) { return ::fsync(::fileno(f)) == 0; }

bool RenameReplacing(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

void SetBinary(int) {}

bool WriteAll(int fd, const void* data, size_t n)
{
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

int ProcessId() { return static_cast<int>(::getpid()); }

namespace {
// $XDG_<kind>_HOME, else ~/<fallback>.
std::string XdgFolder(const char* variable, const char* fallback)
{
    const char* xdg = std::getenv(variable);
    if (xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/" + fallback;
}
}  // namespace

std::string UserConfigRoot() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }
std::string UserDataRoot() { return XdgFolder("XDG_DATA_HOME", ".local/share"); }

#endif

#if defined(_WIN32) || defined(RPHOTO_CHECKED_MEMORY)
void* AllocZeroed(size_t n) { return std::calloc(n ? n : 1, 1); }
void FreeZeroed(void* p, size_t) { std::free(p); }
#else
void* AllocZeroed(size_t n)
{
    void* p = ::mmap(nullptr, n ? n : 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    ::madvise(p, n, MADV_HUGEPAGE);  // advice only: small pages serve as well
#endif
    return p;
}

void FreeZeroed(void* p, size_t n)
{
    if (p) ::munmap(p, n ? n : 1);
}
#endif

}  // namespace os
