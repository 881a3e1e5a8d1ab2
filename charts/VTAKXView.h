#pragma once
// The older K-line chart, on black: candles with their moving averages over
// the chosen indicator (volume by default), in one of seven periods and five
// zoom steps. The host changes the period (typeIndex), the indicator
// (techName, a key of techDictionary) and the zoom step (itemIndex) and sends
// the chart's request again; with bars held the request asks only for the
// latest ones, which replace or extend what is held.
//
// A double tap on the candles opens the intraday chart of the day of the bar
// under the cursor (or under the finger).
#include "charts/KLineSeries.h"
#include "charts/VTAChartView.h"

class CandlesticksTechIndexView;

class VTAKXView : public VTAChartView {
public:
    static constexpr const char* kTechSetting = "kx dj type";
    // Bars a request asks for: a whole chart, or the latest when bars are held.
    static constexpr int kFullCount = 320, kUpdateCount = 2;

    explicit VTAKXView(const CGRect& frame);
    ~VTAKXView() override;
    std::string className() const override { return "VTAKXView"; }

    RequestBuilder requestStringWithMFunc(int mainFunction, int subFunction) const override;
    void parseHQData(const RecordSets& sets) override;
    // "K线-<name>".
    std::string abstractTitle() const override;
    void setCursorIndexWithPoint(CGPoint point) override;

    // Indicator names ("" volume, "MACD", ...) to their labels, in order.
    static const VTADictionary<std::string, std::string>& techDictionary() { return KLine::techDictionary(); }
    const std::string& techName() const { return techName_; }
    void setTechName(const std::string& name);
    // The period, 0 to 6: 5, 15, 30, 60 minutes, day, week, month.
    int typeIndex() const { return typeIndex_; }
    void setTypeIndex(int index);
    // The zoom step, 0 to 4.
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    // Works out the bars in view for the zoom step and redraws.
    void computationFrame();
    const KLine::Window& window() const { return window_; }
    CandlesticksTechIndexView& techIndexView() const { return *techIndexView_; }

    // Opens the intraday chart of the day of the bar under the cursor (the
    // last bar without one).
    void viewForHistory();

    void layoutSubviews() override;

protected:
    void drawChartWithContext(CGContext& ctx) override;
    void doAction(VTATouchAction action, const VTATouchSequence& sequence) override;

private:
    void mergeBars(const std::shared_ptr<VTATCRS>& fresh);
    void openHistoryOfBar(int index);

    std::shared_ptr<CandlesticksTechIndexView> techIndexView_;
    std::string techName_;
    int typeIndex_ = KLine::kDayPeriod;
    int itemIndex_ = KLine::kDefaultZoomStep;
    KLine::Window window_;
    KLine::Range priceRange_;
};
