#include "host/PrintEnv.h"

// The settings file on POSIX systems (inih); Windows has its own in host/win32/PrintEnvWin32.cpp.
#ifndef _WIN32
#include <ini.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "host/Os.h"
#include "host/Platform.h"

const _SECTIONENTRY PrEnv_UID = {"UID", 0, ""};
const _SECTIONENTRY PrEnv_PrintMethod = {"PrintMethod", 0, ""};
const _SECTIONENTRY PrEnv_DefaultMediaSizeName = {"DefaultMediaSizeName", 0, ""};
const _SECTIONENTRY PrEnv_BitsPerPixel = {"BitsPerPixel", 1, ""};
const _SECTIONENTRY PrEnv_InkLevels = {"InkLevels", 2, ""};

#ifndef _WIN32
namespace {
CPrintEnv::BeforeRenameHook g_beforeRename = nullptr;

struct ParseState {
    std::map<std::string, std::string> values;
    std::string problem;
};

int OnEntry(void* user, const char* section, const char* name, const char* value)
{
    auto* st = static_cast<ParseState*>(user);
    if (section && *section) {
        st->problem = std::string("sections are not used (found [") + section + "])";
        return 0;
    }
    if (!name || !*name) {
        st->problem = "empty key";
        return 0;
    }
    st->values[name] = value ? value : "";
    return 1;
}
}  // namespace
#endif  // !_WIN32

int CPrintEnv::GetInt(const char* key, int defaultValue) const
{
    const auto it = m_values.find(key ? key : "");
    return it == m_values.end() ? defaultValue : Atoi(it->second.c_str());
}

CString CPrintEnv::GetString(const char* key, const char* defaultValue) const
{
    const auto it = m_values.find(key ? key : "");
    return it == m_values.end() ? CString(defaultValue) : CString(it->second);
}

void CPrintEnv::PutInt(const char* key, int value)
{
    m_values[key] = std::to_string(value);
    m_writeLog.emplace_back(key);
}

void CPrintEnv::PutString(const char* key, const char* value)
{
    m_values[key] = value ? value : "";
    m_writeLog.emplace_back(key);
}

#ifndef _WIN32
bool CPrintEnv::LoadFile(const std::string& path, std::string* error)
{
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f) {
        if (errno == ENOENT) {
            m_values.clear();
            return true;
        }
        if (error) *error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    ParseState st;
    const int rc = ini_parse_file(f, OnEntry, &st);
    std::fclose(f);
    if (rc != 0) {
        if (error) {
            if (rc < 0)
                *error = path + ": cannot read the file";
            else
                *error = path + ":" + std::to_string(rc) + ": " +
                         (st.problem.empty() ? std::string("expected 'key = value'") : st.problem);
        }
        return false;
    }
    m_values = std::move(st.values);
    return true;
}

bool CPrintEnv::SaveFile(const std::string& path, std::string* error) const
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    for (const auto& [k, v] : m_values) {
        if (k.find_first_of("=:\n\r[;#") != std::string::npos || v.find_first_of("\n\r") != std::string::npos) {
            if (error) *error = path + ": key '" + k + "' or its value cannot be written to an INI file";
            return false;
        }
    }
    const std::string temp = path + ".tmp." + std::to_string(::getpid());
    FILE* f = std::fopen(temp.c_str(), "w");
    if (!f) {
        if (error) *error = path + ": cannot write: " + std::strerror(errno);
        return false;
    }
    bool ok = std::fputs("# rphoto settings\n", f) >= 0;
    for (const auto& [k, v] : m_values) ok = ok && std::fprintf(f, "%s = %s\n", k.c_str(), v.c_str()) >= 0;
    ok = ok && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
    ok = (std::fclose(f) == 0) && ok;
    if (ok && g_beforeRename && !g_beforeRename(temp)) {
        if (error) *error = path + ": save interrupted";
        return false;  // the temporary file is left as a crash would leave it
    }
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        if (error) *error = path + ": cannot write: " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

void CPrintEnv::SetBeforeRenameHook(BeforeRenameHook hook) { g_beforeRename = hook; }
#endif  // !_WIN32

std::string DefaultSettingsPath()
{
    return (std::filesystem::path(os::UserConfigRoot()) / "rphoto" / "settings.ini").string();
}
