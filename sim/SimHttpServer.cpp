#include "sim/SimHttpServer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimHttpFraming.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after(double seconds) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
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

// A refusal the road answers itself, before any handler: status, reason, a line of text.
std::string refusal(int status, const char* reason, const std::string& text) {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(text.size()) +
           "\r\nConnection: close\r\n\r\n" + text;
}

// Removes the header line of that name from the header block (the first
// `headerBytes` of the request); answers how many bytes went.
size_t dropHeader(std::string& request, size_t headerBytes, std::string_view name) {
    for (size_t at = request.find("\r\n"); at != std::string::npos && at + 2 < headerBytes;
         at = request.find("\r\n", at + 2)) {
        const size_t start = at + 2;
        if (request.size() >= start + name.size() + 1 &&
            strncasecmp(request.data() + start, name.data(), name.size()) == 0 && request[start + name.size()] == ':') {
            const size_t end = request.find("\r\n", start) + 2;
            request.erase(start, end - start);
            return end - start;
        }
    }
    return 0;
}

// One whole request read from memory, its reply written to the socket (each
// write within the write timeout, and not at all once the server stops).
class RequestStream : public httplib::Stream {
public:
    RequestStream(int sock, std::string_view request, double writeTimeout, const std::atomic<bool>& stopping)
        : sock_(sock), request_(request), writeTimeout_(writeTimeout), stopping_(stopping) {}

    bool is_readable() const override { return read_ < request_.size(); }
    bool is_writable() const override { return waitWritable(after(writeTimeout_)); }

    ssize_t read(char* ptr, size_t size) override {
        size_t n = std::min(size, request_.size() - read_);
        std::memcpy(ptr, request_.data() + read_, n);
        read_ += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override {
        size_t sent = 0;
        while (sent < size) {
            ssize_t n = ::send(sock_, ptr + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                sent += size_t(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!waitWritable(after(writeTimeout_))) return -1;
            } else {
                return -1;
            }
        }
        return static_cast<ssize_t>(sent);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { addressOf(sock_, false, ip, port); }
    socket_t socket() const override { return sock_; }

private:
    // Waits for room to write until the deadline or the stop (looked at every few milliseconds).
    bool waitWritable(Clock::time_point deadline) const {
        constexpr auto kSlice = std::chrono::milliseconds(20);
        while (!stopping_) {
            auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero()) return false;
            pollfd p{sock_, POLLOUT, 0};
            auto slice = std::chrono::ceil<std::chrono::milliseconds>(std::min<Clock::duration>(left, kSlice));
            int rc = ::poll(&p, 1, static_cast<int>(slice.count()));
            if (rc > 0) return (p.revents & POLLOUT) != 0;
            if (rc < 0 && errno != EINTR) return false;
        }
        return false;
    }

    int sock_;
    std::string_view request_;
    size_t read_ = 0;
    double writeTimeout_;
    const std::atomic<bool>& stopping_;
};

// The allocator's thresholds held at glibc's starting values, once a process
// serves. Left to themselves they rise with the largest block freed, so that
// after the first 1 MiB body is freed the next ones come from the workers'
// arenas, and each arena keeps up to twice that free at its top, resident:
// malloc_trim gives back the free blocks inside an arena and the main
// arena's top, never another arena's top. Held, a block of 128 KiB or more
// is a mapping of its own, unmapped when freed, and an arena's free top
// beyond 128 KiB goes back when a block next to it is freed.
void holdAllocatorThresholds() {
    static std::once_flag held;
    std::call_once(held, [] {
        constexpr int kThreshold = 128 << 10;
        ::mallopt(M_MMAP_THRESHOLD, kThreshold);
        ::mallopt(M_TRIM_THRESHOLD, kThreshold);
    });
}

// The connections the process's open-file limit leaves room for: three
// quarters of the descriptors still free when the server starts, the rest
// kept for the server's own files (its books: a compaction opens a few) and
// those of the program it serves in (the client's, when embedded). A server
// that took every free descriptor would leave its books none.
size_t connectionsTheFilesAllow() {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
    size_t open = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (const dirent* d = ::readdir(dir)) open += d->d_name[0] != '.';
        ::closedir(dir);
        open -= open > 0;  // the folder's own
    }
    const size_t free = files.rlim_cur > open ? size_t(files.rlim_cur) - open : 0;
    return free / 4 * 3;
}

