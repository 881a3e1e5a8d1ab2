#include "platform/services/RemoteNotifications.h"

#include <sys/random.h>

#include <cerrno>

#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/uikit/UIApplication.h"

#include <cstdlib>

namespace {
// 64-bit FNV-1a; four seeded rounds give the 32 token bytes.
uint64_t fnv1a(const std::string& text, uint64_t seed) {
    uint64_t h = 1469598103934665603ull ^ seed;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    // Final mix so that near identifiers give unrelated tokens.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}
}  // namespace

RemoteNotificationService& RemoteNotificationService::shared() {
    static RemoteNotificationService service;
    return service;
}

void RemoteNotificationService::install(UIApplication& app) {
    installed_ = true;
    app.setRemoteNotificationRegistrationHandler([this](unsigned types) { onRegistration(types); });
}

std::string RemoteNotificationService::deviceIdentifier() {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    if (auto id = defaults.stringForKey(kDeviceIdentifierKey); id && !id->empty()) return *id;
    if (const char* env = std::getenv("RD_DEVICE_ID"); env && *env) return env;
    // A new installation: 128 random bits, kept for the installation's life.
    uint8_t bytes[16] = {};
    size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            break;
        }
        got += static_cast<size_t>(n);
    }
    std::string id = "install-" + tokenHex(std::vector<uint8_t>(bytes, bytes + sizeof bytes));
    defaults.setObject(Value(id), kDeviceIdentifierKey);
    return id;
}

std::vector<uint8_t> RemoteNotificationService::deviceTokenFor(const std::string& identifier) {
    std::vector<uint8_t> token;
    for (uint64_t round = 0; round < 4; ++round) {
        uint64_t h = fnv1a(identifier, round * 0x9e3779b97f4a7c15ull);
        for (int i = 0; i < 8; ++i) token.push_back(static_cast<uint8_t>(h >> (8 * i)));
    }
    return token;
}

std::string RemoteNotificationService::tokenHex(const std::vector<uint8_t>& token) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (uint8_t b : token) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

void RemoteNotificationService::onRegistration(unsigned types) {
    // The answer comes later on the main loop, never inside the register call.
    unsigned long long gen = ++generation_;
    RunLoop::main().post([this, types, gen] {
        if (gen != generation_ || !installed_) return;
        UIApplication& app = UIApplication::sharedApplication();
        if (failure_) {
            registered_ = false;
            app.failRemoteNotificationRegistration(*failure_);
            return;
        }
        registered_ = types != 0;
        token_ = deviceTokenFor(deviceIdentifier());
        if (tokenObserver_) tokenObserver_(token_);
        app.deliverDeviceToken(token_);
    });
}

bool RemoteNotificationService::deliver(const Value& payload) {
    if (!payload.isDict()) return false;
    RunLoop::main().post([this, payload] {
        UIApplication& app = UIApplication::sharedApplication();
        if (!registered_ || app.enabledRemoteNotificationTypes() == 0) {
            ++dropped_;
            return;
        }
        ++delivered_;
        app.receiveRemoteNotification(payload);
    });
    return true;
}

void RemoteNotificationService::reset() {
    ++generation_;
    registered_ = false;
    token_.clear();
    failure_.reset();
    tokenObserver_ = nullptr;
    delivered_ = dropped_ = 0;
    installed_ = false;
}
