#pragma once
// The simulated brokerage's books: its branches, its customers (trading
// password, optional typed code, soft token), their fund accounts with a
// balance per currency, shareholder accounts per market, holdings, orders and
// deals, bank bindings and credit account, and the trade sessions of the
// logins. One SimBooks lives in the trade room (SimTrade.h); the functions of
// trading, funds and margin read and change it there, through the
// customer of the request (SimOrders.h), checked as the books are and
// changed once every check has passed:
//
//   SimRefusal refusal;
//   const SimCustomer* reader = simTradeCustomerToRead(c, &refusal);
//   if (!reader) return simErrorSet(refusal);
//   const SimFundAccount* fund = c.server.view<SimTradeRoom>().books.fundAccountOfRequest(*reader, c.request);
//   ... the refusals ...
//   SimCustomer& who = simTradeCustomerToChange(c, *reader);
//
// How a later step adds to them: an order is appended to the customer's
// `orders` with books.nextOrderNumber() (deals to `deals`); holdings are found
// with holding() or appended; a bank binding is appended to `bankBindings`;
// a credit account is set in `credit` (the margin family's). Seed data for all of it goes into
// SimBooksSeed.cpp (the customers of the project's seed list). Whatever the
// state, a test reaches it under the state lock:
//   sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) { r.books.customer("010110001234")->... });
//
// Units: money in 分 (SimMoney, 100 = 1.00 元), prices in 厘 (SimPrice,
// 1000 = 1.000), quantities in shares (张 for bonds). Not thread-safe: the
// server's state lock guards it.
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "sim/SimRefusal.h"

class SimRequest;

using SimMoney = int64_t;  // 分
using SimPrice = int64_t;  // 厘

// Currencies of the fund accounts ("moneytype").
namespace SimCurrency {
inline constexpr int kRMB = 0;
inline constexpr int kHKD = 1;
inline constexpr int kUSD = 2;
}  // namespace SimCurrency

struct SimBranch {
    std::string code;  // 4 digits
    std::string name;
};

// One currency of a fund account. Three figures are kept and the others
// follow from them, so that no change of one can leave another behind:
//   可用 (available) = 资金余额 - 冻结: what a new order may spend;
//   可取 (withdrawable) = 资金余额 less the larger of 冻结 and the day's sale
//   money not yet spent, never below 0: what may leave for the bank or
//   another fund account. What orders hold and what buys pay come out of the
//   day's sale money first; the rest of it may leave from the next trading day.
struct SimBalance {
    SimMoney balance = 0;     // 资金余额
    SimMoney frozen = 0;      // 冻结: held by open orders
    SimMoney salesToday = 0;  // the day's sale money not yet spent

    SimMoney available() const { return balance - frozen; }
    SimMoney withdrawable() const;

    // Settled money in (the seed, a transfer in, money the brokerage pays back).
    void deposit(SimMoney amount) { balance += amount; }
    // Settled money out: false (nothing changes) beyond what is withdrawable.
    bool withdraw(SimMoney amount);
    // An open order holds the amount: false (nothing changes) beyond what is available.
    bool hold(SimMoney amount);
    // What an order held comes free again.
    void release(SimMoney amount) { frozen -= amount; }
    // An order pays the amount out of what it held.
    void payHeld(SimMoney amount);
    // A sale's money: usable now, withdrawable from the next trading day.
    void receiveSale(SimMoney amount);
    // A new trading day: the sale money of the days before may leave.
    void settleSales() { salesToday = 0; }
};

struct SimFundAccount {
    std::string fundid;                  // 12 characters: branch code and 8 digits
    bool main = true;                    // "bzzhbz" "0"
    std::map<int, SimBalance> balances;  // by SimCurrency
};

struct SimShareholder {
    std::string market;  // "0" 深A, "1" 沪A, "2" 深B, "3" 沪B
    std::string secuid;  // normalised: 10 digits for "0" and "2", a letter and 9 digits for "1" and "3"
    std::string fundid;  // the fund account it settles with
};

// num / den rounded half up (half away from zero); den > 0.
int64_t simDivideRounded(int64_t num, int64_t den);

