#pragma once
// The dispatcher: turns a menu link into its screen.
//
// The table is a registry: each step of the client registers the screens it
// builds under their link commands (the link without its query, the text up to
// the first "?"). A factory gets the menu item and makes the screen (or answers
// null, e.g. for a link parameter it does not know); unless its options say
// otherwise the dispatcher then gives the screen the item's title and, for a
// VTAMenuScreen, the item itself. A link that no entry maps makes no screen:
// callers never push a null screen.
//
// An item with visible children in the menu tree opens a menu list of them.
//
// The links known before their screens exist, with the class and set-up of
// each, are the table of shell/VTALinkTable.h: a step that builds a screen
// class registers a maker for it (registerScreenClass) and every link of that
// class then opens it, set up as the table says. An entry registered for the
// command itself (registerScreen) comes first.
//
// Trade links (the screens of stock trading, funds and margin) need a trade
// session ("tradeUserInfo" and a record in "tradeUserTCRS"): the gate
// (openMenuWithTradeGate, tradeViewControllerWithLink) opens the trade login
// instead, with the wanted item pending. The trade login is the registry entry
// kTradeLoginCommand; its factory gets the pending item (or, for the relate
// mode of the in-app page, an item whose link carries "relate=1&mcjg=1").
// While no trade login is registered the gate alerts "请先登录交易" and opens
// nothing. Screens made for trade links are remembered (weakly) so that the
// idle trade lock can take them off the stack.
//
// The quote page of a stock is the entry registerStockPage: the stock finder,
// the home screen and the message detail open it; until it is registered they
// open nothing.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/VTAStock.h"
#include "shell/VTALinkTable.h"

class UIViewController;
class VTAMenu;
class VTAMessage;

using ScreenFactory = std::function<std::shared_ptr<UIViewController>(const std::shared_ptr<VTAMenu>& menu)>;
// Makes a screen of a table class and performs its set-up call (setup.setter
// with setup.value / setup.textValue); the dispatcher does the title and menu.
using ScreenClassFactory =
    std::function<std::shared_ptr<UIViewController>(const LinkSetup& setup, const std::shared_ptr<VTAMenu>& menu)>;
// The logged-in trade accounts pager (stock accounts, or Hong Kong ones).
using AccountsPagerFactory = std::function<std::shared_ptr<UIViewController>(bool hkAccounts)>;
using StockPageFactory =
    std::function<std::shared_ptr<UIViewController>(const std::vector<std::shared_ptr<VTAStock>>& stocks, int index)>;

struct ScreenOptions {
    bool tradeScreen = false;  // behind the trade gate; popped by the idle trade lock
    bool keepsTitle = false;   // the factory sets the title itself (or none)
    bool withoutMenu = false;  // the screen is not handed the menu item
};

class VTAUIFactory {
public:
    static constexpr const char* kTradeLoginCommand = "tradelogin";
    static constexpr const char* kTradeLoginTitle = "交易登录";
    static constexpr const char* kNoTradeLoginText = "请先登录交易";

    // ---- the registry ----
    static void registerScreen(const std::string& command, ScreenFactory factory, bool isTradeScreen = false);
    static void registerScreen(const std::string& command, ScreenFactory factory, ScreenOptions options);
    static void unregisterScreen(const std::string& command);
    // The maker of a screen class of the link table.
    static void registerScreenClass(const std::string& screenClass, ScreenClassFactory factory);
    static bool hasScreenClass(const std::string& screenClass);
    // Whether the dispatcher can make a screen for the command (an entry of
    // its own, or a registered maker of its table class).
    static bool hasScreen(const std::string& command);
    static std::vector<std::string> registeredCommands();
    // Back to the shell's own entries (tests).
    static void resetRegistry();

    static void registerStockPage(StockPageFactory factory);
    static bool hasStockPage();
    // The quote page of stocks[index]; null when none is registered or the index is out of range.
    static std::shared_ptr<UIViewController> stockPageWithStocks(const std::vector<std::shared_ptr<VTAStock>>& stocks,
                                                                 int index);

    // The logged-in accounts pager, titled "已登录帐号"; null while none is registered.
    static constexpr const char* kAccountsPagerTitle = "已登录帐号";
    static void registerAccountsPager(AccountsPagerFactory factory);
    static bool hasAccountsPager();
    static std::shared_ptr<UIViewController> accountsPager(bool hkAccounts);

    // ---- the dispatcher ----
    // The screen of the item (null for a null item, a link no entry maps, or a
    // factory that makes nothing). Applies no gate.
    static std::shared_ptr<UIViewController> viewControllerWithMenu(const std::shared_ptr<VTAMenu>& menu);
    // The same for a new item of that link and title (ids -1).
    static std::shared_ptr<UIViewController> viewControllerWithLink(const std::string& link, const std::string& title);
    // The screen of the link when a trade session exists, else the trade login
    // titled "交易登录" holding the pending item; null for a link no entry maps
    // (and, without a session, while there is no trade login).
    static std::shared_ptr<UIViewController> tradeViewControllerWithLink(const std::string& link,
                                                                         const std::string& title);
    // The trade login holding the pending item; null while none is registered.
    static std::shared_ptr<UIViewController> tradeLoginViewController(const std::shared_ptr<VTAMenu>& pending,
                                                                      const std::string& title = kTradeLoginTitle);

    // Opens the item as a tap on it does: through the trade gate for a trade
    // link, handing the message on; pushes the screen and answers it (null
    // when nothing was opened).
    static std::shared_ptr<UIViewController> openMenuWithTradeGate(
        const std::shared_ptr<VTAMenu>& menu, const std::shared_ptr<VTAMessage>& message = nullptr);

    // ---- trade links and trade screens ----
    // Whether the link (its command) opens a screen of trading, funds or margin.
    static bool isTradeLink(const std::string& link);
    static bool isTradeScreen(const UIViewController* vc);
    static void markTradeScreen(const std::shared_ptr<UIViewController>& vc);
    static std::vector<std::shared_ptr<UIViewController>> liveTradeScreens();
};

// The shell's own entries (settings, about, feedback...); the registry adds them itself.
void registerShellScreens();
