#pragma once
// A fresh application with a key window and the application's navigation
// stack (root: a plain older screen), a frozen clock, an empty dispatcher
// registry (the shell's own entries only), no trade session and an empty menu
// tree; optionally the simulated server on a loopback port with a live service
// session.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/MenuFunctions.h"
#include "core/TCRSWriter.h"
#include "core/VTAAccountManager.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/VTATree.h"
#include "core/VTAUserDefoult.h"
#include "net/NetworkManager.h"
#include "net/QZNetworkService.h"
#include "net/ServiceSession.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UIWindow.h"
#include "shell/Navigation.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTAStockFinder.h"
#include "shell/VTAUIFactory.h"
#include "shell/VTAViewControllers.h"
#include "sim/SimServer.h"
#include "tests/support/SimRequestFields.h"
#include "tests/support/Waiting.h"

// The registry with the shell's own screens only.
inline void resetShellScreens() {
    ScreenRegistry::shared().reset();
    registerShellScreens(ScreenRegistry::shared());
}

// 2024-03-05 (a Tuesday) 10:30 in Shanghai.
inline constexpr double kScreensMorning = 1709605800;

// An older screen that records its hooks.
class RecordingScreen : public VTAViewControllers {
public:
    explicit RecordingScreen(std::vector<std::string>* log = nullptr, std::string name = "")
        : log_(log), name_(std::move(name)) {}
    void viewWillDidLoad() override { note("viewWillDidLoad"); }
    void createToolbarItems() override { note("createToolbarItems"); }
    void viewWillAppear(bool a) override {
        VTAViewControllers::viewWillAppear(a);
        note("willAppear");
    }
    void viewDidAppear(bool a) override {
        VTAViewControllers::viewDidAppear(a);
        note("didAppear");
    }
    void viewWillDisappear(bool a) override {
        VTAViewControllers::viewWillDisappear(a);
        note("willDisappear");
    }
    void viewDidDisappear(bool a) override {
        VTAViewControllers::viewDidDisappear(a);
        note("didDisappear");
    }
    int hiddenFinders = 0;
    void myViewWillHidden(VTAStockFinder&) override { ++hiddenFinders; }

private:
    void note(const std::string& what) {
        if (log_) log_->push_back(name_ + ":" + what);
    }
    std::vector<std::string>* log_;
    std::string name_;
};

class ScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::freezeAt(kScreensMorning);
        RunLoop::main().reset();
        UIApplication::resetSharedApplication();
        window = HeadlessHost::makeKeyWindow();
        UIApplication::sharedApplication().launch();
        root = std::make_shared<RecordingScreen>(&log, "root");
        root->setTitle("首页");
        nav = UINavigationController::initWithRootViewController(root);
        window->setRootViewController(nav);
        setApplicationNavigationController(nav);
        settle();
        resetShellScreens();
        clearTradeSession();
        forgetTradeAccounts();
        VTATree::setSharedTree(nullptr);
        VTAUserDefoult::standerDefoult().reload();
        VTAStockFinder::clearHistory();
        host.setRealTimeLimit(0);
    }
    void TearDown() override {
        if (sim) {
            NetworkManager::manager().removeAllRequest();
            drainTransfers();
            sim->stop();
            ServiceSession::shared().reset();
        }
        clearTradeSession();
        forgetTradeAccounts();
        resetShellScreens();
        setApplicationNavigationController(nullptr);
        nav.reset();
        root.reset();
        UIApplication::resetSharedApplication();
        window.reset();
        RunLoop::main().reset();
        Clock::useSystemTime();
    }

    static void clearTradeSession() {
        for (const char* k : {"tradeUserInfo", "tradeUserTCRS", "tradeUserAllTCRS", "tradepassword"})
            VTAParamter::shareParamter().removeValueForKey(k);
    }
    // The accounts logged in during the run (a test's login leaves them).
    static void forgetTradeAccounts() {
        for (auto* list : {&VTAAccountManager::tradeAccountManager(), &VTAAccountManager::tradeAccountManagerForHK()})
            while (list->count() > 0) list->removeAccount(*list->accountAtIndex(0));
    }
    // A trade session's values set by hand, for the tests of the gate and the
    // lock that run without a simulator (with one, log in for real:
    // tests/support/TradeLoginSupport.h).
    static void setTradeSession() {
        auto bytes = TCRSWriter()
                         .beginSet()
                         .addField("fundid", TCRSFieldType::VarText)
                         .addField("market", TCRSFieldType::VarText)
                         .addField("secuid", TCRSFieldType::VarText)
                         .addRecord({"100200", "1", "A123456789"})
                         .bytes();
        auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
        ASSERT_TRUE(sets && !sets->empty());
        VTAParamter::shareParamter().setString("authid=SECRET42&operway=i", "tradeUserInfo");
        VTAParamter::shareParamter().setTCRS(sets->front(), "tradeUserTCRS");
        VTAParamter::shareParamter().setString("888888", "tradepassword");
    }
    static std::shared_ptr<VTAMenu> menu(const std::string& link, const std::string& title, int id = -1, int pid = -1) {
        auto m = std::make_shared<VTAMenu>();
        m->setLink(link);
        m->setTitle(title);
        m->setM_id(id);
        m->setM_pid(pid);
        return m;
    }
    // Finishes transitions and animations in virtual time; a reply on its way
    // is awaited however long it takes (up to kHangSeconds).
    static void settle(double seconds = 1) { RunLoop::main().runFor(seconds, kHangSeconds); }
    UIViewController* top() const { return nav->topViewController(); }
    size_t depth() const { return nav->viewControllers().size(); }
    static std::shared_ptr<UIAlertView> topAlert() { return UIAlertView::topAlert(); }
    static std::string topAlertTitle() {
        auto a = UIAlertView::topAlert();
        return a ? a->title() : std::string();
    }

    // The simulated server with a live service session.
    void startSimulator() {
        SimOptions o;
        o.seed = 7;
        o.clock = kScreensMorning;
        o.frozenClock = true;
        o.keepAliveSeconds = 0;  // stop() does not wait for idle connections
        o.readTimeout = kHangSeconds;  // a loaded machine's request is never cut off
        sim = std::make_unique<SimServer>(o);
        ASSERT_TRUE(sim->start());
        NetworkManager::manager().resetForTests();
        NetworkManager::manager().setLoopbackHost(sim->url());
        ServiceSession::shared().reset();
        QZNetworkService::clearChartCache();
        struct Done : QZNetworkServiceDelegate {
            bool done = false;
            void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>&, int) override { done = true; }
            void serviceDidNetworkError(QZNetworkService*, const NSError&, int) override { done = true; }
            void serviceDidServiceError(QZNetworkService*, const NSError&, int) override { done = true; }
        } d;
        QZNetworkService s;
        s.setDelegate(&d);
        s.requestStr("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", 1);
        ASSERT_TRUE(waitFor([&] { return d.done; }));
        ASSERT_FALSE(ServiceSession::shared().session().empty());
    }
    // Runs the main loop until the condition holds (replies as they come, timers
    // in virtual time up to `seconds`).
    static bool waitFor(const std::function<bool()>& done, double seconds = 10) {
        return waitUntil(done, seconds);
    }

    std::vector<std::string> log;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<RecordingScreen> root;
    std::shared_ptr<UINavigationController> nav;
    std::unique_ptr<SimServer> sim;
    HeadlessHost host;
};
