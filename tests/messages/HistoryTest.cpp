// The history search: the date range, the server's list of the pushed
// messages, a history message starred into the store, and the answers that
// send the customer back.
#include "tests/messages/MessagesTestSupport.h"

#include "messages/MEHistoryDateSelectViewController.h"
#include "messages/MEHistoryViewController.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIDatePicker.h"
#include "ui/SVProgressHUD.h"

namespace {

std::vector<std::string> titles(const MEHistoryViewController& list) {
    std::vector<std::string> out;
    for (const auto& m : list.tableData()) out.push_back(m->messageTitle());
    return out;
}

}  // namespace

class HistoryTest : public MessagesClientTest {
protected:
    MEHistoryDateSelectViewController* dates() const { return dynamic_cast<MEHistoryDateSelectViewController*>(top()); }
    MEHistoryViewController* history() const { return dynamic_cast<MEHistoryViewController*>(top()); }
    // From the inbox: "历史".
    MEHistoryDateSelectViewController* openDates() {
        if (!openInbox()) return nullptr;
        if (!host.tapText("历史")) return nullptr;
        run(1);
        return dates();
    }
    // The picker turned to that day for the selected row.
    void pickDay(MEHistoryDateSelectViewController& d, int y, int m, int day) {
        d.datePicker()->setDate(*localDate(y, m, day, 12));
        d.datePicker()->sendActionsForControlEvents(UIControlEventValueChanged);
    }
    MEHistoryViewController* query() {
        if (!host.tapText("查询")) return nullptr;
        run(1);
        return history();
    }
};

TEST_F(HistoryTest, TheWeeksMessagesComeFromTheServerAndAStarredOneIsStored) {
    auto* d = openDates();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->title(), "历史");
    // The last seven days, the start row selected.
    EXPECT_TRUE(host.isTextVisible("2024-02-27"));
    EXPECT_TRUE(host.isTextVisible("2024-03-05"));
    EXPECT_EQ(d->tableView()->indexPathForSelectedRow(), (NSIndexPath{0, 0}));
    saveScreenshot("dates");
    sim->holdReply(3780, 6);
    ASSERT_TRUE(host.tapText("查询"));
    auto* list = history();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->title(), "历史信息");
    EXPECT_TRUE(SVProgressHUD::isVisible());
    EXPECT_EQ(SVProgressHUD::status(), "查询历史信息中...");
    saveScreenshot("querying");
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return !list->tableData().empty(); }));
    EXPECT_FALSE(SVProgressHUD::isVisible());
    auto asked = sim->requestsOf(3780, 6);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(fieldOf(asked[0], "bgn_date"), "20240227");
    EXPECT_EQ(fieldOf(asked[0], "end_date"), "20240305");
    EXPECT_EQ(fieldOf(asked[0], "count"), "30");
    // Newest first, the two confirmed long ago among them; nothing is stored.
    EXPECT_EQ(titles(*list), (std::vector<std::string>{"系统维护通知", "平安银行、招商银行发布业绩快报", "早盘提示",
                                                       "晨会纪要", "周末要闻回顾", "新股申购提示", "上周市场回顾"}));
    EXPECT_EQ(storedCount(), 5u);
    EXPECT_TRUE(host.isTextVisible("[今天 星期二 13:00]"));
    saveScreenshot("history");

    // A history detail: no trash; its star stores it, read and favourite.
    list->tableView()->scrollToRowAtIndexPath({0, 5}, UITableViewScrollPosition::Middle, false);
    run(0.2);
    ASSERT_TRUE(host.tapText("新股申购提示"));
    run(1);
    auto* dt = detail();
    ASSERT_TRUE(dt);
    EXPECT_TRUE(dt->isHistoryDetail());
    EXPECT_FALSE(dt->navigationItem()->rightBarButtonItem());
    ASSERT_TRUE(tapView(dt->favoriteBtn()));
    auto stored = storedWithTitle("新股申购提示");
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->isFavorite());
    EXPECT_TRUE(stored->isRead());
    saveScreenshot("history-detail");
    popViewControllers(1);
    run(1);
    ASSERT_EQ(history(), list);
    EXPECT_TRUE(list->tableData()[5]->isFavorite());
    // Opened again, the star shows.
    ASSERT_TRUE(host.tapText("新股申购提示"));
    run(1);
    ASSERT_TRUE(detail());
    EXPECT_EQ(detail()->favoriteBtn()->currentBackgroundImage(), UIImage::imageNamed("star_enable.png"));

    // In the inbox and in its favourites now.
    popViewControllers(3);
    run(1);
    auto* box = inbox();
    ASSERT_TRUE(box);
    EXPECT_EQ(storedCount(), 6u);
    ASSERT_TRUE(tapView(box->localFlipIndicator()));
    run(1);
    EXPECT_EQ(headerLabels(*box), std::vector<std::string>{"公告快递"});
}