struct SimHolding {
    std::string secuid;
    std::string market;  // shareholder market
    std::string code;
    std::string name;
    int64_t quantity = 0;
    int64_t available = 0;  // "stkavl": what may be sold now
    // What the shares held cost (厘, exact): the buys at their prices less
    // the sales at theirs (the diluted cost); cleared when the last share goes.
    int64_t costBasis = 0;

    // The cost price ("profitprice") in a price's places (2: 分, 3: 厘), rounded once.
    int64_t costPrice(int decimals) const;
    // A buy of `quantity` at `price` joins the holding (sellable from the next trading day).
    void buy(int64_t quantity, SimPrice price);
    // A sale of `quantity` at `price` leaves it.
    void sell(int64_t quantity, SimPrice price);
    // Shares that leave at their share of the cost (a collateral transfer):
    // answers the cost they carry.
    int64_t takeOut(int64_t quantity);
    // Shares that come in with the cost they carry, sellable at once.
    void putIn(int64_t quantity, int64_t cost);
};

enum class SimOrderStatus { Reported, PartlyFilled, Filled, Cancelled, Refused };

class SimOrderLedger;

struct SimOrder {
    int64_t ordersno = 0;
    int date = 0;  // yyyymmdd
    int time = 0;  // HHmmss
    std::string fundid, secuid, market, code, name;
    std::string bsflag;
    SimPrice price = 0;  // 0 for a market type until the exchange sets one
    int64_t quantity = 0;
    int64_t matched = 0;
    SimOrderStatus status = SimOrderStatus::Reported;
    SimMoney frozen = 0;            // what an open buy still holds of the fund balance (a financing buy: of its limit)
    int64_t metQuote = 0;           // yyyymmddHHMM of the market's levels it last met: each moment's once
    std::optional<int> creditFlag;  // a credit order's kind (MarginContract::CreditFlag)
    // How its fills reach the books (SimOrders.h); null for a stock order's own.
    std::shared_ptr<const SimOrderLedger> ledger;
    bool isOpen() const { return status == SimOrderStatus::Reported || status == SimOrderStatus::PartlyFilled; }
};

struct SimDeal {
    int64_t ordersno = 0;
    int date = 0, time = 0;
    SimPrice price = 0;
    int64_t quantity = 0;
    SimMoney amount = 0;
};

struct SimBankBinding {
    std::string bankcode, bankname;
    std::string fundid;  // the bound fund account
    int moneytype = SimCurrency::kRMB;
    std::string bankPassword;  // its digest
    SimMoney bankBalance = 0;
};

// A customer's credit (margin) account. Its positions are the securities
// held in it: the collateral the customer brought and what financing buys
// bought (sellable from the next trading day); `owed` the shares short
// sells borrowed. Open credit orders hold part of the limits: the margin
// family reckons that from the orders (SimMargin.h).
struct SimCreditAccount {
    std::string fundid;                   // the fund account its requests name (the customer's main one)
    SimMoney cash = 0;                    // money in the account, to repay the debt with
    SimMoney financingLimit = 0;          // 融资额度
    SimMoney financingDebt = 0;           // 融资负债: what financing buys cost, not yet repaid
    SimMoney shortLimit = 0;              // 融券额度, at the sale prices
    SimMoney shortProceeds = 0;           // what short sells brought, held until the shares are returned
    std::vector<SimHolding> positions;    // 担保证券
    std::map<std::string, int64_t> owed;  // 融券负债: code -> shares
    bool autoRepay = false;

    SimHolding* position(const std::string& code);
    const SimHolding* position(const std::string& code) const;
};

// A soft token the brokerage issued: its seed and the next counter a code may
// be checked from. Codes of earlier counters are used and refused. It serves
// the phone it was issued to ("": issued before any phone had it).
struct SimSoftToken {
    std::string seed;  // hex, from the cryptographic random source
    int64_t counter = 1;
    std::string phone;
};

