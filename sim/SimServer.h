#pragma once
// The simulated brokerage server: the request protocol of the client's
// request service (net/ServiceProtocol.h) over HTTP on loopback, with real
// record sets, compression and encryption, a deterministic market and the
// state behind the functions (sessions, own stocks, pushed messages).
//
// Embedded use (the client's default, tests, benchmarks):
//   SimServer sim({.seed = 7});
//   sim.start();                 // 127.0.0.1, a free port (or SimOptions::socketPath)
//   NetworkManager::manager().setLoopbackHost(sim.url());
// The server answers on its own threads; the controls below are thread-safe.
// resetState() gives a test a fresh server without restarting HTTP.
//
// Each function family keeps its state in a room of its own (SimRooms.h): a
// handler reaches it as call.server.view<SimPortfolioRoom>() to read it and
// call.server.room<SimPortfolioRoom>() to change it; a test or a control
// outside a handler as
//   sim.withRoom<SimSystemRoom>([](SimSystemRoom& r) { r.menuVersion = 3; });
// One state lock guards the sessions, controls, request log and rooms. It is
// held only around them: a handler runs without it until its first room(),
// which takes it for the rest of the handler, so families without a room
// (the market's) and the key exchange (RSA), deciphering, compression and
// enciphering of replies run side by side. The lock may be taken again on
// the thread that holds it (a handler may call the controls).
//
// HTTP endpoints: POST /vta (requests), GET /vta (host probe: "roduvede-sim"),
// GET /img/<name>.png (the fixed images of SimImages.h, 404 for other names),
// GET /page/<name>.html (the pages of SimPages.h for the in-app web page, 404 for others),
// and, from a server started with controlRoutes only (the stand-alone
// program, tests), the controls: GET /sim/status, POST /sim/push
// (title=...&content=...), POST /sim/expire, POST /sim/clock (t=seconds |
// advance=seconds; 400 for what is no time between 1970 and the year 9999).
// A server given a client secret serves none of them without it (403).
// A request with the header "X-Sim-Dump: text" gets its record sets as
// readable text instead (no compression, no cipher), from a server started
// with dumpHeader only: for tests and curl. A body larger
// than maxRequestBytes, or of more than maxRequestFields fields (clear and
// enciphered together), is refused with 413; see SimHttpServer.h for the
// connection road (slow connections hold no thread) and its limits. The
// port (or the Unix-domain socket) is the server's alone: start() fails on
// one in use.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/contracts/FunctionId.h"
#include "sim/SimBooksRules.h"
#include "sim/SimClock.h"
#include "sim/SimJournal.h"
#include "sim/SimMarket.h"
#include "sim/SimMessages.h"
#include "sim/SimRegistry.h"
#include "sim/SimReplyHold.h"
#include "sim/SimRequest.h"
#include "sim/SimRequestLog.h"
#include "sim/SimRooms.h"
#include "sim/SimSessions.h"

struct SimCustomer;
struct SimTradeSession;

struct SimOptions {
    int port = 0;  // 0: a free port
    uint64_t seed = 1;
    std::optional<double> clock;  // start time of the sim's clock (default: now)
    bool frozenClock = false;
    double sessionIdleTimeout = 1800;  // seconds of the sim's clock a service or trade session may lie unused
    bool requireSession = true;        // every function but 100/1 needs a live session
    std::string privateKeyPath;        // default: simPrivateKeyPath()
    // The books on disk (SimJournal.h): "" keeps them in memory only, as
    // tests want; a file is created when missing and replayed when there.
    // freshBooks sets an existing one aside and starts again from the seed.
    std::string booksPath;
    bool freshBooks = false;
    // The journal is compacted into a snapshot of the books once it holds
    // this many bytes, so that it neither grows without end nor takes long
    // to replay at start.
    uint64_t booksCompactBytes = uint64_t(4) << 20;
    std::string host = "127.0.0.1";
    // A Unix-domain socket to listen on instead of a port (host and port are
    // then unused): the client's embedded brokerage, which only programs that
    // reach the socket's folder can connect to (SimHttpServer::bindToSocket).
    // start() makes it and refuses a path in use or too long for a socket;
    // stop() removes it.
    std::string socketPath;
    // How long an idle kept-alive connection is held open (0: a new
    // connection per request). stop() does not wait for idle connections.
    int keepAliveSeconds = 5;
    // The families to register (a test may give its own).
    std::function<void(SimRegistry&)> families = registerAllSimFunctions;

