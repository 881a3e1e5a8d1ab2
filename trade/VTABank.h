#pragma once
// One row of the older bank list (500/20), read by column position: a bank
// in a currency for one operation, with the passwords the operation asks for.
#include <string>
#include <vector>

class VTATCRS;

struct VTABank {
    std::string code;
    std::string name;
    int currentcy = 0;      // 0 RMB, 1 HKD, 2 USD
    bool funkFlag = false;  // the fund password is asked (column above 0)
    bool bankFlag = false;  // the bank password is asked

    // The rows of the set whose operation (BankContract::Operation) is
    // `operation`, in order. Rows of a currency other than 0, 1 and 2 are
    // left out: no screen has a name for them.
    static std::vector<VTABank> banksForOperation(VTATCRS& set, int operation);
};
