// `rphoto pages`: shows a model's device-options page in the browser, served on the loopback port.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/Commands.h"
#include "app/JobOptions.h"
#include "app/Models.h"
#include "app/ModuleLoader.h"
#include "app/PageServer.h"
#include "app/ServedPage.h"
#include "app/SettingsFile.h"
#include "host/DevParms.h"
#include "host/DialogTemplate.h"

namespace {
constexpr const char* kDefaultPrintMethod = "1440x720";

struct Options {
    std::string model;
    std::string language = "en";
    std::string method;
    std::string file;
    std::string module;
    int port = 0;
};

std::string LanguageList()
{
    std::string out;
    for (const std::string& l : DialogLanguages()) out += (out.empty() ? "" : ", ") + l;
    return out;
}

bool registered = RegisterCommand("pages", 40, [](CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.description("Serve a model's device-options page to the browser on 127.0.0.1; OK saves the settings file");
    app.add_option("--model", o->model, "r2000 or r3000")->required();
    app.add_option("--lang", o->language, "Language of the dialog: " + LanguageList());
    CLI::Option* method = app.add_option("--method", o->method, "Print method the host has selected (default: the stored one, else 1440x720)");
    app.add_option("--settings", o->file, "Settings file (default: " + DefaultSettingsPath() + ")");
    app.add_option("--port", o->port, "Port on 127.0.0.1 (0: any free port)")->check(CLI::Range(0, 65535));
    app.add_option("--module", o->module, "Driver module to load");
    return [o, method]() -> int {
        const auto& languages = DialogLanguages();
        if (std::find(languages.begin(), languages.end(), o->language) == languages.end())
            throw CommandError{"--lang " + o->language + ": not one of " + LanguageList()};
        const int model = ModelIdFromName(o->model);
        double h = 0, v = 0;
        if (method->count() > 0) ParseMethod(o->method, &h, &v);

        CPrintEnv env;
        LoadSettingsOrThrow(env, o->file);
        env.PutInt(PrEnv_UID, model);

        DriverModule mod(o->module);
        DriverPtr driver(mod.Create(&env));
        CPrinterDriverBase* base = AsDriverBase(driver.get());
        if (!base || !base->m_pDevParms) throw CommandError{"the driver module built no driver for " + o->model};
        CPrintEnvPropertyPage* page = base->m_pDevParms->GetPropertyPage(base);
        if (!page) throw CommandError{"the " + o->model + " driver offers no device-options page"};
        if (method->count() > 0) {
            page->SetHostPrintMethod(o->method);
        } else if (page->QueryPrintMethod().IsEmpty()) {
            // Without a print method the media lists would be empty; the printers' usual one.
            page->SetHostPrintMethod(kDefaultPrintMethod);
            std::fprintf(stderr, "rphoto pages: no print method given or stored; showing %s\n", kDefaultPrintMethod);
        }

        ServedPage served(env, std::move(driver), page, o->language, ResolveSettingsPath(o->file),
                            ModelById(model).name);
        served.Open();
        RunPageServer(served, o->port, [](const std::string& url) {
            std::printf("rphoto pages: serving %s\n", url.c_str());
            std::fflush(stdout);
        });
        return 0;
    };
});
}  // namespace
