#pragma once
// The newer K-line (candlestick) chart of one stock, 320 points wide: the
// touched-bar box on top, the moving-average legend, candles with their
// three moving averages, the indicator sub-chart under them, and a row of
// periods at the bottom.
//
// It sends no requests: the host sends 31000/2 with the chart's period
// (currentCandlesticksType) and indicator (techIndexValueFromIndex of
// currentTechIndexType) and serves the parsed record sets through the data
// source, which the chart asks at every draw. When the customer picks another
// period or indicator the chart tells the delegate (changeTechIndex), which
// requests the bars again.
//
// Touches (one finger under 20 points of movement is a tap):
//   a tap tells the delegate (which shows or hides the crosshair), except a
//   tap on the indicator sub-chart while the crosshair is hidden, which steps
//   to the next indicator;
//   a double tap on the candles opens the intraday chart of that bar's day
//   (viewForHistory);
//   a drag moves the crosshair while it is shown;
//   a horizontal pinch or spread steps the zoom (narrower or wider candles);
//   a vertical pinch or spread steps the period back or on.
#include <memory>
#include <optional>
#include <string>

#include "charts/KLineSeries.h"
#include "ui/VTAView.h"

class CandlesticksChartView;
class ChartBackdrop;
class CandlesticksTechDataView;
class CandlesticksTechIndexView;
class CandlesticksTradeInfoView;
class QuotesHorizontalMeterView;
class QuotesMeterView;
class SVSegmentedControl;

class CandlesticksChartDataSource {
public:
    virtual ~CandlesticksChartDataSource() = default;
    // The record sets of the last 31000/2 reply: set 0 the header, set 1 the bars.
    virtual RecordSets quotesDataInCandlestickChartView(CandlesticksChartView& chart) = 0;
};

class CandlesticksChartDelegate {
public:
    virtual ~CandlesticksChartDelegate() = default;
    // A tap: the host shows or hides the crosshair.
    virtual void clickActionInCandlesticksView(CandlesticksChartView& chart) {}
    // The period or the indicator changed: the host requests the bars again.
    virtual void changeTechIndex(CandlesticksChartView& chart) {}
};

class CandlesticksChartView : public VTAView {
public:
    static constexpr CGRect kTradeInfoRect{{2, 2}, {316, 44}};
    static constexpr double kPlotLeft = 1.5, kPlotWidth = 317;

    explicit CandlesticksChartView(const CGRect& frame);
    ~CandlesticksChartView() override;
    std::string className() const override { return "CandlesticksChartView"; }

    // Not owned; the host clears them before it goes.
    void setDataSource(CandlesticksChartDataSource* dataSource) { dataSource_ = dataSource; }
    void setDelegate(CandlesticksChartDelegate* delegate) { chartDelegate_ = delegate; }

    // ---- period and indicator ----
    // The period code the request sends as "type".
    int currentCandlesticksType() const { return KLine::periodCode(periodIndex_); }
    int currentPeriodIndex() const { return periodIndex_; }
    // Sets the period (0 to 6) without telling the delegate.
    void setCurrentPeriodIndex(int index);
    int currentTechIndexType() const { return techIndexType_; }
    void setCurrentTechIndexType(int type);
    // The indicator name of a type ("" for volume) and back (0 for an unknown name).
    static std::string techIndexValueFromIndex(int type) { return KLine::techIndexName(type); }
    static int techIndexTypeFromValue(const std::string& name) { return KLine::techIndexType(name); }
    // Shows the indicator and tells the delegate.
    void scrollTechIndexViewToIndex(int type);
    int currentTechViewTag() const { return techViewTag_; }
    void setCurrentTechViewTag(int tag);

    int zoomStep() const { return zoomStep_; }
    void setZoomStep(int step);

    // ---- the crosshair ----
    bool isShowMeter() const { return isShowMeter_; }
    void showMeterView();
    void hideMeterView();
    // The bar under the crosshair (index into set 1), when shown.
    std::optional<int> meterBarIndex() const { return isShowMeter_ ? std::optional<int>(meterBar_) : std::nullopt; }

    // Opens the intraday chart of the day of the bar under the crosshair (or,
    // without it, of the last bar), modally over the application.
    void viewForHistory();

    // ---- what the last draw worked out ----
    CGRect candleRect() const;
    CGRect techRect() const;
    const KLine::Window& window() const { return window_; }
    const KLine::Range& priceRange() const { return priceRange_; }
    const RecordSets& quotesData() const { return quotesData_; }
    CandlesticksTradeInfoView& tradeInfoView() const { return *tradeInfoView_; }
    CandlesticksTechIndexView& techIndexView() const { return *techIndexView_; }
    CandlesticksTechDataView& techDataView() const { return *techDataView_; }
    SVSegmentedControl& periodControl() const { return *periodSeg_; }
    QuotesMeterView* quotesMeterView() const { return meterView_.get(); }
    QuotesHorizontalMeterView* quotesHorizontalMeterView() const { return horizontalMeterView_.get(); }

    void drawRect(const CGRect& rect) override;
    void layoutSubviews() override;
    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;

protected:
    void doAction(VTATouchAction action, const VTATouchSequence& sequence) override;

private:
    double frameBottom() const;
    VTATCRS* bars() const;
    void drawGrid(CGContext& ctx) const;
    void drawBackdrop(CGContext& ctx) const;
    void updateBoxes();
    void moveMeterTo(double x);
    void changePeriod(int index);
    void openHistoryOfBar(int index);

    CandlesticksChartDataSource* dataSource_ = nullptr;
    CandlesticksChartDelegate* chartDelegate_ = nullptr;
    std::shared_ptr<CandlesticksTradeInfoView> tradeInfoView_;
    std::shared_ptr<CandlesticksTechDataView> techDataView_;
    std::shared_ptr<CandlesticksTechIndexView> techIndexView_;
    std::shared_ptr<SVSegmentedControl> periodSeg_;
    std::shared_ptr<QuotesMeterView> meterView_;
    std::shared_ptr<QuotesHorizontalMeterView> horizontalMeterView_;

    int periodIndex_ = KLine::kDayPeriod;
    int techIndexType_ = 0;
    int techViewTag_ = 0;
    int zoomStep_ = KLine::kDefaultZoomStep;

    // What the kept picture of the grid, candles and scale was drawn from.
    struct PictureKey {
        std::vector<const void*> sets;
        int bars = -1;
        int from = 0, count = 0, candleWidth = 0;
        CGSize size{};
        std::optional<VTAFloat> max, min;
        bool operator==(const PictureKey&) const = default;
    };
    std::unique_ptr<ChartBackdrop> backdrop_;
    PictureKey pictureKey_;

    RecordSets quotesData_;
    KLine::Window window_;
    KLine::Range priceRange_;
    bool isShowMeter_ = false;
    int meterBar_ = 0;
    CGPoint touchBeginPoint_{};
};
