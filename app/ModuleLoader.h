// Loads the driver module at run time and finds its one export, Create.
#pragma once
#include <string>

#include "host/PrinterDriver.h"

class DriverModule {
public:
    // Loads the module at `path` (empty: RPHOTO_MODULE, else beside the executable).
    // Throws CommandError with a one-line message when it cannot be loaded, lacks Create or
    // did not register itself with the host.
    explicit DriverModule(const std::string& path = std::string());
    ~DriverModule();
    DriverModule(const DriverModule&) = delete;
    DriverModule& operator=(const DriverModule&) = delete;

    IPrinterDriver* Create(CPrintEnv* env) const { return m_create(env); }
    const std::string& Path() const { return m_path; }

    static std::string DefaultPath();

private:
    void* m_handle = nullptr;
    CreateDriverFn m_create = nullptr;
    std::string m_path;
};

// Model name ("r2000", "r3000", "1", "2") to the identifier stored under PrEnv_UID.
int ModelIdFromName(const std::string& name);
