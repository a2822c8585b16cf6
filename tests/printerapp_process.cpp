#include "printerapp_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace printerapp_test {
namespace {
bool Root() { return geteuid() == 0; }

void GiveAway(const std::string& path)
{
    if (Root() && chown(path.c_str(), kNobody, kNobody) != 0) std::perror(path.c_str());
}

// Waits for `pid` up to `seconds`; the exit status, or -1 when it did not end in time.
int Wait(pid_t pid, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
}  // namespace

TempFolder::TempFolder()
{
    char pattern[] = "/tmp/rphoto-printer-app-test-XXXXXX";
    m_path = mkdtemp(pattern) ? pattern : "";
    GiveAway(m_path);
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    if (!m_path.empty()) fs::remove_all(m_path, ec);
}

std::string TempFolder::Sub(const std::string& name) const
{
    const std::string path = m_path + "/" + name;
    fs::create_directories(path);
    GiveAway(path);
    return path;
}

std::vector<std::string> ProcessEnvironment(const std::string& home)
{
    return {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config", "TMPDIR=" + home, "PATH=/usr/sbin:/usr/bin:/sbin:/bin",
            "LANG=C.UTF-8"};
}

pid_t Start(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& log)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // a test killed by its timeout leaves no server behind
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) {
        dup2(fd, 1);
        dup2(fd, 2);
    }
    if (Root() && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
    std::vector<char*> args, vars;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& v : env) vars.push_back(const_cast<char*>(v.c_str()));
    args.push_back(nullptr);
    vars.push_back(nullptr);
    execve(args[0], args.data(), vars.data());
    _exit(127);
}

void Stop(pid_t pid)
{
    if (pid <= 0) return;
    kill(-pid, SIGTERM);
    if (Wait(pid, 10) < 0) {
        kill(-pid, SIGKILL);
        Wait(pid, 5);
    }
}

int RunBounded(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& log, int seconds)
{
    const pid_t pid = Start(argv, env, log);
    const int status = Wait(pid, seconds);
    if (status < 0) {
        kill(-pid, SIGKILL);
        Wait(pid, 5);
    }
    return status;
}

int FreePort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool WaitForPort(int port, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool up = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(s);
        if (up) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace printerapp_test
