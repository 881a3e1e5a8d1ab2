#pragma once
// The functions the simulated server answers, by main and sub function number,
// and the menu it sends. Each family of functions lives in its own file
// (SimSystem.cpp, SimQuotes.cpp, SimPortfolio.cpp, SimMessages.cpp ...) with a
// registerXxxFunctions(SimRegistry&) that SimFamilies.cpp calls; a later
// family adds one file and one line there. Its functions, request keys and
// reply columns are named once in core/contracts/<Family>Contract.h.
//
// A handler answers record-set bytes (TCRSWriter), an error set for business
// errors. A family keeps its state in a room of its own (a struct beside its
// file, reached as call.server.view<SimXxxRoom>() to read it and
// call.server.room<SimXxxRoom>() to change it; see SimServer.h): the first
// of them in a handler takes the server's state lock for the rest of it, so a
// handler without a room runs beside the others. Which of them it takes
// decides whether its request is written to the books on disk: the fields it
// read, each as it came unless the handler noted taking less of it
// (SimRequest::noteTaken: an id as the market writes it, a text cut to what
// is kept), so that the books write no more than they keep.
//
// Registering a function twice, or a menu id twice, is a mistake that stops
// the simulator at start: add() throws std::logic_error naming it.
//
// The menu. A family adds the items of its screens in its register function:
//   r.menu().add({.id = 108, .parent = 1, .title = "F10", .link = "f10", .hidden = true});
// Siblings are shown in ascending id: today's items keep their ids, and a new
// item takes the next free id of its family's block, so it goes at the end of
// its group's list. Blocks (parent: ids, family):
//   the board's groups (parent -1): 1-99, system (SimSystem.cpp)
//   行情 (1): 101-199, quotes and charts (SimQuotes.cpp; 108 the hidden "f10" node)
//   交易 (2): 201-219 as they stand; new items 220-259 trading, 260-299 bank transfers
//   理财 (3): 301-399, funds and wealth products (360-369 the quoted repo and
//             fixed-investment plans: SimRepo.cpp, SimPlans.cpp)
//   资讯 (4): 401-499, news (SimNews.cpp)
//   融资融券 (5): 501-599, margin trading
//   消息 (6): 601-699, pushed messages
//   更多 (7): 701-799, the shell's own screens (SimSystem.cpp; 703 is news')
// The items of screens whose family the simulator does not have yet stand in
// SimSystem.cpp; the step that brings the family moves them into its file.
// A step that changes the menu raises the menu version (SimSystemRoom).
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/contracts/FunctionId.h"
#include "sim/SimMenu.h"
#include "sim/SimRefusal.h"
#include "sim/SimRequest.h"

class SimServer;
struct SimSession;

struct SimCall {
    SimServer& server;
    const SimRequest& request;          // clear and deciphered fields together
    SimSession* session;                // a copy (its phone and trade login are written back), null without one
    double now;                         // the simulator's clock
    const std::string& sessionKeyText;  // TC_KEY of a session login ("" otherwise)
};

using SimHandler = std::function<std::vector<uint8_t>(SimCall&)>;
struct SimCustomer;
// What a family settles of a customer's books when a new day begins (fund
// orders confirmed, repo deals paid back, what financing bought yesterday
// made sellable ...): run on every trade request before its function reads
// the books (SimOrders.h: simTradeCustomerToRead), so that every function
// reads the same settled books. It changes them on the day's first pass
// only (it keeps its own record of the day it settled, or what it reckons
// again comes out the same later in the day).
using SimDaySettler = std::function<void(SimCall&, SimCustomer&)>;
// The steps of a customer's night, in the order they run (SimOrders.h:
// simAdvanceBooks, after the stock orders' own settling, which ends the open
// orders of earlier days and frees what they held, and before the day's
// matching). A family registers its settler under its step; the order is
// this list's, never the order the families register in. It is part of the
// books' rules: a replay runs the steps again in it, so a change of it
// changes what books already written replay to (SimBooksRules.h).
enum class SimNightStep {
    CreditSellable,  // what financing bought before today may be sold (margin)
    FundOrders,      // fund orders of earlier days confirmed: units bought, a redemption's money in (funds)
    Conversions,     // conversions of earlier days confirmed, from the units the fund orders left (wealth)
    RepoDeals,       // repo deals at their term paid back with their interest (repo)
    // Last: a plan's pay day holds money, and the steps before it may have
    // paid some in (a redemption's, a repo deal's) or freed it.
    Plans,
};

