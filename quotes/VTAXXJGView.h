#pragma once
// The detailed quote panel, on black: the last price in large type, change
// and change percent, nine labelled values in the left column; the five ask
// and five bid levels with volume bars, the total volume and the amount in
// the right column; twelve rows in all.
//
// parseHQData takes one set (a snapshot: header and values from it) or two
// (the chart host's intraday reply: the header set 0 and the detail set 2;
// name, code, market, class and the prices of the header from the first).
//
// The ten level rows are buttons (tags 10 to 19, top down): a touch on an
// ask level opens a buy order at its price, on a bid level a sell order at
// its price, through the trade gate. They are disabled for an index and for
// markets 0 and 3. The panel reports its gestures to its chart delegate (the
// chart host closes it on a double tap or a downward swipe).
#include <memory>
#include <string>
#include <vector>

#include "charts/VTAChartView.h"

class UIButton;
class UIColor;

class VTAXXJGView : public VTAChartView {
public:
    static constexpr int kRows = 12;
    static constexpr int kFirstButtonTag = 10;

    explicit VTAXXJGView(const CGRect& frame);
    ~VTAXXJGView() override;
    std::string className() const override { return "VTAXXJGView"; }

    // The panel builds no request of its own (its screens do).
    RequestBuilder requestStringWithMFunc(int mainFunction, int subFunction) const override;
    void parseHQData(const RecordSets& sets) override;
    // "详细报价-<name>".
    std::string abstractTitle() const override;
    void setCursorIndexWithPoint(CGPoint) override {}

    // The level button of the tag (10 to 19); null for another tag.
    UIButton* levelButton(int tag) const;
    // A touch on a level button: the order screen for the level's price.
    void quickTradeAction(UIButton& button);

    // The font size of the last price for its text on this panel (0 for no text).
    double lastPriceFontSize(const std::string& text) const;

    // What the left column shows under the last price, in its order: the
    // change and the change percent (no label; "+" unless the change is
    // negative), then the nine labelled rows ("今 开：" ... "市盈率："), each
    // value in its colour. Empty without data.
    struct ColumnRow {
        std::string label, value;
        std::shared_ptr<UIColor> color;
    };
    std::vector<ColumnRow> leftColumnRows() const;
    // What the right column shows under the ten levels: "总手：" with the
    // total volume and "金额：" with the amount, both in money form ("万",
    // "亿"), the volume in the volume colour, the amount flat. Empty without data.
    std::vector<ColumnRow> totalRows() const;

protected:
    void drawChartWithContext(CGContext& ctx) override;

private:
    // The header's set: baseHQRS when given, else chartHQRS.
    VTATCRS* headerSet() const;
    // The stock of the header; the level buttons follow whether it can be traded.
    void takeStock();
    void drawLeftColumn(CGContext& ctx, double x, double y, double r, double L);
    void drawLevels(CGContext& ctx, double x, double y, double w, double r, double L, double R);

    std::vector<std::shared_ptr<UIButton>> buttons_;  // sb5..sb1 then bb1..bb5, top down
};
