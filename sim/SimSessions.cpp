#include "sim/SimSessions.h"

#include <algorithm>
#include <tuple>

SimSession* SimSessions::open(SimSession session, size_t cap, size_t perPhone, const TradeLogins& trade) {
    perPhone = std::max<size_t>(perPhone, 1);
    cap = std::max<size_t>(cap, 1);
    auto own = byPhone_.find(session.phone);
    if (own != byPhone_.end() && own->second.size() >= perPhone) {
        auto givesWay = idlest(&own->second, trade);
        if (givesWay == sessions_.end()) return nullptr;
        erase(givesWay);
    } else if (sessions_.size() >= cap) {
        auto givesWay = idlest(nullptr, trade);
        if (givesWay == sessions_.end()) return nullptr;
        erase(givesWay);
    }
    const std::string id = session.id;
    Held& held = sessions_[id] = Held{std::move(session), ++opened_, std::nullopt};
    idle_.insert(idleKey(held));
    if (!held.session.key.empty()) {
        held.keyed = simDigest64(held.session.key);
        Guarded& guard = guardOf(*held.keyed, cap, trade);
        ++guard.sessions;
        guard.lastUse = ++uses_;
    }
    join(id, held.session.phone, perPhone, trade);
    return &held.session;
}

const SimSession* SimSessions::find(const std::string& id) const {
    auto it = sessions_.find(id);
    return it == sessions_.end() ? nullptr : &it->second.session;
}

const SimSession* SimSessions::use(const std::string& id, double now) {
    auto it = sessions_.find(id);
    if (it == sessions_.end()) return nullptr;
    idle_.erase(idleKey(it->second));
    it->second.session.lastActive = now;
    idle_.insert(idleKey(it->second));
    return &it->second.session;
}

std::optional<bool> SimSessions::firstSending(const std::string& id, const std::vector<uint8_t>& frame,
                                              const std::string& packageId, const TradeLogins& trade) {
    auto it = sessions_.find(id);
    auto guard = it == sessions_.end() || !it->second.keyed ? guards_.end() : guards_.find(*it->second.keyed);
    if (guard == guards_.end()) return std::nullopt;
    guard->second.lastUse = ++uses_;
    acts(guard->second, trade);
    const uint64_t digest = simDigest64(frame);
    if (std::ranges::find(guard->second.passwordChecks, digest) != guard->second.passwordChecks.end()) return false;
    for (const std::string& authid : guard->second.tradeLogins)
        if (auto kept = tradeFrames_.find(authid); kept != tradeFrames_.end() && kept->second.contains(digest))
            return false;
    // A package id names one sending of its session.
    return guard->second.carriedOut.firstSending(frame, packageId.empty() ? packageId : id + "\n" + packageId);
}

bool SimSessions::writeBack(const SimSession& session, const std::vector<uint8_t>& frame, Acted acted, size_t perPhone,
                            size_t most, const TradeLogins& trade) {
    auto it = sessions_.find(session.id);
    // The key's memory lasts while a trade login that acted under it can act
    // (noted also when the session ended while its request was carried out).
    bool full = false;
    if (!session.key.empty()) {
        const uint64_t digest =
            it != sessions_.end() && it->second.keyed ? *it->second.keyed : simDigest64(session.key);
        if (auto guard = guards_.find(digest); guard != guards_.end()) {
            if (acted == Acted::CheckedPassword && !frame.empty())
                guard->second.passwordChecks.push_back(simDigest64(frame));
            if (!session.tradeAuthId.empty()) {
                guard->second.tradeLogins.insert(session.tradeAuthId);
                acts(guard->second, trade);  // those that can no longer act are dropped
            }
        }
        if (acted == Acted::UnderTradeLogin && !frame.empty() && !session.tradeAuthId.empty())
            full = keep(session.tradeAuthId, simDigest64(frame), most, trade);
    }
    if (it == sessions_.end()) return full;
    it->second.session.tradeAuthId = session.tradeAuthId;
    if (it->second.session.phone == session.phone) return full;
    leave(session.id, it->second.session.phone);
    it->second.session.phone = session.phone;
    join(session.id, session.phone, std::max<size_t>(perPhone, 1), trade);
    return full;
}

bool SimSessions::mayCheckPassword(const std::string& id, size_t most) const {
    auto it = sessions_.find(id);
    auto guard = it == sessions_.end() || !it->second.keyed ? guards_.end() : guards_.find(*it->second.keyed);
    return guard == guards_.end() || guard->second.passwordChecks.size() < most;
}

