#include "printerapp_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace printerapp_test {
namespace {
constexpr uid_t kNobody = 65534;
using Clock = std::chrono::steady_clock;

void GiveAway(const std::string& path)
{
    if (geteuid() == 0 && chown(path.c_str(), kNobody, kNobody) != 0) std::perror(path.c_str());
}

int Wait(pid_t pid, int seconds)
{
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A TCP socket and 127.0.0.1:port.
int Loopback(int port, sockaddr_in* a)
{
    *a = sockaddr_in{};
    a->sin_family = AF_INET;
    a->sin_port = htons(static_cast<uint16_t>(port));
    a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return socket(AF_INET, SOCK_STREAM, 0);
}
}  // namespace

TempFolder::TempFolder()
{
    char pattern[] = "/tmp/rphoto-printer-app-test-XXXXXX";
    path = mkdtemp(pattern) ? pattern : "";
    GiveAway(path);
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}

std::string TempFolder::Sub(const std::string& name) const
{
    const std::string sub = path + "/" + name;
    std::filesystem::create_directories(sub);
    GiveAway(sub);
    return sub;
}

Args ProcessEnvironment(const std::string& home)
{
    // Under the sanitizers, what PAPPL and CUPS leave allocated at exit is theirs, not a fault.
    return {"HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config", "TMPDIR=" + home, "PATH=/usr/sbin:/usr/bin:/bin",
            "LANG=C.UTF-8", "ASAN_OPTIONS=detect_leaks=0"};
}

pid_t Start(const Args& argv, const Args& env, const std::string& log)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // a test killed by its timeout leaves no server behind
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    dup2(fd, 1);
    dup2(fd, 2);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
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
    kill(-pid, SIGTERM);
    if (Wait(pid, 10) < 0 && kill(-pid, SIGKILL) == 0) Wait(pid, 5);
}

int RunBounded(const Args& argv, const Args& env, const std::string& log, int seconds)
{
    const pid_t pid = Start(argv, env, log);
    const int status = Wait(pid, seconds);
    if (status < 0 && kill(-pid, SIGKILL) == 0) Wait(pid, 5);
    return status;
}

int FreePort()
{
    sockaddr_in a;
    const int s = Loopback(0, &a);
    socklen_t len = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

bool WaitForPort(int port, int seconds)
{
    for (const auto end = Clock::now() + std::chrono::seconds(seconds); Clock::now() < end;) {
        sockaddr_in a;
        const int s = Loopback(port, &a);
        const bool up = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(s);
        if (up) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string ReadText(const std::string& path)
{
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}
}  // namespace printerapp_test
