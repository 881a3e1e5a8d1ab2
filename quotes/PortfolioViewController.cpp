#include "quotes/PortfolioViewController.h"

#include <algorithm>

#include "core/QZUtil.h"
#include "core/RequestBuilder.h"
#include "core/Utilities.h"
#include "core/VTAStock.h"
#include "core/contracts/NewsContract.h"
#include "core/contracts/PortfolioContract.h"
#include "core/contracts/QuoteContract.h"
#include "core/contracts/ResultContract.h"
#include "messages/InfoTitleCell.h"
#include "messages/NewsTexts.h"
#include "net/AddMyStockSync.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UINavigationController.h"
#include "quotes/EditPortfolioViewController.h"
#include "quotes/PortfolioStore.h"
#include "quotes/StockQuotesViewController.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Palette.h"
#include "ui/SVProgressHUD.h"

namespace {

// The snapshot columns of the quotes; after a reload of the table the day's
// open and high come too.
constexpr const char* kQuoteFields = "1|2|3|4|6|11|13|16|20|21";
constexpr const char* kQuoteFieldsAfterReload = "1|2|3|4|6|11|13|14|15|16|20|21";
constexpr int kFailureAlertTag = 1;
constexpr double kLocalMarkSeconds = 1, kServerMarkSeconds = 1.75;

std::string textOf(const std::optional<VTAFloat>& v) { return v ? v->toString() : "--"; }

std::shared_ptr<VTAStock> stockOf(const PortfolioItem& item) {
    auto stock = std::make_shared<VTAStock>(item.symbol, item.name, item.marketId);
    stock->setTypeID(item.stockType);
    if (item.nZjcj) stock->setPrice(item.nZjcj->toFloat());
    return stock;
}

}  // namespace

PortfolioViewController::PortfolioViewController() {
    bindRequest(kQuotesTag, [this](const RequestReply& r) { quotesArrived(r); });
    bindRequest(kUploadTag, [this](const RequestReply& r) { listArrived(r, true); });
    bindRequest(kDownloadTag, [this](const RequestReply& r) { listArrived(r, false); });
    bindRequest(kRadarTag, [this](const RequestReply& r) { radarArrived(r); });
    bindRequest(kNewsTag, [this](const RequestReply& r) { newsArrived(r); });
}

PortfolioViewController::~PortfolioViewController() {
    NSNotificationCenter::defaultCenter().removeObserver(this);
    XXNetworkManager::sharedManager().cancelForDelegate(static_cast<XXNetworkManagerDelegate*>(this));
    removePopView();
    for (auto* table : {tableView_.get(), infoTableView_.get()}) {
        if (!table) continue;
        table->setDelegate(nullptr);
        table->setDataSource(nullptr);
    }
}

void PortfolioViewController::viewWillDidLoad() {
    tableView_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Plain);
    tableView_->setBackgroundColor(UIColor::blackColor());
    tableView_->setSeparatorColor(UIColor::darkGrayColor());
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
    contentView()->addSubview(tableView_);
    CGRect b = tableView_->bounds();
    refreshHeaderView_ =
        std::make_shared<QZRefreshTableView>(CGRectMake(0, -b.size.height, b.size.width, b.size.height), true);
    refreshHeaderView_->setIsRefresh(true);
    refreshHeaderView_->setDelegate(this);
    tableView_->addSubview(refreshHeaderView_);
    buildNewsTable();
    navigationItem()->setRightBarButtonItem(std::make_shared<UIBarButtonItem>(
        UIBarButtonSystemItem::Edit, this, [this](UIBarButtonItem&) { editAction(); }));
    // The screens it opens lead back with "返回" (its title is long).
    navigationItem()->setBackBarButtonItem(
        std::make_shared<UIBarButtonItem>("返回", UIBarButtonItemStyle::Bordered, this, nullptr));
    selectedIndex_ = -1;
    auto& center = NSNotificationCenter::defaultCenter();
    center.addObserver(this, UIApplicationDidEnterBackgroundNotification,
                       [this](const NSNotification&) { applicationEnteredBackground(); });
    center.addObserver(this, UIApplicationWillEnterForegroundNotification,
                       [this](const NSNotification&) { applicationWillEnterForeground(); });
}

