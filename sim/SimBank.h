#pragma once
// The room of the bank family (SimBank.cpp): the banks the brokerage works
// with, which password each asks for which operation, and the record of every
// transfer, balance query and fund-account transfer by customer (the
// transfer history). The bindings themselves, with the bank passwords and the
// bank-side balances, are in the books (SimBooks.h), seeded by
// seedBankBindings.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/SimBooks.h"

struct SimBank {
    std::string code, name;
    std::set<int> bankPasswordFor;  // operations (BankContract::Operation) that ask for the bank password
    std::set<int> fundPasswordFor;  // ... and for the trading password
};

struct SimBankRecord {
    int64_t serial = 0;
    double time = 0;
    std::string business;  // "银行转证券", "证券转银行", "查询银行余额", "资金调拨", "资金归集"
    std::string bankname;
    std::string fundid;
    int moneytype = SimCurrency::kRMB;
    SimMoney amount = 0;
    std::string note;
};

struct SimBankRoom {
    SimBankRoom();
    std::vector<SimBank> banks;
    std::map<std::string, std::vector<SimBankRecord>> history;  // custid -> records, oldest first
    int64_t lastSerial = 0;

    const SimBank* bank(const std::string& code) const;
};

// A's fund accounts beyond the main one and the bank bindings of the seed
// (SimBankSeed.cpp); SimBooks::seeded calls it.
void seedBankBindings(SimBooks& books);
