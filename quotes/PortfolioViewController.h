#pragma once
// The customer's own stocks (menu link "zxhq"), in two views chosen from the
// title ("我的股票-行情" with an arrow): their quotes, and the news about them.
//
// Quotes: one row per own stock with its last price, change and change
// percent (red up, green down), a red dot for a stock with radar news; a
// sideways swipe expands a row into "-自选", "买入", "卖出", "K线", "五档". The
// toolbar (and a pull down on the list, which refreshes) sorts by the change percent ("涨幅" largest first, "跌幅" smallest
// first; the chosen order holds for every later reply), opens the stock
// finder and refreshes. The quotes (31000/4) refresh on the auto-refresh
// interval in trading hours, counted from each reply to the next request;
// the timer stops in the background and runs again in the foreground.
//
// The list follows the server while own stocks live there ("SaveMyStockInServer"):
// on each appearance the local list is uploaded the first time (3710/1), or
// the server's list downloaded once a run (3710/2, "IsDownloadPortfolio");
// a list the server answers replaces the table as one change (a list that
// names no stock changes nothing). "-自选" deletes on the server first (3710/4),
// then in the table. "编辑" presents the list editor; its closing runs the
// same decision again. The stocks with information-radar items (504/54, the
// red dot) are asked when the list changed, on the first visit of a run, and
// every 10 minutes.
//
// A row stays expanded on its stock through the quotes' refreshes (it folds
// on a scroll, a tap, a button, a sort, and when its stock leaves the list),
// so a row's button always acts on the stock it shows.
//
// News (504/56, 30 headlines a page after the last one's cursor): pulling up
// past the end loads the next page; a failed page ends the loading too. A
// row opens the article (504/61) and greys its headline.
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/VTATCRS.h"
#include "core/storage/Digest.h"
#include "core/storage/PortfolioDao.h"
#include "net/XXNetworkManager.h"
#include "platform/uikit/UITableView.h"
#include "quotes/PortfolioItem.h"
#include "quotes/PortfolioPopView.h"
#include "shell/VTAViewControllers.h"
#include "ui/QZRefreshTableView.h"
#include "ui/QuoteCells.h"

class InfoContentViewController;
class PortfolioTitleView;
class UIActivityIndicatorView;
class VTAStock;

