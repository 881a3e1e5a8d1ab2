#pragma once
// One server host: address with port, description, carrier (0 to 3) and validity.
//
// The host list ("iplist" of the configuration "commomdSettingForHQ", and our
// built-in default) is a text of items joined by "#", each item
// "address^description^carrier": address as "host:port" or a full
// "http://host:port" URL; the description is shown in settings; carrier 0 any,
// 1 to 3 the mobile carriers. A missing carrier reads 0; items without an
// address are skipped.
#include <memory>
#include <string>
#include <vector>

class QZServerHost {
public:
    QZServerHost() = default;
    QZServerHost(std::string address, std::string description = "", int carrier = 0)
        : address_(std::move(address)), description_(std::move(description)), carrier_(carrier) {}

    const std::string& address() const { return address_; }
    void setAddress(std::string a) { address_ = std::move(a); }
    const std::string& description() const { return description_; }
    void setDescription(std::string d) { description_ = std::move(d); }
    int carrier() const { return carrier_; }
    void setCarrier(int c) { carrier_ = c; }
    bool isValid() const { return valid_; }
    void setValid(bool v) { valid_ = v; }
    // Round trip of the last probe in seconds (negative: not measured).
    double latency() const { return latency_; }
    void setLatency(double s) { latency_ = s; }

    // "http://host:port" (a scheme is added when the address has none), no trailing "/".
    std::string baseURL() const;

    static std::vector<std::shared_ptr<QZServerHost>> hostsFromList(const std::string& iplist);

private:
    std::string address_;
    std::string description_;
    int carrier_ = 0;
    bool valid_ = true;
    double latency_ = -1;
};
