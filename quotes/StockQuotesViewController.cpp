#include "quotes/StockQuotesViewController.h"

#include <algorithm>
#include <cmath>

#include "core/MenuFunctions.h"
#include "core/RequestBuilder.h"
#include "core/VTAMessage.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/NewsContract.h"
#include "core/contracts/QuoteContract.h"
#include "core/storage/DaoFactory.h"
#include "core/storage/PortfolioDaoImpl.h"
#include "net/AddMyStockSync.h"
#include "platform/foundation/NSBundle.h"
#include "platform/foundation/NSTimer.h"
#include "platform/graphics/UIColor.h"
#include "platform/graphics/UIFont.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIWindow.h"
#include "quotes/QuotesInfoRadarPopView.h"
#include "quotes/TransactionDetailsViewController.h"
#include "shell/VTAListViewController.h"
#include "ui/Alerts.h"
#include "ui/QuotesPageControl.h"
#include "ui/SVProgressHUD.h"
#include "ui/VTAView.h"

namespace {

constexpr double kErrorDismissSeconds = 1.75;
constexpr double kSuccessDismissSeconds = 1.0;
constexpr const char* kUnreadableText = "数据解析错误";

std::shared_ptr<PortfolioDaoImpl> portfolio() { return DaoFactory::sharedInstance().portfolioDao(); }

bool storedInPortfolio(const VTAStock& stock) {
    auto dao = portfolio();
    return dao && dao->existStockWithSymbol(stock.code(), stock.marketID());
}

// The paged area. A gesture of two fingers on a page is the page's own (the
// K-line zooms with a pinch): the pages take over a one-finger drag only, so a
// spread cannot turn the page under it.
class PagedArea : public UIScrollView {
public:
    using UIScrollView::UIScrollView;
    bool touchesShouldCancelInContentView(UIView* view) const override {
        for (UIView* v = view; v && v != this; v = v->superview())
            if (auto* surface = dynamic_cast<VTAView*>(v); surface && surface->fingersInSequence() > 1) return false;
        return true;
    }
};

}  // namespace

// ---------------------------------------------------------------- creation

StockQuotesViewController::StockQuotesViewController(std::shared_ptr<VTAStock> stock)
    : currentStock_(std::move(stock)) {
    commonInit();
}

StockQuotesViewController::StockQuotesViewController(std::vector<std::shared_ptr<VTAStock>> stocks, int index)
    : availableStocks_(std::move(stocks)) {
    availableStocks_.erase(std::remove(availableStocks_.begin(), availableStocks_.end(), nullptr),
                           availableStocks_.end());
    hasArrows_ = !availableStocks_.empty();
    if (!availableStocks_.empty()) {
        currentStockIndex_ = std::clamp(index, 0, static_cast<int>(availableStocks_.size()) - 1);
        currentStock_ = availableStocks_[currentStockIndex_];
    }
    commonInit();
}

void StockQuotesViewController::commonInit() {
    if (!currentStock_) currentStock_ = std::make_shared<VTAStock>();
    isInPortfolio_ = storedInPortfolio(*currentStock_);
    // The trend chart reads it when it is made.
    VTAUserDefoult::standerDefoult().setString(std::to_string(currentStock_->marketID()), "hkmarket");
    setTitle(currentStock_->name());

    bindRequest(kTimeTrendTag, [this](const RequestReply& r) { timeTrendArrived(r); });
    bindRequest(kCandlesticksTag, [this](const RequestReply& r) { candlesticksArrived(r); });
    bindRequest(kTradeDetailTag, [this](const RequestReply& r) { tradeDetailArrived(r); });
    bindRequest(kMarketIndexTag, [this](const RequestReply& r) { marketIndexArrived(r); });
    bindRequest(kInfoRadarTag, [this](const RequestReply& r) { infoRadarArrived(r); });

    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        UIBarButtonSystemItem::Search, this, [this](UIBarButtonItem&) { doSearchStock(); }));
}

