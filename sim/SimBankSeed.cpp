// The bank side of the seed (the README's simulator section lists it):
//   A  main fund account 010110001234 bound to 模拟银行 (1001) in 元, bank
//      password 888888, 100,000.00 元 at the bank;
//      secondary 010120001234 with 50,000.00 元, bound to 模拟银行 too
//      (password 888888, 20,000.00 元 at the bank);
//      secondary 010130001234 with 8,000.00 元, bound to 模拟商业银行 (1002)
//      in 元 (password 666666, 30,000.00 元 at the bank).
// The banks and the passwords they ask for are in SimBankRoom (SimBank.cpp).
#include "sim/SimBank.h"

namespace {

constexpr const char* kCustomerA = "110001234";

SimFundAccount secondary(const char* fundid, SimMoney rmb) {
    SimFundAccount f{fundid, false, {}};
    f.balances[SimCurrency::kRMB] = SimBalance{rmb};
    return f;
}

}  // namespace

void seedBankBindings(SimBooks& books) {
    SimCustomer* a = books.customerById(kCustomerA);
    if (!a) return;
    a->fundAccounts.push_back(secondary("010120001234", 5000000));
    a->fundAccounts.push_back(secondary("010130001234", 800000));
    a->bankBindings = {
        {"1001", "模拟银行", "010110001234", SimCurrency::kRMB, "888888", 10000000},
        {"1001", "模拟银行", "010120001234", SimCurrency::kRMB, "888888", 2000000},
        {"1002", "模拟商业银行", "010130001234", SimCurrency::kRMB, "666666", 3000000},
    };
}