struct SimCustomer {
    std::string custid;
    std::string name;
    std::string orgid;  // branch code
    std::string password;   // its digest (SimBooks::secretMatches)
    std::string typedCode;  // the typed authentication code's digest (authtype 2); "" none
    std::optional<SimSoftToken> token;
    std::vector<SimFundAccount> fundAccounts;  // the main one first
    std::vector<SimShareholder> shareholders;
    std::vector<SimHolding> holdings;
    std::vector<SimOrder> orders;
    std::vector<SimDeal> deals;
    // The brokerage's records of the weeks before the simulator opened its
    // books (the history lists show them before the earlier days' `orders`).
    std::vector<SimOrder> pastOrders;
    std::vector<SimDeal> pastDeals;
    std::vector<SimBankBinding> bankBindings;
    std::optional<SimCreditAccount> credit;
    // How much risk the customer may take in funds, as assessed: 1 保守型 ...
    // 5 进取型 (simRiskToleranceText); 0 not assessed.
    int riskTolerance = 0;

    const SimFundAccount& mainFundAccount() const { return fundAccounts.front(); }
    SimFundAccount* fundAccount(const std::string& fundid);
    const SimFundAccount* fundAccount(const std::string& fundid) const;
    const SimShareholder* shareholder(const std::string& market) const;
    SimHolding* holding(const std::string& secuid, const std::string& code);
    const SimHolding* holding(const std::string& secuid, const std::string& code) const;
};

// One login's session: its "authid" (random, never derived from anything)
// names the customer and the fund account it logged in with; it serves only
// the phone that logged in, and ends when left idle too long.
struct SimTradeSession {
    std::string authid;
    std::string custid;
    std::string fundid;
    std::string phone;  // of the service session that logged in
    double since = 0;
    double lastUsed = 0;
};

// What the customer's main fund account has available in RMB (0 without an RMB balance).
SimMoney simAvailableCash(const SimCustomer& who);

// "保守型", "稳健型", "平衡型", "成长型", "进取型" for 1 to 5; "未评估" otherwise.
std::string simRiskToleranceText(int tolerance);

class SimBooks {
public:
    // Codes a soft token is checked against: its counter and the next ones.
    static constexpr int kTokenWindow = 10;
    // So many wrong passwords or codes in a row lock the account for
    // kLockSeconds of the sim's clock; a right one before resets the count.
    static constexpr int kLockAfterFailures = 5;
    static constexpr double kLockSeconds = 30 * 60;

    // The seeded books (SimBooksSeed.cpp), the same whatever the server's seed.
    // Their secrets (passwords, typed codes, the banks' passwords) kept as
    // digests under `key` (SimSecrets.h).
    static SimBooks seeded(const std::vector<uint8_t>& key = {});

    std::vector<SimBranch> branches;
    std::vector<SimCustomer> customers;

    const SimBranch* branch(const std::string& code) const;
    // By any fund account of the customer.
    SimCustomer* customer(const std::string& fundid);
    const SimCustomer* customer(const std::string& fundid) const;
    SimCustomer* customerById(const std::string& custid);
    const SimCustomer* customerById(const std::string& custid) const;
    // The customer a login or token application names: the account of the
    // type (AccountType) as sent, at the branch. A fund account may come
    // normalised (branch code and 8 digits) or as typed; a shareholder account
    // as typed or normalised. Null when none matches.
    const SimCustomer* customerForLogin(const std::string& inputType, const std::string& branch,
                                        const std::string& inputId) const;
    // The fund account the login names (the shareholder account's for those).
    std::string fundIdForLogin(const SimCustomer& who, const std::string& inputType, const std::string& branch,
                               const std::string& inputId) const;

    // ---- secrets ----
    // Whether a secret a request gave (a password, a code) is the one whose
    // digest the books hold (a replayed request gives the digest itself).
    bool secretMatches(const std::string& stored, const std::string& given) const;
    // What the books hold of a secret a request gave: its digest.
    std::string secretOf(const std::string& given) const;

