#include "tests/support/CuttingProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>

#include "platform/foundation/RunLoop.h"

namespace {

constexpr int kSliceMs = 20;  // how often a waiting thread looks whether the proxy stops

// Waits until the socket is readable (or closed); false when the proxy stops first.
bool waitReadable(int fd, const std::atomic<bool>& stopping) {
    while (!stopping) {
        pollfd p{fd, POLLIN, 0};
        int n = poll(&p, 1, kSliceMs);
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return true;  // the read that follows reports it
    }
    return false;
}

// Appends what arrives to `into`; false at the end of the stream, an error or a stop.
bool readSome(int fd, std::string& into, const std::atomic<bool>& stopping) {
    if (!waitReadable(fd, stopping)) return false;
    char buf[16384];
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return false;
    into.append(buf, static_cast<size_t>(n));
    return true;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void closeSocket(int fd) {
    shutdown(fd, SHUT_RDWR);
    close(fd);
}

std::string lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The value of a header in a message's head ("" when absent).
std::string headerValue(const std::string& head, const std::string& name) {
    const std::string wanted = lower(name) + ":";
    size_t at = head.find("\r\n");
    while (at != std::string::npos && at + 2 < head.size()) {
        size_t end = head.find("\r\n", at + 2);
        std::string line = head.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
        if (lower(line.substr(0, wanted.size())) == wanted) {
            std::string v = line.substr(wanted.size());
            v.erase(0, v.find_first_not_of(' '));
            return v;
        }
        at = end;
    }
    return {};
}

// The head without the lines of these headers, and with `extra` lines added before its end.
std::string rewriteHead(const std::string& head, const std::vector<std::string>& drop, const std::string& extra) {
    std::string out;
    size_t start = 0;
    while (start < head.size()) {
        size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        std::string line = head.substr(start, end - start);
        bool keep = !line.empty();
        for (const auto& name : drop)
            if (lower(line.substr(0, name.size() + 1)) == lower(name) + ":") keep = false;
        if (keep) out += line + "\r\n";
        start = end + 2;
    }
    return out + extra + "\r\n";
}

// One HTTP message of a stream: its head (through the blank line) and body.
struct Message {
    std::string head;
    std::string body;
    bool untilClose = false;  // a reply without a length: it ends with the connection
};

// Reads one message from `buffer` + the socket; the bytes after it stay in `buffer`.
// A reply without a length is read to the end of the stream.
std::optional<Message> readMessage(int fd, std::string& buffer, bool isReply, const std::atomic<bool>& stopping) {
    size_t headEnd;
    while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos)
        if (!readSome(fd, buffer, stopping)) return std::nullopt;
    Message m;
    m.head = buffer.substr(0, headEnd + 4);
    buffer.erase(0, headEnd + 4);
    const std::string length = headerValue(m.head, "Content-Length");
    if (length.empty() && isReply) {
        m.untilClose = true;
        while (readSome(fd, buffer, stopping)) {
        }
        m.body = std::move(buffer);
        buffer.clear();
        return m;
    }
    const size_t want = length.empty() ? 0 : std::strtoul(length.c_str(), nullptr, 10);
    while (buffer.size() < want)
        if (!readSome(fd, buffer, stopping)) break;  // a short body is passed on as it came
    m.body = buffer.substr(0, std::min(want, buffer.size()));
    buffer.erase(0, m.body.size());
    return m;
}

// A clear field's number from a request body ("tc_mfuncno=500&..."), 0 when absent.
int clearField(const std::string& body, const std::string& key) {
    const std::string low = lower(body);
    size_t at = 0;
    while ((at = low.find(key + "=", at)) != std::string::npos) {
        if (at == 0 || low[at - 1] == '&') return std::atoi(low.c_str() + at + key.size() + 1);
        at += key.size();
    }
    return 0;
}

int connectTo(int port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

}  // namespace

CuttingProxy::CuttingProxy(int serverPort) : serverPort_(serverPort) {}

CuttingProxy::~CuttingProxy() { stop(); }

std::string CuttingProxy::url() const { return "http://127.0.0.1:" + std::to_string(port_); }

bool CuttingProxy::start() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return false;
    int one = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = 0;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 64) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        close(listener_);
        listener_ = -1;
        return false;
    }
    port_ = ntohs(a.sin_port);
    acceptor_ = std::thread([this] { acceptLoop(); });
    return true;
}

void CuttingProxy::stop() {
    if (stopping_.exchange(true)) return;
    if (acceptor_.joinable()) acceptor_.join();
    if (listener_ >= 0) close(listener_);
    listener_ = -1;
    {
        std::lock_guard lock(mutex_);
        for (int fd : clients_) shutdown(fd, SHUT_RDWR);
    }
    for (auto& t : workers_)
        if (t.joinable()) t.join();
    workers_.clear();
}

void CuttingProxy::acceptLoop() {
    while (waitReadable(listener_, stopping_)) {
        int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard lock(mutex_);
        clients_.push_back(fd);
        ++connections_;
        workers_.emplace_back([this, fd] { serve(fd); });
    }
}