void PortfolioViewController::createToolbarItems() {
    auto item = [this](const char* title, void (PortfolioViewController::*action)()) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [this, action](UIBarButtonItem&) { (this->*action)(); });
    };
    toolbar()->setItems({item("涨幅", &PortfolioViewController::increaseSortAction), flexibleSpaceBarBtn(),
                         item("跌幅", &PortfolioViewController::decreaseSortAction), flexibleSpaceBarBtn(),
                         stockFinderButton(), flexibleSpaceBarBtn(),
                         item("刷新", &PortfolioViewController::refreshAction)});
}

void PortfolioViewController::viewWillAppear(bool animated) {
    VTAViewControllers::viewWillAppear(animated);
    createTitleView();
    radarStocks_ = portfolioRadarStocks();
    readIds_ = newsReadIds();
}

void PortfolioViewController::viewDidAppear(bool animated) {
    VTAViewControllers::viewDidAppear(animated);
    if (!isInfoTableView_) syncPortfolio();
}

void PortfolioViewController::viewWillDisappear(bool animated) {
    VTAViewControllers::viewWillDisappear(animated);
    removePopView();
    stopAutoRefreshTimer();
    SVProgressHUD::dismiss();
}

// ---------------------------------------------------------------- sync

void PortfolioViewController::syncPortfolio() {
    if (!ownStocksLiveOnServer()) {
        if (!portfolioTable().listPortfolioStocks().empty()) return requestUploadPortfolio();
        setOwnStocksLiveOnServer();
    }
    downloadPortfolio();
}

void PortfolioViewController::downloadPortfolio() {
    if (!isPortfolioDownloaded())
        requestDownloadPortfolio();
    else
        requestPortfolioIsRefresh(true);
}

void PortfolioViewController::requestUploadPortfolio() {
    RequestBuilder upload(PortfolioContract::kUpload);
    upload.add(PortfolioContract::Key::kCode, QZUtil::portfolioListFromDatabase());
    sendRequest(kUploadTag, upload, 6);
}

void PortfolioViewController::requestDownloadPortfolio() {
    sendRequest(kDownloadTag, RequestBuilder(PortfolioContract::kDownload), 6);
}

// The server's list replaces the table. An answer that names no stock
// changes nothing, so an empty reply never wipes the customer's list on the
// phone: the upload is tried again next time, and the download too (the
// flag of a run stays off).
void PortfolioViewController::listArrived(const RequestReply& reply, bool upload) {
    VTATCRS* set = reply.first();
    if (set && set->toIntWithFieldName(ResultContract::Col::kResult) == 1) {
        std::string code = set->toStringWithFieldName(ResultContract::Col::kCode).value_or("");
        auto ids = stockIdsOfListText(code);
        if (utf8Length(code) < 2 || (ids && ids->empty())) ids.reset();
        if (ids && replacePortfolio(*ids)) {
            if (upload) setOwnStocksLiveOnServer();
            setPortfolioDownloaded();
        }
    }
    requestPortfolioIsRefresh(true);
}

// ---------------------------------------------------------------- quotes

void PortfolioViewController::refreshPortfolioData() { portfolioStocks_ = portfolioTable().listPortfolioStocks(); }

void PortfolioViewController::requestPortfolioIsRefresh(bool) {
    refreshPortfolioData();
    if (!portfolioStocks_.empty()) return sendQuotes(joinStockIds(portfolioStocks_, "|"), true);
    selectedIndex_ = -1;
    oldPath_.reset();
    zxRs_.reset();
    tableData_.clear();
    tableView_->reloadData();
}

void PortfolioViewController::requestPortfolio() {
    stopAutoRefreshTimer();
    std::string ids;
    for (const auto& item : tableData_) ids += (ids.empty() ? "" : "|") + item.stockId();
    if (ids.empty()) {
        refreshPortfolioData();
        ids = joinStockIds(portfolioStocks_, "|");
    }
    if (ids.empty()) return registerAutoRefresh();
    sendQuotes(ids, false);
}

