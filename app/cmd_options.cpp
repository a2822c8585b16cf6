// `rphoto options`: shows a model's device options as the device parameters load them, and
// changes them through the device parameters' Save.
#include <cstdio>
#include <memory>
#include <utility>

#include "app/Commands.h"
#include "app/MediaNames.h"
#include "app/ModuleLoader.h"
#include "app/OptionCatalog.h"
#include "app/OptionChecks.h"
#include "app/SettingsFile.h"
#include "host/DevParms.h"

namespace {
struct Options {
    std::string model;
    std::string file;
    std::string module;
    std::vector<std::string> sets;
    bool listMedia = false;
};

struct Change {
    std::string key;  // with the model prefix
    std::string value;
};

// Checks every NAME=VALUE before anything is stored; throws on the first bad one.
std::vector<Change> CheckChanges(int modelId, const std::vector<std::string>& sets)
{
    const ModelOptions& m = OptionsOfModel(modelId);
    std::vector<Change> changes;
    for (const std::string& a : sets) {
        const size_t eq = a.find('=');
        if (eq == std::string::npos || eq == 0) throw CommandError{"'" + a + "': expected NAME=VALUE"};
        const std::string name = a.substr(0, eq);
        const std::string value = CanonicalOptionValue(modelId, name, a.substr(eq + 1));
        if (name == "nInkLevels" && m.inkLevelsFromMethod)
            throw CommandError{"nInkLevels comes from the print method's parameters and cannot be set"};
        const DeviceOption* option = FindOption(m, name);
        if (!option) throw CommandError{"'" + name + "' is not a device option of the " + m.model};
        const std::string why = CheckValue(*option, value);
        if (!why.empty()) throw CommandError{name + "=" + value + ": " + why};
        const std::string bare = name.compare(0, 4, m.prefix) == 0 ? name.substr(4) : name;
        changes.push_back({m.prefix + bare, value});
    }
    return changes;
}

// The driver for `store`, whose host base has loaded the device options from it.
DriverPtr CreateDriver(const DriverModule& mod, CPrintEnv* store)
{
    DriverPtr driver(mod.Create(store));
    CPrinterDriverBase* base = driver ? AsDriverBase(driver.get()) : nullptr;
    if (!base || !base->m_pDevParms) throw CommandError{"the driver module gave no driver for model " +
                                                        std::to_string(store->GetInt(PrEnv_UID))};
    return driver;
}

// What the device parameters hold after loading `store`: everything their Save writes.
CPrintEnv SavedOptions(const DriverModule& mod, const CPrintEnv& store)
{
    CPrintEnv scratch = store;
    DriverPtr driver = CreateDriver(mod, &scratch);
    scratch.Clear();
    AsDriverBase(driver.get())->m_pDevParms->Save(&scratch);
    return scratch;
}

void Show(const ModelOptions& m, const CPrintEnv& saved, const CPrintEnv& store)
{
    std::printf("%s device options\n", m.model);
    for (int i = 0; i < m.count; ++i) {
        const DeviceOption& o = m.options[i];
        const std::string value = saved.GetString((std::string(m.prefix) + o.name).c_str(), "").str();
        std::printf("  %s = %s\n", o.name, Describe(o, value).c_str());
    }
    std::string marked;
    int count = 0;
    for (int n = 0; n < kBrokenNozzleCount; ++n) {
        const std::string key = std::string(m.prefix) + "bBrokenNozzle_" + std::to_string(n);
        if (saved.GetInt(key.c_str(), 0) == 0) continue;
        marked += (count++ ? ", " : "") + std::to_string(n);
    }
    if (count == 0) std::printf("  bBrokenNozzle_0 to bBrokenNozzle_179: none marked\n");
    else std::printf("  bBrokenNozzle_0 to bBrokenNozzle_179: %d marked (%s)\n", count, marked.c_str());
    if (m.inkLevelsFromMethod)
        std::printf("  nInkLevels = %d (from print method \"%s\"; not stored)\n", saved.GetInt(PrEnv_InkLevels),
                    store.GetString(PrEnv_PrintMethod).GetString());
}

bool registered = RegisterCommand("options", 20, [](CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.description("Show or change a model's device options in the settings file");
    app.add_option("--model", o->model, "r2000 or r3000")->required();
    app.add_option("--settings", o->file, "Settings file (default: " + DefaultSettingsPath() + ")");
    app.add_option("--set", o->sets, "Change an option (NAME=VALUE, repeatable); the file is saved");
    app.add_option("--module", o->module, "Driver module to load");
    app.add_flag("--list-media", o->listMedia, "List the media of the model's own table (the names --paper takes)");
    return [o]() -> int {
        const int modelId = ModelIdFromName(o->model);
        if (o->listMedia) {
            for (const std::string& name : ModelMediaNames(modelId)) std::printf("%s\n", name.c_str());
            return 0;
        }
        const ModelOptions& m = OptionsOfModel(modelId);
        CPrintEnv store;
        LoadSettingsOrThrow(store, o->file);
        const std::vector<Change> changes = CheckChanges(modelId, o->sets);

        DriverModule mod(o->module);
        store.PutInt(PrEnv_UID, modelId);
        if (!changes.empty()) {
            // Only what differs from what the file gives now is written, and the named options.
            const CPrintEnv before = SavedOptions(mod, store);
            for (const Change& c : changes) store.PutString(c.key.c_str(), c.value.c_str());
            const CPrintEnv after = SavedOptions(mod, store);
            SettingsPatch patch = DiffStores(before, after);
            for (const Change& c : changes) patch[c.key] = after.GetString(c.key.c_str(), c.value.c_str()).str();
            UpdateSettingsOrThrow(o->file, patch);
        }
        Show(m, SavedOptions(mod, store), store);
        return 0;
    };
});
}  // namespace
