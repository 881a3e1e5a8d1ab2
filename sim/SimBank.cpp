// The bank family of the simulated server: bank bindings, bank-securities
// transfers, bank balances, transfers between fund accounts and the transfer
// history, over the books of SimBooks.h (bindings, balances) and the room of
// SimBank.h (banks, history). Functions, keys and columns are named in
// core/contracts/BankContract.h. Every request needs the session of a trade
// login ("会话已失效，请重新登录" otherwise); the fund account acted on is the
// last "fundid" of the request, refused with "资金帐号不存在" when it is not
// the customer's. Amounts are read as every amount of the brokerage is
// (SimAmounts.h: "100.500" is 100.50; "转帐金额不正确" for no amount, or 0).
//
// 500/83 bindings, one record per binding: "fundid", "bankname", the fund
//   account's "fundbal" and "fundavl" in the binding's currency, "moneytype"
//   (integer), "bzzhbz" ("0" main, "1" secondary), "bankcode".
// 500/85 transferable amount of "fundid" in "moneytype": "fundcash".
// 500/21 transfer. "banktrantype" 1 bank to securities, 2 securities to bank,
//   "bankcode" and "moneytype" name the binding of the fund account
//   ("该资金帐号未绑定此银行帐户"); the bank's password rule (SimBankRoom):
//   "bankpwd" the binding's bank password ("银行密码错误"), "fundpwd" the
//   trading password ("资金密码错误"); the bank side or the transferable
//   amount must cover it ("银行余额不足", "可转金额不足"). Moves the money
//   and records it.
// 500/67 bank balance: the binding as for 500/21, the bank password where the
//   bank asks for it, "fundpwd" checked when sent. Records the balance.
// 500/84 fund-account transfer: "outfundid" to "infundid" (both the
//   customer's, not the same: "转出帐号与转入帐号不能相同"), "moneytype",
//   "amount" within the source's transferable amount ("可转金额不足").
//   "outfundid" 0 collects the RMB of every secondary fund account into the
//   main one named "infundid" ("归集须转入主资金帐号"; nothing to collect:
//   "辅助资金帐户没有可归集的资金"); its "amout" is not read.
// 500/20 bank list of the fund account, by column: code, name, currency,
//   operation (1, 2, 4), fund-password flag, bank-password flag (1 asked, 0 not).
// 500/22 transfer history of the customer, newest first.
#include <algorithm>
#include <string>

#include "core/TCRSWriter.h"
#include "core/contracts/BankContract.h"
#include "sim/SimAmounts.h"
#include "sim/SimBank.h"
#include "sim/SimClock.h"
#include "sim/SimOrders.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"

