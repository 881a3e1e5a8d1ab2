#pragma once
// Customer service: a list of what the customer can do with the brokerage.
//   关联资金帐号  the trade login in relate mode (link "tradelogin?relate=1",
//                 title "关联资金帐号")
//   手机令牌      the soft-token status page (link "softtoken", title "手机令牌")
//   客服热线      the brokerage's hot line (kBrokerageHotline) with the phone's
//                 prompt before it calls (platform/services/PhoneCall.h)
//   意见反馈      the feedback screen;  邀请好友  the invitation by SMS
// Entries whose screen no step has registered yet open nothing.
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class VTACustomerServiceViewController : public VTAViewControllers,
                                         public UITableViewDataSource,
                                         public UITableViewDelegate {
public:
    struct Item {
        std::string title;
        std::string link;  // "" for the hot line
    };

    VTACustomerServiceViewController();
    ~VTACustomerServiceViewController() override;
    static const std::vector<Item>& items();
    // What a tap on the row does; answers the screen pushed (null for none,
    // and for the hot line, whose prompt shows instead).
    std::shared_ptr<UIViewController> selectItem(int index);
    UITableView* tableView() {
        view();
        return table_.get();
    }

    void viewWillDidLoad() override;

    int tableViewNumberOfRowsInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& indexPath) override;

private:
    std::shared_ptr<UITableView> table_;
};
