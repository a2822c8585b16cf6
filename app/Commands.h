// Registry of the `rphoto` sub-commands: each command file registers itself.
#pragma once
#include <CLI/CLI.hpp>

#include <functional>
#include <string>

// Adds a sub-command to the app; the returned callback runs it and gives the exit code.
using CommandSetup = std::function<std::function<int()>(CLI::App& app)>;

// Registers a command at static-initialisation time: static bool r = RegisterCommand(...).
bool RegisterCommand(const std::string& name, int order, CommandSetup setup);

// Thrown by commands for a one-line error and exit code 1 (or `code`).
struct CommandError {
    std::string message;
    int code = 1;
};