namespace {

using namespace BankContract;

constexpr const char* kUnknownFundAccount = "资金帐号不存在";
constexpr const char* kNotBound = "该资金帐号未绑定此银行帐户";
constexpr const char* kBadAmount = "转帐金额不正确";
constexpr const char* kBadTransferType = "转帐类型不正确";
constexpr const char* kWrongBankPassword = "银行密码错误";
constexpr const char* kWrongFundPassword = "资金密码错误";
constexpr const char* kBankShort = "银行余额不足";
constexpr const char* kCashShort = "可转金额不足";
constexpr const char* kSameAccount = "转出帐号与转入帐号不能相同";
constexpr const char* kCollectIntoMain = "归集须转入主资金帐号";
constexpr const char* kNothingToCollect = "辅助资金帐户没有可归集的资金";

// A transfer's amount in 分 (-1 none), read as the books' rules read it,
// so that their records replay as they were carried out: the versions
// before amounts had a length (their snapshot of version 1) at any length,
// zeros before it or past the fen, and the version that gave them one (a
// journal of format 3 is read as it did) with no digit past the fen.
SimMoney amountOf(SimCall& c, const char* key) {
    const std::string text = c.request.value(key);
    switch (c.server.booksRules()) {
        case SimBooksRules::PlansPayNothing:
            return simParseDecimal(text, 2, std::string::npos);
        case SimBooksRules::PlansByCalendar:
            if (const size_t point = text.find('.'); point != std::string::npos && text.size() - point > 3) return -1;
            break;
        case SimBooksRules::Current:
            break;
    }
    return simParseHundredths(text);
}

std::string moneyText(SimMoney m) {
    std::string cents = std::to_string(m % 100);
    return std::to_string(m / 100) + "." + (cents.size() < 2 ? "0" : "") + cents;
}

std::string currencyName(int moneytype) {
    if (moneytype == Currency::kHKD) return "港币";
    if (moneytype == Currency::kUSD) return "美元";
    return "人民币";
}

// The customer of the session and the fund account the request acts on, as
// the books are: what every function checks. One that changes them takes
// the customer to change once every check has passed.
struct Reading {
    const SimCustomer* who = nullptr;
    const SimFundAccount* fund = nullptr;
    SimRefusal refusal;
};

bool isFundId(const std::string& key) { return key == Key::kFundId; }

std::string lastFundId(const SimRequest& r) {
    std::string named;
    for (const auto& f : r.fieldsWhere(isFundId))
        if (!f.value.empty()) named = f.value;
    return named;
}

Reading reading(SimCall& c) {
    Reading a;
    a.who = simTradeCustomerToRead(c, &a.refusal);
    if (!a.who) return a;
    const std::string named = lastFundId(c.request);
    if (named.empty()) {
        a.fund = c.server.view<SimTradeRoom>().books.fundAccountOfRequest(*a.who, c.request);
    } else {
        a.fund = a.who->fundAccount(named);
        c.request.noteTakenWhere(isFundId, {Key::kFundId, named});  // the one that counts, not what came before it
    }
    if (!a.fund) a.refusal = kUnknownFundAccount;
    return a;
}

template <class Customer>
auto bindingOf(Customer& who, const std::string& fundid, const std::string& bankcode, int moneytype)
    -> decltype(&who.bankBindings.front()) {
    for (auto& b : who.bankBindings)
        if (b.fundid == fundid && b.bankcode == bankcode && b.moneytype == moneytype) return &b;
    return nullptr;
}

// What may leave the fund account in the currency for the bank or another account.
SimMoney withdrawableOf(const SimFundAccount& fund, int moneytype) {
    auto it = fund.balances.find(moneytype);
    return it == fund.balances.end() ? 0 : it->second.withdrawable();
}

int moneyTypeOf(const SimRequest& r) { return static_cast<int>(r.intValue(Key::kMoneyType, -1)); }

void record(SimCall& c, const SimCustomer& who, SimBankRecord r) {
    auto& room = c.server.room<SimBankRoom>();
    r.serial = ++room.lastSerial;
    r.time = c.now;
    room.history[who.custid].push_back(std::move(r));
}

// The refusal of a password the bank asks for this operation ("" when it passes).
std::string passwordRefusal(SimCall& c, const SimCustomer& who, const SimBankBinding& binding, int operation) {
    const SimBank* bank = c.server.view<SimBankRoom>().bank(binding.bankcode);
    const SimBooks& books = c.server.view<SimTradeRoom>().books;
    if (bank && bank->bankPasswordFor.count(operation) &&
        !books.secretMatches(binding.bankPassword, c.request.value(Key::kBankPassword)))
        return kWrongBankPassword;
    if (bank && bank->fundPasswordFor.count(operation) &&
        !books.secretMatches(who.password, c.request.value(Key::kFundPassword)))
        return kWrongFundPassword;
    return "";
}

std::vector<uint8_t> bindings(SimCall& c) {
    Reading a = reading(c);
    if (!a.who) return simErrorSet(a.refusal);
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kFundId, TCRSFieldType::VarText, 0, "资金帐号")
        .addField(Col::kBankName, TCRSFieldType::VarText, 0, "银行名称")
        .addField(Col::kBalance, TCRSFieldType::VarText, 0, "资金余额")
        .addField(Col::kAvailable, TCRSFieldType::VarText, 0, "可用资金")
        .addField(Col::kMoneyType, TCRSFieldType::Integer, 4, "币种")
        .addField(Col::kMainFlag, TCRSFieldType::VarText, 0, "主辅标志")
        .addField(Col::kBankCode, TCRSFieldType::VarText, 0, "银行代码");
    for (const auto& b : a.who->bankBindings) {
        const SimFundAccount* f = a.who->fundAccount(b.fundid);
        SimBalance balance;
        if (f && f->balances.count(b.moneytype)) balance = f->balances.at(b.moneytype);
        w.addRecord({b.fundid, b.bankname, moneyText(balance.balance), moneyText(balance.available()), b.moneytype,
                     f && f->main ? "0" : "1", b.bankcode});
    }
    return w.bytes();
}

