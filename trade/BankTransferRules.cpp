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

std::string bankCurrencyLabel(const std::string& code) {
    for (const auto& c : bankCurrencies())
        if (c.code == code) return c.label;
    return code;
}

std::string fundAccountRoleLabel(const std::string& mainFlag) {
    return mainFlag == "0" ? "主资金帐户" : "辅助资金帐户";
}

bool isTransferAmount(const std::string& text) {
    return !text.empty() && isDecimalText(text) &&
           gtm_matchesPattern(text, "([0-9]+\\.[0-9]*)|([0-9]*\\.[0-9]+)|([0-9]+)");
}
