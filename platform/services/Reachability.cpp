#include "platform/services/Reachability.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace {
struct State {
    std::mutex mutex;
    bool internetSet = false;
    NetworkStatus internet = NetworkStatus::ReachableViaWiFi;
    std::map<std::string, bool> hosts;                  // reached or not
    std::vector<std::weak_ptr<Reachability>> watchers;  // main thread only
};

State& state() {
    static State s;
    return s;
}

NetworkStatus defaultInternetStatus() {
    const char* env = std::getenv("RD_NETWORK");
    std::string v = env ? env : "";
    if (v == "none" || v == "0") return NetworkStatus::NotReachable;
    if (v == "wwan" || v == "mobile") return NetworkStatus::ReachableViaWWAN;
    return NetworkStatus::ReachableViaWiFi;
}

NetworkStatus internetLocked(State& s) {
    if (!s.internetSet) {
        s.internet = defaultInternetStatus();
        s.internetSet = true;
    }
    return s.internet;
}

}  // namespace

std::string reachabilityHostKey(const std::string& address) {
    std::string s = address;
    auto scheme = s.find("://");
    if (scheme != std::string::npos) s = s.substr(scheme + 3);
    auto slash = s.find_first_of("/?#");
    if (slash != std::string::npos) s = s.substr(0, slash);
    auto at = s.rfind('@');
    if (at != std::string::npos) s = s.substr(at + 1);
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(const std::string& hostName) {
    return std::shared_ptr<Reachability>(new Reachability(reachabilityHostKey(hostName)));
}

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection() {
    return std::shared_ptr<Reachability>(new Reachability(""));
}

Reachability::~Reachability() = default;

NetworkStatus Reachability::currentReachabilityStatus() const {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    NetworkStatus internet = internetLocked(s);
    if (internet == NetworkStatus::NotReachable || host_.empty()) return internet;
    auto it = s.hosts.find(host_);
    if (it == s.hosts.end()) {
        // A host reported without its port answers for every port, and the reverse.
        auto colon = host_.rfind(':');
        if (colon != std::string::npos) it = s.hosts.find(host_.substr(0, colon));
    }
    return it == s.hosts.end() || it->second ? internet : NetworkStatus::NotReachable;
}

bool Reachability::startNotifier() {
    if (!notifying_) {
        notifying_ = true;
        lastReported_ = currentReachabilityStatus();
        auto& w = state().watchers;
        auto self = weak_from_this();
        if (std::none_of(w.begin(), w.end(), [&](auto& x) { return !x.owner_before(self) && !self.owner_before(x); }))
            w.push_back(self);
        return true;
    }
    return true;
}

void Reachability::stopNotifier() { notifying_ = false; }

void Reachability::notifyWatchers() {
    performOnMainThread([] {
        std::vector<std::shared_ptr<Reachability>> alive;
        auto& w = state().watchers;
        for (auto& weak : w)
            if (auto r = weak.lock()) alive.push_back(r);
        w.erase(std::remove_if(w.begin(), w.end(), [](auto& x) { return x.expired(); }), w.end());
        for (auto& r : alive)
            if (r->notifying_) r->statusMayHaveChanged();
    });
}

void Reachability::statusMayHaveChanged() {
    NetworkStatus now = currentReachabilityStatus();
    if (now == lastReported_) return;
    lastReported_ = now;
    auto keep = shared_from_this();
    if (handler_) handler_(*this);
    NSNotificationCenter::defaultCenter().postNotificationName(kReachabilityChangedNotification, keep);
}

void Reachability::setInternetStatus(NetworkStatus status) {
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        internetLocked(s);
        if (s.internet == status) return;
        s.internet = status;
    }
    notifyWatchers();
}

NetworkStatus Reachability::internetStatus() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return internetLocked(s);
}

void Reachability::setHostStatus(const std::string& hostName, NetworkStatus status) {
    std::string key = reachabilityHostKey(hostName);
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        bool reached = status != NetworkStatus::NotReachable;
        auto it = s.hosts.find(key);
        if (it != s.hosts.end() && it->second == reached) return;
        s.hosts[key] = reached;
    }
    notifyWatchers();
}

void Reachability::reportTransferResult(const std::string& hostName, bool reached) {
    NetworkStatus status = NetworkStatus::NotReachable;
    if (reached) {
        NetworkStatus internet = internetStatus();
        status = internet == NetworkStatus::NotReachable ? NetworkStatus::ReachableViaWiFi : internet;
        if (internet == NetworkStatus::NotReachable)
            setInternetStatus(status);  // an answer came: the device has a connection after all
    }
    setHostStatus(hostName, status);
}

void Reachability::resetAll() {
    {
        auto& s = state();
        std::lock_guard lock(s.mutex);
        s.hosts.clear();
        s.internetSet = false;
    }
    notifyWatchers();
}