std::vector<uint8_t> transferable(SimCall& c) {
    Reading a = reading(c);
    if (!a.fund) return simErrorSet(a.refusal);
    const SimMoney cash = withdrawableOf(*a.fund, moneyTypeOf(c.request));
    return TCRSWriter()
        .beginSet()
        .addField(Col::kFundId, TCRSFieldType::VarText, 0, "资金帐号")
        .addField(Col::kFundCash, TCRSFieldType::VarText, 0, "可转金额")
        .addRecord({a.fund->fundid, moneyText(cash)})
        .bytes();
}

std::vector<uint8_t> transfer(SimCall& c) {
    Reading a = reading(c);
    if (!a.fund) return simErrorSet(a.refusal);
    const int type = static_cast<int>(c.request.intValue(Key::kTransferType, 0));
    if (type != Operation::kBankToSecurities && type != Operation::kSecuritiesToBank)
        return simErrorSet(-1, kBadTransferType);
    const int moneytype = moneyTypeOf(c.request);
    const std::string bankcode = c.request.value(Key::kBankCode);
    const SimBankBinding* bound = bindingOf(*a.who, a.fund->fundid, bankcode, moneytype);
    if (!bound) return simErrorSet(-1, kNotBound);
    const SimMoney amount = amountOf(c, Key::kAmount);
    if (amount <= 0) return simErrorSet(-1, kBadAmount);
    if (std::string refusal = passwordRefusal(c, *a.who, *bound, type); !refusal.empty())
        return simErrorSet(-1, refusal);
    const bool in = type == Operation::kBankToSecurities;
    if (in && bound->bankBalance < amount) return simErrorSet(-1, kBankShort);
    if (!in && withdrawableOf(*a.fund, moneytype) < amount) return simErrorSet(-1, kCashShort);

    SimCustomer& who = simTradeCustomerToChange(c, *a.who);
    SimBankBinding& binding = *bindingOf(who, a.fund->fundid, bankcode, moneytype);
    SimBalance& balance = who.fundAccount(a.fund->fundid)->balances[moneytype];
    if (in) {
        binding.bankBalance -= amount;
        balance.deposit(amount);
    } else {
        balance.withdraw(amount);
        binding.bankBalance += amount;
    }
    record(c, who,
           {0, 0, in ? "银行转证券" : "证券转银行", binding.bankname, a.fund->fundid, moneytype, amount, "成功"});
    return simResultSet(1, "转帐已受理");
}

