// The two models' device-option tables.
#include "devparms/DeviceOptions.h"

#include <climits>
#include <cstring>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/CDEFP_2_RPHOTO.h"
#include "pages/CEpsonRPhoto2000Page.h"
#include "pages/CEpsonRPhoto3000Page.h"

namespace {
const char* const kModel1Sources[] = {"ASF", "Roll", "Rear", "Board", "CD-R"};
const char* const kBottomMargins[] = {"Standard", "Max", "Borderless"};
const char* const kModel1Inks[] = {"Photo", "Matte"};

const char* const kModel2Sources[] = {"ASF", "Board", "Fine Art", "Roll"};
const char* const kDirections[] = {"Bi-directional", "Unidirectional 0 to 80", "Auto directional control",
                                   "Unidirectional 80 to 0"};
const char* const kPlatenGaps[] = {"Default", "Scrape Reduction", "Bi-D Adjust PG--", "Bi-D Adjust PG-",
                                   "Bi-D Adjust PGpty"};
const char* const kThicknesses[] = {"Default", "0.15 mm", "0.1 mm", "0.2 mm", "0.3 mm", "0.4 mm",
                                    "0.5 mm",  "0.6 mm",  "0.7 mm", "0.8 mm", "0.9 mm", "1.0 mm",
                                    "1.1 mm",  "1.2 mm",  "1.3 mm", "1.4 mm", "1.5 mm", "1.6 mm"};
const char* const kModel2Inks[] = {"Printer Settings", "Photo", "Matte"};

constexpr OptionKind I = OptionKind::kInt;
constexpr OptionKind F = OptionKind::kFlag;
}  // namespace

// The value `m` of parameter class P and of its page class G, or of the base's weave block.
#define RPHOTO_FIELDS(P, G, m)                                                          \
    [](CEpsonRPhotoDevParmsBase& o) -> int32_t* { return &static_cast<P&>(o).m; },      \
        [](CPrintEnvPropertyPage& pg) -> int32_t* { return &static_cast<G&>(pg).m; }, \
        nullptr, nullptr
#define RPHOTO_TEXT(P, G, m)                                                             \
    nullptr, nullptr, [](CEpsonRPhotoDevParmsBase& o) -> CString* { return &static_cast<P&>(o).m; }, \
        [](CPrintEnvPropertyPage& pg) -> CString* { return &static_cast<G&>(pg).m; }
#define M1(m) RPHOTO_FIELDS(CDEFP_1_RPHOTO, CEpsonRPhoto2000Page, m)
#define M2(m) RPHOTO_FIELDS(CDEFP_2_RPHOTO, CEpsonRPhoto3000Page, m)

namespace {
const DeviceOption kModel1[] = {
    {"nPaperTyp", I, INT32_MIN, INT32_MAX, nullptr, nullptr, 18, M1(nPaperTyp)},  // position in the page's media list
    {"strPaperTyp", OptionKind::kModel1Media, 0, 0, nullptr, nullptr, 0,
     RPHOTO_TEXT(CDEFP_1_RPHOTO, CEpsonRPhoto2000Page, strPaperTyp)},
    {"nMediaSource", I, 0, 4, kModel1Sources, nullptr, 0, M1(nMediaSource)},
    {"bBidirectional", F, 0, 1, nullptr, nullptr, 1, M1(bBidirectional)},
    {"bDuplexPrint", F, 0, 1, nullptr, nullptr, 0, M1(bDuplexPrint)},
    {"nBottomMargin", I, 0, 2, kBottomMargins, nullptr, 0, M1(nBottomMargin)},
    {"nPlateGap", I, 0, 127, nullptr, nullptr, 0, M1(nPlateGap)},
    {"bPlatenGapBiDirectional", F, 0, 1, nullptr, nullptr, 0, M1(bPlatenGapBiDirectional)},
    {"inkMode", I, 0, 1, kModel1Inks, nullptr, 0, M1(inkMode)},
    {"bMoveFullHeadWidth", F, 0, 1, nullptr, nullptr, 1, M1(bMoveFullHeadWidth)},
    {"bEnableWeave", F, 0, 1, nullptr, nullptr, 1, M1(bEnableWeave)},
    {"bEnableBrokenNozzles", F, 0, 1, nullptr, nullptr, 0, M1(bEnableBrokenNozzles)},
};

const DeviceOption kModel2[] = {
    {"nPaperTyp", OptionKind::kModel2Index, 0, 0, nullptr, nullptr, 0, M2(nPaperTyp)},
    {"strPaperTyp", OptionKind::kModel2Media, 0, 0, nullptr, nullptr, 0,
     RPHOTO_TEXT(CDEFP_2_RPHOTO, CEpsonRPhoto3000Page, strPaperTyp)},
    {"nMediaSource", I, 0, 3, kModel2Sources, nullptr, 0, M2(nMediaSource)},
    {"nDotTyp", I, INT32_MIN, INT32_MAX, nullptr, nullptr, 0,  // stored only: no control, no command
     [](CEpsonRPhotoDevParmsBase& o) -> int32_t* { return &static_cast<CDEFP_2_RPHOTO&>(o).nDotTyp; }, nullptr,
     nullptr, nullptr},
    {"nDirectionalControl", I, 0, 3, kDirections, nullptr, 0, M2(nDirectionalControl)},
    {"bCutFlag", F, 0, 1, nullptr, nullptr, 0, M2(bCutFlag)},
    {"bDuplexPrint", F, 0, 1, nullptr, nullptr, 0, M2(bDuplexPrint)},
    {"nPlateGap", I, 0, 4, kPlatenGaps, nullptr, 0, M2(nPlateGap)},
    {"nPaperThickness", I, 0, 17, kThicknesses, nullptr, 0, M2(nPaperThickness)},
    {"nDryTimeScan", I, 0, 10000, nullptr, "ms", 0, M2(nDryTimeScan)},
    {"inkMode", I, 0, 2, kModel2Inks, nullptr, 0, M2(inkMode)},
    {"bMoveFullHeadWidth", F, 0, 1, nullptr, nullptr, 1, M2(bMoveFullHeadWidth)},
    {"bEnableWeave", F, 0, 1, nullptr, nullptr, 1, M2(bEnableWeave)},
    {"bEnableBrokenNozzles", F, 0, 1, nullptr, nullptr, 0, M2(bEnableBrokenNozzles)},
};
}  // namespace

const DeviceOptionTable kModel1Options = {kModel1, static_cast<int>(sizeof(kModel1) / sizeof(kModel1[0]))};
const DeviceOptionTable kModel2Options = {kModel2, static_cast<int>(sizeof(kModel2) / sizeof(kModel2[0]))};

const DeviceOption* DeviceOptionTable::Find(const char* name) const
{
    for (int i = 0; i < count; ++i)
        if (std::strcmp(options[i].name, name) == 0) return &options[i];
    return nullptr;
}
