#include "tests/storage/StorageTestSupport.h"

namespace {

std::shared_ptr<QZMessageExpress> message(const std::string& id, const std::string& sender, const std::string& date,
                                          const std::string& time, const std::string& codes = "",
                                          const std::string& names = "") {
    auto m = std::make_shared<QZMessageExpress>(sender);
    m->setMessageId(id);
    m->setSenderName("name of " + sender);
    m->setSendDate(date);
    m->setSendTime(time);
    m->setStockCode(codes);
    m->setStockName(names);
    m->setWeek(3);
    return m;
}

class MessageExpressDaoTest : public StorageTest {
protected:
    std::shared_ptr<MessageExpressDaoImpl> dao() { return factory.messageExpressDao(); }
    void store(const std::vector<std::shared_ptr<QZMessageExpress>>& list) {
        for (auto& m : list) ASSERT_TRUE(dao()->addMessageExpressItem(*m));
    }
    static std::vector<std::string> idsOf(const std::optional<MessageExpressDaoImpl::MessageList>& list) {
        std::vector<std::string> out;
        if (list)
            for (auto& m : *list) out.push_back(m->messageId());
        return out;
    }
    std::vector<std::string> allIds() { return idsOf(dao()->listRecentMessagesWithLimit(1000)); }
    template <class T>
    static std::shared_ptr<T> group(const MessageExpressDaoImpl::SortordList& list, size_t i) {
        auto g = std::dynamic_pointer_cast<T>(list.at(i));
        EXPECT_TRUE(g);
        return g;
    }
};

}  // namespace

TEST_F(MessageExpressDaoTest, StoresEveryFieldAndSkipsADuplicateMessageId) {
    auto m = message("m1", "s1", "2024-05-02", "10:11:12.345", "600000.2,000001.1", "浦发银行,平安银行");
    m->setIsNeedConfirm(true);
    m->setIsRead(true);
    m->setMessageType(2);
    m->setMessageLevel(4);
    m->setMessageDetailId("d1");
    m->setMessageTitle("标题");
    m->setMessageContent("内容 with ' quote");
    m->setWeek(4);
    m->setChannelName("资讯");
    m->setMessageUrl("http://example.invalid/a?b=1&c=2");
    EXPECT_TRUE(dao()->addMessageExpressItem(*m));
    auto back = dao()->messageWithMessageId("m1");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->senderCode(), "s1");
    EXPECT_EQ(back->senderName(), "name of s1");
    EXPECT_EQ(back->sendDate(), "2024-05-02");
    EXPECT_EQ(back->sendTime(), "10:11:12.345");
    EXPECT_TRUE(back->isNeedConfirm());
    EXPECT_FALSE(back->isFavorite());
    EXPECT_TRUE(back->isRead());
    EXPECT_EQ(back->messageType(), 2);
    EXPECT_EQ(back->messageLevel(), 4);
    EXPECT_EQ(back->messageDetailId(), "d1");
    EXPECT_EQ(back->messageTitle(), "标题");
    EXPECT_EQ(back->messageContent(), "内容 with ' quote");
    EXPECT_EQ(back->week(), 4);
    EXPECT_EQ(back->channelName(), "资讯");
    EXPECT_EQ(back->stockCode(), "600000.2,000001.1");
    EXPECT_EQ(back->stockName(), "浦发银行,平安银行");
    EXPECT_EQ(back->messageUrl(), "http://example.invalid/a?b=1&c=2");

    // Same id again: nothing changes (the stored one keeps its fields).
    auto again = message("m1", "s9", "2024-06-01", "00:00:00");
    EXPECT_TRUE(dao()->addMessageExpressItem(*again));
    EXPECT_EQ(dao()->messageWithMessageId("m1")->senderCode(), "s1");
    EXPECT_EQ(allIds().size(), 1u);
    EXPECT_FALSE(dao()->addMessageExpressItem(*message("", "s1", "2024-05-02", "10:00:00")));
    EXPECT_FALSE(dao()->messageWithMessageId("nope"));
}

