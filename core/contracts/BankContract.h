#pragma once
// Bank transfers and fund-account transfers (trading functions of family 500).
// Every request carries the trade session text and, where the request text
// gives one, the login's fund account (TradeContract::Key::kFundId); where a
// request names a fund account of its own after it, the last "fundid" is the
// account acted on.
//
// kBindings: the bank bindings, one record per binding: Col::kBankCode,
//   kBankName, kFundId, kMoneyType (integer), kMainFlag ("0" main fund
//   account), and the fund account's kBalance and kAvailable in that currency.
// kTransferable: Key::kMoneyType of the fund account named; Col::kFundCash.
// kTransfer: Key::kTransferType (Value::kBankToSecurities needs the bank
//   password Key::kBankPassword where the bank asks for it,
//   kSecuritiesToBank the trading password as Key::kFundPassword),
//   kBankCode, kMoneyType, kAmount. Answers a result set.
// kBankBalance: Key::kBankCode, kMoneyType, kBankPassword (and kFundPassword
//   when given: the trading password). Answers a result set; the balance is
//   in the transfer history.
// kFundTransfer: Key::kOutFundId, kInFundId, kMoneyType, kFundAmount; with
//   kOutFundId Value::kAllSecondary, the RMB of every secondary fund account
//   goes to the main one named kInFundId (its amount field is
//   Key::kCollectAmount, spelled so). Answers a result set.
// kBankList: the banks of the fund account by operation, read by column
//   position (ListColumn): code, name, currency (integer), operation
//   (Operation), fund-password flag and bank-password flag (above 0: asked).
// kTransferHistory: the day's transfers, balance queries and fund-account
//   transfers, newest first, with Chinese column titles.
#include "core/contracts/FunctionId.h"
#include "core/contracts/TradeContract.h"

namespace BankContract {
inline constexpr FunctionId kBindings{500, 83};
inline constexpr FunctionId kTransferable{500, 85};
inline constexpr FunctionId kTransfer{500, 21};
inline constexpr FunctionId kBankBalance{500, 67};
inline constexpr FunctionId kFundTransfer{500, 84};
inline constexpr FunctionId kBankList{500, 20};
inline constexpr FunctionId kTransferHistory{500, 22};

namespace Key {
inline constexpr const char* kFundId = TradeContract::Key::kFundId;
inline constexpr const char* kBankCode = "bankcode";
inline constexpr const char* kTransferType = "banktrantype";
inline constexpr const char* kBankPassword = "bankpwd";
inline constexpr const char* kFundPassword = "fundpwd";
inline constexpr const char* kMoneyType = "moneytype";  // Currency
inline constexpr const char* kAmount = "tranamt";
inline constexpr const char* kOutFundId = "outfundid";
inline constexpr const char* kInFundId = "infundid";
inline constexpr const char* kFundAmount = "amount";
inline constexpr const char* kCollectAmount = "amout";
}  // namespace Key

namespace Value {
inline constexpr const char* kAllSecondary = "0";  // Key::kOutFundId of a collect-all
}

// What a bank-list row and Key::kTransferType name.
namespace Operation {
inline constexpr int kBankToSecurities = 1;
inline constexpr int kSecuritiesToBank = 2;
inline constexpr int kBalanceQuery = 4;
}  // namespace Operation

namespace Currency {
inline constexpr int kRMB = 0;
inline constexpr int kHKD = 1;
inline constexpr int kUSD = 2;
}  // namespace Currency

namespace Col {
inline constexpr const char* kBankCode = "bankcode";
inline constexpr const char* kBankName = "bankname";
inline constexpr const char* kFundId = "fundid";
inline constexpr const char* kMoneyType = "moneytype";
inline constexpr const char* kMainFlag = "bzzhbz";  // "0": the main fund account
inline constexpr const char* kBalance = "fundbal";
inline constexpr const char* kAvailable = "fundavl";
inline constexpr const char* kFundCash = "fundcash";  // transferable to the bank
inline constexpr const char* kMainFlagMain = "0";
}  // namespace Col

// Column positions of the bank list (kBankList).
namespace ListColumn {
inline constexpr int kCode = 0;
inline constexpr int kName = 1;
inline constexpr int kCurrency = 2;
inline constexpr int kOperation = 3;
inline constexpr int kFundPasswordFlag = 4;
inline constexpr int kBankPasswordFlag = 5;
}  // namespace ListColumn
}  // namespace BankContract
