#pragma once
// The room of the wealth family (SimWealth.cpp): the brokerage's collective
// wealth plans, the conversions between funds and the dividend settings the
// customers asked for, the fund company accounts they opened or added, and
// the personal data an opening is checked against.
//
// The fund catalogue, the fund companies, the units held and the accounts
// with fund companies are the fund family's (SimFunds.h). A wealth plan is
// ordered as a fund is (500/34, 500/35) and its order is kept among the
// fund orders, so the fund lists and the cancel see it; it is confirmed at
// 1.0000 元 a unit, and held, looked up (100/24, 100/25) and redeemed as a
// fund is.
//
// A conversion holds the units of the fund held from the order on; from the
// next day on it is confirmed at both funds' net values (simConvertedUnits;
// on the first call of this family that day). A dividend setting takes effect when taken.
// A wealth plan is neither converted nor given a dividend method: it pays
// no dividends.
// The fund forms send the customer to the day's orders (基金当日委托): every
// fund order and each of these, of the day.
//
// Units: money in 分, net values in 1/10000 元, fund units in 1/100 份. Not
// thread-safe: the server's state lock guards it.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimBooks.h"
#include "sim/SimFunds.h"

// A plan: sold by amount in whole thousands of 元, from `minimum` on.
struct SimWealthPlan {
    std::string code, name;
    SimFundStatus status = SimFundStatus::Offering;
    int risk = 3;
    SimMoney minimum = 5000000;
    int days = 0;           // the plan's term
    int expectedYield = 0;  // 1/100 % a year
};

enum class SimWealthOrderStatus { Reported, Confirmed };

struct SimConversion {
    int64_t sno = 0;
    int date = 0, time = 0;
    std::string code, otherCode;  // from, into
    int64_t units = 0;            // 1/100 份
    int redeemType = 0;
    SimWealthOrderStatus status = SimWealthOrderStatus::Reported;
};

struct SimDividendSetting {
    int64_t sno = 0;
    int date = 0, time = 0;
    std::string code;
    int method = 0;
};

struct SimAccountOpening {
    int64_t sno = 0;
    int date = 0, time = 0;
    std::string tacode, account;
    bool added = false;  // an account the customer had, registered with the brokerage
    std::string name, idType, idNo, sex, address, postCode, phone;
};

// What the brokerage knows of a customer beyond the books.
struct SimPersonalData {
    std::string sex;  // "男" / "女"
    std::string idType = "0";
    std::string idNo, address, postCode;
};

struct SimWealthCustomer {
    std::vector<SimConversion> conversions;
    std::vector<SimDividendSetting> dividendSettings;
    std::vector<SimAccountOpening> openings;
    int settledDay = 0;
};

struct SimWealthRoom {
    SimWealthRoom();  // seeded
    std::vector<SimWealthPlan> plans;
    std::map<std::string, SimPersonalData> personal;  // by custid
    std::map<std::string, SimWealthCustomer> customers;
    const SimWealthPlan* plan(const std::string& code) const;
};

// A wealth plan's code begins with 9; the plans' orders reach this family.
bool simIsPlanCode(const std::string& code);

// A fund of the catalogue or a wealth plan, as the fund side looks it up,
// redeems it and reckons its units: a plan has no fund company and is at
// 1.0000 元 a unit.
struct SimProduct {
    std::string code, name, tacode;
    SimFundStatus status = SimFundStatus::Open;
    int64_t nav = 10000;
    int risk = 3;
};
// The fund or wealth plan of `code`, or none.
std::optional<SimProduct> simProduct(SimServer& server, const std::string& code);
// The name of the fund or wealth plan of `code` ("" for neither), as the
// lists of what a customer holds and did name it.
std::string simProductName(SimServer& server, const std::string& code);
// The net value a fund order of `code` is confirmed at (1.0000 for a code of neither).
int64_t simProductNav(SimServer& server, const std::string& code);
