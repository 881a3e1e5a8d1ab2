#pragma once
// The older tick-by-tick deal list of one stock, opened by the older chart
// screen's "交易明细" (titled "成交明细-<name>" by the opener): 30 deals a
// page, newest first, with a page bar ("上一页", "第n页", "下一页") along the
// bottom that a tap on a row hides or shows again (the last deals scroll
// clear of it). Turning the page curls the
// list up (a later page) or down and asks for it.
//
// The request (31000/9, request type 3) is sent each time the screen comes
// on screen and after each page turn; a reply starts the auto refresh
// (trading hours, "auto refresh" on), which repeats it. "刷新" asks again
// while a market session is open (strictly inside it: 10:00-12:30 and
// 14:30-16:30 for Hong Kong, market 3; 9:30-11:30 and 13:00-15:00 otherwise).
//
// Replies: no record set shows "数据构建错误！"; a deals set that cannot be
// read keeps the rows; an error set, a network or a service failure shows its
// text. Big deals use "StepForBS", else 1000, which the setting then keeps.
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UITableView.h"
#include "quotes/TickRows.h"
#include "shell/VTAViewControllers.h"
#include "ui/VTAPageCtr.h"

class VTACJViewController : public VTAViewControllers,
                            public UITableViewDataSource,
                            public UITableViewDelegate,
                            public VTAPageCtrDelegate {
public:
    static constexpr int kDetailTag = 103;
    static constexpr int kDefaultThreshold = 1000;
    static constexpr double kPageCurlSeconds = 1.0;

    VTACJViewController();
    ~VTACJViewController() override;

    void setStockCode(const std::string& code) { stockCode_ = code; }
    const std::string& stockCode() const { return stockCode_; }
    void setStockName(const std::string& name) { stockName_ = name; }
    const std::string& stockName() const { return stockName_; }
    void setMarket(int market) { market_ = market; }
    int market() const { return market_; }

    int pageSize() const { return pageSize_; }
    int offset() const { return offset_; }
    int bigSetting() const { return bigSetting_; }
    const std::vector<TickRow>& CJListData() const { return cjItems_; }
    VTAPageCtr* pageCtr() const { return pageCtr_.get(); }
    UITableView* myTableView() {
        view();
        return myTableView_.get();
    }

    void requestDetailPrice();
    void registerAutoRefresh();
    // Whether the stock's market is inside a session now (what "刷新" asks).
    bool isInsideTradingWindow() const;

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;
    void onCommandRefresh() override;

    void pageActionFromPageCtr(VTAPageCtr& pageCtr) override;
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void showReply(const RequestReply& reply);
    // While the page bar is shown the list scrolls its last deals above it.
    void keepRowsClearOfPageBar(bool barShown);

    std::string stockCode_, stockName_;
    int market_ = 0;
    int pageSize_ = 30;
    int offset_ = 0;
    int bigSetting_ = kDefaultThreshold;
    int prepage_ = 1;
    std::vector<TickRow> cjItems_;
    std::shared_ptr<UITableView> myTableView_;
    std::shared_ptr<VTAPageCtr> pageCtr_;
};
