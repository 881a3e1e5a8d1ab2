#include "UITestSupport.h"

#include "ui/QZRefreshTableView.h"

namespace {
// A list screen as the deal list wires it: the scroll callbacks go to the
// header while the offset is negative, else to the footer.
struct ListOwner : QZRefreshTableDelegate, UIScrollViewDelegate {
    std::shared_ptr<UIScrollView> list;
    std::shared_ptr<QZRefreshTableView> header, footer;
    bool headerLoading = false, footerLoading = false;
    int headerTriggers = 0, footerTriggers = 0;
    bool answerLoading = true;

    bool qzRefreshTableHeaderDataSourceIsLoading(QZRefreshTableView&) override {
        return answerLoading && headerLoading;
    }
    void qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView&) override {
        ++headerTriggers;
        headerLoading = true;
    }
    bool qzRefreshTableFooterDataSourceIsLoading(QZRefreshTableView&) override {
        return answerLoading && footerLoading;
    }
    void qzRefreshTableFooterDidTriggerRefresh(QZRefreshTableView&) override {
        ++footerTriggers;
        footerLoading = true;
    }
    Value myRefreshLastUpdatedPosition(QZRefreshTableView&) override {
        Value::Dict range{{"location", Value(int64_t(20))}, {"length", Value(int64_t(20))}};
        return Value(Value::Dict{{"TotalCount", Value(int64_t(45))}, {"Range", Value(range)}});
    }
    QZRefreshTableView& target() { return list->contentOffset().y < 0 ? *header : *footer; }
    void scrollViewDidScroll(UIScrollView& sv) override { target().qzRefreshScrollViewDidScroll(sv); }
    void scrollViewDidEndDragging(UIScrollView& sv, bool) override { target().qzRefreshScrollViewDidEndDragging(sv); }
    void finished() {
        headerLoading = footerLoading = false;
        header->qzRefreshScrollViewDataSourceDidFinishedLoading(*list);
        footer->qzRefreshScrollViewDataSourceDidFinishedLoading(*list);
    }
};
}  // namespace

class RefreshTableTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        o.list = std::make_shared<UIScrollView>(CGRectMake(0, 20, 320, 400));
        o.list->setContentSize(CGSizeMake(320, 600));
        o.list->setAlwaysBounceVertical(true);
        o.list->setBackgroundColor(UIColor::whiteColor());
        o.list->setDelegate(&o);
        window->addSubview(o.list);
        o.header = std::make_shared<QZRefreshTableView>(CGRectMake(0, -400, 320, 400), true);
        o.footer = std::make_shared<QZRefreshTableView>(CGRectMake(0, 600, 320, 400), false);
        o.header->setDelegate(&o);
        o.footer->setDelegate(&o);
        o.list->addSubview(o.header);
        o.list->addSubview(o.footer);
    }
    void TearDown() override {
        o.list->setDelegate(nullptr);
        WidgetTest::TearDown();
    }
    // A finger drags the list by dy points (positive pulls down) and lifts.
    void pull(double dy) {
        run(0.5);
        app().dragFrom(CGPointMake(160, 200), CGPointMake(160, 200 + dy), 0.8, 20);
        run(0.05);
    }
    ListOwner o;
};

TEST_F(RefreshTableTest, PullDownBeyondTheThresholdTriggersOnceUntilLoaded) {
    pull(60);  // the rubber band halves the pull: not far enough
    run(2);
    EXPECT_EQ(o.headerTriggers, 0);
    pull(220);
    EXPECT_EQ(o.headerTriggers, 1);
    EXPECT_EQ(o.header->state(), QZPullRefreshState::Loading);
    EXPECT_EQ(o.header->statusText(), "加载中...");
    EXPECT_EQ(o.footerTriggers, 0);
    saveScreenshot(*o.list, "refresh-loading");
    run(2);
    pull(220);  // pulling again while the data loads
    run(2);
    EXPECT_EQ(o.headerTriggers, 1) << "exactly once per load";
    o.finished();
    EXPECT_EQ(o.header->state(), QZPullRefreshState::Normal);
    run(2);
    pull(220);
    EXPECT_EQ(o.headerTriggers, 2);
}

TEST_F(RefreshTableTest, TriggersOnceEvenWhenTheDelegateDoesNotReportLoading) {
    o.answerLoading = false;
    pull(220);
    run(2);
    pull(220);
    EXPECT_EQ(o.headerTriggers, 1);
}

TEST_F(RefreshTableTest, PullUpPastTheEndTriggersTheFooter) {
    o.list->setContentOffset(CGPointMake(0, 200));  // the end of the list
    pull(-220);
    EXPECT_EQ(o.footerTriggers, 1);
    EXPECT_EQ(o.headerTriggers, 0);
    o.footer->refreshLastUpdatedPosition();
    EXPECT_EQ(o.footer->positionText(), "第21-40条 共45条");
}

TEST_F(RefreshTableTest, ReleasingShortOfTheThresholdOnlyResetsTheText) {
    o.list->setContentOffset(CGPointMake(0, -100));
    o.header->qzRefreshScrollViewDidEndDragging(*o.list);
    EXPECT_EQ(o.headerTriggers, 1) << "100 points is past the threshold";
    o.finished();
    o.list->setContentOffset(CGPointMake(0, -40));
    o.header->qzRefreshScrollViewDidEndDragging(*o.list);
    EXPECT_EQ(o.headerTriggers, 1);
    EXPECT_EQ(o.header->state(), QZPullRefreshState::Normal);
}
