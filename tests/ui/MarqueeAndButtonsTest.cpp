#include "UITestSupport.h"

#include "platform/uikit/UIBarButtonItem.h"
#include "ui/UIGlossyButton.h"
#include "ui/VTAAnimation.h"
#include "ui/VTAButtonFactory.h"
#include "ui/VTAMarqueeView.h"
#include "ui/VTAPopupTextView.h"

using MarqueeTest = WidgetTest;

TEST_F(MarqueeTest, ScrollsInVirtualTimeAndStopsWhenRemoved) {
    auto m = std::make_shared<VTAMarqueeView>(CGRectMake(0, 100, 120, 20));
    m->setText("上证指数 3012.34 +0.52% 深证成指 9876.54 -0.12% 创业板指 1890.12 +1.01%");
    m->setSpeed(40);
    EXPECT_FALSE(m->isScrolling()) << "not on a window yet";
    window->addSubview(m);
    ASSERT_TRUE(m->isScrolling());
    run(1.0);
    EXPECT_NEAR(m->offset(), 40, 2.5);
    saveScreenshot(*m, "marquee");
    run(0.5);
    EXPECT_NEAR(m->offset(), 60, 2.5);
    m->removeFromSuperview();
    EXPECT_FALSE(m->isScrolling());
    double at = m->offset();
    run(2);
    EXPECT_DOUBLE_EQ(m->offset(), at) << "no timer moves a removed marquee";
    window->addSubview(m);
    run(0.5);
    EXPECT_NEAR(m->offset(), at + 20, 2.5) << "resumes where it stood";
    // The offset wraps after the text and the gap.
    double cycle = m->textWidth() + 40;
    run(cycle / 40);
    EXPECT_LT(m->offset(), cycle);
}

TEST_F(MarqueeTest, ShortTextStandsStillAndADestroyedMarqueeLeavesNoTimerBehind) {
    auto m = std::make_shared<VTAMarqueeView>(CGRectMake(0, 100, 300, 20));
    m->setText("公告");
    window->addSubview(m);
    EXPECT_FALSE(m->isScrolling());
    m->setText(std::string(40, 'X'));
    EXPECT_TRUE(m->isScrolling());
    m->setFrame(CGRectMake(0, 100, 2000, 20));
    EXPECT_FALSE(m->isScrolling()) << "wide enough now";
    EXPECT_DOUBLE_EQ(m->offset(), 0);
    m->setFrame(CGRectMake(0, 100, 50, 20));
    ASSERT_TRUE(m->isScrolling());
    std::weak_ptr<VTAMarqueeView> weak = m;
    m->removeFromSuperview();
    m.reset();
    EXPECT_TRUE(weak.expired());
    run(1);  // must not touch the dead view
}

TEST_F(MarqueeTest, ButtonFactoryButtonsActOnATap) {
    std::vector<std::string> hits;
    auto r = VTAButtonFactory::roundedButton("查询", CGRectMake(10, 40, 100, 36),
                                             [&](UIButton& b) { hits.push_back(b.currentTitle()); });
    auto img = VTAButtonFactory::imageButton("QuotesArrow.png", CGRectMake(10, 90, 140, 44),
                                             [&](UIButton&) { hits.push_back("arrow"); });
    auto check = VTAButtonFactory::checkButton(CGRectMake(10, 150, 40, 40), false,
                                               [&](UIButton& b) { hits.push_back(b.isSelected() ? "on" : "off"); });
    auto glossy = VTAButtonFactory::glossyButton("买入", UIColor::redColor(), CGRectMake(10, 200, 96, 40),
                                                 [&](UIButton&) { hits.push_back("glossy"); });
    for (auto b : {r, img, check, std::static_pointer_cast<UIButton>(glossy)}) window->addSubview(b);
    tap(*r);
    run(0.5);
    tap(*img);
    run(0.5);
    tap(*check);
    run(0.5);
    tap(*check);
    run(0.5);
    tap(*glossy);
    EXPECT_EQ(hits, (std::vector<std::string>{"查询", "arrow", "on", "off", "glossy"}));
    EXPECT_NE(img->currentBackgroundImage(), nullptr) << "bundle image found";
    EXPECT_NE(check->imageForState(UIControlStateSelected), check->imageForState(UIControlStateNormal));
    bool fired = false;
    auto item = VTAButtonFactory::toolbarItem("刷新", [&] { fired = true; });
    EXPECT_EQ(item->title(), "刷新");
}

TEST_F(MarqueeTest, PopupTextViewClosesByButtonOrOutsideTap) {
    int closed = 0;
    auto p = std::make_shared<VTAPopupTextView>("免责声明", "本软件所提供的行情与资讯仅供参考，不构成投资建议。");
    p->onClose = [&] { ++closed; };
    p->showInView();
    window->layoutIfNeeded();
    EXPECT_TRUE(p->isShown());
    EXPECT_LT(p->panel()->frame().size.height, 200) << "short text, short panel";
    saveScreenshot("popup-text");
    tap(*p->closeButton());
    EXPECT_EQ(closed, 0) << "after the fade";
    run(0.3);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(p->superview(), nullptr);
    p->showInView();
    window->layoutIfNeeded();
    app().tapAt(CGPointMake(160, 5));  // the mask above the panel
    run(0.3);
    EXPECT_EQ(closed, 2);
    // A long text keeps the panel within the screen; its text scrolls.
    auto longer = std::make_shared<VTAPopupTextView>("说明", std::string(3000, 'a'));
    longer->showInView(window.get());
    window->layoutIfNeeded();
    EXPECT_LE(longer->panel()->frame().size.height, 360);
    EXPECT_GT(longer->textView()->contentSize().height, longer->textView()->bounds().size.height);
    longer->close();
    run(0.3);
}

TEST(VTAAnimationTest, PushTransitionWithEaseInEaseOut) {
    auto t = VTAAnimation::getAnimationWithDirect("fromRight", 0.3);
    EXPECT_EQ(t.type, CATransitionType::Push);
    EXPECT_EQ(t.subtype, CATransitionSubtype::FromRight);
    EXPECT_EQ(t.timingFunction, CAMediaTimingFunction::EaseInEaseOut);
    EXPECT_DOUBLE_EQ(t.duration, 0.3);
    EXPECT_EQ(VTAAnimation::getAnimationWithDirect("sideways", 1).subtype, CATransitionSubtype::None);
    auto v = std::make_shared<UIView>();
    v->addAnimation(VTAAnimation::getAnimationWithDirect("fromTop", 0.25), "push");
    ASSERT_NE(v->lastLayerTransition(), nullptr);
    EXPECT_EQ(v->lastLayerTransition()->subtype, CATransitionSubtype::FromTop);
}
