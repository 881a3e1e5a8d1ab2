#pragma once
// The room of the fund family (SimFunds.cpp, SimFundLists.cpp): the
// catalogue of open-end funds with their companies and types, and each
// customer's fund side: the accounts with fund companies, the fund shares
// held and the fund orders. The money of fund orders comes from and goes to
// the customer's main fund account in the books (SimTradeRoom), in 元.
//
// Orders of the day are open ("已报") and may be cancelled; from the next day
// on they are confirmed at the fund's net value: a subscription or purchase
// becomes units, a redemption money (simFundUnits, simFundValue). A wealth
// plan is ordered, held and redeemed as a fund is, at 1.0000 元 a unit
// (SimWealth.h: simProduct).
//
// A fixed-investment plan's purchase (SimPlans.h) is a fund order of its pay
// day's trading day, held as a purchase is and confirmed on the trading day
// after.
//
// Fund orders are numbered on their own ("sno"), apart from the stock orders.
//
// Units: money in 分 (SimMoney), net values in 1/10000 元, fund units in
// 1/100 份. Not thread-safe: the server's state lock guards it.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

class SimServer;

struct SimFundCompany {
    std::string tacode;
    std::string name;
};

struct SimFundType {
    std::string style;
    std::string name;
};

enum class SimFundStatus { Open, Offering, PurchaseSuspended, RedemptionSuspended, Closed };

struct SimFund {
    std::string code;
    std::string name;
    std::string tacode;
    std::string style;
    SimFundStatus status = SimFundStatus::Open;
    int64_t nav = 10000;           // 1/10000 元 a unit
    int risk = 3;                  // 1 低风险 ... 5 高风险
    SimMoney minimum = 100000;     // the least a subscription or purchase takes
    std::array<int, 5> returns{};  // 1/100 % over a day, a week, a month, half a year, a year
    int rating = 3;                // stars, 1 to 5
    bool fixedInvestment = false;  // open for fixed-investment plans
};

struct SimFundHolding {
    std::string code;
    int64_t units = 0;       // 1/100 份
    int64_t available = 0;   // not held by open redemptions
    int dividendMethod = 0;  // 0 红利转投, 1 现金分红
};

// NotCarriedOut: a plan's purchase its pay day found without the money (nothing held, nothing bought).
enum class SimFundOrderStatus { Reported, Cancelled, Confirmed, NotCarriedOut };

// The business of a fixed-investment plan's purchase (the number of the
// function that opens a plan): bought and confirmed as a purchase is.
inline constexpr int kSimPlanPurchase = 1801;

struct SimFundOrder {
    int64_t sno = 0;
    int date = 0;      // yyyymmdd
    int time = 0;      // HHmmss
    int business = 0;  // the order's sub function: 34 subscription, 35 purchase, 36 redemption, kSimPlanPurchase
    std::string code, name;
    SimMoney amount = 0;  // subscription and purchase
    int64_t units = 0;    // redemption, 1/100 份
    int redeemType = 0;
    SimFundOrderStatus status = SimFundOrderStatus::Reported;
};

struct SimFundCustomer {
    std::map<std::string, std::string> companyAccounts;  // tacode -> the account with that company
    std::vector<SimFundHolding> holdings;
    std::vector<SimFundOrder> orders;
    int settledDay = 0;
    SimFundHolding* holding(const std::string& code);
    const SimFundHolding* holding(const std::string& code) const;
};

struct SimFundsRoom {
    explicit SimFundsRoom(SimServer& server);  // seeded (SimFundsSeed.cpp)

    std::vector<SimFundCompany> companies;
    std::vector<SimFundType> types;
    std::vector<SimFund> funds;                        // in catalogue order
    std::map<std::string, SimFundCustomer> customers;  // by custid

    const SimFund* fund(const std::string& code) const;
    const SimFundCompany* company(const std::string& tacode) const;
    const SimFundType* type(const std::string& style) const;
    // The customer's fund side (an empty one for a customer without).
    SimFundCustomer& customer(const std::string& custid) { return customers[custid]; }
    // To read: an empty side for a customer who has none yet (none is made).
    const SimFundCustomer& customer(const std::string& custid) const {
        static const SimFundCustomer kNone;
        auto it = customers.find(custid);
        return it == customers.end() ? kNone : it->second;
    }
    int64_t nextOrderNumber() { return ++lastOrderNumber; }
    int64_t lastOrderNumber = 0;
};

struct SimCall;
class SimRegistry;

// ---- units at net values ----
// Every figure the fund side reckons from units and net values is reckoned
// from the exact figures and rounded once, half up: money to the 分, units
// to the 1/100 份.
// What `units` are worth at `nav`: a redemption's money, a holding's 市值.
SimMoney simFundValue(int64_t units, int64_t nav);
// The units `amount` buys at `nav`: a subscription's or purchase's.
int64_t simFundUnits(SimMoney amount, int64_t nav);
// The units of a fund at `intoNav` that `units` of one at `fromNav` become
// (1,000.00 份 at 1.2345 into one at 1.0872: 1,135.4856, 1,135.49 份).
int64_t simConvertedUnits(int64_t units, int64_t fromNav, int64_t intoNav);

// The money fund orders take and bring: the customer's main fund account's 人民币.
SimBalance& simFundCash(SimCustomer& who);
// A new order of the customer's fund side, numbered and open ("已报"), dated
// `date` (yyyymmdd) at `time` (HHmmss); what it holds is the caller's to hold.
SimFundOrder& simNewFundOrder(SimFundsRoom& room, const std::string& custid, int business, const std::string& code,
                              const std::string& name, int date, int time);

// Confirms the customer's open fund orders of the days before `day` (yyyymmdd)
// at their net values, a plan's purchase once the trading day after its own
// has come; a holding redeemed whole is gone.
void simConfirmFundOrders(SimServer& server, SimCustomer& who, int day);
// The night of the customer's fund side: the first call of a day confirms
// the orders of the days before it (the family's day settler: every trade
// request runs it, SimOrders.h simTradeCustomerToRead).
void simSettleFunds(SimServer& server, SimCustomer& who, double now);

// ---- texts the replies show ----
std::string simFundStatusText(SimFundStatus status);
std::string simFundRiskText(int risk);          // "中风险"
std::string simFundBusinessText(int business);  // "认购", "申购", "赎回", "定投"
std::string simFundOrderStatusText(SimFundOrderStatus status);
std::string simNetValueText(int64_t nav);  // "1.2345"
std::string simUnitsText(int64_t units);   // "1000.00"
// The text of the name the finder sent: its UTF-16LE bytes in lower-case hex
// (a length that is a multiple of 4) decoded, anything else as it came.
std::string simDecodeFundName(const std::string& text);

// The lists of the family (SimFundLists.cpp), and 100/24's answer without a
// code: every fund's code and name.
void registerFundListFunctions(SimRegistry& registry);
std::vector<uint8_t> simFundNameList(SimCall& call);
