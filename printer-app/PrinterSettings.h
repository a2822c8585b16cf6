// The settings store of one printer of the application: the device options saved from its
// options page, and the store a job runs on (those options with the job's own choices).
#pragma once
#include <string>

#include <pappl/pappl.h>

#include "host/PrintEnv.h"
#include "printer-app/ModelCatalog.h"

namespace printerapp {

// The printer's settings file: rphoto/printer-<id>.ini beside the user's settings file.
std::string PrinterSettingsPath(pappl_printer_t* printer);
// The model a printer was created with (its driver name), or null.
const ModelInfo* PrinterModel(pappl_printer_t* printer);

// Loads the printer's settings; false with a message when the file is malformed.
bool LoadPrinterSettings(pappl_printer_t* printer, CPrintEnv& store, std::string* error);

// The job's choices that the driver reads from the store.
struct JobChoices {
    int resX = 1440, resY = 720;
    std::string mediaSize;    // PWG name
    std::string mediaType;    // IPP media-type keyword
    std::string mediaSource;  // IPP media-source keyword
    std::vector<std::pair<std::string, std::string>> vendor;  // IPP name, keyword
};

// Puts the model, print method, media size, medium, source and the vendor options that are
// device options into the store. Unknown keywords leave the stored device option as it is.
void ApplyJobChoices(const ModelInfo& model, const JobChoices& job, CPrintEnv& store);
// The keyword of a vendor option for this job: the job's value, else `fallback`, else the
// option's default (its first value).
std::string VendorChoice(const VendorOption& option, const JobChoices& job, const std::string& fallback = {});
// The IPP media-type keyword that selects the medium stored in the device options, or null.
const char* StoredMediaType(const ModelInfo& model, const CPrintEnv& store);

}  // namespace printerapp
