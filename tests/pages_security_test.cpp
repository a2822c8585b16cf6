// `rphoto pages` on loopback answers only its own page: real requests to a real server.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int Connect(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval limit{6, 0};  // longer than the server's deadline for a request
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 ? s : (::close(s), -1);
}

// The status of the server's answer to a raw request; 0 when none came.
int StatusOf(int port, const std::string& request)
{
    const int s = Connect(port);
    std::string answer(12, '\0');
    ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
    const ssize_t n = ::recv(s, answer.data(), answer.size(), MSG_WAITALL);
    ::close(s);
    return n == 12 && answer.rfind("HTTP/1.1 ", 0) == 0 ? std::stoi(answer.substr(9)) : 0;
}

class PageServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("rphoto-pagesec-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        settings = (dir / "settings.ini").string();
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        server = ::fork();
        if (server == 0) {
            ::dup2(out[1], 1);
            const std::string rphoto = std::string(RPHOTO_BIN_DIR) + "/rphoto";
            ::execl(rphoto.c_str(), "rphoto", "pages", "--model", "r2000", "--method", "1440x720", "--settings",
                    settings.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        std::string line;
        char c;
        while (line.find('\n') == std::string::npos && ::read(out[0], &c, 1) == 1) line += c;
        ::close(out[0]);
        std::smatch m;
        ASSERT_TRUE(std::regex_search(line, m, std::regex("http://127\\.0\\.0\\.1:(\\d+)/#secret=([0-9a-f]{64})")))
            << line;
        port = std::stoi(m[1]);
        origin = "http://127.0.0.1:" + m[1].str();
        secret = m[2];
    }
    void TearDown() override
    {
        ::kill(server, SIGTERM);
        ::waitpid(server, nullptr, 0);
        fs::remove_all(dir);
    }
    std::string Get(const std::string& headers) const
    {
        return "GET /api/state HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n" + headers + "\r\n";
    }
    std::string Post(const std::string& path, const std::string& headers, const std::string& body) const
    {
        return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\n" + headers +
               "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    }

    fs::path dir;
    std::string settings, origin, secret;
    pid_t server = -1;
    int port = 0;
};

TEST_F(PageServer, AnswersOnlyItsOwnPage)
{
    const std::string key = "X-RPhoto-Secret: " + secret + "\r\n";
    const std::string json = "Content-Type: application/json\r\n";
    const std::string own = "Origin: " + origin + "\r\n";
    const std::string click = R"({"id":1108,"action":"click"})";  // the Matte ink button
    const struct {
        const char* what;
        std::string request;
        int status;
    } cases[] = {
        {"the page's state", Get(key), 200},
        {"no secret", Get(""), 403},
        {"a wrong secret", Get("X-RPhoto-Secret: " + std::string(64, '0') + "\r\n"), 403},
        {"a rebound host name", "GET /api/state HTTP/1.1\r\nHost: evil.example\r\n" + key + "\r\n", 403},
        {"another origin", Post("/api/event", key + json + "Origin: http://evil.example\r\n", click), 403},
        {"a text/plain body", Post("/api/event", key + own + "Content-Type: text/plain\r\n", click), 415},
        {"OK without the secret", Post("/api/ok", json + own, "{}"), 403},
        {"quit without the secret", Post("/api/quit", json, "{}"), 403},
        {"a 400 MB body", Post("/api/event", key + json + "Content-Length: 400000000\r\n", ""), 413},
        {"a click from the page", Post("/api/event", key + json + own, click), 200},
    };
    for (const auto& c : cases) EXPECT_EQ(StatusOf(port, c.request), c.status) << c.what;
    EXPECT_FALSE(fs::exists(settings)) << "nothing may have saved the settings";
}

TEST_F(PageServer, SlowAndSurplusConnectionsCannotStallIt)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::vector<int> slow;  // each sends part of its headers, then nothing
    for (int i = 0; i < 17; ++i) {
        slow.push_back(Connect(port));
        ::send(slow.back(), "GET /api/state HTTP/1.1\r\n", 25, MSG_NOSIGNAL);
    }
    EXPECT_EQ(StatusOf(port, Get("X-RPhoto-Secret: " + secret + "\r\n")), 503) << "over the connection limit";
    char c;
    for (int s : slow) {
        const ssize_t n = ::recv(s, &c, 1, 0);
        EXPECT_TRUE(n >= 0 || errno != EAGAIN) << "answered and closed, not still waiting for headers";
        ::close(s);
    }
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(StatusOf(port, Get("X-RPhoto-Secret: " + secret + "\r\n")), 200);
}

}  // namespace
