#pragma once
// News (family 504): the categories of the server-filled news menu, the
// headlines of a news column and one article. The menu's news links carry
// the column's request in their query:
//   newslist?tc_mfuncno=504&tc_sfuncno=62&cont_sfunc=61&newstypeid=1&count=20
// ("cont_sfunc" names the article function the list's rows open with).
// The company information (F10) of a stock comes the same way, from the
// items under the menu's hidden "f10" item, to which the quote page adds
// "stkcode=<code>&market=<market id>":
//   newslist?tc_mfuncno=504&tc_sfuncno=63&cont_sfunc=64&f10type=1
// and so does the information radar of a stock (504/60).
// The own stocks' news comes by stock ids ("code.market" joined by ","):
// their headlines page by page (504/56), each row carrying the cursor of the
// page after it; which of them have radar items is 504/54.
#include "core/contracts/FunctionId.h"
namespace NewsContract {
inline constexpr FunctionId kCategories{504, 1};
inline constexpr FunctionId kArticle{504, 61};
inline constexpr FunctionId kHeadlines{504, 62};  // newest first
inline constexpr FunctionId kF10Titles{504, 63};  // one F10 section of a stock
inline constexpr FunctionId kF10Article{504, 64};
inline constexpr FunctionId kFreshNewsStocks{504, 54};    // which of the stocks have fresh news
inline constexpr FunctionId kStocksHeadlines{504, 56};    // headlines of the stocks, newest first
namespace Key {                                           // request keys
inline constexpr const char* kCategoryId = "newstypeid";  // the column (list), or the article's
inline constexpr const char* kNewsId = "newsid";          // article
inline constexpr const char* kCount = "count";            // headlines of one page (default 20)
inline constexpr const char* kPosition = "poststr";       // page after this headline id ("" the first)
inline constexpr const char* kArticleSub = "cont_sfunc";  // link key: the article's sub function
inline constexpr const char* kStockCode = "stkcode";      // news of one stock (the quote page's lists)
inline constexpr const char* kMarket = "market";
inline constexpr const char* kF10Section = "f10type";  // F10 titles: the section (F10Section)
inline constexpr const char* kStockIds = "stkcodes";   // the own stocks' news: ids joined by ","
}  // namespace Key
namespace F10Section {
inline constexpr int kProfile = 1;       // 公司概况
inline constexpr int kFinance = 2;       // 财务数据
inline constexpr int kShareholders = 3;  // 股本股东
inline constexpr int kDividends = 4;     // 分红配股
inline constexpr int kNotices = 5;       // 公司公告
}  // namespace F10Section
namespace Col {                                           // reply columns
inline constexpr const char* kTitle = "title";            // categories: the row's text; headline; article
inline constexpr const char* kLink = "link";              // categories: the menu link the row opens
inline constexpr const char* kCategoryId = "newstypeid";  // categories (also the setting "newstypeid"); headline
inline constexpr const char* kNewsId = "newsid";          // headline
inline constexpr const char* kTime = "originaltime";      // headline: "yyyy-MM-dd HH:mm"
inline constexpr const char* kSource = "source";          // headline, article
inline constexpr const char* kExtra = "ext";              // headline
inline constexpr const char* kContent = "content";        // article: one paragraph per record
inline constexpr const char* kPosition = "poststr";       // the own stocks' headline: the next page's cursor
}  // namespace Col
// The information radar of one stock (504/60): its newest items first. Set 0
// one record an item, each carrying the stock and the type; a stock without
// items answers one record of type kNoRadarType with an empty content.
inline constexpr FunctionId kInfoRadar{504, 60};
// Which of some stocks have radar items (504/54): set 0 one record a stock.
inline constexpr FunctionId kRadarStocks{504, 54};
inline constexpr int kNoRadarType = 1;
namespace RadarKey {
inline constexpr const char* kStockId = "stkcode";           // "code.market"
inline constexpr const char* kWithContent = "with_content";  // 1: the items' texts too
inline constexpr const char* kStockIds = "stkcodes";         // 504/54: ids joined by ","
}  // namespace RadarKey
namespace RadarCol {
inline constexpr const char* kStockId = "stkcode";  // as asked
inline constexpr const char* kType = "type";        // integer; kNoRadarType: none
inline constexpr const char* kTime = "time";        // "HH:mm"
inline constexpr const char* kContent = "content";
inline constexpr const char* kCode = "code";      // 504/54
inline constexpr const char* kMarket = "market";  // 504/54 (integer)
}  // namespace RadarCol
}  // namespace NewsContract
