#include "messages/MessageTexts.h"

#include <cstdlib>

#include "core/QZUtil.h"
#include "core/RequestText.h"
#include "core/storage/MessageExpressDaoImpl.h"

namespace {

std::string orEmpty(const std::optional<std::string>& text) { return text.value_or(""); }

}  // namespace

bool MessageGroup::sameGroupAs(const MessageGroup& other) const {
    if (sortType != other.sortType) return false;
    if (sortType == 2) return stockCode == other.stockCode && stockName == other.stockName;
    return keyForSql == other.keyForSql;
}

std::vector<MessageGroup> loadMessageGroups(MessageExpressDaoImpl& dao, int sortType, bool favoritesOnly) {
    auto list = favoritesOnly ? dao.listFavoriteSortordWithType(sortType) : dao.listSortordWithType(sortType);
    std::vector<MessageGroup> groups;
    if (!list) return groups;
    for (const auto& sortord : *list) {
        if (!sortord || sortord->type() != sortType) continue;
        MessageGroup g;
        g.sortType = sortType;
        g.amount = sortord->amount();
        g.unreadAmount = sortord->unreadCount();
        if (auto* bySender = dynamic_cast<QZSortordBySender*>(sortord.get())) {
            g.label = bySender->senderName();
            g.keyForSql = bySender->senderCode();
        } else if (auto* byTime = dynamic_cast<QZSortordByTime*>(sortord.get())) {
            g.label = dateGroupLabel(byTime->sendDate(), byTime->sendWeek());
            g.keyForSql = byTime->sendDate();
        } else if (auto* byStock = dynamic_cast<QZSortordByStock*>(sortord.get())) {
            g.label = stockGroupLabel(byStock->stockCode(), byStock->stockName(), list->size());
            g.stockCode = byStock->stockCode();
            g.stockName = byStock->stockName();
            g.messageIds = byStock->messageIds();
            g.unreadAmount = dao.countOfUnreadMessageWithMessageIds(g.messageIds);
        }
        groups.push_back(std::move(g));
    }
    return groups;
}

std::vector<std::shared_ptr<QZMessageExpress>> loadGroupMessages(MessageExpressDaoImpl& dao, const MessageGroup& group,
                                                                 bool favoritesOnly) {
    std::optional<MessageExpressDaoImpl::MessageList> list;
    if (group.sortType == 2)
        list = favoritesOnly ? dao.listFavoriteMessageExpressWithMessageIds(group.messageIds)
                             : dao.listMessageExpressWithMessageIds(group.messageIds);
    else
        list = favoritesOnly ? dao.listFavoriteMessageExpressWithKey(group.keyForSql, group.sortType)
                             : dao.listMessageExpressWithKey(group.keyForSql, group.sortType);
    return list ? *list : MessageExpressDaoImpl::MessageList{};
}

std::string dateGroupLabel(const std::string& sendDate, const std::string& sendWeek) {
    int week = sendWeek.empty() ? -1 : std::atoi(sendWeek.c_str());
    return orEmpty(QZUtil::dayDescFromDate(sendDate, sendWeek)) + " " + orEmpty(QZUtil::weekdayDescFromIntweek(week));
}

std::string stockGroupLabel(const std::string& stockCode, const std::string& stockName, size_t groupCount) {
    if (stockCode == QZSortordByStock::kNoStockKey) return groupCount == 1 ? "所有信息" : "其他";
    auto parts = splitText(stockCode, ".");
    if (parts.size() == 2) return stockName + " (" + parts[0] + ")";
    return stockName;
}

std::string groupHeaderText(const MessageGroup& group) {
    if (group.unreadAmount < 1) return group.label + " (" + std::to_string(group.amount) + ")";
    return group.label;
}

std::string messageDayText(const QZMessageExpress& m) {
    return orEmpty(QZUtil::dayDescFromDate(m.sendDate(), std::to_string(m.week())));
}

std::string messageWeekdayText(const QZMessageExpress& m) { return orEmpty(QZUtil::weekdayDescFromIntweek(m.week())); }

std::string messageRowDateText(const QZMessageExpress& m, bool groupedByDate) {
    std::string time = orEmpty(QZUtil::timeWithoutSecond(m.sendTime()));
    if (groupedByDate) return "[ " + time + " ]";
    return "[" + messageDayText(m) + " " + messageWeekdayText(m) + " " + time + "]";
}

std::string messageDetailLine(const QZMessageExpress& m) {
    return messageDayText(m) + " (" + messageWeekdayText(m) + ") " +
           orEmpty(QZUtil::timeWithoutMillisecond(m.sendTime())) + " " + m.senderName();
}

std::vector<QZPortfolioStock> relatedStocksOfMessage(const QZMessageExpress& m) {
    std::vector<QZPortfolioStock> stocks;
    if (m.stockCode().size() < 2 || m.stockName().size() < 2) return stocks;
    auto codes = splitText(m.stockCode(), ",");
    auto names = splitText(m.stockName(), ",");
    for (size_t i = 0; i < codes.size() && i < names.size(); ++i) {
        auto parts = splitText(codes[i], ".");
        if (parts.size() != 2) continue;
        QZPortfolioStock stock(parts[0], std::atoi(parts[1].c_str()));
        stock.setName(names[i]);
        stocks.push_back(std::move(stock));
    }
    return stocks;
}