StockQuotesViewController::~StockQuotesViewController() {
    if (infoRadarTimer_) infoRadarTimer_->invalidate();
    if (transDetailVC_) transDetailVC_->stopAutoRefreshTimer();
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    if (quotesScrollView_) quotesScrollView_->setDelegate(nullptr);
    if (quotesInfoRadarView_) quotesInfoRadarView_->setDelegate(nullptr);
    if (timeTrendChartView_) {
        timeTrendChartView_->setDataSource(nullptr);
        timeTrendChartView_->setDelegate(nullptr);
    }
    if (candlesticksChartView_) {
        candlesticksChartView_->setDataSource(nullptr);
        candlesticksChartView_->setDelegate(nullptr);
    }
}

// ---------------------------------------------------------------- views

UIScrollView* StockQuotesViewController::quotesScrollView() {
    view();
    return quotesScrollView_.get();
}
QuotesPageControl* StockQuotesViewController::quotesPageControl() {
    view();
    return quotesPageControl_.get();
}
QuotesInfoRadarView* StockQuotesViewController::quotesInfoRadarView() {
    view();
    return quotesInfoRadarView_.get();
}
UIButton* StockQuotesViewController::portfolioBtn() {
    view();
    return portfolioBtn_.get();
}
TimeTrendChartView* StockQuotesViewController::timeTrendChartView() {
    view();
    return timeTrendChartView_.get();
}
CandlesticksChartView* StockQuotesViewController::candlesticksChartView() {
    view();
    return candlesticksChartView_.get();
}

int StockQuotesViewController::currentPage() const {
    return quotesPageControl_ ? quotesPageControl_->currentPage() : kTimeTrendPage;
}

void StockQuotesViewController::viewWillDidLoad() {
    view()->setBackgroundColor(UIColor::blackColor());
    CGRect b = contentView()->bounds();
    double pagedHeight = std::max(0.0, b.size.height - kMarksHeight - kRadarHeight);

    quotesScrollView_ = std::make_shared<PagedArea>(CGRectMake(0, 0, b.size.width, pagedHeight));
    quotesScrollView_->setBackgroundColor(UIColor::blackColor());
    quotesScrollView_->setPagingEnabled(true);
    quotesScrollView_->setShowsHorizontalScrollIndicator(false);
    quotesScrollView_->setShowsVerticalScrollIndicator(false);
    quotesScrollView_->setDelaysContentTouches(true);
    // Touches reach the pages at once here (no delay), so a sideways drag that
    // starts on a chart or the deals must still be taken over by the pages
    // (a pinch stays with the chart: PagedArea).
    quotesScrollView_->setCanCancelContentTouches(true);
    quotesScrollView_->setDelegate(this);
    contentView()->addSubview(quotesScrollView_);

    quotesPageControl_ = std::make_shared<QuotesPageControl>(CGRectMake(0, pagedHeight, b.size.width, kMarksHeight));
    contentView()->addSubview(quotesPageControl_);

    quotesInfoRadarView_ =
        std::make_shared<QuotesInfoRadarView>(CGRectMake(0, pagedHeight + kMarksHeight, b.size.width, kRadarHeight));
    quotesInfoRadarView_->setDelegate(this);
    contentView()->addSubview(quotesInfoRadarView_);

    buildTitleView();
    reloadScrollViews();
    portfolioBtn_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(245, 10, 68, 25));
    portfolioBtn_->setBackgroundImage(UIImage::imageNamed("PortfolioBtn.png"));
    portfolioBtn_->setFont(UIFont::boldSystemFontOfSize(14));
    portfolioBtn_->addTarget(
        this, [this](UIControl&) { portfolioAction(); }, UIControlEventTouchUpInside);
    timeTrendChartView_->addSubview(portfolioBtn_);
    setPortfolioButtonTitle();
    isInfoRadarNil_ = false;
    infoRadarContentArray_.clear();
}

void StockQuotesViewController::createToolbarItems() { createToolbarWithPage(currentPage()); }

