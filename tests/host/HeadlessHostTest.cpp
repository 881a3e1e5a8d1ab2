#include "HostTestSupport.h"

#include "platform/foundation/NSTimer.h"
#include "platform/host/DesktopHost.h"
#include "platform/host/ScriptDriver.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextField.h"
#include "tests/support/TestSupport.h"

#include <cairo.h>

#include <filesystem>
#include <sstream>

namespace {
std::shared_ptr<UIButton> addButton(UIView& parent, const std::string& title, CGRect frame, int& taps) {
    auto b = UIButton::buttonWithType(UIButtonType::RoundedRect);
    b->setFrame(frame);
    b->setTitle(title);
    b->addTarget(
        &taps, [&taps](UIControl&) { ++taps; }, UIControlEventTouchUpInside);
    parent.addSubview(b);
    return b;
}

std::shared_ptr<UILabel> addLabel(UIView& parent, const std::string& text, CGRect frame) {
    auto l = std::make_shared<UILabel>(frame);
    l->setText(text);
    parent.addSubview(l);
    return l;
}

class RecordingAlertDelegate : public UIAlertViewDelegate {
public:
    void alertViewClickedButtonAtIndex(UIAlertView&, int index) override { clicked.push_back(index); }
    std::vector<int> clicked;
};

class LifeCycleDelegate : public UIApplicationDelegate {
public:
    void applicationDidEnterBackground(UIApplication&) override { events.push_back("background"); }
    void applicationWillEnterForeground(UIApplication&) override { events.push_back("foreground"); }
    void applicationWillTerminate(UIApplication&) override { events.push_back("terminate"); }
    std::vector<std::string> events;
};
}  // namespace

TEST_F(HostTest, TapReachesTheButtonUnderTheFingerOnly) {
    int buy = 0, sell = 0;
    addButton(*window, "买入", CGRectMake(20, 100, 120, 44), buy);
    addButton(*window, "卖出", CGRectMake(180, 100, 120, 44), sell);
    host.tap(80, 122);
    EXPECT_EQ(buy, 1);
    EXPECT_EQ(sell, 0);
    EXPECT_TRUE(host.tapText("卖出"));
    EXPECT_EQ(sell, 1);
    // A tap beside both buttons reaches neither.
    host.tap(160, 300);
    EXPECT_EQ(buy + sell, 2);
    EXPECT_FALSE(host.tapText("撤单"));
}

TEST_F(HostTest, HiddenAndClippedViewsAreNotVisible) {
    auto shown = addLabel(*window, "显示", CGRectMake(10, 40, 100, 20));
    auto hidden = addLabel(*window, "隐藏", CGRectMake(10, 70, 100, 20));
    hidden->setHidden(true);
    auto box = std::make_shared<UIView>(CGRectMake(0, 100, 100, 30));
    box->setClipsToBounds(true);
    window->addSubview(box);
    addLabel(*box, "裁掉", CGRectMake(0, 40, 100, 20));
    addLabel(*window, "屏外", CGRectMake(400, 40, 100, 20));
    EXPECT_TRUE(host.isTextVisible("显示"));
    EXPECT_FALSE(host.isTextVisible("隐藏"));
    EXPECT_FALSE(host.isTextVisible("裁掉"));
    EXPECT_FALSE(host.isTextVisible("屏外"));
    // Containing counts, and an exact match is preferred.
    addLabel(*window, "显示更多", CGRectMake(10, 200, 100, 20));
    EXPECT_EQ(host.findText("显示"), shown.get());
    EXPECT_TRUE(host.isTextVisible("更多"));
}

TEST_F(HostTest, TypingGoesIntoTheFieldBeingEditedFilteredByItsKeyboard) {
    auto field = std::make_shared<UITextField>(CGRectMake(20, 60, 200, 31));
    field->setBorderStyle(UITextBorderStyle::RoundedRect);
    field->setKeyboardType(UIKeyboardType::NumberPad);
    window->addSubview(field);
    EXPECT_FALSE(host.type("1"));  // nothing is being edited yet
    host.tap(100, 75);
    ASSERT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(host.type("60a00.36"));
    EXPECT_EQ(field->text(), "600036");
    EXPECT_TRUE(host.key("backspace"));
    EXPECT_EQ(field->text(), "60003");
    // A key of the on-screen number pad, tapped as a finger would.
    ASSERT_TRUE(UIKeyboard::isShown());
    EXPECT_TRUE(host.key("9"));
    EXPECT_EQ(field->text(), "600039");
    EXPECT_FALSE(host.key("no such key"));
    EXPECT_TRUE(host.isTextVisible("600039"));
}

