// Loading and changing the settings file for the commands.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/PrintEnv.h"

// Loads the store from `path` (empty: the default location); throws CommandError on bad syntax.
std::string ResolveSettingsPath(const std::string& path);
void LoadSettingsOrThrow(CPrintEnv& env, const std::string& path);
// Applies "KEY=VALUE" assignments to the store; throws CommandError on a malformed one.
void ApplyAssignments(CPrintEnv& env, const std::vector<std::string>& assignments);

// What one command changes in the settings file: keys set to a value or removed (no value).
using SettingsPatch = std::map<std::string, std::optional<std::string>>;
// The keys whose values differ from `before` to `after` (a key only in `before` is removed).
SettingsPatch DiffStores(const CPrintEnv& before, const CPrintEnv& after);
// "KEY=VALUE" assignments as a patch; throws CommandError on a malformed one.
SettingsPatch AssignmentPatch(const std::vector<std::string>& assignments);
// One read-modify-write of the settings file. First every value the patch stores is checked: it
// must read back as written, and a device option must lie in its range. Then, holding the file's
// lock, the file is read again, the patch applied and the file written back, so that changes
// other commands made meanwhile stay. Throws CommandError, the file as it was, on any failure.
void UpdateSettingsOrThrow(const std::string& path, const SettingsPatch& patch);
