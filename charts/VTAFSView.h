#pragma once
// The older intraday (time-sharing) chart, on black: a title strip with the
// stock and its price, the price line and average in the price area, the
// index overlay when the setting "fschart dj set" is on, volume bars, time
// labels and a detail box of the day's figures at the bottom. The host's
// taps show a cursor with the values of the point under it.
//
// A touch on the spot above the detail box's top-left corner opens the host's
// detail panel (the view reports a double tap on the detail box itself); a
// past day's chart (setIsHistory) takes no taps on its detail areas.
#include "charts/IntradaySeries.h"
#include "charts/VTAChartView.h"

class VTAFSView : public VTAChartView {
public:
    static constexpr const char* kOverlaySetting = "fschart dj set";

    explicit VTAFSView(const CGRect& frame);
    std::string className() const override { return "VTAFSView"; }

    RequestBuilder requestStringWithMFunc(int mainFunction, int subFunction) const override;
    void parseHQData(const RecordSets& sets) override;
    // "分时-<name>".
    std::string abstractTitle() const override;
    void setCursorIndexWithPoint(CGPoint point) override;

    bool isHistory() const { return isHistory_; }
    void setIsHistory(bool history) { isHistory_ = history; }
    // True when the touch hit the spot above the detail box; the view then
    // reports the double tap on the detail box itself.
    bool touchSpecelWithPoint(CGPoint point);

    // The sets drawn: header, points, detail and index points.
    RecordSets quotesData() const;
    const IntradayScale& scale() const { return scale_; }
    int maxPoints() const { return session_.maxPoints(); }

    void layoutSubviews() override;

protected:
    void drawChartWithContext(CGContext& ctx) override;
    void doAction(VTATouchAction action, const VTATouchSequence& sequence) override;

private:
    void drawTitle(CGContext& ctx) const;
    void drawFrame(CGContext& ctx) const;
    void drawLabels(CGContext& ctx) const;
    void drawDetail(CGContext& ctx) const;
    void drawCursor(CGContext& ctx) const;

    std::shared_ptr<VTATCRS> overlayHQRS_;
    IntradaySession session_;
    IntradayScale scale_;
    bool isHistory_ = false;
};
