#pragma once
// The network singleton (manager): the request queue that every request
// service shares, reachability, the server hosts and the choice among them,
// the network type, the package id counter and the traffic counters.
//
// Hosts: the built-in list plus "iplist" of the configuration
// "commomdSettingForHQ" (format in QZServerHost.h). chooseHost() races the
// valid hosts of the customer's carrier (carrier 0 hosts serve everyone): each
// gets a probe (GET <host>/vta), the first to answer becomes the current host,
// and "FastestHostNotification" is posted (userInfo "host": address,
// "reachable": whether any host answered). The choice is re-made on return to
// the foreground when more than 1800 s have passed since "IPStrategyTime".
//
// Reachability: the outcome of every transfer (a refused or unresolvable
// connection is "unreachable", any answer "reachable"); each change posts
// "NetworkReachabilityChangedNotification" (userInfo "reachable").
//
// Traffic: bytes sent and received by the request services, kept in the
// platform user defaults ("TrafficSentBytes", "TrafficReceivedBytes") so that
// they count across runs. They are counted in memory and written at most once
// every kTrafficSaveDelay seconds (a timer of the main loop), on entering the
// background and when the manager goes: writing the defaults is a durable
// file write (fsync), which must not sit in the path of every reply.
// Main thread only.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/HTTPQueue.h"
#include "net/QZServerHost.h"

class NSTimer;

class NetworkManager {
public:
    static NetworkManager& manager();

    HTTPQueue& queue() { return queue_; }
    // Cancels every queued and running request of the shared queue; the
    // request services of that queue forget their requests, also those waiting
    // for a silent re-login (no callback comes for them). A silent re-login in
    // progress is dropped; requests of other queues that waited for it get a
    // network error (-999) on the next turn of the main loop.
    void removeAllRequest();
    // Told when removeAllRequest runs (request services use it); key: identity for removal.
    void addRemoveAllObserver(const void* key, std::function<void()> block);
    void removeRemoveAllObserver(const void* key);

    // ---- hosts ----
    static constexpr const char* kBuiltinHostList = "127.0.0.1:8010^本机行情交易服务器^0";
    static constexpr double kRevalidateInterval = 1800;
    std::vector<std::shared_ptr<QZServerHost>> hosts() const { return hosts_; }
    void setHostList(const std::string& iplist);  // replaces the list (built-in ignored)
    // Built-in list plus "iplist" of "commomdSettingForHQ" (duplicates dropped).
    void applyConfiguration();
    // One host, chosen at once (tests and the embedded simulator): "http://127.0.0.1:PORT".
    void setLoopbackHost(const std::string& url);
    std::shared_ptr<QZServerHost> currentHost() const { return current_; }
    std::string currentURL() const;  // "<host>/vta"
    bool isHostChosen() const { return chosen_; }
    void chooseHost();
    bool isChoosingHost() const { return racing_ != nullptr; }
    int carrier() const { return carrier_; }
    void setCarrier(int c) { carrier_ = (c >= 0 && c <= 3) ? c : 0; }
    // Entering the background stores "IPStrategyTime"; returning re-picks the
    // host when more than 1800 s have passed.
    void applicationDidEnterBackground();
    void applicationWillEnterForeground();

    // ---- reachability and network type ----
    bool isReachable() const { return reachable_; }
    void reportTransfer(bool reached);
    // 0 no network, 1 Wi-Fi/LAN, 2 mobile network (Linux: LAN whenever reachable).
    int networkType() const { return reachable_ ? 1 : 0; }

    // ---- counters ----
    int64_t nextPackageId() { return ++packageId_; }
    int64_t packageId() const { return packageId_; }
    int64_t sentBytes() const;
    int64_t receivedBytes() const;
    void addTraffic(int64_t sent, int64_t received);
    void resetTraffic();  // zero, written at once
    void saveTraffic();   // writes the counters now when they changed
    bool hasUnsavedTraffic() const { return trafficDirty_; }
    static constexpr double kTrafficSaveDelay = 5;

    double timeOutSeconds() const { return timeout_; }
    void setTimeOutSeconds(double s) { timeout_ = s; }

    // Tests: forget hosts, choice, reachability and observers' state (keeps the queue).
    void resetForTests();

    ~NetworkManager();

private:
    NetworkManager();
    void loadTraffic() const;
    struct Race;
    void finishRace(const std::shared_ptr<QZServerHost>& winner);

    HTTPQueue queue_{4};
    std::vector<std::shared_ptr<QZServerHost>> hosts_;
    std::shared_ptr<QZServerHost> current_;
    bool chosen_ = false;
    int carrier_ = 0;
    bool reachable_ = true;
    int64_t packageId_ = 0;
    double timeout_ = 30;
    std::shared_ptr<Race> racing_;
    std::map<const void*, std::function<void()>> removeAllObservers_;
    mutable bool trafficLoaded_ = false;
    mutable int64_t sent_ = 0, received_ = 0;
    bool trafficDirty_ = false;
    std::shared_ptr<NSTimer> trafficTimer_;
};