void PortfolioViewController::sendQuotes(const std::string& stockIds, bool afterReload) {
    RequestBuilder quotes(QuoteContract::kSnapshot);
    quotes.add(QuoteContract::Key::kCode, stockIds)
        .add(QuoteContract::Key::kField, afterReload ? kQuoteFieldsAfterReload : kQuoteFields);
    sendRequest(kQuotesTag, quotes, 3);
}

// A row the customer opened stays open on its stock, wherever the new quotes
// sort it (the auto refresh must not fold the buttons under the finger); it
// folds only when its stock has left the list.
void PortfolioViewController::quotesArrived(const RequestReply& reply) {
    pullRefreshEnded();
    zxRs_ = reply.sharedSet(0);
    std::optional<PortfolioItem> expanded = expandedItem();
    selectedIndex_ = -1;
    oldPath_.reset();
    refreshTableViewData();
    sortTableData();
    if (expanded) {
        auto it = std::find_if(tableData_.begin(), tableData_.end(),
                               [&](const PortfolioItem& item) { return item.stockId() == expanded->stockId(); });
        if (it != tableData_.end()) {
            selectedIndex_ = static_cast<int>(it - tableData_.begin());
            oldPath_ = selectedIndex_;
        }
    }
    tableView_->reloadData();
    if (QZUtil::isNeedRequestPortfolioInfoRadar()) {
        QZUtil::markPortfolioInfoRadarFlagToInit();
        requestMessagedPortfolio();
    }
    registerAutoRefresh();
}

// One row per record in reply order; a stock that left the table while the
// reply was on its way does not come back.
void PortfolioViewController::refreshTableViewData() {
    std::vector<PortfolioItem> rows;
    if (zxRs_) {
        refreshPortfolioData();
        VTATCRS& set = *zxRs_;
        for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
            PortfolioItem item = PortfolioItem::fromQuoteRecord(set);
            const bool stored = std::any_of(portfolioStocks_.begin(), portfolioStocks_.end(), [&](const auto& s) {
                return s->symbol() == item.symbol && s->marketId() == item.marketId;
            });
            if (stored) rows.push_back(std::move(item));
        }
        set.fetchFirst();
    }
    tableData_ = std::move(rows);
}

void PortfolioViewController::sortTableData() {
    if (isIncrease_)
        std::stable_sort(tableData_.begin(), tableData_.end(),
                         [](const auto& a, const auto& b) { return a.changePercent() > b.changePercent(); });
    else if (isDecrease_)
        std::stable_sort(tableData_.begin(), tableData_.end(),
                         [](const auto& a, const auto& b) { return a.changePercent() < b.changePercent(); });
}

void PortfolioViewController::increaseSortAction() { sortBy(true); }

void PortfolioViewController::decreaseSortAction() { sortBy(false); }

void PortfolioViewController::sortBy(bool increase) {
    isIncrease_ = increase;
    isDecrease_ = !increase;
    if (tableData_.empty()) return;
    collapseExpandedRow();
    sortTableData();
    tableView_->reloadData();
    tableView_->setContentOffset(CGPointMake(0, 0));
}

void PortfolioViewController::refreshAction() { requestPortfolio(); }

void PortfolioViewController::qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView&) {
    isPullRefreshing_ = true;
    requestPortfolio();
    // Nothing to ask for (an empty list): the band goes back at once.
    if (!isRequestInFlight(kQuotesTag)) pullRefreshEnded();
}

void PortfolioViewController::pullRefreshEnded() {
    if (!isPullRefreshing_) return;
    isPullRefreshing_ = false;
    refreshHeaderView_->qzRefreshScrollViewDataSourceDidFinishedLoading(*tableView_);
}

void PortfolioViewController::requestMessagedPortfolio() {
    RequestBuilder radar(NewsContract::kRadarStocks);
    radar.add(NewsContract::RadarKey::kStockIds, joinStockIds(portfolioStocks_, ","));
    sendRequest(kRadarTag, radar, 3);
}

