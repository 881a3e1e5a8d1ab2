#pragma once
// The newer intraday (time-sharing) chart of one stock, 320 points wide: the
// day's price line in 2-minute steps, the running average, an optional index
// overlay, volume bars and time labels; on the right a side panel that
// switches between the five bid and ask levels (with buttons that open an
// order at a level's price) and a quote summary; above, the touched-point box;
// and a crosshair the customer moves along the day.
//
// It sends no requests: the host sends 31000/1 and serves the parsed record
// sets through the data source, which the chart asks at every draw. The
// chart fills the gaps of the day into those sets (IntradaySeries.h), once:
// drawing again adds nothing.
//
// Touches: a single tap inside the plot (x up to 228, moving under 20 points)
// tells the delegate, which shows or hides the crosshair; while it is shown a
// one-finger drag moves it, never past the end of the drawn line.
#include <array>
#include <memory>
#include <optional>

#include "charts/IntradaySeries.h"
#include "platform/uikit/UIView.h"

class QuotesHorizontalMeterView;
class QuotesMeterView;
class SVSegmentedControl;
class TimeTrendChartView;
class TradeInfoView;
class UIButton;
class UIColor;
class UIControl;
class UISegmentedControl;

class TimeTrendChartDataSource {
public:
    virtual ~TimeTrendChartDataSource() = default;
    // The record sets of the last 31000/1 reply (empty when none yet).
    virtual RecordSets quotesDataInTimeTrendChartView(TimeTrendChartView& chart) = 0;
    // Part of the protocol; the chart never sends it.
    virtual void timeTrendChartViewDataSet(TimeTrendChartView& chart, const RecordSets& sets) {}
};

class TimeTrendChartDelegate {
public:
    virtual ~TimeTrendChartDelegate() = default;
    // A single tap inside the plot; the host shows or hides the crosshair.
    virtual void clickActionInTimeTrendView(TimeTrendChartView& chart) {}
};

class TimeTrendChartView : public UIView {
public:
    // The fixed layout, in the chart's own points.
    static constexpr CGRect kFrameRect{{0.5, 47}, {319, 284}};
    static constexpr CGRect kPriceRect{{1.5, 48}, {228, 176}};
    static constexpr CGRect kVolumeRect{{1.5, 224}, {228, 90}};
    static constexpr CGRect kTimeRect{{1.5, 314}, {228, 24}};
    static constexpr CGRect kSidePanelRect{{232, 48}, {86, 284}};
    static constexpr CGRect kTradeInfoRect{{2, 2}, {316, 44}};
    static constexpr CGRect kMeterRect{{0, 48}, {228, 271}};
    static constexpr CGRect kHorizontalMeterRect{{1, 48}, {228, 176}};
    static constexpr int kFirstOrderButtonTag = 1001;
    static constexpr const char* kBuyLink = "buysale?MMLB=0";
    static constexpr const char* kBuyTitle = "买入委托";
    static constexpr const char* kSellLink = "buysale?MMLB=1";
    static constexpr const char* kSellTitle = "卖出委托";

    explicit TimeTrendChartView(const CGRect& frame);
    ~TimeTrendChartView() override;
    std::string className() const override { return "TimeTrendChartView"; }

    // Not owned; the host clears them before it goes.
    void setDataSource(TimeTrendChartDataSource* dataSource) { dataSource_ = dataSource; }
    void setDelegate(TimeTrendChartDelegate* delegate) { delegate_ = delegate; }

    bool isNeedOverlay() const { return isNeedOverlay_; }
    void setIsNeedOverlay(bool overlay) { isNeedOverlay_ = overlay; }

    bool isShowMeter() const { return isShowMeter_; }
    void showMeterView();
    void hideMeterView();

    // What the last draw worked out.
    const RecordSets& quotesData() const { return quotesData_; }
    const IntradayScale& scale() const { return scale_; }
    int maxPoints() const { return maxPoints_; }
    int stockMarketId() const { return stockMarketId_; }
    int stockClassId() const { return stockClassId_; }
    const std::string& stockName() const { return stockName_; }
    const std::string& stockSymbol() const { return stockSymbol_; }
    // Where the drawn price line ends.
    double currentMaxTimeTrendWidth() const { return currentMaxTimeTrendWidth_; }
    std::optional<int> meterIndex() const { return isShowMeter_ ? lastMeterIndex_ : std::optional<int>(); }

    // The side panel: the five levels (YES) or the quote summary.
    bool isPosition() const { return isPosition_; }
    UIButton* orderButton(int tag) const;
    // The panel switch (a segmented control with a sliding thumb, or the
    // plain one below system version 4.0) and its selected segment.
    UIControl* quotesInfoSeg() const;
    int quotesInfoSegIndex() const;

    TradeInfoView& tradeInfoView() const { return *tradeInfoView_; }
    QuotesMeterView* quotesMeterView() const { return quotesMeterView_.get(); }
    QuotesHorizontalMeterView* quotesHorizontalMeterView() const { return quotesHorizontalMeterView_.get(); }

    void drawRect(const CGRect& rect) override;
    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;

private:
    // ---- the plot ----
    void drawRectLayout(CGContext& ctx) const;
    void boundaryValueFromQuotesData();
    void drawGrids(CGContext& ctx) const;
    void drawTimeInfoInRect(CGContext& ctx, const CGRect& rect) const;
    void drawTimeTrendChartInRect(CGContext& ctx, const CGRect& rect);
    void drawScaleLabels(CGContext& ctx, const CGRect& rect) const;
    void drawMarketIndexOverlayInRect(CGContext& ctx, const CGRect& rect) const;
    void updateTradeInfo(std::optional<int> index);
    void moveMeterTo(double x);

    // ---- the side panel ----
    void initPositionButtonsInRect(const CGRect& rect);
    void initQuotesInfoSeg();
    void btnAction(int tag);
    void segmentChanged(int index);
    void setQuotesInfoSegIsInit(bool isInit);
    void updateOrderButtons();
    void drawPositionInRect(CGContext& ctx, const CGRect& rect);
    void drawQuotesInfoInRect(CGContext& ctx, const CGRect& rect) const;
    void setButtonResult(UIButton& button, int result);

    TimeTrendChartDataSource* dataSource_ = nullptr;
    TimeTrendChartDelegate* delegate_ = nullptr;
    std::shared_ptr<TradeInfoView> tradeInfoView_;
    std::shared_ptr<QuotesMeterView> quotesMeterView_;
    std::shared_ptr<QuotesHorizontalMeterView> quotesHorizontalMeterView_;
    std::shared_ptr<SVSegmentedControl> quotesInfoSeg_;
    std::shared_ptr<UISegmentedControl> oldQuotesInfoSeg_;
    std::array<std::shared_ptr<UIButton>, 10> orderButtons_;
    std::array<int, 10> buttonResults_{};
    bool isPosition_ = false;
    bool isRefreshFromSegmentAction_ = false;

    RecordSets quotesData_;
    std::string stockName_, stockSymbol_;
    int stockMarketId_ = 0;
    int stockClassId_ = 0;
    int maxPoints_ = 120;
    IntradaySession session_;
    bool isNeedOverlay_ = false;
    IntradayScale scale_;
    double currentMaxTimeTrendWidth_ = 0;

    CGPoint meterPoint_{}, touchBeginPoint_{};
    bool isShowMeter_ = false;
    int lastMeterIndex_ = 0;
};
