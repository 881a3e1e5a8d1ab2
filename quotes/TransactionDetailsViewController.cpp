#include "quotes/TransactionDetailsViewController.h"

#include <algorithm>

#include "core/RequestBuilder.h"
#include "core/contracts/QuoteContract.h"
#include "platform/graphics/UIColor.h"
#include "quotes/TransDetailCell.h"
#include "ui/Alerts.h"

RequestBuilder tickRequest(const std::string& stockId, int offset) {
    using namespace QuoteContract;
    RequestBuilder r(kTicks);
    r.add(Key::kCode, stockId)
        .add(Key::kDirect, 1)
        .add(Key::kCount, TransactionDetailsViewController::kPageSize)
        .add(Key::kOffset, offset);
    return r;
}

TransactionDetailsViewController::TransactionDetailsViewController(std::shared_ptr<VTAStock> stock)
    : currentStock_(std::move(stock)) {
    bindRequest(kDetailTag, [this](const RequestReply& reply) { parserTransDetailData(reply.sets); });
}

TransactionDetailsViewController::~TransactionDetailsViewController() {
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
    if (refreshHeaderView_) refreshHeaderView_->setDelegate(nullptr);
    if (refreshFooterView_) refreshFooterView_->setDelegate(nullptr);
}

void TransactionDetailsViewController::setStock(std::shared_ptr<VTAStock> stock) {
    if (stock == currentStock_) return;
    cancelRequests();
    stopAutoRefresh();
    currentStock_ = std::move(stock);
    offset_ = 0;
    transactionItems_.clear();
    if (tableView_) {
        tableView_->reloadData();
        // The new stock's newest deals show from the top, not where the last stock's list was scrolled to.
        tableView_->setContentOffset(CGPointZero, false);
    }
    doneLoadingTableViewData();
}

void TransactionDetailsViewController::viewWillDidLoad() {
    thresholding_ = tickBigDealThreshold(kDefaultThreshold);
    CGRect b = contentView()->bounds();
    tableView_ =
        makeDealsTable(CGRectMake(0, 0, b.size.width, std::max(0.0, b.size.height - kTableShortening)), this, this);
    contentView()->addSubview(tableView_);
}

void TransactionDetailsViewController::viewDidLoad() {
    VTAViewControllers::viewDidLoad();
    CGRect t = tableView_->bounds();
    double width = view()->bounds().size.width;
    refreshHeaderView_ =
        std::make_shared<QZRefreshTableView>(CGRectMake(0, -t.size.height, width, t.size.height), true);
    refreshFooterView_ = std::make_shared<QZRefreshTableView>(CGRectZero, false);
    for (auto* band : {refreshHeaderView_.get(), refreshFooterView_.get()}) {
        band->setIsTransDetail(true);
        band->setDelegate(this);
    }
    tableView_->addSubview(refreshHeaderView_);
    tableView_->addSubview(refreshFooterView_);
    doneLoadingTableViewData();
    refreshFooterView_->refreshLastUpdatedPosition();
}

void TransactionDetailsViewController::requestDetailPrice() {
    stopAutoRefresh();
    if (!currentStock_) return;
    cancelRequests();
    sendRequest(kDetailTag, tickRequest(currentStock_->stockId(), offset_), 3);
}

void TransactionDetailsViewController::registerAutoRefresh() {
    startAutoRefresh([this] { requestDetailPrice(); });
}

void TransactionDetailsViewController::parserTransDetailData(const RecordSets& sets) {
    TickReading reading = readTickReply(sets, TickVolumeText::Money);
    if (reading.outcome == TickReading::Outcome::NoSets) {
        showAlert(kNoSetsText);
        doneLoadingTableViewData();
        return;
    }
    if (reading.outcome == TickReading::Outcome::Unreadable) {
        doneLoadingTableViewData();
        return;
    }
    transactionItems_ = std::move(reading.rows);
    if (tableView_) tableView_->reloadData();
    doneLoadingTableViewData();
    registerAutoRefresh();
}

void TransactionDetailsViewController::reloadTableViewDataSource() {
    headerReloading_ = footerReloading_ = true;
    requestDetailPrice();
}

void TransactionDetailsViewController::doneLoadingTableViewData() {
    headerReloading_ = footerReloading_ = false;
    if (!tableView_ || !refreshFooterView_) return;
    // The band sits where a pull up starts: after a whole page of rows, or
    // under the table when the rows do not fill it.
    double height = tableView_->bounds().size.height;
    double end = std::max(static_cast<double>(transactionItems_.size()) * kDealRowHeight, height);
    refreshFooterView_->setFrame(CGRectMake(0, end, view()->bounds().size.width, height));
    refreshHeaderView_->qzRefreshScrollViewDataSourceDidFinishedLoading(*tableView_);
    refreshFooterView_->qzRefreshScrollViewDataSourceDidFinishedLoading(*tableView_);
}

void TransactionDetailsViewController::qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView&) {
    offset_ = std::max(0, offset_ - kPageSize);
    reloadTableViewDataSource();
}

void TransactionDetailsViewController::qzRefreshTableFooterDidTriggerRefresh(QZRefreshTableView&) {
    offset_ += kPageSize;
    reloadTableViewDataSource();
}

QZRefreshTableView* TransactionDetailsViewController::refreshViewFor(UIScrollView& scrollView) const {
    return scrollView.contentOffset().y < 0 ? refreshHeaderView_.get() : refreshFooterView_.get();
}

void TransactionDetailsViewController::scrollViewDidScroll(UIScrollView& scrollView) {
    if (auto* band = refreshViewFor(scrollView)) band->qzRefreshScrollViewDidScroll(scrollView);
}

void TransactionDetailsViewController::scrollViewDidEndDragging(UIScrollView& scrollView, bool) {
    if (auto* band = refreshViewFor(scrollView)) band->qzRefreshScrollViewDidEndDragging(scrollView);
}

int TransactionDetailsViewController::tableViewNumberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(transactionItems_.size());
}

std::shared_ptr<UITableViewCell> TransactionDetailsViewController::tableViewCellForRowAtIndexPath(
    UITableView& table, const NSIndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<TransDetailCell>(
        table.dequeueReusableCellWithIdentifier(TransDetailCell::kReuseIdentifier));
    if (!cell) cell = std::make_shared<TransDetailCell>();
    if (indexPath.row >= 0 && indexPath.row < static_cast<int>(transactionItems_.size()))
        cell->setRow(transactionItems_[indexPath.row], thresholding_);
    return cell;
}

void TransactionDetailsViewController::requestDidFail(const RequestFailure& failure) {
    doneLoadingTableViewData();
    if (failure.kind == RequestFailure::Kind::Network || failure.kind == RequestFailure::Kind::Service) {
        // Dismissing it starts the auto refresh again.
        auto alert =
            std::make_shared<UIAlertView>(failure.text, "", nullptr, std::nullopt, std::vector<std::string>{"确定"});
        if (auto self = std::dynamic_pointer_cast<UIAlertViewDelegate>(sharedController()))
            alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(self));
        alert->show();
        return;
    }
    if (failure.kind == RequestFailure::Kind::Unreadable) {
        showAlert(kNoSetsText);
        return;
    }
    RequestBinding::requestDidFail(failure);
}

void TransactionDetailsViewController::alertViewClickedButtonAtIndex(UIAlertView&, int) { registerAutoRefresh(); }
