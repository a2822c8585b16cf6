#include "app/JobOptions.h"

#include <cstdlib>

#include "app/Commands.h"
#include "app/OptionChecks.h"
#include "app/SettingsFile.h"

namespace {
constexpr long kMaxDpi = 65535;
constexpr double kMaxMarginMm = 10000;

bool ParseDpi(const std::string& text, double* out)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v <= 0 || v > kMaxDpi) return false;
    *out = static_cast<double>(v);
    return true;
}
}  // namespace

void ParseMethod(const std::string& method, double* h, double* v)
{
    const size_t x = method.find('x');
    if (x == std::string::npos || !ParseDpi(method.substr(0, x), h) || !ParseDpi(method.substr(x + 1), v))
        throw CommandError{"--method '" + method + "': expected HxV in dpi, e.g. 1440x720"};
}

CDRc ParseMargins(const std::string& text)
{
    double values[4];
    const char* p = text.c_str();
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        values[i] = std::strtod(p, &end);
        const char expected = i < 3 ? ',' : '\0';
        if (end == p || *end != expected || !(values[i] >= 0) || values[i] > kMaxMarginMm)
            throw CommandError{"--margins '" + text + "': expected four millimetre values L,T,R,B"};
        p = end + 1;
    }
    return CDRc{values[0], values[1], values[2], values[3]};
}

void LoadJobStore(CPrintEnv& store, const std::string& settingsFile, const std::vector<std::string>& sets,
                  int modelId, const std::string& method, const char* mediaSizeName)
{
    LoadSettingsOrThrow(store, settingsFile);
    ApplyAssignments(store, sets);
    store.PutInt(PrEnv_UID, modelId);
    store.PutString(PrEnv_PrintMethod.pszKey, method.c_str());
    store.PutString(PrEnv_DefaultMediaSizeName.pszKey, mediaSizeName);
    WarnOutOfRangeOptions(store, modelId);
}