void StockQuotesViewController::buildTitleView() {
    auto titleView = std::make_shared<UIView>(CGRectMake(0, 0, 140, 44));
    titleView->setBackgroundColor(UIColor::clearColor());
    nameLabel_ = std::make_shared<UILabel>(CGRectMake(35, 4, 70, 20));
    nameLabel_->setTextColor(UIColor::whiteColor());
    nameLabel_->setFont(UIFont::systemFontOfSize(16));
    nameLabel_->setTextAlignment(UITextAlignment::Center);
    nameLabel_->setAdjustsFontSizeToFitWidth(true);
    nameLabel_->setBackgroundColor(UIColor::clearColor());
    codeLabel_ = std::make_shared<UILabel>(CGRectMake(35, 26, 70, 14));
    codeLabel_->setTextColor(UIColor::cyanColor());
    codeLabel_->setFont(UIFont::systemFontOfSize(14));
    codeLabel_->setTextAlignment(UITextAlignment::Center);
    codeLabel_->setBackgroundColor(UIColor::clearColor());
    titleView->addSubview(nameLabel_);
    titleView->addSubview(codeLabel_);
    if (hasArrows_) {
        auto arrow = [this](const char* image, double x, std::function<void()> action) {
            auto button = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(x, 0, 35, 44));
            button->setImage(UIImage::imageNamed(image));
            button->addTarget(
                this, [action = std::move(action)](UIControl&) { action(); }, UIControlEventTouchUpInside);
            return button;
        };
        titleView->addSubview(arrow("LeftArrow.png", 0, [this] { leftAction(); }));
        titleView->addSubview(arrow("RightArrow.png", 105, [this] { rightAction(); }));
    }
    navigationItem()->setTitleView(titleView);
    reloadTitle();
}

void StockQuotesViewController::reloadTitle() {
    setTitle(currentStock_->name());
    if (nameLabel_) nameLabel_->setText(currentStock_->name());
    if (codeLabel_) codeLabel_->setText(currentStock_->code());
}

void StockQuotesViewController::reloadScrollViews() {
    const bool twoPages = currentStock_->typeID() == QuoteContract::Class::kIndex ||
                          currentStock_->marketID() == QuoteContract::Market::kHongKong;
    const int shownPage = currentPage();
    pageCount_ = twoPages ? 2 : 4;
    CGRect area = quotesScrollView_->bounds();
    const double width = area.size.width, height = area.size.height;
    quotesScrollView_->setContentSize(CGSizeMake(width * pageCount_, height));
    quotesPageControl_->setNumberOfPages(pageCount_);

    if (!timeTrendChartView_) {
        timeTrendChartView_ = std::make_shared<TimeTrendChartView>(CGRectMake(0, 0, width, height));
        timeTrendChartView_->setDataSource(this);
        timeTrendChartView_->setDelegate(this);
        quotesScrollView_->addSubview(timeTrendChartView_);
        candlesticksChartView_ = std::make_shared<CandlesticksChartView>(CGRectMake(width, 0, width, height));
        candlesticksChartView_->setDataSource(this);
        candlesticksChartView_->setDelegate(this);
        quotesScrollView_->addSubview(candlesticksChartView_);
    }
    if (!twoPages) {
        if (!transDetailVC_) {
            transDetailVC_ = std::make_shared<TransactionDetailsViewController>(currentStock_);
            auto v = transDetailVC_->view();
            v->setBackgroundColor(UIColor::blackColor());
            v->setFrame(CGRectMake(width * kTradeDetailPage, 0, v->frame().size.width, v->frame().size.height));
            quotesScrollView_->addSubview(v);
        }
        transDetailVC_->setStock(currentStock_);
        if (!f10ViewController_) {
            f10ViewController_ = VTAListViewController::initWithStockQuotes();
            f10ViewController_->setListType(VTAListViewController::kStockList);
            f10ViewController_->setCellType(1);
            f10ViewController_->setTableStyle(0);
            auto v = f10ViewController_->view();
            auto tableColour = f10ViewController_->tableView()->backgroundColor();
            v->setBackgroundColor(tableColour ? tableColour : UIColor::whiteColor());
            v->setFrame(CGRectMake(width * kF10Page, 0, v->frame().size.width, v->frame().size.height));
            quotesScrollView_->addSubview(v);
        }
        if (auto f10 = firstMenuWithCommand("f10")) {
            f10ViewController_->setTitle(f10->title());
            f10ViewController_->setViewMenu(f10);
            f10ViewController_->setMenus(visibleMenusOfNode(f10->m_id()));
            std::string query =
                "stkcode=" + currentStock_->code() + "&market=" + std::to_string(currentStock_->marketID());
            f10ViewController_->setViewMessage(VTAMessage::messageWithSender(
                std::any(std::weak_ptr<UIViewController>(f10ViewController_)), std::any(query), 0));
        }
    }
    if (transDetailVC_) transDetailVC_->view()->setHidden(twoPages);
    if (f10ViewController_) f10ViewController_->view()->setHidden(twoPages);
    // A stock of fewer pages than the one before: stay on its last page.
    if (shownPage >= pageCount_) showPage(pageCount_ - 1);
}

