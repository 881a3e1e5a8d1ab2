#pragma once
// The room of the warrant family (SimWarrants.cpp): the warrants listed. The
// warrants a customer holds are holdings of the books under their trading
// codes, securities of the market (SimMarket.h) bought and sold as stocks
// are; an exercise is an order of the day in the books (SimOrders.h),
// carried out as it is taken.
//
// Warrants: 浦发CWB1 (trading code 580001, exercised under 582001, Shanghai,
// a call on 浦发银行 600000 at 8.00) and 万科JTP1 (038001, traded and
// exercised under the same code as Shenzhen does, a put on 万科Ａ 000002 at
// 12.00), both one share a warrant, settled in shares. Customer A (张明)
// holds 10,000 of the call and 500 of the put (SimBooksSeed.cpp); nobody
// else holds any.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimServer;

struct SimWarrant {
    std::string code;  // exercise code
    std::string tradingCode;
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

    const SimWarrant* warrant(const std::string& code) const;
};
