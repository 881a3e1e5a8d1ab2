#pragma once
// The room of the warrant family (SimWarrants.cpp): the warrants listed and
// the warrants each customer holds (by exercise code). An exercise is an
// order of the day in the books (SimOrders.h), carried out as it is taken.
//
// Warrants: 浦发CWB1 (exercise code 582001, Shanghai, a call on 浦发银行
// 600000 at 8.00) and 万科JTP1 (038001, Shenzhen, a put on 万科Ａ 000002 at
// 12.00), both one share a warrant, settled in shares. Customer A (张明)
// holds 10,000 of the call and 500 of the put; nobody else holds any.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimServer;

struct SimWarrant {
    std::string code;  // exercise code
    std::string name;
    std::string market;      // shareholder market
    std::string underlying;  // stock code
    std::string underlyingName;
    bool call = true;  // 认购 (the holder buys the stock) or 认沽 (sells it)
    SimPrice exercisePrice = 0;
    int ratio = 1;   // shares per warrant
    int expiry = 0;  // yyyymmdd
};

class SimOrderLedger;
// How an exercise of the warrant moves the books.
std::shared_ptr<const SimOrderLedger> simExerciseLedger(const SimWarrant& warrant);

struct SimWarrantsRoom {
    explicit SimWarrantsRoom(SimServer& server);
    std::vector<SimWarrant> warrants;
    std::map<std::string, std::map<std::string, int64_t>> held;  // custid -> exercise code -> warrants

    const SimWarrant* warrant(const std::string& code) const;
};
