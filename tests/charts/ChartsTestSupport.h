#pragma once
// Replies of the chart functions built in memory, a window on black for the
// chart views, pixel readers, and screenshots for a look by eye (written only
// when RD_SCREENSHOT_DIR names a folder).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/TCRSWriter.h"
#include "core/VTATCRS.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIView.h"
#include "tests/support/WindowTest.h"

using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

inline RecordSets parseSets(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets ? *sets : RecordSets{};
}

// A 31000/1 reply. Prices are texts ("10.25"); an empty text is no value.
struct IntradayReply {
    struct Row {
        std::string name = "平安银行", code = "000001";
        int market = 1, classId = 1;
        std::string last = "10.30", prevClose = "10.00", open = "10.05", high = "10.40", low = "9.90";
        std::string lastupd = "20240305103000";
    };
    struct Point {
        int hhmm;
        std::string price, average;
        int avol = 100;
        std::string volume = "12.5";
    };
    Row stock;
    std::optional<Row> index;
    std::vector<Point> points;
    std::vector<Point> indexPoints;
    bool withDetail = true;
    bool withIndexPoints = false;
    // Detail levels: asks sj1..sj5, bids bj1..bj5 and their volumes in shares.
    std::vector<std::string> asks{"10.31", "10.32", "10.33", "10.34", "10.35"};
    std::vector<std::string> bids{"10.30", "10.29", "10.28", "10.27", "10.26"};
    std::vector<long long> askVolumes{250, 99, 1000, 5000, 12345};
    std::vector<long long> bidVolumes{300, 400, 500, 600, 700};

    static Value price(const std::string& p) { return p.empty() ? Value() : Value(p); }

    static void headerFields(TCRSWriter& w) {
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
            .addField("lastupd", TCRSFieldType::VarText);
    }
    static void headerRow(TCRSWriter& w, const Row& r) {
        w.addRecord({r.name, r.code, r.market, r.classId, price(r.last), price(r.prevClose), price(r.open),
                     price(r.high), price(r.low), r.lastupd});
    }
    static void pointSet(TCRSWriter& w, const std::vector<Point>& points) {
        w.beginSet()
            .addField("tm", TCRSFieldType::Integer, 4)
            .addField("zjcj", TCRSFieldType::Packed)
            .addField("cjsl", TCRSFieldType::Packed)
            .addField("avol", TCRSFieldType::Integer, 4)
            .addField("cjjj", TCRSFieldType::Packed);
        for (const auto& p : points) w.addRecord({p.hhmm, price(p.price), p.volume, p.avol, price(p.average)});
    }

    std::vector<uint8_t> bytes() const {
        TCRSWriter w;
        headerFields(w);
        headerRow(w, stock);
        if (index) headerRow(w, *index);
        pointSet(w, points);
        if (withDetail || withIndexPoints) {
            w.beginSet();
            for (int k = 1; k <= 5; ++k) w.addField("sj" + std::to_string(k), TCRSFieldType::Packed);
            for (int k = 1; k <= 5; ++k) w.addField("bj" + std::to_string(k), TCRSFieldType::Packed);
            for (int k = 1; k <= 5; ++k) w.addField("sl" + std::to_string(k), TCRSFieldType::Integer, 4);
            for (int k = 1; k <= 5; ++k) w.addField("bl" + std::to_string(k), TCRSFieldType::Integer, 4);
            for (const char* f : {"zhd", "zdf", "cjjj", "cjsl", "cjje", "lb", "wb", "hsl", "syl", "zrsp"})
                w.addField(f, TCRSFieldType::Packed);
            std::vector<Value> row;
            for (const auto& a : asks) row.push_back(price(a));
            for (const auto& b : bids) row.push_back(price(b));
            for (long long v : askVolumes) row.push_back(v);
            for (long long v : bidVolumes) row.push_back(v);
            for (const char* v : {"0.30", "3.00", "10.12", "12.5", "1.3", "1.05", "-12.50", "0.85", "8.50", "10.00"})
                row.push_back(std::string(v));
            w.addRecord(row);
        }
        if (withIndexPoints) pointSet(w, indexPoints);
        return w.bytes();
    }
    RecordSets sets() const { return parseSets(bytes()); }

    // Points every two minutes from 9:30 up to and including `until` (HHMM),
    // skipping the lunch break: a slow wave of up to 8 cents around `from`.
    static std::vector<Point> day(int until, double from = 10.00, int decimals = 2) {
        std::vector<Point> out;
        const double p = from;
        for (int m = 570; m <= 900; m += 2) {
            if (m > 690 && m <= 780) continue;
            int hhmm = m / 60 * 100 + m % 60;
            if (hhmm > until) break;
            char buf[32];
            double wave = std::round(8 * std::sin(double(out.size()) / 6)) / 100;
            std::snprintf(buf, sizeof buf, "%.*f", decimals, p + wave);
            out.push_back({hhmm, buf, buf, 100 + int(out.size() % 7) * 100});
        }
        return out;
    }
};