void StockQuotesViewController::showPage(int page) {
    page = std::clamp(page, 0, pageCount_ - 1);
    quotesPageControl_->setCurrentPage(page);
    createToolbarWithPage(page);
    quotesScrollView_->setContentOffset(CGPointMake(page * quotesScrollView_->bounds().size.width, 0));
    if (page == kTradeDetailPage)
        resumeTradeDetailTimer();
    else
        stopTradeDetailTimer();
}

void StockQuotesViewController::createToolbarWithPage(int page) {
    auto item = [this](const char* key, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(NSLocalizedString(key), UIBarButtonItemStyle::Bordered, this,
                                                 [action = std::move(action)](UIBarButtonItem&) { action(); });
    };
    auto first = page == kF10Page ? item("home", [this] { doHome(); }) : item("refresh", [this] { doRefresh(); });
    toolbar()->setItems({first, flexibleSpaceBarBtn(), item("bid", [this] { doBid(); }), flexibleSpaceBarBtn(),
                         item("ask", [this] { doAsk(); })});
}

void StockQuotesViewController::setPortfolioButtonTitle() {
    if (portfolioBtn_) portfolioBtn_->setTitle(isInPortfolio_ ? kDeleteTitle : kAddTitle);
}

// ---------------------------------------------------------------- life cycle

void StockQuotesViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    timeTrendChartView_->setDataSource(this);
    timeTrendChartView_->setDelegate(this);
    candlesticksChartView_->setDataSource(this);
    candlesticksChartView_->setDelegate(this);
    requestByPageIndex(currentPage());
    reloadInfoRadarView();
    if (currentPage() == kTradeDetailPage) resumeTradeDetailTimer();
}

void StockQuotesViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    pendingPortfolioAdd_ = false;
    timeTrendChartView_->setDelegate(nullptr);
    candlesticksChartView_->setDelegate(nullptr);
    if (infoRadarTimer_) infoRadarTimer_->invalidate();
    infoRadarTimer_.reset();
    // The deals list is no real child: it does not see this page leave.
    stopTradeDetailTimer();
    if (transDetailVC_) transDetailVC_->cancelRequests();
    SVProgressHUD::dismiss();
}

void StockQuotesViewController::viewDidUnload() { navigationItem()->setRightBarButtonItem(nullptr); }

bool StockQuotesViewController::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation o) {
    return o == UIInterfaceOrientation::Portrait;
}

void StockQuotesViewController::stopTradeDetailTimer() {
    if (transDetailVC_) transDetailVC_->stopAutoRefreshTimer();
}

void StockQuotesViewController::resumeTradeDetailTimer() {
    if (transDetailVC_ && isRequestedTradeDetail_ && isVisible()) transDetailVC_->registerAutoRefresh();
}

// ---------------------------------------------------------------- requests

