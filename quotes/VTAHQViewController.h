#pragma once
// The older chart screen of one stock ("fschart", "kxchart"): the intraday
// chart (VTAFSView, chart type 0) or the K-line chart (VTAKXView, 1), one at
// a time. The stock is the menu link's "code" ("fschart?code=000001.1");
// without it nothing is asked. The chart builds its request (31000/1 or
// 31000/2), the screen adds "&code=", sends it and hands the reply back; it
// is asked on every appearance, on "刷新", on the auto refresh (in trading
// hours, while "auto refresh" is on; every reply restarts its interval) and
// whenever the period, indicator or chart kind changes.
//
// What the chart's gestures do:
// - K-line: a tap on the candles shows or hides the cursor; a tap on the
//   volume area (cursor hidden) steps to the next indicator; a horizontal
//   pinch or spread changes the zoom step (4 then 0, 0 then 4), a vertical
//   one the period (5分钟 back to 月线, 月线 on to 5分钟) and asks again once
//   its 0.35 s animation has run. A double tap on a candle opens that day's
//   intraday chart (the chart itself does).
// - Intraday: a tap on the price area shows or hides the cursor; a double
//   tap or an upward swipe on the detail box (or a touch just above it) lays
//   the detailed quote panel over the screen ("隐藏", a double tap or a
//   downward swipe closes it); every reply refreshes the panel while shown.
//
// The toolbar: "选项" (an action sheet whose items depend on the chart and on
// whether the stock can be traded: the detailed quote screen, "加入自选",
// the period and indicator picker, buy and sell, the deal list, the overlay
// of the index, home), the stock finder, "分时"/"K线" (the other chart, with
// a flip), "F10" (the company information of the menu's "f10" item) and "刷新".
#include <memory>
#include <string>
#include <vector>

#include "charts/VTAChartView.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIPickerView.h"
#include "shell/VTAViewControllers.h"

class QZTabView;
class VTAFSView;
class VTAKXView;
class VTAXXJGView;

class VTAHQViewController : public VTAViewControllers,
                            public VTAChartViewDelegate,
                            public UIActionSheetDelegate,
                            public UIPickerViewDataSource,
                            public UIPickerViewDelegate {
public:
    static constexpr int kIntradayTag = 3111, kKLineTag = 3112;
    static constexpr int kPanelTag = 1001;
    static constexpr const char* kUnreadableText = "数据解析错误！";
    static constexpr const char* kTransitionKey = "transitionViewAnimation";
    static constexpr double kZoomSeconds = 0.35, kFlipSeconds = 0.55;
    // The animation types of reStoreView.
    enum AnimationType { kZoomIn = 4, kZoomOut = 5, kNextPeriod = 6, kPreviousPeriod = 7 };

    VTAHQViewController();
    ~VTAHQViewController() override;

    int chartType() const { return chartType_; }
    // Before the screen is shown: 0 intraday, 1 K-line.
    void setChartType(int type) { chartType_ = type; }

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void createToolbarItems() override;
    void onCommandRefresh() override { requestMarketInfo(); }
    void onCommandOption() override;

    // Builds the chart of the kind over the content view (1 K-line, 0 intraday, nothing else).
    void initWithChartType(int type);
    void requestMarketInfo();
    void registerAutoRefresh();
    void changeChartType();
    void onGGZX();
    void showXXJGView();
    void closeXXJG();
    void reStoreView(UIView& view, int actionType);
    // The period and indicator picker.
    void showIndexPicker();

    // ---- state (tests) ----
    VTAFSView* fsView() const { return chartView_.get(); }
    VTAKXView* kxView() const { return kChartView_.get(); }
    // The chart shown.
    VTAChartView* shownChart() const;
    VTAXXJGView* jgView() const { return jgView_.get(); }
    bool isPanelShown() const;
    QZTabView* indexPickerTab() const { return indexPickerTab_.get(); }
    UIPickerView* indexPicker() const { return picker_.get(); }
    UIActionSheet* optionSheet() const { return optionSheet_.get(); }
    // The items of the option sheet now, index 0 first.
    std::vector<std::string> optionItems() const;
    // The stock id of the link ("" when it names none).
    std::string stockId() const;

    bool chartViewDoAction(VTAChartView& view, VTATouchAction action, const CGRect& rect, CGPoint point) override;
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;
    int numberOfComponentsInPickerView(UIPickerView&) override { return 2; }
    int pickerViewNumberOfRowsInComponent(UIPickerView& picker, int component) override;
    std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) override;
    void pickerViewDidSelectRow(UIPickerView& picker, int row, int component) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void chartArrived(const RequestReply& reply);
    bool kLineAction(VTAKXView& chart, VTATouchAction action, const CGRect& rect, CGPoint point);
    bool intradayAction(VTAChartView& view, VTATouchAction action, const CGRect& rect, CGPoint point);
    void toggleCursor(VTAChartView& chart, CGPoint point);
    // Whether the chart's stock can be traded here (not an index, not Hong Kong).
    bool isNormalStock() const;
    std::shared_ptr<VTAStock> chartStock() const;
    void removeChart();

    int chartType_ = 0;
    std::shared_ptr<VTAFSView> chartView_;
    std::shared_ptr<VTAKXView> kChartView_;
    std::shared_ptr<VTAXXJGView> jgView_;
    std::vector<std::string> kxCircle_;
    std::shared_ptr<UIPickerView> picker_;
    std::shared_ptr<QZTabView> indexPickerTab_;
    std::shared_ptr<UIActionSheet> optionSheet_;
    std::vector<std::string> sheetItems_;
    // Keeps the animations' stop calls from reaching a screen that is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