thread_local bool* tCloseAfterReply = nullptr;

// The queue httplib's accept loop hands each new socket to: it runs the hand
// over at once (the road takes the socket), and its shutdown, when the loop
// ends, stops the road.
class HandOver : public httplib::TaskQueue {
public:
    explicit HandOver(std::function<void()> onShutdown) : onShutdown_(std::move(onShutdown)) {}
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override { onShutdown_(); }

private:
    std::function<void()> onShutdown_;
};

}  // namespace

// ---- the connection road ----

struct SimHttpServer::Road {
    struct Connection {
        Connection(int fd, const SimHttpLimits& limits)
            : fd(fd), framing(limits.maxHeaderBytes, limits.maxBodyBytes), deadline(after(limits.readTimeout)) {}
        enum class Stage { Reading, Handling, Draining };
        int fd;
        std::string in;  // received and not yet handled
        SimHttpFraming framing;
        Clock::time_point deadline;
        bool started = false;     // a byte of the request awaited has come
        bool continued = false;   // "100 Continue" was sent for it
        bool peerClosed = false;  // the client sends no more
        size_t length = 0;        // of the request handed to a worker
        bool lastOne = false;     // it is answered with the connection's close
        size_t held = 0;          // of the bytes all connections hold: this one's buffer
        size_t served = 0;
        Stage stage = Stage::Reading;
    };

    Road(SimHttpServer& server, SimHttpLimits limits);
    ~Road() { shutdown(); }

    void adopt(int fd);
    void shutdown();
    size_t open() const { return openCount.load(); }
    size_t workerCount() const {
        std::lock_guard lock(mutex);
        return workers.size();
    }

    // The road's thread.
    void run();
    void takeNew(std::vector<int> fds);
    void takeBack(Connection* c, bool keep);
    void readFrom(Connection& c);
    bool makeRoom(Connection& c, size_t more);
    void account(Connection& c);
    void giveBack();
    void progress(Connection& c);
    void refuse(Connection& c, int status, const char* reason, const std::string& text);
    void close(int fd);
    void watch(Connection& c);
    void sweepDeadlines();
    // The workers.
    void work();
    Connection* takeJob();
    void serve(Connection& c);

    SimHttpServer& server;
    const SimHttpLimits limits;
    int epoll = -1;
    int wake = -1;
    std::atomic<bool> stopping{false};
    std::atomic<size_t> openCount{0};
    std::thread reactor;

    mutable std::mutex mutex;  // the hand-overs between the threads
    std::condition_variable ready;
    std::vector<int> incoming;
    std::vector<std::pair<Connection*, bool>> returned;
    std::deque<Connection*> jobs;
    size_t handling = 0;  // bytes of the requests the workers handle now
    std::vector<std::thread> workers;
    size_t idle = 0;
    bool shutDown = false;

    // The road's thread only (and the shutdown, once it has ended).
    std::map<int, std::unique_ptr<Connection>> connections;
    size_t buffered = 0;       // the connections' buffers together, read or being handled
    size_t peakSinceTrim = 0;  // the most they held since the memory last went back
};

SimHttpServer::Road::Road(SimHttpServer& s, SimHttpLimits l) : server(s), limits(l) {
    if (limits.holdAllocatorThresholds) holdAllocatorThresholds();
    epoll = ::epoll_create1(EPOLL_CLOEXEC);
    wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event e{};
    e.events = EPOLLIN;
    e.data.fd = wake;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, wake, &e);
    reactor = std::thread([this] { run(); });
}

