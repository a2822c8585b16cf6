#include "printer-app/PrinterSettings.h"

#include <filesystem>

#include "host/PrintEnv.h"

namespace printerapp {

std::string PrinterSettingsPath(pappl_printer_t* printer)
{
    const std::filesystem::path dir = std::filesystem::path(DefaultSettingsPath()).parent_path();
    return (dir / ("printer-" + std::to_string(papplPrinterGetID(printer)) + ".ini")).string();
}

const ModelInfo* PrinterModel(pappl_printer_t* printer)
{
    const char* driver = papplPrinterGetDriverName(printer);
    return driver ? FindModel(driver) : nullptr;
}

bool LoadPrinterSettings(pappl_printer_t* printer, CPrintEnv& store, std::string* error)
{
    const std::string path = PrinterSettingsPath(printer);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return store.LoadFile(path, error);
}

std::string VendorChoice(const VendorOption& option, const JobChoices& job, const std::string& fallback)
{
    auto known = [&](const std::string& v) {
        for (const VendorValue& value : option.values)
            if (v == value.keyword) return true;
        return false;
    };
    for (const auto& [name, value] : job.vendor)
        if (name == option.name && known(value)) return value;
    return known(fallback) ? fallback : option.values.front().keyword;
}

void ApplyJobChoices(const ModelInfo& model, const JobChoices& job, CPrintEnv& store)
{
    const std::string prefix = model.prefix;
    auto put = [&](const char* key, int value) { store.PutInt((prefix + key).c_str(), value); };
    store.PutInt(PrEnv_UID, model.id);
    store.PutString(PrEnv_PrintMethod.pszKey, (std::to_string(job.resX) + "x" + std::to_string(job.resY)).c_str());
    store.PutString(PrEnv_DefaultMediaSizeName.pszKey, HostMediaSizeName(job.mediaSize).c_str());
    if (const char* medium = MediumOfType(model, job.mediaType)) {
        store.PutString((prefix + "strPaperTyp").c_str(), medium);
        if (model.id == 2) put("nPaperTyp", Model2MediaIndex(medium));
    }
    for (const MediaSource& s : model.sources)
        if (job.mediaSource == s.keyword) put("nMediaSource", s.source);
    // A vendor option the job leaves out keeps the stored device option.
    for (const VendorOption& option : model.vendor)
        for (const auto& [name, value] : job.vendor)
            for (const VendorValue& v : option.values)
                if (*option.key && name == option.name && value == v.keyword) put(option.key, v.stored);
}

const char* StoredMediaType(const ModelInfo& model, const CPrintEnv& store)
{
    const std::string medium = store.GetString((std::string(model.prefix) + "strPaperTyp").c_str(), "").str();
    for (const MediaType& t : model.types)
        if (medium == t.medium) return t.keyword;
    return nullptr;
}

}  // namespace printerapp
