#include "UIKitTestSupport.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"

#include <cmath>

namespace {
class Recorder : public UIView {
public:
    using UIView::UIView;
    std::vector<std::string> log;
    std::vector<int> taps;
    std::vector<CGPoint> locations;
    void touchesBegan(const UITouchSet& t, UIEvent*) override {
        log.push_back("began" + std::to_string(t.count()));
        taps.push_back(t.anyObject()->tapCount());
        locations.push_back(t.anyObject()->locationInView(this));
    }
    void touchesMoved(const UITouchSet& t, UIEvent* e) override {
        log.push_back("moved" + std::to_string(e->allTouches().count()));
    }
    void touchesEnded(const UITouchSet&, UIEvent*) override { log.push_back("ended"); }
    void touchesCancelled(const UITouchSet&, UIEvent*) override { log.push_back("cancelled"); }
};
}  // namespace

TEST_F(UIKitTest, HierarchyKeepsOrderTagsAndSuperview) {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, 100, 100));
    auto a = std::make_shared<UIView>(CGRectMake(0, 0, 10, 10));
    auto b = std::make_shared<UIView>(CGRectMake(0, 0, 10, 10));
    auto c = std::make_shared<UIView>(CGRectMake(0, 0, 10, 10));
    root->addSubview(a);
    root->addSubview(b);
    root->insertSubview(c, 0);
    ASSERT_EQ(root->subviews().size(), 3u);
    EXPECT_EQ(root->subviews()[0], c);
    root->bringSubviewToFront(c.get());
    EXPECT_EQ(root->subviews().back(), c);
    root->sendSubviewToBack(b.get());
    EXPECT_EQ(root->subviews().front(), b);
    b->setTag(7);
    auto deep = std::make_shared<UIView>();
    deep->setTag(9);
    a->addSubview(deep);
    EXPECT_EQ(root->viewWithTag(9), deep);
    EXPECT_EQ(root->viewWithTag(7), b);
    EXPECT_EQ(root->viewWithTag(42), nullptr);
    EXPECT_EQ(deep->superview(), a.get());
    // Moving a view to another parent takes it out of the first.
    b->addSubview(deep);
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_EQ(deep->superview(), b.get());
    // A view cannot become its own ancestor's child.
    deep->addSubview(root);
    EXPECT_EQ(root->superview(), nullptr);
    a->removeFromSuperview();
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_EQ(root->subviews().size(), 2u);
    // Destroying a parent clears its children's superview.
    {
        auto parent = std::make_shared<UIView>();
        parent->addSubview(a);
    }
    EXPECT_EQ(a->superview(), nullptr);
}

TEST_F(UIKitTest, GeometryWithBoundsOriginAndTransform) {
    auto parent = std::make_shared<UIView>(CGRectMake(10, 20, 200, 200));
    window->addSubview(parent);
    auto child = std::make_shared<UIView>(CGRectMake(50, 50, 40, 20));
    parent->addSubview(child);
    EXPECT_EQ(child->center(), CGPointMake(70, 60));
    CGPoint p = child->convertPointToView(CGPointMake(0, 0), nullptr);
    EXPECT_EQ(p, CGPointMake(60, 70));
    EXPECT_EQ(child->convertPointFromView(CGPointMake(60, 70), nullptr), CGPointMake(0, 0));
    // Scrolling the parent (bounds origin) moves the child on screen.
    parent->setBounds(CGRectMake(0, 30, 200, 200));
    EXPECT_EQ(child->convertPointToView(CGPointMake(0, 0), nullptr), CGPointMake(60, 40));
    // A scale about the centre keeps the centre and grows the frame.
    child->setTransform(CGAffineTransformMakeScale(2, 2));
    CGRect f = child->frame();
    EXPECT_DOUBLE_EQ(f.size.width, 80);
    EXPECT_DOUBLE_EQ(f.origin.x, 30);
    CGPoint corner = child->convertPointToView(CGPointMake(0, 0), parent.get());
    EXPECT_DOUBLE_EQ(corner.x, 30);
    EXPECT_DOUBLE_EQ(corner.y, 40);
    CGRect r = child->convertRectToView(child->bounds(), parent.get());
    EXPECT_DOUBLE_EQ(r.size.height, 40);
}