void CuttingProxy::serve(int client) {
    std::string buffer;
    bool open = true;
    while (open) {
        auto request = readMessage(client, buffer, false, stopping_);
        if (!request) break;
        const int main = clearField(request->body, "tc_mfuncno");
        const int sub = clearField(request->body, "tc_sfuncno");
        Cut how = Cut::AfterAnswer;
        const bool cutting = takeRule(main, sub, how);
        if (cutting && how == Cut::BeforeForwarding) {
            note(main, sub, false);
            break;
        }
        // To the server on a connection of its own, closed after the reply.
        int server = connectTo(serverPort_);
        if (server < 0) {
            note(main, sub, false);
            break;
        }
        const std::string head = rewriteHead(request->head, {"Connection"}, "Connection: close\r\n");
        note(main, sub, true);
        std::string fromServer;
        std::optional<Message> reply;
        if (writeAll(server, head.data(), head.size()) &&
            writeAll(server, request->body.data(), request->body.size()))
            reply = readMessage(server, fromServer, true, stopping_);
        closeSocket(server);
        if (!reply) break;
        // Toward the client the connection stays open, whatever the server said.
        const std::string replyHead = rewriteHead(reply->head, {"Connection", "Keep-Alive"}, "");
        if (!cutting) {
            open = writeAll(client, replyHead.data(), replyHead.size()) &&
                   writeAll(client, reply->body.data(), reply->body.size()) && !reply->untilClose;
            continue;
        }
        switch (how) {
            case Cut::AfterAnswer:
                open = false;
                break;
            case Cut::MidReply:
                if (reply->body.empty()) {  // half its status line: a reply without a body is whole once its length came
                    writeAll(client, replyHead.data(), replyHead.find("\r\n") / 2);
                } else {
                    writeAll(client, replyHead.data(), replyHead.size());
                    writeAll(client, reply->body.data(), reply->body.size() / 2);
                }
                open = false;
                break;
            case Cut::HoldPastTimeout:
                open = hold(client) && writeAll(client, replyHead.data(), replyHead.size()) &&
                       writeAll(client, reply->body.data(), reply->body.size()) && !reply->untilClose;
                break;
            case Cut::CloseAfterReply:
                writeAll(client, replyHead.data(), replyHead.size());
                writeAll(client, reply->body.data(), reply->body.size());
                open = false;
                break;
            case Cut::BeforeForwarding:
                open = false;
                break;
        }
    }
    {
        std::lock_guard lock(mutex_);
        clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
    }
    closeSocket(client);
}

bool CuttingProxy::hold(int client) {
    long seen;
    {
        std::lock_guard lock(mutex_);
        seen = releases_;
        ++held_;
    }
    RunLoop::main().wake();
    bool released = false;
    while (!stopping_ && !released) {
        pollfd p{client, POLLIN, 0};
        if (poll(&p, 1, kSliceMs) > 0) {
            char c;
            if (recv(client, &c, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) break;  // the client gave up
        }
        std::lock_guard lock(mutex_);
        released = releases_ != seen;
    }
    std::lock_guard lock(mutex_);
    --held_;
    return released;
}

bool CuttingProxy::takeRule(int main, int sub, Cut& how) {
    std::lock_guard lock(mutex_);
    ++position_;
    for (auto it = rules_.begin(); it != rules_.end(); ++it) {
        const bool match = it->position > 0 ? it->position == position_
                                            : it->main == main && (it->sub == 0 || it->sub == sub);
        if (!match) continue;
        how = it->how;
        if (--it->times <= 0) rules_.erase(it);
        ++cuts_;
        return true;
    }
    return false;
}

void CuttingProxy::note(int main, int sub, bool forwarded) {
    std::lock_guard lock(mutex_);
    seen_.push_back({main, sub, forwarded});
}

void CuttingProxy::cut(int main, int sub, Cut how, int times) {
    std::lock_guard lock(mutex_);
    rules_.push_back({main, sub, 0, how, times});
}

void CuttingProxy::cutAt(int position, Cut how) {
    std::lock_guard lock(mutex_);
    rules_.push_back({0, 0, position_ + position, how, 1});
}

void CuttingProxy::clearCuts() {
    std::lock_guard lock(mutex_);
    rules_.clear();
}

void CuttingProxy::release() {
    std::lock_guard lock(mutex_);
    ++releases_;
}

size_t CuttingProxy::received(int main, int sub) const {
    std::lock_guard lock(mutex_);
    return static_cast<size_t>(std::count_if(seen_.begin(), seen_.end(), [&](const Seen& s) {
        return s.main == main && (sub == 0 || s.sub == sub);
    }));
}

size_t CuttingProxy::forwarded(int main, int sub) const {
    std::lock_guard lock(mutex_);
    return static_cast<size_t>(std::count_if(seen_.begin(), seen_.end(), [&](const Seen& s) {
        return s.forwarded && s.main == main && (sub == 0 || s.sub == sub);
    }));
}

size_t CuttingProxy::cutsDone() const {
    std::lock_guard lock(mutex_);
    return cuts_;
}

size_t CuttingProxy::heldReplies() const {
    std::lock_guard lock(mutex_);
    return held_;
}

size_t CuttingProxy::connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}
