#pragma once
// News (family 504): the categories of the server-filled news menu, the
// headlines of a news column and one article. The menu's news links carry
// the column's request in their query:
//   newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=1&count=20
// ("cont_sfunc" names the article function the list's rows open with).
#include "core/contracts/FunctionId.h"
namespace NewsContract {
inline constexpr FunctionId kCategories{504, 1};
inline constexpr FunctionId kArticle{504, 61};
inline constexpr FunctionId kHeadlines{504, 62};          // newest first
namespace Key {                                           // request keys
inline constexpr const char* kCategoryId = "newstypeid";  // the column (list), or the article's
inline constexpr const char* kNewsId = "newsid";          // article
inline constexpr const char* kCount = "count";            // headlines of one page (default 20)
inline constexpr const char* kPosition = "poststr";       // page after this headline id ("" the first)
inline constexpr const char* kArticleSub = "cont_sfunc";  // link key: the article's sub function
inline constexpr const char* kStockCode = "stkcode";      // news of one stock (the quote page's lists)
inline constexpr const char* kMarket = "market";
}  // namespace Key
namespace Col {                                           // reply columns
inline constexpr const char* kTitle = "title";            // categories: the row's text; headline; article
inline constexpr const char* kLink = "link";              // categories: the menu link the row opens
inline constexpr const char* kCategoryId = "newstypeid";  // categories (also the setting "newstypeid"); headline
inline constexpr const char* kNewsId = "newsid";          // headline
inline constexpr const char* kTime = "originaltime";      // headline: "yyyy-MM-dd HH:mm"
inline constexpr const char* kSource = "source";          // headline, article
inline constexpr const char* kExtra = "ext";              // headline
inline constexpr const char* kContent = "content";        // article: one paragraph per record
}  // namespace Col
}  // namespace NewsContract
