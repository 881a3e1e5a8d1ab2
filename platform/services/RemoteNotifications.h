#pragma once
// The push-notification service of the device. Registration hands out a device
// token a short moment later, as the real service would; the token is fixed by
// the installation's identity, so each installation has a token of its own and
// keeps it from one start to the next.
// Payloads come from the host, a test or the simulated server (any thread) and
// reach the application delegate's didReceiveRemoteNotification on the main loop.
//
// Installation identity: the user default "DeviceIdentifier", else env
// RD_DEVICE_ID, else a random one made now and kept in "DeviceIdentifier";
// token = 32 bytes derived from it (see deviceTokenFor).
#include "platform/foundation/Value.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class UIApplication;

class RemoteNotificationService {
public:
    static RemoteNotificationService& shared();

    // Answers the application's registration requests from now on (install again
    // after the shared application was replaced).
    void install(UIApplication& app);

    static constexpr const char* kDeviceIdentifierKey = "DeviceIdentifier";
    static std::string deviceIdentifier();
    static std::vector<uint8_t> deviceTokenFor(const std::string& identifier);
    // Lower-case hex, 64 characters (what clients send to their servers).
    static std::string tokenHex(const std::vector<uint8_t>& token);

    // Makes the next registrations fail with the error (tests); nullopt succeeds again.
    void setRegistrationError(std::optional<std::string> error) { failure_ = std::move(error); }
    bool isRegistered() const { return registered_; }
    const std::vector<uint8_t>& token() const { return token_; }
    // Heard when a token was handed to the application (the simulated server learns it).
    void setTokenObserver(std::function<void(const std::vector<uint8_t>&)> f) { tokenObserver_ = std::move(f); }

    // Hands a payload (a dictionary, such as {"aps": {...}, "msg_id": "..."}) in, from any
    // thread. It reaches the delegate on the main loop while the application is
    // registered for any type; otherwise it is dropped, as the service would not
    // send it. False for a payload that is not a dictionary.
    bool deliver(const Value& payload);
    size_t deliveredCount() const { return delivered_; }
    size_t droppedCount() const { return dropped_; }

    // Forgets registration, counters and observers (tests).
    void reset();

private:
    void onRegistration(unsigned types);

    bool installed_ = false;
    bool registered_ = false;
    std::vector<uint8_t> token_;
    std::optional<std::string> failure_;
    std::function<void(const std::vector<uint8_t>&)> tokenObserver_;
    size_t delivered_ = 0, dropped_ = 0;
    unsigned long long generation_ = 0;
};
