#pragma once
// The fund information list and the fund menu lists ("of_jjzx", and "sgb" and
// "openfund"): the visible children of the list's own menu item, taken once,
// in a grouped table of centred titles. A row opens its item only for a
// customer logged in to trading; otherwise the trade login, titled "交易登录",
// opens with the item pending (an item nothing opens opens no login either).
// The list's own message (the fund query hub's
// "资讯" hands "ofcode=<code>") goes on to the screen opened, and to the login
// to hand on after logging in. "刷新" asks nothing: the rows come from the
// menu tree.
#include "shell/VTAListViewController.h"

class VTAJJListController : public VTAListViewController {
public:
    VTAJJListController();

    // 0 for "of_jjzx", 1 for "sgb" and "openfund"; both behave alike.
    int jjListDataSourceType() const { return dataSourceType_; }
    void setJjListDataSourceType(int type) { dataSourceType_ = type; }

    void viewWillDidLoad() override;
    void createToolbarItems() override;
    void onCommandRefresh() override {}
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    std::shared_ptr<UIViewController> openItemAtIndex(int index) override;

private:
    int dataSourceType_ = 0;
};
