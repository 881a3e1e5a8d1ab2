#pragma once
// The base of the older chart views (the intraday VTAFSView and the K-line
// VTAKXView), drawn on black. A chart view builds its own request text, reads
// the reply's record sets and draws them; its host screen sends the request
// (adding the stock's "code") and hands every reply back.
//
// When a touch sequence ends the view reports an action code to the host:
// 0 tap, 1 double tap, 2 and 3 horizontal swipes ending right or left of the
// start, 4 and 5 vertical swipes ending below or above, 6 and 7 horizontal
// pinch and spread, 8 and 9 vertical pinch and spread (ui/VTAView.h) with the
// first of its areas (price, volume, detail box, vertical bar, horizontal
// bar) that holds the starting point (a zero rectangle when none) and the
// starting point.
#include <memory>
#include <string>
#include <vector>

#include "core/RequestBuilder.h"
#include "ui/VTAView.h"

class VTAChartView;
class VTATCRS;
using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

class VTAChartViewDelegate {
public:
    virtual ~VTAChartViewDelegate() = default;
    // Answers whether the host took the action; the default takes none.
    virtual bool chartViewDoAction(VTAChartView& view, VTATouchAction action, const CGRect& rect, CGPoint point) {
        return false;
    }
};

class VTAChartView : public VTAView {
public:
    explicit VTAChartView(const CGRect& frame);
    ~VTAChartView() override;
    std::string className() const override { return "VTAChartView"; }

    // Not owned; the host clears it before it goes.
    void setChartDelegate(VTAChartViewDelegate* delegate) { chartDelegate_ = delegate; }
    VTAChartViewDelegate* chartDelegate() const { return chartDelegate_; }

    // The reply's sets as this view keeps them: the header, the points or
    // bars (setChartHQRS with null drops them), the detail of the intraday reply.
    const std::shared_ptr<VTATCRS>& baseHQRS() const { return baseHQRS_; }
    const std::shared_ptr<VTATCRS>& chartHQRS() const { return chartHQRS_; }
    void setChartHQRS(std::shared_ptr<VTATCRS> set);
    const std::shared_ptr<VTATCRS>& detailHQRS() const { return detailHQRS_; }
    // The stock, from the header.
    const std::string& stkName() const { return stkName_; }
    const std::string& stKCode() const { return stKCode_; }
    int stkMarketID() const { return stkMarketID_; }
    int stkClass() const { return stkClass_; }

    bool showCursor() const { return showCursor_; }
    void setShowCursor(bool show);
    // Puts the cursor on the point or bar under the point.
    virtual void setCursorIndexWithPoint(CGPoint point) = 0;
    int cursorIndex() const { return cursorIndex_; }

    // The areas of the chart (zero rectangles where a view has none).
    const CGRect& lineRect() const { return lineRect_; }
    const CGRect& cjlRect() const { return cjlRect_; }
    const CGRect& detailRect() const { return detailRect_; }
    const CGRect& verticalBarRect() const { return verticalBarRect_; }
    const CGRect& horizontalBarRect() const { return horizontalBarRect_; }

    // Redraws.
    void drawGraphics() { setNeedsDisplay(); }

    // The request of this chart for the function (the host adds "code").
    virtual RequestBuilder requestStringWithMFunc(int mainFunction, int subFunction) const = 0;
    // Takes the sets of a reply and redraws.
    virtual void parseHQData(const RecordSets& sets) = 0;
    // The screen title for the stock shown.
    virtual std::string abstractTitle() const = 0;

    void drawRect(const CGRect& rect) override;

protected:
    virtual void drawChartWithContext(CGContext& ctx) = 0;
    void doAction(VTATouchAction action, const VTATouchSequence& sequence) override;
    // Reports an action to the host with the area holding the point.
    bool reportAction(VTATouchAction action, CGPoint point);
    // Takes the header's stock fields.
    void readStock();
    // The cursor's box in the top-left corner of the price area: label and value rows.
    void drawCursorBox(CGContext& ctx, const std::vector<std::pair<std::string, std::string>>& rows) const;
    // The frame around the price and volume areas, with their divider.
    void drawPlotFrame(CGContext& ctx) const;
    // The cursor's cross through a point.
    void drawCursorLines(CGContext& ctx, double x, double y) const;

    std::shared_ptr<VTATCRS> baseHQRS_, chartHQRS_, detailHQRS_;
    std::string stkName_, stKCode_;
    int stkMarketID_ = 0, stkClass_ = 0;
    bool showCursor_ = false;
    int cursorIndex_ = -1;
    CGRect lineRect_{}, cjlRect_{}, detailRect_{}, verticalBarRect_{}, horizontalBarRect_{};

private:
    VTAChartViewDelegate* chartDelegate_ = nullptr;
};
