#include "messages/MENotificationSettingViewController.h"

#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UISwitch.h"

MENotificationSettingViewController::~MENotificationSettingViewController() {
    if (tableView_) {
        tableView_->setDelegate(nullptr);
        tableView_->setDataSource(nullptr);
    }
}

void MENotificationSettingViewController::loadView() {
    CGRect app = UIScreen::mainScreen().applicationFrame();
    auto root = std::make_shared<UIView>(CGRectMake(0, 0, app.size.width, app.size.height - 44));
    tableView_ = std::make_shared<UITableView>(root->bounds(), UITableViewStyle::Grouped);
    tableView_->setScrollEnabled(false);
    root->addSubview(tableView_);
    setView(root);
}

void MENotificationSettingViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    notiType_ = static_cast<int>(NSUserDefaults::standardUserDefaults().integerForKey(kNotifyTypeKey));
    tableView_->setDataSource(this);
    tableView_->setDelegate(this);
}

std::shared_ptr<UITableViewCell> MENotificationSettingViewController::tableViewCellForRowAtIndexPath(
    UITableView& table, const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "Cell");
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->setAccessoryType(UITableViewCellAccessoryType::None);
    cell->setAccessoryView(nullptr);
    for (auto* s : {vibrateSwitch_.get(), ringSwitch_.get()})
        if (s && s->superview() == cell->contentView()) s->removeFromSuperview();
    cell->detailTextLabel()->setText("");
    if (ip.section == 0) {
        cell->textLabel()->setText("通知");
        bool enabled =
            UIApplication::sharedApplication().enabledRemoteNotificationTypes() != UIRemoteNotificationTypeNone;
        cell->detailTextLabel()->setText(enabled ? "已开启" : "已关闭");
        return cell;
    }
    const bool vibrate = ip.row == 0;
    cell->textLabel()->setText(vibrate ? "震动" : "铃声");
    auto& control = vibrate ? vibrateSwitch_ : ringSwitch_;
    if (!control) {
        control = std::make_shared<UISwitch>(CGRectMake(200, 8, 94, 28));
        control->setOn(vibrate ? (notiType_ == 1 || notiType_ == 3) : (notiType_ == 2 || notiType_ == 3));
        control->addTarget(
            this, [this, vibrate](UIControl&) { vibrate ? vibrateAction() : ringAction(); },
            UIControlEventValueChanged);
    }
    cell->contentView()->addSubview(control);
    return cell;
}

std::string MENotificationSettingViewController::tableViewTitleForFooterInSection(UITableView&, int section) {
    if (section == 0) return "开启或关闭通知，请在iPhone的“设置”-“通知”中，找到“翠岚星”进行更改。";
    return "当翠岚星在运行时，你可以设置是否需要声音或者振动。";
}

void MENotificationSettingViewController::vibrateAction() { store(); }
void MENotificationSettingViewController::ringAction() { store(); }

void MENotificationSettingViewController::store() {
    // A switch not made yet keeps the stored choice.
    bool vibrate = vibrateSwitch_ ? vibrateSwitch_->isOn() : (notiType_ == 1 || notiType_ == 3);
    bool ring = ringSwitch_ ? ringSwitch_->isOn() : (notiType_ == 2 || notiType_ == 3);
    notiType_ = (vibrate ? 1 : 0) + (ring ? 2 : 0);
    NSUserDefaults::standardUserDefaults().setInteger(notiType_, kNotifyTypeKey);
}
