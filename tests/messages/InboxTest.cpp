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
    saveScreenshot("by-sender");

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