TEST_F(HistoryTest, TheRangeIsCheckedAndOneDayIsAllowed) {
    auto* d = openDates();
    ASSERT_TRUE(d);
    pickDay(*d, 2024, 3, 6);  // the start after the end
    EXPECT_TRUE(host.isTextVisible("2024-03-06"));
    EXPECT_FALSE(query());
    ASSERT_TRUE(UIAlertView::topAlert());
    EXPECT_EQ(UIAlertView::topAlert()->title(), "起止日期无效");
    EXPECT_EQ(UIAlertView::topAlert()->message(), "起始日期不能晚于结束日期");
    saveScreenshot("invalid-range");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    // The end row takes the picker.
    ASSERT_TRUE(host.tapText("结束日期"));
    run(0.5);
    pickDay(*d, 2024, 3, 6);
    auto* list = query();
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return sim->requestsOf(3780, 6).size() == 1; }));
    EXPECT_EQ(fieldOf(sim->requestsOf(3780, 6)[0], "bgn_date"), "20240306");
    EXPECT_EQ(fieldOf(sim->requestsOf(3780, 6)[0], "end_date"), "20240306");
    // Nothing that day: said, and back to the dates 2 seconds later.
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }, 5));
    EXPECT_EQ(SVProgressHUD::status(), "没有查询到历史信息");
    saveScreenshot("nothing");
    EXPECT_TRUE(list->isPopPending());
    EXPECT_EQ(history(), list);
    run(2.1);
    EXPECT_EQ(dates(), d);
}

TEST_F(HistoryTest, AnErrorSendsTheCustomerBackButNeverPopsAnotherScreen) {
    auto* d = openDates();
    ASSERT_TRUE(d);
    sim->forceErrorSet(-2, "历史信息查询暂停", 3780, 6);
    ASSERT_TRUE(query());
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }, 5));
    EXPECT_EQ(SVProgressHUD::status(), "历史信息查询暂停");
    // The customer goes back before the 2 seconds are over: the dates stay.
    popViewControllers(1);
    run(3);
    EXPECT_EQ(dates(), d);
    EXPECT_FALSE(SVProgressHUD::isVisible());

    // A failure of the line: its description, and back to the dates too.
    sim->forceFault(SimFault::Refuse, 3780, 6);
    ASSERT_TRUE(query());  // a second after the tap: the answer came
    EXPECT_TRUE(SVProgressHUD::isVisible());
    EXPECT_EQ(SVProgressHUD::status(), "服务器返回数据异常");
    EXPECT_EQ(SVProgressHUD::mark(), SVProgressHUDMark::Error);
    saveScreenshot("line-failed");
    run(1.5);
    EXPECT_EQ(dates(), d);
    EXPECT_FALSE(SVProgressHUD::isVisible());

    // A reply that is no record sets: said, and the empty list stays.
    sim->answerNext({3780, 6}, {0x01, 0x02, 0x03});
    auto* list = query();
    ASSERT_TRUE(list);
    ASSERT_TRUE(waitFor([&] { return SVProgressHUD::mark() == SVProgressHUDMark::Error; }, 5));
    EXPECT_EQ(SVProgressHUD::status(), "数据解析错误");
    run(3);
    EXPECT_EQ(history(), list);
    EXPECT_TRUE(list->tableData().empty());
}

// The server dates its messages on the exchanges' calendar (Shanghai). A
// phone behind it or ahead of it labels them and asks for their days on that
// calendar: its "今天" is the server's today, the day the history range ends.
class HistoryInAnotherZoneTest : public HistoryTest {
protected:
    // From the inbox by date to the history of the default range: the group
    // labels, the range shown and asked, and the row of the newest message.
    void checkServersDays(const std::vector<std::string>& groups, const std::string& newestRow) {
        auto* box = openInbox();
        ASSERT_TRUE(box);
        ASSERT_TRUE(tapSegment(*box, 1));
        run(0.5);
        EXPECT_EQ(headerLabels(*box), groups);
        saveScreenshot("inbox-by-date");
        ASSERT_TRUE(host.tapText("历史"));
        run(1);
        ASSERT_TRUE(dates());
        EXPECT_TRUE(host.isTextVisible("2024-02-27"));
        EXPECT_TRUE(host.isTextVisible("2024-03-05"));
        auto* list = query();
        ASSERT_TRUE(list);
        ASSERT_TRUE(waitFor([&] { return !list->tableData().empty(); }));
        EXPECT_EQ(fieldOf(sim->requestsOf(3780, 6)[0], "bgn_date"), "20240227");
        EXPECT_EQ(fieldOf(sim->requestsOf(3780, 6)[0], "end_date"), "20240305");
        EXPECT_EQ(titles(*list).front(), "系统维护通知");
        EXPECT_TRUE(host.isTextVisible(newestRow)) << newestRow;
        saveScreenshot("history");
    }
};

// Behind: 21:30 of 2024-03-04 in New York is 10:30 of the 5th in Shanghai.
class HistoryBehindChinaTest : public HistoryInAnotherZoneTest {
protected:
    double startTime() const override { return kLaunchMorning; }
};

TEST_F(HistoryBehindChinaTest, TheInboxAndTheHistoryGoByTheServersDays) {
    checkServersDays({"今天 星期二", "昨天 星期一", "2024-03-03 星期日"}, "[今天 星期二 10:00]");
}

// Ahead: 01:00 of 2024-03-06 in Auckland is 20:00 of the 5th in Shanghai.
class HistoryAheadOfChinaTest : public HistoryInAnotherZoneTest {
protected:
    double startTime() const override { return kLaunchMorning + 9.5 * 3600; }
    ScopedTimeZone phone{"Pacific/Auckland"};
};

TEST_F(HistoryAheadOfChinaTest, TheInboxAndTheHistoryGoByTheServersDays) {
    checkServersDays({"今天 星期二", "昨天 星期一"}, "[今天 星期二 19:30]");
}
