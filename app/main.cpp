// rphoto: the embedded host of the R2000/R3000 driver module and its tools.
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "app/Commands.h"

namespace {
struct Entry {
    std::string name;
    CommandSetup setup;
};
std::multimap<int, Entry>& Registry()
{
    static std::multimap<int, Entry> r;
    return r;
}
}  // namespace

bool RegisterCommand(const std::string& name, int order, CommandSetup setup)
{
    Registry().emplace(order, Entry{name, std::move(setup)});
    return true;
}

int main(int argc, char** argv)
{
    std::signal(SIGPIPE, SIG_IGN);  // a closed pipe is a failed write, not a dead process
    CLI::App app{"rphoto: Epson Stylus Photo R2000/R3000 driver host and tools"};
    app.set_version_flag("--version", std::string("rphoto ") + RPHOTO_VERSION);
    app.require_subcommand(1);
    std::vector<std::pair<CLI::App*, std::function<int()>>> runners;
    for (auto& [order, e] : Registry()) {
        CLI::App* sub = app.add_subcommand(e.name);
        runners.emplace_back(sub, e.setup(*sub));
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    for (auto& [sub, run] : runners) {
        if (!sub->parsed()) continue;
        try {
            return run();
        } catch (const CommandError& e) {
            std::fprintf(stderr, "rphoto: %s\n", e.message.c_str());
            return e.code;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "rphoto: %s\n", e.what());
            return 1;
        }
    }
    return 1;
}
