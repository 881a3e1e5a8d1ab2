#pragma once
// The texts the message screens make of a stored message and of its groups,
// and the groups themselves as the inbox shows them. A part that is missing
// (no date, no weekday) is an empty text, never a placeholder.
//
// Groups (0 by sender, 1 by date, 2 by stock) come from the store in its own
// order. A group's label:
//   sender  its senderName;
//   date    the day text ("今天", "昨天" or the date) and the weekday text
//           ("星期日" to "星期六") joined by a blank;
//   stock   "所有信息" for the group of messages naming no stock ("9999999")
//           when it is the only group, "其他" when there are others; a code
//           of two "."-parts gives "<name> (<bare code>)", any other the name.
// A header shows "<label> (<amount>)" while nothing in it is unread, else the
// label alone beside an unread badge.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/storage/QZMessageExpress.h"
#include "core/storage/QZPortfolioStock.h"
#include "core/storage/QZSortord.h"

class MessageExpressDaoImpl;

// One group of the inbox.
struct MessageGroup {
    int sortType = 0;
    std::string label;
    int amount = 0;
    int unreadAmount = 0;
    std::string keyForSql;                // sender code or send date ("" for stock groups)
    std::vector<std::string> messageIds;  // stock groups: the group's messages
    std::string stockCode, stockName;     // stock groups: the key
    // Whether two groups are the same group (same grouping and key), whatever they hold now.
    bool sameGroupAs(const MessageGroup& other) const;
};

// The groups of the grouping over all stored messages, or over the
// favourites; empty for an unknown grouping or a failed read.
std::vector<MessageGroup> loadMessageGroups(MessageExpressDaoImpl& dao, int sortType, bool favoritesOnly);
// The messages of a group, newest first (the favourites only when asked).
std::vector<std::shared_ptr<QZMessageExpress>> loadGroupMessages(MessageExpressDaoImpl& dao, const MessageGroup& group,
                                                                 bool favoritesOnly);

std::string dateGroupLabel(const std::string& sendDate, const std::string& sendWeek);
std::string stockGroupLabel(const std::string& stockCode, const std::string& stockName, size_t groupCount);
// "<label> (<amount>)" when nothing is unread, else the label.
std::string groupHeaderText(const MessageGroup& group);

// The day text of a message ("今天", "昨天" or its date) and its weekday text.
std::string messageDayText(const QZMessageExpress& m);
std::string messageWeekdayText(const QZMessageExpress& m);
// A row's date text: "[ HH:mm ]" when grouped by date (the day is the group's),
// else "[<day> <weekday> HH:mm]".
std::string messageRowDateText(const QZMessageExpress& m, bool groupedByDate);
// The detail's line: "<day> (<weekday>) <time without its fraction> <sender>".
std::string messageDetailLine(const QZMessageExpress& m);
// The stocks a message names: its "," lists of codes ("code.market") and
// names paired by position; a code that is not two "."-parts is left out.
std::vector<QZPortfolioStock> relatedStocksOfMessage(const QZMessageExpress& m);
