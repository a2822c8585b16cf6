// `rphoto pages` on loopback answers only its own page: real requests to a real server.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace {

int Connect(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const timeval limit{6, 0};  // longer than the server's deadline for a request
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    sockaddr_in a{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return s;
}

// The status of the server's answer to a raw request; 0 when none came.
int StatusOf(int port, const std::string& request)
{
    const int s = Connect(port);
    char answer[13] = "";
    ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
    const bool answered = ::recv(s, answer, 12, MSG_WAITALL) == 12;
    ::close(s);
    return answered ? std::atoi(answer + 9) : 0;
}

TEST(PageServer, AnswersOnlyItsOwnPageAndCannotBeStalled)
{
    char dir[] = "/tmp/rphoto-pagesec-XXXXXX";
    ASSERT_TRUE(::mkdtemp(dir));
    const std::string settings = std::string(dir) + "/settings.ini";
    FILE* server = ::popen(("exec timeout 60 '" RPHOTO_BIN_DIR "/rphoto' pages --model r2000 --method 1440x720 "
                            "--settings '" + settings + "'").c_str(), "r");
    char line[256] = "";
    ASSERT_TRUE(std::fgets(line, sizeof line, server));
    std::cmatch m;
    ASSERT_TRUE(std::regex_search(line, m, std::regex("127\\.0\\.0\\.1:(\\d+)/#secret=([0-9a-f]{64})"))) << line;
    const int port = std::stoi(m[1]);
    const std::string host = "Host: 127.0.0.1:" + m[1].str() + "\r\n", key = "X-RPhoto-Secret: " + m[2].str() + "\r\n";
    const std::string json = "Content-Type: application/json\r\n", own = "Origin: http://127.0.0.1:" + m[1].str() + "\r\n";
    const auto post = [&](const std::string& path, const std::string& headers, const std::string& body) {
        return "POST " + path + " HTTP/1.1\r\n" + host + headers + "Content-Length: " + std::to_string(body.size()) +
               "\r\n\r\n" + body;
    };
    const std::string state = "GET /api/state HTTP/1.1\r\n" + host + key + "\r\n";
    const std::string click = R"({"id":1108,"action":"click"})";  // the Matte ink button
    const std::pair<std::string, int> cases[] = {
        {state, 200},
        {"GET /api/state HTTP/1.1\r\n" + host + "\r\n", 403},  // no secret
        {"GET /api/state HTTP/1.1\r\n" + host + "X-RPhoto-Secret: " + std::string(64, '0') + "\r\n\r\n", 403},
        {"GET /api/state HTTP/1.1\r\nHost: evil.example\r\n" + key + "\r\n", 403},  // a name rebound to us
        {post("/api/event", key + json + "Origin: http://evil.example\r\n", click), 403},
        {post("/api/event", key + own + "Content-Type: text/plain\r\n", click), 415},
        {post("/api/ok", json + own, "{}"), 403},
        {"POST /api/event HTTP/1.1\r\n" + host + key + json + "Content-Length: 400000000\r\n\r\n", 413},
        {post("/api/event", key + json + own, click), 200},
    };
    for (const auto& [request, status] : cases) EXPECT_EQ(StatusOf(port, request), status) << request;

    // Slow connections (part of the headers, then nothing) beyond the limit: the surplus is
    // refused at once, and all are cut (the deadline is 3 s; the bound leaves room for a busy machine).
    const auto start = std::chrono::steady_clock::now();
    std::vector<int> slow;
    for (int i = 0; i < 17; ++i) {
        slow.push_back(Connect(port));
        ::send(slow.back(), state.data(), 25, MSG_NOSIGNAL);
    }
    EXPECT_EQ(StatusOf(port, state), 503);
    for (int s : slow) {
        char c;
        EXPECT_FALSE(::recv(s, &c, 1, 0) < 0 && errno == EAGAIN) << "still waiting for headers";
        ::close(s);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(StatusOf(port, state), 200);
    EXPECT_EQ(StatusOf(port, post("/api/quit", key + json, "{}")), 200);
    ::pclose(server);
    EXPECT_FALSE(std::filesystem::exists(settings)) << "nothing may have saved the settings";
    std::filesystem::remove_all(dir);
}

}  // namespace
