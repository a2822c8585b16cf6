// The two models' offer to IPP clients.
#include "printer-app/ModelCatalog.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "devparms/Model1PrintModes.h"
#include "devparms/Model2MediaTable.h"

namespace printerapp {
namespace {

// Vendor options whose settings key and values differ between the models are listed per model;
// the rest are shared.
const VendorOption kWeave = {"rphoto-weave", "bEnableWeave", {{"on", 1}, {"off", 0}}};
const VendorOption kHalftone = {"rphoto-halftone", "", {{"diffusion", 0}, {"mask", 1}}};

std::vector<ModelInfo> BuildModels()
{
    ModelInfo r2000{1,
                    "r2000",
                    "Epson Stylus Photo R2000",
                    "MFG:EPSON;CMD:ESCPL2,BDC,D4;MDL:Stylus Photo R2000;CLS:PRINTER;DES:EPSON Stylus Photo R2000;",
                    "DP1_",
                    {{360, 360}, {720, 720}, {1440, 720}, {5760, 1440}},
                    {1440, 720},
                    {{"main", 0}, {"main-roll", 1}, {"manual", 2}, {"alternate", 3}, {"disc", 4}},
                    {{"stationery", "Plain Paper"},
                     {"stationery-inkjet", "Photo Quality InkJet Paper"},
                     {"photographic-matte", "Enhanced Matte Paper"},
                     {"epson-matte-heavyweight", "Matte Paper - Heavyweight"},
                     {"epson-double-sided-matte", "Double-Sided Matte Paper"},
                     {"photographic-glossy", "Premium Glossy Photo Paper"},
                     {"photographic-satin", "Premium Luster Photo Paper"},
                     {"photographic-semi-gloss", "Premium Semigloss Photo Paper"},
                     {"photographic", "Photo Paper Glossy"},
                     {"disc", "CD/DVD"},
                     {"disc-glossy", "CD/DVD Premium Surface"},
                     {"epson-velvet-fine-art", "Velvet Fine Art Paper"},
                     {"epson-watercolor-radiant-white", "Watercolor Paper - Radiant White"},
                     {"epson-ultrasmooth-fine-art", "UltraSmooth Fine Art Paper"}},
                    "photographic-glossy",
                    {{"rphoto-black-ink", "inkMode", {{"photo", 0}, {"matte", 1}}},
                     kWeave,
                     {"rphoto-bidirectional", "bBidirectional", {{"on", 1}, {"off", 0}}},
                     {"rphoto-gloss-optimizer", "", {{"off", 0}, {"on", 1}}},
                     kHalftone}};
    ModelInfo r3000{2,
                    "r3000",
                    "Epson Stylus Photo R3000",
                    "MFG:EPSON;CMD:ESCPL2,BDC,D4;MDL:Stylus Photo R3000;CLS:PRINTER;DES:EPSON Stylus Photo R3000;",
                    "DP2_",
                    {{720, 720}, {1440, 720}, {2880, 1440}, {5760, 1440}},
                    {1440, 720},
                    {{"main", 0}, {"alternate", 1}, {"manual", 2}, {"main-roll", 3}},
                    {{"stationery", "Plain Paper"},
                     {"epson-matte-heavyweight", "Matte Paper-Heavyweight"},
                     {"photographic-glossy", "Premium Glossy Photo Paper"},
                     {"photographic-semi-gloss", "Premium Semigloss Photo Paper"},
                     {"photographic-satin", "Ultra Premium Luster Photo Paper"},
                     {"photographic-matte", "Enhanced Matte Paper/Archival Matte Paper"},
                     {"epson-watercolor-radiant-white", "Watercolor Paper - Radiant White"},
                     {"epson-double-sided-matte", "Double Sided Matte Paper"},
                     {"epson-matte-board", "Matte board paper"},
                     {"epson-velvet-fine-art", "Velvet Fine Art Paper"},
                     {"stationery-inkjet", "Photo Quality InkJet Paper"},
                     {"epson-ultrasmooth-fine-art", "UltraSmooth Fine Art Paper"},
                     {"photographic", "Photo Paper Glossy"},
                     {"epson-singleweight-matte", "Singleweight Matte Paper"}},
                    "photographic-glossy",
                    {{"rphoto-black-ink", "inkMode", {{"photo", 1}, {"matte", 2}, {"printer", 0}}},
                     kWeave,
                     {"rphoto-bidirectional", "nDirectionalControl", {{"on", 0}, {"off", 1}}},
                     kHalftone}};
    return {r2000, r3000};
}

// Value of KEY in an IEEE-1284 device ID ("KEY:value;..."), keys compared without case.
std::string DeviceIdValue(const std::string& id, const char* key)
{
    size_t pos = 0;
    while (pos < id.size()) {
        const size_t end = std::min(id.find(';', pos), id.size());
        const size_t colon = id.find(':', pos);
        if (colon < end && strncasecmp(id.c_str() + pos, key, colon - pos) == 0 && std::strlen(key) == colon - pos)
            return id.substr(colon + 1, end - colon - 1);
        pos = end + 1;
    }
    return {};
}

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}
}  // namespace

