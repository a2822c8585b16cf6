// Model-2 (R3000) media table, in the order of the page's media list.
#include "devparms/Model2MediaTable.h"

const MediaRow kModel2Media[] = {
    {"Plain Paper", 0, 1, 1, 1},
    {"Matte Paper-Heavyweight", 5, 5, 0, 1},
    {"Premium Glossy Photo Paper", 11, 3, 1, 0},
    {"Premium Semigloss Photo Paper", 12, 3, 1, 0},
    {"Ultra Premium Luster Photo Paper", 13, 3, 1, 0},
    {"Enhanced Matte Paper/Archival Matte Paper", 15, 2, 0, 1},
    {"Watercolor Paper - Radiant White", 16, 3, 0, 1},
    {"Double Sided Matte Paper", 22, 5, 0, 1},
    {"Matte board paper", 18, 5, 0, 1},
    {"Velvet Fine Art Paper", 25, 5, 0, 1},
    {"Photo Quality InkJet Paper", 29, 1, 1, 1},
    {"UltraSmooth Fine Art Paper", 39, 5, 0, 1},
    {"Photo Paper Glossy", 43, 2, 0, 1},
    {"Singleweight Matte Paper", 128, 1, 0, 1},
};

const int kModel2MediaCount = static_cast<int>(sizeof(kModel2Media) / sizeof(kModel2Media[0]));
