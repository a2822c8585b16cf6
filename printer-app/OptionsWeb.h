// The device-options page of a printer in the application's web interface: the model's page
// object and dialog template (as `rphoto pages` shows them) behind a "Device Options" link,
// saved into the printer's settings. Every POST carries the session's form token.
#pragma once
#include <pappl/pappl.h>

namespace printerapp {

// Adds the printer's "Device Options" link and the resources its page uses.
void AddOptionsPage(pappl_printer_t* printer);

}  // namespace printerapp
