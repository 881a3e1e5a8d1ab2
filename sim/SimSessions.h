#pragma once
// The service sessions of the simulated server: opened by a session login,
// ended when idle longer than the idle timeout (judged by the sim's clock on
// every request, not only when the session is used again), and bounded twice:
//  - A phone holds at most `perPhone` sessions: its newest replace its own
//    oldest, so that a flood of logins from one phone takes only its own
//    room (the phone is the one the login declares, or that a registration
//    moves the session to; sessions that declare none count as one phone).
//  - The table holds at most `cap`: a login beyond it is refused, and no live
//    session of another phone ends to make room.
// Each session keeps what it has carried out (SimRepeatGuard.h) for as long
// as it lives. Not thread-safe: the server holds its state lock around it.
#include <cstddef>
#include <cstdint>
#include <deque>
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
    // Adds the session (its id must be new), ending its phone's oldest when
    // the phone holds `perPhone`; null (nothing added) when `cap` are open
    // and none of its phone's ended.
    SimSession* open(SimSession session, size_t cap, size_t perPhone);
    // The live session of that id, null when there is none.
    SimSession* find(const std::string& id);
    // What the live session of that id has carried out, null when there is none.
    SimRepeatGuard* carriedOut(const std::string& id);
    // The session belongs to another phone from now on, as the newest of its
    // sessions (the phone's oldest ends when it holds `perPhone` then).
    void setPhone(const std::string& id, const std::string& phone, size_t perPhone);
    // Ends every session idle longer than `idleTimeout` at `now` (idle exactly that long stays).
    void sweep(double now, double idleTimeout);
    void end(const std::string& id);
    void clear();
    size_t size() const { return sessions_.size(); }
    std::vector<std::string> ids() const;

private:
    struct Held {
        SimSession session;
        SimRepeatGuard carriedOut;
    };
    // Adds the id as its phone's newest, ending the phone's oldest beyond `perPhone`.
    void join(const std::string& id, const std::string& phone, size_t perPhone);
    void leave(const std::string& id, const std::string& phone);

    std::map<std::string, Held> sessions_;
    std::map<std::string, std::deque<std::string>> byPhone_;  // ids, oldest first
};