TEST_F(HostTest, ScreenshotIsAPngOfTheScreenWithItsColours) {
    auto box = std::make_shared<UIView>(CGRectMake(100, 200, 50, 40));
    box->setBackgroundColor(UIColor::redColor());
    window->addSubview(box);
    TempDir dir;
    std::string path = dir.file("screen.png");
    ASSERT_TRUE(host.screenshot(path));
    ASSERT_GT(std::filesystem::file_size(path), 1000u);
    auto image = UIImage::imageWithContentsOfFile(path);
    ASSERT_TRUE(image);
    // The file is at 2x: 640 x 960 pixels.
    EXPECT_EQ(cairo_image_surface_get_width(image->surface()), 640);
    EXPECT_EQ(cairo_image_surface_get_height(image->surface()), 960);
    uint32_t inside = image->pixelAt(250, 440);
    EXPECT_EQ(red(inside), 255);
    EXPECT_EQ(green(inside), 0);
    uint32_t outside = image->pixelAt(20, 700);
    EXPECT_EQ(red(outside), 255);
    EXPECT_EQ(green(outside), 255);
    EXPECT_EQ(blue(outside), 255);

    std::string error;
    EXPECT_FALSE(host.screenshot(dir.file("missing/folder/x.png"), &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(HostTest, ViewTreeListsClassesFramesAndTexts) {
    auto panel = std::make_shared<UIView>(CGRectMake(0, 20, 320, 100));
    panel->setTag(7);
    window->addSubview(panel);
    addLabel(*panel, "上证指数", CGRectMake(10, 5, 120, 20));
    auto gone = addLabel(*panel, "不见", CGRectMake(10, 30, 120, 20));
    auto hiddenBox = std::make_shared<UIView>(CGRectMake(0, 0, 10, 10));
    hiddenBox->setHidden(true);
    addLabel(*hiddenBox, "内部", CGRectMake(0, 0, 10, 10));
    panel->addSubview(hiddenBox);
    gone->setHidden(true);
    std::string tree = host.viewTreeText();
    EXPECT_NE(tree.find("UIWindow (0 0; 320 480)"), std::string::npos) << tree;
    EXPECT_NE(tree.find("  UIView (0 20; 320 100) tag=7"), std::string::npos) << tree;
    EXPECT_NE(tree.find("    UILabel (10 5; 120 20) \"上证指数\""), std::string::npos) << tree;
    EXPECT_NE(tree.find("\"不见\""), std::string::npos);  // listed, marked hidden
    EXPECT_NE(tree.find("hidden \"不见\""), std::string::npos);
    EXPECT_EQ(tree.find("内部"), std::string::npos);  // inside a hidden view: not listed
    auto texts = host.visibleTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "上证指数"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "不见"), texts.end());
}

TEST_F(HostTest, WaitForRunsVirtualTimeUntilTheTextAppears) {
    auto label = addLabel(*window, "", CGRectMake(10, 40, 200, 20));
    auto timer = NSTimer::scheduledTimerWithTimeInterval(
        3, [label](NSTimer&) { label->setText("委托成功"); }, false);
    double start = Clock::now();
    EXPECT_FALSE(host.waitForText("委托成功", 1));
    EXPECT_TRUE(host.waitForText("委托成功", 5));
    EXPECT_NEAR(Clock::now() - start, 3, 0.01);
}

TEST_F(HostTest, ScriptDrivesTapsAlertsAndScreenshots) {
    int taps = 0;
    RecordingAlertDelegate alertDelegate;
    auto button = addButton(*window, "提交", CGRectMake(20, 100, 120, 44), taps);
    button->addTarget(
        &alertDelegate,
        [&](UIControl&) {
            auto alert = std::make_shared<UIAlertView>("提示", "确认提交委托?", &alertDelegate, std::string("取消"),
                                                       std::vector<std::string>{"确定"});
            alert->show();
        },
        UIControlEventTouchUpInside);
    TempDir dir;
    std::ostringstream out;
    ScriptDriver driver(host, out);
    driver.setBaseDirectory(dir.path());
    auto error = driver.runScript(
        "expect 提交\n"
        "tap 80 122\n"
        "waitfor 确认提交委托?\n"
        "screenshot alert.png\n"
        "alert 确定\n"
        "wait 1\n"
        "expectnot 确认提交委托?\n"
        "echo done\n"
        "tree\n");
    EXPECT_FALSE(error) << error->describe();
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(alertDelegate.clicked, (std::vector<int>{1}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("alert.png")));
    EXPECT_NE(out.str().find("done\n"), std::string::npos);
    EXPECT_NE(out.str().find("UIButton"), std::string::npos);
}

TEST_F(HostTest, ScriptStopsAtTheFirstFailureWithItsLine) {
    std::ostringstream out;
    ScriptDriver driver(host, out);
    addLabel(*window, "行情", CGRectMake(10, 40, 100, 20));
    auto error = driver.runScript("expect 行情\n# note\nexpect 交易\necho never\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 3);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(driver.runScript("alert 确定\n")->line, 1);
    EXPECT_EQ(driver.runScript("type abc\n")->line, 1);
    EXPECT_EQ(driver.runScript("\nwaitfor 永不 2\n")->line, 2);
    EXPECT_EQ(driver.runScript("tap 1 2\nbogus\n")->line, 2);  // parsed before anything runs
    EXPECT_TRUE(driver.runFile("/nonexistent/script.txt"));
}

TEST_F(HostTest, TheClockCommandHandsItsTextToTheMarketClock) {
    std::ostringstream out;
    ScriptDriver driver(host, out);
    EXPECT_NE(driver.runScript("clock +30m\n")->message.find("no market clock"), std::string::npos);
    std::vector<std::string> moves;
    driver.setMarketClock([&](const std::string& text) -> std::optional<std::string> {
        moves.push_back(text);
        if (text == "back") return "the market's clock does not go back";
        return std::nullopt;
    });
    EXPECT_FALSE(driver.runScript("clock +30m\nclock \"2026-12-07 10:00\"\n"));
    EXPECT_EQ(moves, (std::vector<std::string>{"+30m", "2026-12-07 10:00"}));
    auto error = driver.runScript("clock +1h\nclock back\necho never\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->describe(), "line 2: the market's clock does not go back");
    EXPECT_EQ(out.str(), "");
}

TEST_F(HostTest, BackgroundForegroundAndTerminateReachTheDelegate) {
    LifeCycleDelegate delegate;
    app().setDelegate(&delegate);
    std::ostringstream out;
    ScriptDriver driver(host, out);
    EXPECT_FALSE(driver.runScript("background\nforeground\n"));
    EXPECT_EQ(app().applicationState(), UIApplicationState::Active);
    host.terminate();
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"background", "foreground", "terminate"}));
    app().setDelegate(nullptr);
}

