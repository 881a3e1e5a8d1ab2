#pragma once
// The termination list of fixed-investment plans ("终止智能定投", link
// "zndt_zz", or the opened plans' "终止"): the customer's plans (500/1804,
// the first 100, tag kListTag, asked on every appearance) in a table in
// editing mode, each row with its delete control; the row's button "终止"
// asks for confirmation on a sheet, and its "终止" ends the plan (500/1803,
// tag kCloseTag). The plan confirmed is the plan ended, even when the list
// is replaced while the sheet is up; one termination goes at a time.
//
// The reply's "msg" is shown in every case; the row goes only when the
// reply's "msgcode" is 0 (another code is a refusal, not an error set).
#include <optional>
#include <vector>

#include "funds/PlanRules.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class IFICloseViewController : public VTAViewControllers,
                               public UITableViewDataSource,
                               public UITableViewDelegate,
                               public UIActionSheetDelegate {
public:
    static constexpr int kCloseTag = 1105;
    static constexpr int kListTag = kOpenedPlansTag;
    static constexpr int kSheetTag = 201;

    IFICloseViewController();
    ~IFICloseViewController() override;

    UITableView* tableView();
    const std::vector<IFIFundInfo>& tableData() const { return tableData_; }
    bool isClosing() const { return isRequestInFlight(kCloseTag); }
    UIActionSheet* closeSheet() const { return sheet_.get(); }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void viewDidAppear(bool animated) override;

    int tableViewNumberOfRowsInSection(UITableView&, int) override { return static_cast<int>(tableData_.size()); }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    bool tableViewCanEditRowAtIndexPath(UITableView&, const NSIndexPath&) override { return true; }
    void tableViewCommitEditingStyle(UITableView& table, UITableViewCellEditingStyle style,
                                     const NSIndexPath& indexPath) override;
    std::string tableViewTitleForDeleteConfirmationButtonForRowAtIndexPath(UITableView&, const NSIndexPath&) override {
        return "终止";
    }
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, int buttonIndex) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void requestPlans();
    void requestCloseFund(const IFIFundInfo& plan);
    void listReplied(const RequestReply& reply);
    void closeReplied(const RequestReply& reply);

    std::shared_ptr<UITableView> table_;
    std::vector<IFIFundInfo> tableData_;
    std::optional<IFIFundInfo> closing_;  // the plan on the sheet, then on its way
    std::shared_ptr<UIActionSheet> sheet_;
};
