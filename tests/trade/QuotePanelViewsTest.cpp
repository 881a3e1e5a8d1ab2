// The two pages of the order screens' quote panel from a crafted 31000/1
// reply: the order book's prices, colours, volumes in lots, limit prices and
// taps; the small intraday chart's scale, the day's gaps filled, and its
// lines drawn.
#include "charts/TradeTimeSharingView.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "tests/charts/ChartsTestSupport.h"
#include "tests/shell/ScreensTestSupport.h"
#include "tests/support/Screenshots.h"
#include "trade/TradePositionView.h"

namespace {

// A day of 600000 up to 10:30: the header (previous close 7.22), the points
// every 2 minutes from 9:40 (the open's gap to fill), the five levels.
RecordSets intradayReply(bool withLevels = true) {
    IntradayReply r;
    r.stock = {"浦发银行", "600000", 2, 1, "7.31", "7.22", "7.20", "7.35", "7.12", "20240305103000"};
    for (int m = 580, i = 0; m <= 630; m += 2, ++i)
        r.points.push_back({m / 60 * 100 + m % 60, i % 2 ? "7.30" : "7.25", "7.26", 300 + 20 * i});
    r.asks = {"7.32", "7.33", "7.34", "7.35", "7.36"};
    r.bids = {"7.22", "7.21", "7.20", "7.19", "7.18"};
    r.askVolumes = {12345, 99, 500, 800, 999999999};
    r.withDetail = withLevels;
    return r.sets();
}

struct Taps : TradePositionViewDelegate {
    std::vector<std::optional<std::string>> prices;
    void selectedPosition(const std::optional<std::string>& price) override { prices.push_back(price); }
};

class QuotePanelViewsTest : public ScreensTest {
protected:
    void show(const std::shared_ptr<UIView>& v) {
        auto page = std::make_shared<UIView>(CGRectMake(10, 100, 300, 192));
        page->setBackgroundColor(UIColor::colorWithRed(0.1, 0.12, 0.16, 1));
        page->addSubview(v);
        window->addSubview(page);
        settle(0.1);
    }
    static auto image(const char* name) { return UIImage::imageNamed(name); }
};

TEST_F(QuotePanelViewsTest, TheOrderBookShowsLevelsAgainstThePreviousCloseAndHandsATappedPrice) {
    auto book = std::make_shared<TradePositionView>(CGRectMake(0, 0, 300, 192));
    Taps taps;
    book->setDelegate(&taps);
    book->setGoUpStaying(std::string("7.94"));
    show(book);
    // Before any data: the levels give nothing, the limits their texts and fixed colours.
    book->btnAction(1001);
    book->btnAction(1006);
    ASSERT_EQ(taps.prices.size(), 2u);
    EXPECT_FALSE(taps.prices[0]);
    EXPECT_EQ(taps.prices[1], "7.94");
    EXPECT_EQ(book->buttonWithTag(1006)->backgroundImageForState(UIControlStateHighlighted),
              image(TradePositionView::kRiseImage));
    EXPECT_EQ(book->buttonWithTag(1012)->backgroundImageForState(UIControlStateHighlighted),
              image(TradePositionView::kFallImage));

    book->setPositionsWithArray({});  // nothing to take
    EXPECT_EQ(book->detailHQRS(), nullptr);
    RecordSets reply = intradayReply();
    book->setPositionsWithArray(reply);
    EXPECT_EQ(book->baseHQRS(), reply[0]);
    EXPECT_EQ(book->detailHQRS(), reply[2]);
    host.render();
    saveScreenshot("book");
    // Above the previous close red, below green, equal flat.
    EXPECT_EQ(book->buttonWithTag(1001)->backgroundImageForState(UIControlStateHighlighted),
              image(TradePositionView::kRiseImage));
    EXPECT_EQ(book->buttonWithTag(1007)->backgroundImageForState(UIControlStateHighlighted),
              image(TradePositionView::kFlatImage));
    EXPECT_EQ(book->buttonWithTag(1008)->backgroundImageForState(UIControlStateHighlighted),
              image(TradePositionView::kFallImage));
    // Volumes in lots; no value draws nothing.
    EXPECT_EQ(TradePositionView::volumeText(12345), "123");
    EXPECT_EQ(TradePositionView::volumeText(99), "0");
    EXPECT_EQ(TradePositionView::volumeText(999999999), "");

    // A finger on each level hands the price of its own row and side.
    book->setFallStaying(std::string("6.50"));
    const std::string sides[] = {"7.32", "7.33", "7.34", "7.35", "7.36", "7.94",
                                 "7.22", "7.21", "7.20", "7.19", "7.18", "6.50"};
    taps.prices.clear();
    for (int i = 0; i < 12; ++i) {
        UIButton* level = book->buttonWithTag(TradePositionView::kFirstButtonTag + i);
        CGRect on = level->convertRectToView(level->bounds(), nullptr);
        host.tap(on.origin.x + on.size.width / 2, on.origin.y + on.size.height / 2);
        ASSERT_EQ(taps.prices.size(), size_t(i + 1));
        EXPECT_EQ(taps.prices.back(), sides[i]) << "button " << i;
    }
    book->btnAction(2000);  // no such level
    EXPECT_EQ(taps.prices.size(), 12u);

    // A reply without the levels keeps those shown.
    book->setPositionsWithArray(intradayReply(false));
    EXPECT_EQ(book->detailHQRS(), reply[2]);
    EXPECT_EQ(book->priceOfButton(1005), "7.36");
    book->setDelegate(nullptr);
}

TEST_F(QuotePanelViewsTest, TheSmallChartFillsTheDayAndDrawsPriceAverageAndVolume) {
    auto chart = std::make_shared<TradeTimeSharingView>(CGRectMake(0, 0, 300, 192));
    show(chart);
    EXPECT_FALSE(chart->isUserInteractionEnabled()) << "the pager swipes over it";
    chart->parseHQData({});  // nothing to draw
    EXPECT_FALSE(chart->scale().isDrawable());

    RecordSets reply = intradayReply();
    const int sent = reply[1]->rowsAffected();
    chart->parseHQData(reply);
    ASSERT_TRUE(chart->scale().isDrawable());
    EXPECT_EQ(chart->scale().prevClose->toString(), "7.22");
    // From the open to 10:30, one point every two trading minutes.
    EXPECT_EQ(chart->quotesData()[1]->rowsAffected(), 31);
    EXPECT_GT(chart->quotesData()[1]->rowsAffected(), sent);

    auto shot = host.render();
    saveScreenshot("chart");
    // The lines and bars are drawn inside their areas.
    auto countColour = [&](const CGRect& area, auto match) {
        int n = 0;
        for (int y = int(area.origin.y); y < int(CGRectGetMaxY(area)); ++y)
            for (int x = int(area.origin.x); x < int(CGRectGetMaxX(area)); ++x) {
                uint32_t px = shot->pixelAt((x + 10) * 2, (y + 100) * 2);
                if (match((px >> 16) & 255, (px >> 8) & 255, px & 255)) ++n;
            }
        return n;
    };
    auto white = [](int r, int g, int b) { return r > 220 && g > 220 && b > 220; };
    auto yellow = [](int r, int g, int b) { return r > 220 && g > 150 && b < 80; };
    EXPECT_GT(countColour(chart->priceRect(), white), 20);
    EXPECT_GT(countColour(chart->priceRect(), yellow), 20);
    EXPECT_GT(countColour(chart->volumeRect(), yellow), 20);

    // A reply without points keeps the day drawn.
    chart->parseHQData({reply[0]});
    EXPECT_EQ(chart->quotesData().size(), reply.size());
}

}  // namespace