TEST_F(MessageExpressDaoTest, GroupsBySenderAndByDateWithTheirOrders) {
    store({message("a1", "A", "2024-05-01", "09:00:00"), message("a2", "A", "2024-05-03", "08:00:00"),
           message("b1", "B", "2024-05-03", "09:30:00"), message("c1", "C", "2024-05-02", "23:00:00"),
           message("b2", "B", "2024-05-01", "23:59:59")});
    dao()->markMessageIsRead("a1", true);
    dao()->markMessageIsFavorite("c1", true);

    auto senders = dao()->listSortordWithType(0);
    ASSERT_TRUE(senders);
    ASSERT_EQ(senders->size(), 3u);
    // B's newest is 05-03 09:30, A's 05-03 08:00, C's 05-02.
    auto b = group<QZSortordBySender>(*senders, 0);
    EXPECT_EQ(b->senderCode(), "B");
    EXPECT_EQ(b->senderName(), "name of B");
    EXPECT_EQ(b->amount(), 2);
    EXPECT_EQ(b->unreadCount(), 2);
    EXPECT_EQ(b->type(), 0);
    auto a = group<QZSortordBySender>(*senders, 1);
    EXPECT_EQ(a->senderCode(), "A");
    EXPECT_EQ(a->amount(), 2);
    EXPECT_EQ(a->unreadCount(), 1);
    EXPECT_EQ(group<QZSortordBySender>(*senders, 2)->senderCode(), "C");

    auto dates = dao()->listSortordWithType(1);
    ASSERT_TRUE(dates);
    ASSERT_EQ(dates->size(), 3u);
    auto d0 = group<QZSortordByTime>(*dates, 0);
    EXPECT_EQ(d0->sendDate(), "2024-05-03");
    EXPECT_EQ(d0->sendWeek(), "3");
    EXPECT_EQ(d0->amount(), 2);
    EXPECT_EQ(d0->type(), 1);
    EXPECT_EQ(group<QZSortordByTime>(*dates, 1)->sendDate(), "2024-05-02");
    auto d2 = group<QZSortordByTime>(*dates, 2);
    EXPECT_EQ(d2->sendDate(), "2024-05-01");
    EXPECT_EQ(d2->unreadCount(), 1);

    auto favourites = dao()->listFavoriteSortordWithType(0);
    ASSERT_TRUE(favourites);
    ASSERT_EQ(favourites->size(), 1u);
    EXPECT_EQ(group<QZSortordBySender>(*favourites, 0)->senderCode(), "C");

    EXPECT_FALSE(dao()->listSortordWithType(3));
    EXPECT_FALSE(dao()->listSortordWithType(-1));
    EXPECT_FALSE(dao()->listFavoriteSortordWithType(7));
}

