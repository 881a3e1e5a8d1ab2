#pragma once
// The service sessions of the simulated server: opened by a session login,
// ended when idle longer than the idle timeout (judged by the sim's clock on
// every request, not only when the session is used again), and never more
// than a cap: a login beyond it is refused, and no live session ends to make
// room. Each session keeps what it has carried out (SimRepeatGuard.h) for as
// long as it lives. Not thread-safe: the server holds its state lock around it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/SimRepeatGuard.h"

struct SimSession {
    std::string id;
    std::vector<uint8_t> key;  // empty: logged in without key exchange
    double lastActive = 0;
    std::string phone;
};

class SimSessions {
public:
    // Adds the session (its id must be new); null (nothing added) when `cap` are open.
    SimSession* open(SimSession session, size_t cap);
    // The live session of that id, null when there is none.
    SimSession* find(const std::string& id);
    // What the live session of that id has carried out, null when there is none.
    SimRepeatGuard* carriedOut(const std::string& id);
    // Ends every session idle longer than `idleTimeout` at `now` (idle exactly that long stays).
    void sweep(double now, double idleTimeout);
    void end(const std::string& id) { sessions_.erase(id); }
    void clear() { sessions_.clear(); }
    size_t size() const { return sessions_.size(); }
    std::vector<std::string> ids() const;

private:
    struct Held {
        SimSession session;
        SimRepeatGuard carriedOut;
    };
    std::map<std::string, Held> sessions_;
};
