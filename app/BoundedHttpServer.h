// An HTTP server whose resources a client cannot tie up: at most kMaxConnections connections
// open (more are answered 503 and closed at once), a few worker threads, one request per
// connection, and a deadline for receiving each whole request (headers and body) as well as
// cpp-httplib's own per-read timeout and body size limit.
#pragma once
#include <httplib.h>

#include <atomic>
#include <chrono>

class BoundedHttpServer : public httplib::Server {
public:
    static constexpr int kWorkers = 4;
    static constexpr int kMaxConnections = 16;
    static constexpr std::chrono::milliseconds kRequestDeadline{3000};
    static constexpr std::chrono::milliseconds kWriteTimeout{3000};
    static constexpr size_t kMaxBodyBytes = 64 * 1024;

    BoundedHttpServer();

private:
    // Serves one request within the deadline; a connection over the limit is refused unread.
    bool process_and_close_socket(socket_t sock) override;

    std::atomic<int> m_open{0};  // connections accepted and not yet closed
};
