#pragma once
// The room of the fixed-investment plans (SimPlans.cpp): each customer's
// plans, at most one running per fund. The funds themselves (which are open
// for plans, their companies and risk) are the fund family's (SimFunds.h).
//
// A running plan pays on its pay days within its dates, each pay day met
// once. A pay day is met on its trading day: the day itself when the market
// trades on it, else the next trading day (SimOrders.h:
// simTradingDayOnOrAfter). The night of that day (the customer's first
// request of it, after the night's other steps: SimRegistry.h
// SimNightStep) buys the plan's amount of its fund as a purchase dated that
// day (SimFunds.h): the money held until the trading day after confirms the
// units at that day's net value. A pay day the server did not see (no
// request on its trading day) is met by a later night once, dated its
// trading day and, the trading day after having come, confirmed at once. A
// pay day that finds less money available is kept as a purchase not
// carried out, and the plan runs on. A plan opened or changed pays from its
// next pay day on. A plan whose end date has passed pays no more and is
// open nowhere: not listed, neither changed nor ended, and a new plan of
// its fund may be opened.
//
// The books' earlier rules (SimBooksRules.h), for the records written under
// them: PlansPayNothing, a night meets no pay day (the books opened take
// each customer's last night as having met those before it:
// simPlansMetUpTo); PlansByCalendar, a pay day is met on its calendar day,
// dated it and confirmed the next calendar day, and a plan past its end
// date is still open (listed, changed, ended).
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
    // By custid: every pay day up to this day has been met (a customer's
    // first night starts it: no plan pays before it). The nights of today's
    // rules set it to the last trading day they reached: a pay day of a
    // closed day after it waits for its trading day.
    std::map<std::string, int> settledDay;
    // The customer's running plan of the fund open on `today` (yyyymmdd; 0:
    // whatever its end date, as the earlier rules had it), or null.
    SimPlan* running(const std::string& custid, const std::string& code, const std::string& tacode, int today);
    const SimPlan* running(const std::string& custid, const std::string& code, const std::string& tacode,
                           int today) const;
};

struct SimCustomer;

// The plans' night of the customer up to the day of `now` (above; the
// night's last step, SimNightStep::Plans).
void simSettlePlans(SimServer& server, SimCustomer& who, double now);
// Books kept under rules whose nights met no plan (PlansPayNothing): every
// pay day up to each customer's last night counts as met, `nights` naming
// the day of each customer's last night (SimOrdersRoom::settledDay).
void simPlansMetUpTo(SimPlansRoom& room, const std::map<std::string, int>& nights);