TEST_F(HostTest, DragAndPinchReachTheTouchedView) {
    class Recorder : public UIView {
    public:
        using UIView::UIView;
        void touchesBegan(const UITouchSet& t, UIEvent* e) override {
            maxFingers = std::max(maxFingers, int(e->allTouches().size()));
        }
        void touchesMoved(const UITouchSet& t, UIEvent*) override {
            ++moves;
            last = t.anyObject()->locationInView(this);
        }
        void touchesEnded(const UITouchSet&, UIEvent*) override { ++ends; }
        int moves = 0, ends = 0, maxFingers = 0;
        CGPoint last;
    };
    auto pad = std::make_shared<Recorder>(CGRectMake(0, 20, 320, 460));
    pad->setMultipleTouchEnabled(true);
    window->addSubview(pad);
    host.drag(10, 100, 110, 100, 5);
    EXPECT_EQ(pad->moves, 5);
    EXPECT_EQ(pad->ends, 1);
    EXPECT_NEAR(pad->last.x, 110, 0.01);
    EXPECT_NEAR(pad->last.y, 80, 0.01);  // in the view's coordinates
    host.pinch(160, 240, 40, 200);
    EXPECT_EQ(pad->maxFingers, 2);
}

// The fingers of a pinch, where they landed and where they lifted (screen points).
class PinchRecorder : public UIView {
public:
    using UIView::UIView;
    void touchesBegan(const UITouchSet&, UIEvent* e) override { first = where(e); }
    void touchesEnded(const UITouchSet&, UIEvent* e) override { last = where(e); }
    std::vector<CGPoint> where(UIEvent* e) const {
        std::vector<CGPoint> out;
        for (const auto& t : e->allTouches()) out.push_back(t->locationInView(nullptr));
        std::sort(out.begin(), out.end(), [](CGPoint a, CGPoint b) { return a.x + a.y < b.x + b.y; });
        return out;
    }
    std::vector<CGPoint> first, last;
};

