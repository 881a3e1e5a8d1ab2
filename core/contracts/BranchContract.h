#pragma once
// The branch directory (family 501): every branch (营业部) of the brokerage.
// A reply of fewer than 2 records is refused by the client.
#include "core/contracts/FunctionId.h"
namespace BranchContract {
inline constexpr FunctionId kBranchList{501, 17};
namespace Col {                                   // reply columns, one record per branch
inline constexpr const char* kCode = "org_code";  // 4 digits
inline constexpr const char* kName = "org_name";
}  // namespace Col
}  // namespace BranchContract
