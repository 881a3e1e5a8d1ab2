#pragma once
// The base of the older screens: a background, the content view (the area
// above the bottom toolbar), the toolbar, the hooks the subclasses fill, the
// menu item and message the opener hands in, and the jumps every screen
// offers (home, back, the stock finder, the own stocks, the ranking, trading
// a stock).
//
// Loading: loadView builds the view, the content view and the toolbar, then
// calls viewWillDidLoad (empty here: a subclass may replace it without calling
// the base); viewDidLoad calls createToolbarItems (empty here), which fills
// the toolbar; a toolbar left empty is hidden. hideToolBar gives the
// toolbar's height to the content view.
//
// Requests: every older screen talks to the server through its RequestBinding
// (bind a tag, send by tag); leaving the screen cancels its requests.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UINavigationBar.h"
#include "platform/uikit/UIViewController.h"
#include "shell/RequestBinding.h"
#include "shell/VTAMenuScreen.h"

class KeyboardLift;
class NSTimer;
class VTAStock;
class VTAStockFinder;

class VTAViewControllers : public UIViewController,
                           public VTAMenuScreen,
                           public UIAlertViewDelegate,
                           public RequestBinding {
public:
    static constexpr double kToolbarHeight = 44;

    VTAViewControllers();
    ~VTAViewControllers() override;

    void loadView() override;
    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

    // ---- hooks ----
    virtual void viewWillDidLoad() {}
    virtual void createToolbarItems() {}

    // ---- views ----
    UIView* contentView();
    std::shared_ptr<UIView> contentViewShared();
    UIToolbar* toolbar();
    void hideToolBar();
    // Gives the toolbar its place again.
    void showToolBar();
    bool isToolBarHidden() const { return toolbarHidden_; }
    // For screens whose toolbar holds the action of a form (send, submit):
    // while the keyboard shows, the toolbar rides just above it, so the
    // action stays within reach; the content view keeps its place. Called
    // from viewWillDidLoad.
    void keepToolbarAboveKeyboard();

    // ---- what the opener hands in ----
    void setViewMenu(std::shared_ptr<VTAMenu> menu) override { myMenu_ = std::move(menu); }
    std::shared_ptr<VTAMenu> viewMenu() const override { return myMenu_; }
    void setViewMessage(std::shared_ptr<VTAMessage> message) override { message_ = std::move(message); }
    std::shared_ptr<VTAMessage> viewMessage() const override { return message_; }

    // The subclass's own stage (0 at creation).
    int frameStatus() const { return frameStatus_; }
    void setFrameStatus(int s) { frameStatus_ = s; }
    // Flags some screens set; nothing here reads them.
    bool willRequestDidLoad = false;
    bool encryptData = false;
    bool compressData = false;

    // ---- toolbar items ----
    // "个股": opens the stock finder over the window.
    std::shared_ptr<UIBarButtonItem> stockFinderButton();
    std::shared_ptr<UIBarButtonItem> flexibleSpaceBarBtn();
    // The logo button of the navigation bar (goes home).
    std::shared_ptr<UIBarButtonItem> logoButton();

    // ---- commands ----
    virtual void onCommandHome();  // pop to the root screen, animated
    virtual void onCommandBack();  // one screen back
    virtual void onCommandOK() {}
    virtual void onCommandOption() {}
    virtual void onCommandRefresh() {}
    // Opens the stock finder (the "个股" button); answers it.
    std::shared_ptr<VTAStockFinder> showStockFinder();
    // Called when the stock finder this screen opened goes away.
    virtual void myViewWillHidden(VTAStockFinder& finder) {}

    // Pop to the root and open the first menu item of the command ("zxhq", "pxhq").
    void goToZXHQ();
    void goToPXHQ();

    // An alert with "确定" (0) and "取消" (1), this screen as delegate, no tag.
    std::shared_ptr<UIAlertView> dialogOKCancelActionWithTitle(const std::string& title, const std::string& message);
    // A one-button alert ("确定") titled `title`, with the tag, whose button
    // tells this screen (alertViewClickedButtonAtIndex) while it lives.
    std::shared_ptr<UIAlertView> alertWithDelegate(const std::string& title, int tag = 0);

    // Opens the order screen for the stock (0 buy, other sell), this screen as
    // the message's sender; see tradeWithStock below.
    std::shared_ptr<UIViewController> tradeWithStock(const std::shared_ptr<VTAStock>& stock, int action);
    std::shared_ptr<UIViewController> tradeWithStock(const std::shared_ptr<VTAStock>& stock, int action,
                                                     const std::string& param);

    // A timer that the base stops when the screen leaves.
    void setAutoRequestTimer(std::shared_ptr<NSTimer> timer);
    NSTimer* autoRequestTimer() const { return autoRequestTimer_.get(); }

    // The quote screens' auto refresh: starts a repeating timer of
    // autoRefreshInterval() seconds that runs `tick` (as the auto-request
    // timer, so it stops when the screen leaves) only while the setting
    // "auto refresh" is on and it is trading time now; once running it keeps
    // firing until the screen stops it. Answers whether it was started (a
    // running one is replaced).
    bool startAutoRefresh(std::function<void()> tick);
    void stopAutoRefresh() { setAutoRequestTimer(nullptr); }
    // "auto refresh wait time" in seconds, 5 when below 5 or absent.
    static double autoRefreshInterval();

private:
    void layoutBaseViews();
    // Hides a toolbar the screen left empty, its content taking the room.
    void hideEmptyToolbar();
    // Makes this screen the alert's delegate (weakly when a shared owner holds it).
    void tellMe(UIAlertView& alert);

    std::shared_ptr<UIView> contentView_;
    std::shared_ptr<UIToolbar> toolbar_;
    bool toolbarHidden_ = false;
    std::unique_ptr<KeyboardLift> toolbarLift_;
    std::shared_ptr<VTAMenu> myMenu_;
    std::shared_ptr<VTAMessage> message_;
    int frameStatus_ = 0;
    std::shared_ptr<UIBarButtonItem> stockFinderButton_;
    std::shared_ptr<UIBarButtonItem> logoButton_;
    std::shared_ptr<NSTimer> autoRequestTimer_;
    friend class VTABaseView;
};

// Opens the order screen for a stock, for any screen (the quote page too):
// refuses with an alert "非法代码！" (no stock, or a code not 5 or 6 characters
// long), "指数不能交易！" (type 2), "港股暂时无法交易！" (market 3); otherwise
// makes a menu item "buysale?MMLB=<action>" titled "买入委托" (0) or "卖出委托"
// (other), with `param` as its params when given, and opens it through the
// trade gate with the stock as a message of type 1 whose sender is `sender`
// (the calling screen, held as a std::weak_ptr<UIViewController>). Answers the
// screen pushed (the order screen or the trade login), null when nothing was opened.
std::shared_ptr<UIViewController> tradeWithStock(const std::shared_ptr<VTAStock>& stock, int action,
                                                 const std::optional<std::string>& param = std::nullopt,
                                                 const std::weak_ptr<UIViewController>& sender = {});

// The first menu item whose command is `command`: the root's children
// first, then the whole tree in order; null when none.
std::shared_ptr<VTAMenu> firstMenuWithCommand(const std::string& command);
// Pops to the root and opens that item; answers the screen.
std::shared_ptr<UIViewController> openFirstMenuWithCommand(const std::string& command);
