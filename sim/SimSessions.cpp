#include "sim/SimSessions.h"

#include <algorithm>

SimSession* SimSessions::open(SimSession session, size_t cap, size_t perPhone) {
    perPhone = std::max<size_t>(perPhone, 1);
    auto own = byPhone_.find(session.phone);
    const bool replaces = own != byPhone_.end() && own->second.size() >= perPhone;
    if (!replaces && sessions_.size() >= std::max<size_t>(cap, 1)) return nullptr;
    const std::string id = session.id;
    Held& held = sessions_[id] = Held{std::move(session), SimRepeatGuard()};
    join(id, held.session.phone, perPhone);
    return &held.session;
}

SimSession* SimSessions::find(const std::string& id) {
    auto it = sessions_.find(id);
    return it == sessions_.end() ? nullptr : &it->second.session;
}

SimRepeatGuard* SimSessions::carriedOut(const std::string& id) {
    auto it = sessions_.find(id);
    return it == sessions_.end() ? nullptr : &it->second.carriedOut;
}

void SimSessions::setPhone(const std::string& id, const std::string& phone, size_t perPhone) {
    auto it = sessions_.find(id);
    if (it == sessions_.end() || it->second.session.phone == phone) return;
    leave(id, it->second.session.phone);
    it->second.session.phone = phone;
    join(id, phone, std::max<size_t>(perPhone, 1));
}

void SimSessions::sweep(double now, double idleTimeout) {
    for (auto it = sessions_.begin(); it != sessions_.end();) {
        if (now - it->second.session.lastActive > idleTimeout) {
            leave(it->first, it->second.session.phone);
            it = sessions_.erase(it);
        } else {
            ++it;
        }
    }
}

void SimSessions::end(const std::string& id) {
    auto it = sessions_.find(id);
    if (it == sessions_.end()) return;
    leave(id, it->second.session.phone);
    sessions_.erase(it);
}

void SimSessions::clear() {
    sessions_.clear();
    byPhone_.clear();
}

std::vector<std::string> SimSessions::ids() const {
    std::vector<std::string> out;
    for (const auto& [id, s] : sessions_) out.push_back(id);
    return out;
}

void SimSessions::join(const std::string& id, const std::string& phone, size_t perPhone) {
    std::deque<std::string>& own = byPhone_[phone];
    while (own.size() >= perPhone) {
        sessions_.erase(own.front());
        own.pop_front();
    }
    own.push_back(id);
}

void SimSessions::leave(const std::string& id, const std::string& phone) {
    auto own = byPhone_.find(phone);
    if (own == byPhone_.end()) return;
    std::erase(own->second, id);
    if (own->second.empty()) byPhone_.erase(own);
}
