#pragma once
// The room of the system family (SimSystem.cpp): registered phones, push
// tokens, feedback received, and the versions the login announces. What it
// keeps is bounded, so that no flood of requests can grow it without end:
// phones (each one's push token of at most kMaxTokenBytes) up to kMaxPhones,
// and the newest kMaxFeedback feedback texts, each its first kMaxFeedbackBytes.
#include <cstddef>
#include <deque>
#include <map>
#include <set>
#include <string>

// The phone a session login declares, taken on its word when it is a phone
// number (11 digits); anything else, as no phone at all (""), is what a
// client that has not registered declares: so no session, and nothing the
// books keep or write under its phone, holds more than a phone number.
std::string simDeclaredPhone(const std::string& declared);

struct SimSystemRoom {
    static constexpr size_t kMaxPhones = 100000;
    static constexpr size_t kMaxTokenBytes = 256;
    static constexpr size_t kMaxFeedback = 500;
    static constexpr size_t kMaxFeedbackBytes = 4096;

    SimSystemRoom() : registeredPhones{"13800138000"} {}  // the demo customer's phone
    std::set<std::string> registeredPhones;
    std::map<std::string, std::string> pushTokens;  // phone -> token, registered phones only
    std::deque<std::string> feedback;               // oldest first
    int menuVersion = 13;
    std::string newestVersion;  // "" none newer
};
