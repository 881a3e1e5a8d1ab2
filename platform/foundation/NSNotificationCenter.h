#pragma once
// Named notifications between subsystems ("FastestHostNotification",
// "NetworkReachabilityChangedNotification", ...). Posting is synchronous on
// the caller's thread (the main loop in practice). The centre holds no lock
// while it calls observers, so an observer may post, add or remove observers.
// An observer removed while a notification is being posted is not called
// afterwards; one added during a post first hears the next post.
#include <any>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

struct NSNotification {
    std::string name;
    std::any object;  // sender or payload object (may be empty)
    Value userInfo;   // Dict or Null
};

class NSNotificationCenter {
public:
    static NSNotificationCenter& defaultCenter();

    // observer: identity key used for removal (usually `this`).
    // An empty name observes every notification.
    void addObserver(const void* observer, const std::string& name, std::function<void(const NSNotification&)> block);
    void removeObserver(const void* observer);  // all of its names
    void removeObserver(const void* observer, const std::string& name);
    void postNotificationName(const std::string& name, std::any object = {}, Value userInfo = {});
    void postNotification(const NSNotification& note);

    // Number of registrations (tests; leak checks).
    size_t observerCount() const;

    NSNotificationCenter() = default;
    NSNotificationCenter(const NSNotificationCenter&) = delete;
    NSNotificationCenter& operator=(const NSNotificationCenter&) = delete;

private:
    struct Entry {
        const void* observer;
        std::string name;
        std::shared_ptr<std::function<void(const NSNotification&)>> block;
        std::shared_ptr<bool> alive;  // guarded by mutex_; cleared on removal
    };
    bool isAlive(const Entry& e) const;

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};
