#include "trade/TradeQuotesPanel.h"

#include <cmath>

#include "charts/TradeTimeSharingView.h"
#include "core/RequestBuilder.h"
#include "core/VTAStock.h"
#include "core/contracts/QuoteContract.h"
#include "platform/foundation/NSTimer.h"
#include "platform/uikit/UIPageControl.h"
#include "shell/VTAViewControllers.h"
#include "trade/TradePositionView.h"

TradeQuotesPanel::TradeQuotesPanel(VTAViewControllers& screen, Layout layout, TradePositionViewDelegate* positions,
                                   VTAChartViewDelegate* chart)
    : screen_(screen), layout_(layout), positions_(positions), chart_(chart) {
    pageControl_ = std::make_shared<UIPageControl>(CGRectMake(0, layout_.dotsY, kPageWidth, 16));
    pageControl_->setNumberOfPages(2);
    pageControl_->setCurrentPage(0);
    pageControl_->setHidesForSinglePage(false);
    pageControl_->setUserInteractionEnabled(false);
    pageControl_->setBackgroundColor(UIColor::clearColor());
    screen_.bindRequest(kIntradayTag, [this](const RequestReply& r) { intradayArrived(r); });
}

TradeQuotesPanel::~TradeQuotesPanel() {
    unregisterAutoRefresh();
    if (scrollView_) scrollView_->setDelegate(nullptr);
    if (positionView_) positionView_->setDelegate(nullptr);
    if (timeSharingView_) timeSharingView_->setChartDelegate(nullptr);
}

void TradeQuotesPanel::setStock(std::shared_ptr<VTAStock> stock) {
    if (!stock_ || !stock || stock_->stockId() != stock->stockId()) freshHeld_ = false;
    stock_ = std::move(stock);
}

void TradeQuotesPanel::setLimits(std::optional<std::string> up, std::optional<std::string> down) {
    up_ = std::move(up);
    down_ = std::move(down);
    if (positionView_) {
        positionView_->setGoUpStaying(up_);
        positionView_->setFallStaying(down_);
    }
}

void TradeQuotesPanel::reloadScrollViews(UIView& row) {
    const double h = layout_.pageHeight;
    if (!scrollView_) {
        scrollView_ = std::make_shared<UIScrollView>(CGRectMake(0, layout_.pagerY, kPageWidth, h));
        scrollView_->setContentSize(CGSizeMake(2 * kPageWidth, h));
        scrollView_->setPagingEnabled(true);
        scrollView_->setShowsHorizontalScrollIndicator(false);
        scrollView_->setShowsVerticalScrollIndicator(false);
        // A swipe pages even when it starts on a level of the order book, a
        // tap reaches the level: the phone has the pager hold the touches
        // back until it knows which; here the pager takes a moving finger over.
        scrollView_->setDelaysContentTouches(true);
        scrollView_->setCanCancelContentTouches(true);
        scrollView_->setBackgroundColor(UIColor::clearColor());
        scrollView_->setDelegate(this);
        positionView_ = std::make_shared<TradePositionView>(CGRectMake(0, 0, kPageWidth, h));
        positionView_->setDelegate(positions_);
        positionView_->setGoUpStaying(up_);
        positionView_->setFallStaying(down_);
        timeSharingView_ = std::make_shared<TradeTimeSharingView>(CGRectMake(kPageWidth, 0, kPageWidth, h));
        timeSharingView_->setChartDelegate(chart_);
        // What came before the panel was first opened shows at once.
        timeSharingView_->parseHQData(lastSets_);
        positionView_->setPositionsWithArray(lastSets_);
    }
    scrollView_->addSubview(positionView_);
    scrollView_->addSubview(timeSharingView_);
    row.addSubview(scrollView_);
    row.addSubview(pageControl_);
}

void TradeQuotesPanel::requestTimeSharingChartData() {
    if (!stock_) return;
    namespace Key = QuoteContract::Key;
    RequestBuilder q(QuoteContract::kIntraday);
    q.add(Key::kFreq, 2)
        .add(Key::kAddUp, 0)
        .add(Key::kTime, 0)
        .add(Key::kDate, 0)
        .add(Key::kMaxVol, 999999999LL)
        .add(Key::kCode, stock_->stockId());
    screen_.sendRequest(kIntradayTag, q, 3);
}

void TradeQuotesPanel::registerAutoRefresh() {
    if (!stock_) return;
    screen_.setAutoRequestTimer(NSTimer::scheduledTimerWithTimeInterval(
        kRefreshSeconds, [this](NSTimer&) { autoRefreshAction(); }, true));
}

void TradeQuotesPanel::unregisterAutoRefresh() { screen_.setAutoRequestTimer(nullptr); }

bool TradeQuotesPanel::isRefreshing() const {
    return screen_.autoRequestTimer() && screen_.autoRequestTimer()->isValid();
}

void TradeQuotesPanel::intradayArrived(const RequestReply& reply) {
    if (reply.cached && freshHeld_) return;
    if (!reply.cached) freshHeld_ = true;
    lastSets_ = reply.sets;
    if (timeSharingView_) timeSharingView_->parseHQData(reply.sets);
    if (positionView_) positionView_->setPositionsWithArray(reply.sets);
}

void TradeQuotesPanel::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
    const double width = scrollView.bounds().size.width;
    const double x = scrollView.contentOffset().x;
    if (width > 0) pageControl_->setCurrentPage(static_cast<int>(std::fabs(x) / width));
    scrollView.setContentOffset(CGPointMake(std::ceil(x / kPageWidth) * kPageWidth, scrollView.contentOffset().y));
}