// Saves an image for a look by eye (tests/support/Screenshots.h).
inline void saveChartShot(const UIImage& image, const std::string& name) { saveScreenshot(image, name); }

// Chart views on a black stage in the window, as the quote screens show them.
class ChartViewTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        stage = std::make_shared<UIView>(CGRectMake(0, 0, 320, 480));
        stage->setBackgroundColor(UIColor::blackColor());
        window->addSubview(stage);
    }
    void TearDown() override {
        stage.reset();
        WindowTest::TearDown();
    }
    // The stage rendered at 2x (saved as `shot` when screenshots are asked for).
    std::shared_ptr<UIImage> render(const std::string& shot = "") {
        auto img = stage->renderToImage(2);
        if (img && !shot.empty()) saveChartShot(*img, shot);
        return img;
    }
    // Whether a pixel is close to a colour (0..255 channels).
    static bool near(uint32_t p, int r, int g, int b, int tolerance = 40) {
        return std::abs(red(p) - r) <= tolerance && std::abs(green(p) - g) <= tolerance &&
               std::abs(blue(p) - b) <= tolerance;
    }
    // Pixels of a rectangle (points, sampled at 2x) brighter than `level` in any channel.
    static int inkIn(const UIImage& img, const CGRect& r, int level = 120) {
        int n = 0;
        for (double y = r.origin.y; y < CGRectGetMaxY(r); y += 0.5)
            for (double x = r.origin.x; x < CGRectGetMaxX(r); x += 0.5) {
                uint32_t p = pixel(img, x, y);
                if (red(p) > level || green(p) > level || blue(p) > level) ++n;
            }
        return n;
    }

    std::shared_ptr<UIView> stage;
};

// A 31000/2 reply: the header and bars with the fixed columns 0 to 13, then
// the indicator columns named as given.
struct KLineReply {
    struct Bar {
        std::string da, open, high, low, close;
        std::string volume = "120.5";   // 120.5万
        std::vector<std::string> tech;  // the indicator columns ("" no value)
        std::string ma5, ma10, ma30;
    };
    std::string name = "平安银行", code = "000001";
    int market = 1, classId = 1;
    std::vector<std::string> techColumns;
    std::vector<Bar> bars;

    static Value price(const std::string& p) { return p.empty() ? Value() : Value(p); }

    std::vector<uint8_t> bytes() const {
        TCRSWriter w;
        w.beginSet()
            .addField("name", TCRSFieldType::VarText)
            .addField("code", TCRSFieldType::VarText)
            .addField("exchid", TCRSFieldType::Integer, 4)
            .addField("classid", TCRSFieldType::Integer, 4)
            .addField("zjcj", TCRSFieldType::Packed)
            .addField("zrsp", TCRSFieldType::Packed);
        w.addRecord({name, code, market, classId, bars.empty() ? Value() : price(bars.back().close), "10.00"});
        w.beginSet().addField("da", TCRSFieldType::VarText);
        for (const char* f :
             {"jrkp", "zgcj", "zdcj", "zjcj", "cjsl", "cjje", "zrsp", "zhd", "zdf", "hsl", "ma5", "ma10", "ma30"})
            w.addField(f, TCRSFieldType::Packed);
        for (const auto& c : techColumns) w.addField(c, TCRSFieldType::Packed);
        std::string prev = "10.00";
        for (const auto& b : bars) {
            std::vector<Value> row{b.da,     price(b.open), price(b.high), price(b.low), price(b.close),
                                   b.volume, "3.2",         price(prev),   "0.10",       "1.00",
                                   "0.50",   price(b.ma5),  price(b.ma10), price(b.ma30)};
            for (const auto& t : b.tech) row.push_back(price(t));
            w.addRecord(row);
            prev = b.close;
        }
        return w.bytes();
    }
    RecordSets sets() const { return parseSets(bytes()); }

    // n daily bars from 2024-01-02 (weekdays), a gentle zigzag around 10.
    static std::vector<Bar> days(int n) {
        std::vector<Bar> out;
        int y = 2024, m = 1, d = 2;
        for (int i = 0; i < n; ++i) {
            double c = 10 + 0.4 * std::sin(i / 5.0) + (i % 2 ? 0.05 : -0.05);
            double o = 10 + 0.4 * std::sin((i - 1) / 5.0);
            char da[32], bo[16], bh[16], bl[16], bc[16];
            std::snprintf(da, sizeof da, "%04d%02d%02d", y, m, d);
            std::snprintf(bo, sizeof bo, "%.2f", o);
            std::snprintf(bc, sizeof bc, "%.2f", c);
            std::snprintf(bh, sizeof bh, "%.2f", std::max(o, c) + 0.08);
            std::snprintf(bl, sizeof bl, "%.2f", std::min(o, c) - 0.08);
            out.push_back({da, bo, bh, bl, bc});
            if (++d > 28) {
                d = 1;
                if (++m > 12) {
                    m = 1;
                    ++y;
                }
            }
        }
        return out;
    }
};
