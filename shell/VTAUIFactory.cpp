#include "shell/VTAUIFactory.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/MenuFunctions.h"
#include "core/RequestText.h"
#include "core/VTAMenu.h"
#include "core/VTAMessage.h"
#include "core/VTATree.h"
#include "platform/uikit/UIViewController.h"
#include "shell/Navigation.h"
#include "shell/TradeSession.h"
#include "shell/VTAListViewController.h"
#include "shell/VTAMenuScreen.h"
#include "ui/Alerts.h"

namespace {

ScreenRegistry& registry() { return ScreenRegistry::shared(); }

void handOver(const std::shared_ptr<UIViewController>& vc, const std::shared_ptr<VTAMenu>& menu,
              const std::shared_ptr<VTAMessage>& message, const ScreenOptions& options) {
    if (!options.keepsTitle) vc->setTitle(menu->title());
    if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get())) {
        if (!options.withoutMenu && !screen->viewMenu()) screen->setViewMenu(menu);
        if (message) screen->setViewMessage(message);
    }
}

std::shared_ptr<VTAMenu> makeMenu(const std::string& link, const std::string& title) {
    auto menu = std::make_shared<VTAMenu>();
    menu->setLink(link);
    menu->setTitle(title);
    menu->setM_id(-1);
    menu->setM_pid(-1);
    return menu;
}

std::shared_ptr<UIViewController> stockPageOf(const StockPageFactory& factory,
                                              const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) {
    if (!factory || index < 0 || index >= static_cast<int>(stocks.size()) || !stocks[index]) return nullptr;
    return factory(stocks, index);
}

}  // namespace

bool VTAUIFactory::hasScreen(const std::string& command) {
    const ScreenRegistry& r = registry();
    if (r.screen(command)) return true;
    if (stripQuery(command) == kTradeLoginCommand) return static_cast<bool>(r.tradeLogin());
    const std::string plainCommand = stripQuery(command);
    for (const auto& e : VTALinkTable::entries())
        if (e.command == plainCommand && r.hasScreenClass(e.screenClass)) return true;
    // "buysale" and "rzrq_rzmr" have a second class for older systems.
    if (plainCommand == "buysale") return r.hasScreenClass("VTATradeController");
    if (plainCommand == "rzrq_rzmr") return r.hasScreenClass("VTARZRQTradeViewController");
    return false;
}

bool VTAUIFactory::hasStockPage() { return static_cast<bool>(registry().stockPage()); }

std::shared_ptr<UIViewController> VTAUIFactory::stockPageWithStocks(
    const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) {
    return stockPageOf(registry().stockPage(), stocks, index);
}

std::shared_ptr<UIViewController> VTAUIFactory::stockListPageWithStocks(
    const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) {
    return stockPageOf(registry().stockListPage(), stocks, index);
}

bool VTAUIFactory::hasAccountsPager() { return static_cast<bool>(registry().accountsPager()); }

std::shared_ptr<UIViewController> VTAUIFactory::accountsPager(bool hkAccounts) {
    auto factory = registry().accountsPager();
    if (!factory) return nullptr;
    auto vc = factory(hkAccounts);
    if (vc) vc->setTitle(kAccountsPagerTitle);
    return vc;
}