TEST_F(MessageExpressDaoTest, GroupsByStockPairMultiStockMessagesAndFileTheRestUnder9999999) {
    store({message("m1", "A", "2024-05-01", "09:00:00", "600000.2,000001.1", "浦发银行,平安银行"),
           message("m2", "A", "2024-05-02", "09:00:00", "000001.1", "平安银行"),
           message("m3", "A", "2024-05-03", "09:00:00"),
           message("m4", "A", "2024-05-04", "09:00:00", "000001.1", "平安"),  // same code, other name
           message("m5", "A", "2024-05-05", "09:00:00", "00700.3", "腾讯控股"),
           message("m6", "A", "2024-05-06", "09:00:00", " , ", "")});
    dao()->markMessageIsRead("m2", true);

    auto stocks = dao()->listSortordWithType(2);
    ASSERT_TRUE(stocks);
    std::vector<std::string> keys;
    for (auto& g : *stocks) {
        auto s = std::dynamic_pointer_cast<QZSortordByStock>(g);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->type(), 2);
        EXPECT_EQ(s->amount(), static_cast<int>(s->messageIds().size()));
        keys.push_back(s->stockCode() + "/" + s->stockName());
    }
    // Ascending by the code's integer value: 1, 1, 700, 600000, 9999999.
    EXPECT_EQ(keys, (std::vector<std::string>{"000001.1/平安", "000001.1/平安银行", "00700.3/腾讯控股",
                                              "600000.2/浦发银行", "9999999/9999999"}));
    auto pingan = group<QZSortordByStock>(*stocks, 1);
    EXPECT_EQ(pingan->messageIds(), (std::vector<std::string>{"m2", "m1"}));
    EXPECT_EQ(dao()->countOfUnreadMessageWithMessageIds(pingan->messageIds()), 1);
    EXPECT_EQ(group<QZSortordByStock>(*stocks, 3)->messageIds(), (std::vector<std::string>{"m1"}));
    EXPECT_EQ(group<QZSortordByStock>(*stocks, 4)->messageIds(), (std::vector<std::string>{"m6", "m3"}));

    EXPECT_EQ(idsOf(dao()->listMessageExpressWithKey("000001.1", 2)), (std::vector<std::string>{"m4", "m2", "m1"}));
    EXPECT_EQ(idsOf(dao()->listMessageExpressWithKey("9999999", 2)), (std::vector<std::string>{"m6", "m3"}));

    // Only favourites: the no-stock key alone.
    dao()->markMessageIsFavorite("m3", true);
    auto fav = dao()->listFavoriteSortordWithType(2);
    ASSERT_TRUE(fav);
    ASSERT_EQ(fav->size(), 1u);
    EXPECT_EQ(group<QZSortordByStock>(*fav, 0)->stockCode(), "9999999");
}

TEST_F(MessageExpressDaoTest, StockGroupsSortByTheCodesNumberWhereItsTextSortsOtherwise) {
    // As texts "000858" < "00700" < "01810" < "300750" < "9999999" < "99"; as
    // numbers 99 < 700 < 858 < 1810 < 300750 < 9999999.
    store({message("a", "A", "2024-05-01", "09:00:00", "000858.1", "五粮液"),
           message("b", "A", "2024-05-02", "09:00:00", "01810.3,00700.3", "小米集团,腾讯控股"),
           message("c", "A", "2024-05-03", "09:00:00"),
           message("d", "A", "2024-05-04", "09:00:00", "300750.1", "宁德时代"),
           message("e", "A", "2024-05-05", "09:00:00", "99.3", "九九")});
    auto stocks = dao()->listSortordWithType(2);
    ASSERT_TRUE(stocks);
    std::vector<std::string> codes;
    for (auto& g : *stocks) codes.push_back(std::dynamic_pointer_cast<QZSortordByStock>(g)->stockCode());
    EXPECT_EQ(codes, (std::vector<std::string>{"99.3", "00700.3", "000858.1", "01810.3", "300750.1", "9999999"}));
}

TEST_F(MessageExpressDaoTest, ListsByKeyAndByIds) {
    store({message("a1", "A", "2024-05-01", "09:00:00"), message("a2", "A", "2024-05-03", "08:00:00"),
           message("b1", "B", "2024-05-03", "09:30:00"), message("a3", "A", "2024-05-03", "08:00:00")});
    dao()->markMessageIsFavorite("a2", true);

    EXPECT_EQ(idsOf(dao()->listMessageExpressWithKey("A", 0)), (std::vector<std::string>{"a3", "a2", "a1"}));
    EXPECT_EQ(idsOf(dao()->listFavoriteMessageExpressWithKey("A", 0)), (std::vector<std::string>{"a2"}));
    EXPECT_EQ(idsOf(dao()->listMessageExpressWithKey("2024-05-03", 1)), (std::vector<std::string>{"b1", "a3", "a2"}));
    auto none = dao()->listMessageExpressWithKey("Z", 0);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    EXPECT_FALSE(dao()->listMessageExpressWithKey("A", 3));

    EXPECT_EQ(idsOf(dao()->listMessageExpressWithMessageIds({"a1", "b1", "zz", "a1"})),
              (std::vector<std::string>{"b1", "a1"}));
    EXPECT_EQ(idsOf(dao()->listFavoriteMessageExpressWithMessageIds({"a1", "a2"})), (std::vector<std::string>{"a2"}));
    EXPECT_FALSE(dao()->listMessageExpressWithMessageIds({}));
    EXPECT_EQ(idsOf(dao()->listRecentMessagesWithLimit(2)), (std::vector<std::string>{"b1", "a3"}));

    // More ids than one statement takes.
    std::vector<std::string> many;
    for (int i = 0; i < 450; ++i) many.push_back("x" + std::to_string(i));
    many.push_back("a1");
    EXPECT_EQ(idsOf(dao()->listMessageExpressWithMessageIds(many)), (std::vector<std::string>{"a1"}));
    EXPECT_EQ(dao()->countOfUnreadMessageWithMessageIds(many), 1);
}

