#pragma once
// The one registry of screens. Each folder of screens has one registration
// function that adds everything it builds:
//
//   void registerTradeScreens(ScreenRegistry& registry) {
//       registry.addScreenClass("VTAWarrant", [](const LinkSetup&, const auto&) {
//           return std::make_shared<VTAWarrant>();
//       });
//   }
//
// and registerAllScreens (app/AllScreens.h) calls every folder's function; the
// client's main and every test fixture that launches the client call it once.
// A test's teardown calls reset().
//
// What can be registered:
// - a screen for a link command (the link up to its first "?"): addScreen;
// - the maker of a screen class of the link table (shell/VTALinkTable.h):
//   addScreenClass; every link of that class then opens it, set up as the
//   table says;
// - the named screens other screens open directly: the quote page of a stock,
//   the logged-in accounts pager, the message inbox and a message's detail,
//   and the trade login (the trade gate opens it with the wanted item pending).
// The dispatcher (VTAUIFactory) makes the screens; nothing else reads this.
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "shell/VTALinkTable.h"

class QZMessageExpress;
class UIViewController;
class VTAMenu;
class VTAStock;

using ScreenFactory = std::function<std::shared_ptr<UIViewController>(const std::shared_ptr<VTAMenu>& menu)>;
// Makes a screen of a table class and performs its set-up call (setup.setter
// with setup.value / setup.textValue); the dispatcher does the title and menu.
using ScreenClassFactory =
    std::function<std::shared_ptr<UIViewController>(const LinkSetup& setup, const std::shared_ptr<VTAMenu>& menu)>;
using StockPageFactory =
    std::function<std::shared_ptr<UIViewController>(const std::vector<std::shared_ptr<VTAStock>>& stocks, int index)>;
// The logged-in trade accounts pager (stock accounts, or Hong Kong ones).
using AccountsPagerFactory = std::function<std::shared_ptr<UIViewController>(bool hkAccounts)>;
// The trade login, holding the menu item that was wanted (null: a plain login).
using TradeLoginFactory = std::function<std::shared_ptr<UIViewController>(const std::shared_ptr<VTAMenu>& pending)>;
// The inbox: all messages (favoriteOrAll NO) or only the favourites, grouped by sortType.
using MessageInboxFactory = std::function<std::shared_ptr<UIViewController>(bool favoriteOrAll, int sortType)>;
// The detail of a stored message (of the inbox, not of the history).
using MessageDetailFactory = std::function<std::shared_ptr<UIViewController>(const std::shared_ptr<QZMessageExpress>&)>;

struct ScreenOptions {
    bool tradeScreen = false;  // behind the trade gate; popped by the idle trade lock
    bool keepsTitle = false;   // the factory sets the title itself (or none)
    bool withoutMenu = false;  // the screen is not handed the menu item
};

class ScreenRegistry {
public:
    static ScreenRegistry& shared();

    // ---- registration ----
    void addScreen(const std::string& command, ScreenFactory factory, ScreenOptions options = {});
    void addScreenClass(const std::string& screenClass, ScreenClassFactory factory);
    void setStockPage(StockPageFactory factory) { stockPage_ = std::move(factory); }
    // The quote page of a list to step through, even a list of one (the
    // stock page's factory when none is set).
    void setStockListPage(StockPageFactory factory) { stockListPage_ = std::move(factory); }
    void setAccountsPager(AccountsPagerFactory factory) { accountsPager_ = std::move(factory); }
    void setTradeLogin(TradeLoginFactory factory) { tradeLogin_ = std::move(factory); }
    void setMessageInbox(MessageInboxFactory factory) { messageInbox_ = std::move(factory); }
    void setMessageDetail(MessageDetailFactory factory) { messageDetail_ = std::move(factory); }
    // Forgets every registration and every remembered trade screen.
    void reset();

    // ---- what is registered ----
    struct Entry {
        ScreenFactory factory;
        ScreenOptions options;
    };
    // The entry of a command; null when none.
    const Entry* screen(const std::string& command) const;
    const ScreenClassFactory* screenClass(const std::string& screenClass) const;
    bool hasScreenClass(const std::string& screenClass) const { return screenClass_.count(screenClass) > 0; }
    // The commands of registered entries (not those of the table's classes).
    std::vector<std::string> commands() const;
    // Whether the command was registered as a trade screen beyond the link table.
    bool isTradeCommand(const std::string& command) const { return tradeCommands_.count(command) > 0; }
    const StockPageFactory& stockPage() const { return stockPage_; }
    const StockPageFactory& stockListPage() const { return stockListPage_ ? stockListPage_ : stockPage_; }
    const AccountsPagerFactory& accountsPager() const { return accountsPager_; }
    const TradeLoginFactory& tradeLogin() const { return tradeLogin_; }
    const MessageInboxFactory& messageInbox() const { return messageInbox_; }
    const MessageDetailFactory& messageDetail() const { return messageDetail_; }

    // ---- trade screens made (weakly: the idle trade lock takes them off the stack) ----
    void rememberTradeScreen(const std::shared_ptr<UIViewController>& vc);
    bool isRememberedTradeScreen(const UIViewController* vc) const;
    std::vector<std::shared_ptr<UIViewController>> liveTradeScreens() const;

private:
    std::map<std::string, Entry> screens_;
    std::map<std::string, ScreenClassFactory> screenClass_;
    std::set<std::string> tradeCommands_;
    StockPageFactory stockPage_;
    StockPageFactory stockListPage_;
    AccountsPagerFactory accountsPager_;
    TradeLoginFactory tradeLogin_;
    MessageInboxFactory messageInbox_;
    MessageDetailFactory messageDetail_;
    std::vector<std::weak_ptr<UIViewController>> tradeScreens_;
};

// The shell's own screens (shell/ShellScreens.cpp).
void registerShellScreens(ScreenRegistry& registry);