TEST_F(UIKitTest, TapsReachTheFrontmostVisibleInteractiveView) {
    auto back = std::make_shared<Recorder>(CGRectMake(0, 100, 320, 200));
    auto front = std::make_shared<Recorder>(CGRectMake(0, 100, 160, 200));
    window->addSubview(back);
    window->addSubview(front);
    app().tapAt(CGPointMake(50, 150));
    EXPECT_EQ(front->log, (std::vector<std::string>{"began1", "ended"}));
    EXPECT_TRUE(back->log.empty());
    EXPECT_EQ(front->locations.at(0), CGPointMake(50, 50));

    front->log.clear();
    front->setHidden(true);
    app().tapAt(CGPointMake(50, 150));
    EXPECT_TRUE(front->log.empty());
    EXPECT_EQ(back->log.size(), 2u);

    back->log.clear();
    front->setHidden(false);
    front->setUserInteractionEnabled(false);
    app().tapAt(CGPointMake(50, 150));
    EXPECT_EQ(back->log.size(), 2u);

    // A child sticking out of its parent cannot be touched outside the parent.
    auto box = std::make_shared<UIView>(CGRectMake(0, 320, 100, 50));
    auto outside = std::make_shared<Recorder>(CGRectMake(0, 60, 100, 50));
    box->addSubview(outside);
    window->addSubview(box);
    app().tapAt(CGPointMake(50, 390));
    EXPECT_TRUE(outside->log.empty());
}

TEST_F(UIKitTest, TapCountsGrowForQuickTapsAtOnePlace) {
    auto v = std::make_shared<Recorder>(CGRectMake(0, 0, 320, 480));
    window->addSubview(v);
    app().tapAt(CGPointMake(100, 100));
    run(0.1);
    app().tapAt(CGPointMake(104, 102));
    run(1.0);
    app().tapAt(CGPointMake(100, 100));
    run(0.1);
    app().tapAt(CGPointMake(200, 300));
    EXPECT_EQ(v->taps, (std::vector<int>{1, 2, 1, 1}));
}

TEST_F(UIKitTest, TwoFingersReachAMultiTouchView) {
    auto v = std::make_shared<Recorder>(CGRectMake(0, 0, 320, 480));
    v->setMultipleTouchEnabled(true);
    window->addSubview(v);
    app().pinch(CGPointMake(100, 200), CGPointMake(200, 200), CGPointMake(50, 200), CGPointMake(250, 200), 0.2, 2);
    ASSERT_FALSE(v->log.empty());
    EXPECT_EQ(v->log.front(), "began2");
    EXPECT_EQ(v->log[1], "moved2");
    EXPECT_EQ(v->log.back(), "ended");
}

TEST_F(UIKitTest, ButtonActionsFollowTheFinger) {
    auto button = UIButton::buttonWithType(UIButtonType::RoundedRect);
    button->setFrame(CGRectMake(20, 100, 120, 40));
    button->setTitle("确定");
    window->addSubview(button);
    int inside = 0, outside = 0, down = 0;
    int owner1 = 0, owner2 = 0;
    button->addTarget(
        &owner1, [&](UIControl&) { ++inside; }, UIControlEventTouchUpInside);
    button->addTarget(
        &owner2, [&](UIControl&) { ++outside; }, UIControlEventTouchUpOutside);
    button->addTarget(
        &owner2, [&](UIControl&) { ++down; }, UIControlEventTouchDown);
    tap(*button);
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(down, 1);
    // Dragged far away before lifting: up outside.
    app().dragFrom(CGPointMake(80, 120), CGPointMake(300, 400), 0.2, 4);
    EXPECT_EQ(inside, 1);
    EXPECT_EQ(outside, 1);
    // Removing one owner's targets leaves the other's.
    button->removeTarget(&owner2);
    tap(*button);
    EXPECT_EQ(inside, 2);
    EXPECT_EQ(down, 2);
    // A disabled button takes no action, and the touch goes to what is behind.
    button->setEnabled(false);
    tap(*button);
    EXPECT_EQ(inside, 2);
    EXPECT_EQ(button->currentTitle(), "确定");
}