TEST_F(MessageExpressDaoTest, MarksCountsAndDeletions) {
    store({message("a1", "A", "2024-05-01", "09:00:00"), message("a2", "A", "2024-05-02", "09:00:00"),
           message("b1", "B", "2024-05-01", "10:00:00"), message("b2", "B", "2024-05-02", "10:00:00")});
    EXPECT_EQ(dao()->countOfUnreadMessage(), 4);
    EXPECT_TRUE(dao()->markMessageIsRead("a1", true));
    EXPECT_FALSE(dao()->markMessageIsRead("", true));
    EXPECT_EQ(dao()->countOfUnreadMessage(), 3);
    EXPECT_EQ(dao()->countOfUnreadMessageWithMessageIds({"a1", "a2"}), 1);
    EXPECT_EQ(dao()->countOfUnreadMessageWithMessageIds({}), 0);
    EXPECT_TRUE(dao()->markMessageIsRead("a1", false));
    EXPECT_EQ(dao()->countOfUnreadMessage(), 4);

    EXPECT_TRUE(dao()->markMessageIsFavorite("a2", true));
    EXPECT_TRUE(dao()->markMessageIsFavorite("b2", true));
    EXPECT_EQ(dao()->amountOfFavoriteMessage(), 2);

    // Favourite deletions take only favourites; the plain ones take all.
    EXPECT_TRUE(dao()->deleteFavoriteMessageWithSenderCode("A"));
    EXPECT_EQ(allIds(), (std::vector<std::string>{"b2", "b1", "a1"}));
    EXPECT_TRUE(dao()->deleteFavoriteMessageWithSendDate("2024-05-01"));
    EXPECT_EQ(allIds().size(), 3u);
    EXPECT_TRUE(dao()->deleteMessageWithSendDate("2024-05-01"));
    EXPECT_EQ(allIds(), (std::vector<std::string>{"b2"}));
    EXPECT_TRUE(dao()->deleteMessageWithSenderCode("B"));
    EXPECT_TRUE(allIds().empty());

    store({message("c1", "C", "2024-05-01", "09:00:00"), message("c2", "C", "2024-05-01", "09:00:01")});
    EXPECT_FALSE(dao()->deleteMessageWithMessageId("nope"));
    EXPECT_TRUE(dao()->deleteMessageWithMessageId("c1"));
    EXPECT_FALSE(dao()->deleteMessageWithMessageId("c1"));
    store({message("c1", "C", "2024-05-01", "09:00:00"), message("c3", "C", "2024-05-01", "09:00:03")});
    EXPECT_FALSE(dao()->deleteMessageWithMessageIdArray({}));
    EXPECT_FALSE(dao()->deleteMessageWithMessageIdArray({"c1", "missing"}));  // c1 still goes
    EXPECT_EQ(allIds(), (std::vector<std::string>{"c3", "c2"}));
    EXPECT_TRUE(dao()->deleteMessageWithMessageIdArray({"c2", "c3"}));
    EXPECT_TRUE(allIds().empty());
}