class SimRegistry {
public:
    // kAnySub: every sub function of the main function not registered on its own.
    static constexpr int kAnySub = -1;
    // Throws std::logic_error naming the function when it is registered already.
    void add(FunctionId function, SimHandler handler);
    // Another family's handler for the requests of a function that carry
    // something of its own (a credit order is 500/6 with "creditflag"): a
    // request that `takes` accepts reaches it instead of the function's own.
    using SimRequestTest = std::function<bool(const SimRequest&)>;
    void addVariant(FunctionId function, SimRequestTest takes, SimHandler handler);
    const SimHandler* find(int main, int sub) const;
    // Every function registered (kAnySub for a main function's catch-all).
    std::vector<FunctionId> functions() const;
    // The handler of the request: the first variant that takes it, else find(main, sub).
    const SimHandler* find(int main, int sub, const SimRequest& request) const;
    // Adds a family's day settler as the step of the night it is; throws
    // std::logic_error when the step has one.
    void addDaySettler(SimNightStep step, SimDaySettler settler);
    // The night's settlers in the order of their steps.
    const std::map<SimNightStep, SimDaySettler>& daySettlers() const { return daySettlers_; }
    size_t size() const { return handlers_.size(); }
    SimMenu& menu() { return menu_; }
    const SimMenu& menu() const { return menu_; }

private:
    struct Variant {
        SimRequestTest takes;
        SimHandler handler;
    };
    std::map<std::pair<int, int>, SimHandler> handlers_;
    std::map<std::pair<int, int>, std::vector<Variant>> variants_;
    std::map<SimNightStep, SimDaySettler> daySettlers_;
    SimMenu menu_;
};

// One error-set reply (TCRSWriter::errorSet).
std::vector<uint8_t> simErrorSet(int code, const std::string& text);
std::vector<uint8_t> simErrorSet(const SimRefusal& refusal);
// A one-record result set (core/contracts/ResultContract.h): "result",
// "message" and, when given, "code".
std::vector<uint8_t> simResultSet(int result, const std::string& message, const std::string* code = nullptr);

// Every family of the simulator (SimFamilies.cpp).
void registerAllSimFunctions(SimRegistry& registry);
void registerSystemFunctions(SimRegistry& registry);     // 100/x, 3504, 3730
void registerQuoteFunctions(SimRegistry& registry);      // 31000/x
void registerRankingFunctions(SimRegistry& registry);    // 191/7, 31000/3
void registerSectorFunctions(SimRegistry& registry);     // 100/31, 100/32
void registerPortfolioFunctions(SimRegistry& registry);  // 3710/x
void registerMessageFunctions(SimRegistry& registry);    // 3780/x
void registerNewsFunctions(SimRegistry& registry);       // 504/1, 504/56, 504/61, 504/62
void registerTradeFunctions(SimRegistry& registry);      // 500/1, 500/69, 501/17, 3750/2, 100/5
void registerInfoRadarFunctions(SimRegistry& registry);  // 504/54, 504/60
void registerF10Functions(SimRegistry& registry);        // 504/63, 504/64
void registerOrderFunctions(SimRegistry& registry);      // 500/4, 500/6
void registerBankFunctions(SimRegistry& registry);       // 500/20, 21, 22, 67, 83, 84, 85
void registerQueryFunctions(SimRegistry& registry);      // 500/7, 500/9, 500/10, 500/13-17
void registerAccountFunctions(SimRegistry& registry);    // 500/12, 500/82
void registerNewIssueFunctions(SimRegistry& registry);   // 100/18, 100/19, 100/20, 100/30
void registerWarrantFunctions(SimRegistry& registry);    // 100/28, 100/29
void registerMarginFunctions(SimRegistry& registry);     // credit 500/4 and 500/6
void registerFundFunctions(SimRegistry& registry);       // 100/21-26, 504/22-26, 500/34-37, 500/40-42, 500/50
void registerBondFunctions(SimRegistry& registry);       // 3500/1, exchange funds' 500/4, 500/6
void registerWealthFunctions(SimRegistry& registry);     // plans' 500/34-35, 500/38-39, 500/44, 500/48-50
void registerRepoFunctions(SimRegistry& registry);       // 500/54, 56, 57, 58, 100/27
void registerPlanFunctions(SimRegistry& registry);       // 500/1801-1804