TEST_F(UIKitTest, ButtonStatesFallBackToNormal) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle("买入");
    button->setTitle("卖出", UIControlStateSelected);
    button->setTitleColor(UIColor::redColor(), UIControlStateHighlighted);
    EXPECT_EQ(button->titleForState(UIControlStateHighlighted), "买入");
    EXPECT_EQ(button->titleForState(UIControlStateSelected | UIControlStateHighlighted), "卖出");
    button->setSelected(true);
    EXPECT_EQ(button->currentTitle(), "卖出");
    EXPECT_EQ(*button->titleColorForState(UIControlStateHighlighted), *UIColor::redColor());
    EXPECT_EQ(*button->titleColorForState(UIControlStateDisabled), *UIColor::whiteColor());
}

TEST_F(UIKitTest, RenderDrawsBackgroundsClipsAndAlpha) {
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, 100, 100));
    root->setBackgroundColor(UIColor::whiteColor());
    auto clip = std::make_shared<UIView>(CGRectMake(10, 10, 40, 40));
    clip->setClipsToBounds(true);
    root->addSubview(clip);
    auto redView = std::make_shared<UIView>(CGRectMake(0, 0, 80, 80));
    redView->setBackgroundColor(UIColor::redColor());
    clip->addSubview(redView);
    auto half = std::make_shared<UIView>(CGRectMake(60, 60, 30, 30));
    half->setBackgroundColor(UIColor::blueColor());
    half->setAlpha(0.5);
    root->addSubview(half);
    auto hidden = std::make_shared<UIView>(CGRectMake(60, 0, 30, 30));
    hidden->setBackgroundColor(UIColor::blackColor());
    hidden->setHidden(true);
    root->addSubview(hidden);
    auto img = root->renderToImage(2);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->pixelWidth(), 200);
    EXPECT_EQ(red(pixel(*img, 20, 20)), 255);
    EXPECT_EQ(green(pixel(*img, 20, 20)), 0);
    EXPECT_EQ(pixel(*img, 55, 55), 0xffffffffu) << "clipped away";
    EXPECT_EQ(pixel(*img, 70, 10), 0xffffffffu) << "hidden";
    uint32_t p = pixel(*img, 75, 75);
    EXPECT_NEAR(blue(p), 255, 2);
    EXPECT_NEAR(red(p), 127, 3);
}

TEST_F(UIKitTest, TransformedAndScrolledViewsAreHitWhereTheyShow) {
    auto parent = std::make_shared<UIView>(CGRectMake(0, 100, 320, 200));
    parent->setBounds(CGRectMake(0, 50, 320, 200));  // content moved up by 50
    window->addSubview(parent);
    auto target = std::make_shared<Recorder>(CGRectMake(100, 100, 40, 40));  // shows at y 150..190
    parent->addSubview(target);
    app().tapAt(CGPointMake(120, 160));
    EXPECT_EQ(target->log.size(), 2u);
    EXPECT_EQ(target->locations.back(), CGPointMake(20, 10));
    // Scaled up twice about its centre it covers 80..160 horizontally.
    target->setTransform(CGAffineTransformMakeScale(2, 2));
    app().tapAt(CGPointMake(85, 135));
    EXPECT_EQ(target->log.size(), 4u);
    EXPECT_NEAR(target->locations.back().x, 2.5, 1e-9);
    EXPECT_NEAR(target->locations.back().y, 2.5, 1e-9);
}

