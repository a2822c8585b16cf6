// Loading and saving the settings file for the commands.
#pragma once
#include <string>
#include <vector>

#include "host/PrintEnv.h"

// Loads the store from `path` (empty: the default location); throws CommandError on bad syntax.
std::string ResolveSettingsPath(const std::string& path);
void LoadSettingsOrThrow(CPrintEnv& env, const std::string& path);
void SaveSettingsOrThrow(const CPrintEnv& env, const std::string& path);
// Applies "KEY=VALUE" assignments to the store; throws CommandError on a malformed one.
void ApplyAssignments(CPrintEnv& env, const std::vector<std::string>& assignments);
