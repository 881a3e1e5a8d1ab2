#include "sim/SimSessions.h"

#include <algorithm>

SimSession& SimSessions::open(SimSession session, size_t cap) {
    while (!sessions_.empty() && sessions_.size() >= std::max<size_t>(cap, 1)) {
        auto idlest = std::min_element(sessions_.begin(), sessions_.end(), [](const auto& a, const auto& b) {
            return a.second.lastActive < b.second.lastActive;
        });
        sessions_.erase(idlest);
    }
    std::string id = session.id;
    return sessions_[id] = std::move(session);
}

SimSession* SimSessions::find(const std::string& id) {
    auto it = sessions_.find(id);
    return it == sessions_.end() ? nullptr : &it->second;
}

void SimSessions::sweep(double now, double idleTimeout) {
    std::erase_if(sessions_, [&](const auto& entry) { return now - entry.second.lastActive > idleTimeout; });
}

std::vector<std::string> SimSessions::ids() const {
    std::vector<std::string> out;
    for (const auto& [id, s] : sessions_) out.push_back(id);
    return out;
}
