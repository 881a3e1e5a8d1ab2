#include "shell/rOduvedeAppDelegate.h"

#include "shell/WebFetcher.h"

#include "core/MenuFunctions.h"
#include "core/QZUtil.h"
#include "core/VTAAccountManager.h"
#include "core/VTAUserDefoult.h"
#include "core/security/BrasnikSignManager.h"
#include "core/storage/DaoFactory.h"
#include "net/NetworkManager.h"
#include "net/XXNetworkManager.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/services/CarrierInfo.h"
#include "platform/services/RemoteNotifications.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIWindow.h"
#include "shell/DatabaseRecovery.h"
#include "shell/FileRecoveryNotice.h"
#include "shell/IdleTimeCheck.h"
#include "shell/LoginViewController.h"
#include "shell/MenuCache.h"
#include "shell/Navigation.h"
#include "shell/PushHandling.h"
#include "shell/VTAStockFinder.h"
#include "shell/WebFetcher.h"

#include "shell/TradeSession.h"

rOduvedeAppDelegate::rOduvedeAppDelegate() = default;

rOduvedeAppDelegate::~rOduvedeAppDelegate() {
    if (navigationController_ && applicationNavigationController() == navigationController_)
        setApplicationNavigationController(nullptr);
}

rOduvedeAppDelegate* rOduvedeAppDelegate::sharedDelegate() {
    return dynamic_cast<rOduvedeAppDelegate*>(UIApplication::sharedApplication().delegate());
}

bool rOduvedeAppDelegate::applicationDidFinishLaunchingWithOptions(UIApplication& app, const Value&) {
    // The stores of this Documents folder (a test or a restart may have changed
    // it), all read now so that a damaged one is found and told at once.
    NSUserDefaults::standardUserDefaults().reload();
    VTAUserDefoult::standerDefoult().reload();
    VTAAccountManager::savedAccountManager().reload();
    BrasnikSignManager::defaultManager().reload();
    VTAStockFinder::reloadHistory();

    // 1. The database.
    DatabaseSetupResult db = DaoFactory::sharedInstance().setUpDatabase();
    if (db != DatabaseSetupResult::Ok && db != DatabaseSetupResult::Recovered) {
        launchFailure_ = DaoFactory::setupFailureText(db);
        window_ = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
        window_->setBackgroundColor(UIColor::blackColor());
        app.addWindow(window_);
        window_->makeKeyAndVisible();
        auto alert =
            std::make_shared<UIAlertView>(launchFailure_, "", nullptr, std::string("确定"), std::vector<std::string>{});
        alert->show();
        return false;
    }

    // 2. The portfolio flags of a new run.
    auto& ud = NSUserDefaults::standardUserDefaults();
    ud.setBool(false, "IsDownloadPortfolio");
    ud.setBool(true, "IsFirstInPortfolio");
    ud.removeObjectForKey("CachedPortfolioInfoRadarArray");

    // 3. The network singleton, the menu and the hosts.
    auto& network = NetworkManager::manager();
    network.setCarrier(currentCarrierNumber());
    MenuCache::installCachedMenu();
    applyHostConfiguration();
    if (fixedHostURL_.empty() && !network.isChoosingHost()) network.chooseHost();
    installWebFetcher();

    // 4. The window.
    window_ = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    window_->setBackgroundColor(UIColor::blackColor());
    navigationController_ = UINavigationController::initWithRootViewController(std::make_shared<LoginViewController>());
    window_->setRootViewController(navigationController_);
    app.addWindow(window_);
    window_->makeKeyAndVisible();
    setApplicationNavigationController(navigationController_);

    // 5. Old own stocks (or, after a damaged database, all of them), damaged
    // files told, the restart flag, push notifications.
    if (db == DatabaseSetupResult::Recovered) recovery_ = DatabaseRecovery::start(DaoFactory::setupFailureText(db));
    FileRecoveryNotice::showIfAny();
    moveOldOwnStocksOnce();
    ud.setBool(true, "IsReboot");
    RemoteNotificationService::shared().install(app);
    app.registerForRemoteNotificationTypes(UIRemoteNotificationTypeBadge | UIRemoteNotificationTypeSound |
                                           UIRemoteNotificationTypeAlert);
    return true;
}