class PortfolioViewController : public VTAViewControllers,
                                public UITableViewDataSource,
                                public UITableViewDelegate,
                                public MYExpandTableViewDelegate,
                                public XXNetworkManagerDelegate,
                                public QZRefreshTableDelegate,
                                public PortfolioPopDelegate {
public:
    static constexpr int kQuotesTag = 10000;
    static constexpr int kUploadTag = XXNetworkManager::kUploadTag;
    static constexpr int kDownloadTag = XXNetworkManager::kDownloadTag;
    static constexpr int kDeleteTag = XXNetworkManager::kDeleteTag;
    static constexpr int kRadarTag = 10003, kNewsTag = 10004;
    static constexpr int kNewsPageSize = 30;
    static constexpr const char* kQuotesTitle = "我的股票-行情";
    static constexpr const char* kNewsTitle = "我的股票-资讯";
    static constexpr const char* kLoadMoreText = "上拉显示更多数据";
    static constexpr double kRowHeight = MYExpandTableViewCell::kNormalHeight;
    static constexpr double kExpandedRowHeight = MYExpandTableViewCell::kExpandedHeight;

    PortfolioViewController();
    ~PortfolioViewController() override;

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // ---- toolbar and bar ----
    void editAction();
    void increaseSortAction();
    void decreaseSortAction();
    void refreshAction();
    void myViewWillHidden(VTAStockFinder& finder) override;

    // ---- the expanded row's buttons (each acts on the expanded row) ----
    void portfolioAction();
    void bidAction();
    void askAction();
    void kLineAction();
    void positionAction();
    // A tap on a quote row: the quote page of the row, the list to step
    // through; "K线" starts it on the K-line page, "五档" on the trend with
    // the order book.
    std::shared_ptr<UIViewController> openStockPage(int row, std::optional<int> page = std::nullopt);

    // ---- sync and quotes ----
    // The appearance's decision: upload, download or the quotes of the table.
    void syncPortfolio();
    void downloadPortfolio();
    void requestPortfolio();
    void requestPortfolioIsRefresh(bool refresh);
    void registerAutoRefresh();
    void stopAutoRefreshTimer();

    // ---- news ----
    void switchAction();
    void selectedPopTableViewRow(int row) override;
    void requestPortfolioMessage();
    void loadMoreTableDataBegin();
    void loadMoreTableDataEnd();
    std::shared_ptr<InfoContentViewController> openNewsAtIndex(int index);
    // The article request of a headline.
    static std::string newsArticleRequestOf(const Digest& digest);

    // ---- what is shown (tests) ----
    const std::vector<PortfolioItem>& tableData() const { return tableData_; }
    const PortfolioDao::StockList& portfolioStocks() const { return portfolioStocks_; }
    int selectedIndex() const { return selectedIndex_; }
    bool isIncrease() const { return isIncrease_; }
    bool isDecrease() const { return isDecrease_; }
    bool isInfoTableView() const { return isInfoTableView_; }
    bool isLoadingInfo() const { return isLoadingInfo_; }
    bool isPoped() const { return isPoped_; }
    const std::string& postStr() const { return postStr_; }
    const std::vector<Digest>& infoTableData() const { return infoTableData_; }
    UITableView* quotesTableView() {
        view();
        return tableView_.get();
    }
    UITableView* infoTableView() {
        view();
        return infoTableView_.get();
    }
    PortfolioTitleView* titleView() const { return titleView_.get(); }
    PortfolioPopView* popView() const { return popView_.get(); }
    UIActivityIndicatorView* loadingIndicator() const { return loadingIndicator_.get(); }

    // ---- tables ----
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;
    void scrollViewWillBeginDragging(UIScrollView& scrollView) override;
    void scrollViewDidScroll(UIScrollView& scrollView) override;
    void scrollViewDidEndDragging(UIScrollView& scrollView, bool willDecelerate) override;
    bool tableViewShouldSwipeCellAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    void tableViewDidSwipeCellAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    // ---- the pull-down band of the quotes ----
    bool qzRefreshTableHeaderDataSourceIsLoading(QZRefreshTableView&) override { return isPullRefreshing_; }
    void qzRefreshTableHeaderDidTriggerRefresh(QZRefreshTableView& view) override;
    bool qzRefreshTableFooterDataSourceIsLoading(QZRefreshTableView&) override { return false; }
    void qzRefreshTableFooterDidTriggerRefresh(QZRefreshTableView&) override {}
    QZRefreshTableView* refreshHeaderView() const { return refreshHeaderView_.get(); }

    // ---- the own-stock service's answer (the deletion) ----
    void xserviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    void xserviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void xserviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;

    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    // sync and quotes (PortfolioViewController.cpp)
    void requestUploadPortfolio();
    void requestDownloadPortfolio();
    void requestMessagedPortfolio();
    void sendQuotes(const std::string& stockIds, bool afterReload);
    void refreshPortfolioData();
    void refreshTableViewData();
    void listArrived(const RequestReply& reply, bool upload);
    void quotesArrived(const RequestReply& reply);
    void radarArrived(const RequestReply& reply);
    void sortTableData();
    void sortBy(bool increase);
    void collapseExpandedRow();
    std::optional<PortfolioItem> expandedItem() const;
    std::vector<std::shared_ptr<VTAStock>> stocksOfRows() const;
    void removeDeletedRow();
    void failDeletion(const std::string& text);
    void pullRefreshEnded();
    void applicationEnteredBackground();
    void applicationWillEnterForeground();
    std::shared_ptr<UITableViewCell> quoteCell(UITableView& table, const NSIndexPath& indexPath);

    // news (PortfolioNews.cpp)
    void buildNewsTable();
    void createTitleView();
    void showPopView();
    void dismissPopView();
    void removePopView();
    void createTableFooter();
    void newsArrived(const RequestReply& reply);
    // The news (or the quotes) in the content view, the toolbar with the quotes only.
    void showInfoView(bool news);

    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<VTATCRS> zxRs_;
    std::vector<PortfolioItem> tableData_;
    PortfolioDao::StockList portfolioStocks_;
    int selectedIndex_ = -1;
    std::optional<int> oldPath_;
    std::optional<PortfolioItem> needToDeletePortfolio_;
    bool isIncrease_ = false, isDecrease_ = false;
    std::vector<std::string> radarStocks_;
    std::shared_ptr<QZRefreshTableView> refreshHeaderView_;
    bool isPullRefreshing_ = false;

    std::shared_ptr<UITableView> infoTableView_;
    std::vector<Digest> infoTableData_;
    std::unordered_set<std::string> readIds_;
    std::string postStr_ = "0";
    bool isInfoTableView_ = false, isLoadingInfo_ = false, isPoped_ = false;
    int currentSelectedInPopView_ = 0;
    std::shared_ptr<PortfolioTitleView> titleView_;
    std::shared_ptr<PortfolioPopView> popView_;
    std::shared_ptr<UIActivityIndicatorView> loadingIndicator_;
};