void PortfolioViewController::radarArrived(const RequestReply& reply) {
    std::vector<std::string> ids;
    if (VTATCRS* set = reply.first()) {
        for (set->fetchFirst(); !set->isEOF(); set->fetchNext())
            ids.push_back(set->toStringWithFieldName(NewsContract::RadarCol::kCode).value_or("") + "." +
                          std::to_string(set->toIntWithFieldName(NewsContract::RadarCol::kMarket)));
        set->fetchFirst();
    }
    setPortfolioRadarStocks(ids);
    radarStocks_ = std::move(ids);
    tableView_->reloadData();
}

// ---------------------------------------------------------------- auto refresh

// Only while the quotes are on screen: a covered screen or the news view
// asks for nothing.
void PortfolioViewController::registerAutoRefresh() {
    if (autoRequestTimer() || isInfoTableView_ || !isViewLoaded() || !view()->window()) return;
    startAutoRefresh([this] { requestPortfolio(); });
}

void PortfolioViewController::stopAutoRefreshTimer() { stopAutoRefresh(); }

void PortfolioViewController::applicationEnteredBackground() { stopAutoRefreshTimer(); }

void PortfolioViewController::applicationWillEnterForeground() { registerAutoRefresh(); }

void PortfolioViewController::requestDidFail(const RequestFailure& failure) {
    if (failure.tag == kNewsTag) loadMoreTableDataEnd();
    if (failure.tag == kQuotesTag) pullRefreshEnded();
    auto alert =
        std::make_shared<UIAlertView>(failure.text, "", nullptr, std::string("确定"), std::vector<std::string>{});
    alert->setTag(kFailureAlertTag);
    if (auto self = std::dynamic_pointer_cast<PortfolioViewController>(sharedController()))
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<UIAlertViewDelegate>(self)));
    alert->show();
}

void PortfolioViewController::alertViewClickedButtonAtIndex(UIAlertView& alert, int) {
    if (alert.tag() == kFailureAlertTag) registerAutoRefresh();
}

// ---------------------------------------------------------------- the editor and the finder

void PortfolioViewController::editAction() {
    auto editor = std::make_shared<EditPortfolioViewController>();
    auto nav = UINavigationController::initWithRootViewController(editor);
    nav->navigationBar()->setBarStyle(UIBarStyle::BlackTranslucent);
    nav->navigationBar()->setTintColor(UIColor::blackColor());
    nav->setModalTransitionStyle(UIModalTransitionStyle::FlipHorizontal);
    presentModalViewController(nav, true);
}

void PortfolioViewController::myViewWillHidden(VTAStockFinder&) {
    if (!ownStocksLiveOnServer()) {
        stopAutoRefreshTimer();
        requestPortfolioIsRefresh(true);
    } else {
        requestDownloadPortfolio();
    }
}

// ---------------------------------------------------------------- rows

std::optional<PortfolioItem> PortfolioViewController::expandedItem() const {
    if (!oldPath_ || *oldPath_ < 0 || *oldPath_ >= static_cast<int>(tableData_.size())) return std::nullopt;
    return tableData_[*oldPath_];
}

void PortfolioViewController::collapseExpandedRow() {
    if (selectedIndex_ < 0 && !oldPath_) return;
    int row = oldPath_.value_or(selectedIndex_);
    selectedIndex_ = -1;
    oldPath_.reset();
    if (row >= 0 && row < static_cast<int>(tableData_.size()))
        tableView_->reloadRowsAtIndexPaths({{0, row}}, UITableViewRowAnimation::None);
}

void PortfolioViewController::tableViewDidSwipeCellAtIndexPath(UITableView& table, const NSIndexPath& path) {
    if (&table != tableView_.get()) return;
    if (path.row == selectedIndex_) return collapseExpandedRow();
    std::vector<NSIndexPath> rows{path};
    if (oldPath_ && *oldPath_ != path.row && *oldPath_ < static_cast<int>(tableData_.size()))
        rows.push_back({0, *oldPath_});
    selectedIndex_ = path.row;
    oldPath_ = path.row;
    table.reloadRowsAtIndexPaths(rows, UITableViewRowAnimation::None);
}

