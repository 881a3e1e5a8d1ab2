#include "trade/GTPBankChoice.h"

namespace {

const GTPBankInfo* at(const std::vector<GTPBankInfo>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? &list[static_cast<size_t>(index)] : nullptr;
}

// The bindings of the list with the bank code, in list order.
std::vector<GTPBankInfo> ofBank(const std::vector<GTPBankInfo>& list, const std::string& code) {
    std::vector<GTPBankInfo> found;
    for (const auto& b : list)
        if (b.bankCode == code) found.push_back(b);
    return found;
}

}  // namespace

const GTPBankInfo* GTPBankChoice::bank() const { return at(list_.items(), bankIndex_); }

const GTPBankInfo* GTPBankChoice::fund() const { return at(funds_, fundIndex_); }

bool GTPBankChoice::pickBank(int row) {
    const GTPBankInfo* b = at(list_.items(), row);
    if (!b) return false;
    bankIndex_ = row;
    funds_ = ofBank(list_.items(), b->bankCode);
    fundIndex_ = 0;
    return true;
}

bool GTPBankChoice::pickFund(int row) {
    if (!at(funds_, row)) return false;
    fundIndex_ = row;
    return true;
}

void GTPBankChoice::listChanged() {
    if (!bank()) bankIndex_ = 0;
    const GTPBankInfo* b = bank();
    funds_ = b ? ofBank(list_.items(), b->bankCode) : std::vector<GTPBankInfo>{};
    if (!fund()) fundIndex_ = 0;
}
