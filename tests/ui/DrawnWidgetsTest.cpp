#include "UITestSupport.h"

#include "platform/uikit/UIButton.h"
#include "ui/CustomBadge.h"
#include "ui/QuotesPageControl.h"
#include "ui/UIGlossyButton.h"

namespace {
int alpha(uint32_t p) { return static_cast<int>(p >> 24); }
int brightness(uint32_t p) { return (((p >> 16) & 0xff) + ((p >> 8) & 0xff) + (p & 0xff)) / 3; }
}  // namespace

class DrawnWidgetsTest : public WidgetTest {
protected:
    // A button under a drawn widget, to see whether taps pass through it.
    std::shared_ptr<UIButton> buttonUnder(const CGRect& frame, int& taps) {
        auto b = std::make_shared<UIButton>(UIButtonType::Custom, frame);
        b->addTarget(
            this, [&taps](UIControl&) { ++taps; }, UIControlEventTouchUpInside);
        window->addSubview(b);
        return b;
    }
};

TEST_F(DrawnWidgetsTest, BadgeIsSizedToItsTextAndPlacedByItsCentre) {
    auto one = CustomBadge::customBadgeWithString("1");
    EXPECT_DOUBLE_EQ(one->bounds().size.width, CustomBadge::kHeight) << "a short text gives a circle";
    EXPECT_DOUBLE_EQ(one->bounds().size.height, CustomBadge::kHeight);
    auto three = CustomBadge::customBadgeWithString("128");
    auto wide = CustomBadge::customBadgeWithString("新消息 128");
    EXPECT_GT(three->bounds().size.width, one->bounds().size.width);
    EXPECT_GT(wide->bounds().size.width, three->bounds().size.width + 20);
    EXPECT_DOUBLE_EQ(wide->bounds().size.height, CustomBadge::kHeight);

    // As the message list places it: by its centre, after the label text.
    three->setCenter(CGPointMake(150, 116));
    EXPECT_DOUBLE_EQ(CGRectGetMidX(three->frame()), 150);
    EXPECT_DOUBLE_EQ(CGRectGetMidY(three->frame()), 116);
    three->setBadgeText("7");
    EXPECT_DOUBLE_EQ(three->bounds().size.width, CustomBadge::kHeight);
    EXPECT_DOUBLE_EQ(CGRectGetMidX(three->frame()), 150) << "a new text keeps the centre";
    EXPECT_EQ(three->accessibilityText(), "7");
}

TEST_F(DrawnWidgetsTest, BadgeDrawsWhiteTextOnRedInAWhiteRimAndLetsTapsThrough) {
    auto badge = CustomBadge::customBadgeWithString("28");
    auto img = badge->renderToImage(2);
    ASSERT_TRUE(img);
    saveScreenshot(*badge, "badge");
    double w = badge->bounds().size.width, h = badge->bounds().size.height;
    EXPECT_EQ(alpha(pixel(*img, 0.2, 0.2)), 0) << "the corners stay clear";
    uint32_t fill = pixel(*img, 6, h / 2);
    EXPECT_GT(red(fill), 200);
    EXPECT_LT(green(fill), 80);
    EXPECT_LT(blue(fill), 80);
    uint32_t rim = pixel(*img, w / 2, 2.4);
    EXPECT_GT(brightness(rim), 200) << "white rim at the top edge";
    // The text: near-white pixels in the middle of the red.
    int white = 0;
    for (double x = w / 2 - 6; x <= w / 2 + 6; x += 0.5)
        for (double y = h / 2 - 4; y <= h / 2 + 4; y += 0.5)
            if (green(pixel(*img, x, y)) > 200) ++white;
    EXPECT_GT(white, 10);

    int taps = 0;
    auto under = buttonUnder(CGRectMake(100, 100, 120, 40), taps);
    badge->setCenter(CGPointMake(160, 120));
    window->addSubview(badge);
    tap(*badge);
    EXPECT_EQ(taps, 1) << "the badge takes no touch of its own";
}

