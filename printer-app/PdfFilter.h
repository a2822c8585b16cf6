// PDF documents: each page rendered (poppler through libvips) at a resolution that divides
// the job's, and its rows handed to a PagePrinter, which spreads each pixel over the printer
// pixels it covers.
#pragma once
#include <pappl/pappl.h>

namespace printerapp {

constexpr const char* kPdfFormat = "application/pdf";
bool PrintPdf(pappl_job_t* job, pappl_device_t* device, void* data);

}  // namespace printerapp
