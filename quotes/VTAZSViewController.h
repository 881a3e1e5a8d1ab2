#pragma once
// The quote list of the stocks a menu link's request returns: a sector's
// members ("bkph"), the indices ("zgzs"). The request is the link's pairs
// with "&field=1|2|3|4|6|11|13|14|15|16|20|21"; it goes out each time the
// screen is shown, on "刷新" and, after each reply, on the auto refresh.
//
// A row's change-percent button, or a second tap on the same row within
// 0.3 s, opens the stock's quote page (and keeps its market id in the
// setting "hkmarket"). Lists other than a sector's offer "加入自选" for the
// row last tapped: a stock already in the own stocks is refused
// ("自选股已经存在") and nothing is sent; when own stocks live on the server
// ("SaveMyStockInServer") the server is asked first (3710/3) and the table
// changes only on its yes ("添加自选股成功"; a refusal, an error or a failed
// line is shown and leaves the table as it was); otherwise the table alone
// ("添加自选成功" / "添加自选失败").
#include <memory>

#include "net/XXNetworkManager.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class HQTableCell;
class QZPortfolioStock;
class VTATCRS;

class VTAZSViewController : public VTAViewControllers,
                            public UITableViewDataSource,
                            public UITableViewDelegate,
                            public XXNetworkManagerDelegate {
public:
    static constexpr int kListTag = 3202;
    static constexpr const char* kFields = "1|2|3|4|6|11|13|14|15|16|20|21";
    static constexpr double kRowHeight = 38;
    static constexpr double kDoubleTapSeconds = 0.3;

    VTAZSViewController();
    ~VTAZSViewController() override;

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void createToolbarItems() override;
    void onCommandRefresh() override { requestList(); }

    void requestList();
    // "加入自选".
    void portfolioAction();
    // Opens the quote page of the cell's stock.
    void goToFSView(HQTableCell& cell);

    // ---- state (tests) ----
    const std::shared_ptr<VTATCRS>& zsRs() const { return zsRs_; }
    int selectedIndex() const { return selectedIndex_; }
    UITableView* tableView() const { return myTableView_.get(); }
    // Whether the link is a sector's members ("bkph").
    bool isSectorList() const;
    // The server's answer to "加入自选" is awaited.
    bool isAddingToServer() const { return static_cast<bool>(pendingAdd_); }

    // ---- table ----
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

    // ---- the own-stock service's answer (3710/3) ----
    void xserviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) override;
    void xserviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) override;
    void xserviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) override;

private:
    void listArrived(const RequestReply& reply);
    void addedOnServer(bool done, const std::string& failure);

    std::shared_ptr<UITableView> myTableView_;
    std::shared_ptr<VTATCRS> zsRs_;
    int selectedIndex_ = 0;
    double oldTime_ = 0;
    std::shared_ptr<QZPortfolioStock> pendingAdd_;  // sent to the server, not yet answered
};