RequestBuilder StockQuotesViewController::timeTrendRequest() const {
    using namespace QuoteContract;
    RequestBuilder r(kIntraday);
    r.add(Key::kFreq, 2).add(Key::kCloseXxld, 1);
    r.add(Key::kAddUp, VTAUserDefoult::standerDefoult().getBoolForKey("fschart dj set") ? 1 : 0);
    r.add(Key::kTime, 0).add(Key::kDate, 0).add(Key::kMaxVol, 999999999);
    r.add(Key::kCode, currentStock_->stockId());
    return r;
}

RequestBuilder StockQuotesViewController::candlesticksRequest(int techIndexType) const {
    using namespace QuoteContract;
    RequestBuilder r(kKLine);
    r.add(Key::kDirect, 1).add(Key::kTime, 0);
    r.add(Key::kType, candlesticksChartView_ ? candlesticksChartView_->currentCandlesticksType() : Period::kDay);
    r.add(Key::kDate, 0).add(Key::kCount, kCandlesticksCount);
    r.add(Key::kTechName, techIndexValueFromIndex(techIndexType));
    r.add(Key::kCode, currentStock_->stockId());
    return r;
}

RequestBuilder StockQuotesViewController::marketIndexRequest() {
    using namespace QuoteContract;
    RequestBuilder r(kSnapshot);
    r.appendFields("field=1|2|3|4|6|11|16|18|20|21");
    r.add(Key::kCode, "000001.2|399001.1");
    return r;
}

RequestBuilder StockQuotesViewController::infoRadarRequest() const {
    RequestBuilder r(NewsContract::kInfoRadar);
    r.add(NewsContract::RadarKey::kStockId, currentStock_->stockId()).add(NewsContract::RadarKey::kWithContent, 1);
    return r;
}

std::string StockQuotesViewController::techIndexValueFromIndex(int index) {
    return CandlesticksChartView::techIndexValueFromIndex(index);
}

void StockQuotesViewController::sendTimeTrendRequest() {
    stopAutoRefresh();
    timeTrendChartView_->setIsNeedOverlay(VTAUserDefoult::standerDefoult().getBoolForKey("fschart dj set"));
    sendRequest(kTimeTrendTag, timeTrendRequest(), 3);
}

void StockQuotesViewController::sendCandlesticksRequest(int techIndexType) {
    stopAutoRefresh();
    sendRequest(kCandlesticksTag, candlesticksRequest(techIndexType), 3);
}

void StockQuotesViewController::sendTradeDetailRequest() {
    stopAutoRefresh();
    sendRequest(kTradeDetailTag, tickRequest(currentStock_->stockId(), 0), 3);
}

void StockQuotesViewController::sendMarketIndexRequest() { sendRequest(kMarketIndexTag, marketIndexRequest(), 3); }

void StockQuotesViewController::sendInfoRadarRequest() { sendRequest(kInfoRadarTag, infoRadarRequest(), 3); }

void StockQuotesViewController::requestByPageIndex(int page) {
    switch (page) {
        case kTimeTrendPage:
            if (!isRequestedTimeTrend_) sendTimeTrendRequest();
            break;
        case kCandlesticksPage:
            if (!isRequestedCandlesticks_) sendCandlesticksRequest(candlesticksChartView_->currentTechIndexType());
            break;
        case kTradeDetailPage:
            if (!isRequestedTradeDetail_ && pageCount_ > kTradeDetailPage) sendTradeDetailRequest();
            break;
        default:
            break;
    }
}

void StockQuotesViewController::registerAutoRefresh() {
    startAutoRefresh([this] { doAutoRefresh(); });
}

void StockQuotesViewController::refreshPage(bool withTradeDetail) {
    int page = currentPage();
    if (page == kTimeTrendPage)
        sendTimeTrendRequest();
    else if (page == kCandlesticksPage)
        sendCandlesticksRequest(candlesticksChartView_->currentTechIndexType());
    else if (page == kTradeDetailPage && withTradeDetail)
        sendTradeDetailRequest();
    if (isInfoRadarNil_) sendMarketIndexRequest();
}

