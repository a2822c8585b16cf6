// Processes of the printer-application tests: started in a temporary folder with its own HOME,
// as user nobody when the tests run as root, and always bounded in time.
#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace printerapp_test {

constexpr uid_t kNobody = 65534;

// A temporary folder, owned by the user the processes run as; removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return m_path; }
    // A sub-folder, created and handed to the process user.
    std::string Sub(const std::string& name) const;

private:
    std::string m_path;
};

// The environment every process gets: HOME, XDG_CONFIG_HOME and TMPDIR inside `home`.
std::vector<std::string> ProcessEnvironment(const std::string& home);

// Starts `argv` with stdout and stderr into `log`; the process is its own group.
pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& log);
// Stops a started process group (TERM, then KILL after a few seconds) and reaps it.
void Stop(pid_t pid);
// Runs `argv` to the end or until `seconds` pass (then kills it); the exit status, -1 on timeout.
int RunBounded(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& log, int seconds);

// A TCP port on 127.0.0.1 that nothing listened on a moment ago.
int FreePort();
// Waits until 127.0.0.1:`port` accepts connections; false after `seconds`.
bool WaitForPort(int port, int seconds);
std::string ReadText(const std::string& path);

}  // namespace printerapp_test