// A balance query changes no money: the bank's answer joins the history.
std::vector<uint8_t> bankBalance(SimCall& c) {
    Reading a = reading(c);
    if (!a.fund) return simErrorSet(a.refusal);
    const int moneytype = moneyTypeOf(c.request);
    const SimBankBinding* binding = bindingOf(*a.who, a.fund->fundid, c.request.value(Key::kBankCode), moneytype);
    if (!binding) return simErrorSet(-1, kNotBound);
    if (std::string refusal = passwordRefusal(c, *a.who, *binding, Operation::kBalanceQuery); !refusal.empty())
        return simErrorSet(-1, refusal);
    if (c.request.has(Key::kFundPassword) &&
        !c.server.view<SimTradeRoom>().books.secretMatches(a.who->password, c.request.value(Key::kFundPassword)))
        return simErrorSet(-1, kWrongFundPassword);
    record(c, *a.who,
           {0, 0, "查询银行余额", binding->bankname, a.fund->fundid, moneytype, binding->bankBalance,
            "银行余额 " + moneyText(binding->bankBalance)});
    return simResultSet(1, "银行余额查询已受理");
}

std::vector<uint8_t> collectAll(SimCall& c, const SimCustomer& reader) {
    const SimFundAccount* main = reader.fundAccount(c.request.value(Key::kInFundId));
    if (!main || !main->main) return simErrorSet(-1, kCollectIntoMain);
    const auto collects = [](const SimFundAccount& f) { return !f.main && withdrawableOf(f, SimCurrency::kRMB) > 0; };
    if (std::none_of(reader.fundAccounts.begin(), reader.fundAccounts.end(), collects))
        return simErrorSet(-1, kNothingToCollect);
    SimCustomer& who = simTradeCustomerToChange(c, reader);
    SimBalance& into = who.fundAccount(main->fundid)->balances[SimCurrency::kRMB];
    for (auto& f : who.fundAccounts) {
        if (!collects(f)) continue;
        const SimMoney cash = withdrawableOf(f, SimCurrency::kRMB);
        f.balances[SimCurrency::kRMB].withdraw(cash);
        into.deposit(cash);
        record(c, who, {0, 0, "资金归集", "", f.fundid, SimCurrency::kRMB, cash, "转入 " + main->fundid});
    }
    return simResultSet(1, "资金归集已受理");
}

std::vector<uint8_t> fundTransfer(SimCall& c) {
    Reading a = reading(c);
    if (!a.who) return simErrorSet(a.refusal);
    const std::string outId = c.request.value(Key::kOutFundId);
    if (outId == BankContract::Value::kAllSecondary) return collectAll(c, *a.who);
    const SimFundAccount* out = a.who->fundAccount(outId);
    const SimFundAccount* in = a.who->fundAccount(c.request.value(Key::kInFundId));
    if (!out || !in) return simErrorSet(-1, kUnknownFundAccount);
    if (out == in) return simErrorSet(-1, kSameAccount);
    const SimMoney amount = amountOf(c, Key::kFundAmount);
    if (amount <= 0) return simErrorSet(-1, kBadAmount);
    const int moneytype = moneyTypeOf(c.request);
    if (withdrawableOf(*out, moneytype) < amount) return simErrorSet(-1, kCashShort);
    SimCustomer& who = simTradeCustomerToChange(c, *a.who);
    who.fundAccount(out->fundid)->balances[moneytype].withdraw(amount);
    who.fundAccount(in->fundid)->balances[moneytype].deposit(amount);
    record(c, who, {0, 0, "资金调拨", "", out->fundid, moneytype, amount, "转入 " + in->fundid});
    return simResultSet(1, "资金调拨已受理");
}

