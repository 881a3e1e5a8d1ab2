#pragma once
// Network reachability, as the device reports it. On Linux there is no radio to
// ask: the state is whatever the network layer learnt from its last transfers
// (an answer means reachable, a refused or unresolvable connection does not)
// and what tests set. Objects watching a host or the internet hear every change
// of their status through a change handler and the notification below, always
// on the main run loop.
#include <functional>
#include <memory>
#include <string>

enum class NetworkStatus { NotReachable = 0, ReachableViaWiFi = 1, ReachableViaWWAN = 2 };

// Posted on the main loop with the Reachability object (shared_ptr) whose status changed.
inline const char* const kReachabilityChangedNotification = "kNetworkReachabilityChangedNotification";

class Reachability : public std::enable_shared_from_this<Reachability> {
public:
    using ChangeHandler = std::function<void(Reachability&)>;

    // A watcher of one host (by name, "host" or "host:port"), or of the internet at large.
    static std::shared_ptr<Reachability> reachabilityWithHostName(const std::string& hostName);
    static std::shared_ptr<Reachability> reachabilityForInternetConnection();
    ~Reachability();

    // Empty for the internet watcher.
    const std::string& hostName() const { return host_; }
    NetworkStatus currentReachabilityStatus() const;
    bool isReachable() const { return currentReachabilityStatus() != NetworkStatus::NotReachable; }
    bool connectionRequired() const { return false; }

    // Changes are reported while the notifier runs.
    bool startNotifier();
    void stopNotifier();
    bool isNotifying() const { return notifying_; }
    void setChangeHandler(ChangeHandler h) { handler_ = std::move(h); }

    // ---- the platform side (network layer, host, tests); any thread ----
    // The kind of connection the device has (WiFi unless set; env RD_NETWORK=none|wifi|wwan).
    static void setInternetStatus(NetworkStatus status);
    static NetworkStatus internetStatus();
    // Whether a host can be reached (any status but NotReachable counts as reached);
    // a reachable host, or one never reported, has the internet's status.
    static void setHostStatus(const std::string& hostName, NetworkStatus status);
    // The outcome of a transfer to a host: reached or not.
    static void reportTransferResult(const std::string& hostName, bool reached);
    // Forgets every host's state and goes back to the default internet status (tests).
    static void resetAll();

private:
    explicit Reachability(std::string host) : host_(std::move(host)) {}
    void statusMayHaveChanged();
    // Has every notifying watcher compare its status with what it last reported (main loop).
    static void notifyWatchers();

    std::string host_;
    bool notifying_ = false;
    NetworkStatus lastReported_ = NetworkStatus::NotReachable;
    ChangeHandler handler_;
};

// "host:port" or "host" of an address such as "http://host:port/path" (the key hosts are kept under).
std::string reachabilityHostKey(const std::string& address);
