#pragma once
// The quote list of the stocks a menu link's request returns: a sector's
// members ("bkph"), the indices ("zgzs"). The request is the link's pairs
// with "&field=1|2|3|4|6|11|13|14|15|16|20|21"; it goes out each time the
// screen is shown, on "刷新" and, after each reply, on the auto refresh.
//
// A row's change-percent button, or a second tap on the same row within
// 0.3 s, opens the stock's quote page (and keeps its market id in the
// setting "hkmarket"). Lists other than a sector's offer "加入自选" for the
// row last tapped (the own stocks, and the server's list when they live
// there).
#include <memory>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class HQTableCell;
class VTATCRS;

class VTAZSViewController : public VTAViewControllers, public UITableViewDataSource, public UITableViewDelegate {
public:
    static constexpr int kListTag = 3202;
    static constexpr const char* kFields = "1|2|3|4|6|11|13|14|15|16|20|21";
    static constexpr double kRowHeight = 38;
    static constexpr double kDoubleTapSeconds = 0.3;

    VTAZSViewController();
    ~VTAZSViewController() override;

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
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

    // ---- table ----
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

private:
    void listArrived(const RequestReply& reply);

    std::shared_ptr<UITableView> myTableView_;
    std::shared_ptr<VTATCRS> zsRs_;
    int selectedIndex_ = 0;
    double oldTime_ = 0;
};
