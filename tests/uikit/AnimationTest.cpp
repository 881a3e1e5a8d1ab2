#include "UIKitTestSupport.h"

#include "platform/uikit/UIView.h"

TEST_F(UIKitTest, BeginCommitAppliesAtOnceAndCallsDidStopAfterTheDuration) {
    auto v = std::make_shared<UIView>(CGRectMake(0, 480, 320, 216));
    window->addSubview(v);
    std::vector<std::string> log;
    int token = 7;
    UIView::beginAnimations("slideUp", &token);
    UIView::setAnimationDuration(0.35);
    UIView::setAnimationCurve(UIViewAnimationCurve::EaseOut);
    UIView::setAnimationDidStopSelector([&](const std::string& id, bool finished, void* ctx) {
        log.push_back(id + (finished ? " finished" : "") + (ctx == &token ? " ctx" : ""));
    });
    v->setFrame(CGRectMake(0, 264, 320, 216));
    UIView::commitAnimations();
    EXPECT_EQ(v->frame().origin.y, 264) << "final state at once";
    EXPECT_EQ(UIView::pendingAnimationCount(), 1);
    run(0.3);
    EXPECT_TRUE(log.empty());
    run(0.1);
    EXPECT_EQ(log, std::vector<std::string>{"slideUp finished ctx"});
    EXPECT_EQ(UIView::pendingAnimationCount(), 0);
}

TEST_F(UIKitTest, AnAnimationThatChangesNothingStillStops) {
    bool stopped = false;
    UIView::beginAnimations("same");
    UIView::setAnimationDuration(0.35);
    UIView::setAnimationDidStopSelector([&](const std::string&, bool, void*) { stopped = true; });
    UIView::commitAnimations();
    run(0.4);
    EXPECT_TRUE(stopped);
}

TEST_F(UIKitTest, BlockAnimationsAndTransitionsCompleteInOrder) {
    std::vector<std::string> log;
    auto a = std::make_shared<UIView>(CGRectMake(0, 0, 100, 100));
    auto b = std::make_shared<UIView>(CGRectMake(0, 0, 100, 100));
    window->addSubview(a);
    UIView::animateWithDuration(
        0.2, [&] { a->setAlpha(0); }, [&](bool) { log.push_back("fade"); });
    UIView::transitionFromView(a.get(), b, 1.0, UIViewAnimationOptionTransitionCurlUp,
                               [&](bool) { log.push_back("curl"); });
    EXPECT_EQ(b->superview(), window.get());
    EXPECT_EQ(a->superview(), nullptr);
    EXPECT_EQ(window->lastTransition(), UIViewAnimationTransition::CurlUp);
    UIView::beginAnimations("flip");
    UIView::setAnimationDuration(0.55);
    UIView::setAnimationTransition(UIViewAnimationTransition::FlipFromLeft, b.get(), true);
    UIView::setAnimationDidStopSelector([&](const std::string& id, bool, void*) { log.push_back(id); });
    UIView::commitAnimations();
    EXPECT_EQ(b->lastTransition(), UIViewAnimationTransition::FlipFromLeft);
    run(2);
    EXPECT_EQ(log, (std::vector<std::string>{"fade", "flip", "curl"}));
}

TEST_F(UIKitTest, DelayedAnimationStartsAfterItsDelay) {
    std::vector<std::string> log;
    UIView::beginAnimations("later");
    UIView::setAnimationDelay(0.5);
    UIView::setAnimationDuration(0.25);
    UIView::setAnimationWillStartSelector([&](const std::string&, void*) { log.push_back("start"); });
    UIView::setAnimationDidStopSelector([&](const std::string&, bool, void*) { log.push_back("stop"); });
    UIView::commitAnimations();
    run(0.4);
    EXPECT_TRUE(log.empty());
    run(0.2);
    EXPECT_EQ(log, std::vector<std::string>{"start"});
    run(0.2);
    EXPECT_EQ(log, (std::vector<std::string>{"start", "stop"}));
}

TEST_F(UIKitTest, LayerTransitionStopsAfterItsDuration) {
    auto panel = std::make_shared<UIView>(CGRectMake(0, 0, 320, 100));
    bool stopped = false;
    CATransition t;
    t.type = CATransitionType::Push;
    t.subtype = CATransitionSubtype::FromTop;
    t.duration = 0.45;
    t.timingFunction = CAMediaTimingFunction::EaseInEaseOut;
    t.didStop = [&](bool finished) { stopped = finished; };
    panel->addAnimation(t, "panel");
    ASSERT_NE(panel->lastLayerTransition(), nullptr);
    EXPECT_EQ(panel->lastLayerTransition()->subtype, CATransitionSubtype::FromTop);
    EXPECT_EQ(panel->lastLayerTransitionKey(), "panel");
    run(0.4);
    EXPECT_FALSE(stopped);
    run(0.1);
    EXPECT_TRUE(stopped);
}
