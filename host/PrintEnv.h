// The host's settings store: named keys with int or text values, kept in an INI file.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "host/CString.h"

// A predefined entry of the store: its key and the defaults its typed reads give.
struct _SECTIONENTRY {
    const char* pszKey;
    int nDefault;
    const char* pszDefault;
};

extern const _SECTIONENTRY PrEnv_UID;                  // low byte: model identifier
extern const _SECTIONENTRY PrEnv_PrintMethod;          // e.g. "1440x720"
extern const _SECTIONENTRY PrEnv_DefaultMediaSizeName; // e.g. "ISO A3Plus"
extern const _SECTIONENTRY PrEnv_BitsPerPixel;
extern const _SECTIONENTRY PrEnv_InkLevels;

class CPrintEnv {
public:
    CPrintEnv() = default;
    virtual ~CPrintEnv() = default;

    int GetInt(const _SECTIONENTRY& e) const { return GetInt(e.pszKey, e.nDefault); }
    int GetInt(const char* key, int defaultValue) const;
    CString GetString(const _SECTIONENTRY& e) const { return GetString(e.pszKey, e.pszDefault); }
    CString GetString(const char* key, const char* defaultValue) const;

    void PutInt(const char* key, int value);
    void PutInt(const _SECTIONENTRY& e, int value) { PutInt(e.pszKey, value); }
    void PutString(const char* key, const char* value);

    bool Has(const char* key) const { return m_values.count(key) != 0; }
    bool Remove(const char* key) { return m_values.erase(key) != 0; }
    void Clear() { m_values.clear(); }
    const std::map<std::string, std::string>& Values() const { return m_values; }
    // Keys written since construction or the last ResetWriteLog, in write order (repeats kept).
    const std::vector<std::string>& WriteLog() const { return m_writeLog; }
    void ResetWriteLog() { m_writeLog.clear(); }

    // Reads an INI file ("key = value" lines, '#' or ';' comments, no sections) into the
    // store, replacing what it held. A missing file leaves the store empty and succeeds.
    // On bad syntax returns false with "FILE:LINE: what" in *error and leaves the store as
    // it was.
    bool LoadFile(const std::string& path, std::string* error);
    // Writes the store to `path` (see host/FileReplace.h: a regular file through a temporary file
    // and a rename, so the old file stays whole if anything fails). Refuses, before writing, a key
    // or value that would not read back identically. Returns false with a message on failure.
    bool SaveFile(const std::string& path, std::string* error) const;

    // Test hook: called after the temporary file is written and before the rename;
    // returning false abandons the save as a crash there would.
    using BeforeRenameHook = bool (*)(const std::string& tempPath);
    static void SetBeforeRenameHook(BeforeRenameHook hook);

private:
    std::map<std::string, std::string> m_values;
    std::vector<std::string> m_writeLog;
};

// Why `key = value` would not read back from the file as this key and value; empty when it would.
std::string SettingNotStorable(const std::string& key, const std::string& value);

// The store serves reading and writing alike.
using CDeviceEnv = CPrintEnv;

// Default location of the settings file: $XDG_CONFIG_HOME/rphoto/settings.ini, else
// ~/.config/rphoto/settings.ini; on Windows rphoto\settings.ini in the roaming application data
// folder (there the file is a profile file of one [rphoto] section).
std::string DefaultSettingsPath();
