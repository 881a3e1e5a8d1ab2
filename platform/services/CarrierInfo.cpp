#include "platform/services/CarrierInfo.h"

#include "platform/foundation/NSUserDefaults.h"

#include <cstdlib>
#include <optional>

namespace {
struct Codes {
    std::string mcc, mnc;
};

// A representative code for each carrier number (settings that only give the number).
Codes codesForNumber(int n) {
    switch (n) {
        case 1:
            return {"460", "00"};
        case 2:
            return {"460", "01"};
        case 3:
            return {"460", "03"};
        default:
            return {};
    }
}

std::string nameFor(int number) {
    switch (number) {
        case 1:
            return "中国移动";
        case 2:
            return "中国联通";
        case 3:
            return "中国电信";
        default:
            return "";
    }
}

bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::optional<Codes> configuredCodes() {
    auto& d = NSUserDefaults::standardUserDefaults();
    auto mcc = d.stringForKey("DeviceCarrierMCC");
    auto mnc = d.stringForKey("DeviceCarrierMNC");
    if (mcc && mnc && allDigits(*mcc) && allDigits(*mnc)) return Codes{*mcc, *mnc};
    int64_t n = d.integerForKey("DeviceCarrier");
    if (n >= 1 && n <= 3) return codesForNumber(static_cast<int>(n));
    if (const char* env = std::getenv("RD_CARRIER_MCCMNC")) {
        std::string s = env;
        if (s.size() >= 5 && s.size() <= 6 && allDigits(s)) return Codes{s.substr(0, 3), s.substr(3)};
    }
    if (const char* env = std::getenv("RD_CARRIER")) {
        int v = std::atoi(env);
        if (v >= 1 && v <= 3) return codesForNumber(v);
    }
    return std::nullopt;
}
}  // namespace

int carrierNumberForCodes(const std::string& mcc, const std::string& mnc) {
    if (mcc != "460") return 0;
    if (mnc == "00" || mnc == "02" || mnc == "07" || mnc == "08") return 1;
    if (mnc == "01" || mnc == "06" || mnc == "09") return 2;
    if (mnc == "03" || mnc == "05" || mnc == "11") return 3;
    return 0;
}

int CTCarrier::carrierNumber() const { return carrierNumberForCodes(mcc_, mnc_); }

std::shared_ptr<CTCarrier> CTTelephonyNetworkInfo::subscriberCellularProvider() const {
    auto codes = configuredCodes();
    if (!codes) return nullptr;
    int number = carrierNumberForCodes(codes->mcc, codes->mnc);
    return std::make_shared<CTCarrier>(nameFor(number), codes->mcc, codes->mnc, codes->mcc == "460" ? "cn" : "");
}

int currentCarrierNumber() {
    auto carrier = CTTelephonyNetworkInfo().subscriberCellularProvider();
    return carrier ? carrier->carrierNumber() : 0;
}

void setDeviceCarrierCodes(const std::string& mcc, const std::string& mnc) {
    auto& d = NSUserDefaults::standardUserDefaults();
    if (mcc.empty() || mnc.empty()) {
        d.removeObjectForKey("DeviceCarrierMCC");
        d.removeObjectForKey("DeviceCarrierMNC");
    } else {
        d.setObject(Value(mcc), "DeviceCarrierMCC");
        d.setObject(Value(mnc), "DeviceCarrierMNC");
    }
}
