// The books the simulated brokerage opens with, whatever the seed (the
// project's seed list; the README's simulator section lists it):
//   branches  0101 第一营业部, 0102 第二营业部, 0201 深圳营业部
//   A  fund account 10001234 at 0101 (010110001234), password 123456, logs in
//      with the password alone; shareholder accounts in all four markets;
//      1,000,000.00 元 available; Shenzhen and Shanghai holdings and 20 张 of
//      the convertible bond 110001
//   B  fund account 10005678 at 0101 (010110005678), password 123456; a soft
//      token issued by the brokerage (its seed known to no phone yet: the
//      customer enrols through the soft-token page, which issues a new one);
//      Shenzhen and Shanghai A accounts
//   C  fund account 10009999 at 0102 (010210009999), password 123456, logs in
//      with the password alone; a Shenzhen A account only
// A later step adds its part for the same customers (bank binding, credit
// account, fund accounts with fund companies) in a function of its own below,
// called from SimBooks::seeded.
#include "sim/SimBooks.h"

namespace {

SimBalance available(SimMoney amount) { return SimBalance{amount, amount, 0, amount}; }

SimCustomer customerA() {
    SimCustomer c;
    c.custid = "110001234";
    c.name = "张明";
    c.orgid = "0101";
    c.password = "123456";
    SimFundAccount main{"010110001234", true, {}};
    main.balances[SimCurrency::kRMB] = available(100000000);
    main.balances[SimCurrency::kHKD] = available(2000000);
    main.balances[SimCurrency::kUSD] = available(1000000);
    c.fundAccounts.push_back(main);
    c.shareholders = {
        {"0", "0010001234", main.fundid},
        {"1", "A100001234", main.fundid},
        {"2", "2010001234", main.fundid},
        {"3", "C900001234", main.fundid},
    };
    c.holdings = {
        {"0010001234", "0", "000001", "平安银行", 1000, 1000, 10850},
        {"0010001234", "0", "000002", "万科Ａ", 500, 500, 10200},
        {"A100001234", "1", "600000", "浦发银行", 2000, 2000, 7300},
        {"A100001234", "1", "600036", "招商银行", 300, 300, 32500},
        {"A100001234", "1", "110001", "模拟转债", 20, 20, 100000},
    };
    return c;
}

SimCustomer customerB() {
    SimCustomer c;
    c.custid = "110005678";
    c.name = "李华";
    c.orgid = "0101";
    c.password = "123456";
    SimFundAccount main{"010110005678", true, {}};
    main.balances[SimCurrency::kRMB] = available(20000000);
    c.fundAccounts.push_back(main);
    c.shareholders = {
        {"0", "0010005678", main.fundid},
        {"1", "A100005678", main.fundid},
    };
    c.holdings = {
        {"0010005678", "0", "000063", "中兴通讯", 800, 800, 26900},
    };
    return c;
}

SimCustomer customerC() {
    SimCustomer c;
    c.custid = "120009999";
    c.name = "王芳";
    c.orgid = "0102";
    c.password = "123456";
    SimFundAccount main{"010210009999", true, {}};
    main.balances[SimCurrency::kRMB] = available(5000000);
    c.fundAccounts.push_back(main);
    c.shareholders = {
        {"0", "0010009999", main.fundid},
    };
    c.holdings = {
        {"0010009999", "0", "000651", "格力电器", 100, 100, 37800},
    };
    return c;
}

}  // namespace

SimBooks SimBooks::seeded(uint64_t seed) {
    SimBooks books(seed);
    books.branches = {{"0101", "第一营业部"}, {"0102", "第二营业部"}, {"0201", "深圳营业部"}};
    books.customers = {customerA(), customerB(), customerC()};
    // B's token was issued by the brokerage before this phone knew it.
    books.issueToken(*books.customerById("110005678"), "");
    return books;
}
