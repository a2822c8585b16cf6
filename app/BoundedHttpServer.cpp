#include "app/BoundedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
using Clock = std::chrono::steady_clock;

// The connection a thread is about to serve: when it was accepted (its deadline counts from
// then, queued or not) and whether it is over the limit.
struct Accepted {
    Clock::time_point when;
    bool refuse = false;
};
thread_local Accepted t_connection;

// The worker pool, counting the connections it holds; over the limit a connection is refused at
// once in the accepting thread instead of waiting for a worker.
class CountingPool : public httplib::ThreadPool {
public:
    explicit CountingPool(std::atomic<int>& open) : ThreadPool(BoundedHttpServer::kWorkers), m_open(open) {}
    void enqueue(std::function<void()> fn) override
    {
        const Accepted accepted{Clock::now(), ++m_open > BoundedHttpServer::kMaxConnections};
        if (accepted.refuse) {
            t_connection = accepted;
            fn();
            return;
        }
        ThreadPool::enqueue([fn = std::move(fn), accepted] {
            t_connection = accepted;
            fn();
        });
    }

private:
    std::atomic<int>& m_open;
};

bool WaitFor(int sock, short events, int timeoutMs)
{
    pollfd p{sock, events, 0};
    int rc;
    while ((rc = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs)) < 0 && errno == EINTR) {
    }
    return rc > 0;
}

void Address(int sock, bool peer, std::string& ip, int& port)
{
    sockaddr_in a{};
    socklen_t len = sizeof a;
    const int rc = peer ? ::getpeername(sock, reinterpret_cast<sockaddr*>(&a), &len)
                        : ::getsockname(sock, reinterpret_cast<sockaddr*>(&a), &len);
    char text[INET_ADDRSTRLEN] = "";
    if (rc == 0 && a.sin_family == AF_INET) ::inet_ntop(AF_INET, &a.sin_addr, text, sizeof text);
    ip = text;
    port = rc == 0 ? ntohs(a.sin_port) : 0;
}

// A connection's socket for cpp-httplib's request processing: every read waits at most until the
// request's deadline, every write at most the write timeout.
class DeadlineStream : public httplib::Stream {
public:
    DeadlineStream(int sock, Clock::time_point deadline) : m_sock(sock), m_deadline(deadline) {}

    bool is_readable() const override { return m_pos < m_len || WaitFor(m_sock, POLLIN, RemainingMs()); }
    bool is_writable() const override
    {
        return WaitFor(m_sock, POLLOUT, static_cast<int>(BoundedHttpServer::kWriteTimeout.count()));
    }
    ssize_t read(char* ptr, size_t size) override
    {
        if (m_pos == m_len) {
            if (!is_readable()) return -1;
            const ssize_t n = ::recv(m_sock, m_buf, sizeof m_buf, 0);
            if (n <= 0) return n;
            m_pos = 0;
            m_len = static_cast<size_t>(n);
        }
        const size_t n = std::min(size, m_len - m_pos);
        std::memcpy(ptr, m_buf + m_pos, n);
        m_pos += n;
        return static_cast<ssize_t>(n);
    }
    ssize_t write(const char* ptr, size_t size) override
    {
        if (!is_writable()) return -1;
        return ::send(m_sock, ptr, size, MSG_NOSIGNAL);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(m_sock, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { Address(m_sock, false, ip, port); }
    socket_t socket() const override { return m_sock; }

private:
    int RemainingMs() const
    {
        return static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now()).count());
    }

    int m_sock;
    Clock::time_point m_deadline;
    char m_buf[4096];
    size_t m_pos = 0, m_len = 0;
};
}  // namespace

BoundedHttpServer::BoundedHttpServer()
{
    new_task_queue = [this] { return new CountingPool(m_open); };
    set_payload_max_length(kMaxBodyBytes);
    set_keep_alive_max_count(1);
}

bool BoundedHttpServer::process_and_close_socket(socket_t sock)
{
    bool served = false;
    if (t_connection.refuse) {
        static const char kBusy[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        (void)::send(sock, kBusy, sizeof kBusy - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    } else {
        DeadlineStream stream(sock, t_connection.when + kRequestDeadline);
        bool closed = false;
        served = process_request(stream, true, closed, nullptr);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    --m_open;
    return served;
}
