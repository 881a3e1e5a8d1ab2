#pragma once
// The room of the fixed-investment plans (SimPlans.cpp): each customer's
// plans, at most one running per fund. The funds themselves (which are open
// for plans, their companies and risk) are the fund family's (SimFunds.h).
//
// Units: money in 分 (SimMoney), dates yyyymmdd. Not thread-safe: the
// server's state lock guards it.
#include <map>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimServer;

struct SimPlan {
    std::string code, tacode;
    SimMoney amount = 0;
    bool weekly = false;
    int payDay = 1;  // 1-7 Monday to Sunday a week, 1-28 a month
    int beginDate = 0, endDate = 0;
    bool running = true;
};

struct SimPlansRoom {
    explicit SimPlansRoom(SimServer& server);  // seeded (SimPlans.cpp)

    std::map<std::string, std::vector<SimPlan>> plans;  // by custid
    // The customer's running plan of the fund, or null.
    SimPlan* running(const std::string& custid, const std::string& code, const std::string& tacode);
    const SimPlan* running(const std::string& custid, const std::string& code, const std::string& tacode) const;
};
