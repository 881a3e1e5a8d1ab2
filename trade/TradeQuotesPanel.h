#pragma once
// The quote panel an order screen opens under its price row (the stock order
// screen; the margin order screen is its twin): two pages in a pager, the
// five-level order book (TradePositionView) and the small intraday chart
// (TradeTimeSharingView), with page dots, fed by the stock's intraday data
// (31000/1, tag 1501, request type 3) every 2 seconds while the screen runs
// the refresh, whatever the time of day.
//
// The panel sends and receives through its screen (its RequestBinding) and
// runs the refresh on the screen's auto-request timer, which stops when the
// screen leaves. Both the fresh reply and the request service's cached copy
// feed the two pages; a cached copy no longer does once a fresh reply of the
// stock is held.
//
//   panel_ = std::make_unique<TradeQuotesPanel>(*this, TradeQuotesPanel::kOrderScreenLayout);
//   panel_->setStock(stock);          // what the requests ask for
//   panel_->reloadScrollViews(*cell); // the pager and dots into the open price row
//   panel_->registerAutoRefresh();    // a request every 2 s
#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/UIScrollView.h"
#include "shell/RequestBinding.h"

class TradePositionView;
class TradePositionViewDelegate;
class TradeTimeSharingView;
class UIPageControl;
class UIView;
class VTAChartViewDelegate;
class VTAStock;
class VTAViewControllers;

class TradeQuotesPanel : public UIScrollViewDelegate {
public:
    static constexpr int kIntradayTag = 1501;
    static constexpr double kRefreshSeconds = 2.0;
    static constexpr double kPageWidth = 300;
    // Where the pager and the dots stand in the open row, and the pages' height.
    struct Layout {
        double pagerY, pageHeight, dotsY;
    };
    static constexpr Layout kOrderScreenLayout{48, 192, 236};
    static constexpr Layout kMarginScreenLayout{44, 160, 204};

    // The screen sends the requests and hears the taps on the order book
    // (positions) and the chart (chart); neither is owned.
    TradeQuotesPanel(VTAViewControllers& screen, Layout layout, TradePositionViewDelegate* positions,
                     VTAChartViewDelegate* chart);
    ~TradeQuotesPanel() override;
    TradeQuotesPanel(const TradeQuotesPanel&) = delete;
    TradeQuotesPanel& operator=(const TradeQuotesPanel&) = delete;

    // The stock the requests ask for (null: none yet).
    void setStock(std::shared_ptr<VTAStock> stock);
    const std::shared_ptr<VTAStock>& stock() const { return stock_; }
    // The limit prices the order book shows in its last row.
    void setLimits(std::optional<std::string> up, std::optional<std::string> down);

    // Makes the pager and its pages once, and puts the pager and the dots into the row's view.
    void reloadScrollViews(UIView& row);
    // Sends the intraday request of the stock (nothing without one).
    void requestTimeSharingChartData();
    // (Re)starts the 2-second refresh (nothing without a stock); stops it.
    void registerAutoRefresh();
    void unregisterAutoRefresh();
    bool isRefreshing() const;
    void autoRefreshAction() { requestTimeSharingChartData(); }

    UIPageControl* pageControl() const { return pageControl_.get(); }
    // Null until the panel was first opened.
    UIScrollView* scrollView() const { return scrollView_.get(); }
    TradePositionView* positionView() const { return positionView_.get(); }
    TradeTimeSharingView* timeSharingView() const { return timeSharingView_.get(); }

    // Page tracking: the dots follow the page, the pager snaps to whole pages.
    void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;

private:
    void intradayArrived(const RequestReply& reply);

    VTAViewControllers& screen_;
    Layout layout_;
    TradePositionViewDelegate* positions_;
    VTAChartViewDelegate* chart_;
    std::shared_ptr<VTAStock> stock_;
    bool freshHeld_ = false;
    RecordSets lastSets_;
    std::optional<std::string> up_, down_;
    std::shared_ptr<UIPageControl> pageControl_;
    std::shared_ptr<UIScrollView> scrollView_;
    std::shared_ptr<TradePositionView> positionView_;
    std::shared_ptr<TradeTimeSharingView> timeSharingView_;
};
