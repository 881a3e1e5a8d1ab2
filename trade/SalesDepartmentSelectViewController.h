#pragma once
// Branch selection: the branches used recently on this phone (section
// "最近使用营业部", as the caller hands them, newest first) and every branch of
// the brokerage (section "所有营业部": the caller's list, or 501/17 asked each
// time the screen shows while that list is empty). Touching a branch stores
// it as the default of the local branch table (the calling form reads it when
// it shows again) and goes back. When the table refuses the branch the
// customer is told (kNotStoredText) and stays.
#include <memory>

#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"
#include "shell/RequestBinding.h"
#include "trade/TradeBranches.h"

class SalesDepartmentSelectViewController : public UIViewController,
                                            public RequestBinding,
                                            public UITableViewDataSource,
                                            public UITableViewDelegate {
public:
    static constexpr int kBranchTag = 7001;
    static constexpr const char* kTitle = "选择营业部";
    static constexpr const char* kNotStoredText = "营业部保存失败，请重试";

    SalesDepartmentSelectViewController();
    ~SalesDepartmentSelectViewController() override;

    void setUsedSalesDepartment(BranchList list) { used_ = std::move(list); }
    void setAllSalesDepartment(BranchList list) { all_ = std::move(list); }
    const BranchList& usedSalesDepartment() const { return used_; }
    const BranchList& allSalesDepartment() const { return all_; }
    void requestSalesDepartment();
    // What a touch on the row does; false when nothing was stored.
    bool pickBranch(int section, int row);
    UITableView* tableView() {
        view();
        return table_.get();
    }

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    int numberOfSectionsInTableView(UITableView& table) override { return 2; }
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    std::string tableViewTitleForHeaderInSection(UITableView& table, int section) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

private:
    void branchesArrived(const RequestReply& reply);
    const BranchList& listOf(int section) const { return section == 0 ? used_ : all_; }

    BranchList used_, all_;
    std::shared_ptr<UITableView> table_;
};
