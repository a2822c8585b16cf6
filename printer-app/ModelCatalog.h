// What the printer application offers for each model, taken from the model's own tables:
// resolutions from its print methods, media sizes, sources and media types mapped to the
// media names of the device options, and the vendor options a photographer changes per job.
#pragma once
#include <string>
#include <vector>

namespace printerapp {

struct Resolution {
    int x, y;  // dpi
};

// An IPP media-type keyword and the medium of the device options it selects.
struct MediaType {
    const char* keyword;
    const char* medium;  // model 1: print-mode table name; model 2: media table name
};

// An IPP media-source keyword and the device options' media source it selects.
struct MediaSource {
    const char* keyword;
    int source;  // value of the model's nMediaSource
};

// A vendor job option: IPP name, its keyword values (the first is the default) and the
// settings key each value writes with the value written.
struct VendorValue {
    const char* keyword;
    int stored;
};
struct VendorOption {
    const char* name;     // IPP attribute name
    const char* key;      // settings key without the model prefix; empty: not a device option
    std::vector<VendorValue> values;
};

struct ModelInfo {
    int id;                      // 1 R2000, 2 R3000
    const char* driverName;      // "r2000"
    const char* makeAndModel;    // "Epson Stylus Photo R2000"
    const char* deviceId;        // IEEE-1284 device ID the printer reports
    const char* prefix;          // settings prefix, "DP1_"
    std::vector<Resolution> resolutions;  // draft, normal, high, best
    Resolution defaultResolution;
    std::vector<MediaSource> sources;
    std::vector<MediaType> types;
    const char* defaultType;
    std::vector<VendorOption> vendor;
};

// Media sizes both models take (PWG self-describing names), up to A3+ and 13 x 19 in.
const std::vector<const char*>& MediaSizes();
constexpr const char* kDefaultMediaSize = "iso_a4_210x297mm";
// The device options' margin on every side, hundredths of a millimetre.
constexpr int kMarginHundredthsMm = 300;

const std::vector<ModelInfo>& Models();
// The model of a driver name, or null.
const ModelInfo* FindModel(const std::string& driverName);
// The model whose device ID matches `deviceId` (MFG and MDL/MODEL keys), or null.
const ModelInfo* MatchDeviceId(const std::string& deviceId);
// The medium of a media-type keyword, or null when the model does not offer it.
const char* MediumOfType(const ModelInfo& model, const std::string& keyword);
// 1-based position of a medium in model 2's media table (0: not there).
int Model2MediaIndex(const std::string& medium);
// The host's media size name for a PWG media name, or empty when the host has none; the
// size itself comes from the PWG name.
std::string HostMediaSizeName(const std::string& pwgName);

}  // namespace printerapp
