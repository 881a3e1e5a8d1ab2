#include "shell/VTACustomerServiceViewController.h"

#include "core/Brokerage.h"
#include "platform/services/PhoneCall.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"

VTACustomerServiceViewController::VTACustomerServiceViewController() { setTitle("客户服务"); }

VTACustomerServiceViewController::~VTACustomerServiceViewController() {
    if (table_) {
        table_->setDelegate(nullptr);
        table_->setDataSource(nullptr);
    }
}

const std::vector<VTACustomerServiceViewController::Item>& VTACustomerServiceViewController::items() {
    static const std::vector<Item> list = {
        {"关联资金帐号", "tradelogin?relate=1"},
        {"手机令牌", "softtoken"},
        {"客服热线", ""},
        {"意见反馈", "feedback"},
        {"邀请好友", "invite"},
    };
    return list;
}

void VTACustomerServiceViewController::viewWillDidLoad() {
    hideToolBar();
    table_ = std::make_shared<UITableView>(contentView()->bounds(), UITableViewStyle::Grouped);
    table_->setDataSource(this);
    table_->setDelegate(this);
    contentView()->addSubview(table_);
}

std::shared_ptr<UIViewController> VTACustomerServiceViewController::selectItem(int index) {
    if (index < 0 || index >= static_cast<int>(items().size())) return nullptr;
    const Item& item = items()[index];
    if (item.link.empty()) {
        PhoneCallPrompt::ask(kBrokerageHotline);
        return nullptr;
    }
    auto vc = VTAUIFactory::viewControllerWithLink(item.link, item.title);
    return pushViewController(vc) ? vc : nullptr;
}

int VTACustomerServiceViewController::tableViewNumberOfRowsInSection(UITableView&, int) {
    return static_cast<int>(items().size());
}

std::shared_ptr<UITableViewCell> VTACustomerServiceViewController::tableViewCellForRowAtIndexPath(
    UITableView& table, const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("ServiceCell");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Value1, "ServiceCell");
    if (ip.row < 0 || ip.row >= static_cast<int>(items().size())) return cell;
    const Item& item = items()[ip.row];
    cell->textLabel()->setText(item.title);
    if (cell->detailTextLabel()) cell->detailTextLabel()->setText(item.link.empty() ? kBrokerageHotline : "");
    cell->setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    return cell;
}

void VTACustomerServiceViewController::tableViewDidSelectRowAtIndexPath(UITableView& table, const NSIndexPath& ip) {
    table.deselectRowAtIndexPath(ip, true);
    selectItem(ip.row);
}
