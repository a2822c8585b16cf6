// rphoto: the embedded host of the R2000/R3000 driver module and its tools.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "app/Commands.h"
#include "app/OutputFile.h"

namespace {
constexpr int kUsageError = 2;

struct Entry {
    std::string name;
    CommandSetup setup;
};
std::multimap<int, Entry>& Registry()
{
    static std::multimap<int, Entry> r;
    return r;
}

// Command-line conventions every command shares: an option takes one value per occurrence
// (so `--set A=1 PLANE` leaves PLANE a plane), and an option of a command is accepted after
// the words of its own sub-commands (`settings show --settings F`).
void ApplyConventions(CLI::App& app)
{
    for (CLI::Option* opt : app.get_options())
        if (!opt->get_positional()) opt->allow_extra_args(false);
    for (CLI::App* sub : app.get_subcommands({})) {
        sub->fallthrough();
        ApplyConventions(*sub);
    }
}

bool IsCommand(const std::string& word)
{
    for (const auto& [order, e] : Registry())
        if (e.name == word) return true;
    return false;
}

// `--settings FILE` given before the command word belongs to the command.
std::vector<std::string> MoveSettingsAfterCommand(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> moved;
    size_t i = 0;
    while (i < args.size() && args[i].rfind("-", 0) == 0) {
        if (args[i] == "--settings" && i + 1 < args.size()) {
            moved.insert(moved.end(), {args[i], args[i + 1]});
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        } else if (args[i].rfind("--settings=", 0) == 0) {
            moved.push_back(args[i]);
            args.erase(args.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    if (i < args.size() && IsCommand(args[i]))
        args.insert(args.begin() + static_cast<long>(i) + 1, moved.begin(), moved.end());
    else
        args.insert(args.begin() + static_cast<long>(i), moved.begin(), moved.end());
    return args;
}

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "rphoto: %s (see rphoto --help)\n", message.c_str());
    return kUsageError;
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
    RemoveTempFilesOnSignals();
    CLI::App app{"rphoto: Epson Stylus Photo R2000/R3000 driver host and tools", "rphoto"};
    app.set_version_flag("--version", std::string("rphoto ") + RPHOTO_VERSION);
    app.require_subcommand(1);
    std::vector<std::pair<CLI::App*, std::function<int()>>> runners;
    std::string names;
    for (auto& [order, e] : Registry()) {
        CLI::App* sub = app.add_subcommand(e.name);
        runners.emplace_back(sub, e.setup(*sub));
        names += (names.empty() ? "" : ", ") + e.name;
    }
    ApplyConventions(app);
    std::vector<std::string> args = MoveSettingsAfterCommand(argc, argv);
    if (!args.empty() && args[0].rfind("-", 0) != 0 && !IsCommand(args[0]))
        return UsageError("unknown command '" + args[0] + "' (commands: " + names + ")");
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return UsageError(e.what());
    }
    for (auto& [sub, run] : runners) {
        if (!sub->parsed()) continue;
        try {
            const int code = run();
            FlushStdoutOrThrow();
            return code;
        } catch (const CommandError& e) {
            std::fflush(stdout);
            std::fprintf(stderr, "rphoto: %s\n", e.message.c_str());
            return e.code;
        } catch (const std::exception& e) {
            std::fflush(stdout);
            std::fprintf(stderr, "rphoto: %s\n", e.what());
            return 1;
        }
    }
    return 1;
}
