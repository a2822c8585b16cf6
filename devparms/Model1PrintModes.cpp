// Model-1 (R2000) print-mode table, scanned in this order.
#include "devparms/Model1PrintModes.h"

#include <cstring>

const PrintModeRow kModel1PrintModes[] = {
    {"Plain Paper", 0, 0, 1, "360x180", 1, 16, 32, 32, 32},
    {"Plain Paper", 0, 0, 1, "360x360", 1, 16, 32, 32, 32},
    {"Plain Paper", 0, 1, 1, "720x720", 2, 18, 80, 80, 80},
    {"Photo Quality InkJet Paper", 29, 1, 1, "1440x720", 3, 18, 80, 80, 80},
    {"Enhanced Matte Paper", 15, 0, 1, "1440x720", 3, 18, 112, 113, 114},
    {"Enhanced Matte Paper", 15, 0, 1, "5760x1440", 4, 19, 177, 177, 177},
    {"Matte Paper - Heavyweight", 5, 0, 1, "1440x720", 3, 18, 112, 113, 114},
    {"Matte Paper - Heavyweight", 5, 0, 1, "5760x1440", 4, 19, 177, 177, 177},
    {"Double-Sided Matte Paper", 22, 0, 1, "1440x720", 3, 18, 112, 113, 114},
    {"Double-Sided Matte Paper", 22, 0, 1, "5760x1440", 4, 19, 177, 177, 177},
    {"Premium Glossy Photo Paper", 11, 1, 0, "720x720", 2, 17, 81, 82, 82},
    {"Premium Glossy Photo Paper", 11, 1, 0, "1440x720", 3, 18, 112, 113, 114},
    {"Premium Glossy Photo Paper", 11, 1, 0, "5760x1440", 4, 19, 176, 176, 177},
    {"Premium Luster Photo Paper", 13, 1, 0, "720x720", 2, 17, 81, 82, 82},
    {"Premium Luster Photo Paper", 13, 1, 0, "1440x720", 3, 18, 112, 113, 114},
    {"Premium Luster Photo Paper", 13, 1, 0, "5760x1440", 4, 19, 176, 176, 177},
    {"Premium Semigloss Photo Paper", 12, 1, 0, "720x720", 2, 17, 81, 82, 82},
    {"Premium Semigloss Photo Paper", 12, 1, 0, "1440x720", 3, 18, 112, 113, 114},
    {"Premium Semigloss Photo Paper", 12, 1, 0, "5760x1440", 4, 19, 176, 176, 177},
    {"Photo Paper Glossy", 43, 1, 0, "720x720", 2, 17, 81, 82, 82},
    {"Photo Paper Glossy", 43, 1, 0, "1440x720", 3, 18, 112, 113, 114},
    {"Photo Paper Glossy", 43, 1, 0, "5760x1440", 4, 19, 176, 176, 177},
    {"CD/DVD", 91, 0, 1, "5760x1440", 4, 19, 178, 178, 178},
    {"CD/DVD Premium Surface", 92, 0, 1, "5760x1440", 4, 19, 178, 178, 178},
    {"Velvet Fine Art Paper", 25, 0, 1, "5760x1440", 4, 19, 177, 177, 177},
    {"Watercolor Paper - Radiant White", 16, 0, 1, "5760x1440", 4, 19, 177, 177, 177},
    {"UltraSmooth Fine Art Paper", 39, 0, 1, "5760x1440", 4, 19, 177, 177, 177},
};

const int kModel1PrintModeCount = static_cast<int>(sizeof(kModel1PrintModes) / sizeof(kModel1PrintModes[0]));

bool ServesInkAndMethod(const PrintModeRow& row, int inkMode, const char* method)
{
    const int served = inkMode == 0 ? row.photoBlack : inkMode == 1 ? row.matteBlack : 0;
    return served == 1 && std::strcmp(row.resolution, method) == 0;
}
