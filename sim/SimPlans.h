#pragma once
// The room of the fixed-investment plans (SimPlans.cpp): each customer's
// plans, at most one running per fund. The funds themselves (which are open
// for plans, their companies and risk) are the fund family's (SimFunds.h).
//
// A running plan pays on its pay days within its dates. The night of a pay
// day (the customer's first request of the day, after the night's other
// steps: SimRegistry.h SimNightStep) buys its amount of its fund as a
// purchase dated that day (SimFunds.h): the money held until the next day
// confirms the units. A pay
// day the server did not see (no request that day) is met by the next night
// once, dated its own day and, its next day having come, confirmed at once.
// A pay day that finds less money available is kept as a purchase not
// carried out, and the plan runs on. A plan opened or changed pays from its
// next pay day on.
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
    // By custid: the last day whose pay days the night met (a customer's
    // first night starts it: no plan pays before it).
    std::map<std::string, int> settledDay;
    // The customer's running plan of the fund, or null.
    SimPlan* running(const std::string& custid, const std::string& code, const std::string& tacode);
    const SimPlan* running(const std::string& custid, const std::string& code, const std::string& tacode) const;
};

struct SimCustomer;

// The plans' night of the customer up to the day of `now` (above; the
// night's last step, SimNightStep::Plans).
void simSettlePlans(SimServer& server, SimCustomer& who, double now);
