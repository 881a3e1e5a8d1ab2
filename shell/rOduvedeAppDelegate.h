#pragma once
// The application delegate: the launch road, the window with its navigation
// stack, the life-cycle saves, and the push service's entry points.
//
// Launch: the database (copied from the bundle when missing, opened and
// upgraded; a failure shows "数据库创建失败" or "数据库初始化失败" in a bare
// window and opens no main window; a damaged or emptied file replaced by the
// seed shows "数据库初始化失败" over the launch, which goes
// on, and brings the own stocks back: DatabaseRecovery; settings, saved
// accounts or soft tokens found damaged are told in one alert:
// FileRecoveryNotice), the portfolio flags,
// the network singleton and its hosts, the menu tree of the cached menu
// ("menudb.plist", or the built-in menu), the window whose navigation stack
// starts at the login screen, the old settings list "your stocks" moved into
// the own-stock table (once: kYourStocksMovedKey records it, so a stock the
// customer deleted from the portfolio does not come back on the next start),
// "IsReboot", and the registration for push notifications.
//
// Back from the background: the database reopened, the trade lock applied,
// the hosts checked again, the notification types asked for again and the
// message store trimmed; a message pushed meanwhile ("NeedPushMessageId") is
// fetched again, since its first fetch found the store closed.
//
// A fixed host (the embedded simulated server, --server) replaces the host
// choice: it is used at once and kept when the server's host list arrives.
#include <memory>
#include <string>

#include "platform/uikit/UIApplication.h"

class DatabaseRecovery;
class UINavigationController;
class UIWindow;

class rOduvedeAppDelegate : public UIApplicationDelegate {
public:
    static constexpr const char* kYourStocksMovedKey = "YourStocksMovedToPortfolio";
    static constexpr const char* kTradeLockFireTimeKey = "TradeLockFireTime";

    rOduvedeAppDelegate();
    ~rOduvedeAppDelegate() override;

    // The delegate of the shared application when it is one of these, else null.
    static rOduvedeAppDelegate* sharedDelegate();

    void setFixedHostURL(const std::string& url) { fixedHostURL_ = url; }
    const std::string& fixedHostURL() const { return fixedHostURL_; }

    bool applicationDidFinishLaunchingWithOptions(UIApplication& app, const Value& options) override;
    void applicationWillResignActive(UIApplication& app) override;
    void applicationDidEnterBackground(UIApplication& app) override;
    void applicationWillEnterForeground(UIApplication& app) override;
    void applicationDidBecomeActive(UIApplication& app) override;
    void applicationWillTerminate(UIApplication& app) override;
    void applicationDidRegisterForRemoteNotificationsWithDeviceToken(UIApplication& app,
                                                                     const std::vector<uint8_t>& token) override;
    void applicationDidFailToRegisterForRemoteNotificationsWithError(UIApplication& app,
                                                                     const std::string& error) override;
    void applicationDidReceiveRemoteNotification(UIApplication& app, const Value& userInfo) override;

    std::shared_ptr<UIWindow> window() const { return window_; }
    std::shared_ptr<UINavigationController> navigationController() const { return navigationController_; }
    // The failure text shown at launch ("" when the launch went through).
    const std::string& launchFailure() const { return launchFailure_; }

    // The server's host list ("iplist" of "commomdSettingForHQ") applied to
    // the network singleton; a fixed host stays the chosen one.
    void applyHostConfiguration();

    // Saves the settings file and the stock search history.
    void saveSettings();

private:
    void moveOldOwnStocksOnce();
    void reapplyMessageExpressConfiguration(UIApplication& app);

    std::string fixedHostURL_;
    std::shared_ptr<UIWindow> window_;
    std::shared_ptr<UINavigationController> navigationController_;
    std::string launchFailure_;
    std::shared_ptr<DatabaseRecovery> recovery_;
};
