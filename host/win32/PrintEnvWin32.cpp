// The settings file on Windows: a profile (INI) file of one [rphoto] section, read and written
// with the platform's own profile functions. Saving writes a temporary file beside the target,
// flushes it and moves it over the old one, so an interrupted save leaves the old file whole.
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/Os.h"
#include "host/PrintEnv.h"

namespace {
constexpr char kSection[] = "rphoto";
CPrintEnv::BeforeRenameHook g_beforeRename = nullptr;

// A relative name would be looked up in the Windows folder by the profile functions.
std::string FullPath(const std::string& path)
{
    char buf[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

std::string Trim(const std::string& s)
{
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}
}  // namespace

bool CPrintEnv::LoadFile(const std::string& path, std::string* error)
{
    const std::string full = FullPath(path);
    if (GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD why = GetLastError();
        if (why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND) {
            m_values.clear();
            return true;
        }
        if (error) *error = path + ": cannot open (Windows error " + std::to_string(why) + ")";
        return false;
    }
    // The section as "key=value\0...\0\0"; a full buffer comes back as its size less 2.
    std::vector<char> buf(1 << 16);
    DWORD n = 0;
    while ((n = GetPrivateProfileSectionA(kSection, buf.data(), static_cast<DWORD>(buf.size()), full.c_str())) ==
           buf.size() - 2)
        buf.resize(buf.size() * 2);
    std::map<std::string, std::string> values;
    for (const char* p = buf.data(); *p; p += std::strlen(p) + 1) {
        const std::string entry = p;
        const size_t eq = entry.find('=');
        const std::string key = Trim(entry.substr(0, eq));
        if (key.empty()) {
            if (error) *error = path + ": [" + kSection + "]: empty key";
            return false;
        }
        values[key] = eq == std::string::npos ? "" : Trim(entry.substr(eq + 1));
    }
    m_values = std::move(values);
    return true;
}

bool CPrintEnv::SaveFile(const std::string& path, std::string* error) const
{
    std::string block;  // "key=value\0...\0"
    for (const auto& [k, v] : m_values) {
        if (k.empty() || k.find_first_of("=\n\r[;#") != std::string::npos || v.find_first_of("\n\r") != std::string::npos) {
            if (error) *error = path + ": key '" + k + "' or its value cannot be written to an INI file";
            return false;
        }
        block += k + "=" + v;
        block += '\0';
    }
    block += '\0';
    const std::string full = FullPath(path);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path(), ec);  // failure: the write fails
    const std::string temp = full + ".tmp." + std::to_string(os::ProcessId());
    auto fail = [&](const char* what) {
        if (error) *error = path + ": " + what + " (Windows error " + std::to_string(GetLastError()) + ")";
        DeleteFileA(temp.c_str());
        return false;
    };
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f || std::fputs("; rphoto settings\r\n", f) < 0 || std::fclose(f) != 0) return fail("cannot write");
    if (!WritePrivateProfileSectionA(kSection, block.c_str(), temp.c_str())) return fail("cannot write");
    // The profile functions cache files: the null write flushes the cache (and reports failure).
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp.c_str());
    f = std::fopen(temp.c_str(), "rb+");
    const bool synced = f && os::SyncFile(f);
    if (f) std::fclose(f);
    if (!synced) return fail("cannot write");
    if (g_beforeRename && !g_beforeRename(temp)) {
        if (error) *error = path + ": save interrupted";
        return false;  // the temporary file is left as a crash would leave it
    }
    if (!os::RenameReplacing(temp, full)) return fail("cannot replace");
    return true;
}

void CPrintEnv::SetBeforeRenameHook(BeforeRenameHook hook) { g_beforeRename = hook; }