const std::vector<const char*>& MediaSizes()
{
    static const std::vector<const char*> sizes = {
        "iso_a3_297x420mm",  "iso_a4_210x297mm",       "iso_a5_148x210mm",     "iso_a6_105x148mm",
        "na_letter_8.5x11in", "na_legal_8.5x14in",     "na_ledger_11x17in",    "na_index-4x6_4x6in",
        "na_5x7_5x7in",      "na_govt-letter_8x10in",  "oe_photo-l_3.5x5in",   "na_super-b_13x19in",
        "custom_a3plus_329x483mm"};
    return sizes;
}

const std::vector<ModelInfo>& Models()
{
    static const std::vector<ModelInfo> models = BuildModels();
    return models;
}

const ModelInfo* FindModel(const std::string& driverName)
{
    for (const ModelInfo& m : Models())
        if (driverName == m.driverName) return &m;
    return nullptr;
}

const ModelInfo* MatchDeviceId(const std::string& deviceId)
{
    std::string mfg = DeviceIdValue(deviceId, "MFG");
    if (mfg.empty()) mfg = DeviceIdValue(deviceId, "MANUFACTURER");
    std::string mdl = DeviceIdValue(deviceId, "MDL");
    if (mdl.empty()) mdl = DeviceIdValue(deviceId, "MODEL");
    for (const ModelInfo& m : Models())
        if (SameText(mfg, DeviceIdValue(m.deviceId, "MFG")) && SameText(mdl, DeviceIdValue(m.deviceId, "MDL")))
            return &m;
    return nullptr;
}

const char* MediumOfType(const ModelInfo& model, const std::string& keyword)
{
    for (const MediaType& t : model.types)
        if (keyword == t.keyword) return t.medium;
    return nullptr;
}

int Model2MediaIndex(const std::string& medium)
{
    for (int i = 0; i < kModel2MediaCount; ++i)
        if (medium == kModel2Media[i].name) return i + 1;
    return 0;
}

std::string HostMediaSizeName(const std::string& pwgName)
{
    static const std::pair<const char*, const char*> kHostNames[] = {
        {"iso_a3_297x420mm", "ISO A3"},         {"iso_a4_210x297mm", "ISO A4"},
        {"iso_a5_148x210mm", "ISO A5"},         {"iso_a6_105x148mm", "ISO A6"},
        {"na_letter_8.5x11in", "US Letter"},    {"na_legal_8.5x14in", "US Legal"},
        {"na_ledger_11x17in", "US Tabloid"},    {"na_super-b_13x19in", "US Super B"},
        {"custom_a3plus_329x483mm", "ISO A3Plus"}};
    for (const auto& [pwg, host] : kHostNames)
        if (pwgName == pwg) return host;
    return {};
}

}  // namespace printerapp
