#pragma once
// The tick-by-tick deals of one stock, 30 to a page, newest first: the deals
// page of the quote page (StockQuotesViewController places this list's view
// as one of its pages; the list is never pushed on its own).
//
// Paging by pulling: pulling the top down asks for the newer page (offset
// less 30, never below 0; at the newest page it reloads it), pulling the end
// up for the older one (offset plus 30). Each request (31000/9, request type
// 3) stops the list's auto refresh; a reply starts it again (trading hours,
// "auto refresh" on: the base's startAutoRefresh).
//
// The quote page sends the first page itself and hands the reply over
// (setOffset(0), parserTransDetailData); it gives the list the stock it
// shows whenever it steps to another one, and stops the list's timer when
// its page is not on screen or another screen covers it.
//
// Replies: no record set shows "数据构建错误！"; a deals set that cannot be
// read (missing, or a time of fewer than two digits) keeps the rows as they
// were; an error set shows its text. A network or service failure shows its
// description with "确定", whose dismissal starts the auto refresh again.
#include <memory>
#include <vector>

#include "core/RequestBuilder.h"
#include "core/VTAStock.h"
#include "platform/uikit/UITableView.h"
#include "quotes/TickRows.h"
#include "shell/VTAViewControllers.h"
#include "ui/QZRefreshTableView.h"

class TransactionDetailsViewController : public VTAViewControllers,
                                         public UITableViewDataSource,
                                         public UITableViewDelegate,
                                         public QZRefreshTableDelegate {
public:
    static constexpr int kDetailTag = 103;
    static constexpr int kPageSize = 30;
    static constexpr int kDefaultThreshold = 500;
    static constexpr double kTableShortening = 40;
    static constexpr const char* kNoSetsText = "数据构建错误！";

    explicit TransactionDetailsViewController(std::shared_ptr<VTAStock> stock);
    ~TransactionDetailsViewController() override;

    const std::shared_ptr<VTAStock>& currentStock() const { return currentStock_; }
    // Another stock: the rows of the one before go, the offset goes back to the
    // newest page, and the list shows from its top.
    void setStock(std::shared_ptr<VTAStock> stock);

    int offset() const { return offset_; }
    void setOffset(int offset) { offset_ = offset; }
    int thresholding() const { return thresholding_; }
    const std::vector<TickRow>& transactionItems() const { return transactionItems_; }
    UITableView* tableView() {
        view();
        return tableView_.get();
    }
    QZRefreshTableView* refreshHeaderView() const { return refreshHeaderView_.get(); }
    QZRefreshTableView* refreshFooterView() const { return refreshFooterView_.get(); }

    void requestDetailPrice();
    void registerAutoRefresh();
    NSTimer* autoRefreshTimer() const { return autoRequestTimer(); }
    void stopAutoRefreshTimer() { stopAutoRefresh(); }
    // Reads a 31000/9 reply into the rows (see above).
    void parserTransDetailData(const RecordSets& sets);
    void reloadTableViewDataSource();
    void doneLoadingTableViewData();

    void viewWillDidLoad() override;
    void viewDidLoad() override;

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void scrollViewDidScroll(UIScrollView& scrollView) override;
    void scrollViewDidEndDragging(UIScrollView& scrollView, bool willDecelerate) override;

    bool qzRefreshTableHeaderDataSourceIsLoading(QZRefreshTableView& view) override { return headerReloading_; }
    void qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView& view) override;
    bool qzRefreshTableFooterDataSourceIsLoading(QZRefreshTableView& view) override { return footerReloading_; }
    void qzRefreshTableFooterDidTriggerRefresh(QZRefreshTableView& view) override;

    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    QZRefreshTableView* refreshViewFor(UIScrollView& scrollView) const;

    std::shared_ptr<VTAStock> currentStock_;
    std::vector<TickRow> transactionItems_;
    int thresholding_ = kDefaultThreshold;
    int offset_ = 0;
    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<QZRefreshTableView> refreshHeaderView_, refreshFooterView_;
    bool headerReloading_ = false, footerReloading_ = false;
};

// The 31000/9 request of a page of deals of the stock ("code.market"),
// newest first from the offset.
RequestBuilder tickRequest(const std::string& stockId, int offset);
