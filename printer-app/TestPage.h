// The test page: a nozzle check of every ink, printed through the driver module with the weave
// off, so that each nozzle lays down its own dash and a blocked one leaves a gap.
#pragma once
#include <pappl/pappl.h>

namespace printerapp {

// PAPPL's test-page callback: writes the nozzle check as a printer file in the spool folder
// and gives its name, which PAPPL then prints unchanged.
const char* WriteTestPage(pappl_printer_t* printer, char* buffer, size_t size);

}  // namespace printerapp
