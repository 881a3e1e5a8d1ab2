#include "net/NetworkManager.h"

#include "platform/services/Reachability.h"

#include "core/VTAParamter.h"
#include "net/ServiceProtocol.h"
#include "net/ServiceSession.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/foundation/NSTimer.h"
#include "platform/foundation/NSUserDefaults.h"

namespace {
constexpr const char* kSentKey = "TrafficSentBytes";
constexpr const char* kReceivedKey = "TrafficReceivedBytes";
constexpr const char* kStrategyKey = "IPStrategyTime";
constexpr double kProbeTimeout = 5;
}  // namespace

struct NetworkManager::Race {
    std::vector<std::shared_ptr<HTTPRequest>> probes;
    std::vector<std::shared_ptr<QZServerHost>> candidates;
    size_t answered = 0;
    double started = 0;
    bool done = false;
};

NetworkManager& NetworkManager::manager() {
    static NetworkManager m;
    return m;
}

NetworkManager::NetworkManager() {
    // Made first, so that the defaults outlive the manager, which saves its counters on the way out.
    NSUserDefaults::standardUserDefaults();
    hosts_ = QZServerHost::hostsFromList(kBuiltinHostList);
    if (!hosts_.empty()) current_ = hosts_.front();
}

NetworkManager::~NetworkManager() {
    if (trafficTimer_) trafficTimer_->invalidate();
    saveTraffic();
}

void NetworkManager::removeAllRequest() {
    queue_.cancelAllOperations();
    auto observers = removeAllObservers_;
    for (auto& [key, block] : observers)
        if (removeAllObservers_.count(key)) block();
    // A silent re-login ran on this queue and is gone: without this, the
    // session would wait for it forever and park every later timed-out request.
    ServiceSession::shared().interruptLogin();
}

void NetworkManager::addRemoveAllObserver(const void* key, std::function<void()> block) {
    removeAllObservers_[key] = std::move(block);
}

void NetworkManager::removeRemoveAllObserver(const void* key) { removeAllObservers_.erase(key); }

void NetworkManager::setHostList(const std::string& iplist) {
    hosts_ = QZServerHost::hostsFromList(iplist);
    current_ = hosts_.empty() ? nullptr : hosts_.front();
    chosen_ = false;
}

void NetworkManager::applyConfiguration() {
    std::string list = kBuiltinHostList;
    if (auto conf = VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ")) {
        auto it = conf->find("iplist");
        if (it != conf->end() && !it->second.toString().empty()) list += "#" + it->second.toString();
    }
    auto hosts = QZServerHost::hostsFromList(list);
    std::vector<std::shared_ptr<QZServerHost>> unique;
    for (auto& h : hosts) {
        bool seen = false;
        for (auto& u : unique) seen = seen || u->baseURL() == h->baseURL();
        if (!seen) unique.push_back(h);
    }
    // Keep the current choice when it is still listed.
    std::string currentURL = current_ ? current_->baseURL() : "";
    hosts_ = unique;
    current_ = nullptr;
    for (auto& h : hosts_)
        if (h->baseURL() == currentURL) current_ = h;
    if (!current_) {
        current_ = hosts_.empty() ? nullptr : hosts_.front();
        chosen_ = false;
    }
}

void NetworkManager::setLoopbackHost(const std::string& url) {
    hosts_ = {std::make_shared<QZServerHost>(url, "loopback", 0)};
    current_ = hosts_.front();
    chosen_ = true;
}

std::string NetworkManager::currentURL() const {
    return (current_ ? current_->baseURL() : std::string("http://127.0.0.1")) + ServiceProtocol::kPath;
}

void NetworkManager::chooseHost() {
    if (racing_) return;
    std::vector<std::shared_ptr<QZServerHost>> candidates;
    for (auto& h : hosts_)
        if (h->carrier() == 0 || h->carrier() == carrier_) candidates.push_back(h);
    if (candidates.empty()) candidates = hosts_;
    if (candidates.empty()) {
        finishRace(nullptr);
        return;
    }
    auto race = std::make_shared<Race>();
    race->candidates = candidates;
    race->started = Clock::systemNow();
    racing_ = race;
    std::weak_ptr<Race> weakRace = race;
    for (auto& host : candidates) {
        auto probe = HTTPRequest::requestWithURL(host->baseURL() + ServiceProtocol::kPath);
        probe->setUserAgent(ServiceProtocol::kUserAgent);
        probe->setTimeOutSeconds(kProbeTimeout);
        probe->setCompletionBlock([this, weakRace, host](HTTPRequest& r) {
            auto race = weakRace.lock();
            if (!race || race->done) return;
            race->answered++;
            bool ok = !r.failed() && r.responseStatusCode() > 0;
            host->setValid(ok);
            if (ok) {
                host->setLatency(Clock::systemNow() - race->started);
                finishRace(host);
            } else if (race->answered == race->candidates.size()) {
                finishRace(nullptr);
            }
        });
        race->probes.push_back(probe);
    }
    // Probes do not take slots of the request services' queue.
    static HTTPQueue probeQueue(8);
    for (auto& p : race->probes) probeQueue.addOperation(p);
}

