#pragma once
// What the bank and fund-account transfer screens share: their texts, the
// currencies they offer and the check of a typed amount.
#include <string>
#include <vector>

inline constexpr const char* kBankInfoLoadingText = "银行信息获取中，请稍后再试";
inline constexpr const char* kCheckAmountText = "请检查转帐金额";
inline constexpr const char* kTransferSubmittedText = "请求已提交，请到转帐查询中查询!";
inline constexpr const char* kFundTransferSubmittedText = "请求已提交，请到帐户资金中查询!";
inline constexpr const char* kConfirmTitle = "您确定要发送如下信息吗？ \n";

struct BankCurrency {
    std::string label;
    std::string code;  // "moneytype"
};
// "人民币" "0", "港币" "1", "美元" "2".
const std::vector<BankCurrency>& bankCurrencies();
// The labels of bankCurrencies(), in order.
std::vector<std::string> bankCurrencyLabels();
// The label of a "moneytype" code; an unknown code is shown as it came.
std::string bankCurrencyLabel(const std::string& code);
// The words for a binding's main flag ("bzzhbz"): "0" is the main fund
// account, anything else a secondary one.
std::string fundAccountRoleLabel(const std::string& mainFlag);

// An amount as typed may go out: present, a decimal text (one point, no blank
// inside) of digits, e.g. "100", "100.", ".5", "0.50"; not "1e3", "-5", "1 0".
bool isTransferAmount(const std::string& text);
