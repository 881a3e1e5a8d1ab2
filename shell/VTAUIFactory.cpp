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

struct Entry {
    ScreenFactory factory;
    ScreenOptions options;
};

struct Registry {
    std::map<std::string, Entry> entries;
    std::map<std::string, ScreenClassFactory> classes;
    std::set<std::string> tradeCommands;  // registered as trade screens beyond the table
    StockPageFactory stockPage;
    AccountsPagerFactory accountsPager;
    std::vector<std::weak_ptr<UIViewController>> tradeScreens;
    bool builtinsDone = false;
    bool registeringBuiltins = false;
};

Registry& rawRegistry() {
    static Registry r;
    return r;
}

Registry& registry() {
    Registry& r = rawRegistry();
    if (!r.builtinsDone && !r.registeringBuiltins) {
        r.registeringBuiltins = true;
        registerShellScreens();
        r.registeringBuiltins = false;
        r.builtinsDone = true;
    }
    return r;
}

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

}  // namespace

void VTAUIFactory::registerScreen(const std::string& command, ScreenFactory factory, bool isTradeScreen) {
    ScreenOptions options;
    options.tradeScreen = isTradeScreen;
    registerScreen(command, std::move(factory), options);
}

void VTAUIFactory::registerScreen(const std::string& command, ScreenFactory factory, ScreenOptions options) {
    Registry& r = registry();
    if (command.empty() || !factory) return;
    if (options.tradeScreen) r.tradeCommands.insert(command);
    r.entries[command] = Entry{std::move(factory), options};
}

void VTAUIFactory::unregisterScreen(const std::string& command) { registry().entries.erase(command); }

void VTAUIFactory::registerScreenClass(const std::string& screenClass, ScreenClassFactory factory) {
    Registry& r = registry();
    if (screenClass.empty()) return;
    if (factory)
        r.classes[screenClass] = std::move(factory);
    else
        r.classes.erase(screenClass);
}

bool VTAUIFactory::hasScreenClass(const std::string& screenClass) { return registry().classes.count(screenClass) > 0; }

bool VTAUIFactory::hasScreen(const std::string& command) {
    Registry& r = registry();
    if (r.entries.count(command)) return true;
    const std::string plainCommand = stripQuery(command);
    for (const auto& e : VTALinkTable::entries())
        if (e.command == plainCommand && r.classes.count(e.screenClass)) return true;
    // "buysale" and "rzrq_rzmr" have a second class for older systems.
    if (plainCommand == "buysale") return r.classes.count("VTATradeController") > 0;
    if (plainCommand == "rzrq_rzmr") return r.classes.count("VTARZRQTradeViewController") > 0;
    return false;
}

std::vector<std::string> VTAUIFactory::registeredCommands() {
    std::vector<std::string> out;
    for (const auto& [k, v] : registry().entries) out.push_back(k);
    return out;
}

void VTAUIFactory::resetRegistry() {
    Registry& r = rawRegistry();
    r.entries.clear();
    r.classes.clear();
    r.tradeCommands.clear();
    r.stockPage = nullptr;
    r.accountsPager = nullptr;
    r.tradeScreens.clear();
    r.builtinsDone = false;
    registry();
}

void VTAUIFactory::registerStockPage(StockPageFactory factory) { registry().stockPage = std::move(factory); }

bool VTAUIFactory::hasStockPage() { return static_cast<bool>(registry().stockPage); }

std::shared_ptr<UIViewController> VTAUIFactory::stockPageWithStocks(
    const std::vector<std::shared_ptr<VTAStock>>& stocks, int index) {
    Registry& r = registry();
    if (!r.stockPage || index < 0 || index >= static_cast<int>(stocks.size()) || !stocks[index]) return nullptr;
    return r.stockPage(stocks, index);
}

void VTAUIFactory::registerAccountsPager(AccountsPagerFactory factory) {
    registry().accountsPager = std::move(factory);
}

bool VTAUIFactory::hasAccountsPager() { return static_cast<bool>(registry().accountsPager); }

std::shared_ptr<UIViewController> VTAUIFactory::accountsPager(bool hkAccounts) {
    Registry& r = registry();
    if (!r.accountsPager) return nullptr;
    auto factory = r.accountsPager;
    auto vc = factory(hkAccounts);
    if (vc) vc->setTitle(kAccountsPagerTitle);
    return vc;
}

std::shared_ptr<UIViewController> VTAUIFactory::viewControllerWithMenu(const std::shared_ptr<VTAMenu>& menu) {
    if (!menu) return nullptr;
    Registry& r = registry();
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

    auto it = r.entries.find(command);
    if (it != r.entries.end()) {
        Entry entry = it->second;  // a factory may register further entries
        auto vc = entry.factory(menu);
        if (!vc) return nullptr;
        handOver(vc, menu, nullptr, entry.options);
        if (entry.options.tradeScreen || isTradeLink(command)) markTradeScreen(vc);
        return vc;
    }

    // A link of the table whose screen class is built.
    auto setup = VTALinkTable::setupForMenu(*menu);
    if (!setup) return nullptr;
    auto maker = r.classes.find(setup->screenClass);
    if (maker == r.classes.end()) return nullptr;
    ScreenClassFactory factory = maker->second;
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
    Registry& r = registry();
    auto it = r.entries.find(kTradeLoginCommand);
    if (it == r.entries.end()) return nullptr;
    Entry entry = it->second;
    auto vc = entry.factory(pending);
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
    return VTALinkTable::isTradeCommand(link) || registry().tradeCommands.count(stripQuery(link)) > 0;
}

bool VTAUIFactory::isTradeScreen(const UIViewController* vc) {
    if (!vc) return false;
    for (const auto& w : registry().tradeScreens)
        if (auto s = w.lock(); s && s.get() == vc) return true;
    return false;
}

void VTAUIFactory::markTradeScreen(const std::shared_ptr<UIViewController>& vc) {
    if (!vc) return;
    auto& list = registry().tradeScreens;
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto& w) { return w.expired(); }), list.end());
    list.push_back(vc);
}

std::vector<std::shared_ptr<UIViewController>> VTAUIFactory::liveTradeScreens() {
    std::vector<std::shared_ptr<UIViewController>> out;
    for (const auto& w : registry().tradeScreens)
        if (auto s = w.lock()) out.push_back(s);
    return out;
}
