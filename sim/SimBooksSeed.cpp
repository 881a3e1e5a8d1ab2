// The books the simulated brokerage opens with, whatever the seed (the
// project's seed list; the README's simulator section lists it):
//   branches  0101 第一营业部, 0102 第二营业部, 0201 深圳营业部
//   A  fund account 10001234 at 0101 (010110001234), password 123456, logs in
//      with the password alone; shareholder accounts in all four markets;
//      1,000,000.00 元 available; Shenzhen and Shanghai holdings, 20 张 of
//      the convertible bond 110001 and two warrants; a risk tolerance of 平衡型 (3) for funds
//   B  fund account 10005678 at 0101 (010110005678), password 123456; a soft
//      token issued by the brokerage (its seed known to no phone yet: the
//      customer enrols through the soft-token page, which issues a new one);
//      Shenzhen and Shanghai A accounts; 稳健型 (2)
//   C  fund account 10009999 at 0102 (010210009999), password 123456, logs in
//      with the password alone; a Shenzhen A account only
// A later step adds its part for the same customers (bank binding, credit
// account, fund accounts with fund companies) in a function of its own below,
// called from SimBooks::seeded (A's secondary fund accounts and bank
// bindings: seedBankBindings, SimBankSeed.cpp; A's credit account:
// simSeedCreditAccounts, SimMarginSeed.cpp).
#include "sim/SimBank.h"
#include "sim/SimBooks.h"
#include "sim/SimMargin.h"
#include "sim/SimSecrets.h"

namespace {

SimBalance available(SimMoney amount) { return SimBalance{amount}; }

// A holding of the seed bought at `cost` (厘 a share).
SimHolding held(const char* secuid, const char* market, const char* code, const char* name, int64_t quantity,
                SimPrice cost) {
    return {secuid, market, code, name, quantity, quantity, quantity * cost};
}

// A customer with the seed's password and a main fund account holding `rmb` 元 (in 分).
SimCustomer customer(const char* custid, const char* name, const char* orgid, const char* fundid, SimMoney rmb) {
    SimCustomer c;
    c.custid = custid;
    c.name = name;
    c.orgid = orgid;
    c.password = "123456";
    SimFundAccount main{fundid, true, {}};
    main.balances[SimCurrency::kRMB] = available(rmb);
    c.fundAccounts.push_back(main);
    return c;
}

SimCustomer customerA() {
    SimCustomer c = customer("110001234", "张明", "0101", "010110001234", 100000000);
    c.fundAccounts.front().balances[SimCurrency::kHKD] = available(2000000);
    c.fundAccounts.front().balances[SimCurrency::kUSD] = available(1000000);
    c.riskTolerance = 3;
    const std::string fundid = c.mainFundAccount().fundid;
    c.shareholders = {
        {"0", "0010001234", fundid},
        {"1", "A100001234", fundid},
        {"2", "2010001234", fundid},
        {"3", "C900001234", fundid},
    };
    c.holdings = {
        held("0010001234", "0", "000001", "平安银行", 1000, 10850),
        held("0010001234", "0", "000002", "万科Ａ", 500, 10200),
        held("A100001234", "1", "600000", "浦发银行", 2000, 7300),
        held("A100001234", "1", "600036", "招商银行", 300, 32500),
        held("A100001234", "1", "110001", "模拟转债", 20, 100000),
        // The warrants, by their trading codes (SimWarrants.h).
        held("A100001234", "1", "580001", "浦发CWB1", 10000, 500),
        held("0010001234", "0", "038001", "万科JTP1", 500, 2100),
    };
    return c;
}

SimCustomer customerB() {
    SimCustomer c = customer("110005678", "李华", "0101", "010110005678", 20000000);
    c.riskTolerance = 2;
    c.shareholders = {{"0", "0010005678", "010110005678"}, {"1", "A100005678", "010110005678"}};
    c.holdings = {held("0010005678", "0", "000063", "中兴通讯", 800, 26900)};
    return c;
}

SimCustomer customerC() {
    SimCustomer c = customer("120009999", "王芳", "0102", "010210009999", 5000000);
    c.shareholders = {{"0", "0010009999", "010210009999"}};
    c.holdings = {held("0010009999", "0", "000651", "格力电器", 100, 37800)};
    return c;
}

}  // namespace

SimBooks SimBooks::seeded(const std::vector<uint8_t>& key) {
    SimBooks books;
    books.branches = {{"0101", "第一营业部"}, {"0102", "第二营业部"}, {"0201", "深圳营业部"}};
    books.customers = {customerA(), customerB(), customerC()};
    // B's token was issued by the brokerage before this phone knew it.
    books.issueToken(*books.customerById("110005678"), "");
    seedBankBindings(books);
    simSeedCreditAccounts(books);
    // Digested whoever makes them (a replayed request's secrets are digests already, the seed's are not).
    books.key_ = key;
    for (auto& c : books.customers) {
        c.password = simSecretDigest(key, c.password);
        if (!c.typedCode.empty()) c.typedCode = simSecretDigest(key, c.typedCode);
        for (auto& b : c.bankBindings) b.bankPassword = simSecretDigest(key, b.bankPassword);
    }
    return books;
}
