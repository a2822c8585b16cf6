// The device-option catalogue of both models.
#include "app/OptionCatalog.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/Models.h"
#include "devparms/Model1PrintModes.h"
#include "devparms/Model2MediaTable.h"

namespace {
const DeviceOption kBrokenNozzle = {"bBrokenNozzle_%d", OptionKind::kFlag, 0, 1, nullptr, nullptr, 0,
                                    nullptr, nullptr, nullptr, nullptr};


// The whole text as a 32-bit integer (optional sign, decimal digits, nothing else).
bool ParseInt(const std::string& text, int32_t* out)
{
    if (text.empty()) return false;
    const char* s = text.c_str();
    if (*s == '-' || *s == '+') ++s;
    if (!*s) return false;
    for (const char* p = s; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

bool IsModel1Media(const std::string& name)
{
    for (int i = 0; i < kModel1PrintModeCount; ++i)
        if (name == kModel1PrintModes[i].media) return true;
    return false;
}

int Model2Row(const std::string& name)
{
    for (int i = 0; i < kModel2MediaCount; ++i)
        if (name == kModel2Media[i].name) return i;
    return -1;
}

void Bounds(const DeviceOption& o, int32_t* lo, int32_t* hi)
{
    *lo = o.min;
    *hi = o.max;
    if (o.kind == OptionKind::kFlag) *lo = 0, *hi = 1;
    if (o.kind == OptionKind::kModel2Index) *lo = 0, *hi = kModel2MediaCount;
}
}  // namespace

const ModelOptions& OptionsOfModel(int modelId)
{
    static const ModelOptions models[] = {
        {ModelById(1).name, ModelById(1).keyPrefix, kModel1Options.options, kModel1Options.count, false},
        {ModelById(2).name, ModelById(2).keyPrefix, kModel2Options.options, kModel2Options.count, true},
    };
    return models[modelId == 2 ? 1 : 0];
}

int BrokenNozzleIndex(const std::string& name)
{
    static const std::string stem = "bBrokenNozzle_";
    if (name.compare(0, stem.size(), stem) != 0) return -1;
    const std::string digits = name.substr(stem.size());
    if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) return -1;
    int32_t n = 0;
    if (digits[0] == '+' || digits[0] == '-' || !ParseInt(digits, &n) || n >= kBrokenNozzleCount) return -1;
    return n;
}

const DeviceOption* FindOption(const ModelOptions& m, const std::string& name)
{
    std::string bare = name;
    if (bare.compare(0, std::strlen(m.prefix), m.prefix) == 0) bare = bare.substr(std::strlen(m.prefix));
    for (int i = 0; i < m.count; ++i)
        if (bare == m.options[i].name) return &m.options[i];
    return BrokenNozzleIndex(bare) >= 0 ? &kBrokenNozzle : nullptr;
}

std::string CheckValue(const DeviceOption& option, const std::string& value)
{
    if (option.kind == OptionKind::kModel1Media) {
        if (value.empty() || IsModel1Media(value)) return std::string();
        return "'" + value + "' is not a media name of the r2000";
    }
    if (option.kind == OptionKind::kModel2Media) {
        // "User", the user-defined medium, is what the page stores when it is chosen.
        if (value.empty() || value == "User" || Model2Row(value) >= 0) return std::string();
        return "'" + value + "' is not a media name of the r3000";
    }
    int32_t v = 0;
    if (!ParseInt(value, &v)) return "'" + value + "' is not a whole number";
    int32_t lo = 0, hi = 0;
    Bounds(option, &lo, &hi);
    if (v < lo || v > hi) return value + " is outside " + std::to_string(lo) + " to " + std::to_string(hi);
    return std::string();
}

std::string Describe(const DeviceOption& option, const std::string& value)
{
    if (option.kind == OptionKind::kModel1Media || option.kind == OptionKind::kModel2Media)
        return value.empty() ? std::string("(none)") : value;
    int32_t v = 0;
    if (!ParseInt(value, &v)) return value;
    if (option.kind == OptionKind::kFlag) return value + (v == 1 ? " (on)" : v == 0 ? " (off)" : "");
    if (option.kind == OptionKind::kModel2Index) {
        if (v == 0) return value + " (User)";
        if (v >= 1 && v <= kModel2MediaCount) return value + " (" + kModel2Media[v - 1].name + ")";
        return value;
    }
    if (option.meanings && v >= option.min && v <= option.max)
        return value + " (" + option.meanings[v - option.min] + ")";
    if (option.unit) return value + " " + option.unit;
    return value;
}
