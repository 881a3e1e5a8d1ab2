#pragma once
// Pushed messages (family 3780): the messages not yet confirmed, their
// confirmation, the history and a message's long text.
#include "core/contracts/FunctionId.h"
namespace MessageContract {
inline constexpr FunctionId kUnconfirmed{3780, 2};
inline constexpr FunctionId kConfirm{3780, 3};  // answers ResultContract's set, "message" the number confirmed
inline constexpr FunctionId kHistory{3780, 6};  // newest first
inline constexpr FunctionId kLongText{3780, 7};
namespace Key {                                           // request keys
inline constexpr const char* kDetailId = "detailmsg_id";  // confirm: ids joined by "|" (or ",")
inline constexpr const char* kBeginDate = "bgn_date";     // history: yyyymmdd
inline constexpr const char* kEndDate = "end_date";       // history: yyyymmdd, optional
inline constexpr const char* kCount = "count";            // history: default 30
}  // namespace Key
namespace Col {  // reply columns
inline constexpr const char* kMessageId = "msg_id";
inline constexpr const char* kDetailId = "detailmsg_id";
inline constexpr const char* kSenderCode = "sender_code";
inline constexpr const char* kSenderName = "sender_name";
inline constexpr const char* kSendTime = "send_time";        // "yyyy-MM-dd HH:mm:ss"
inline constexpr const char* kNeedsConfirm = "is_validate";  // 1: confirm the receipt
inline constexpr const char* kType = "msg_type";             // 1 long text (url is a request), 2 web address
inline constexpr const char* kLevel = "msg_level";
inline constexpr const char* kSummary = "summary";
inline constexpr const char* kContent = "content";
inline constexpr const char* kWeekday = "week";  // 0 Sunday to 6
inline constexpr const char* kChannel = "channel_name";
inline constexpr const char* kStockCode = "stk_code";
inline constexpr const char* kStockName = "stk_name";
inline constexpr const char* kUrl = "url";
inline constexpr const char* kLongText = "news_content";  // long text
inline constexpr const char* kTitle = "title";            // long text
}  // namespace Col
}  // namespace MessageContract
