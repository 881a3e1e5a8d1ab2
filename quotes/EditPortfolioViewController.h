#pragma once
// The own-stock list editor ("自选股编辑"), presented by the portfolio screen
// inside a navigation controller of its own: a table always in editing mode
// (delete and reorder), "取消" and "完成" in the bar, "添加持仓股" in the
// toolbar below.
//
// Opening: when own stocks live on the server ("SaveMyStockInServer") the
// server's list with names is asked (3710/2, isreturnhq=1, field=3|1|4) and
// replaces the table; otherwise the table's stocks get their names from the
// quote server (31000/4, field=3|1|4), which only renames rows and never
// removes one. An empty table with own stocks not yet on the server turns
// the setting on and asks the server's list. A successful empty list from
// the server is an empty table, not a failure.
//
// "完成" saves the edited list: to the server (3710/5 through
// XXNetworkManager, waiting for the answer, one save at a time; the table
// follows the server's yes and the editor closes after "编辑自选股成功"), or
// straight into the table. Every answer or failure of a save ends it, so
// "完成" can be pressed again. "取消" after edits asks whether to save.
//
// "添加持仓股" (a trade session needed) asks to add the holdings of the
// logged-in account (its fund account shown masked); on yes the edits are
// saved first (waiting for the server), then 3710/6 (request type 7) is
// sent. The answer's list replaces the table when own stocks live on the
// server; kept on the phone only, the list's stocks that are missing are
// added and nothing is removed. Either way the rows keep the names they had
// and the quote server names the new ones (31000/4).
//
// Every whole list goes into the table as one change: a failure leaves the
// old list.
#include <memory>
#include <string>

#include "core/storage/PortfolioDao.h"
#include "net/XXNetworkManager.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"
#include "shell/RequestBinding.h"

class UIToolbar;

class EditPortfolioViewController : public UIViewController,
                                    public RequestBinding,
                                    public UITableViewDataSource,
                                    public UITableViewDelegate,
                                    public XXNetworkManagerDelegate,
                                    public UIAlertViewDelegate {
public:
    static constexpr int kNamesTag = 9010;
    static constexpr int kServerListTag = XXNetworkManager::kDownloadTag;
    static constexpr int kSaveTag = XXNetworkManager::kUpdateTag;
    static constexpr int kBindTag = XXNetworkManager::kHoldingsTag;
    static constexpr int kSaveAskAlertTag = 101, kSavedAlertTag = 102, kBindAskAlertTag = 201, kBoundAlertTag = 202;
    static constexpr const char* kTitle = "自选股编辑";
    static constexpr const char* kNoTradeTitle = "添加持仓股提示";
    static constexpr const char* kNoTradeText = "添加持仓股必须登录交易系统，请登录后再添加";

    EditPortfolioViewController();
    ~EditPortfolioViewController() override;

    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // ---- actions ----
    void addPositionToPortfolioAction();
    void cancelAction();
    void doneAction();

    // "code.market" of every row in display order, joined by "|".
    std::string updatedPortfolio() const;
    // The fund account as the holdings question shows it: 9 characters or
    // more with the 5th to 8th as "****", shorter ones as "******".
    static std::string maskedFundId(const std::string& fundId);

    // ---- state (tests) ----
    const PortfolioDao::StockList& tableData() const { return tableData_; }
    bool isEdited() const { return isEdited_; }
    bool isUpdateSuccess() const { return isUpdateSuccess_; }
    UITableView* tableView() {
        view();
        return tableView_.get();
    }
    UIToolbar* bindToolbar() {
        view();
        return bindToolbar_.get();
    }

    // ---- table ----
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    bool tableViewCanEditRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    bool tableViewCanMoveRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    void tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                     const NSIndexPath& indexPath) override;
    void tableViewMoveRowAtIndexPath(UITableView& table, const NSIndexPath& from, const NSIndexPath& to) override;
    NSIndexPath tableViewTargetIndexPathForMoveFromRowAtIndexPath(UITableView& table, const NSIndexPath& from,
                                                                  const NSIndexPath& proposed) override;

    // ---- the save's answer ----
    void xserviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    void xserviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void xserviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;

    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void createToolbarItems();
    void requestDownloadPortfolio();
    void requestLocalPortfolioInfo();
    void requestBindPortfolio();
    void saveToServer();
    void refreshPortfolioData();
    void serverListArrived(const RequestReply& reply);
    void namesArrived(const RequestReply& reply);
    void bindArrived(const RequestReply& reply);
    void saveEnded(const std::string& failureText, const std::string& failureMessage = "");
    void askToBindHoldings();
    void close();
    XXDelegateRef asDelegate();
    std::shared_ptr<UIAlertView> showTaggedAlert(int tag, const std::string& title,
                                                 const std::vector<std::string>& buttons);

    PortfolioDao::StockList tableData_;
    bool isEdited_ = false;
    bool isUpdateSuccess_ = false;
    bool bindAfterSave_ = false;
    std::string fundId_;
    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<UIToolbar> bindToolbar_;
};