TEST_F(MessageExpressDaoTest, TrimmingDeletesTheOldestNonFavouritesAndKeepsFavourites) {
    MessageExpressDaoImpl::MessageList batch;
    for (int day = 1; day <= 9; ++day)
        batch.push_back(message("m" + std::to_string(day), "A", "2024-05-0" + std::to_string(day), "12:00:00"));
    // Same date: the time decides.
    batch.push_back(message("early", "A", "2024-05-09", "08:00:00"));
    ASSERT_EQ(dao()->addMessageExpressItems(batch), 10);
    dao()->markMessageIsFavorite("m1", true);
    dao()->markMessageIsFavorite("m2", true);

    EXPECT_TRUE(dao()->trimNonFavoriteMessagesToAmount(3));
    EXPECT_EQ(allIds(), (std::vector<std::string>{"m9", "early", "m8", "m2", "m1"}));
    EXPECT_TRUE(dao()->trimNonFavoriteMessagesToAmount(5));  // below the limit: nothing goes
    EXPECT_EQ(allIds().size(), 5u);
    EXPECT_FALSE(dao()->trimNonFavoriteMessagesToAmount(-1));
    EXPECT_EQ(allIds().size(), 5u);
    EXPECT_TRUE(dao()->trimNonFavoriteMessagesToAmount(0));
    EXPECT_EQ(allIds(), (std::vector<std::string>{"m2", "m1"}));
}

TEST_F(MessageExpressDaoTest, BatchStoresInOneTransactionAndCanTrim) {
    store({message("old1", "A", "2024-04-01", "09:00:00"), message("old2", "A", "2024-04-02", "09:00:00")});
    MessageExpressDaoImpl::MessageList batch = {
        message("n1", "B", "2024-05-01", "09:00:00"), message("old1", "A", "2024-04-01", "09:00:00"),
        message("", "B", "2024-05-01", "09:00:00"), nullptr, message("n2", "B", "2024-05-02", "09:00:00")};
    EXPECT_EQ(dao()->addMessageExpressItems(batch, 3), 2);
    EXPECT_EQ(allIds(), (std::vector<std::string>{"n2", "n1", "old2"}));
    EXPECT_EQ(dao()->addMessageExpressItems({}), 0);
}

TEST_F(MessageExpressDaoTest, FailedStatementInsideABatchLeavesTheTableUnchanged) {
    store({message("keep1", "A", "2024-04-01", "09:00:00"), message("keep2", "A", "2024-04-02", "09:00:00")});
    ASSERT_TRUE(
        rawDatabase().exec("CREATE TRIGGER fail BEFORE INSERT ON t_messageExpress WHEN NEW.messageId = 'bad' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    MessageExpressDaoImpl::MessageList batch = {message("n1", "B", "2024-05-01", "09:00:00"),
                                                message("bad", "B", "2024-05-01", "09:00:01"),
                                                message("n2", "B", "2024-05-02", "09:00:00")};
    EXPECT_FALSE(dao()->addMessageExpressItems(batch, 1));
    EXPECT_EQ(allIds(), (std::vector<std::string>{"keep2", "keep1"}));

    // A failing deletion inside the trimming or a multi-id deletion undoes it all.
    ASSERT_TRUE(
        rawDatabase().exec("CREATE TRIGGER nodelete BEFORE DELETE ON t_messageExpress WHEN OLD.messageId = "
                           "'keep1' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    store({message("n3", "B", "2024-05-03", "09:00:00")});
    EXPECT_FALSE(dao()->trimNonFavoriteMessagesToAmount(1));
    EXPECT_EQ(allIds().size(), 3u);
    EXPECT_FALSE(dao()->deleteMessageWithMessageIdArray({"n3", "keep1"}));
    EXPECT_EQ(allIds(), (std::vector<std::string>{"n3", "keep2", "keep1"}));
}
