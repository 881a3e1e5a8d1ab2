#pragma once
// The dispatcher: turns a menu link into its screen.
//
// The screens come from the one registry (shell/ScreenRegistry.h): an entry
// registered for the link command (the link without its query, the text up to
// the first "?") comes first; otherwise the link table (shell/VTALinkTable.h)
// names the link's screen class and set-up, and the class's registered maker
// makes it. Unless its options say otherwise the dispatcher then gives the
// screen the item's title and, for a VTAMenuScreen, the item itself. A link
// that nothing maps makes no screen: callers never push a null screen.
//
// An item with visible children in the menu tree opens a menu list of them.
//
// Trade links (the screens of stock trading, funds and margin) need a trade
// session ("tradeUserInfo" and a record in "tradeUserTCRS"): the gate
// (openMenuWithTradeGate, tradeViewControllerWithLink) opens the registered
// trade login instead, with the wanted item pending (or, for the relate mode
// of the in-app page, an item whose link carries "relate=1&mcjg=1"). While no
// trade login is registered the gate alerts "请先登录交易" and opens nothing.
// Screens made for trade links are remembered (weakly) so that the idle trade
// lock can take them off the stack.
//
// The quote page of a stock and the logged-in accounts pager are registered
// screens too; until they are, the stock finder, the home screen and the
// message detail open nothing for them.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/VTAStock.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTALinkTable.h"

class UIViewController;
class VTAMenu;
class VTAMessage;

class VTAUIFactory {
public:
    // The link command of the trade login (the relate mode's links name it).
    static constexpr const char* kTradeLoginCommand = "tradelogin";
    static constexpr const char* kTradeLoginTitle = "交易登录";
    static constexpr const char* kNoTradeLoginText = "请先登录交易";

    // ---- named screens of the registry ----
    static bool hasStockPage();
    // The quote page of stocks[index]; null when none is registered or the index is out of range.
    static std::shared_ptr<UIViewController> stockPageWithStocks(const std::vector<std::shared_ptr<VTAStock>>& stocks,
                                                                 int index);
    // The same for a list the page steps through with its arrows, even a list of one.
    static std::shared_ptr<UIViewController> stockListPageWithStocks(
        const std::vector<std::shared_ptr<VTAStock>>& stocks, int index);

    // The logged-in accounts pager, titled "已登录帐号"; null while none is registered.
    static constexpr const char* kAccountsPagerTitle = "已登录帐号";
    static bool hasAccountsPager();
    static std::shared_ptr<UIViewController> accountsPager(bool hkAccounts);

    // ---- the dispatcher ----
    // Whether the dispatcher can make a screen for the command (an entry of
    // its own, or a registered maker of its table class).
    static bool hasScreen(const std::string& command);
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
