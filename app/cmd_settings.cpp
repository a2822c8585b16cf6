// `rphoto settings`: show, get, set and unset keys of the settings file.
#include <cstdio>
#include <memory>

#include "app/Commands.h"
#include "app/SettingsFile.h"

namespace {
struct Options {
    std::string file;
    std::string key;
    std::vector<std::string> assignments;
    std::vector<std::string> keys;
};

bool registered = RegisterCommand("settings", 10, [](CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.description("Show or change the settings store (an INI file of 'key = value' lines)");
    app.add_option("--settings", o->file, "Settings file (default: " + DefaultSettingsPath() + ")");
    CLI::App* show = app.add_subcommand("show", "List every key and value");
    CLI::App* get = app.add_subcommand("get", "Print one key's value");
    get->add_option("KEY", o->key)->required();
    CLI::App* set = app.add_subcommand("set", "Set keys and save the file");
    set->add_option("KEY=VALUE", o->assignments)->required();
    CLI::App* unset = app.add_subcommand("unset", "Remove keys and save the file");
    unset->add_option("KEY", o->keys)->required();
    app.require_subcommand(0, 1);
    return [o, show, get, set, unset]() -> int {
        if (set->parsed() || unset->parsed()) {
            SettingsPatch patch = AssignmentPatch(o->assignments);
            for (const std::string& k : o->keys) patch[k] = std::nullopt;
            UpdateSettingsOrThrow(o->file, patch);
            return 0;
        }
        CPrintEnv env;
        LoadSettingsOrThrow(env, o->file);
        if (get->parsed()) {
            if (!env.Has(o->key.c_str()))
                throw CommandError{o->key + " is not set in " + ResolveSettingsPath(o->file)};
            std::printf("%s\n", env.GetString(o->key.c_str(), "").GetString());
            return 0;
        }
        (void)show;
        for (const auto& [k, v] : env.Values()) std::printf("%s = %s\n", k.c_str(), v.c_str());
        return 0;
    };
});
}  // namespace
