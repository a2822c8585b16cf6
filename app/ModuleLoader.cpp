#include "app/ModuleLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/Commands.h"
#include "app/Models.h"
#include "host/ExtensionModule.h"

namespace fs = std::filesystem;

std::string DriverModule::DefaultPath()
{
    if (const char* env = std::getenv("RPHOTO_MODULE"); env && *env) return env;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    const fs::path dir = ec ? fs::path(".") : exe.parent_path();
    for (const fs::path& p : {dir / "../lib/rphoto_driver.so", dir / "rphoto_driver.so",
                              dir / "../lib/rphoto/rphoto_driver.so"}) {
        if (fs::exists(p, ec)) return fs::weakly_canonical(p, ec).string();
    }
    return (dir / "../lib/rphoto_driver.so").string();
}

DriverModule::DriverModule(const std::string& path) : m_path(path.empty() ? DefaultPath() : path)
{
    const size_t before = RegisteredExtensionModules().size();
    m_handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) throw CommandError{"cannot load driver module: " + std::string(dlerror())};
    m_create = reinterpret_cast<CreateDriverFn>(dlsym(m_handle, "Create"));
    if (!m_create) {
        dlclose(m_handle);
        throw CommandError{m_path + ": not a driver module (it has no Create function)"};
    }
    if (RegisteredExtensionModules().size() <= before) {
        dlclose(m_handle);
        throw CommandError{m_path + ": the module did not register itself with the host"};
    }
}

DriverModule::~DriverModule()
{
    if (m_handle) dlclose(m_handle);
}

int ModelIdFromName(const std::string& name)
{
    if (const PrinterModel* m = ModelByName(name)) return m->id;
    throw CommandError{"unknown model '" + name + "' (use r2000 or r3000)"};
}
