#pragma once
// The relation of the registered phone to a fund account (family 3750).
// kRelateAccount takes the trade login's keys (TradeContract::Key: inputtype,
// custorgid, inputid, trdpwd, authtype, authdata) and Key::kImportHoldings;
// it answers ResultContract's result set ("result" 1 related, else 0 with the
// reason in "message"). With Key::kImportHoldings 1 the account's holdings
// join the phone's own stocks.
#include "core/contracts/FunctionId.h"
namespace RelationContract {
inline constexpr FunctionId kRelateAccount{3750, 2};
namespace Key {
inline constexpr const char* kImportHoldings = "isimportccg";  // 1 or 0
}
}  // namespace RelationContract