TEST_F(HostTest, PinchesMoveTwoFingersApartAlongTheirAxis) {
    auto pad = std::make_shared<PinchRecorder>(CGRectMake(0, 20, 320, 460));
    pad->setMultipleTouchEnabled(true);
    window->addSubview(pad);
    auto expectFingers = [](const std::vector<CGPoint>& got, CGPoint a, CGPoint b) {
        ASSERT_EQ(got.size(), 2u);
        EXPECT_NEAR(got[0].x, a.x, 0.01);
        EXPECT_NEAR(got[0].y, a.y, 0.01);
        EXPECT_NEAR(got[1].x, b.x, 0.01);
        EXPECT_NEAR(got[1].y, b.y, 0.01);
    };

    host.pinch(160, 240, 40, 200);
    expectFingers(pad->first, CGPointMake(140, 240), CGPointMake(180, 240));
    expectFingers(pad->last, CGPointMake(60, 240), CGPointMake(260, 240));

    // A vertical spread: one finger above the centre, one below, moving apart.
    host.verticalPinch(100, 250, 40, 200);
    expectFingers(pad->first, CGPointMake(100, 230), CGPointMake(100, 270));
    expectFingers(pad->last, CGPointMake(100, 150), CGPointMake(100, 350));

    // The script's vpinch, here closing the fingers.
    std::ostringstream out;
    ScriptDriver driver(host, out);
    EXPECT_FALSE(driver.runScript("vpinch 160 240 200 60\n"));
    expectFingers(pad->first, CGPointMake(160, 140), CGPointMake(160, 340));
    expectFingers(pad->last, CGPointMake(160, 210), CGPointMake(160, 270));
}

// The desktop window keeps 2 pixels a point where 640 x 960 fits the display,
// and shrinks by quarters where it does not, so the bars stay on the screen.
TEST(DesktopScale, TheWindowFitsTheDisplay) {
    EXPECT_DOUBLE_EQ(DesktopHost::fittingScale(1920, 1080), 2);
    EXPECT_DOUBLE_EQ(DesktopHost::fittingScale(1280, 1024), 2);
    // A 700-pixel-high screen: 1.25 (a 400 x 600 window) leaves room for the title bar.
    EXPECT_DOUBLE_EQ(DesktopHost::fittingScale(1366, 700), 1.25);
    EXPECT_DOUBLE_EQ(DesktopHost::fittingScale(1024, 768), 1.5);
    EXPECT_DOUBLE_EQ(DesktopHost::fittingScale(500, 2000), 1.5) << "the width counts too";
    EXPECT_DOUBLE_EQ(DesktopHost::fittingScale(200, 200), DesktopHost::kMinScale);
    EXPECT_DOUBLE_EQ(DesktopHost::fittingScale(0, 0), 2) << "nothing known: the usual size";
    for (int h = 300; h <= 1200; h += 7) {
        double s = DesktopHost::fittingScale(4000, h);
        if (s > DesktopHost::kMinScale) {
            EXPECT_LE(480 * s + 40, h) << h;
        }
    }
    // An explicit scale is kept within the limits; none left means fit at open.
    EXPECT_DOUBLE_EQ(DesktopHost(DesktopHost::Options{1.3, "t"}).scale(), 1.3);
    EXPECT_DOUBLE_EQ(DesktopHost(DesktopHost::Options{9, "t"}).scale(), DesktopHost::kMaxScale);
    EXPECT_DOUBLE_EQ(DesktopHost(DesktopHost::Options{}).scale(), 0);
}
