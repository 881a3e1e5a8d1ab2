#pragma once
// How a pushed message that arrives while the client runs is announced: the
// platform user default "MessageExpressNotifyType", 1 for a vibration plus 2
// for a sound (0 to 3), stored at once at each change of the two switches.
// The first row shows whether the phone delivers notifications to the client
// at all ("已开启" / "已关闭"); the customer changes that in the phone's own
// settings. Opened from the settings screen's "消息提醒设置", without a title.
#include <memory>

#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

class UISwitch;

class MENotificationSettingViewController : public UIViewController,
                                            public UITableViewDataSource,
                                            public UITableViewDelegate {
public:
    static constexpr const char* kNotifyTypeKey = "MessageExpressNotifyType";

    MENotificationSettingViewController() = default;
    ~MENotificationSettingViewController() override;

    void loadView() override;
    void viewDidLoad() override;

    void vibrateAction();
    void ringAction();

    UITableView* tableView() const { return tableView_.get(); }
    // The switches, made with their cells (null until the table showed them).
    UISwitch* vibrateSwitch() const { return vibrateSwitch_.get(); }
    UISwitch* ringSwitch() const { return ringSwitch_.get(); }

    int numberOfSectionsInTableView(UITableView& table) override { return 2; }
    int tableViewNumberOfRowsInSection(UITableView& table, int section) override { return section == 0 ? 1 : 2; }
    std::shared_ptr<UITableViewCell> tableViewCellForRowAtIndexPath(UITableView& table,
                                                                    const NSIndexPath& indexPath) override;
    std::string tableViewTitleForFooterInSection(UITableView& table, int section) override;

private:
    void store();

    int notiType_ = 0;
    std::shared_ptr<UITableView> tableView_;
    std::shared_ptr<UISwitch> vibrateSwitch_, ringSwitch_;
};
