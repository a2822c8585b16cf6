#include "app/Models.h"

#include <algorithm>
#include <cctype>

namespace {
const std::vector<PrinterModel>& Models()
{
    static const std::vector<PrinterModel> models = {
        {1, "r2000", "DP1_", {0, 1, 2, 3, 35, 4, 30}},      // K C M Y R O GO
        {2, "r3000", "DP2_", {0, 1, 2, 3, 8, 9, 7, 10}},    // K C M Y LC LM LK LLK
    };
    return models;
}
}  // namespace

const PrinterModel& ModelById(int id) { return Models()[id == 1 ? 0 : 1]; }

const PrinterModel* ModelByName(const std::string& name)
{
    std::string n = name;
    std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const PrinterModel& m : Models())
        if (n == m.name || n == std::to_string(m.id)) return &m;
    return nullptr;
}
