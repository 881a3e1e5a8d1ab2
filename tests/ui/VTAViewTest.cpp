#include "UITestSupport.h"

#include "ui/VTAView.h"

#include <sstream>

namespace {
struct SurfaceRecorder : VTAViewDelegate {
    std::vector<std::string> calls;
    static std::string pt(CGPoint p) {
        std::ostringstream s;
        s << p.x << "," << p.y;
        return s.str();
    }
    void viewDoAction(VTAView&, VTATouchAction a, CGPoint start) override {
        calls.push_back("action " + std::to_string(static_cast<int>(a)) + " at " + pt(start));
    }
    void viewDidClick(VTAView&, CGPoint p) override { calls.push_back("click " + pt(p)); }
    void viewDidDoubleClick(VTAView&, CGPoint p) override { calls.push_back("double " + pt(p)); }
    void viewDidSwipe(VTAView&, VTATouchAction a, CGPoint from, CGPoint to) override {
        calls.push_back("swipe " + std::to_string(static_cast<int>(a)) + " " + pt(from) + " " + pt(to));
    }
    void viewDidPinch(VTAView&, VTATouchAction a, double scale) override {
        std::ostringstream s;
        s << "pinch " << static_cast<int>(a) << " x" << scale;
        calls.push_back(s.str());
    }
};
using Calls = std::vector<std::string>;
}  // namespace

class VTAViewTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        surface = std::make_shared<VTAView>(CGRectMake(0, 40, 320, 400));
        surface->setDelegate(&rec);
        window->addSubview(surface);
        window->layoutIfNeeded();
    }
    // Screen point of a point in the surface.
    static CGPoint at(double x, double y) { return CGPointMake(x, y + 40); }
    void drag(double x1, double y1, double x2, double y2) {
        app().dragFrom(at(x1, y1), at(x2, y2), 0.3, 10);
        run(1);
    }
    void pinch(CGPoint a0, CGPoint b0, CGPoint a1, CGPoint b1) {
        app().pinch(at(a0.x, a0.y), at(b0.x, b0.y), at(a1.x, a1.y), at(b1.x, b1.y), 0.3, 10);
        run(1);
    }
    SurfaceRecorder rec;
    std::shared_ptr<VTAView> surface;
};

TEST_F(VTAViewTest, TapAndDoubleTapReportClicksAtTheStartPoint) {
    app().tapAt(at(100, 100));
    EXPECT_EQ(rec.calls, (Calls{"action 0 at 100,100", "click 100,100"}));
    run(0.1);
    app().tapAt(at(102, 101));
    EXPECT_EQ(rec.calls.back(), "double 102,101") << "the second tap of a double tap";
    run(1);
    rec.calls.clear();
    // A finger that wanders less than 20 points each way is still a tap.
    app().dragFrom(at(50, 50), at(65, 62), 0.2, 5);
    EXPECT_EQ(rec.calls, (Calls{"action 0 at 50,50", "click 50,50"}));
}

TEST_F(VTAViewTest, SwipesFollowTheLargerMovementAndItsDirection) {
    drag(200, 100, 60, 120);
    drag(60, 100, 200, 80);
    drag(100, 50, 110, 300);
    drag(100, 300, 90, 50);
    EXPECT_EQ(rec.calls,
              (Calls{"action 3 at 200,100", "swipe 3 200,100 60,120", "action 2 at 60,100", "swipe 2 60,100 200,80",
                     "action 4 at 100,50", "swipe 4 100,50 110,300", "action 5 at 100,300", "swipe 5 100,300 90,50"}));
    EXPECT_EQ(surface->lastAction(), VTATouchAction::SwipeUp);
}

TEST_F(VTAViewTest, TwoFingersPinchAndSpreadAlongTheAxisThatChangedMore) {
    pinch({60, 200}, {260, 200}, {110, 200}, {210, 200});   // horizontal 200 -> 100
    pinch({110, 200}, {210, 200}, {40, 205}, {280, 195});   // horizontal 100 -> 240
    pinch({160, 100}, {160, 300}, {160, 150}, {160, 250});  // vertical 200 -> 100
    pinch({160, 150}, {160, 250}, {150, 50}, {170, 350});   // vertical 100 -> 300
    std::vector<std::string> pinches;
    for (auto& c : rec.calls)
        if (c.rfind("pinch", 0) == 0) pinches.push_back(c);
    EXPECT_EQ(pinches, (Calls{"pinch 6 x0.5", "pinch 7 x2.4", "pinch 8 x0.5", "pinch 9 x3"}));
    rec.calls.clear();
    pinch({100, 200}, {200, 200}, {105, 205}, {195, 195});  // barely moved
    EXPECT_TRUE(rec.calls.empty()) << "two fingers that hardly move do nothing";
}

TEST_F(VTAViewTest, ACancelledSequenceReportsNothing) {
    app().touchesBeganAt({at(10, 10)});
    app().touchesMovedTo({at(200, 10)});
    app().touchesCancelledAll();
    EXPECT_TRUE(rec.calls.empty());
    run(1);
    app().tapAt(at(30, 30));
    EXPECT_EQ(rec.calls.back(), "click 30,30") << "a cancelled sequence leaves nothing behind";
}

TEST(VTATouchClassifier, ThresholdsAndTies) {
    VTATouchSequence s;
    EXPECT_EQ(classifyTouchSequence(s), VTATouchAction::None);
    s.fingers = 1;
    s.start[0] = CGPointMake(0, 0);
    s.end[0] = CGPointMake(19.9, -19.9);
    EXPECT_EQ(classifyTouchSequence(s), VTATouchAction::Click);
    s.tapCount = 2;
    EXPECT_EQ(classifyTouchSequence(s), VTATouchAction::DoubleClick);
    s.end[0] = CGPointMake(-20, 20);
    EXPECT_EQ(classifyTouchSequence(s), VTATouchAction::SwipeLeft) << "a tie counts as horizontal";
}