TEST_F(UIKitTest, ADisabledButtonKeepsTouchesFromWhatIsBehind) {
    auto behind = UIButton::buttonWithType(UIButtonType::Custom);
    behind->setFrame(CGRectMake(0, 0, 320, 200));
    int behindTaps = 0;
    behind->addTarget(
        this, [&](UIControl&) { ++behindTaps; }, UIControlEventTouchUpInside);
    window->addSubview(behind);
    auto disabled = UIButton::buttonWithType(UIButtonType::RoundedRect);
    disabled->setFrame(CGRectMake(20, 20, 100, 40));
    disabled->setEnabled(false);
    window->addSubview(disabled);
    app().tapAt(CGPointMake(50, 40));
    EXPECT_EQ(behindTaps, 0);
    app().tapAt(CGPointMake(200, 150));
    EXPECT_EQ(behindTaps, 1);
}

TEST_F(UIKitTest, AButtonThatRemovesItselfFinishesItsTouch) {
    auto box = std::make_shared<UIView>(CGRectMake(0, 0, 320, 480));
    window->addSubview(box);
    std::weak_ptr<UIView> weakButton;
    int fired = 0;
    {
        auto b = UIButton::buttonWithType(UIButtonType::RoundedRect);
        b->setFrame(CGRectMake(10, 10, 100, 40));
        UIButton* raw = b.get();
        b->addTarget(
            this,
            [&, raw](UIControl&) {
                ++fired;
                raw->removeFromSuperview();
            },
            UIControlEventTouchUpInside);
        box->addSubview(b);
        weakButton = b;
    }
    app().tapAt(CGPointMake(50, 30));
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(weakButton.expired()) << "released once the touch is over";
    EXPECT_TRUE(box->subviews().empty());
}

TEST_F(UIKitTest, ADragThatStartsOnAButtonInAScrollViewScrolls) {
    auto sv = std::make_shared<UIScrollView>(CGRectMake(0, 0, 320, 480));
    sv->setContentSize(CGSizeMake(320, 2000));
    window->addSubview(sv);
    auto b = UIButton::buttonWithType(UIButtonType::RoundedRect);
    b->setFrame(CGRectMake(10, 200, 300, 44));
    std::vector<std::string> log;
    b->addTarget(
        this, [&](UIControl&) { log.push_back("down"); }, UIControlEventTouchDown);
    b->addTarget(
        this, [&](UIControl&) { log.push_back("up"); }, UIControlEventTouchUpInside);
    b->addTarget(
        this, [&](UIControl&) { log.push_back("cancel"); }, UIControlEventTouchCancel);
    sv->addSubview(b);
    app().dragFrom(CGPointMake(100, 220), CGPointMake(100, 120), 1.0, 10);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "cancel"}));
    EXPECT_NEAR(sv->contentOffset().y, 100, 1);
    EXPECT_FALSE(b->isHighlighted());
    // A horizontal pager inside keeps sideways drags; vertical ones go to the outer view.
    auto pager = std::make_shared<UIScrollView>(CGRectMake(0, 300, 320, 150));
    pager->setContentSize(CGSizeMake(960, 150));
    pager->setPagingEnabled(true);
    sv->addSubview(pager);
    CGPoint p = centerOnScreen(*pager);
    app().dragFrom(p, CGPointMake(p.x - 200, p.y), 1.0, 10);
    run(1);
    EXPECT_EQ(pager->contentOffset().x, 320);
    double before = sv->contentOffset().y;
    app().dragFrom(p, CGPointMake(p.x, p.y - 60), 1.0, 10);
    run(1);
    EXPECT_EQ(pager->contentOffset().x, 320);
    EXPECT_GE(sv->contentOffset().y, before + 59) << "moved with the finger, then coasted";
}

TEST_F(UIKitTest, ViewTreeDumpShowsClassesFramesAndTexts) {
    auto label = std::make_shared<UILabel>(CGRectMake(10, 20, 100, 30));
    label->setText("成交量");
    label->setTag(5);
    window->addSubview(label);
    std::string dump = window->describeTree();
    EXPECT_NE(dump.find("UIWindow (0 0; 320 480)"), std::string::npos);
    EXPECT_NE(dump.find("  UILabel (10 20; 100 30) tag=5 \"成交量\""), std::string::npos) << dump;
}