std::shared_ptr<UIViewController> VTAUIFactory::viewControllerWithMenu(const std::shared_ptr<VTAMenu>& menu) {
    if (!menu) return nullptr;
    const ScreenRegistry& r = registry();
    const std::string command = stripQuery(menu->link());

    // A group of the menu tree opens the list of its visible children.
    if (menu->m_id() != -1) {
        auto children = visibleMenusOfNode(menu->m_id());
        if (!children.empty() && !hasScreen(command)) {
            auto list = std::make_shared<VTAListViewController>();
            list->setTitle(menu->title());
            list->setViewMenu(menu);
            list->setMenus(children);
            return list;
        }
    }

    if (command == kTradeLoginCommand && r.tradeLogin()) {
        auto factory = r.tradeLogin();
        auto vc = factory(menu);
        if (!vc) return nullptr;
        handOver(vc, menu, nullptr, ScreenOptions{});
        return vc;
    }
    if (const auto* found = r.screen(command)) {
        ScreenRegistry::Entry entry = *found;  // a factory may register further entries
        auto vc = entry.factory(menu);
        if (!vc) return nullptr;
        handOver(vc, menu, nullptr, entry.options);
        if (entry.options.tradeScreen || isTradeLink(command)) markTradeScreen(vc);
        return vc;
    }

    // A link of the table whose screen class is built.
    auto setup = VTALinkTable::setupForMenu(*menu);
    if (!setup) return nullptr;
    const ScreenClassFactory* maker = r.screenClass(setup->screenClass);
    if (!maker) return nullptr;
    ScreenClassFactory factory = *maker;
    auto vc = factory(*setup, menu);
    if (!vc) return nullptr;
    vc->setTitle(setup->fixedTitle ? setup->title : menu->title());
    ScreenOptions options;
    options.keepsTitle = true;
    options.withoutMenu = setup->withoutMenu;
    handOver(vc, menu, nullptr, options);
    if (setup->trade) markTradeScreen(vc);
    return vc;
}

std::shared_ptr<UIViewController> VTAUIFactory::viewControllerWithLink(const std::string& link,
                                                                       const std::string& title) {
    return viewControllerWithMenu(makeMenu(link, title));
}

std::shared_ptr<UIViewController> VTAUIFactory::tradeLoginViewController(const std::shared_ptr<VTAMenu>& pending,
                                                                         const std::string& title) {
    auto factory = registry().tradeLogin();
    if (!factory) return nullptr;
    auto vc = factory(pending);
    if (!vc) return nullptr;
    if (vc->title().empty()) vc->setTitle(title);
    if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get()))
        if (pending && !screen->viewMenu()) screen->setViewMenu(pending);
    return vc;
}

std::shared_ptr<UIViewController> VTAUIFactory::tradeViewControllerWithLink(const std::string& link,
                                                                            const std::string& title) {
    auto menu = makeMenu(link, title);
    if (!hasScreen(stripQuery(link))) return nullptr;
    if (hasTradeSession()) return viewControllerWithMenu(menu);
    return tradeLoginViewController(menu);
}

std::shared_ptr<UIViewController> VTAUIFactory::openMenuWithTradeGate(const std::shared_ptr<VTAMenu>& menu,
                                                                      const std::shared_ptr<VTAMessage>& message) {
    if (!menu) return nullptr;
    std::shared_ptr<UIViewController> vc;
    if (isTradeLink(menu->link()) && !hasTradeSession()) {
        // A trade link whose screen this build does not have opens nothing,
        // not a login that could lead nowhere.
        if (!hasScreen(stripQuery(menu->link()))) return nullptr;
        vc = tradeLoginViewController(menu);
        if (!vc) {
            showAlert(kNoTradeLoginText);
            return nullptr;
        }
        if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get()))
            if (message) screen->setViewMessage(message);
    } else {
        vc = viewControllerWithMenu(menu);
        if (!vc) return nullptr;
        if (auto* screen = dynamic_cast<VTAMenuScreen*>(vc.get()))
            if (message) screen->setViewMessage(message);
    }
    return pushViewController(vc) ? vc : nullptr;
}

bool VTAUIFactory::isTradeLink(const std::string& link) {
    return VTALinkTable::isTradeCommand(link) || registry().isTradeCommand(stripQuery(link));
}

bool VTAUIFactory::isTradeScreen(const UIViewController* vc) { return registry().isRememberedTradeScreen(vc); }

void VTAUIFactory::markTradeScreen(const std::shared_ptr<UIViewController>& vc) { registry().rememberTradeScreen(vc); }

std::vector<std::shared_ptr<UIViewController>> VTAUIFactory::liveTradeScreens() {
    return registry().liveTradeScreens();
}
