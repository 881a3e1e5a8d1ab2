#pragma once
// Warrant exercise (system function 100 with the trade session text).
//
// Query (kQuery): Key::kStockCode (the exercise code), kQueryFlag 1. Set 0:
// Col::kMarket (the shareholder market of the warrant), kCode, kName,
// kExercisePrice, kFundAvl (the money available), kAvailable (the warrants
// the customer may exercise), kKind (认购 / 认沽), kStyle, kRatio,
// kSettlement, kSettlementPrice, kExpiry (yyyyMMdd).
// Exercise (kExercise): Key::kMarket, kSecuId and kFundId (the shareholder
// account), kStockCode, kPrice, kQty. Set 0 Col::kOrderNumber.
#include "core/contracts/FunctionId.h"

namespace WarrantContract {
inline constexpr FunctionId kQuery{100, 28};
inline constexpr FunctionId kExercise{100, 29};

namespace Key {
inline constexpr const char* kStockCode = "stkcode";
inline constexpr const char* kQueryFlag = "qryflag";
inline constexpr const char* kMarket = "market";
inline constexpr const char* kSecuId = "secuid";
inline constexpr const char* kFundId = "fundid";
inline constexpr const char* kPrice = "price";
inline constexpr const char* kQty = "qty";
}  // namespace Key

namespace Col {
inline constexpr const char* kMarket = "market";
inline constexpr const char* kCode = "stkcode";
inline constexpr const char* kName = "stkname";
inline constexpr const char* kExercisePrice = "exerprice";
inline constexpr const char* kFundAvl = "fundavl";
inline constexpr const char* kAvailable = "stkavl";
inline constexpr const char* kKind = "warrantkind";
inline constexpr const char* kStyle = "exertype";
inline constexpr const char* kRatio = "exerratio";
inline constexpr const char* kSettlement = "cleartype";
inline constexpr const char* kSettlementPrice = "clearprice";
inline constexpr const char* kExpiry = "expdate";
inline constexpr const char* kOrderNumber = "ordersno";
}  // namespace Col
}  // namespace WarrantContract
