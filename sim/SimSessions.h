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
// other keys the `cap` used most recently.
//
// That memory is the newest frames of the key (its ring), and a busy
// customer's client sends many more under its one key in a day. So a frame
// that acted under a trade login (any request the trade login was admitted
// for: an order, a cancel, a transfer, a query) is also kept with that trade
// login for as long as it can act, whatever the key carries after it, and a
// frame is carried out only when neither the ring nor a live trade login of
// its key holds it (nor the key's checks of the password, below).
// A trade login keeps at most `most` frames (kTradeLoginFrames unless given):
// the frame that reaches it asks the caller to end that trade login, as lying
// idle does (its next request is refused as an ended session and the client
// logs in again), so that none is forgotten while the trade login can act.
// Memory: when a trade login's first frame is kept, the frames of every trade
// login that can no longer act go (and a key's, whenever they are looked at),
// so what is kept is the frames of the trade logins that could act then, and
// that one's. The books hold one trade login a customer (a login ends the
// customer's earlier one): at most `most` digests a customer, and `most`
// more.
//
// A frame that checked the account's password or code (a trade login, a
// password change, which renews it, a token's application, an account
// relation) would, posted again, open another trade login and so end the
// customer's live one, also once the trade login it opened has ended (the
// idle lock, a later login under the same key), or, refused, count another
// wrong password toward the lock-out. So it is kept with its key, whatever
// it answered, for as long as the key's memory lasts. A key checks the
// password a few times in a run (a trade login after each idle lock): it
// keeps at most `most` (kPasswordChecksPerKey unless given, 8 bytes each;
// beyond them only those already on their way when it reached them), and
// once it holds them a further check under it is refused rather than any
// forgotten (the client's key lives as long as its process: a restarted
// client has a new one). Not thread-safe: the server
// holds its state lock around it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_set>
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

    // The frames a trade login keeps at most: more than a request a second
    // through the four hours of continuous trading, many times what a very
    // busy customer taps in a day, at some 40 bytes a frame (800 KB a login).
    static constexpr size_t kTradeLoginFrames = 20000;
    // The checks of the password a key asks at most (mostly trade logins):
    // one every ten minutes of idle lock for a week of a client left running.
    static constexpr size_t kPasswordChecksPerKey = 1000;
    // The refusal of a trade login (or any other check of the password)
    // under a key that has asked as many.
    static constexpr const char* kPasswordChecksSpentText =
        "本次运行验证交易密码的次数已达上限，请退出并重新启动客户端后再试";

    // What a frame carried out was to a trade login.
    enum class Acted { Apart, UnderTradeLogin, CheckedPassword };

    // Adds the session (its id must be new). When its phone holds `perPhone`,
    // or the table `cap`, the idlest session it could replace that holds no
    // live trade login ends first; null (nothing added) when there is none.
    SimSession* open(SimSession session, size_t cap, size_t perPhone, const TradeLogins& trade);
    // The live session of that id, null when there is none.
    const SimSession* find(const std::string& id) const;
    // The same, used at `now` (it is no longer idle).
    const SimSession* use(const std::string& id, double now);
    // Whether the live session of that id carries out the frame for the
    // first time under its key (neither its ring, its passwordChecks, nor a trade
    // login of the key that can still act holds it), and the package id
    // (when one is given) for the first time in the session; remembers both
    // in the ring when it does. Nullopt when there is no such session.
    std::optional<bool> firstSending(const std::string& id, const std::vector<uint8_t>& frame,
                                     const std::string& packageId, const TradeLogins& trade);
    // What a handler changed of the session, written back: its trade login
    // (which its key's memory then outlives while it can act), and its phone
    // (as that phone's newest session, the phone's idlest without a live
    // trade login ending when it holds `perPhone` then). `frame` (may be
    // empty) is kept as `acted` says: with that trade login when it acted
    // under it, with the session's key when it checked the password.
    // Answers whether the trade login now holds `most` frames: the caller
    // ends it.
    bool writeBack(const SimSession& session, const std::vector<uint8_t>& frame, Acted acted, size_t perPhone,
                   size_t most, const TradeLogins& trade);
    // Whether the key of the live session of that id has checked the
    // password fewer than `most` times (any session without a key has).
    bool mayCheckPassword(const std::string& id, size_t most) const;
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
        size_t sessions = 0;                   // live sessions under the key
        std::set<std::string> tradeLogins;     // authids of the trade logins that acted under it
        std::vector<uint64_t> passwordChecks;  // digests of the frames that checked the password
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
    // Whether a trade login that acted under the key can still act (those
    // that cannot are dropped, with their frames).
    bool acts(Guarded& guard, const TradeLogins& trade);
    // Keeps the frame's digest with the trade login while it can act;
    // answers whether it holds `most`.
    bool keep(const std::string& authid, uint64_t frame, size_t most, const TradeLogins& trade);
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
    // By authid: the digests of the frames that acted under the trade login or opened it.
    std::map<std::string, std::unordered_set<uint64_t>> tradeFrames_;
    uint64_t opened_ = 0, uses_ = 0;
};
