#pragma once
// The room of the own-stock family (SimPortfolio.cpp): one list of ids
// ("code.market") per phone, "" for sessions without a phone.
#include <map>
#include <string>
#include <vector>

struct SimPortfolioRoom {
    std::map<std::string, std::vector<std::string>> ownStocks;
};
