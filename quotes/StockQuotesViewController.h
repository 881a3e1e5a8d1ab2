#pragma once
// The quote page of one stock: a horizontally paged area with the intraday
// trend chart, the K-line chart, the tick-by-tick deals and the stock's F10
// information list (an index or a Hong Kong stock has the two charts only),
// the page marks "分" "K" "细" "F10" under it, the information-radar strip,
// and a toolbar: 刷新 (首页 on the F10 page), 买入, 卖出. The title shows the
// name over the code, with arrows to the previous and next stock when the
// page was opened with a list; the search button opens the stock finder, and
// the button on the trend chart adds the stock to the own stocks or removes
// it ("添加自选" / "删除自选").
//
// Requests (request type 3, each kind under its own tag): the trend (31000/1,
// 1501, its cached copy 1503), the K-line of the chart's period and
// indicator (31000/2, 1504 / 1506), the newest 30 deals (31000/9, 103), the
// two indices (31000/4, 106) and the stock's radar items (504/60, 107). A
// page asks for its data when it comes into view, unless that data has
// arrived for this stock already (the K-line page always asks). Chart replies
// of another stock (after a quick step) are dropped; a cached copy is used
// only while nothing fresh has arrived.
//
// The radar: on every appearance and change of stock the strip shows the two
// indices (asked at once), and the radar items are asked 3 s later; a stock
// without radar ("type" 1, or a failure) keeps the indices, which every auto
// refresh then renews.
//
// Auto refresh (the base's startAutoRefresh: the setting "auto refresh" on
// and trading time now): the trend, K-line and tick requests stop it and
// their replies start it again; each firing asks for the page's chart. A
// failed request shows its description, and dismissing it starts the auto
// refresh again. The deals list keeps its own timer only while its page is on
// screen and this page is not covered by another screen; it resumes on return.
//
// Stepping to the previous or next stock (wrapping at the ends) cancels this
// page's requests, hides the crosshairs, rebuilds the pages for the new
// stock (the deals list follows it; the current page is kept within the new
// page count) and reloads the radar.
//
// Own stocks: kept on the phone (the own-stock table) unless the setting
// "SaveMyStockInServer" is on; then the server is asked first (3710/3 add,
// 3710/4 delete, through XXNetworkManager) and the table follows its yes.
// The progress overlay shows the outcome: "添加自选成功" / "删除自选成功", or
// "添加自选股成功" / "删除自选股成功" from the server; failures (a refusal,
// an error set, an unreadable reply, a network failure) with the error mark.
//
// 买入 and 卖出 open the order screen through the trade gate (tradeWithStock),
// which refuses indices ("指数不能交易！") and Hong Kong stocks ("港股暂时无法交易！").
#include <memory>
#include <string>
#include <vector>

#include "charts/CandlesticksChartView.h"
#include "charts/TimeTrendChartView.h"
#include "net/QZNetworkService.h"
#include "net/XXNetworkManager.h"
#include "platform/uikit/UIScrollView.h"
#include "quotes/QuotesInfoRadarView.h"
#include "shell/VTAViewControllers.h"

class NSTimer;
class QuotesPageControl;
class TransactionDetailsViewController;
class UILabel;
class VTAListViewController;
class VTAStock;

