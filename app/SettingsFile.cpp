#include "app/SettingsFile.h"

#include "app/Commands.h"

std::string ResolveSettingsPath(const std::string& path) { return path.empty() ? DefaultSettingsPath() : path; }

void LoadSettingsOrThrow(CPrintEnv& env, const std::string& path)
{
    std::string error;
    if (!env.LoadFile(ResolveSettingsPath(path), &error)) throw CommandError{error};
}

void SaveSettingsOrThrow(const CPrintEnv& env, const std::string& path)
{
    std::string error;
    if (!env.SaveFile(ResolveSettingsPath(path), &error)) throw CommandError{error};
}

void ApplyAssignments(CPrintEnv& env, const std::vector<std::string>& assignments)
{
    for (const std::string& a : assignments) {
        const size_t eq = a.find('=');
        if (eq == std::string::npos || eq == 0)
            throw CommandError{"'" + a + "': expected KEY=VALUE"};
        env.PutString(a.substr(0, eq).c_str(), a.substr(eq + 1).c_str());
    }
}
