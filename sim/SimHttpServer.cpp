#include "sim/SimHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// Waits until the socket is ready for `events`, the deadline passes or the
// server stops (checked every few milliseconds).
bool waitFor(int sock, short events, Clock::time_point deadline, const std::function<bool()>& stopping) {
    constexpr auto kSlice = std::chrono::milliseconds(20);
    for (;;) {
        if (stopping()) return false;
        auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return false;
        auto slice = std::min<Clock::duration>(left, kSlice);
        pollfd p{sock, events, 0};
        int rc = ::poll(&p, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(slice).count()));
        if (rc > 0) return (p.revents & (events | POLLHUP | POLLERR)) != 0;
        if (rc < 0 && errno != EINTR) return false;
    }
}

void addressOf(int sock, bool peer, std::string& ip, int& port) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    int rc = peer ? ::getpeername(sock, reinterpret_cast<sockaddr*>(&addr), &len)
                  : ::getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len);
    if (rc != 0) return;
    char text[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        auto* a = reinterpret_cast<sockaddr_in*>(&addr);
        ::inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
        port = ntohs(a->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&addr);
        ::inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
        port = ntohs(a->sin6_port);
    }
    ip = text;
}

// One connection's stream: buffered reads against the request's deadline,
// writes each within the write timeout.
class DeadlineStream : public httplib::Stream {
public:
    DeadlineStream(int sock, const SimHttpLimits& limits, std::function<bool()> stopping)
        : sock_(sock), limits_(limits), stopping_(std::move(stopping)) {}

    void beginRequest() { deadline_ = after(limits_.readTimeout); }

    bool is_readable() const override { return begin_ < end_ || waitFor(sock_, POLLIN, deadline_, stopping_); }
    bool is_writable() const override { return waitFor(sock_, POLLOUT, after(limits_.writeTimeout), stopping_); }

    ssize_t read(char* ptr, size_t size) override {
        if (begin_ == end_) {
            if (!waitFor(sock_, POLLIN, deadline_, stopping_)) return -1;
            ssize_t n = ::recv(sock_, buffer_, sizeof buffer_, 0);
            if (n <= 0) return n;
            begin_ = 0;
            end_ = static_cast<size_t>(n);
        }
        size_t n = std::min(size, end_ - begin_);
        std::memcpy(ptr, buffer_ + begin_, n);
        begin_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        if (!is_writable()) return -1;
        return ::send(sock_, ptr, size, MSG_NOSIGNAL);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, false, ip, port); }
    socket_t socket() const override { return sock_; }

    bool hasBuffered() const { return begin_ < end_; }

private:
    int sock_;
    const SimHttpLimits& limits_;
    std::function<bool()> stopping_;
    Clock::time_point deadline_ = Clock::now();
    char buffer_[4096];
    size_t begin_ = 0, end_ = 0;
};

thread_local bool* tCloseAfterReply = nullptr;

}  // namespace

SimHttpServer::SimHttpServer(SimHttpLimits limits) : limits_(limits) {
    auto seconds = [](double s) { return std::chrono::duration<double>(s); };
    set_read_timeout(seconds(limits_.readTimeout));
    set_write_timeout(seconds(limits_.writeTimeout));
    set_keep_alive_max_count(limits_.keepAliveMaxCount);
    set_tcp_nodelay(true);  // headers and body go out at once, no Nagle wait
    const size_t max = limits_.maxConnections;
    new_task_queue = [max] { return new SimConnectionPool(max); };
}

void SimHttpServer::widenBacklog(int backlog) {
    socket_t sock = svr_sock_;
    if (sock != INVALID_SOCKET) ::listen(sock, backlog);
}

void SimHttpServer::closeAfterReply() {
    if (tCloseAfterReply) *tCloseAfterReply = true;
}

bool SimHttpServer::process_and_close_socket(socket_t sock) {
    DeadlineStream stream(sock, limits_, [this] { return stopping(); });
    bool closeAfter = false;
    tCloseAfterReply = &closeAfter;
    bool served = false;
    for (size_t count = 0; count < limits_.keepAliveMaxCount; ++count) {
        // The first request is awaited as long as one may take to arrive, the
        // next ones as long as an idle connection is kept.
        const double wait = count == 0 ? limits_.readTimeout : limits_.keepAlive;
        if (!stream.hasBuffered() && !waitFor(sock, POLLIN, after(wait), [this] { return stopping(); })) break;
        stream.beginRequest();
        const bool last = limits_.keepAlive <= 0 || count + 1 == limits_.keepAliveMaxCount;
        bool closedByClient = false;
        served = process_request(stream, last, closedByClient, nullptr);
        if (!served || closedByClient || closeAfter || last) break;
    }
    tCloseAfterReply = nullptr;
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
}

SimConnectionPool::SimConnectionPool(size_t maxThreads) : max_(std::max<size_t>(maxThreads, 1)) {}

SimConnectionPool::~SimConnectionPool() { shutdown(); }

void SimConnectionPool::enqueue(std::function<void()> fn) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(fn));
    if (jobs_.size() > idle_ && threads_.size() < max_) threads_.emplace_back([this] { work(); });
    ready_.notify_one();
}

void SimConnectionPool::shutdown() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        shutdown_ = true;
        threads.swap(threads_);
    }
    ready_.notify_all();
    for (auto& t : threads) t.join();
}

void SimConnectionPool::work() {
    for (;;) {
        std::function<void()> fn;
        {
            std::unique_lock lock(mutex_);
            ++idle_;
            ready_.wait(lock, [&] { return !jobs_.empty() || shutdown_; });
            --idle_;
            if (jobs_.empty()) return;  // shut down with nothing left
            fn = std::move(jobs_.front());
            jobs_.pop_front();
        }
        fn();
    }
}
