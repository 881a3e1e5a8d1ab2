#pragma once
// The ranking list ("pxhq"): a quote board of one market's class sorted by a
// server figure, rising or falling, 20 rows at a time.
//
// The link names the market, the class ("type") and the sort ("sort"), each
// value cut before its first "^" ("pxhq?market=2^沪市&type=100^A股&..."); the
// defaults are "1|2", "3" and "21". On its first appearance the screen asks
// for the ranking's total (191/7), then for the window (31000/3: the link's
// pairs with "field", "market", "class", "type" = the sort, "offset",
// "count" and "direct" set; 31000/3 when the link names no function). The
// phase (frameStatus) is 0 while the total is still to be asked, then 1; a
// return to the screen asks nothing at once, only re-arms the auto refresh.
//
// Pulling the list down or up moves the window (RankingWindow); the rise/fall
// switch of the navigation bar sorts by "21" from the first window; "分类"
// opens the chooser (VTAHQPXParamView), whose "确定" asks for the new
// ranking's total and its first window. "板块" opens the sector grid of the
// menu, "刷新" asks for the window again. The auto refresh (in trading hours,
// while "auto refresh" is on) asks for the same window.
//
// Rows: a tap opens the quote page of the row among the window's stocks; a
// sideways swipe expands the row into its buttons: "+自选" (the own stocks:
// the table, and the server's list first when own stocks live there),
// "买入" / "卖出" (tradeWithStock), "K线" / "五档" (the quote page on its K-line
// or trend page).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/XXNetworkManager.h"
#include "platform/uikit/UISegmentedControl.h"
#include "platform/uikit/UITableView.h"
#include "quotes/RankingWindow.h"
#include "quotes/VTAHQPXParamView.h"
#include "shell/VTAViewControllers.h"
#include "ui/QZRefreshTableView.h"
#include "ui/QuoteCells.h"

class QZPortfolioStock;
class VTAStock;
class VTATCRS;

class MarketQuotationSortViewController : public VTAViewControllers,
                                          public UITableViewDataSource,
                                          public UITableViewDelegate,
                                          public MYExpandTableViewDelegate,
                                          public QZRefreshTableDelegate,
                                          public VTAParamViewDelegate,
                                          public XXNetworkManagerDelegate {
public:
    static constexpr int kTotalTag = 1917, kWindowTag = 1903;
    static constexpr const char* kDefaultMarket = "1|2";
    static constexpr const char* kDefaultType = "3";
    static constexpr const char* kDefaultSort = "21";
    static constexpr const char* kWindowFields = "1|3|4|6|11|16|20|21|";
    static constexpr const char* kTotalFields = "0|1|2";
    static constexpr double kRowHeight = 42, kExpandedRowHeight = 84;
    // The texts of the rise/fall switch.
    static constexpr const char* kIncreaseText = "涨幅";
    static constexpr const char* kDecreaseText = "跌幅";

    MarketQuotationSortViewController();
    ~MarketQuotationSortViewController() override;

    void viewWillDidLoad() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void createToolbarItems() override;
    void onCommandRefresh() override { requestRange(); }

    // ---- requests ----
    void requestTotal();
    void requestRange();
    // The rise/fall switch: the first window, sorted by "21", largest (true) or smallest first.
    void requestRangeIsIncrease(bool increase);
    void registerAutoRefresh();
    // The window request's text.
    std::string rangeRequestText() const;

    // ---- toolbar ----
    void showParamView();  // "分类"
    void openSectors();    // "板块"
    void paramViewOnCommandOK(VTAParamView& view) override;

    // ---- rows ----
    void openRowAtIndex(int row);
    void portfolioAction(MYExpandTableViewCell& cell);
    void bidAction(MYExpandTableViewCell& cell);
    void askAction(MYExpandTableViewCell& cell);
    void kLineAction(MYExpandTableViewCell& cell);
    void positionAction(MYExpandTableViewCell& cell);
    // Collapses the expanded row (when there is one).
    void collapseExpandedRow();

    // ---- state (tests) ----
    const RankingWindow& range() const { return range_; }
    int itemsCount() const { return itemsCount_; }
    bool isIncrease() const { return isIncrease_; }
    int selectedIndex() const { return selectedIndex_; }
    const std::shared_ptr<VTATCRS>& hqrs() const { return hqrs_; }
    VTAHQPXParamView* paramView() const { return paramView_.get(); }
    UITableView* tableView() const { return myTableView_.get(); }
    QZRefreshTableView* refreshHeaderView() const { return refreshHeaderView_.get(); }
    QZRefreshTableView* refreshFooterView() const { return refreshFooterView_.get(); }
    UISegmentedControl* sortSegmentedControl() const { return sortSegmentedControl_.get(); }
    // "<market>-<class>-<sort>" of the chooser's names.
    std::string rankingTitle() const;

    // ---- table ----
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void tableViewDidSwipeCellAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void scrollViewDidScroll(UIScrollView& scrollView) override;
    void scrollViewWillBeginDragging(UIScrollView& scrollView) override;
    void scrollViewDidEndDragging(UIScrollView& scrollView, bool willDecelerate) override;

    // ---- paging bands ----
    bool qzRefreshTableHeaderDataSourceIsLoading(QZRefreshTableView&) override { return headerReloading_; }
    bool qzRefreshTableFooterDataSourceIsLoading(QZRefreshTableView&) override { return footerReloading_; }
    void qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView& view) override;
    void qzRefreshTableFooterDidTriggerRefresh(QZRefreshTableView& view) override;
    Value myRefreshLastUpdatedPosition(QZRefreshTableView& view) override;

    // ---- the own-stock service's answer to an addition ----
    void xserviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    void xserviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void xserviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

private:
    void totalArrived(const RequestReply& reply);
    void windowArrived(const RequestReply& reply);
    void loadingFinished();
    void moveWindow(const RankingWindow& window);
    void placeFooter();
    void setRankingTitle();
    void sortSwitched();
    // The stocks of the window's rows, for the quote page.
    std::vector<std::shared_ptr<VTAStock>> windowStocks() const;
    std::shared_ptr<UIViewController> openStockPage(int row);
    // The quote page of the expanded row, on a page (0 trend, 1 K-line).
    void openStockPageAt(int page);
    std::shared_ptr<VTAStock> stockOfCell(const MYExpandTableViewCell& cell) const;
    void addedOnServer(bool ok, const std::string& failureText);

    std::shared_ptr<UITableView> myTableView_;
    std::shared_ptr<VTATCRS> hqrs_;
    std::shared_ptr<VTAHQPXParamView> paramView_;
    RankingWindow range_;
    int itemsCount_ = 0;
    bool isIncrease_ = true;
    int selectedIndex_ = -1;
    std::optional<int> oldPath_;
    std::shared_ptr<QZRefreshTableView> refreshHeaderView_, refreshFooterView_;
    bool headerReloading_ = false, footerReloading_ = false;
    std::shared_ptr<UISegmentedControl> sortSegmentedControl_;
    std::shared_ptr<QZPortfolioStock> needToAddStock_;
};
