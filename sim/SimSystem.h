#pragma once
// The room of the system family (SimSystem.cpp): registered phones, push
// tokens, feedback received, and the versions the login announces.
#include <map>
#include <set>
#include <string>
#include <vector>

struct SimSystemRoom {
    SimSystemRoom() : registeredPhones{"13800138000"} {}  // the demo customer's phone
    std::set<std::string> registeredPhones;
    std::map<std::string, std::string> pushTokens;  // phone -> token
    std::vector<std::string> feedback;
    int menuVersion = 12;
    std::string newestVersion;  // "" none newer
};