    // Limits, so that a flood or slow clients cannot exhaust the server.
    double readTimeout = 2;                // seconds for one whole request to arrive
    size_t maxConnections = 4096;          // connections open at once (more are answered 503)
    size_t maxWorkers = 64;                // requests handled at once (more whole ones wait their turn)
    size_t maxRequestBytes = 1024 * 1024;  // a larger body is refused (413); the client's largest is a few KiB
    // A request of more fields, its body's and its enciphered frame's
    // together, is refused (413) before it is split: each field takes an
    // entry many times its bytes, in every copy of the request. The client's
    // have a few dozen.
    size_t maxRequestFields = 1024;
    size_t requestLogCount = 2000;         // requests kept for requests()
    size_t requestLogBytes = 8 << 20;      // ... and their bodies and fields together (a flood leaves no more)
    // Beyond either, the idlest session without a live trade login gives way
    // to a login; one is refused only when every session it could replace
    // holds one (SimSessions.h).
    size_t maxSessions = 10000;      // service sessions in all
    size_t maxSessionsPerPhone = 8;  // ... of one phone
    // A trade login that has carried out so many enciphered frames ends, as
    // an idle one does: each is kept with it so that none is carried out again.
    size_t maxTradeLoginFrames = SimSessions::kTradeLoginFrames;
    // A key whose frames have checked the account's password so many times
    // (trade logins mostly) checks it no more: each such frame is kept with
    // it so that none is carried out again.
    size_t maxPasswordChecksPerKey = SimSessions::kPasswordChecksPerKey;
    // Honours "X-Sim-Dump: text" (replies as readable text, in clear): for
    // tests and curl, never by default.
    bool dumpHeader = false;
    // Holds the process's allocator thresholds where they start, so that the
    // room of large bodies goes back to the system when a flood ends
    // (SimHttpServer.h). Process-wide: a server in a process of its own (the
    // stand-alone program, tests, benchmarks) holds them; the client's
    // embedded one leaves them to the allocator, whose rising thresholds keep
    // the client's drawing surfaces off fresh mappings.
    bool holdAllocatorThresholds = true;
    // Serves the control routes (/sim/status, /sim/push, /sim/expire,
    // /sim/clock), which take no key or session: any program that reaches
    // the port could push a message "from the brokerage", move the clock for
    // good or log every customer out. For the stand-alone program and tests,
    // never by default (without it they answer 404).
    bool controlRoutes = false;
    // The secret of the one client the server serves (the client's embedded
    // brokerage: made at its start, held in its memory alone). When set, a
    // request that does not carry it (kSimSecretHeader: "Bearer <secret>")
    // is refused, 403 and the connection closed, before any route's handler,
    // the controls' too: no other program on the machine reaches the books,
    // the sessions or the request log. "" (the stand-alone program, tests):
    // every request is answered.
    std::string clientSecret;
};

// The URL of a server on a Unix-domain socket, as its requests name it.
inline constexpr const char* kSimSocketURL = "http://localhost";

// The header that carries SimOptions::clientSecret, and its value.
inline constexpr const char* kSimSecretHeader = "Authorization";
inline std::string simSecretHeaderValue(const std::string& secret) { return "Bearer " + secret; }

// The request text of a message's long text (its "url" when it has none of its own).
std::string simLongTextRequest(int64_t detailId);

// Faults a test can make the next replies carry.
enum class SimFault {
    None,
    NoEtag,               // no "Etag" header           -> client 101
    BadEtag,              // an unreadable "Etag"       -> client 101
    Refuse,               // status 1                   -> client 103
    SessionTimeout,       // status 2                   -> client re-login (102)
    CorruptCipher,        // a cipher text that fails   -> client 104
    BadCompressedLength,  // an absurd length prefix    -> client 105
};

