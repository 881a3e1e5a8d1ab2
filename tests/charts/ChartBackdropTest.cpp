// The K-line chart keeps the picture of what the crosshair does not change.
// Whatever happens to a chart in use (zoom, new bars, another indicator, the
// crosshair dragged), it must look as a chart drawn afresh in that state.
#include "ChartsTestSupport.h"

#include "charts/CandlesticksChartView.h"
#include "charts/ChartBackdrop.h"
#include "platform/uikit/UITouch.h"

namespace {

struct Source : CandlesticksChartDataSource {
    RecordSets sets;
    RecordSets quotesDataInCandlestickChartView(CandlesticksChartView&) override { return sets; }
};

KLineReply bars(int n, double lift) {
    KLineReply r;
    r.bars = KLineReply::days(n);
    r.techColumns = {"MACD1", "MACD2", "MACD3"};
    for (size_t i = 0; i < r.bars.size(); ++i) {
        char t[16];
        std::snprintf(t, sizeof t, "%.3f", 0.1 * std::sin(i / 3.0) + lift);
        r.bars[i].tech = {t, "0.020", "-0.010"};
        std::snprintf(t, sizeof t, "%.2f", 10 + lift + 0.2 * std::sin(i / 6.0));
        r.bars[i].ma5 = r.bars[i].ma10 = r.bars[i].ma30 = t;
    }
    return r;
}

// A chart of its own with its source.
struct Chart {
    Source source;
    CandlesticksChartView view{CGRectMake(0, 0, 320, 340)};
    explicit Chart(const RecordSets& sets) {
        source.sets = sets;
        view.setDataSource(&source);
    }
    void touch(UITouchPhase phase, double x) {
        auto finger = std::make_shared<UITouch>();
        finger->location_ = finger->start_ = finger->previous_ = CGPointMake(x, 150);
        finger->phase_ = phase;
        UITouchSet touches{finger};
        if (phase == UITouchPhase::Began)
            view.touchesBegan(touches, nullptr);
        else
            view.touchesMoved(touches, nullptr);
    }
};

// Pixels whose channels differ by more than one (compositing may round once).
int differingPixels(const UIImage& a, const UIImage& b) {
    int n = 0;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            uint32_t p = a.pixelAt(x, y), q = b.pixelAt(x, y);
            for (int shift = 0; shift < 32; shift += 8)
                if (std::abs(int((p >> shift) & 0xff) - int((q >> shift) & 0xff)) > 1) {
                    ++n;
                    break;
                }
        }
    return n;
}

}  // namespace

TEST(ChartBackdropTest, AChartInUseLooksAsOneDrawnAfresh) {
    const RecordSets first = bars(200, 0).sets(), second = bars(200, 0.3).sets();
    Chart used(first);
    used.view.setCurrentTechIndexType(1);
    ASSERT_TRUE(used.view.renderToImage(2));

    struct Step {
        const char* what;
        std::function<void(Chart&)> apply;
    };
    const Step steps[] = {
        {"zoomed", [](Chart& c) { c.view.setZoomStep(4); }},
        {"new bars", [&](Chart& c) { c.source.sets = second; }},
        {"volume instead of MACD", [](Chart& c) { c.view.setCurrentTechIndexType(0); }},
        {"crosshair shown",
         [](Chart& c) {
             c.touch(UITouchPhase::Began, 40);
             c.view.showMeterView();
         }},
        {"crosshair dragged", [](Chart& c) { c.touch(UITouchPhase::Moved, 200); }},
        {"zoomed back under the crosshair", [](Chart& c) { c.view.setZoomStep(1); }},
    };
    std::vector<const Step*> done;
    for (const Step& step : steps) {
        step.apply(used);
        auto a = used.view.renderToImage(2);
        done.push_back(&step);
        // The same history on another chart drawn without kept pictures.
        ChartBackdrop::setKeepsPictures(false);
        Chart fresh(first);
        fresh.view.setCurrentTechIndexType(1);
        fresh.view.renderToImage(2);
        for (const Step* s : done) {
            s->apply(fresh);
            fresh.view.renderToImage(2);
        }
        auto b = fresh.view.renderToImage(2);
        ChartBackdrop::setKeepsPictures(true);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(differingPixels(*a, *b), 0) << step.what;
    }
}