void SimHttpServer::Road::adopt(int fd) {
    bool busy = false;
    {
        // Counted as open from here, so that a burst of connections the road
        // has not yet taken holds no more descriptors than the limit.
        std::lock_guard lock(mutex);
        busy = openCount >= limits.maxConnections;
        if (!shutDown && !busy) {
            incoming.push_back(fd);
            ++openCount;
            fd = -1;
        }
    }
    if (fd >= 0) {
        if (busy) {
            const std::string reply = refusal(503, "Service Unavailable", "too many connections\n");
            (void)!::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        ::close(fd);
        return;
    }
    uint64_t one = 1;
    (void)!::write(wake, &one, sizeof one);
}

void SimHttpServer::Road::shutdown() {
    {
        std::lock_guard lock(mutex);
        if (shutDown) return;
        shutDown = true;
    }
    stopping = true;
    uint64_t one = 1;
    (void)!::write(wake, &one, sizeof one);
    ready.notify_all();
    if (reactor.joinable()) reactor.join();
    for (auto& t : workers) t.join();  // each ends the request it serves
    for (int fd : incoming) ::close(fd);
    for (auto& [fd, c] : connections) ::close(fd);
    openCount -= incoming.size() + connections.size();
    connections.clear();
    ::close(wake);
    ::close(epoll);
}

void SimHttpServer::Road::run() {
    constexpr int kTick = 20;  // milliseconds between looks at the deadlines
    epoll_event events[64];
    while (!stopping) {
        int n = ::epoll_wait(epoll, events, 64, kTick);
        for (int i = 0; i < n; ++i) {
            const int fd = events[i].data.fd;
            if (fd == wake) {
                uint64_t count;
                (void)!::read(wake, &count, sizeof count);
                std::vector<int> fresh;
                std::vector<std::pair<Connection*, bool>> back;
                {
                    std::lock_guard lock(mutex);
                    fresh.swap(incoming);
                    back.swap(returned);
                }
                takeNew(std::move(fresh));
                for (auto& [c, keep] : back) takeBack(c, keep);
                continue;
            }
            auto it = connections.find(fd);
            if (it != connections.end()) readFrom(*it->second);
        }
        sweepDeadlines();
    }
    // Whatever waits for bytes or drains goes now; workers end theirs.
    for (auto it = connections.begin(); it != connections.end();) {
        if (it->second->stage == Connection::Stage::Handling) {
            ++it;
            continue;
        }
        ::close(it->first);
        --openCount;
        it = connections.erase(it);
    }
}

void SimHttpServer::Road::takeNew(std::vector<int> fds) {
    for (int fd : fds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        int yes = 1;  // headers and body go out at once (a Unix-domain socket has no delay to turn off)
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        auto c = std::make_unique<Connection>(fd, limits);
        watch(*c);
        connections[fd] = std::move(c);
    }
}

void SimHttpServer::Road::watch(Connection& c) {
    epoll_event e{};
    e.events = EPOLLIN | EPOLLRDHUP;
    e.data.fd = c.fd;
    ::epoll_ctl(epoll, EPOLL_CTL_ADD, c.fd, &e);
}

void SimHttpServer::Road::takeBack(Connection* c, bool keep) {
    if (!keep || c->peerClosed) return close(c->fd);
    c->stage = Connection::Stage::Reading;
    c->framing.reset();
    c->continued = false;
    ++c->served;
    c->in.shrink_to_fit();  // the answered request's room goes; a pipelined one keeps its bytes
    account(*c);
    giveBack();
    // A request already here (pipelined) has its read time; the next one is awaited as long as an idle connection is kept.
    c->started = !c->in.empty();
    c->deadline = after(c->started ? limits.readTimeout : limits.keepAlive);
    watch(*c);
    if (c->started) progress(*c);
}

void SimHttpServer::Road::readFrom(Connection& c) {
    char chunk[16384];
    for (int reads = 0; reads < 16 && !c.peerClosed; ++reads) {  // then the other connections get their turn
        ssize_t n = ::recv(c.fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n < 0) return close(c.fd);
        if (n == 0) {
            c.peerClosed = true;
            break;
        }
        if (c.stage == Connection::Stage::Draining) continue;  // read and dropped
        if (!c.started) {
            c.started = true;
            c.deadline = after(limits.readTimeout);
        }
        if (!makeRoom(c, size_t(n))) {
            refuse(c, 503, "Service Unavailable", "server busy, try again\n");
            continue;
        }
        c.in.append(chunk, size_t(n));
    }
    if (c.stage == Connection::Stage::Reading) progress(c);
    // A client that sends no more is answered what it sent whole, then closed.
    if (c.peerClosed && c.stage != Connection::Stage::Handling) close(c.fd);
}

void SimHttpServer::Road::progress(Connection& c) {
    switch (c.framing.look(c.in)) {
        case SimHttpFraming::State::Incomplete:
            if (c.framing.expectsContinue() && !c.continued) {
                static constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
                (void)!::send(c.fd, kContinue, sizeof kContinue - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
                c.continued = true;
            }
            return;
        case SimHttpFraming::State::HeadersTooLarge:
            return refuse(c, 431, "Request Header Fields Too Large", "request headers too large\n");
        case SimHttpFraming::State::BodyTooLarge:
            return refuse(c, 413, "Payload Too Large",
                          "request body larger than " + std::to_string(limits.maxBodyBytes) + " bytes\n");
        case SimHttpFraming::State::Malformed:
            return refuse(c, 400, "Bad Request", "malformed request\n");
        case SimHttpFraming::State::UnknownCoding:
            return refuse(c, 501, "Not Implemented", "transfer coding not supported\n");
        case SimHttpFraming::State::Complete:
            break;
    }
    // Whole: a worker takes it; the road reads no more of it until it comes back.
    ::epoll_ctl(epoll, EPOLL_CTL_DEL, c.fd, nullptr);
    c.stage = Connection::Stage::Handling;
    c.length = c.framing.requestBytes();  // held until answered: the total counts the requests being handled
    c.lastOne = c.framing.closesAfter();
    if (c.continued) c.length -= dropHeader(c.in, c.framing.headerBytes(), "Expect");  // answered already
    {
        std::lock_guard lock(mutex);
        jobs.push_back(&c);
        if (jobs.size() > idle && workers.size() < std::max<size_t>(limits.maxWorkers, 1))
            workers.emplace_back([this] { work(); });
    }
    ready.notify_one();
}

void SimHttpServer::Road::refuse(Connection& c, int status, const char* reason, const std::string& text) {
    const std::string reply = refusal(status, reason, text);
    (void)!::send(c.fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(c.fd, SHUT_WR);
    std::string().swap(c.in);
    account(c);
    c.stage = Connection::Stage::Draining;
    c.deadline = after(limits.readTimeout);
}

void SimHttpServer::Road::close(int fd) {
    auto it = connections.find(fd);
    if (it == connections.end()) return;
    if (it->second->stage != Connection::Stage::Handling) ::epoll_ctl(epoll, EPOLL_CTL_DEL, fd, nullptr);
    buffered -= it->second->held;
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
    connections.erase(it);
    giveBack();  // before the count tells that the connection is gone
    --openCount;
}

bool SimHttpServer::Road::makeRoom(Connection& c, size_t more) {
    const size_t need = c.in.size() + more;
    if (need <= c.in.capacity()) return true;
    // Doubling, but never past the request's own length once its headers tell it.
    size_t room = std::max(need, 2 * c.in.capacity());
    if (const size_t whole = c.framing.expectedBytes(); whole >= need) room = std::min(room, whole);
    if (buffered - c.held + room > limits.maxBufferedBytes) return false;
    std::string larger;
    larger.reserve(room);  // exactly: a string reserving from empty does not round up
    larger.append(c.in);
    c.in.swap(larger);
    account(c);
    return true;
}

void SimHttpServer::Road::account(Connection& c) {
    static const size_t inPlace = std::string().capacity();  // what a string holds without the heap
    const size_t held = c.in.capacity() > inPlace ? c.in.capacity() : 0;
    buffered = buffered - c.held + held;
    c.held = held;
    peakSinceTrim = std::max(peakSinceTrim, buffered);
}

void SimHttpServer::Road::giveBack() {
    // After a flood, once no connection holds a request: what its bodies took,
    // here and in the workers' handling, goes back to the system rather than
    // staying with the allocator.
    constexpr size_t kFlood = 16 << 20;
    if (buffered != 0 || peakSinceTrim < kFlood) return;
    peakSinceTrim = 0;
    ::malloc_trim(0);
}

void SimHttpServer::Road::sweepDeadlines() {
    const auto now = Clock::now();
    std::vector<int> late;
    for (auto& [fd, c] : connections)
        if (c->stage != Connection::Stage::Handling && c->deadline <= now) late.push_back(fd);
    for (int fd : late) close(fd);
}

void SimHttpServer::Road::work() {
    for (;;) {
        Connection* c = nullptr;
        {
            std::unique_lock lock(mutex);
            ++idle;
            ready.wait(lock, [&] { return shutDown || (c = takeJob()) != nullptr; });
            --idle;
            if (shutDown) return;  // a request not begun is dropped with its connection
            if (!jobs.empty()) ready.notify_one();  // another may fit beside it
        }
        serve(*c);
    }
}

SimHttpServer::Road::Connection* SimHttpServer::Road::takeJob() {
    // A request is held several times over while handled (the handler's
    // body, its fields, the log's record): the bytes handled at once stay
    // within their own limit, a large request waiting its turn while small
    // ones pass; one alone is always handled.
    for (auto it = jobs.begin(); it != jobs.end(); ++it) {
        if (handling != 0 && handling + (*it)->length > limits.maxHandledBytes) continue;
        Connection* c = *it;
        jobs.erase(it);
        handling += c->length;
        return c;
    }
    return nullptr;
}

void SimHttpServer::Road::serve(Connection& c) {
    const size_t length = c.length;
    RequestStream stream(c.fd, std::string_view(c.in).substr(0, length), limits.writeTimeout, stopping);
    bool closeAfter = false;
    tCloseAfterReply = &closeAfter;
    const bool last = limits.keepAlive <= 0 || c.served + 1 >= limits.keepAliveMaxCount || c.lastOne;
    bool closedByClient = false;
    const bool served = server.process_request(stream, last, closedByClient, nullptr);
    tCloseAfterReply = nullptr;
    c.in.erase(0, length);
    const bool keep = served && !closedByClient && !closeAfter && !last;
    {
        std::lock_guard lock(mutex);
        handling -= length;
        returned.emplace_back(&c, keep);
        if (!jobs.empty()) ready.notify_one();
    }
    uint64_t one = 1;
    (void)!::write(wake, &one, sizeof one);
}

// ---- the server ----

SimHttpServer::SimHttpServer(SimHttpLimits limits)
    : road_(std::make_unique<Road>(*this, [&] {
          limits.maxConnections = std::min(limits.maxConnections, connectionsTheFilesAllow());
          return limits;
      }())) {
    // Bound alone: SO_REUSEADDR lets a restart take the port of connections
    // still closing, never a second listener (httplib's default adds SO_REUSEPORT).
    set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    set_keep_alive_max_count(limits.keepAliveMaxCount);
    set_payload_max_length(limits.maxBodyBytes);
    new_task_queue = [this] { return new HandOver([this] { road_->shutdown(); }); };
}

SimHttpServer::~SimHttpServer() { road_->shutdown(); }

void SimHttpServer::widenBacklog(int backlog) {
    socket_t sock = svr_sock_;
    if (sock != INVALID_SOCKET) ::listen(sock, backlog);
}

bool SimHttpServer::bindToSocket(const std::string& path) {
    sockaddr_un address{};
    static_assert(sizeof address.sun_path == kMaxSocketPath + 1);
    if (path.empty() || path.size() > kMaxSocketPath || path.find('\0') != std::string::npos) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0) return false;
    // The socket file takes the socket's own mode as it is made (less the
    // umask), so that no other user's connection can come before a chmod.
    const bool bound = ::fchmod(sock, S_IRUSR | S_IWUSR) == 0 &&
                       ::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (bound && ::chmod(path.c_str(), S_IRUSR | S_IWUSR) == 0 && ::listen(sock, 1024) == 0) {
        svr_sock_ = sock;
        return true;
    }
    const int error = errno;  // for the caller to tell
    ::close(sock);
    if (bound) ::unlink(path.c_str());
    errno = error;
    return false;
}

void SimHttpServer::closeAfterReply() {
    if (tCloseAfterReply) *tCloseAfterReply = true;
}

size_t SimHttpServer::openConnections() const { return road_->open(); }

size_t SimHttpServer::workers() const { return road_->workerCount(); }

bool SimHttpServer::process_and_close_socket(socket_t sock) {
    road_->adopt(sock);
    return true;
}
