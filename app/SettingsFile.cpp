#include "app/SettingsFile.h"

#include "app/Commands.h"
#include "app/OptionChecks.h"
#include "host/FileLock.h"

namespace {
std::pair<std::string, std::string> SplitAssignment(const std::string& a)
{
    const size_t eq = a.find('=');
    if (eq == std::string::npos || eq == 0) throw CommandError{"'" + a + "': expected KEY=VALUE"};
    return {a.substr(0, eq), a.substr(eq + 1)};
}
}  // namespace

std::string ResolveSettingsPath(const std::string& path) { return path.empty() ? DefaultSettingsPath() : path; }

void LoadSettingsOrThrow(CPrintEnv& env, const std::string& path)
{
    std::string error;
    if (!env.LoadFile(ResolveSettingsPath(path), &error)) throw CommandError{error};
}

void ApplyAssignments(CPrintEnv& env, const std::vector<std::string>& assignments)
{
    for (const std::string& a : assignments) {
        const auto [key, value] = SplitAssignment(a);
        env.PutString(key.c_str(), value.c_str());
    }
}

SettingsPatch DiffStores(const CPrintEnv& before, const CPrintEnv& after)
{
    SettingsPatch patch;
    for (const auto& [k, v] : after.Values())
        if (!before.Has(k.c_str()) || before.GetString(k.c_str(), "").str() != v) patch[k] = v;
    for (const auto& [k, v] : before.Values())
        if (!after.Has(k.c_str())) patch[k] = std::nullopt;
    return patch;
}

SettingsPatch AssignmentPatch(const std::vector<std::string>& assignments)
{
    SettingsPatch patch;
    for (const std::string& a : assignments) {
        const auto [key, value] = SplitAssignment(a);
        patch[key] = value;
    }
    return patch;
}

void UpdateSettingsOrThrow(const std::string& path, const SettingsPatch& patch)
{
    const std::string file = ResolveSettingsPath(path);
    for (const auto& [key, value] : patch) {
        if (!value) continue;
        const std::string unreadable = SettingNotStorable(key, *value);
        if (!unreadable.empty()) throw CommandError{unreadable + "; nothing stored"};
        const std::string outOfRange = DeviceSettingProblem(key, *value);
        if (!outOfRange.empty()) throw CommandError{key + ": " + outOfRange + "; nothing stored"};
    }
    if (patch.empty()) return;
    FileLock lock;
    std::string error;
    if (!lock.Lock(file, &error)) throw CommandError{error};
    CPrintEnv env;
    LoadSettingsOrThrow(env, file);
    for (const auto& [key, value] : patch) {
        if (value) env.PutString(key.c_str(), value->c_str());
        else env.Remove(key.c_str());
    }
    if (!env.SaveFile(file, &error)) throw CommandError{error};
}
