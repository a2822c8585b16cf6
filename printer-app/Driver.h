// The two drivers of the application: their PAPPL driver data, automatic adding of a
// connected printer by its device ID, identify and the test page.
#pragma once
#include <pappl/pappl.h>

namespace printerapp {

// The drivers papplMainloop lists (names, descriptions, device IDs).
pappl_pr_driver_t* DriverList(int* count);
const char* AutoAddDriver(const char* deviceInfo, const char* deviceUri, const char* deviceId, void* data);
bool FillDriverData(pappl_system_t* system, const char* driverName, const char* deviceUri, const char* deviceId,
                    pappl_pr_driver_data_t* data, ipp_t** attrs, void* cbData);

}  // namespace printerapp
