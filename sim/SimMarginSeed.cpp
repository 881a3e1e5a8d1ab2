// The margin seed (the project's seed list; the README's simulator section
// lists it):
//   financed and lent  600000 浦发银行 (50,000 shares to lend), 000001 平安银行
//                      (30,000), 600036 招商银行 (20,000); 000002 万科Ａ is
//                      financed only; no other stock is either. The four are
//                      collateral at 70 % (万科Ａ 65 %)
//   A's credit account its requests name A's main fund account; 20,000.00 元
//                      in cash; a financing limit of 300,000.00 元 with a debt
//                      of 5,000.00 元 (room for about 39,000 shares of 600000);
//                      a short limit of 100,000.00 元 with 200 招商银行 owed
//                      (sold short for 6,500.00 元); collateral of 1,000
//                      招商银行 and 2,000 平安银行; automatic repayment off
// B and C have no credit account.
#include "sim/SimMargin.h"

SimMarginRoom::SimMarginRoom() {
    targets = {
        {"600000", {true, true, 50000, 70}},
        {"000001", {true, true, 30000, 70}},
        {"600036", {true, true, 20000, 70}},
        {"000002", {true, false, 0, 65}},
    };
}

void simSeedCreditAccounts(SimBooks& books) {
    SimCustomer* a = books.customerById("110001234");
    if (!a) return;
    SimCreditAccount credit;
    credit.fundid = a->mainFundAccount().fundid;
    credit.cash = 2000000;
    credit.financingLimit = 30000000;
    credit.financingDebt = 500000;
    credit.shortLimit = 10000000;
    credit.owed = {{"600036", 200}};
    credit.shortProceeds = 650000;
    credit.positions = {
        {"A100001234", "1", "600036", "招商银行", 1000, 1000, 1000 * 32500},
        {"0010001234", "0", "000001", "平安银行", 2000, 2000, 2000 * 10850},
    };
    credit.autoRepay = false;
    a->credit = credit;
}
