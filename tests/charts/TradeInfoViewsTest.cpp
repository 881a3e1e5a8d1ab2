// The two touched-point boxes of the newer charts drawn headless: the price
// in the colour of its move from the previous close, large while it is short
// and 18 points from 8 characters on; the values in their colours; nothing
// without a model.
#include "ChartsTestSupport.h"

#include "charts/CandlesticksTradeInfoView.h"
#include "charts/ChartDrawing.h"
#include "charts/TradeInfoView.h"
#include "platform/graphics/TextDrawing.h"
#include "ui/Palette.h"

namespace {

// One box as the charts fill it: the price, the previous close, and the
// values the box colours by the previous close (first) or shows yellow (second).
struct BoxModel {
    std::string price, prevClose, compared, yellow;
};

struct BoxKind {
    const char* name;
    double largeSize;
    CGRect comparedValue, yellowValue;  // where the two values stand
    std::function<std::shared_ptr<UIView>(const std::optional<BoxModel>&)> make;
};

const std::vector<BoxKind>& kinds() {
    static const std::vector<BoxKind> all = {
        {"TradeInfoView", 22, CGRectMake(184, 0, 60, 14), CGRectMake(104, 14, 60, 14),
         [](const std::optional<BoxModel>& m) {
             auto v = std::make_shared<TradeInfoView>(CGRectMake(0, 0, 316, 44));
             if (m)
                 v->setTimeTrendTradeInfo(TimeTrendTradeInfo{m->price, "+0.10", "1.00", "", m->yellow, "10:30",
                                                             m->compared, "", "", m->prevClose});
             return v;
         }},
        {"CandlesticksTradeInfoView", 26, CGRectMake(140, 0, 64, 14), CGRectMake(240, 0, 74, 14),
         [](const std::optional<BoxModel>& m) {
             auto v = std::make_shared<CandlesticksTradeInfoView>(CGRectMake(0, 0, 316, 44));
             if (m)
                 v->setCandlesticksTradeInfo(CandlesticksTradeInfo{m->price, "+0.10", "1.00", m->compared, "", "",
                                                                   m->yellow, "", "2024-03-05", m->prevClose});
             return v;
         }},
    };
    return all;
}

}  // namespace

class TradeInfoViewsTest : public ChartViewTest {
protected:
    std::shared_ptr<UIImage> draw(const BoxKind& kind, const std::optional<BoxModel>& model, const std::string& shot = "") {
        while (!stage->subviews().empty()) stage->subviews().back()->removeFromSuperview();
        stage->addSubview(kind.make(model));
        return render(shot);
    }
    // Pixels of the rectangle near the colour.
    static int pixelsOf(const UIImage& img, const CGRect& r, const UIColor& c) {
        int n = 0;
        for (double y = r.origin.y; y < CGRectGetMaxY(r); y += 0.5)
            for (double x = r.origin.x; x < CGRectGetMaxX(r); x += 0.5)
                n += near(pixel(img, x, y), int(c.red() * 255), int(c.green() * 255),
                                         int(c.blue() * 255), 50);
        return n;
    }

    // The left and right ends of the ink in the rectangle (points), -1 when none.
    static std::pair<double, double> inkSpan(const UIImage& img, const CGRect& r) {
        double left = -1, right = -1;
        for (double x = r.origin.x; x < CGRectGetMaxX(r); x += 0.5)
            for (double y = r.origin.y; y < CGRectGetMaxY(r); y += 0.5)
                if (inkIn(img, CGRectMake(x, y, 0.5, 0.5), 60) > 0) {
                    if (left < 0) left = x;
                    right = x + 0.5;
                    break;
                }
        return {left, right};
    }
};

TEST_F(TradeInfoViewsTest, ThePriceAndTheValuesTakeTheColourOfTheirMove) {
    const CGRect headline = CGRectMake(0, 0, 80, 42);
    struct Case {
        BoxModel model;
        int move;  // of the price and the compared value: 1 up, -1 down, 0 flat
    };
    const std::vector<Case> cases = {
        {{"10.30", "10.00", "10.40", "35.4万"}, 1},
        {{"9.80", "10.00", "9.90", "35.4万"}, -1},
        {{"10.00", "10.00", "10.00", "35.4万"}, 0},
    };
    for (const auto& kind : kinds())
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(kind.name) + " " + c.model.price);
            auto img = draw(kind, c.model, c.move < 0 ? std::string("falling-") + kind.name : "");
            auto colour = colorWithCompareResult(c.move);
            EXPECT_GT(pixelsOf(*img, headline, *colour), 30);
            for (int other : {1, -1, 0})
                if (other != c.move) {
                    EXPECT_EQ(pixelsOf(*img, headline, *colorWithCompareResult(other)), 0) << other;
                }
            EXPECT_GT(pixelsOf(*img, kind.comparedValue, *colour), 5);
            EXPECT_GT(pixelsOf(*img, kind.yellowValue, *UIColor::yellowColor()), 5);
        }
    // Flat is white.
    auto flat = colorWithCompareResult(0);
    EXPECT_GE(std::min({flat->red(), flat->green(), flat->blue()}), 0.85);
}

TEST_F(TradeInfoViewsTest, APriceOfEightCharactersOrMoreTakesTheSmallerFont) {
    const CGRect priceRect = CGRectMake(0, 0, 80, 30);
    for (const auto& kind : kinds()) {
        // Narrow characters, so that neither size has to shrink to the box's 80 points.
        for (const std::string price : {"1.....1", "1......1"}) {
            SCOPED_TRACE(std::string(kind.name) + " " + price);
            const double size = price.size() < 8 ? kind.largeSize : 18;
            const double expected = sizeWithFont(price, chartFont(size)).width;
            const double other = sizeWithFont(price, chartFont(price.size() < 8 ? 18 : kind.largeSize)).width;
            ASSERT_LT(std::max(expected, other), 78);
            ASSERT_GT(std::abs(expected - other), 6) << "the two sizes tell apart";
            auto img = draw(kind, BoxModel{price, "1.00", "", ""});
            auto [left, right] = inkSpan(*img, priceRect);
            ASSERT_GE(left, 0);
            EXPECT_LT(std::abs(right - left - expected), std::abs(right - left - other))
                << right - left << " drawn, " << expected << " at its size, " << other << " at the other";
        }
    }
}

TEST_F(TradeInfoViewsTest, NoModelDrawsNothingAndMissingValuesLeaveTheirPlacesEmpty) {
    for (const auto& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        auto img = draw(kind, std::nullopt);
        EXPECT_EQ(inkIn(*img, CGRectMake(0, 0, 316, 44), 30), 0);
        img = draw(kind, BoxModel{"10.30", "10.00", "", ""});
        EXPECT_EQ(inkIn(*img, kind.comparedValue, 60), 0);
        EXPECT_EQ(inkIn(*img, kind.yellowValue, 60), 0);
        EXPECT_GT(inkIn(*img, CGRectMake(0, 0, 80, 30), 60), 30);
    }
}
