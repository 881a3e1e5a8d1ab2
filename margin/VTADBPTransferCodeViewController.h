#pragma once
// The collateral code entry ("rzrq_dbpzq" 担保证券查询, "rzrq_bdzq" 标的证券查询):
// one row "股票代码" with a 6-character field over the toolbar "首页", the
// stock finder and "确定"; "确定" opens the securities list of that code
// (VTARZRQDBPZQSelectViewController) with this screen's menu item, whose
// link names the list. Anything but six characters: "股票代码输入有误！".
#include <memory>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"
#include "ui/VTATextField.h"

class VTADBPTransferCodeViewController : public VTAViewControllers,
                                         public UITableViewDataSource,
                                         public UITableViewDelegate {
public:
    ~VTADBPTransferCodeViewController() override;
    VTATextField* codeField();
    UITableView* tableView();

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void onCommandOK() override;

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 1; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    double tableViewHeightForRowAtIndexPath(UITableView&, const NSIndexPath&) override { return 43; }

private:
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<VTATextField> code_;
};
