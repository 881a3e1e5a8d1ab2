#include "platform/foundation/NSNotificationCenter.h"

#include <algorithm>

NSNotificationCenter& NSNotificationCenter::defaultCenter() {
    static NSNotificationCenter center;
    return center;
}

void NSNotificationCenter::addObserver(const void* observer, const std::string& name,
                                       std::function<void(const NSNotification&)> block) {
    if (!block) return;
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back({observer, name, std::make_shared<std::function<void(const NSNotification&)>>(std::move(block)),
                        std::make_shared<bool>(true)});
}

void NSNotificationCenter::removeObserver(const void* observer) {
    std::vector<Entry> removed;  // blocks are destroyed after the lock: they may own observers
    std::lock_guard<std::mutex> lock(mutex_);
    auto it =
        std::stable_partition(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.observer != observer; });
    for (auto r = it; r != entries_.end(); ++r) {
        *r->alive = false;
        removed.push_back(std::move(*r));
    }
    entries_.erase(it, entries_.end());
}

void NSNotificationCenter::removeObserver(const void* observer, const std::string& name) {
    std::vector<Entry> removed;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::stable_partition(entries_.begin(), entries_.end(),
                                    [&](const Entry& e) { return !(e.observer == observer && e.name == name); });
    for (auto r = it; r != entries_.end(); ++r) {
        *r->alive = false;
        removed.push_back(std::move(*r));
    }
    entries_.erase(it, entries_.end());
}

bool NSNotificationCenter::isAlive(const Entry& e) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return *e.alive;
}

void NSNotificationCenter::postNotification(const NSNotification& note) {
    std::vector<Entry> targets;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& e : entries_)
            if (e.name.empty() || e.name == note.name) targets.push_back(e);
    }
    for (const auto& e : targets) {
        if (!isAlive(e)) continue;
        (*e.block)(note);
    }
}

void NSNotificationCenter::postNotificationName(const std::string& name, std::any object, Value userInfo) {
    postNotification(NSNotification{name, std::move(object), std::move(userInfo)});
}

size_t NSNotificationCenter::observerCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}
