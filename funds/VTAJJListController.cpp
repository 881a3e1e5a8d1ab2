#include "funds/VTAJJListController.h"

#include "core/MenuFunctions.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "platform/uikit/UILabel.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "shell/VTAUIFactory.h"
#include "ui/Drawing.h"

VTAJJListController::VTAJJListController() {
    setTableStyle(1);
    setCellType(1);
}

void VTAJJListController::viewWillDidLoad() {
    VTAListViewController::viewWillDidLoad();
    auto menu = viewMenu();
    setMenus(menu ? visibleMenusOfNode(menu->m_id()) : std::vector<std::shared_ptr<VTAMenu>>{});
}

void VTAJJListController::createToolbarItems() {
    auto item = [this](const char* title, std::function<void()> action) {
        return std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered, this,
                                                 [action](UIBarButtonItem&) { action(); });
    };
    toolbar()->setItems({item("首页", [this] { onCommandHome(); }), flexibleSpaceBarBtn(), stockFinderButton(),
                         flexibleSpaceBarBtn(), item("刷新", [this] { onCommandRefresh(); })});
}

std::shared_ptr<UITableViewCell> VTAJJListController::tableViewCellForRowAtIndexPath(UITableView& table,
                                                                                     const NSIndexPath& ip) {
    auto cell = table.dequeueReusableCellWithIdentifier("MyIdentifier");
    if (!cell) cell = std::make_shared<UITableViewCell>(UITableViewCellStyle::Default, "MyIdentifier");
    const auto& items = menus();
    cell->textLabel()->setText(ip.row >= 0 && ip.row < static_cast<int>(items.size()) ? items[ip.row]->title() : "");
    cell->textLabel()->setTextAlignment(UITextAlignment::Center);
    cell->textLabel()->setFont(defaultFont());
    return cell;
}

std::shared_ptr<UIViewController> VTAJJListController::openItemAtIndex(int index) {
    const auto& items = menus();
    if (index < 0 || index >= static_cast<int>(items.size()) || !items[index]) return nullptr;
    // An item nothing opens does not ask for a login either.
    if (!VTAUIFactory::hasScreen(stripQuery(items[index]->link()))) return nullptr;
    std::shared_ptr<UIViewController> vc;
    if (hasTradeSession()) {
        vc = VTAUIFactory::viewControllerWithMenu(items[index]);
    } else {
        vc = VTAUIFactory::tradeLoginViewController(items[index], VTAUIFactory::kTradeLoginTitle);
    }
    if (!vc) return nullptr;
    // The login hands the message on to the screen it opens.
    if (auto message = viewMessage())
        if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get())) screen->setViewMessage(message);
    return pushViewController(vc) ? vc : nullptr;
}
