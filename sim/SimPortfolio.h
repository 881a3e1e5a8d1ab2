#pragma once
// The room of the own-stock family (SimPortfolio.cpp): one list of ids
// ("code.market") per phone, "" for sessions without a phone. What it keeps
// is bounded as the system family's phones are (SimSystem.h): at most
// kMaxLists lists of PortfolioContract::kMaxStocks ids. A phone without a
// list reads the empty one and an emptied list is dropped, so only phones
// with own stocks hold a place; when every place is taken a new phone's list
// is refused (kFullText): no other phone's list ends to make room.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

struct SimPortfolioRoom {
    static constexpr size_t kMaxLists = 100000;
    static constexpr const char* kFullText = "自选股用户已满，请稍后再试";

    std::map<std::string, std::vector<std::string>> ownStocks;

    // The phone's list (empty when it has none; nothing is kept by reading).
    const std::vector<std::string>& listOf(const std::string& phone) const;
    // Whether the list may be kept as the phone's: not when the phone has no
    // list yet and kMaxLists are kept (an empty list always: it is dropped).
    bool mayKeep(const std::string& phone, const std::vector<std::string>& list) const;
    // Keeps the list as the phone's, when it may; false otherwise.
    bool keep(const std::string& phone, std::vector<std::string> list);
    // Appends the ids the list lacks, in their order, while it holds fewer
    // than PortfolioContract::kMaxStocks.
    static void addIds(std::vector<std::string>& list, const std::vector<std::string>& ids);
};