void NetworkManager::finishRace(const std::shared_ptr<QZServerHost>& winner) {
    auto race = racing_;
    racing_.reset();
    if (race) {
        race->done = true;
        for (auto& p : race->probes)
            if (!p->isFinished()) p->cancel();
    }
    if (winner)
        current_ = winner;
    else if (!current_ && !hosts_.empty())
        current_ = hosts_.front();
    chosen_ = true;
    reportTransfer(winner != nullptr);
    Value::Dict info;
    info["host"] = current_ ? current_->address() : std::string();
    info["reachable"] = winner != nullptr;
    NSNotificationCenter::defaultCenter().postNotificationName("FastestHostNotification", {}, Value(info));
}

void NetworkManager::applicationDidEnterBackground() {
    saveTraffic();
    NSUserDefaults::standardUserDefaults().setDouble(Clock::now(), kStrategyKey);
    NSUserDefaults::standardUserDefaults().synchronize();
}

void NetworkManager::applicationWillEnterForeground() {
    double last = NSUserDefaults::standardUserDefaults().doubleForKey(kStrategyKey);
    if (Clock::now() - last > kRevalidateInterval) chooseHost();
}

void NetworkManager::reportTransfer(bool reached) {
    // The platform's reachability learns it from here: there is no other probe.
    Reachability::reportTransferResult(current_ ? current_->address() : std::string(), reached);
    if (reached == reachable_) return;
    reachable_ = reached;
    Value::Dict info;
    info["reachable"] = reached;
    NSNotificationCenter::defaultCenter().postNotificationName("NetworkReachabilityChangedNotification", {},
                                                               Value(info));
}

void NetworkManager::loadTraffic() const {
    if (trafficLoaded_) return;
    auto& d = NSUserDefaults::standardUserDefaults();
    sent_ = d.integerForKey(kSentKey);
    received_ = d.integerForKey(kReceivedKey);
    trafficLoaded_ = true;
}

int64_t NetworkManager::sentBytes() const {
    loadTraffic();
    return sent_;
}

int64_t NetworkManager::receivedBytes() const {
    loadTraffic();
    return received_;
}

void NetworkManager::addTraffic(int64_t sent, int64_t received) {
    if (sent <= 0 && received <= 0) return;
    loadTraffic();
    if (sent > 0) sent_ += sent;
    if (received > 0) received_ += received;
    trafficDirty_ = true;
    // One write for every run of replies. A timer dropped by the loop (reset) is replaced.
    if (trafficTimer_ && trafficTimer_->isValid()) return;
    trafficTimer_ = NSTimer::scheduledTimerWithTimeInterval(
        kTrafficSaveDelay, [this](NSTimer&) { saveTraffic(); }, false);
}

void NetworkManager::saveTraffic() {
    if (!trafficDirty_) return;
    trafficDirty_ = false;
    if (trafficTimer_) {
        trafficTimer_->invalidate();
        trafficTimer_.reset();
    }
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setInteger(sent_, kSentKey);
    d.setInteger(received_, kReceivedKey);
}

void NetworkManager::resetTraffic() {
    trafficLoaded_ = true;
    sent_ = received_ = 0;
    trafficDirty_ = true;
    saveTraffic();
}

void NetworkManager::resetForTests() {
    queue_.cancelAllOperations();
    racing_.reset();
    hosts_ = QZServerHost::hostsFromList(kBuiltinHostList);
    current_ = hosts_.empty() ? nullptr : hosts_.front();
    chosen_ = false;
    carrier_ = 0;
    reachable_ = true;
    timeout_ = 30;
    // The defaults may have been reloaded from another folder: read the counters again.
    saveTraffic();
    trafficLoaded_ = false;
}
