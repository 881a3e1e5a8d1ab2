#pragma once
// The automatic repayment setting ("rzrq_zdhksz", 自动还款设置): one row
// "现在设置自动还款为:" with a switch under the header
// "当前自动还款设置为:开通" / "关闭" (a blank until the brokerage said). Every
// appearance asks the state (500/86, "repayflag" "1" on); the switch sends
// the setting (500/87) and a setting the brokerage took ("msgok") asks the
// state again. Each has its own tag. The switch waits for the first state
// and, one setting at a time, for the answer to a setting; a setting refused,
// failed or not taken puts it back to the state the header shows.
#include <memory>
#include <optional>

#include "platform/uikit/UITableView.h"
#include "shell/VTAViewControllers.h"

class UISwitch;

class MarginAutoRepaymentViewController : public VTAViewControllers,
                                          public UITableViewDataSource,
                                          public UITableViewDelegate {
public:
    static constexpr int kStatusTag = 7034;
    static constexpr int kSetTag = 7035;
    static constexpr const char* kUnknownOutcomeText = "设置请求已发出，请以当前自动还款设置为准";

    MarginAutoRepaymentViewController();
    ~MarginAutoRepaymentViewController() override;

    UISwitch* repaySwitch();
    UITableView* tableView();
    // "开通", "关闭", or nothing before the first state.
    const std::optional<std::string>& currentStatus() const { return currentStatus_; }

    void viewWillDidLoad() override;
    void viewDidAppear(bool animated) override;
    void repayAction();

    int numberOfSectionsInTableView(UITableView&) override { return 1; }
    int tableViewNumberOfRowsInSection(UITableView&, int) override { return 1; }
    std::string tableViewTitleForHeaderInSection(UITableView& table, int section) override;
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;

protected:
    void requestDidFail(const RequestFailure& failure) override;

private:
    void requestStatus();
    void statusArrived(const RequestReply& reply);
    void setArrived(const RequestReply& reply);
    // The switch back to the state last known, and free again once one is known.
    void restoreSwitch();

    std::optional<std::string> currentStatus_;
    std::shared_ptr<UITableView> table_;
    std::shared_ptr<UISwitch> switch_;
};
