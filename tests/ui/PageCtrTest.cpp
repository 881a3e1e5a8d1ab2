#include "UITestSupport.h"

#include "ui/VTAPageCtr.h"

namespace {
struct PageRecorder : VTAPageCtrDelegate {
    std::vector<int> pages;
    void pageActionFromPageCtr(VTAPageCtr& p) override { pages.push_back(p.curPage()); }
};
}  // namespace

class PageCtrTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        host = std::make_shared<UIView>(CGRectMake(0, 20, 320, 416));
        window->addSubview(host);
        bar = std::make_shared<VTAPageCtr>(CGRectMake(0, 0, 320, 44));
        bar->setDelegate(&rec);
        bar->showFromBottomInView(host.get());
        run(0.3);
    }
    std::shared_ptr<UIView> host;
    std::shared_ptr<VTAPageCtr> bar;
    PageRecorder rec;
};

TEST_F(PageCtrTest, ShowsAlongTheBottomOfTheView) {
    EXPECT_EQ(bar->superview(), host.get());
    EXPECT_EQ(bar->frame(), CGRectMake(0, 372, 320, 44));
}

TEST_F(PageCtrTest, FirstPageHasOnlyANextButton) {
    bar->setStatusIsEnd(false, true, 1);
    EXPECT_EQ(bar->pageLabel()->text(), "第1页");
    EXPECT_TRUE(bar->previousButton()->isHidden());
    EXPECT_FALSE(bar->nextButton()->isHidden());
    EXPECT_EQ(bar->totalPage(), 2);
    tap(*bar->previousButton());  // hidden: nothing under the finger reacts
    EXPECT_TRUE(rec.pages.empty());
    tap(*bar->nextButton());
    EXPECT_EQ(rec.pages, (std::vector<int>{2}));
    EXPECT_EQ(bar->curPage(), 2);
}

TEST_F(PageCtrTest, LastPageHasOnlyAPreviousButtonAndNextDoesNothing) {
    bar->setStatusIsEnd(true, false, 3);
    EXPECT_EQ(bar->pageLabel()->text(), "第3页");
    EXPECT_FALSE(bar->previousButton()->isHidden());
    EXPECT_TRUE(bar->nextButton()->isHidden());
    bar->nextPage();  // even when called directly the last page stays
    EXPECT_TRUE(rec.pages.empty());
    EXPECT_EQ(bar->curPage(), 3);
    tap(*bar->previousButton());
    EXPECT_EQ(rec.pages, (std::vector<int>{2}));
    saveScreenshot(*bar, "pagectr");
}

TEST_F(PageCtrTest, SinglePageListHasNoButtons) {
    bar->setStatusIsEnd(true, true, 1);
    EXPECT_TRUE(bar->previousButton()->isHidden());
    EXPECT_TRUE(bar->nextButton()->isHidden());
    bar->previousPage();
    EXPECT_EQ(bar->curPage(), 1);
    EXPECT_TRUE(rec.pages.empty());
}

TEST_F(PageCtrTest, CurpageOfTotalClampsAndPagesWithinIt) {
    bar->setStatusWithCurpage(9, 4);
    EXPECT_EQ(bar->curPage(), 4);
    EXPECT_TRUE(bar->nextButton()->isHidden());
    bar->setStatusWithCurpage(1, 4);
    tap(*bar->nextButton());
    tap(*bar->nextButton());
    EXPECT_EQ(rec.pages, (std::vector<int>{2, 3}));
}

TEST_F(PageCtrTest, HideSlidesOutThenRemoves) {
    bar->hideWithAnimation(true);
    EXPECT_EQ(bar->superview(), host.get());
    run(0.3);
    EXPECT_EQ(bar->superview(), nullptr);
}

TEST_F(PageCtrTest, ShownAgainDuringItsSlideOutTheBarStays) {
    bar->hideWithAnimation(true);
    run(0.1);
    bar->showFromBottomInView(host.get());
    run(0.5);
    EXPECT_EQ(bar->superview(), host.get()) << "the old slide out must not remove the bar shown again";
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(bar->frame()), 416);
    bar->hideWithAnimation(false);
    EXPECT_EQ(bar->superview(), nullptr);
}
