// Each model's persisted device options as one table: the settings key, the kind of value, its
// Load default, the range the device-options page and `rphoto options` accept, what each value
// means, and where the value lives in the parameter object and on the page. The table's order is
// the order in which Load reads and Save writes the options; the 180 broken-nozzle flags follow
// the table.
#pragma once
#include <cstdint>

#include "host/CString.h"

class CEpsonRPhotoDevParmsBase;
class CPrintEnvPropertyPage;

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
    int32_t defaultValue;           // what Load takes for an absent key (a media name loads empty)

    // Where the value lives: a number or, for a media name, a text; in the parameter object and
    // on its page (no page field: the page does not carry the option).
    int32_t* (*field)(CEpsonRPhotoDevParmsBase&);
    int32_t* (*pageField)(CPrintEnvPropertyPage&);
    CString* (*text)(CEpsonRPhotoDevParmsBase&);
    CString* (*pageText)(CPrintEnvPropertyPage&);
};

struct DeviceOptionTable {
    const DeviceOption* options;
    int count;
    // The option of that key (without the model prefix), or null.
    const DeviceOption* Find(const char* name) const;
};

extern const DeviceOptionTable kModel1Options;
extern const DeviceOptionTable kModel2Options;
