// The simulated server's HTTP side under arbitrary bytes: whatever a client
// sends on one connection (request lines, headers, bodies whole, cut short
// or chunked, several requests kept alive), served on one end of a socket
// pair as the server serves a connection it accepted, through every route
// (/vta, the images and pages, /sim/status, /sim/push, /sim/expire,
// /sim/clock). The answers are read back as a client reads them; none may be
// a server error (a route that threw).
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "FuzzOutcome.h"
#include "FuzzRandom.h"
#include "sim/SimServer.h"

namespace {

constexpr double kClock = 1709605800;  // 2024-03-05 10:30 in Shanghai
// Bytes a socket may hold unread: the whole input is sent before the server
// takes the connection (the answers are read while the server writes them).
constexpr int kLineRoom = 4 << 20;

// Every input meets the same server: every family's state as seeded, no
// session, the clock at its start (a /sim/clock of an input moves it) and the
// random source at the start of its stream, so that what an input does
// cannot change what the inputs after it cover. The HTTP side stays started,
// and gives the text dump a request asks for and serves the control routes
// (as a server for tests does).
SimServer& freshServer() {
    static std::unique_ptr<SimServer> sim;
    if (!sim) {
        sim = std::make_unique<SimServer>(
            SimOptions{.seed = 7, .clock = kClock, .frozenClock = true, .dumpHeader = true, .controlRoutes = true});
        if (!sim->start()) std::abort();
    } else {
        sim->resetState();
    }
    fuzzRestartRandom();
    return *sim;
}

void writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) std::abort();  // an input larger than the room on the line
        data += n;
        size -= static_cast<size_t>(n);
    }
}

std::string readAll(int fd) {
    std::string out;
    char buf[65536];
    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) out.append(buf, static_cast<size_t>(n));
    return out;
}

// The status of each answer on the connection, read as a client reads them
// (status line, headers, a body of Content-Length bytes); stops at the first
// thing that is no answer (a body cut off when the server dropped the line).
void checkAnswers(const std::string& bytes) {
    size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.compare(at, 9, "HTTP/1.1 ") != 0) return;
        if (bytes.compare(at + 9, 3, "500") == 0) std::abort();  // a route threw
        size_t end = bytes.find("\r\n\r\n", at);
        if (end == std::string::npos) return;
        size_t length = 0;
        const std::string head = bytes.substr(at, end - at);
        if (size_t h = head.find("\r\nContent-Length: "); h != std::string::npos)
            length = std::strtoull(head.c_str() + h + 18, nullptr, 10);
        at = end + 4 + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzOutcomeStart();
    SimServer& sim = freshServer();
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) std::abort();
    // The input is sent whole and the write side closed before the server
    // takes its end.
    const int room = kLineRoom;
    ::setsockopt(ends[0], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
    ::setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
    writeAll(ends[0], data, size);
    ::shutdown(ends[0], SHUT_WR);
    sim.serveConnection(ends[1]);  // the server closes its end when done
    const std::string answers = readAll(ends[0]);
    fuzzOutcomeAdd(answers);
    checkAnswers(answers);
    ::close(ends[0]);
    return 0;
}
