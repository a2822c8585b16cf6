#include "printer-app/Driver.h"

#include <cstring>
#include <vector>

#include "printer-app/ModelCatalog.h"
#include "printer-app/RasterCallbacks.h"
#include "printer-app/TestPage.h"

namespace printerapp {
namespace {
// The printer language the test page is written in; PAPPL sends such files unchanged.
constexpr const char* kPrinterFormat = "application/vnd.epson.escp2";

void Identify(pappl_printer_t* printer, pappl_identify_actions_t, const char* message)
{
    // The printers have no display or sound; the request is shown in the log.
    papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "Identify: %s", message ? message : "(no message)");
}

pappl_media_col_t MediaCol(const char* sizeName, const char* source, const char* type)
{
    pappl_media_col_t col{};
    if (pwg_media_t* pwg = pwgMediaForPWG(sizeName)) {
        col.size_width = pwg->width;
        col.size_length = pwg->length;
    }
    std::strncpy(col.size_name, sizeName, sizeof col.size_name - 1);
    std::strncpy(col.source, source, sizeof col.source - 1);
    std::strncpy(col.type, type, sizeof col.type - 1);
    col.left_margin = col.right_margin = col.top_margin = col.bottom_margin = kMarginHundredthsMm;
    return col;
}
}  // namespace

pappl_pr_driver_t* DriverList(int* count)
{
    static std::vector<pappl_pr_driver_t> drivers = [] {
        std::vector<pappl_pr_driver_t> list;
        for (const ModelInfo& m : Models()) list.push_back({m.driverName, m.makeAndModel, m.deviceId, nullptr});
        return list;
    }();
    *count = static_cast<int>(drivers.size());
    return drivers.data();
}

const char* AutoAddDriver(const char*, const char*, const char* deviceId, void*)
{
    const ModelInfo* m = deviceId ? MatchDeviceId(deviceId) : nullptr;
    return m ? m->driverName : nullptr;
}

bool FillDriverData(pappl_system_t*, const char* driverName, const char*, const char*, pappl_pr_driver_data_t* data,
                    ipp_t** attrs, void*)
{
    const ModelInfo* m = FindModel(driverName ? driverName : "");
    if (!m) return false;

    data->identify_cb = Identify;
    data->printfile_cb = PrintRawFile;
    data->rstartjob_cb = RasterStartJob;
    data->rstartpage_cb = RasterStartPage;
    data->rwriteline_cb = RasterWriteLine;
    data->rendpage_cb = RasterEndPage;
    data->rendjob_cb = RasterEndJob;
    data->testpage_cb = WriteTestPage;
    data->format = kPrinterFormat;

    std::strncpy(data->make_and_model, m->makeAndModel, sizeof data->make_and_model - 1);
    data->ppm = 1;
    data->ppm_color = 1;
    data->kind = PAPPL_KIND_PHOTO | PAPPL_KIND_DOCUMENT | PAPPL_KIND_DISC | PAPPL_KIND_ROLL;
    data->color_supported = PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_COLOR | PAPPL_COLOR_MODE_MONOCHROME;
    data->color_default = PAPPL_COLOR_MODE_COLOR;
    data->content_default = PAPPL_CONTENT_PHOTO;
    data->quality_default = IPP_QUALITY_NORMAL;
    data->scaling_default = PAPPL_SCALING_AUTO;
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->raster_types = PAPPL_PWG_RASTER_TYPE_SRGB_8 | PAPPL_PWG_RASTER_TYPE_SGRAY_8;
    data->duplex = PAPPL_DUPLEX_NONE;
    data->sides_supported = PAPPL_SIDES_ONE_SIDED;
    data->sides_default = PAPPL_SIDES_ONE_SIDED;
    data->identify_supported = PAPPL_IDENTIFY_ACTIONS_DISPLAY;
    data->identify_default = PAPPL_IDENTIFY_ACTIONS_DISPLAY;

    // PAPPL's draft, normal and high qualities take the first, default and last resolutions.
    data->num_resolution = static_cast<int>(m->resolutions.size());
    for (int i = 0; i < data->num_resolution; ++i) {
        data->x_resolution[i] = m->resolutions[static_cast<size_t>(i)].x;
        data->y_resolution[i] = m->resolutions[static_cast<size_t>(i)].y;
    }
    data->x_default = m->defaultResolution.x;
    data->y_default = m->defaultResolution.y;

    data->borderless = false;
    data->left_right = kMarginHundredthsMm;
    data->bottom_top = kMarginHundredthsMm;
    data->num_media = static_cast<int>(MediaSizes().size());
    for (int i = 0; i < data->num_media; ++i) data->media[i] = MediaSizes()[static_cast<size_t>(i)];
    data->num_source = static_cast<int>(m->sources.size());
    for (int i = 0; i < data->num_source; ++i) {
        data->source[i] = m->sources[static_cast<size_t>(i)].keyword;
        data->media_ready[i] = MediaCol(kDefaultMediaSize, data->source[i], m->defaultType);
    }
    data->media_default = MediaCol(kDefaultMediaSize, m->sources.front().keyword, m->defaultType);
    data->num_type = static_cast<int>(m->types.size());
    for (int i = 0; i < data->num_type; ++i) data->type[i] = m->types[static_cast<size_t>(i)].keyword;

    // Vendor options: xxx-supported keywords and an xxx-default the web interface can change.
    *attrs = ippNew();
    data->num_vendor = static_cast<int>(m->vendor.size());
    for (int i = 0; i < data->num_vendor; ++i) {
        const VendorOption& option = m->vendor[static_cast<size_t>(i)];
        data->vendor[i] = option.name;
        std::vector<const char*> keywords;
        for (const VendorValue& v : option.values) keywords.push_back(v.keyword);
        const std::string supported = std::string(option.name) + "-supported";
        const std::string byDefault = std::string(option.name) + "-default";
        ippAddStrings(*attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, supported.c_str(), static_cast<int>(keywords.size()),
                      nullptr, keywords.data());
        ippAddString(*attrs, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, byDefault.c_str(), nullptr, keywords.front());
    }
    return true;
}

}  // namespace printerapp
