// Processes of the printer-application tests: run in a temporary folder with its own HOME, as
// user nobody when the tests run as root, always bounded in time.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace printerapp_test {
using Args = std::vector<std::string>;

// A temporary folder owned by the process user, removed with everything in it.
struct TempFolder {
    TempFolder();
    ~TempFolder();
    std::string Sub(const std::string& name) const;  // a sub-folder, created for the process user
    std::string path;
};

Args ProcessEnvironment(const std::string& home);  // HOME, XDG_CONFIG_HOME and TMPDIR in `home`
// Starts `argv` in a process group of its own, output into `log`; it dies with the test.
pid_t Start(const Args& argv, const Args& env, const std::string& log);
void Stop(pid_t pid);
// The exit status, or -1 when it ran past `seconds` (it is then killed).
int RunBounded(const Args& argv, const Args& env, const std::string& log, int seconds);
int FreePort();
bool WaitForPort(int port, int seconds);
std::string ReadText(const std::string& path);
}  // namespace printerapp_test
