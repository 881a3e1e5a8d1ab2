#pragma once
// The bank and fund account chosen on a newer bank form: an entry of the
// form's bindings (the bank picker shows one row per binding), and among the
// bindings of that entry's bank code (in list order, as
// GTPBankManager::bankFundIdArrayByBankCode gives them) the fund account.
// Picking a bank starts its fund accounts at the first; a new list keeps the
// choice where it still exists, else starts at the first. Nothing is chosen
// while the list is empty.
#include <vector>

#include "trade/GTPBankList.h"

class GTPBankChoice {
public:
    explicit GTPBankChoice(const GTPBankList& list) : list_(list) {}

    int bankIndex() const { return bankIndex_; }
    int fundIndex() const { return fundIndex_; }
    const std::vector<GTPBankInfo>& fundsOfBank() const { return funds_; }
    const GTPBankInfo* bank() const;
    const GTPBankInfo* fund() const;

    // False (nothing changes) for a row out of range.
    bool pickBank(int row);
    bool pickFund(int row);
    void listChanged();

private:
    const GTPBankList& list_;
    int bankIndex_ = 0;
    int fundIndex_ = 0;
    std::vector<GTPBankInfo> funds_;
};