std::vector<uint8_t> bankList(SimCall& c) {
    Reading a = reading(c);
    if (!a.fund) return simErrorSet(a.refusal);
    const auto& room = c.server.view<SimBankRoom>();
    TCRSWriter w;
    w.beginSet()
        .addField(Col::kBankCode, TCRSFieldType::VarText, 0, "银行代码")
        .addField(Col::kBankName, TCRSFieldType::VarText, 0, "银行名称")
        .addField(Col::kMoneyType, TCRSFieldType::Integer, 4, "币种")
        .addField(Key::kTransferType, TCRSFieldType::Integer, 4, "业务")
        .addField("fundpwdflag", TCRSFieldType::Integer, 4, "资金密码")
        .addField("bankpwdflag", TCRSFieldType::Integer, 4, "银行密码");
    for (const auto& b : a.who->bankBindings) {
        if (b.fundid != a.fund->fundid) continue;
        const SimBank* bank = room.bank(b.bankcode);
        for (int op : {Operation::kBankToSecurities, Operation::kSecuritiesToBank, Operation::kBalanceQuery})
            w.addRecord({b.bankcode, b.bankname, b.moneytype, op, bank && bank->fundPasswordFor.count(op) ? 1 : 0,
                         bank && bank->bankPasswordFor.count(op) ? 1 : 0});
    }
    return w.bytes();
}

std::vector<uint8_t> history(SimCall& c) {
    SimRefusal refusal;
    const SimCustomer* who = simTradeCustomerToRead(c, &refusal);
    if (!who) return simErrorSet(refusal);
    const auto& records = simKeptOr(c.server.view<SimBankRoom>().history, who->custid);
    TCRSWriter w;
    w.beginSet()
        .addField("business", TCRSFieldType::VarText, 0, "业务类型")
        .addField("tranamt", TCRSFieldType::VarText, 0, "金额")
        .addField("moneytype", TCRSFieldType::VarText, 0, "币种")
        .addField("bankname", TCRSFieldType::VarText, 0, "银行名称")
        .addField("fundid", TCRSFieldType::VarText, 0, "资金帐号")
        .addField("date", TCRSFieldType::VarText, 0, "日期")
        .addField("time", TCRSFieldType::VarText, 0, "时间")
        .addField("note", TCRSFieldType::VarText, 0, "备注")
        .addField("serialno", TCRSFieldType::VarText, 0, "流水号");
    for (auto r = records.rbegin(); r != records.rend(); ++r) {
        const std::string when = SimClock::format(r->time);
        w.addRecord({r->business, moneyText(r->amount), currencyName(r->moneytype), r->bankname, r->fundid,
                     when.substr(0, 10), when.substr(11), r->note, std::to_string(r->serial)});
    }
    return w.bytes();
}

// The bank items of the trade group (交易), ids 211-219.
const SimMenuItem kBankMenu[] = {
    {211, 2, "银行转证券", "banktransfer"}, {212, 2, "证券转银行", "banktransfer"},
    {213, 2, "银行余额", "bankbalance"},    {214, 2, "转账查询", "banktranquery"},
    {215, 2, "银证转账", "jsf_yzzz"},       {216, 2, "银行余额查询", "jsf_yhye"},
    {217, 2, "资金调拨", "jsf_zjzz"},       {218, 2, "一键归集", "jsf_yjzz"},
    {219, 2, "资金账户查询", "jsf_cxzhzj"},
};

}  // namespace

SimBankRoom::SimBankRoom() {
    using namespace BankContract::Operation;
    // 模拟银行 asks for its password to move money in and to show the
    // balance; 模拟商业银行 only to show the balance. Money goes out with
    // the trading password.
    banks = {
        {"1001", "模拟银行", {kBankToSecurities, kBalanceQuery}, {kSecuritiesToBank}},
        {"1002", "模拟商业银行", {kBalanceQuery}, {kSecuritiesToBank}},
    };
}

const SimBank* SimBankRoom::bank(const std::string& code) const {
    for (const auto& b : banks)
        if (b.code == code) return &b;
    return nullptr;
}

void registerBankFunctions(SimRegistry& r) {
    for (const auto& item : kBankMenu) r.menu().add(item);
    r.add(kBindings, bindings);
    r.add(kTransferable, transferable);
    r.add(kTransfer, transfer);
    r.add(kBankBalance, bankBalance);
    r.add(kFundTransfer, fundTransfer);
    r.add(kBankList, bankList);
    r.add(kTransferHistory, history);
}
