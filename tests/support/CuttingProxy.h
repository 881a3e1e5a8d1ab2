#pragma once
// A loopback HTTP proxy between the client and the simulated server that
// cuts the line at a chosen moment of a chosen request: the hostile network
// of the tests that check an order reaches the brokerage at most once.
//
//   CuttingProxy proxy(sim->port());
//   ASSERT_TRUE(proxy.start());
//   NetworkManager::manager().setLoopbackHost(proxy.url());
//   proxy.cut(500, 6, CuttingProxy::Cut::AfterAnswer);   // the next stock order
//   proxy.cutAt(3, CuttingProxy::Cut::BeforeForwarding); // the third request from now
//
// Toward the client every connection is kept alive between requests (a reply
// never says "Connection: close"), as a real server's are, so that a client
// that re-sends on a dead kept-alive connection shows it. Toward the server
// each request goes on a connection of its own.
//
// A request is picked by its function numbers, read from the clear header
// fields of its body ("tc_mfuncno", "tc_sfuncno"; everything else may be
// enciphered), or by its position in the conversation, counted over every
// request the proxy reads from now on (host probes and images included).
// Each rule cuts once (or `times` times) and is then used up; every other
// request passes untouched.
//
// Threads: one accepting, one per client connection; the controls may be
// called from any thread. A held reply waits for the client to give up (its
// time-out closes the connection), for release(), or for stop(). The client's
// time-out runs on its own clock, virtual in the tests: a test lets it pass
// once heldReplies() says the server has answered and the reply waits (the
// main loop is woken then, so that a wait on it sees the hold at once).
#include <atomic>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class CuttingProxy {
public:
    enum class Cut {
        BeforeForwarding,  // the request is read whole, then the connection closed: the server never sees it
        AfterAnswer,       // the server answered whole; the connection is closed before a byte reaches the client
        MidReply,          // the reply's headers and half its body reach the client, then the connection closes
        HoldPastTimeout,   // the server answered; the reply is held until the client gives up (or release())
        CloseAfterReply,   // the reply goes whole, then the kept-alive connection is closed, as an idle one may be
    };

    explicit CuttingProxy(int serverPort);
    ~CuttingProxy();
    CuttingProxy(const CuttingProxy&) = delete;
    CuttingProxy& operator=(const CuttingProxy&) = delete;

    bool start();  // 127.0.0.1, a free port
    void stop();
    int port() const { return port_; }
    std::string url() const;  // "http://127.0.0.1:PORT"

    // The next `times` requests of function main/sub (sub 0: any of main) are cut so.
    void cut(int main, int sub, Cut how, int times = 1);
    // The request at that position from now (1: the next one read) is cut so.
    void cutAt(int position, Cut how);
    // Forgets the rules not used up yet.
    void clearCuts();
    // Lets the held replies go (to connections the client has not closed yet).
    void release();

    // Requests of function main/sub (sub 0: any of main) read from the client,
    // and forwarded to the server.
    size_t received(int main, int sub) const;
    size_t forwarded(int main, int sub) const;
    size_t cutsDone() const;
    // Replies held now (HoldPastTimeout): the server answered, the client has not had it.
    size_t heldReplies() const;
    // Client connections accepted so far.
    size_t connections() const;

private:
    struct Rule {
        int main = 0, sub = 0;
        long position = 0;  // > 0: by position
        Cut how = Cut::AfterAnswer;
        int times = 1;
    };
    struct Seen {
        int main = 0, sub = 0;
        bool forwarded = false;
    };
    void acceptLoop();
    void serve(int client);
    // The rule for the next request (read just now), used up by one.
    bool takeRule(int main, int sub, Cut& how);
    void note(int main, int sub, bool forwarded);
    // Waits until the client closes the connection, the held replies are released, or the proxy stops.
    // Answers whether the reply may still go.
    bool hold(int client);

    const int serverPort_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    mutable std::mutex mutex_;
    long releases_ = 0;
    std::vector<Rule> rules_;
    long position_ = 0;
    std::vector<Seen> seen_;
    size_t cuts_ = 0;
    size_t held_ = 0;
    size_t connections_ = 0;
    std::vector<std::thread> workers_;
    std::vector<int> clients_;
};
