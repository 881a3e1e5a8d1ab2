#pragma once
// News (family 504): the categories of the server-filled news menu.
#include "core/contracts/FunctionId.h"
namespace NewsContract {
inline constexpr FunctionId kCategories{504, 1};
namespace Col {                                           // reply columns, one record per category
inline constexpr const char* kTitle = "title";            // the row's text
inline constexpr const char* kLink = "link";              // the menu link the row opens
inline constexpr const char* kCategoryId = "newstypeid";  // also the setting "newstypeid"
}  // namespace Col
}  // namespace NewsContract
