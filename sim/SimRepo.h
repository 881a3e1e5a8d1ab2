#pragma once
// The room of the quoted repo (SimRepo.cpp): the products the brokerage
// quotes and each customer's deals. A deal lends money of the customer's main
// fund account (SimTradeRoom's books) until its term, when it comes back with
// the quoted yield; ended early it comes back at once with the lower
// early-termination yield for the days it ran.
//
// Units: money in 分 (SimMoney), yields in 1/100 % a year, quantities in
// hundredths of a hundred 元 (one unit is 1 元). Not thread-safe: the
// server's state lock guards it.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimServer;

struct SimRepoProduct {
    std::string code, name;
    std::string market;  // shareholder market, "1" 沪A
    int yield = 0;       // 1/100 % a year, held to term
    int earlyYield = 0;  // 1/100 % a year, ended early
    int term = 0;        // days
};

enum class SimRepoDealStatus { Running, Ended, Matured };

struct SimRepoDeal {
    std::string matchCode;
    int matchDate = 0;  // yyyymmdd
    std::string code, name, market, secuid;
    SimMoney amount = 0;
    SimRepoDealStatus status = SimRepoDealStatus::Running;
    SimMoney paidBack = 0;  // with the interest, once ended or matured
};

struct SimRepoRoom {
    explicit SimRepoRoom(SimServer& server);  // seeded (SimRepo.cpp)

    std::vector<SimRepoProduct> products;
    std::map<std::string, std::vector<SimRepoDeal>> deals;  // by custid
    int64_t lastMatchCode = 0;

    const SimRepoProduct* product(const std::string& code) const;
    std::string nextMatchCode() { return "R" + std::to_string(++lastMatchCode); }
};

class SimOrderLedger;
// How a deal's orders move the books: its loan's, or its early end's.
const std::shared_ptr<const SimOrderLedger>& simRepoLedger(bool end);

// Pays back the customer's deals whose term has run by `now`.
void simMatureRepoDeals(SimRepoRoom& room, SimCustomer& who, double now);
// What the customer's running deals lend (分): money of the main fund
// account's RMB that is still the customer's, counted in its 总资产.
SimMoney simRepoLent(const SimRepoRoom& room, const SimCustomer& who);