void SimSessions::sweep(double now, double idleTimeout) {
    while (!idle_.empty() && now - std::get<0>(*idle_.begin()) > idleTimeout) {
        auto it = sessions_.find(std::get<2>(*idle_.begin()));
        if (it != sessions_.end())
            erase(it);
        else
            idle_.erase(idle_.begin());
    }
}

void SimSessions::end(const std::string& id) {
    auto it = sessions_.find(id);
    if (it != sessions_.end()) erase(it);
}

void SimSessions::endAll() {
    while (!sessions_.empty()) erase(sessions_.begin());
}

void SimSessions::clear() {
    sessions_.clear();
    idle_.clear();
    byPhone_.clear();
    guards_.clear();
    tradeFrames_.clear();
}

std::vector<std::string> SimSessions::ids() const {
    std::vector<std::string> out;
    for (const auto& [id, s] : sessions_) out.push_back(id);
    return out;
}

bool SimSessions::keeps(const SimSession& session, const TradeLogins& trade) {
    return !session.tradeAuthId.empty() && trade(session.tradeAuthId) == session.phone;
}

bool SimSessions::acts(Guarded& guard, const TradeLogins& trade) {
    std::erase_if(guard.tradeLogins, [&](const std::string& authid) {
        if (trade(authid)) return false;
        tradeFrames_.erase(authid);  // it never acts again
        return true;
    });
    return !guard.tradeLogins.empty();
}

bool SimSessions::keep(const std::string& authid, uint64_t frame, size_t most, const TradeLogins& trade) {
    if (!trade(authid)) return false;  // what names it is refused as an ended session
    auto kept = tradeFrames_.find(authid);
    if (kept == tradeFrames_.end()) {
        // A trade login's first: those that can no longer act go (the bound of the whole).
        std::erase_if(tradeFrames_, [&](const auto& entry) { return !trade(entry.first); });
        kept = tradeFrames_.try_emplace(authid).first;
    }
    most = std::max<size_t>(most, 1);
    if (kept->second.size() < most) kept->second.insert(frame);
    return kept->second.size() >= most;
}

SimSessions::Sessions::iterator SimSessions::idlest(const std::deque<std::string>* ids, const TradeLogins& trade) {
    auto best = sessions_.end();
    auto consider = [&](Sessions::iterator it) {
        if (it == sessions_.end() || keeps(it->second.session, trade)) return;
        if (best == sessions_.end() || std::tie(it->second.session.lastActive, it->second.opened) <
                                           std::tie(best->second.session.lastActive, best->second.opened))
            best = it;
    };
    if (ids) {
        for (const auto& id : *ids) consider(sessions_.find(id));
        return best;
    }
    for (const auto& [lastActive, opened, id] : idle_) {
        consider(sessions_.find(id));
        if (best != sessions_.end()) break;
    }
    return best;
}

void SimSessions::join(const std::string& id, const std::string& phone, size_t perPhone, const TradeLogins& trade) {
    // A phone whose every session holds a trade login goes over its share:
    // the session moved to it has done its work already.
    for (auto own = byPhone_.find(phone); own != byPhone_.end() && own->second.size() >= perPhone;
         own = byPhone_.find(phone)) {
        auto givesWay = idlest(&own->second, trade);
        if (givesWay == sessions_.end()) break;
        erase(givesWay);
    }
    byPhone_[phone].push_back(id);
}

void SimSessions::leave(const std::string& id, const std::string& phone) {
    auto own = byPhone_.find(phone);
    if (own == byPhone_.end()) return;
    std::erase(own->second, id);
    if (own->second.empty()) byPhone_.erase(own);
}

SimSessions::Sessions::iterator SimSessions::erase(Sessions::iterator it) {
    idle_.erase(idleKey(it->second));
    leave(it->first, it->second.session.phone);
    if (it->second.keyed) {
        auto guard = guards_.find(*it->second.keyed);
        if (guard != guards_.end() && guard->second.sessions > 0) --guard->second.sessions;
    }
    return sessions_.erase(it);
}

SimSessions::Guarded& SimSessions::guardOf(uint64_t digest, size_t cap, const TradeLogins& trade) {
    if (auto it = guards_.find(digest); it != guards_.end()) return it->second;
    if (guards_.size() >= cap) {
        // The oldest without a live session nor a trade login that can still
        // act (asked only of one older than the oldest found so far).
        auto oldest = guards_.end();
        for (auto it = guards_.begin(); it != guards_.end(); ++it)
            if (it->second.sessions == 0 && (oldest == guards_.end() || it->second.lastUse < oldest->second.lastUse) &&
                !acts(it->second, trade))
                oldest = it;
        if (oldest != guards_.end()) guards_.erase(oldest);
    }
    return guards_[digest];
}
