// The table of roads: every way the customer changes the brokerage's books.
#include "OrderRoadTestSupport.h"

std::vector<Road> OrderRoadTest::roads() {
    std::vector<Road> all;
    for (auto family : {tradeRoads, fundRoads, marginRoads})
        for (auto& road : family()) all.push_back(std::move(road));
    return all;
}
