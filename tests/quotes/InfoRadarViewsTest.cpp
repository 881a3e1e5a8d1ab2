// The information-radar strip and its pop-up drawn headless: the text cut at
// 30 characters, the two indices in their colours, the button that only
// answers while there is radar, and the pop-up's items, fade and close.
#include "QuotesTestSupport.h"
#include "platform/uikit/UIView.h"
#include "quotes/QuotesInfoRadarPopView.h"
#include "quotes/QuotesInfoRadarView.h"
#include "tests/support/WindowTest.h"

namespace {

struct Host : QuotesInfoRadarDelegate {
    int taps = 0;
    void quotesInfoRadarAction() override { ++taps; }
};

// Characters counted, never bytes: 31 Chinese characters are 93 bytes.
std::string chinese(size_t count) {
    std::string s;
    for (size_t i = 0; i < count; ++i) s += "雷";
    return s;
}

}  // namespace

class InfoRadarViewsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        strip = std::make_shared<QuotesInfoRadarView>(CGRectMake(0, 100, 320, 16));
        strip->setDelegate(&host);
        window->addSubview(strip);
    }
    void TearDown() override {
        strip->setDelegate(nullptr);
        strip.reset();
        WindowTest::TearDown();
    }
    // Whether anything but black was drawn in the strip's box.
    bool anythingDrawn(const UIImage& img, double x0, double x1) const {
        for (double x = x0; x < x1; x += 0.5)
            for (double y = 101; y < 115; y += 0.5) {
                uint32_t p = pixel(img, x, y);
                if (red(p) > 60 || green(p) > 60 || blue(p) > 60) return true;
            }
        return false;
    }
    // The strongest red and green seen in a box of the strip.
    std::pair<int, int> strongest(const UIImage& img, double x0, double x1) const {
        int r = 0, g = 0;
        for (double x = x0; x < x1; x += 0.5)
            for (double y = 101; y < 115; y += 0.5) {
                uint32_t p = pixel(img, x, y);
                if (red(p) - green(p) > r) r = red(p) - green(p);
                if (green(p) - red(p) > g) g = green(p) - red(p);
            }
        return {r, g};
    }
    Host host;
    std::shared_ptr<QuotesInfoRadarView> strip;
};

TEST_F(InfoRadarViewsTest, RadarTextIsShownWholeUpTo30CharactersAndCutFrom31) {
    EXPECT_EQ(QuotesInfoRadarView::shownRadarText(chinese(30)), chinese(30));
    EXPECT_EQ(QuotesInfoRadarView::shownRadarText(chinese(31)), chinese(30) + "...");
    EXPECT_EQ(QuotesInfoRadarView::shownRadarText("10:12 abc"), "10:12 abc");

    strip->setIsHaveRadar(true);
    strip->setInfoRadarContent("10:12 " + chinese(40));
    auto img = window->renderToImage(2);
    EXPECT_EQ(strip->infoRadarContent(), "10:12 " + chinese(24) + "...");  // kept as drawn
    EXPECT_TRUE(anythingDrawn(*img, 2, 100));
    saveScreenshot(*window, "radar-text");
}

