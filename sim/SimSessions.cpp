#include "sim/SimSessions.h"

#include <algorithm>

SimSession* SimSessions::open(SimSession session, size_t cap) {
    if (sessions_.size() >= std::max<size_t>(cap, 1)) return nullptr;
    const std::string id = session.id;
    return &(sessions_[id] = Held{std::move(session), SimRepeatGuard()}).session;
}

SimSession* SimSessions::find(const std::string& id) {
    auto it = sessions_.find(id);
    return it == sessions_.end() ? nullptr : &it->second.session;
}

SimRepeatGuard* SimSessions::carriedOut(const std::string& id) {
    auto it = sessions_.find(id);
    return it == sessions_.end() ? nullptr : &it->second.carriedOut;
}

void SimSessions::sweep(double now, double idleTimeout) {
    std::erase_if(sessions_, [&](const auto& entry) { return now - entry.second.session.lastActive > idleTimeout; });
}

std::vector<std::string> SimSessions::ids() const {
    std::vector<std::string> out;
    for (const auto& [id, s] : sessions_) out.push_back(id);
    return out;
}
