// The two printers the command drives: identifier, name, settings-key prefix and default inks.
#pragma once
#include <string>
#include <vector>

struct PrinterModel {
    int id;                        // the identifier stored under PrEnv_UID
    const char* name;              // as the command line names it
    const char* keyPrefix;         // of the model's device options in the settings store
    std::vector<int> defaultInks;  // host colour of each plane when --inks is not given
};

// The model of identifier 1 or 2 (any other identifier gives model 2).
const PrinterModel& ModelById(int id);
// The model named "r2000", "r3000", "1" or "2" (any case), or null.
const PrinterModel* ModelByName(const std::string& name);
