// The message inbox driven by finger: groupings, opening and closing groups,
// favourites, deleting a message and a group, and messages pushed while it
// is open.
#include "tests/messages/MessagesTestSupport.h"

#include "messages/MESummarySectionHeader.h"
#include "messages/MESummaryTableViewCell.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"
#include "ui/CustomBadge.h"
#include "ui/SVSegmentedControl.h"

namespace {

// The headers' texts as shown: the label with the count, or the label and the badge.
std::vector<std::string> shownHeaders(const MessageExpressViewController& box) {
    std::vector<std::string> out;
    for (const auto& h : box.cacheOfHeaders())
        out.push_back(h->sortordLabel()->text() + (h->unreadBadge() ? " [" + h->unreadBadge()->badgeText() + "]" : ""));
    return out;
}

}  // namespace

class InboxTest : public MessagesClientTest {};

TEST_F(InboxTest, GroupsBySenderDateAndStockAndTheGroupingIsKept) {
    auto* box = openInbox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->title(), "信息快线-收件箱");
    EXPECT_TRUE(host.isTextVisible("信息快线-收件箱"));
    // By sender (never chosen before): the sender of the newest message first;
    // the first group opens by itself.
    EXPECT_EQ(box->currentSortType(), 0);
    EXPECT_EQ(shownHeaders(*box),
              (std::vector<std::string>{"系统通知 [1]", "公告快递 [1]", "资讯中心 [2]", "研究所 [1]"}));
    EXPECT_EQ(box->selectedHeaderIndex(), 0);
    EXPECT_EQ(rowTitles(*box), std::vector<std::string>{"系统维护通知"});
    EXPECT_TRUE(host.isTextVisible("[今天 星期二 13:00]"));
    EXPECT_FALSE(box->noRecordBgImageView()->isHidden() && box->cacheOfHeaders().empty());
    auto shot = saveScreenshot("by-sender");
    ASSERT_TRUE(shot);
    // Below the last group the list's light ground goes on down to the toolbar.
    const auto& last = *box->cacheOfHeaders().back();
    double below = CGRectGetMaxY(last.convertRectToView(last.bounds(), nullptr)) + 20;
    ASSERT_LT(below, 480 - 44 - 10) << "room below the groups";
    for (double x : {20.0, 160.0, 300.0}) {
        uint32_t p = shot->pixelAt(int(x * 2), int(below * 2));
        EXPECT_GT(int(p & 0xff), 220) << std::hex << p;
        EXPECT_GT(int((p >> 8) & 0xff), 220) << std::hex << p;
    }

    // A tap on another header opens it and closes the first.
    ASSERT_TRUE(tapHeader(*box, "资讯中心"));
    run(0.5);
    EXPECT_EQ(box->selectedHeaderIndex(), 2);
    EXPECT_EQ(rowTitles(*box), (std::vector<std::string>{"早盘提示", "周末要闻回顾"}));
    EXPECT_TRUE(box->cacheOfHeaders()[2]->isIndicatorOpen());
    EXPECT_FALSE(box->cacheOfHeaders()[0]->isIndicatorOpen());
    EXPECT_TRUE(host.isTextVisible("[2024-03-03 星期日 23:00]"));
    saveScreenshot("sender-opened");
    // A tap on the open header closes it.
    ASSERT_TRUE(tapHeader(*box, "资讯中心"));
    run(0.5);
    EXPECT_EQ(box->selectedHeaderIndex(), -1);
    EXPECT_EQ(box->tableView()->numberOfRowsInSection(2), 0);

    // By date: a day and its weekday; the rows show only the time.
    ASSERT_TRUE(tapSegment(*box, 1));
    run(0.5);
    EXPECT_EQ(box->currentSortType(), 1);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("MESortType"), 1);
    EXPECT_EQ(headerLabels(*box), (std::vector<std::string>{"今天 星期二", "昨天 星期一", "2024-03-03 星期日"}));
    EXPECT_EQ(box->selectedHeaderIndex(), -1);  // a grouping change closes every group
    ASSERT_TRUE(tapHeader(*box, "今天 星期二"));
    run(0.5);
    EXPECT_EQ(rowTitles(*box),
              (std::vector<std::string>{"系统维护通知", "平安银行、招商银行发布业绩快报", "早盘提示"}));
    EXPECT_TRUE(host.isTextVisible("[ 12:35 ]"));
    saveScreenshot("by-date");

    // By stock: a message naming two stocks is in both groups; the messages
    // naming none are "其他", listed last.
    ASSERT_TRUE(tapSegment(*box, 2));
    run(0.5);
    EXPECT_EQ(headerLabels(*box),
              (std::vector<std::string>{"平安银行 (000001)", "招商银行 (600036)", "贵州茅台 (600519)", "其他"}));
    EXPECT_EQ(shownHeaders(*box)[1], "招商银行 (600036) [2]");
    ASSERT_TRUE(tapHeader(*box, "招商银行 (600036)"));
    run(0.5);
    EXPECT_EQ(rowTitles(*box), (std::vector<std::string>{"平安银行、招商银行发布业绩快报", "早盘提示"}));
    saveScreenshot("by-stock");

    // The grouping is the one the next opening starts with.
    popViewControllers(1);
    run(1);
    auto* again = openInbox();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->currentSortType(), 2);
    EXPECT_EQ(again->sortSegment()->selectedIndex(), 2);
}

