#pragma once
// The requests and texts of the news screens.
//
// A news link ("newslist?..." or "newscontent?...") carries its request in its
// query: every pair of it goes out, joined by "&" in the query's order; an
// opener's message of type 0 adds its text ("stkcode=600036&market=2" from a
// stock's lists). A query without "tc_mfuncno" asks nothing. The list's rows
// open their article with "tc_mfuncno=<the link's>&tc_sfuncno=<its
// "cont_sfunc">&newsid=<the row's id>", and "&newstypeid=<the row's type>"
// when that type has two characters or more; a link without "cont_sfunc"
// names no article function, and its rows open nothing.
//
// The read articles are the setting "NewsReadedIds" (article ids, newest
// first). Opening an article moves its id to the head; the list keeps the
// newest kNewsReadIdsCap ids.
#include <string>
#include <unordered_set>

#include "core/contracts/FunctionId.h"

class Digest;
class VTAMenu;
class VTAMessage;
class VTATCRS;

inline constexpr const char* kNewsReadIdsKey = "NewsReadedIds";
inline constexpr const char* kNewsTypeIdKey = "newstypeid";
inline constexpr size_t kNewsReadIdsCap = 500;
inline constexpr const char* kNewsNoDataTitle = "数据处理错误";
inline constexpr const char* kNewsNoDataText = "请退出程序重试，如有问题请致电恒岳咨询";

// The request of a news link ("" when it asks nothing).
std::string newsLinkRequest(const VTAMenu* menu, const VTAMessage* message);
// The article request of a list row ("" when the link names no article function).
std::string newsArticleRequest(const std::string& link, const Digest& digest);
// The request of a headline's article from the article function itself.
std::string newsArticleRequest(FunctionId article, const Digest& digest);
// A headline read from the current record of a list reply.
Digest digestFromRecord(const VTATCRS& set);

// The article's text from its reply's first set, from its current record on:
// a set of fewer than two fields gives its first field; otherwise "content",
// or the second field when that is empty; each further record adds a blank
// line and its first field.
std::string newsArticleText(VTATCRS& set);
// "<source>    <time>" when the source has two characters or more, else the time.
std::string newsTimeLine(const std::string& source, const std::string& time);

// Records the article as read (settings saved with the others).
void recordNewsRead(const std::string& newsId);
// The ids read so far.
std::unordered_set<std::string> newsReadIds();
