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
#include <mutex>

#include "host/FileReplace.h"
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

// One "key = value" line, in characters without its line end: the longest the reader takes and
// so the longest the writer writes.
constexpr size_t kMaxLine = 65536;
constexpr size_t kMaxFileBytes = size_t{16} << 20;
constexpr size_t kShownChars = 60;

// inih as this store needs it: lines as long as kMaxLine (a growing heap buffer), no
// continuation lines, the first error ends parsing (so its line and its message agree).
void ConfigureReader()
{
    static std::once_flag once;
    std::call_once(once, [] {
        ini_use_stack = false;
        ini_allow_realloc = true;
        ini_max_line = static_cast<int>(kMaxLine) + 3;  // room for CR, LF and NUL
        ini_allow_multiline = false;
        ini_stop_on_first_error = true;
    });
}

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

// Parses the text of a settings file; false with the line (from 1) and what is wrong there.
bool ParseText(const std::string& text, ParseState* st, int* line)
{
    int n = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] == '\0') {
            *line = n;
            st->problem = "NUL byte";
            return false;
        }
        if (i < text.size() && text[i] != '\n') continue;
        if (i - lineStart > kMaxLine) {
            *line = n;
            st->problem = "line longer than " + std::to_string(kMaxLine) + " characters";
            return false;
        }
        ++n;
        lineStart = i + 1;
    }
    ConfigureReader();
    *line = ini_parse_string(text.c_str(), OnEntry, st);
    if (*line < 0) st->problem = "out of memory";
    else if (*line > 0 && st->problem.empty()) st->problem = "expected 'key = value'";
    return *line == 0;
}

std::string Shown(const std::string& s)
{
    return "'" + (s.size() <= kShownChars ? s : s.substr(0, kShownChars) + "...") + "'";
}

std::string FormatLine(const std::string& key, const std::string& value) { return key + " = " + value + "\n"; }
}  // namespace

std::string SettingNotStorable(const std::string& key, const std::string& value)
{
    ParseState back;
    int line = 0;
    if (!ParseText(FormatLine(key, value), &back, &line))
        return Shown(key) + " = " + Shown(value) + " would not read back (" + back.problem + ")";
    if (back.values.empty()) return "key " + Shown(key) + " would read back as a comment or a blank line";
    const auto& [k, v] = *back.values.begin();
    if (back.values.size() != 1 || k != key)
        return "key " + Shown(key) + " would read back as " + Shown(k) + " (keys cannot hold '=', ':', line ends, "
               "leading or trailing blanks, or begin with '#', ';' or '[')";
    if (v != value)
        return "the value of " + key + " would read back as " + Shown(v) + " instead of " + Shown(value) +
               " (a ';' after a blank starts a comment; leading and trailing blanks are dropped)";
    return std::string();
}
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
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errno == ENOENT) {
            m_values.clear();
            return true;
        }
        if (error) *error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    std::string text;
    char buf[65536];
    size_t n = 0;
    while (text.size() <= kMaxFileBytes && (n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError || text.size() > kMaxFileBytes) {
        if (error)
            *error = path + (readError ? ": cannot read the file"
                                       : ": larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB, not a settings file");
        return false;
    }
    ParseState st;
    int line = 0;
    if (!ParseText(text, &st, &line)) {
        if (error) *error = path + ":" + std::to_string(line) + ": " + st.problem;
        return false;
    }
    m_values = std::move(st.values);
    return true;
}

bool CPrintEnv::SaveFile(const std::string& path, std::string* error) const
{
    std::string text = "# rphoto settings\n";
    for (const auto& [k, v] : m_values) {
        const std::string why = SettingNotStorable(k, v);
        if (!why.empty()) {
            if (error) *error = path + ": " + why;
            return false;
        }
        text += FormatLine(k, v);
    }
    return ReplaceFileContent(path, text, g_beforeRename, error);
}

void CPrintEnv::SetBeforeRenameHook(BeforeRenameHook hook) { g_beforeRename = hook; }
#endif  // !_WIN32

std::string DefaultSettingsPath()
{
    return (std::filesystem::path(os::UserConfigRoot()) / "rphoto" / "settings.ini").string();
}
