#include "app/OptionChecks.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "app/OptionCatalog.h"
#include "devparms/Model1PrintModes.h"
#include "devparms/Model2MediaTable.h"

namespace {
const char* MediaName(int modelId, int row)
{
    return modelId == 1 ? kModel1PrintModes[row].media : kModel2Media[row].name;
}
}  // namespace

std::string DeviceSettingProblem(const std::string& key, const std::string& value)
{
    for (int modelId : {1, 2}) {
        const ModelOptions& m = OptionsOfModel(modelId);
        if (key.compare(0, std::strlen(m.prefix), m.prefix) != 0) continue;
        const DeviceOption* option = FindOption(m, key);
        if (!option) return std::string("not a device option of the ") + m.model;
        return CheckValue(*option, value);
    }
    return std::string();
}

int WarnOutOfRangeOptions(const CPrintEnv& store, int modelId)
{
    const ModelOptions& m = OptionsOfModel(modelId);
    int count = 0;
    for (const auto& [key, value] : store.Values()) {
        if (key.compare(0, std::strlen(m.prefix), m.prefix) != 0) continue;
        const DeviceOption* option = FindOption(m, key);
        const std::string why = option ? CheckValue(*option, value) : std::string();
        if (why.empty()) continue;
        std::fprintf(stderr, "rphoto: warning: %s = %s: %s; the printer gets it as it is\n", key.c_str(),
                     value.c_str(), why.c_str());
        ++count;
    }
    return count;
}

std::string CanonicalOptionValue(int modelId, const std::string& name, const std::string& value)
{
    const DeviceOption* option = FindOption(OptionsOfModel(modelId), name);
    const OptionKind media = modelId == 1 ? OptionKind::kModel1Media : OptionKind::kModel2Media;
    if (!option || option->kind != media) return value;
    const int rows = modelId == 1 ? kModel1PrintModeCount : kModel2MediaCount;
    for (int row = 0; row < rows; ++row)
        if (::strcasecmp(value.c_str(), MediaName(modelId, row)) == 0) return MediaName(modelId, row);
    return value;
}