TEST_F(InfoRadarViewsTest, TheIndicesShowOnlyWithExactlyTwoRows) {
    strip->setIsHaveRadar(false);
    strip->setMarketIndexData(indexSnapshot({{"3160.25", "3150.00", "3456.7"}}));
    EXPECT_FALSE(anythingDrawn(*window->renderToImage(2), 0, 320));
    EXPECT_EQ(strip->accessibilityText(), "");
    strip->setMarketIndexData(
        indexSnapshot({{"3160.25", "3150.00", "3456.7"}, {"10100.50", "10200.00", "4567.8"}, {"1.00", "1.00", "1.0"}}));
    EXPECT_FALSE(anythingDrawn(*window->renderToImage(2), 0, 320));

    // Shanghai up (red price), Shenzhen down (green price), amounts in yellow.
    TCRSWriter w;
    w.beginSet()
        .addField("zjcj", TCRSFieldType::Packed)
        .addField("zrsp", TCRSFieldType::Packed)
        .addField("cjje", TCRSFieldType::Packed)
        .addRecord({"3160.25", "3150.00", "3456.78"})  // two decimals: 亿
        .addRecord({"10100.50", "10200.00", "4567.89"});
    strip->setMarketIndexData(parseSets(w.bytes()).front());
    EXPECT_EQ(strip->accessibilityText(), "上证指数: 3160.25 3456.78亿 深证成指: 10100.50 4567.89亿");
    auto img = saveScreenshot(*window, "indices");
    auto [shRed, shGreen] = strongest(*img, 54, 106);
    EXPECT_GT(shRed, 100);
    EXPECT_LT(shGreen, 30);
    auto [szRed, szGreen] = strongest(*img, 212, 264);
    EXPECT_GT(szGreen, 100);
    EXPECT_LT(szRed, 30);
    uint32_t yellowSeen = 0;
    for (double x = 102; x < 160; x += 0.5)
        for (double y = 101; y < 115; y += 0.5)
            if (uint32_t p = pixel(*img, x, y); red(p) > 150 && green(p) > 150 && blue(p) < 80) yellowSeen = p;
    EXPECT_NE(yellowSeen, 0u);
    // Each index's price and amount read as two numbers: a gap between the
    // green price's last ink and the yellow amount's first.
    double greenRight = 0, yellowLeft = 320;
    for (double x = 160; x < 320; x += 0.5)
        for (double y = 101; y < 115; y += 0.5) {
            uint32_t p = pixel(*img, x, y);
            if (green(p) > 120 && red(p) < 80) greenRight = std::max(greenRight, x);
            if (red(p) > 150 && green(p) > 150 && blue(p) < 80) yellowLeft = std::min(yellowLeft, x);
        }
    EXPECT_GE(yellowLeft - greenRight, 3) << greenRight << " " << yellowLeft;
}

TEST_F(InfoRadarViewsTest, TheStripAnswersATapOnlyWhileItsButtonIsEnabled) {
    tap(*strip);
    EXPECT_EQ(host.taps, 0);  // disabled from the start: no radar yet
    strip->infoBtn()->setEnabled(true);
    tap(*strip);
    EXPECT_EQ(host.taps, 1);
    strip->setDelegate(nullptr);
    tap(*strip);
    EXPECT_EQ(host.taps, 1);
}

TEST_F(InfoRadarViewsTest, ThePopUpListsTheItemsAndFadesAwayOnClose) {
    EXPECT_EQ(QuotesInfoRadarPopView::joinedItems({}), "");
    EXPECT_EQ(QuotesInfoRadarPopView::joinedItems({"a"}), "a");
    std::vector<std::string> items{"10:12 浦发银行：主力资金净流入1.26亿元", "09:31 浦发银行公告：董事会决议",
                                   "08:45 机构评级：维持“买入”评级"};
    auto popup = std::make_shared<QuotesInfoRadarPopView>(items);
    EXPECT_EQ(popup->infoRadarTextView()->text(), items[0] + "\n\n" + items[1] + "\n\n" + items[2]);
    EXPECT_FALSE(popup->infoRadarTextView()->isEditable());
    popup->showInView(window.get(), true);
    EXPECT_EQ(popup->superview(), window.get());
    run(QuotesInfoRadarPopView::kFadeSeconds + 0.1);
    EXPECT_DOUBLE_EQ(popup->alpha(), 1);
    saveScreenshot(*window, "popup");

    tap(*popup->closeBtn());
    EXPECT_EQ(popup->superview(), window.get());  // still fading out
    run(QuotesInfoRadarPopView::kFadeSeconds + 0.1);
    EXPECT_EQ(popup->superview(), nullptr);
}
