#pragma once
// The simulated server's HTTP side: cpp-httplib's server (its accept loop,
// request parsing, handlers and replies) on a connection road of its own, so
// that slow or hostile clients cannot exhaust it:
//  - One thread reads every open connection (epoll, non-blocking) into a
//    buffer, and hands a request to a worker only once it is whole
//    (SimHttpFraming.h): a connection that trickles or hangs holds no
//    thread, only its buffer, so a thousand of them leave the workers free.
//  - A request must arrive whole within `readTimeout` of its first byte (a
//    new connection's first within `readTimeout` of its opening): a client
//    sending a byte a second is cut off, however patient each read is. An
//    idle kept-alive connection is closed after `keepAlive` seconds, and
//    every connection at once when the server stops.
//  - Workers are made on demand up to `maxWorkers` (whole requests beyond
//    wait their turn); at most `maxConnections` are open, and no more than
//    three quarters of the descriptors the process's open-file limit leaves
//    free when the server starts, the rest kept for its books and the
//    program's own files (more are answered 503 and closed); headers of at
//    most `maxHeaderBytes` (431) and bodies of at most `maxBodyBytes` (413,
//    refused as soon as the length says so).
//  - Requests held, all connections together: at most `maxBufferedBytes`,
//    read or being handled (a connection whose bytes would pass it is
//    answered 503), and of them at most `maxHandledBytes` handled at once
//    (a request is copied several times while handled; a large one waits
//    its turn). A connection's buffer grows no larger than its request and
//    goes when the request is answered; a block as large as a body is a
//    mapping of its own, unmapped when freed (unless the limits say
//    otherwise, the server holds the allocator's thresholds where they
//    start, process-wide, rather than let them rise and the workers' arenas
//    keep the bodies' room), and once no
//    connection holds a request after a flood, what else was freed goes
//    back to the system.
//  - A refused connection's further bytes are read and dropped until it
//    closes or its read time ends, so that the client reads the refusal
//    rather than a reset.
//  - The port is bound exclusively: a second server on a port in use is
//    refused, never sharing the traffic (no SO_REUSEPORT).
//  - Or a Unix-domain socket instead of a port (bindToSocket): its
//    connections take the same road and limits as a port's.
// Handlers are httplib's; a handler that leaves the stream out of step (a
// body refused half-read) calls closeAfterReply().
#include <httplib.h>

#include <cstddef>
#include <memory>
#include <string>

struct SimHttpLimits {
    double readTimeout = 2;   // seconds for one whole request
    double writeTimeout = 5;  // seconds for each write of a reply
    double keepAlive = 5;     // seconds an idle connection is kept
    size_t maxConnections = 4096;
    size_t maxWorkers = 64;
    size_t keepAliveMaxCount = 1000;  // requests on one connection
    size_t maxHeaderBytes = 64 * 1024;
    size_t maxBodyBytes = 1024 * 1024;
    size_t maxBufferedBytes = 64 << 20;
    size_t maxHandledBytes = 8 << 20;
    // Holds the process's allocator thresholds where glibc starts them (see
    // SimHttpServer.cpp), so that a flood's bodies go back to the system.
    bool holdAllocatorThresholds = true;
};

class SimHttpServer : public httplib::Server {
public:
    explicit SimHttpServer(SimHttpLimits limits);
    ~SimHttpServer() override;
    // The connection this thread serves is closed after the reply being made.
    static void closeAfterReply();
    // After binding: room for many connections waiting to be accepted (the
    // library listens with a queue of 5, and a burst beyond has its
    // connection attempts dropped and retried a second later).
    void widenBacklog(int backlog = 1024);
    // Listens on a Unix-domain socket made at `path` instead of a port, the
    // owner's only (0600) from the moment it is there: only the programs
    // that may reach its folder connect. A path in use, or one longer than a
    // socket's address holds (kMaxSocketPath bytes), is refused, never cut
    // short. Served after listen_after_bind(); the socket is the caller's to
    // remove once the server has stopped.
    bool bindToSocket(const std::string& path);
    static constexpr size_t kMaxSocketPath = 107;
    // Connections open now, and the workers made so far (for tests).
    size_t openConnections() const;
    size_t workers() const;
    // Serves a connection made elsewhere as one it accepted (through the
    // connection road); the road closes it when done.
    void serveConnection(socket_t sock) { process_and_close_socket(sock); }

private:
    bool process_and_close_socket(socket_t sock) override;

    struct Road;
    std::unique_ptr<Road> road_;
};
