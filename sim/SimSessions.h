#pragma once
// The service sessions of the simulated server: opened by a session login,
// ended when idle longer than the idle timeout (judged by the sim's clock on
// every request, not only when the session is used again), and bounded twice:
//  - A phone holds at most `perPhone` sessions (the phone is the one the
//    login declares, or that a registration moves the session to; sessions
//    that declare none count as one phone).
//  - The table holds at most `cap`.
// When a login finds its phone's share or the table full, the idlest session
// it could replace gives way (its phone's, or any when the table is full),
// but never one that holds a live trade login (the one it made or used last,
// still able to act, for its phone): a declared phone number ends no
// customer's trading, and a flood of logins shuts no one out. A login is
// refused only when every session it could replace holds one.
//
// What a session carries out is remembered under its key (SimRepeatGuard.h),
// not under the session: a client keeps its key for its whole run, so a
// frame of one of its sessions deciphers in the next, and a captured login
// posted again opens a session under that key. Whatever its session, a frame
// carried out under the key is not carried out again. The memory of a key
// outlives its sessions: it is kept while a session of the key lives or a
// trade login that acted under it can still act (a captured order names its
// trade login, which a captured login's new session would serve), and of the
// other keys the `cap` used most recently. Not thread-safe: the server holds
// its state lock around it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "sim/SimRepeatGuard.h"

struct SimSession {
    std::string id;
    std::vector<uint8_t> key;  // empty: logged in without key exchange
    double lastActive = 0;
    std::string phone;
    std::string tradeAuthId;  // the trade login it made or used last ("" none)
};

class SimSessions {
public:
    // The phone a trade login (by its authid) serves while it can still act;
    // nullopt once it cannot (unknown, ended, superseded, idle too long),
    // which it never can again.
    using TradeLogins = std::function<std::optional<std::string>(const std::string& authid)>;

    // Adds the session (its id must be new). When its phone holds `perPhone`,
    // or the table `cap`, the idlest session it could replace that holds no
    // live trade login ends first; null (nothing added) when there is none.
    SimSession* open(SimSession session, size_t cap, size_t perPhone, const TradeLogins& trade);
    // The live session of that id, null when there is none.
    const SimSession* find(const std::string& id) const;
    // The same, used at `now` (it is no longer idle).
    const SimSession* use(const std::string& id, double now);
    // Whether the live session of that id carries out the frame for the
    // first time under its key, and the package id (when one is given) for
    // the first time in the session; remembers both when it does. Nullopt
    // when there is no such session.
    std::optional<bool> firstSending(const std::string& id, const std::vector<uint8_t>& frame,
                                     const std::string& packageId);
    // What a handler changed of the session, written back: its trade login
    // (which its key's memory then outlives while it can act), and its phone
    // (as that phone's newest session, the phone's idlest without a live
    // trade login ending when it holds `perPhone` then).
    void writeBack(const SimSession& session, size_t perPhone, const TradeLogins& trade);
    // Ends every session idle longer than `idleTimeout` at `now` (idle exactly that long stays).
    void sweep(double now, double idleTimeout);
    void end(const std::string& id);
    // Ends every session; what their keys carried out is still known.
    void endAll();
    // Ends every session and forgets what every key carried out.
    void clear();
    size_t size() const { return sessions_.size(); }
    std::vector<std::string> ids() const;

private:
    struct Held {
        SimSession session;
        uint64_t opened = 0;            // the order of opening: of two as idle, the older gives way
        std::optional<uint64_t> keyed;  // the digest of its key
    };
    struct Guarded {
        SimRepeatGuard carriedOut;
        size_t sessions = 0;                // live sessions under the key
        std::set<std::string> tradeLogins;  // authids of the trade logins that acted under it
        uint64_t lastUse = 0;
    };
    using Sessions = std::map<std::string, Held>;
    // The sessions from the idlest (least lately active, then opened first):
    // the sweep and a full table look at its front only.
    using IdleOrder = std::set<std::tuple<double, uint64_t, std::string>>;
    static IdleOrder::value_type idleKey(const Held& held) {
        return {held.session.lastActive, held.opened, held.session.id};
    }
    // Whether the session holds a live trade login (it never gives way).
    static bool keeps(const SimSession& session, const TradeLogins& trade);
    // Whether a trade login that acted under the key can still act (those that cannot are dropped).
    static bool acts(Guarded& guard, const TradeLogins& trade);
    // The idlest of the ids that holds no live trade login (all ids when `ids` is null).
    Sessions::iterator idlest(const std::deque<std::string>* ids, const TradeLogins& trade);
    // Adds the id as its phone's newest, ending the phone's idlest not kept beyond `perPhone`.
    void join(const std::string& id, const std::string& phone, size_t perPhone, const TradeLogins& trade);
    void leave(const std::string& id, const std::string& phone);
    Sessions::iterator erase(Sessions::iterator it);
    // The key's memory, made when missing (forgetting, beyond `cap`, the one
    // used longest ago that no live session holds and under which no trade
    // login that can still act has acted).
    Guarded& guardOf(uint64_t keyDigest, size_t cap, const TradeLogins& trade);

    Sessions sessions_;
    IdleOrder idle_;
    std::map<std::string, std::deque<std::string>> byPhone_;  // ids, oldest first
    std::map<uint64_t, Guarded> guards_;                      // by key digest
    uint64_t opened_ = 0, uses_ = 0;
};
