// Frame time of a quote-list screen drawn with the graphics layer: 320x480 points
// at 2x, 20 rows x 5 columns of numbers and Chinese names, grid lines, a header
// gradient and a shadowed title. The frame budget is 16.7 ms (60 frames/s).
#include "platform/graphics/CGContext.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIImage.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const kNames[] = {"浦发银行", "白云机场", "东风汽车", "中国国贸", "首创股份", "上海机场", "包钢股份",
                              "华能国际", "皖通高速", "华夏银行", "民生银行", "日照港",   "上港集团", "宝钢股份",
                              "中原高速", "上海电力", "山东钢铁", "浙能电力", "中海发展", "招商银行"};

struct Row {
    std::string name, code, price, change, percent;
    bool up;
};

std::vector<Row> makeRows() {
    std::vector<Row> rows;
    for (int i = 0; i < 20; ++i) {
        char code[16], price[16], change[16], percent[16];
        double p = 5.0 + i * 1.37;
        double c = ((i * 37) % 11 - 5) * 0.07;
        std::snprintf(code, sizeof code, "%06d", 600000 + i * 7);
        std::snprintf(price, sizeof price, "%.2f", p);
        std::snprintf(change, sizeof change, "%+.2f", c);
        std::snprintf(percent, sizeof percent, "%+.2f%%", c / p * 100);
        rows.push_back({kNames[i], code, price, change, percent, c >= 0});
    }
    return rows;
}

void drawScreen(CGContext& ctx, const std::vector<Row>& rows) {
    const double W = 320, H = 480, top = 44 + 24, rowH = 20.5;
    ctx.setFillColor(0.08, 0.08, 0.1, 1);
    ctx.fillRect(CGRectMake(0, 0, W, H));

    // Navigation bar with a gradient and a shadowed title.
    ctx.saveGState();
    ctx.clipToRect(CGRectMake(0, 0, W, 44));
    ctx.drawLinearGradient({UIColor::colorWithRed(0.25, 0.3, 0.45, 1), UIColor::colorWithRed(0.1, 0.12, 0.2, 1)}, {},
                           CGPointMake(0, 0), CGPointMake(0, 44));
    ctx.restoreGState();
    static auto titleFont = UIFont::boldSystemFontOfSize(20);
    ctx.saveGState();
    ctx.setShadow(CGSizeMake(0, -1), 0, UIColor::blackColor());
    ctx.setFillColor(1, 1, 1, 1);
    drawString("沪深行情", CGRectMake(0, 10, W, 24), *titleFont, UILineBreakMode::TailTruncation,
               UITextAlignment::Center);
    ctx.restoreGState();

    static auto headFont = UIFont::systemFontOfSize(13);
    static auto nameFont = UIFont::systemFontOfSize(15);
    static auto numFont = UIFont::fontWithName("Arial", 15);
    const double colX[] = {4, 78, 144, 204, 262};
    const double colW[] = {72, 62, 56, 54, 54};
    const char* heads[] = {"名称", "代码", "最新", "涨跌", "涨跌幅"};
    ctx.setFillColor(0.7, 0.7, 0.7, 1);
    for (int c = 0; c < 5; ++c)
        drawString(heads[c], CGRectMake(colX[c], 48, colW[c], 16), *headFont, UILineBreakMode::TailTruncation,
                   c == 0 ? UITextAlignment::Left : UITextAlignment::Right);

    for (size_t r = 0; r < rows.size(); ++r) {
        double y = top + r * rowH;
        const Row& row = rows[r];
        ctx.setFillColor(0.95, 0.95, 0.95, 1);
        double actual = 0;
        drawStringAtPoint(row.name, CGPointMake(colX[0], y), colW[0], *nameFont, 10, &actual,
                          UILineBreakMode::TailTruncation);
        ctx.setFillColor(0.8, 0.8, 0.5, 1);
        drawString(row.code, CGRectMake(colX[1], y, colW[1], rowH), *numFont, UILineBreakMode::Clip,
                   UITextAlignment::Right);
        if (row.up)
            ctx.setFillColor(1, 0.2, 0.2, 1);
        else
            ctx.setFillColor(0.2, 0.9, 0.2, 1);
        drawString(row.price, CGRectMake(colX[2], y, colW[2], rowH), *numFont, UILineBreakMode::TailTruncation,
                   UITextAlignment::Right);
        drawString(row.change, CGRectMake(colX[3], y, colW[3], rowH), *numFont, UILineBreakMode::TailTruncation,
                   UITextAlignment::Right);
        drawString(row.percent, CGRectMake(colX[4], y, colW[4], rowH), *numFont, UILineBreakMode::TailTruncation,
                   UITextAlignment::Right);
    }

    // Grid: row separators and a dashed column line.
    ctx.setStrokeColor(0.3, 0.3, 0.35, 1);
    ctx.setLineWidth(0.5);
    std::vector<CGPoint> seg;
    for (size_t r = 0; r <= rows.size(); ++r) {
        double y = top + r * rowH - 0.25;
        seg.push_back(CGPointMake(0, y));
        seg.push_back(CGPointMake(W, y));
    }
    ctx.strokeLineSegments(seg);
    ctx.saveGState();
    ctx.setLineDash(0, {3, 2});
    ctx.strokeLineSegments({CGPointMake(140, top), CGPointMake(140, top + rows.size() * rowH)});
    ctx.restoreGState();
}

void BM_RenderQuoteScreen(benchmark::State& state) {
    std::vector<Row> rows = makeRows();
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(320, 480), true, 2);
    CGContext* ctx = UIGraphicsGetCurrentContext();
    double totalMs = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        drawScreen(*ctx, rows);
        cairo_surface_flush(cairo_get_target(ctx->cairo()));
        totalMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    }
    if (const char* path = std::getenv("RD_BENCH_RENDER_PNG"))
        if (auto img = UIGraphicsGetImageFromCurrentImageContext()) img->writePNG(path);
    UIGraphicsEndImageContext();
    state.counters["frame_ms"] = state.iterations() ? totalMs / double(state.iterations()) : 0.0;
    state.counters["budget_ms"] = 16.7;
}
BENCHMARK(BM_RenderQuoteScreen)->Unit(benchmark::kMillisecond);

// Measuring alone (what table layout does before drawing): one screen of cells.
void BM_MeasureQuoteCells(benchmark::State& state) {
    std::vector<Row> rows = makeRows();
    auto font = UIFont::systemFontOfSize(15);
    for (auto _ : state) {
        double total = 0;
        for (const Row& r : rows)
            for (const std::string* s : {&r.name, &r.code, &r.price, &r.change, &r.percent})
                total += sizeWithFont(*s, *font, 60, UILineBreakMode::TailTruncation).width;
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_MeasureQuoteCells)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
