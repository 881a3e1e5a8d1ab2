#include "trade/BankTransferRules.h"

#include "core/Utilities.h"

const std::vector<BankCurrency>& bankCurrencies() {
    static const std::vector<BankCurrency> currencies = {{"人民币", "0"}, {"港币", "1"}, {"美元", "2"}};
    return currencies;
}

std::vector<std::string> bankCurrencyLabels() {
    std::vector<std::string> labels;
    for (const auto& c : bankCurrencies()) labels.push_back(c.label);
    return labels;
}

bool isTransferAmount(const std::string& text) {
    return !text.empty() && isDecimalText(text) &&
           gtm_matchesPattern(text, "([0-9]+\\.[0-9]*)|([0-9]*\\.[0-9]+)|([0-9]+)");
}
