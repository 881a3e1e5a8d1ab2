#pragma once
// The identity of the SIM's carrier. A desktop has no SIM: the identity is a
// setting, so the host choice for the customer's carrier can be run and tested.
//
// Where it comes from, first found wins:
//   1. the platform user defaults "DeviceCarrierMCC" and "DeviceCarrierMNC" (texts, e.g. "460", "00"),
//      or "DeviceCarrier" (integer 1 to 3, the carrier numbers below);
//   2. the environment: RD_CARRIER_MCCMNC ("46001") or RD_CARRIER (1 to 3);
//   3. nothing: no SIM, carrier number 0 (hosts of any carrier).
// Carrier numbers, as the server's host list uses them: 0 any or unknown,
// 1 China Mobile (MNC 00, 02, 07, 08), 2 China Unicom (01, 06, 09), 3 China Telecom (03, 05, 11);
// other country codes are 0.
#include <memory>
#include <string>

class CTCarrier {
public:
    CTCarrier(std::string name, std::string mcc, std::string mnc, std::string iso)
        : name_(std::move(name)), mcc_(std::move(mcc)), mnc_(std::move(mnc)), iso_(std::move(iso)) {}
    const std::string& carrierName() const { return name_; }
    const std::string& mobileCountryCode() const { return mcc_; }
    const std::string& mobileNetworkCode() const { return mnc_; }
    const std::string& isoCountryCode() const { return iso_; }
    bool allowsVOIP() const { return true; }
    // 0 to 3, see above.
    int carrierNumber() const;

private:
    std::string name_, mcc_, mnc_, iso_;
};

class CTTelephonyNetworkInfo {
public:
    // The carrier of the SIM, or null when the device has none (nothing set).
    std::shared_ptr<CTCarrier> subscriberCellularProvider() const;
};

// 0 to 3 for a country and network code.
int carrierNumberForCodes(const std::string& mcc, const std::string& mnc);
// The carrier number of this device (0 without a SIM).
int currentCarrierNumber();
// Stores the identity in the user defaults (empty codes remove it).
void setDeviceCarrierCodes(const std::string& mcc, const std::string& mnc);