TEST_F(InboxTest, ReadingAMessageClearsItsMarkAndTheHeadersCount) {
    auto* box = openInbox();
    ASSERT_TRUE(box);
    ASSERT_TRUE(tapHeader(*box, "资讯中心"));
    run(0.5);
    auto cell = std::dynamic_pointer_cast<MESummaryTableViewCell>(box->tableView()->cellForRowAtIndexPath({2, 0}));
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->unreadImageView()->image());
    ASSERT_TRUE(host.tapText("早盘提示"));
    run(1);
    ASSERT_TRUE(detail());
    EXPECT_EQ(detail()->messageExpress()->messageTitle(), "早盘提示");
    EXPECT_TRUE(storedWithTitle("早盘提示")->isRead());
    popViewControllers(1);
    run(1);
    ASSERT_EQ(inbox(), box);
    // Coming back the group is still open; one of its two is read now.
    EXPECT_EQ(box->selectedHeaderIndex(), 2);
    EXPECT_EQ(shownHeaders(*box)[2], "资讯中心 [1]");
    cell = std::dynamic_pointer_cast<MESummaryTableViewCell>(box->tableView()->cellForRowAtIndexPath({2, 0}));
    ASSERT_TRUE(cell);
    EXPECT_FALSE(cell->unreadImageView()->image());
    // With nothing unread the header shows its count.
    ASSERT_TRUE(host.tapText("周末要闻回顾"));
    run(1);
    popViewControllers(1);
    run(1);
    EXPECT_EQ(shownHeaders(*box)[2], "资讯中心 (2)");
}

TEST_F(InboxTest, AMessagePushedWhileTheInboxIsOpenShowsAtOnceWithTheChosenSignal) {
    auto* box = openInbox();
    ASSERT_TRUE(box);
    ASSERT_EQ(NSUserDefaults::standardUserDefaults().integerForKey("MessageExpressNotifyType"), 3);
    SimMessage m;
    m.senderCode = "2001";
    m.senderName = "公告快递";
    m.title = "新股上市提示";
    m.content = "明日有两只新股上市交易。";
    m.stockCode = "601318.2";
    m.stockName = "中国平安";
    sim->pushMessage(m);
    ASSERT_TRUE(waitFor([&] { return storedCount() == 6; }));
    run(0.5);
    // Sound and vibration, as the notification settings say.
    EXPECT_EQ(SystemSoundLog::shared().soundCount(1007), 1u);
    EXPECT_EQ(SystemSoundLog::shared().vibrationCount(), 1u);
    // The open group stays open; the sender's group now leads with two unread.
    EXPECT_EQ(headerLabels(*box), (std::vector<std::string>{"公告快递", "系统通知", "资讯中心", "研究所"}));
    EXPECT_EQ(box->cacheOfHeaders()[0]->unreadBadge()->badgeText(), "2");
    EXPECT_EQ(box->selectedHeaderIndex(), 1);
    EXPECT_EQ(rowTitles(*box), std::vector<std::string>{"系统维护通知"});
    // Confirmed to the server: it is not sent again.
    EXPECT_FALSE(sim->messages().back().delivered == false);
    saveScreenshot("pushed");

    // With both signals off, the next one arrives silently.
    NSUserDefaults::standardUserDefaults().setInteger(0, "MessageExpressNotifyType");
    SystemSoundLog::shared().clear();
    m.title = "收盘提示";
    sim->pushMessage(m);
    ASSERT_TRUE(waitFor([&] { return storedCount() == 7; }));
    EXPECT_TRUE(SystemSoundLog::shared().entries().empty());
}