void rOduvedeAppDelegate::moveOldOwnStocksOnce() {
    auto& ud = NSUserDefaults::standardUserDefaults();
    if (ud.boolForKey(kYourStocksMovedKey)) return;
    std::vector<std::string> ids;
    if (auto list = VTAUserDefoult::standerDefoult().getArrayForKey("your stocks"))
        for (const auto& v : *list)
            if (v.isString() && !v.string().empty()) ids.push_back(v.string());
    auto portfolio = DaoFactory::sharedInstance().portfolioDao();
    // An empty list has nothing to move; a failed move is tried again next time.
    if (ids.empty() || (portfolio && portfolio->moveToDatabaseWithStocks(ids))) ud.setBool(true, kYourStocksMovedKey);
}

void rOduvedeAppDelegate::applyHostConfiguration() {
    auto& network = NetworkManager::manager();
    network.applyConfiguration();
    if (!fixedHostURL_.empty()) network.setLoopbackHost(fixedHostURL_);
}

void rOduvedeAppDelegate::saveSettings() {
    VTAUserDefoult::standerDefoult().save();
    VTAStockFinder::saveHistory();
    NSUserDefaults::standardUserDefaults().synchronize();
}

void rOduvedeAppDelegate::applicationWillResignActive(UIApplication&) {
    if (launchFailure_.empty()) saveSettings();
}

void rOduvedeAppDelegate::applicationDidEnterBackground(UIApplication&) {
    if (!launchFailure_.empty()) return;
    auto& ud = NSUserDefaults::standardUserDefaults();
    IdleTimeCheck* idle = IdleTimeCheck::sharedIdleTimeCheck();
    if (idle && idle->isIdleTimerRunning())
        ud.setObject(Value(Value::Date{idle->idleTimerFireDate()}), kTradeLockFireTimeKey);
    else
        ud.removeObjectForKey(kTradeLockFireTimeKey);
    NetworkManager::manager().applicationDidEnterBackground();
    saveSettings();
    DaoFactory::sharedInstance().close();
}

void rOduvedeAppDelegate::applicationWillEnterForeground(UIApplication& app) {
    if (!launchFailure_.empty()) return;
    auto& ud = NSUserDefaults::standardUserDefaults();
    DaoFactory::sharedInstance().reopen();
    if (auto fire = ud.dateForKey(kTradeLockFireTimeKey)) {
        IdleTimeCheck* idle = IdleTimeCheck::sharedIdleTimeCheck();
        if (idle)
            idle->resumeIdleTimerUntil(*fire);
        else if (*fire <= Clock::now() && hasTradeSession())
            lockTradeSession();
    }
    ud.removeObjectForKey(kTradeLockFireTimeKey);
    NetworkManager::manager().applicationWillEnterForeground();
    reapplyMessageExpressConfiguration(app);
    ud.setBool(false, "IsDownloadPortfolio");
}

void rOduvedeAppDelegate::reapplyMessageExpressConfiguration(UIApplication& app) {
    // The notification types asked for at launch, and the store kept within
    // the server's "maxmsg" limit (it may have changed with a new menu).
    if (app.enabledRemoteNotificationTypes() != UIRemoteNotificationTypeNone)
        app.registerForRemoteNotificationTypes(app.enabledRemoteNotificationTypes());
    if (auto dao = DaoFactory::sharedInstance().messageExpressDao())
        dao->trimNonFavoriteMessagesToAmount(QZUtil::maxMessageExpressAmount());
    // A message pushed while in the background was fetched while the store
    // was closed: fetched again, it is stored and the home screen opens it.
    if (NSUserDefaults::standardUserDefaults().stringForKey(kNeedPushMessageIdKey))
        XXNetworkManager::sharedManager().requestNoConfirmWithoutDelegate();
}

void rOduvedeAppDelegate::applicationDidBecomeActive(UIApplication&) {}

void rOduvedeAppDelegate::applicationWillTerminate(UIApplication&) {
    if (!launchFailure_.empty()) return;
    saveSettings();
    DaoFactory::sharedInstance().close();
}

void rOduvedeAppDelegate::applicationDidRegisterForRemoteNotificationsWithDeviceToken(
    UIApplication&, const std::vector<uint8_t>& token) {
    storeDeviceToken(token);
}

void rOduvedeAppDelegate::applicationDidFailToRegisterForRemoteNotificationsWithError(UIApplication&,
                                                                                      const std::string&) {
    // The client works without pushes; the next launch asks again.
}

void rOduvedeAppDelegate::applicationDidReceiveRemoteNotification(UIApplication& app, const Value& userInfo) {
    handleRemoteNotification(app, userInfo);
}
