// PAPPL's raster callbacks: each page of a job printed through a PagePrinter.
#pragma once
#include <pappl/pappl.h>

namespace printerapp {

bool RasterStartJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
bool RasterStartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool RasterWriteLine(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned y,
                     const unsigned char* line);
bool RasterEndPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned page);
bool RasterEndJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);
// A file already in the printer's language (the test page) goes to the device as it is.
bool PrintRawFile(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device);

}  // namespace printerapp