    // ---- soft tokens ----
    // The counter of a one-time code of the token: the token's counter or one
    // of the next kTokenWindow - 1; nullopt for a wrong or used code. A code
    // taken moves the token's counter past it.
    std::optional<int64_t> tokenCodeCounter(const SimSoftToken& token, const std::string& code) const;
    // Issues a new token to the customer for the phone (replacing any),
    // counter 1, its seed a new secret (SimSecrets.h).
    const SimSoftToken& issueToken(SimCustomer& who, const std::string& phone);

    // ---- lock-out ----
    // When the customer's account is locked at `now`: nullopt when it is not.
    std::optional<double> lockedUntil(const SimCustomer& who, double now) const;
    // A wrong password or code; answers the tries left before the lock (0:
    // this one locked the account).
    int noteFailure(const SimCustomer& who, double now);
    void noteSuccess(const SimCustomer& who) { failures_.erase(who.custid); }

    // ---- sessions ----
    // Opens a session for the customer's login with the fund account from the
    // phone; the customer's earlier sessions end. Answers the new authid.
    std::string openSession(const SimCustomer& who, const std::string& fundid, const std::string& phone, double now);
    // The session of the authid for a request from the phone at `now`, its
    // use noted: null for an unknown or superseded authid, for one of another
    // phone, and for one unused longer than `idleTimeout` seconds (it ends).
    const SimTradeSession* admit(const std::string& authid, const std::string& phone, double now,
                                 double idleTimeout) const;
    // The session of the authid while it can still act at `now`, its use not
    // noted: null for an unknown or superseded authid, and for one unused
    // longer than `idleTimeout` seconds, which ends (so that nothing found it
    // ended but it stays so, whatever the clock or the timeout do after).
    const SimTradeSession* live(const std::string& authid, double now, double idleTimeout) const;
    // Gives the session a new authid (a password change); the old one ends.
    // Answers the new one ("" for an unknown authid).
    std::string renewSession(const std::string& authid);
    // Ends the session of the authid, as lying idle too long does.
    void endSession(const std::string& authid) { sessions_.erase(authid); }
    const SimTradeSession* session(const std::string& authid) const;
    size_t sessionCount() const { return sessions_.size(); }
    void endSessions() { sessions_.clear(); }
    // The sessions as they stand, and put in place: books read back from the
    // disk while the server runs keep its trade logins.
    const std::map<std::string, SimTradeSession>& sessions() const { return sessions_; }
    void keepSessions(std::map<std::string, SimTradeSession> sessions) { sessions_ = std::move(sessions); }
    // The customer of a trade request by its "authid" (admitted by the
    // server's request road: the session is live and the phone its own); null
    // with the refusal of an ended session (Error::kSessionEndedCode and
    // kSessionEnded) for a missing, unknown or superseded one.
    const SimCustomer* customerOfRequest(const SimRequest& request, SimRefusal* refusal) const;
    // The fund account a request acts on: the last "fundid" it carries when it
    // is the customer's, else the session's.
    const SimFundAccount* fundAccountOfRequest(const SimCustomer& who, const SimRequest& request) const;
    // The session text of a login: "custid=..&custorgid=..&authid=..".
    static std::string sessionText(const SimCustomer& who, const std::string& authid);

    // ---- orders ----
    int64_t nextOrderNumber() { return ++lastOrderNumber_; }
    int64_t lastOrderNumber() const { return lastOrderNumber_; }
    // Numbers up to `n` are not given again (they were, in books lost to damage).
    void passOrderNumber(int64_t n) { lastOrderNumber_ = std::max(lastOrderNumber_, n); }

private:
    // The books' snapshot (SimSnapshotFields.h) keeps the counter and the lock-outs.
    template <class A>
    friend void simFields(A&, SimBooks&);
    struct Failures {
        int count = 0;
        double lockedUntil = 0;
    };
    int64_t lastOrderNumber_ = 0;
    std::vector<uint8_t> key_;  // of the secrets' digests
    // By authid. Not the books (a restart ends them, the snapshot keeps none):
    // noting a session's use or its end is no change of the books.
    mutable std::map<std::string, SimTradeSession> sessions_;
    std::map<std::string, Failures> failures_;         // by custid
    template <class A>
    friend void simFields(A&, Failures&);
};
