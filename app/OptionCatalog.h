// The device options of each model as the `options` command shows and checks them: names,
// value ranges and the meaning of each value, from the models' option tables.
#pragma once
#include <cstdint>
#include <string>

#include "devparms/DeviceOptions.h"

struct ModelOptions {
    const char* model;              // "r2000" or "r3000"
    const char* prefix;             // "DP1_" or "DP2_"
    const DeviceOption* options;    // the named options, in the order the model saves them
    int count;
    bool inkLevelsFromMethod;       // shows the ink levels the print method gives (not an option)
};

// 1 or 2.
const ModelOptions& OptionsOfModel(int modelId);

// The broken-nozzle flags are the keys "bBrokenNozzle_0" to "bBrokenNozzle_179".
constexpr int kBrokenNozzleCount = 180;
// The nozzle number of "bBrokenNozzle_N" (decimal, no leading zeros), or -1.
int BrokenNozzleIndex(const std::string& name);

// The option of that name (with or without the model prefix), or null. A broken-nozzle key
// gives the shared flag description.
const DeviceOption* FindOption(const ModelOptions& m, const std::string& name);
// Empty when `value` is allowed for the option, else why not (one line, no name).
std::string CheckValue(const DeviceOption& option, const std::string& value);
// "1 (Roll)", "0 (off)", "250 ms", "Plain Paper": the value and what it means.
std::string Describe(const DeviceOption& option, const std::string& value);
