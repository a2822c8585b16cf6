// rphoto-printer-app: the R2000 and R3000 as driverless IPP Everywhere printers, on PAPPL.
// papplMainloop gives the usual sub-commands (server, add, submit, drivers, devices, ...).
#include <vips/vips.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <pappl/pappl.h>

#include "app/Commands.h"
#include "app/ModuleLoader.h"
#include "printer-app/Driver.h"
#include "printer-app/OptionsWeb.h"
#include "printer-app/PagePrinter.h"
#include "printer-app/PdfFilter.h"

namespace {
constexpr const char* kName = "rphoto-printer-app";

void PrinterCreated(pappl_printer_t* printer, void*) { printerapp::AddOptionsPage(printer); }

pappl_loglevel_t LogLevel(const char* name)
{
    const std::string n = name ? name : "";
    if (n == "debug") return PAPPL_LOGLEVEL_DEBUG;
    if (n == "info") return PAPPL_LOGLEVEL_INFO;
    if (n == "error") return PAPPL_LOGLEVEL_ERROR;
    if (n == "fatal") return PAPPL_LOGLEVEL_FATAL;
    return PAPPL_LOGLEVEL_WARN;
}

// The system object: the standard -o options, the drivers with their printer set-up, PDF.
pappl_system_t* CreateSystem(int count, cups_option_t* options, void*)
{
    const char* port = cupsGetOption("server-port", count, options);
    const char* listen = cupsGetOption("listen-hostname", count, options);
    const char* spool = cupsGetOption("spool-directory", count, options);
    const char* log = cupsGetOption("log-file", count, options);
    const pappl_soptions_t soptions = PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE |
                                      PAPPL_SOPTIONS_WEB_LOG | PAPPL_SOPTIONS_WEB_SECURITY | PAPPL_SOPTIONS_NO_TLS;
    pappl_system_t* system = papplSystemCreate(soptions, "rphoto", port ? std::atoi(port) : 0, "_print,_universal",
                                               spool, log ? log : "-", LogLevel(cupsGetOption("log-level", count, options)),
                                               nullptr, false);
    if (!system) return nullptr;
    // Without listen-hostname every address is served; tests use localhost.
    papplSystemAddListeners(system, listen);
    int drivers = 0;
    pappl_pr_driver_t* list = printerapp::DriverList(&drivers);
    papplSystemSetPrinterDrivers(system, drivers, list, printerapp::AutoAddDriver, PrinterCreated,
                                 printerapp::FillDriverData, nullptr);
    papplSystemAddMIMEFilter(system, printerapp::kPdfFormat, "image/pwg-raster", printerapp::PrintPdf, nullptr);
    papplSystemSetFooterHTML(system, "rphoto " RPHOTO_VERSION);
    return system;
}
}  // namespace

int main(int argc, char* argv[])
{
    if (VIPS_INIT(argv[0])) {
        std::fprintf(stderr, "%s: cannot start libvips\n", kName);
        return 1;
    }
    std::unique_ptr<DriverModule> module;
    try {
        module = std::make_unique<DriverModule>();
    } catch (const CommandError& e) {
        std::fprintf(stderr, "%s: %s\n", kName, e.message.c_str());
        return 1;
    }
    printerapp::SetDriverModule(module.get());
    int drivers = 0;
    pappl_pr_driver_t* list = printerapp::DriverList(&drivers);
    const int status = papplMainloop(argc, argv, RPHOTO_VERSION, nullptr, drivers, list, printerapp::AutoAddDriver,
                                     printerapp::FillDriverData, nullptr, nullptr, CreateSystem, nullptr, nullptr);
    printerapp::SetDriverModule(nullptr);
    return status;
}
