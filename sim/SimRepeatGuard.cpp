#include "sim/SimRepeatGuard.h"

bool SimRepeatGuard::firstSending(const std::string& session, const std::string& packageId) {
    if (packageId.empty()) return true;
    std::string key = session + "\n" + packageId;
    if (!seen_.insert(key).second) return false;
    order_.push_back(std::move(key));
    while (order_.size() > capacity_) {
        seen_.erase(order_.front());
        order_.pop_front();
    }
    return true;
}

void SimRepeatGuard::clear() {
    seen_.clear();
    order_.clear();
}