TEST_F(InboxTest, FavouritesFlipAndDeletingTheirGroupRemovesThemEverywhere) {
    auto* box = openInbox();
    ASSERT_TRUE(box);
    // Nothing starred yet: the favourites are empty.
    ASSERT_TRUE(tapView(box->localFlipIndicator()));
    run(1);
    EXPECT_FALSE(box->inboxViewIsVisible());
    EXPECT_EQ(box->title(), "信息快线-收藏夹");
    EXPECT_TRUE(box->cacheOfHeaders().empty());
    EXPECT_FALSE(box->noRecordBgImageView()->isHidden());
    saveScreenshot("no-favourites");
    ASSERT_TRUE(tapView(box->localFlipIndicator()));
    run(1);
    EXPECT_TRUE(box->inboxViewIsVisible());
    EXPECT_EQ(box->selectedHeaderIndex(), -1);  // back with all groups closed

    // Two messages of 资讯中心 starred in their detail.
    for (const char* title : {"早盘提示", "周末要闻回顾"}) {
        if (!box->tableView()->numberOfRowsInSection(2)) {
            ASSERT_TRUE(tapHeader(*box, "资讯中心"));
        }
        run(0.5);
        ASSERT_TRUE(host.tapText(title));
        run(1);
        ASSERT_TRUE(detail());
        ASSERT_TRUE(tapView(detail()->favoriteBtn()));
        EXPECT_TRUE(detail()->messageExpress()->isFavorite());
        popViewControllers(1);
        run(1);
    }
    EXPECT_EQ(store()->amountOfFavoriteMessage(), 2);
    ASSERT_TRUE(tapView(box->localFlipIndicator()));
    run(1);
    EXPECT_EQ(headerLabels(*box), std::vector<std::string>{"资讯中心"});
    EXPECT_TRUE(rowTitles(*box).empty());
    ASSERT_TRUE(tapHeader(*box, "资讯中心"));
    run(0.5);
    EXPECT_EQ(rowTitles(*box), (std::vector<std::string>{"早盘提示", "周末要闻回顾"}));
    saveScreenshot("favourites");

    // In favourites mode the group's deletion says nothing of favourites and
    // takes them out of the store altogether.
    ASSERT_TRUE(host.tapText("管理"));
    run(0.5);
    EXPECT_TRUE(box->tableView()->isEditing());
    EXPECT_FALSE(box->localFlipIndicator()->isEnabled());
    ASSERT_TRUE(box->cacheOfHeaders()[0]->deleteButton());
    ASSERT_TRUE(tapView(box->cacheOfHeaders()[0]->deleteButton()));
    run(0.5);
    ASSERT_TRUE(box->deleteSheet());
    EXPECT_EQ(box->deleteSheet()->title(), "这将删除分组'资讯中心'内所有信息.");
    saveScreenshot("delete-favourites-group");
    ASSERT_TRUE(host.pressAlertButton("删除分组"));
    run(0.5);
    EXPECT_TRUE(box->cacheOfHeaders().empty());
    EXPECT_EQ(storedCount(), 3u);
    EXPECT_FALSE(storedWithTitle("早盘提示"));
    ASSERT_TRUE(host.tapText("完成"));
    run(0.5);
    EXPECT_FALSE(box->tableView()->isEditing());
    EXPECT_TRUE(box->localFlipIndicator()->isEnabled());
}