class SimServer {
public:
    explicit SimServer(SimOptions options = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    bool start();
    void stop();
    // Serves a connection already made (one end of a socket pair) as the HTTP
    // side serves one it accepted, and closes it when the client has closed
    // its side and every answer is written: the HTTP side without a network,
    // for its fuzz target. False before start().
    bool serveConnection(int socket);
    bool isRunning() const;
    // Connections open on the HTTP side now (0 when not running): a test
    // waits for a flood's to close.
    size_t openConnections() const;
    int port() const { return port_; }  // 0 on a Unix-domain socket
    // "http://127.0.0.1:PORT"; on a Unix-domain socket kSimSocketURL, which
    // names no host: a client reaches it through SimOptions::socketPath alone.
    std::string url() const;

    SimClock& clock() { return clock_; }
    const SimMarket& market() const { return market_; }
    const SimOptions& options() const { return options_; }
    // The setup mistake that keeps the server from starting (a function or a
    // menu item registered twice, a menu item without its parent, a start
    // time that is no time); "" none.
    const std::string& setupError() const { return setupError_; }
    // What opening the books found (a damaged journal set aside, a cut last
    // line dropped); empty without books on disk. A journal of other books
    // is a setup error.
    const SimJournalReport& booksReport() const { return booksReport_; }
    // The rules of the request being handled (SimBooksRules.h): those of the
    // record being replayed while the books are opened, today's otherwise
    // (a live request's, on any thread, also while the books are replayed on
    // another). A handler that changed what it does with a request the books
    // may hold asks them.
    SimBooksRules booksRules() const {
        const HandlerScope* scope = ownHandler();
        return scope ? scope->rules : booksRules_.load();
    }
    // Handles the requests that follow under these rules: a test's way to
    // see what a handler does with a record of older books.
    void setBooksRules(SimBooksRules rules) { booksRules_ = rules; }
    // The key the books keep their secrets' digests under (SimSecrets.h):
    // the books key file's beside the journal; for books in memory, which
    // reach no disk, the empty key of every such server, so that books taken
    // from one (SimSnapshot.h) still open with their passwords in another.
    const std::vector<uint8_t>& secretKey() const { return secretKey_; }

    // ---- controls ----
    // Drops every room (the families' state, seeded again on first use), every
    // control, recorded request and session, and sets the clock and the
    // options the controls change back to the options given: what a new
    // server would hold, on the same port.
    void resetState();
    // The next `times` requests of the function (main 0: any; sub 0: any of
    // the main function) answer these record-set bytes, as they stand (raw
    // bytes of a crafted reply, or simErrorSet(...) for an error set), after
    // the session checks and before the handler.
    void answerNext(FunctionId function, std::vector<uint8_t> bytes, int times = 1);
    // The next `times` requests of function main/sub (0/0: any) answer an error set.
    void forceErrorSet(int code, const std::string& text, int main = 0, int sub = 0, int times = 1);
    void forceFault(SimFault fault, int main = 0, int sub = 0, int times = 1);
    // The replies to the next `times` requests of function main/sub (0/0: any)
    // wait until releaseHeldReplies() (or the server stops): the test sees the
    // screen while its request is in flight, then lets the answer come.
    // (The client's run loop waits in real time for requests in flight before
    // its virtual time goes on, so a test that settles meanwhile uses
    // delayReply, whose answer comes after that many real seconds.)
    void holdReply(int main = 0, int sub = 0, int times = 1);
    // Every reply held, or on its way to be held, goes; holds not used up yet are forgotten.
    void releaseHeldReplies();
    size_t heldReplies() const;  // waiting now
    void delayReply(double seconds, int main = 0, int sub = 0, int times = 1);
    void dropConnection(int main = 0, int sub = 0, int times = 1);
    // Forgets every crafted answer, forced error, fault, hold, delay and drop not used up yet.
    void clearControls();
    // Ends the service session (its trade login lives on: a new session of its phone may go on with it).
    void expireSession(const std::string& id);
    // Ends every service session and every trade login: every customer logs in again.
    void expireAllSessions();
    void setSessionIdleTimeout(double seconds);
    std::vector<std::string> sessionIds() const;
    void setRequireSession(bool required);
    // Requests received, oldest first (the newest requestLogCount of them).
    size_t requestCount() const;
    size_t requestLogBytes() const;
    std::vector<SimRecord> requests() const;
    std::vector<SimRecord> requestsOf(int main, int sub) const;
    void clearRequests();
    // GET requests of /img/... received (found or not).
    size_t imageRequestCount() const { return imageRequests_.load(); }
    // GET requests of /page/... received (found or not).
    size_t pageRequestCount() const { return pageRequests_.load(); }
    // A new pushed message (sent time: the sim clock unless set); answers its
    // msg id (0: not kept, the books cannot be written).
    int64_t pushMessage(SimMessage message);
    // Called with every message pushed (after it is stored), on the thread that
    // pushed it: the client that embeds the server turns it into a push
    // notification of its platform, as the brokerage's push service would.
    void setPushObserver(std::function<void(const SimMessage&)> observer);
    std::vector<SimMessage> messages();
    // The own stocks kept for a phone ("" for sessions without a phone).
    std::vector<std::string> ownStocks(const std::string& phone = "");
    void setOwnStocks(const std::string& phone, std::vector<std::string> ids);

    // ---- rooms ----
    // The family's room, made on first use: in a handler (taking the state
    // lock for the rest of it) or in a withRoom function; anywhere else it
    // stops the program. room() is the room to change, view() the room to
    // read: what reaches a room only through view() cannot change it, so a
    // request whose handler reached its rooms only so has changed nothing,
    // and is not written to the books on disk (SimJournal.h: only the rooms
    // it made, seeded as of it, are); one that reached a room through room()
    // is, whatever it did there.
    template <class Room>
    Room& room() {
        return reach<Room>(true);
    }
    template <class Room>
    const Room& view() {
        return reach<Room>(false);
    }
    // Runs f(room) with the state lock held; answers what f answers.
    template <class Room, class F>
    decltype(auto) withRoom(F&& f) {
        StateLock lock(*this);
        return f(room<Room>());
    }
    const SimRegistry& registry() const { return registry_; }
    // Settles and matches the customer's books as of the call (SimOrders.h:
    // simAdvanceBooks) for the handler running on this thread: what that
    // changes is written as an advance of the customer's books, not as the
    // request (a request that changes nothing else is not written).
    void advanceBooks(SimCall& call, const std::string& custid);
    // Counts a wrong password or code of the customer toward the lock-out
    // (SimBooks::noteFailure) for the handler running on this thread, and
    // answers the tries left. It is written as the count alone, not as the
    // request it refuses (whose fields may be of any size).
    int countFailure(SimCall& call, const SimCustomer& who);

    struct Reply {
        int status = 200;
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
        uint64_t holdTicket = 0;  // 0: not held
        double delay = 0;
        bool drop = false;
    };
    // The whole request road without HTTP (the HTTP side calls it; also for benchmarks).
    Reply handle(const std::string& body, const std::map<std::string, std::string>& headers);

private:
    // The books' snapshot (SimSnapshot.h) reads the rooms and puts restored ones in place.
    friend std::string simSnapshot(const SimServer& server, const std::string& key);
    friend std::string simBooksFingerprint(const SimServer& server);
    friend bool simRestore(SimServer& server, const std::string& bytes, const std::string& key, std::string& why,
                           uint32_t* version);

    // The state lock, with its holder known: taken again on the thread that
    // holds it, it does nothing.
    class StateLock {
    public:
        explicit StateLock(const SimServer& server);
        ~StateLock();
        StateLock(const StateLock&) = delete;
        StateLock& operator=(const StateLock&) = delete;

    private:
        const SimServer& server_;
        bool owns_ = false;
    };
    // The handler running on this thread, whose first room() takes the state lock.
    struct HandlerScope {
        explicit HandlerScope(SimServer& server);
        ~HandlerScope();
        SimServer& server;
        HandlerScope* outer;
        bool holds = false;
        bool changed = false;  // a room was reached to change (room(), not view())
        // Inside advanceBooks or countFailure: what they reach is written as
        // an entry of their own (an advance, a failure: `apartEntries`, in
        // order, with the rooms made under it), which a request written
        // whole replaces.
        int apart = 0;
        std::vector<SimJournalEntry> apartEntries;
        SimBooksRules rules;  // booksRules_ for a live request; a replayed record's, its journal's (replayRules_)
    };
    static thread_local HandlerScope* tHandler;
    // The handler running on this thread when it is this server's, else null.
    HandlerScope* ownHandler() const { return tHandler && &tHandler->server == this ? tHandler : nullptr; }
    // While it lives, what the handler reaches is written apart from its request.
    struct Apart {
        explicit Apart(HandlerScope* scope);
        ~Apart();
        HandlerScope* scope;
    };
    void holdStateForRoom();
    // A room is seeded from the clock when it is made: making it changes the
    // books, and is written as the room made (a request that changed nothing
    // else is not written: its fields may be of any size).
    void noteMadeRoom(HandlerScope& scope, std::type_index room);
    template <class Room>
    Room& reach(bool toChange) {
        holdStateForRoom();
        const size_t before = rooms_.size();
        Room& r = rooms_.get<Room>(*this);
        if (HandlerScope* scope = ownHandler()) {
            if (rooms_.size() != before) noteMadeRoom(*scope, typeid(Room));
            if (toChange && scope->apart == 0) scope->changed = true;
        }
        return r;
    }

    struct Control {
        enum Kind { Answer, Fault, Hold, Delay, Drop };
        Control(Kind k, int m, int s, int t) : kind(k), main(m), sub(s), times(t) {}
        Kind kind;
        int main, sub, times;
        std::vector<uint8_t> bytes;
        SimFault fault = SimFault::None;
        uint64_t holdTicket = 0;
        double seconds = 0;
    };
    void addControl(Control control);
    // Serves the control routes on the HTTP side (start(), when the options ask for them).
    void serveControls();
    // Refuses on the HTTP side every request without the client's secret (start(), when the options give one).
    void admitItsClientAlone();
    // Before the handler of a request that names a trade session ("authid"):
    // the session must be live and the phone's that logged in, or the
    // request goes on without it. Takes the state lock for the rest of the handler.
    std::optional<SimTradeSession> admitTradeSession(SimRequest& request, const std::string& phone, double now);
    // The trade logins as the service sessions see them at `now`: the phone
    // of each while it can act (not ended, superseded or idle too long).
    // A session holding one never gives way to another login, and the memory
    // of a key it acted under is kept. With the state lock held.
    SimSessions::TradeLogins tradeLogins(double now) const;

    // The books on disk (SimServerBooks.cpp).
    void openBooks(bool fresh);
    void replayEntry(const SimJournalEntry& entry);
    // Books opened from a journal of an earlier format are compacted into
    // today's at once (SimJournal.h); false while that has not been done
    // (no room on the disk): the journal then takes no record, and the
    // books no change, until a later call succeeds (bringBooksBack's, at
    // the next request). True for books of today's format.
    bool upgradeBooks();
    // The entries written apart from a request that changed nothing else (the
    // advances and failures it brought about); false when one cannot be written.
    bool journalApart(std::vector<SimJournalEntry> entries, double now);
    // Writes the request a handler answered (under the state lock, before its
    // reply goes); answers the reply, or the refusal when it cannot be written.
    std::vector<uint8_t> journalRequest(const SimRequest& request, const std::string& phone,
                                        const std::optional<SimTradeSession>& trade,
                                        const std::vector<std::string>& secrets, double now,
                                        std::vector<uint8_t> reply);
    // Marks the books in memory ahead of the disk's, after a change that
    // could not be written (the journal cut back to its last whole record);
    // answers the refusal, which every request is answered while they are.
    std::vector<uint8_t> booksUnwritable();
    // Brings the books in memory back to the disk's, when they are ahead:
    // once the disk takes a record again (one naming the numbers the books
    // have given, so that none is given again), they are read back from it
    // as a start reads them, the sessions and trade logins kept. False while
    // it cannot (the disk still full): the request is refused.
    bool bringBooksBack();
    // A pushed message, before it is stored; false when it cannot be written.
    bool journalPush(const SimMessage& message, double now);
    // Compacts the journal into a snapshot once it has grown past the
    // option's size (with the state lock held, every change written).
    void compactBooksIfLarge();
    std::vector<Control> takeControls(int main, int sub);

    const SimOptions given_;  // as constructed (resetState goes back to them)
    SimOptions options_;
    SimClock clock_;
    SimMarket market_;
    SimRegistry registry_;
    std::string setupError_;
    mutable std::mutex mutex_;
    mutable std::atomic<std::thread::id> stateHolder_{};
    std::function<void(const SimMessage&)> pushObserver_;
    SimRooms rooms_;
    SimSessions sessions_;
    std::vector<Control> controls_;
    SimRequestLog log_;
    SimReplyHold hold_;
    std::vector<uint8_t> secretKey_;
    std::unique_ptr<SimJournal> journal_;
    SimJournalReport booksReport_;
    // The rules live requests are handled under: today's, or a test's (setBooksRules).
    std::atomic<SimBooksRules> booksRules_{SimBooksRules::Current};
    // The rules of the records being replayed while the books are opened
    // (by the journal's format and its snapshot's version), on the thread
    // that opens them; today's after.
    SimBooksRules replayRules_ = SimBooksRules::Current;
    // A change could not be written: the books in memory are ahead of the
    // disk's, and every request is refused until they are brought back.
    std::atomic<bool> booksAhead_{false};
    std::atomic<size_t> imageRequests_{0};
    std::atomic<size_t> pageRequests_{0};
    struct Http;
    std::unique_ptr<Http> http_;
    std::thread thread_;
    int port_ = 0;
    bool socketMade_ = false;  // SimOptions::socketPath is this server's to remove
};