// The deals list refreshes itself.
void StockQuotesViewController::doAutoRefresh() { refreshPage(false); }

void StockQuotesViewController::doRefresh() { refreshPage(true); }

void StockQuotesViewController::reloadInfoRadarView() {
    if (infoRadarTimer_) infoRadarTimer_->invalidate();
    infoRadarTimer_.reset();
    isInfoRadarNil_ = false;
    quotesInfoRadarView_->setIsHaveRadar(false);
    quotesInfoRadarView_->infoBtn()->setEnabled(false);
    sendMarketIndexRequest();
    infoRadarTimer_ = NSTimer::scheduledTimerWithTimeInterval(
        kInfoRadarDelay, [this](NSTimer&) { sendInfoRadarRequest(); }, false);
}

void StockQuotesViewController::setNoRadar() {
    quotesInfoRadarView_->setIsHaveRadar(false);
    quotesInfoRadarView_->infoBtn()->setEnabled(false);
    isInfoRadarNil_ = true;
}

// ---------------------------------------------------------------- replies

bool StockQuotesViewController::isSameStockOfQuotesRequestWithArray(const RecordSets& sets) const {
    if (sets.empty() || !sets[0] || sets[0]->rowsAffected() == 0) return false;
    VTATCRS& header = *sets[0];
    header.fetchFirst();
    return header.toStringWithFieldName(QuoteContract::Col::kCode).value_or("") == currentStock_->code() &&
           header.toIntWithFieldName(QuoteContract::Col::kMarket) == currentStock_->marketID();
}

void StockQuotesViewController::timeTrendArrived(const RequestReply& reply) {
    if (!isSameStockOfQuotesRequestWithArray(reply.sets)) return;
    if (!reply.cached) {
        isRequestedTimeTrend_ = true;
        timeTrendData_ = reply.sets;
        timeTrendChartView_->setNeedsDisplay();
    } else if (timeTrendData_.empty()) {
        timeTrendData_ = reply.sets;
        timeTrendChartView_->setNeedsDisplay();
    }
    registerAutoRefresh();
}

void StockQuotesViewController::candlesticksArrived(const RequestReply& reply) {
    if (!isSameStockOfQuotesRequestWithArray(reply.sets)) return;
    if (!reply.cached) {
        isRequestedCandlesticks_ = true;
        candlesticksData_ = reply.sets;
        candlesticksChartView_->setNeedsDisplay();
    } else if (candlesticksData_.empty()) {
        candlesticksData_ = reply.sets;
        candlesticksChartView_->setNeedsDisplay();
    }
    registerAutoRefresh();
}

void StockQuotesViewController::tradeDetailArrived(const RequestReply& reply) {
    if (reply.sets.empty()) {
        showAlert(kUnreadableText);
        return;
    }
    if (!transDetailVC_) return;
    isRequestedTradeDetail_ = true;
    transDetailVC_->setOffset(0);
    transDetailVC_->parserTransDetailData(reply.sets);
    // The list starts its own timer with the rows; it runs only while its page shows.
    if (currentPage() != kTradeDetailPage || !isVisible()) stopTradeDetailTimer();
    registerAutoRefresh();
}

void StockQuotesViewController::marketIndexArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set || set->rowsAffected() != 2) return;
    quotesInfoRadarView_->setMarketIndexData(reply.sharedSet(0));
}

void StockQuotesViewController::infoRadarArrived(const RequestReply& reply) {
    using namespace NewsContract;
    VTATCRS* set = reply.first();
    if (!set || set->toStringWithFieldName(RadarCol::kStockId).value_or("") != currentStock_->stockId()) return;
    if (set->toIntWithFieldName(RadarCol::kType) == kNoRadarType) {
        setNoRadar();
        return;
    }
    quotesInfoRadarView_->setIsHaveRadar(true);
    quotesInfoRadarView_->infoBtn()->setEnabled(true);
    infoRadarContentArray_.clear();
    for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) {
        std::string content = set->toStringWithFieldName(RadarCol::kContent).value_or("");
        if (content.empty()) continue;
        infoRadarContentArray_.push_back(set->toStringWithFieldName(RadarCol::kTime).value_or("") + " " + content);
    }
    quotesInfoRadarView_->setInfoRadarContent(infoRadarContentArray_.empty() ? std::string()
                                                                             : infoRadarContentArray_.front());
}

void StockQuotesViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kInfoRadarTag) setNoRadar();
    // Dismissing it starts the auto refresh again (the failed request had stopped it).
    auto alert =
        std::make_shared<UIAlertView>(failure.text, "", nullptr, std::nullopt, std::vector<std::string>{"确定"});
    if (auto self = std::dynamic_pointer_cast<UIAlertViewDelegate>(sharedController()))
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(self));
    alert->show();
}

void StockQuotesViewController::alertViewClickedButtonAtIndex(UIAlertView&, int) {
    if (isVisible()) registerAutoRefresh();
}

// ---------------------------------------------------------------- pages

void StockQuotesViewController::scrollViewDidEndDecelerating(UIScrollView& scrollView) {
    double width = scrollView.bounds().size.width;
    if (width <= 0) return;
    int page =
        std::clamp(static_cast<int>(std::floor(std::fabs(scrollView.contentOffset().x) / width)), 0, pageCount_ - 1);
    scrollToPageIndex(page);
}

void StockQuotesViewController::scrollToPageIndex(int page) {
    view();
    page = std::clamp(page, 0, pageCount_ - 1);
    quotesPageControl_->setCurrentPage(page);
    if (page == kCandlesticksPage) {
        candlesticksChartView_->setCurrentTechViewTag(kTechViewTag);
        candlesticksChartView_->scrollTechIndexViewToIndex(CandlesticksChartView::techIndexTypeFromValue(
            VTAUserDefoult::standerDefoult().getStringForKey("kx dj type").value_or("")));
    } else {
        requestByPageIndex(page);
    }
    showPage(page);
}

// While the crosshair shows, a drag moves it instead of the pages.
template <class Chart>
void StockQuotesViewController::toggleCrosshair(Chart& chart) {
    const bool show = !chart.isShowMeter();
    quotesScrollView_->setScrollEnabled(!show);
    if (show)
        chart.showMeterView();
    else
        chart.hideMeterView();
}

void StockQuotesViewController::clickActionInTimeTrendView(TimeTrendChartView& chart) { toggleCrosshair(chart); }

void StockQuotesViewController::clickActionInCandlesticksView(CandlesticksChartView& chart) { toggleCrosshair(chart); }

void StockQuotesViewController::changeTechIndex(CandlesticksChartView& chart) {
    sendCandlesticksRequest(chart.currentTechIndexType());
}

void StockQuotesViewController::quotesInfoRadarAction() {
    auto popup = std::make_shared<QuotesInfoRadarPopView>(infoRadarContentArray_);
    UIWindow* window = view()->window();
    if (!window) window = UIApplication::sharedApplication().keyWindow();
    popup->showInView(window, true);
}

// ---------------------------------------------------------------- stepping

void StockQuotesViewController::leftAction() {
    if (availableStocks_.empty()) return;
    int n = static_cast<int>(availableStocks_.size());
    stepToStock(currentStockIndex_ == 0 ? n - 1 : currentStockIndex_ - 1);
}

void StockQuotesViewController::rightAction() {
    if (availableStocks_.empty()) return;
    int n = static_cast<int>(availableStocks_.size());
    stepToStock(currentStockIndex_ >= n - 1 ? 0 : currentStockIndex_ + 1);
}

void StockQuotesViewController::stepToStock(int index) {
    // This page's requests (and its deals list's) are the old stock's.
    cancelRequests();
    if (transDetailVC_) transDetailVC_->cancelRequests();
    currentStockIndex_ = index;
    currentStock_ = availableStocks_[index];
    timeTrendChartView_->hideMeterView();
    candlesticksChartView_->hideMeterView();
    quotesScrollView_->setScrollEnabled(true);
    isInPortfolio_ = storedInPortfolio(*currentStock_);
    reloadTitle();
    reloadStockView();
    reloadInfoRadarView();
}