TEST_F(InboxTest, AGroupIsDeletedAsChosenEvenWhenANewBatchArrivesBeforeTheConfirmation) {
    auto* box = openInbox();
    ASSERT_TRUE(box);
    // A favourite in the group: the confirmation says so.
    auto morning = storedWithTitle("早盘提示");
    ASSERT_TRUE(store()->markMessageIsFavorite(morning->messageId(), true));
    ASSERT_TRUE(host.tapText("管理"));
    run(0.5);
    EXPECT_EQ(box->cacheOfHeaders().size(), 4u);
    for (const auto& h : box->cacheOfHeaders()) EXPECT_TRUE(h->deleteButton());
    ASSERT_TRUE(tapView(box->cacheOfHeaders()[2]->deleteButton()));
    run(0.5);
    ASSERT_TRUE(box->deleteSheet());
    EXPECT_EQ(box->deleteSheet()->title(), "分组'资讯中心'包含收藏信息,您确定删除该分组内所有信息?");
    saveScreenshot("delete-group-with-favourite");
    ASSERT_TRUE(host.pressAlertButton("取消"));
    run(0.5);
    EXPECT_EQ(storedCount(), 5u);

    // 系统通知 chosen; while the sheet is up a new sender's message arrives
    // and takes the first place.
    ASSERT_TRUE(tapView(box->cacheOfHeaders()[0]->deleteButton()));
    run(0.5);
    EXPECT_EQ(box->deleteSheet()->title(), "这将删除分组'系统通知'内所有信息.");
    SimMessage m;
    m.senderCode = "5001";
    m.senderName = "营业部";
    m.title = "营业部通知";
    m.content = "营业部本周六照常办理业务。";
    sim->pushMessage(m);
    ASSERT_TRUE(waitFor([&] { return storedCount() == 6; }));
    run(0.5);
    EXPECT_EQ(headerLabels(*box).front(), "营业部");
    ASSERT_TRUE(host.pressAlertButton("删除分组"));
    run(0.5);
    EXPECT_FALSE(storedWithTitle("系统维护通知"));
    EXPECT_TRUE(storedWithTitle("营业部通知"));
    EXPECT_EQ(headerLabels(*box), (std::vector<std::string>{"营业部", "公告快递", "资讯中心", "研究所"}));
    EXPECT_EQ(box->selectedHeaderIndex(), -1);
    // Leaving management mode takes the delete buttons away.
    ASSERT_TRUE(host.tapText("完成"));
    run(0.5);
    for (const auto& h : box->cacheOfHeaders()) EXPECT_FALSE(h->deleteButton());
}

TEST_F(InboxTest, ASwipeDeletesOneMessageAndItsGroupStaysOpen) {
    auto* box = openInbox();
    ASSERT_TRUE(box);
    ASSERT_TRUE(tapHeader(*box, "资讯中心"));
    run(0.5);
    ASSERT_EQ(rowTitles(*box).size(), 2u);
    CGRect row = box->tableView()->convertRectToView(box->tableView()->rectForRowAtIndexPath({2, 1}), nullptr);
    host.drag(280, CGRectGetMidY(row), 80, CGRectGetMidY(row));
    run(0.5);
    saveScreenshot("swiped");
    ASSERT_TRUE(host.tapText("删除"));
    run(0.5);
    EXPECT_FALSE(storedWithTitle("周末要闻回顾"));
    EXPECT_EQ(rowTitles(*box), std::vector<std::string>{"早盘提示"});
    EXPECT_EQ(box->selectedHeaderIndex(), 2);
    EXPECT_EQ(box->cacheOfHeaders()[2]->amount(), 1);
    EXPECT_TRUE(box->cacheOfHeaders()[2]->isIndicatorOpen());

    // Deleting a sender's newest message may move its group: the same group stays open.
    ASSERT_TRUE(tapHeader(*box, "公告快递"));
    run(0.5);
    SimMessage older;
    older.senderCode = "2001";
    older.senderName = "公告快递";
    older.title = "旧公告";
    older.content = "上周的公告。";
    older.sendTime = startTime() - 5 * 86400;
    sim->pushMessage(older);
    ASSERT_TRUE(waitFor([&] { return storedCount() == 5; }));
    run(0.5);
    ASSERT_EQ(rowTitles(*box), (std::vector<std::string>{"平安银行、招商银行发布业绩快报", "旧公告"}));
    row = box->tableView()->convertRectToView(box->tableView()->rectForRowAtIndexPath({1, 0}), nullptr);
    host.drag(280, CGRectGetMidY(row), 80, CGRectGetMidY(row));
    run(0.5);
    ASSERT_TRUE(host.tapText("删除"));
    run(0.5);
    EXPECT_EQ(headerLabels(*box), (std::vector<std::string>{"系统通知", "资讯中心", "研究所", "公告快递"}));
    EXPECT_EQ(box->selectedHeaderIndex(), 3);
    EXPECT_EQ(rowTitles(*box), std::vector<std::string>{"旧公告"});

    // A failed deletion (the message is gone already) says so and keeps the row.
    store()->deleteMessageWithMessageId(box->messageExpressItems()[0]->messageId());
    row = box->tableView()->convertRectToView(box->tableView()->rectForRowAtIndexPath({3, 0}), nullptr);
    host.drag(280, CGRectGetMidY(row), 80, CGRectGetMidY(row));
    run(0.5);
    ASSERT_TRUE(host.tapText("删除"));
    run(0.5);
    auto alert = UIAlertView::topAlert();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "删除失败,请稍候再试");
}