std::vector<std::shared_ptr<VTAStock>> PortfolioViewController::stocksOfRows() const {
    std::vector<std::shared_ptr<VTAStock>> stocks;
    for (const auto& item : tableData_) stocks.push_back(stockOf(item));
    return stocks;
}

std::shared_ptr<UIViewController> PortfolioViewController::openStockPage(int row, std::optional<int> page) {
    auto screen = VTAUIFactory::stockListPageWithStocks(stocksOfRows(), row);
    if (!screen || !pushViewController(screen)) return nullptr;
    if (auto* quotes = dynamic_cast<StockQuotesViewController*>(screen.get()); quotes && page)
        quotes->scrollToPageIndex(*page);
    return screen;
}

void PortfolioViewController::bidAction() {
    auto item = expandedItem();
    collapseExpandedRow();
    if (item) tradeWithStock(stockOf(*item), 0);
}

void PortfolioViewController::askAction() {
    auto item = expandedItem();
    collapseExpandedRow();
    if (item) tradeWithStock(stockOf(*item), 1);
}

void PortfolioViewController::kLineAction() {
    int row = oldPath_.value_or(-1);
    collapseExpandedRow();
    openStockPage(row, StockQuotesViewController::kCandlesticksPage);
}

void PortfolioViewController::positionAction() {
    int row = oldPath_.value_or(-1);
    collapseExpandedRow();
    openStockPage(row, StockQuotesViewController::kTimeTrendPage);
}

// ---------------------------------------------------------------- removing a stock

void PortfolioViewController::portfolioAction() {
    auto item = expandedItem();
    if (!item) return;
    SVProgressHUD::show();
    needToDeletePortfolio_ = item;
    collapseExpandedRow();
    if (!ownStocksLiveOnServer()) {
        if (portfolioTable().deleteStockBySymbol(item->symbol, item->marketId)) {
            removeDeletedRow();
            SVProgressHUD::dismissWithSuccess("删除自选成功", kLocalMarkSeconds);
        } else {
            SVProgressHUD::dismissWithError("删除自选失败", kLocalMarkSeconds);
        }
        tableView_->reloadData();
        return;
    }
    SVProgressHUD::showWithStatus("删除自选股...");
    auto self = std::dynamic_pointer_cast<PortfolioViewController>(sharedController());
    XXNetworkManager::sharedManager().requestDeletePortfolio(
        item->stockId(), self ? XXDelegateRef(self) : XXDelegateRef(static_cast<XXNetworkManagerDelegate*>(this)));
}

void PortfolioViewController::removeDeletedRow() {
    if (!needToDeletePortfolio_) return;
    const PortfolioItem& gone = *needToDeletePortfolio_;
    tableData_.erase(
        std::remove_if(tableData_.begin(), tableData_.end(),
                       [&](const PortfolioItem& i) { return i.symbol == gone.symbol && i.marketId == gone.marketId; }),
        tableData_.end());
    refreshPortfolioData();
    selectedIndex_ = -1;
    oldPath_.reset();
    tableView_->reloadData();
}

void PortfolioViewController::failDeletion(const std::string& text) {
    SVProgressHUD::dismissWithError(text, kServerMarkSeconds);
}

void PortfolioViewController::xserviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int tag) {
    if (tag != kDeleteTag) return;
    OwnStockAnswer answer = readOwnStockAnswer(data);
    if (!answer.failure.empty()) return failDeletion(answer.failure);
    const bool deleted =
        answer.done && needToDeletePortfolio_ &&
        portfolioTable().deleteStockBySymbol(needToDeletePortfolio_->symbol, needToDeletePortfolio_->marketId);
    if (!deleted) {
        SVProgressHUD::dismissWithError("删除自选股失败");
        return;
    }
    removeDeletedRow();
    SVProgressHUD::dismissWithSuccess("删除自选股成功");
}

void PortfolioViewController::xserviceDidNetworkError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == kDeleteTag) failDeletion(error.localizedDescription());
}

