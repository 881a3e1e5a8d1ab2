#pragma once
// The room of the information radar (SimInfoRadar.cpp): the items of each
// stock by its id ("code.market"), newest first, each of the day at its
// time: one is sent only once the clock has reached it. Seeded with a few
// items of 浦发银行 (600000.2) and 平安银行 (000001.1); other stocks have none.
#include <map>
#include <string>
#include <vector>

struct SimRadarItem {
    std::string time;  // "HH:mm" of the day
    std::string content;
};

struct SimInfoRadarRoom {
    SimInfoRadarRoom();
    std::map<std::string, std::vector<SimRadarItem>> items;
};