void StockQuotesViewController::reloadStockView() {
    isRequestedTimeTrend_ = isRequestedCandlesticks_ = isRequestedTradeDetail_ = false;
    timeTrendData_.clear();
    candlesticksData_.clear();
    timeTrendChartView_->setNeedsDisplay();
    candlesticksChartView_->setNeedsDisplay();
    reloadScrollViews();
    setPortfolioButtonTitle();
    requestByPageIndex(currentPage());
}

// ---------------------------------------------------------------- trading, finder, home

void StockQuotesViewController::doBid() { tradeWithStock(currentStock_, 0); }

void StockQuotesViewController::doAsk() { tradeWithStock(currentStock_, 1); }

void StockQuotesViewController::doHome() { onCommandHome(); }

void StockQuotesViewController::doSearchStock() { showStockFinder(); }

// ---------------------------------------------------------------- own stocks

bool StockQuotesViewController::changePortfolioTable(bool add) {
    auto dao = portfolio();
    if (!dao) return false;
    if (!add) return dao->deleteStockBySymbol(currentStock_->code(), currentStock_->marketID());
    QZPortfolioStock stock(currentStock_->code(), currentStock_->marketID());
    stock.setName(currentStock_->name());
    stock.setStockType(currentStock_->typeID());
    return dao->addStock(stock);
}

void StockQuotesViewController::portfolioAction() {
    if (pendingPortfolioAdd_) return;  // the server's answer to the last tap is still awaited
    const bool add = !isInPortfolio_;
    if (!VTAUserDefoult::standerDefoult().getBoolForKey("SaveMyStockInServer")) {
        SVProgressHUD::show();
        if (changePortfolioTable(add)) {
            isInPortfolio_ = !isInPortfolio_;
            SVProgressHUD::dismissWithSuccess(add ? "添加自选成功" : "删除自选成功", kSuccessDismissSeconds);
        } else {
            SVProgressHUD::dismissWithError(add ? "添加自选失败" : "删除自选失败", kSuccessDismissSeconds);
        }
        setPortfolioButtonTitle();
        return;
    }
    SVProgressHUD::showWithStatus(add ? "添加自选股..." : "删除自选股...");
    auto self = std::dynamic_pointer_cast<StockQuotesViewController>(sharedController());
    if (!self) return;
    pendingPortfolioAdd_ = true;
    if (add)
        XXNetworkManager::sharedManager().requestAddPortfolio(currentStock_->stockId(), self);
    else
        XXNetworkManager::sharedManager().requestDeletePortfolio(currentStock_->stockId(), self);
}

void StockQuotesViewController::xserviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int tag) {
    if (tag != XXNetworkManager::kAddTag && tag != XXNetworkManager::kDeleteTag) return;
    pendingPortfolioAdd_ = false;
    const bool add = tag == XXNetworkManager::kAddTag;
    OwnStockAnswer answer = readOwnStockAnswer(data);
    if (!answer.failure.empty()) {
        SVProgressHUD::dismissWithError(answer.failure, kErrorDismissSeconds);
        return;
    }
    const std::string word = add ? "添加" : "删除";
    if (answer.done && changePortfolioTable(add)) {
        isInPortfolio_ = !isInPortfolio_;
        setPortfolioButtonTitle();
        SVProgressHUD::dismissWithSuccess(word + "自选股成功", kSuccessDismissSeconds);
        return;
    }
    SVProgressHUD::dismissWithError(word + "自选股失败", kErrorDismissSeconds);
}

void StockQuotesViewController::xserviceDidNetworkError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag != XXNetworkManager::kAddTag && tag != XXNetworkManager::kDeleteTag) return;
    pendingPortfolioAdd_ = false;
    SVProgressHUD::dismissWithError(error.localizedDescription(), kErrorDismissSeconds);
}

void StockQuotesViewController::xserviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) {
    xserviceDidNetworkError(manager, error, tag);
}