TEST_F(DrawnWidgetsTest, GlossyOrderButtonsShowTheirColourAndAct) {
    auto buy = std::make_shared<UIGlossyButton>(CGRectMake(10, 340, 300, 48));
    buy->setTitle("买入");
    buy->setActionSheetButtonWithColor(UIColor::colorWithRed(0.9, 0.09, 0.07, 1));
    auto sell = std::make_shared<UIGlossyButton>(CGRectMake(10, 400, 300, 48));
    sell->setTitle("卖出");
    sell->setActionSheetButtonWithColor(UIColor::colorWithRed(0.05, 0.68, 0.12, 1));
    EXPECT_EQ(*buy->titleColorForState(UIControlStateNormal), *UIColor::whiteColor())
        << "action-sheet buttons carry white titles";
    window->addSubview(buy);
    window->addSubview(sell);

    auto b = buy->renderToImage(1);
    auto s = sell->renderToImage(1);
    ASSERT_TRUE(b && s);
    saveScreenshot(*buy, "glossy-buy");
    // Away from the title, in the lower half below the gloss.
    uint32_t bp = pixel(*b, 30, 36), sp = pixel(*s, 30, 36);
    EXPECT_NEAR(red(bp), 230, 30) << std::hex << bp;
    EXPECT_LT(green(bp), 60);
    EXPECT_GT(green(sp), 130);
    EXPECT_LT(red(sp), 60);
    EXPECT_GT(brightness(pixel(*b, 30, 6)), brightness(bp)) << "brighter at the top";

    buy->setHighlighted(true);
    uint32_t pressed = pixel(*buy->renderToImage(1), 30, 36);
    EXPECT_LT(red(pressed), red(bp) - 30) << "pressed it darkens";
    buy->setHighlighted(false);

    int taps = 0;
    buy->addTarget(
        this, [&](UIControl&) { ++taps; }, UIControlEventTouchUpInside);
    tap(*buy);
    EXPECT_EQ(taps, 1);
    buy->setEnabled(false);
    EXPECT_LT(alpha(pixel(*buy->renderToImage(1), 30, 36)), 200) << "disabled it fades";
    run(0.5);
    tap(*buy);
    EXPECT_EQ(taps, 1);
}

TEST_F(DrawnWidgetsTest, GlossyCloseButtonWithGradientTypeTwoShadesTopToBottom) {
    auto close = std::make_shared<UIGlossyButton>(CGRectMake(110, 400, 100, 40));
    close->setTitle("关闭");
    close->useWhiteLabel(true);
    close->setTintColor(UIColor::darkGrayColor());
    close->setGradientType(static_cast<UIGlossyButtonGradientType>(2));
    auto img = close->renderToImage(1);
    ASSERT_TRUE(img);
    saveScreenshot(*close, "glossy-close");
    int top = brightness(pixel(*img, 8, 4)), bottom = brightness(pixel(*img, 8, 35));
    EXPECT_GT(top, bottom + 40) << "a strong shade";
    uint32_t mid = pixel(*img, 8, 20);
    EXPECT_LE(std::abs(red(mid) - blue(mid)), 8) << "a grey tint stays grey";
}

TEST_F(DrawnWidgetsTest, PageMarksFollowThePagesAndLetTouchesThrough) {
    auto marks = std::make_shared<QuotesPageControl>(CGRectMake(0, 200, 320, 20));
    EXPECT_EQ(marks->accessibilityText(), "[分] K 细 F10");
    marks->setCurrentPage(2);
    EXPECT_EQ(marks->accessibilityText(), "分 K [细] F10");
    marks->setCurrentPage(9);
    EXPECT_EQ(marks->currentPage(), 3);
    marks->setNumberOfPages(2);
    EXPECT_EQ(marks->currentPage(), 1) << "clamped to the pages left";
    EXPECT_EQ(marks->accessibilityText(), "分 [K]");

    // Four marks 30 points apart, centred; the current one bright.
    marks->setNumberOfPages(4);
    marks->setCurrentPage(1);
    auto img = marks->renderToImage(2);
    ASSERT_TRUE(img);
    saveScreenshot(*marks, "pagemarks");
    double left = (320 - 4 * 30) / 2.0;
    auto markEdge = [&](int i) { return pixel(*img, left + i * 30 + 2 + 1.5, 10); };  // left of the label
    EXPECT_GT(brightness(markEdge(1)), 220);
    for (int i : {0, 2, 3}) {
        EXPECT_LT(alpha(markEdge(i)), 160) << i;
        EXPECT_GT(alpha(markEdge(i)), 60) << i;
    }
    EXPECT_EQ(alpha(pixel(*img, left - 10, 10)), 0) << "nothing outside the marks";

    int taps = 0;
    auto under = buttonUnder(CGRectMake(0, 190, 320, 40), taps);
    window->addSubview(marks);
    tap(*marks);
    EXPECT_EQ(taps, 1) << "the page marks take no touch";
}