void PortfolioViewController::xserviceDidServiceError(XXNetworkManager*, const NSError& error, int tag) {
    if (tag == kDeleteTag) failDeletion(error.localizedDescription());
}

// ---------------------------------------------------------------- tables

int PortfolioViewController::tableViewNumberOfRowsInSection(UITableView& table, int) {
    if (&table == infoTableView_.get()) return static_cast<int>(infoTableData_.size());
    return static_cast<int>(tableData_.size());
}

double PortfolioViewController::tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    if (&table == infoTableView_.get()) return InfoTitleCell::rowHeight(infoTableData_, ip.row);
    return ip.row == selectedIndex_ ? kExpandedRowHeight : kRowHeight;
}

std::shared_ptr<UITableViewCell> PortfolioViewController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                         const NSIndexPath& ip) {
    if (&table == infoTableView_.get())
        return InfoTitleCell::cellForRow(table, infoTableData_, ip.row, readIds_, "Info");
    return quoteCell(table, ip);
}

std::shared_ptr<UITableViewCell> PortfolioViewController::quoteCell(UITableView& table, const NSIndexPath& ip) {
    const bool expanded = ip.row == selectedIndex_;
    const char* reuse = expanded ? "Expand" : "Normal";
    auto cell = std::dynamic_pointer_cast<MYExpandTableViewCell>(table.dequeueReusableCellWithIdentifier(reuse));
    if (!cell) {
        cell = std::make_shared<MYExpandTableViewCell>(UITableViewCellStyle::Default, reuse, true);
        if (expanded) cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
        cell->setExpandButtonTarget(this);
        cell->setPortfolioAction([this](MYExpandTableViewCell&) { portfolioAction(); });
        cell->setBidAction([this](MYExpandTableViewCell&) { bidAction(); });
        cell->setAskAction([this](MYExpandTableViewCell&) { askAction(); });
        cell->setKLineAction([this](MYExpandTableViewCell&) { kLineAction(); });
        cell->setPositionAction([this](MYExpandTableViewCell&) { positionAction(); });
    }
    if (ip.row < 0 || ip.row >= static_cast<int>(tableData_.size())) return cell;
    const PortfolioItem& item = tableData_[ip.row];
    const float percent = item.changePercent();
    cell->setName(item.name);
    cell->setSymbol(item.symbol);
    cell->setLastTrade(textOf(item.nZjcj), colorWithCompare(item.nZjcj, item.nZrsp));
    cell->setChange(textOf(item.nZhd), colorWithSign(item.nZhd ? item.nZhd->toFloat() : 0));
    cell->setChangePercent(item.nZdf ? item.nZdf->toString() + "%" : "--", percent > 0 ? 0 : percent < 0 ? 1 : 2);
    cell->setRedDotHidden(std::find(radarStocks_.begin(), radarStocks_.end(), item.stockId()) == radarStocks_.end());
    cell->setMarketId(item.marketId);
    cell->setStockType(item.stockType);
    return cell;
}

void PortfolioViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    if (&table == infoTableView_.get()) {
        openNewsAtIndex(ip.row);
        table.deselectRowAtIndexPath(ip, true);
        return;
    }
    table.deselectRowAtIndexPath(ip, false);
    collapseExpandedRow();
    openStockPage(ip.row);
}

void PortfolioViewController::scrollViewWillBeginDragging(UIScrollView& scrollView) {
    if (&scrollView == tableView_.get()) collapseExpandedRow();
}

void PortfolioViewController::scrollViewDidScroll(UIScrollView& scrollView) {
    if (&scrollView == tableView_.get()) refreshHeaderView_->qzRefreshScrollViewDidScroll(scrollView);
}

void PortfolioViewController::scrollViewDidEndDragging(UIScrollView& scrollView, bool) {
    if (&scrollView == tableView_.get()) refreshHeaderView_->qzRefreshScrollViewDidEndDragging(scrollView);
    if (&scrollView != infoTableView_.get() || !isInfoTableView_ || isLoadingInfo_) return;
    if (scrollView.contentOffset().y > scrollView.contentSize().height - scrollView.bounds().size.height)
        loadMoreTableDataBegin();
}
