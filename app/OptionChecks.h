// Checks of device-option values on their way into the settings store, against each option's
// range in the option catalogue, for every command that stores or sends them.
#pragma once
#include <string>

#include "host/PrintEnv.h"

// Why `value` may not be stored under `key`: a key with a model prefix ("DP1_", "DP2_") must name
// a device option of that model and the value must lie in its range. Empty when it may.
std::string DeviceSettingProblem(const std::string& key, const std::string& value);

// Warns on stderr ("rphoto: warning: ...") of each device option of the model whose value in
// `store` is outside its range; the driver loads such values as they are. Gives the count.
int WarnOutOfRangeOptions(const CPrintEnv& store, int modelId);

// A media name as the model's media table spells it, matched without regard to case; other
// values come back as they are.
std::string CanonicalOptionValue(int modelId, const std::string& name, const std::string& value);
