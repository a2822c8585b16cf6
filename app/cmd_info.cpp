// `rphoto info`: loads the driver module and reports what Create gives for each model.
#include <cstdio>
#include <memory>

#include "app/Commands.h"
#include "app/ModuleLoader.h"
#include "host/DevParms.h"
#include "host/ExtensionModule.h"

namespace {
bool registered = RegisterCommand("info", 5, [](CLI::App& app) {
    auto module = std::make_shared<std::string>();
    app.description("Load the driver module and report the driver and device parameters of each model");
    app.add_option("--module", *module, "Driver module to load");
    return [module]() -> int {
        DriverModule mod(*module);
        std::printf("module %s\n", mod.Path().c_str());
        for (const std::string& name : RegisteredExtensionModules()) std::printf("  registered: %s\n", name.c_str());
        int failures = 0;
        for (int model : {1, 2}) {
            CPrintEnv env;
            env.PutInt(PrEnv_UID, model);
            DriverPtr driver(mod.Create(&env));
            if (!driver) {
                std::printf("model %d: Create gave no driver\n", model);
                ++failures;
                continue;
            }
            CPrinterDriverBase* base = AsDriverBase(driver.get());
            std::printf("model %d: driver created, device parameters %d bytes (version %d)\n", model,
                        base && base->m_pDevParms ? base->m_pDevParms->nStructSize : 0,
                        base && base->m_pDevParms ? base->m_pDevParms->nStructVersion : 0);
        }
        return failures ? 1 : 0;
    };
});
}  // namespace
