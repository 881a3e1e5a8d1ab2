#pragma once
// The simulated brokerage server: the request protocol of the client's
// request service (net/ServiceProtocol.h) over HTTP on loopback, with real
// record sets, compression and encryption, a deterministic market and the
// state behind the functions (sessions, own stocks, pushed messages).
//
// Embedded use (the client's default, tests, benchmarks):
//   SimServer sim({.seed = 7});
//   sim.start();                 // 127.0.0.1, a free port
//   NetworkManager::manager().setLoopbackHost(sim.url());
// The server answers on its own threads; the controls below are thread-safe.
//
// HTTP endpoints: POST /vta (requests), GET /vta (host probe: "roduvede-sim"),
// GET /img/<name>.png (the fixed images of SimImages.h, 404 for other names),
// GET /page/<name>.html (the pages of SimPages.h for the in-app web page, 404 for others),
// and for the stand-alone program GET /sim/status, POST /sim/push
// (title=...&content=...), POST /sim/expire, POST /sim/clock (t=seconds | advance=seconds).
// A request with the header "X-Sim-Dump: text" gets its record sets as
// readable text instead (no compression, no cipher): for curl.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "sim/SimClock.h"
#include "sim/SimMarket.h"
#include "sim/SimRegistry.h"
#include "sim/SimRequest.h"

struct SimOptions {
    int port = 0;  // 0: a free port
    uint64_t seed = 1;
    std::optional<double> clock;  // start time of the sim's clock (default: now)
    bool frozenClock = false;
    double sessionIdleTimeout = 1800;  // seconds of the sim's clock
    bool requireSession = true;        // every function but 100/1 needs a live session
    std::string privateKeyPath;        // default: simPrivateKeyPath()
    std::string host = "127.0.0.1";
    // How long an idle kept-alive connection is held open. stop() waits for
    // idle connections up to that long, so tests use 0 (a new connection per
    // request, immediate stop).
    int keepAliveSeconds = 5;
};

struct SimSession {
    std::string id;
    std::vector<uint8_t> key;  // empty: logged in without key exchange
    double lastActive = 0;
    std::string phone;
};

struct SimMessage {
    int64_t msgId = 0;
    int64_t detailId = 0;
    std::string senderCode = "1001";
    std::string senderName = "资讯中心";
    double sendTime = 0;  // sim clock seconds
    int needConfirm = 1;  // "is_validate"
    int type = 1;         // 1 long text (url is a request), 2 web address
    int level = 1;
    std::string title;
    std::string content;
    std::string longText;  // "news_content" of the long message
    std::string channel = "每日资讯";
    std::string stockCode, stockName;
    std::string url;         // filled from the ids when empty (type 1)
    bool delivered = false;  // confirmed (or sent without need of a confirmation)
};

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

// One request as received (for tests).
struct SimRecord {
    std::string rawBody;
    std::vector<SimField> fields;       // clear and deciphered
    std::vector<SimField> clearFields;  // as on the wire
    int main = 0, sub = 0;
    int encrypt = 0;      // TC_ENCRYPT
    std::string session;  // TC_SESSION without braces
    std::string userAgent;
    std::string acceptEncoding;
    std::string packageId;
    std::string etag;             // of the reply ("" when none)
    std::string contentEncoding;  // of the reply
    size_t replyBytes = 0;
};

class SimServer {
public:
    explicit SimServer(SimOptions options = {});
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    bool start();
    void stop();
    bool isRunning() const;
    int port() const { return port_; }
    std::string url() const;  // "http://127.0.0.1:PORT"

    SimClock& clock() { return clock_; }
    const SimMarket& market() const { return market_; }
    const SimOptions& options() const { return options_; }

    // ---- controls ----
    // The next `times` requests of function main/sub (0/0: any) answer an error set.
    void forceErrorSet(int code, const std::string& text, int main = 0, int sub = 0, int times = 1);
    void forceFault(SimFault fault, int main = 0, int sub = 0, int times = 1);
    void delayReply(double seconds, int main = 0, int sub = 0, int times = 1);  // real seconds
    void dropConnection(int main = 0, int sub = 0, int times = 1);
    // Forgets every forced error, fault, delay and drop not used up yet.
    void clearControls();
    void expireSession(const std::string& id);
    void expireAllSessions();
    void setSessionIdleTimeout(double seconds);
    std::vector<std::string> sessionIds() const;
    void setRequireSession(bool required);
    // Requests received, oldest first.
    size_t requestCount() const;
    std::vector<SimRecord> requests() const;
    std::vector<SimRecord> requestsOf(int main, int sub) const;
    void clearRequests();
    // GET requests of /img/... received (found or not).
    size_t imageRequestCount() const { return imageRequests_.load(); }
    // GET requests of /page/... received (found or not).
    size_t pageRequestCount() const { return pageRequests_.load(); }
    // A new pushed message (sent time: the sim clock unless set); answers its msg id.
    int64_t pushMessage(SimMessage message);
    // Called with every message pushed (after it is stored), on the thread that
    // pushed it: the client that embeds the server turns it into a push
    // notification of its platform, as the brokerage's push service would.
    void setPushObserver(std::function<void(const SimMessage&)> observer);
    std::vector<SimMessage> messages() const;
    // The own stocks kept for a phone ("" for sessions without a phone).
    std::vector<std::string> ownStocks(const std::string& phone = "") const;
    void setOwnStocks(const std::string& phone, std::vector<std::string> ids);

    // ---- state of the function families (used with stateMutex() held, i.e. inside handlers) ----
    struct State {
        std::map<std::string, std::vector<std::string>> ownStocks;  // phone -> "code.market"
        std::vector<SimMessage> messages;
        int64_t nextMessageId = 1000;
        std::set<std::string> registeredPhones;
        std::map<std::string, std::string> pushTokens;  // phone -> token
        std::vector<std::string> feedback;
        int menuVersion = 4;
        std::string newestVersion;  // "" none newer
    };
    State& state() { return state_; }
    std::mutex& stateMutex() { return mutex_; }
    void seedMessages();  // a few messages for a fresh server

    struct Reply {
        int status = 200;
        std::string body;
        std::vector<std::pair<std::string, std::string>> headers;
        double delay = 0;
        bool drop = false;
    };
    // The whole request road without HTTP (the HTTP side calls it; also for benchmarks).
    Reply handle(const std::string& body, const std::map<std::string, std::string>& headers);

private:
    struct Control {
        enum Kind { ErrorSet, Fault, Delay, Drop } kind = ErrorSet;
        int main = 0, sub = 0, times = 1;
        int code = 0;
        std::string text;
        SimFault fault = SimFault::None;
        double seconds = 0;
    };
    std::vector<Control> takeControls(int main, int sub);

    SimOptions options_;
    SimClock clock_;
    SimMarket market_;
    SimRegistry registry_;
    mutable std::mutex mutex_;
    std::function<void(const SimMessage&)> pushObserver_;
    State state_;
    std::map<std::string, SimSession> sessions_;
    std::vector<Control> controls_;
    std::vector<SimRecord> records_;
    uint64_t sessionCounter_ = 0;
    std::atomic<size_t> imageRequests_{0};
    std::atomic<size_t> pageRequests_{0};
    struct Http;
    std::unique_ptr<Http> http_;
    std::thread thread_;
    int port_ = 0;
};
