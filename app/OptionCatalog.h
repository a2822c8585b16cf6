// The device options of each model as the `options` command shows and checks them: names,
// value ranges and the meaning of each value.
#pragma once
#include <cstdint>
#include <string>

enum class OptionKind {
    kInt,           // a number in [min, max]
    kFlag,          // 0 off, 1 on
    kModel1Media,   // empty or a media name of the model-1 print-mode table
    kModel2Media,   // empty or a media name of the model-2 media table
    kModel2Index,   // 0 "User", then 1 + row of the model-2 media table
};

struct DeviceOption {
    const char* name;               // settings key without the model prefix
    OptionKind kind;
    int32_t min, max;               // for kInt
    const char* const* meanings;    // meaning of min, min + 1, ...; null when the number speaks for itself
    const char* unit;               // appended to the value when there is no meaning; may be null
};

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
