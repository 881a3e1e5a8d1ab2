#pragma once
// The indicator sub-chart under the candles of the newer K-line chart:
// volume bars, MACD bars and lines, BOLL lines, SAR points, or up to five
// lines of any other indicator the server computes (the columns from 14 on),
// with the indicator's name in the top-left corner. It draws only what the
// chart hands it before each redraw and keeps nothing of its own.
//
// A range whose maximum is not above its minimum (all volumes 0, a single
// flat bar) draws only the name: there is no scale to draw on.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "charts/KLineSeries.h"
#include "core/VTAFloat.h"
#include "platform/uikit/UIView.h"

class ChartBackdrop;
class VTATCRS;
class UIColor;
using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

class CandlesticksTechIndexView : public UIView {
public:
    explicit CandlesticksTechIndexView(const CGRect& frame = CGRectZero);
    ~CandlesticksTechIndexView() override;
    std::string className() const override { return "CandlesticksTechIndexView"; }

    // What the chart sets before each redraw.
    struct Input {
        RecordSets quotesData;
        std::optional<VTAFloat> maxTechIndexValue, minTechIndexValue;
        std::optional<VTAFloat> maxBoundaryPrice, minBoundaryPrice;
        std::string currentTechIndex;  // "" for volume
        int candleWidth = 5;
        int fromCandleItemIndex = 0;
        bool operator==(const Input& o) const;
    };
    // The input for the bars in view of a K-line reply (set 1 the bars).
    static Input inputFor(const RecordSets& sets, const KLine::Window& window, const KLine::Range& priceRange,
                          const std::string& techName);
    const Input& input() const { return input_; }
    // Redraws only when something changed.
    void setInput(Input input);

    // The name shown: "VOL" for volume.
    std::string label() const { return input_.currentTechIndex.empty() ? "VOL" : input_.currentTechIndex; }
    // The colour of the n-th indicator line of an indicator drawn as lines.
    static std::shared_ptr<UIColor> lineColor(const std::string& techName, int n);

    void drawRect(const CGRect& rect) override;

    // One volume bar of the candle at x: outlined red for a rise, filled white
    // unchanged, cyan for a fall.
    void drawVolumeTechInRect(CGContext& ctx, const CGRect& rect, double volume, const VTAFloat& open,
                              const VTAFloat& close, double maxBoundary, double minBoundary, double bottomY,
                              double candleItemX, int candleWidth) const;
    // One MACD bar, 2 points wide, from the zero line to the value.
    void drawMACDTechInRect(CGContext& ctx, const CGRect& rect, const VTAFloat& value, double bottomY,
                            double candleItemX, int candleWidth) const;

private:
    void drawIndicator(CGContext& ctx);
    void drawVolume(CGContext& ctx, const CGRect& r, VTATCRS& bars) const;
    void drawMACD(CGContext& ctx, const CGRect& r, VTATCRS& bars) const;
    void drawSAR(CGContext& ctx, const CGRect& r, VTATCRS& bars) const;
    void drawLines(CGContext& ctx, const CGRect& r, VTATCRS& bars) const;
    double scale(const CGRect& r) const;
    CGRect macdBar(const CGRect& rect, const VTAFloat& value, double bottomY, double candleItemX,
                   int candleWidth) const;

    Input input_;
    VTAFloat max_, min_;  // the range of the draw in progress, in one unit
    std::unique_ptr<ChartBackdrop> backdrop_;
    bool pictureStale_ = true;
};
