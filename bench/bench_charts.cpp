// Frame time of the quote charts at 2x, against the 16.7 ms frame (goal: a
// quarter of it): a full redraw of the intraday trend chart (a whole day of
// 121 points, the side panel and the box), and of a 320-bar K-line with
// MACD at the default zoom (52 bars in view) and the narrowest (158 in view),
// new bars each frame and the crosshair moved a bar each frame.
// "frame_pct_of_budget" is the median frame (processor time of the drawing
// thread) as a share of the 16.7 ms frame.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/PairedTiming.h"
#include "charts/CandlesticksChartView.h"
#include "charts/TimeTrendChartView.h"
#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"
#include "platform/graphics/CGContext.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UITouch.h"

namespace {

std::string fixed(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

RecordSets parse(const TCRSWriter& w) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(w.bytes());
    return sets ? *sets : RecordSets{};
}

RecordSets intradayDay() {
    TCRSWriter w;
    w.beginSet()
        .addField("name", TCRSFieldType::VarText)
        .addField("code", TCRSFieldType::VarText)
        .addField("exchid", TCRSFieldType::Integer, 4)
        .addField("classid", TCRSFieldType::Integer, 4)
        .addField("zjcj", TCRSFieldType::Packed)
        .addField("zrsp", TCRSFieldType::Packed)
        .addField("jrkp", TCRSFieldType::Packed)
        .addField("zgcj", TCRSFieldType::Packed)
        .addField("zdcj", TCRSFieldType::Packed)
        .addField("lastupd", TCRSFieldType::VarText)
        .addRecord({"浦发银行", "600000", 2, 1, "7.31", "7.22", "7.20", "7.35", "7.12", "20240305150000"});
    w.beginSet()
        .addField("tm", TCRSFieldType::Integer, 4)
        .addField("zjcj", TCRSFieldType::Packed)
        .addField("cjsl", TCRSFieldType::Packed)
        .addField("avol", TCRSFieldType::Integer, 4)
        .addField("cjjj", TCRSFieldType::Packed);
    int i = 0;
    for (int m = 570; m <= 900; m += 2) {
        if (m > 690 && m <= 780) continue;
        double p = 7.22 + 0.1 * std::sin(i / 9.0), a = 7.22 + 0.05 * std::sin(i / 15.0);
        w.addRecord({m / 60 * 100 + m % 60, fixed(p, 2), "12.5", 200 + (i * 37) % 800, fixed(a, 2)});
        ++i;
    }
    w.beginSet();
    const char* fields[] = {"sj1", "sj2", "sj3", "sj4", "sj5", "bj1", "bj2", "bj3", "bj4", "bj5"};
    for (const char* f : fields) w.addField(f, TCRSFieldType::Packed);
    for (const char* f : {"sl1", "sl2", "sl3", "sl4", "sl5", "bl1", "bl2", "bl3", "bl4", "bl5"})
        w.addField(f, TCRSFieldType::Integer, 4);
    for (const char* f : {"zhd", "zdf", "cjjj", "cjsl", "cjje", "lb", "wb", "hsl", "syl"})
        w.addField(f, TCRSFieldType::Packed);
    w.addRecord({"7.32", "7.33", "7.34", "7.35",   "7.36", "7.31", "7.30",   "7.29", "7.28", "7.27",
                 1200,   3400,   500,    800,      9100,   2300,   4500,     600,    700,    800,
                 "0.09", "1.25", "7.25", "1488.7", "1.07", "1.08", "-23.76", "0.30", "8.00"});
    return parse(w);
}

RecordSets klineWithMacd(int count) {
    TCRSWriter w;
    w.beginSet()
        .addField("name", TCRSFieldType::VarText)
        .addField("code", TCRSFieldType::VarText)
        .addField("exchid", TCRSFieldType::Integer, 4)
        .addField("classid", TCRSFieldType::Integer, 4)
        .addRecord({"浦发银行", "600000", 2, 1});
    w.beginSet().addField("da", TCRSFieldType::VarText);
    for (const char* f : {"jrkp", "zgcj", "zdcj", "zjcj", "cjsl", "cjje", "zrsp", "zhd", "zdf", "hsl", "ma5", "ma10",
                          "ma30", "MACD1", "MACD2", "MACD3"})
        w.addField(f, TCRSFieldType::Packed);
    for (int i = 0; i < count; ++i) {
        double c = 10 + std::sin(i / 7.0) + 0.2 * std::cos(i * 1.3), o = 10 + std::sin((i - 1) / 7.0);
        double dif = 0.2 * std::sin(i / 6.0), dea = 0.2 * std::sin((i - 3) / 6.0);
        w.addRecord({std::to_string(20230101 + i), fixed(o, 2), fixed(std::max(o, c) + 0.1, 2),
                     fixed(std::min(o, c) - 0.1, 2), fixed(c, 2), fixed(100 + (i * 53) % 400, 1), "3.2", fixed(o, 2),
                     "0.10", "1.00", "0.50", fixed(10 + std::sin((i - 2) / 7.0), 2),
                     fixed(10 + 0.8 * std::sin((i - 4) / 7.0), 2), fixed(10 + 0.5 * std::sin((i - 10) / 7.0), 2),
                     fixed(2 * (dif - dea), 3), fixed(dea, 3), fixed(dif, 3)});
    }
    return parse(w);
}

struct Source : TimeTrendChartDataSource, CandlesticksChartDataSource {
    RecordSets trend, kline;
    RecordSets quotesDataInTimeTrendChartView(TimeTrendChartView&) override { return trend; }
    RecordSets quotesDataInCandlestickChartView(CandlesticksChartView&) override { return kline; }
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Renders the view into one 2x bitmap per iteration, `beforeFrame` changing
// what it shows; reports the median frame.
void renderFrames(benchmark::State& state, UIView& view, const char* png,
                  const std::function<void(int)>& beforeFrame = {}) {
    UIGraphicsBeginImageContextWithOptions(view.bounds().size, true, 2);
    CGContext* ctx = UIGraphicsGetCurrentContext();
    std::vector<double> frames, cpuFrames;
    int n = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        double c0 = threadCpuMs();
        if (beforeFrame) beforeFrame(n++);
        ctx->setFillColor(0, 0, 0, 1);
        ctx->fillRect(view.bounds());
        view.renderInContext(*ctx);
        cairo_surface_flush(cairo_get_target(ctx->cairo()));
        cpuFrames.push_back(threadCpuMs() - c0);
        frames.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    if (const char* dir = std::getenv("RD_SCREENSHOT_DIR"))
        if (auto img = UIGraphicsGetImageFromCurrentImageContext()) img->writePNG(std::string(dir) + "/" + png);
    UIGraphicsEndImageContext();
    // The processor time of the drawing thread holds on a busy machine, where
    // the wall time also counts the turns other programs take.
    const double cpu = medianOf(cpuFrames);
    state.counters["frame_ms"] = medianOf(frames);
    state.counters["frame_cpu_ms"] = cpu;
    state.counters["frame_pct_of_budget"] = 100 * cpu / 16.7;
}

void BM_TrendChartFullRedraw(benchmark::State& state) {
    Source source;
    source.trend = intradayDay();
    TimeTrendChartView chart(CGRectMake(0, 0, 320, 340));
    chart.setDataSource(&source);
    renderFrames(state, chart, "bench-trend-chart.png");
}
BENCHMARK(BM_TrendChartFullRedraw)->Unit(benchmark::kMillisecond);

// New bars every frame (two replies taking turns), at zoom step 2 (52 bars) or 4 (158 bars).
void BM_KLine320BarsWithMacd(benchmark::State& state) {
    Source source;
    const RecordSets replies[2] = {klineWithMacd(320), klineWithMacd(320)};
    CandlesticksChartView chart(CGRectMake(0, 0, 320, 340));
    chart.setDataSource(&source);
    chart.setCurrentTechIndexType(1);
    chart.setZoomStep(static_cast<int>(state.range(0)));
    renderFrames(state, chart, state.range(0) == 4 ? "bench-kline-narrow.png" : "bench-kline.png", [&](int n) {
        source.kline = replies[n % 2];
        chart.setNeedsDisplay();
    });
    state.counters["bars_in_view"] = chart.window().count;
}
BENCHMARK(BM_KLine320BarsWithMacd)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// The crosshair shown and dragged one bar further every frame, the bars unchanged.
void BM_KLineCrosshairMove(benchmark::State& state) {
    Source source;
    source.kline = klineWithMacd(320);
    CandlesticksChartView chart(CGRectMake(0, 0, 320, 340));
    chart.setDataSource(&source);
    chart.setCurrentTechIndexType(1);
    chart.setZoomStep(static_cast<int>(state.range(0)));
    auto image = chart.renderToImage(2);  // the first draw works out the bars in view
    auto finger = std::make_shared<UITouch>();
    finger->location_ = finger->start_ = finger->previous_ = CGPointMake(20, 150);
    UITouchSet touches{finger};
    chart.touchesBegan(touches, nullptr);
    chart.showMeterView();
    const KLine::Window w = chart.window();
    renderFrames(state, chart, state.range(0) == 4 ? "bench-kline-crosshair-narrow.png" : "bench-kline-crosshair.png",
                 [&](int n) {
                     finger->previous_ = finger->location_;
                     finger->location_.x = w.centerX(CandlesticksChartView::kPlotLeft, n % std::max(w.count, 1));
                     finger->phase_ = UITouchPhase::Moved;
                     chart.touchesMoved(touches, nullptr);
                 });
    state.counters["bars_in_view"] = w.count;
}
BENCHMARK(BM_KLineCrosshairMove)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