class StockQuotesViewController : public VTAViewControllers,
                                  public UIScrollViewDelegate,
                                  public TimeTrendChartDataSource,
                                  public TimeTrendChartDelegate,
                                  public CandlesticksChartDataSource,
                                  public CandlesticksChartDelegate,
                                  public QuotesInfoRadarDelegate,
                                  public XXNetworkManagerDelegate {
public:
    static constexpr int kTimeTrendTag = QZNetworkService::kIntradayTag;  // cached copy 1503
    static constexpr int kCandlesticksTag = QZNetworkService::kKLineTag;  // cached copy 1506
    static constexpr int kTradeDetailTag = 103, kMarketIndexTag = 106, kInfoRadarTag = 107;
    static constexpr int kTimeTrendPage = 0, kCandlesticksPage = 1, kTradeDetailPage = 2, kF10Page = 3;
    static constexpr double kInfoRadarDelay = 3.0;
    static constexpr int kTechViewTag = 2000;
    static constexpr int kCandlesticksCount = 320;
    static constexpr double kMarksHeight = 16, kRadarHeight = 16;
    static constexpr const char* kAddTitle = "添加自选";
    static constexpr const char* kDeleteTitle = "删除自选";

    // One stock, no arrows.
    explicit StockQuotesViewController(std::shared_ptr<VTAStock> stock);
    // A list and the stock to start on; arrows step through the list.
    StockQuotesViewController(std::vector<std::shared_ptr<VTAStock>> stocks, int index);
    ~StockQuotesViewController() override;

    // ---- what the page shows ----
    const std::shared_ptr<VTAStock>& currentStock() const { return currentStock_; }
    int currentStockIndex() const { return currentStockIndex_; }
    const std::vector<std::shared_ptr<VTAStock>>& availableStocks() const { return availableStocks_; }
    bool hasArrows() const { return hasArrows_; }
    int pageCount() const { return pageCount_; }
    int currentPage() const;
    bool isInPortfolio() const { return isInPortfolio_; }
    bool isRequestedTimeTrend() const { return isRequestedTimeTrend_; }
    bool isRequestedCandlesticks() const { return isRequestedCandlesticks_; }
    bool isRequestedTradeDetail() const { return isRequestedTradeDetail_; }
    bool isInfoRadarNil() const { return isInfoRadarNil_; }
    const std::vector<std::string>& infoRadarContentArray() const { return infoRadarContentArray_; }
    const RecordSets& timeTrendData() const { return timeTrendData_; }
    const RecordSets& candlesticksData() const { return candlesticksData_; }
    NSTimer* infoRadarTimer() const { return infoRadarTimer_.get(); }

    UIScrollView* quotesScrollView();
    QuotesPageControl* quotesPageControl();
    QuotesInfoRadarView* quotesInfoRadarView();
    UIButton* portfolioBtn();
    TimeTrendChartView* timeTrendChartView();
    CandlesticksChartView* candlesticksChartView();
    // Null for an index or a Hong Kong stock until a stock with four pages comes.
    TransactionDetailsViewController* transDetailVC() const { return transDetailVC_.get(); }
    VTAListViewController* f10ViewController() const { return f10ViewController_.get(); }
    UILabel* nameLabel() const { return nameLabel_.get(); }
    UILabel* codeLabel() const { return codeLabel_.get(); }

    // ---- actions ----
    // Shows page 0 to 3 as the openers do that start on a page (page 1 shows
    // the stored indicator and asks for the K-line).
    void scrollToPageIndex(int page);
    void requestByPageIndex(int page);
    void registerAutoRefresh();
    void doAutoRefresh();
    void doRefresh();
    void doBid();
    void doAsk();
    void doHome();
    void doSearchStock();
    void portfolioAction();
    void leftAction();
    void rightAction();
    void reloadInfoRadarView();
    // Whether set 0 of a chart reply is the current stock ("code", "exchid").
    bool isSameStockOfQuotesRequestWithArray(const RecordSets& sets) const;
    static std::string techIndexValueFromIndex(int index);

    // ---- the request texts ----
    RequestBuilder timeTrendRequest() const;
    RequestBuilder candlesticksRequest(int techIndexType) const;
    static RequestBuilder marketIndexRequest();
    RequestBuilder infoRadarRequest() const;

    // ---- life cycle ----
    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidUnload() override;
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation o) override;

    // ---- served to the views ----
    void scrollViewDidEndDecelerating(UIScrollView& scrollView) override;
    RecordSets quotesDataInTimeTrendChartView(TimeTrendChartView& chart) override { return timeTrendData_; }
    void clickActionInTimeTrendView(TimeTrendChartView& chart) override;
    RecordSets quotesDataInCandlestickChartView(CandlesticksChartView& chart) override { return candlesticksData_; }
    void clickActionInCandlesticksView(CandlesticksChartView& chart) override;
    void changeTechIndex(CandlesticksChartView& chart) override;
    void quotesInfoRadarAction() override;
    void xserviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    void xserviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void xserviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void commonInit();
    void buildTitleView();
    void reloadTitle();
    void reloadScrollViews();
    void reloadStockView();
    void stepToStock(int index);
    void createToolbarWithPage(int page);
    void setPortfolioButtonTitle();
    void showPage(int page);
    // Asks again for the shown page's data (the deals only when asked) and,
    // while the stock has no radar, the indices.
    void refreshPage(bool withTradeDetail);
    template <class Chart>
    void toggleCrosshair(Chart& chart);
    void stopTradeDetailTimer();
    void resumeTradeDetailTimer();
    void setNoRadar();

    void sendTimeTrendRequest();
    void sendCandlesticksRequest(int techIndexType);
    void sendTradeDetailRequest();
    void sendMarketIndexRequest();
    void sendInfoRadarRequest();

    void timeTrendArrived(const RequestReply& reply);
    void candlesticksArrived(const RequestReply& reply);
    void tradeDetailArrived(const RequestReply& reply);
    void marketIndexArrived(const RequestReply& reply);
    void infoRadarArrived(const RequestReply& reply);

    bool changePortfolioTable(bool add);
    void finishPortfolioChange(bool add, bool fromServer);

    std::vector<std::shared_ptr<VTAStock>> availableStocks_;
    int currentStockIndex_ = 0;
    std::shared_ptr<VTAStock> currentStock_;
    bool hasArrows_ = false;
    int pageCount_ = 4;
    bool isInPortfolio_ = false;
    bool isRequestedTimeTrend_ = false, isRequestedCandlesticks_ = false, isRequestedTradeDetail_ = false;
    bool isInfoRadarNil_ = false;
    std::vector<std::string> infoRadarContentArray_;
    RecordSets timeTrendData_, candlesticksData_;
    std::shared_ptr<NSTimer> infoRadarTimer_;
    bool pendingPortfolioAdd_ = false;

    std::shared_ptr<UIScrollView> quotesScrollView_;
    std::shared_ptr<QuotesPageControl> quotesPageControl_;
    std::shared_ptr<QuotesInfoRadarView> quotesInfoRadarView_;
    std::shared_ptr<UIButton> portfolioBtn_;
    std::shared_ptr<TimeTrendChartView> timeTrendChartView_;
    std::shared_ptr<CandlesticksChartView> candlesticksChartView_;
    std::shared_ptr<TransactionDetailsViewController> transDetailVC_;
    std::shared_ptr<VTAListViewController> f10ViewController_;
    std::shared_ptr<UILabel> nameLabel_, codeLabel_;
};
