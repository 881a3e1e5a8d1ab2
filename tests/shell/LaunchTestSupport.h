#pragma once
// The whole client against the simulated server on loopback: the application
// object, its delegate and the launch road, run on the main loop with a frozen
// clock (timers in virtual time, replies waited for in real time).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/AllScreens.h"
#include "core/MenuFunctions.h"
#include "core/TCRSWriter.h"
#include "core/VTAAccountManager.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTAStock.h"
#include "core/VTATCRS.h"
#include "core/VTATree.h"
#include "core/VTAUserDefoult.h"
#include "core/security/BrasnikSignManager.h"
#include "core/storage/DaoFactory.h"
#include "net/NetworkManager.h"
#include "net/ServiceSession.h"
#include "net/XXNetworkManager.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/RunLoop.h"
#include "platform/services/MessageComposeViewController.h"
#include "platform/services/RemoteNotifications.h"
#include "platform/services/SystemSound.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextField.h"
#include "shell/HomeViewController.h"
#include "shell/IdleTimeCheck.h"
#include "shell/LoginViewController.h"
#include "shell/MenuCache.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/rOduvedeAppDelegate.h"
#include "sim/SimServer.h"
#include "sim/SimSystem.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TradeLoginSupport.h"
#include "tests/support/Waiting.h"

// 2024-03-05 (a Tuesday) 10:30 in Shanghai.
inline constexpr double kLaunchMorning = 1709605800;

class LaunchFixture : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::freezeAt(kLaunchMorning);
        sim = sharedSim();
        ASSERT_TRUE(sim && sim->isRunning());
        // A fresh server for each test (the same port: no waiting for the
        // client's kept-alive connections as a restart would).
        sim->resetState();
        sim->withRoom<SimSystemRoom>([](SimSystemRoom& r) { r.menuVersion = 3; });
        docs = std::make_unique<ScopedDocuments>();
        resetProcessState();
        ScreenRegistry::shared().reset();
        registerAllScreens(ScreenRegistry::shared());
        SentMessageLog::shared().clear();
        SystemSoundLog::shared().clear();
    }
    void TearDown() override {
        quit();
        NetworkManager::manager().removeAllRequest();
        XXNetworkManager::sharedManager().cancelAll();
        drainTransfers();
        resetProcessState();
        ScreenRegistry::shared().reset();
        docs.reset();
        Clock::useSystemTime();
    }

    // What a new process starts from (the Documents folder is kept).
    void resetProcessState() {
        NetworkManager::manager().resetForTests();
        ServiceSession::shared().reset();
        VTAParamter::shareParamter().removeAllValues();
        VTATree::setSharedTree(nullptr);
        MenuCache::setInstalledMenuVersion(0);
        DaoFactory::sharedInstance().close();
        RemoteNotificationService::shared().reset();
        NSUserDefaults::standardUserDefaults().reload();
        VTAUserDefoult::standerDefoult().reload();
        BrasnikSignManager::defaultManager().reload();
        for (auto* list : {&VTAAccountManager::tradeAccountManager(), &VTAAccountManager::tradeAccountManagerForHK()})
            while (list->count() > 0) list->removeAccount(*list->accountAtIndex(0));
        VTAAccountManager::savedAccountManager().reload();
    }

    // Starts the client (a new application object and delegate).
    // settle: runs the loop a moment (the first replies may come in it).
    bool launch(bool settle = true) {
        app = std::make_shared<IdleTimeCheck>();
        UIApplication::setSharedApplication(app);
        delegate = std::make_unique<rOduvedeAppDelegate>();
        delegate->setFixedHostURL(sim->url());
        app->setDelegate(delegate.get());
        bool ok = app->launch();
        if (settle) run(0.05);
        return ok;
    }
    // Ends the client as a quit does, and forgets what only lived in the process.
    void quit() {
        if (!app) return;
        app->terminate();
        NetworkManager::manager().removeAllRequest();
        XXNetworkManager::sharedManager().cancelAll();
        drainTransfers();
        app->setDelegate(nullptr);
        delegate.reset();
        UIApplication::resetSharedApplication();
        app.reset();
        resetProcessState();
    }
    void restart() {
        quit();
        ASSERT_TRUE(launch());
    }

    bool waitFor(const std::function<bool()>& done, double virtualSeconds = 60) {
        return waitUntil(done, virtualSeconds);
    }
    void run(double seconds) { RunLoop::main().runFor(seconds, kHangSeconds); }

    UIViewController* top() const {
        return delegate && delegate->navigationController() ? delegate->navigationController()->topViewController()
                                                            : nullptr;
    }
    LoginViewController* login() const { return dynamic_cast<LoginViewController*>(top()); }
    HomeViewController* home() const { return dynamic_cast<HomeViewController*>(top()); }
    bool atStage(LoginViewController::Stage s) const { return login() && login()->stage() == s; }
    // The login screen while it is the root of the stack (screens may lie above it).
    LoginViewController* loginRoot() const {
        auto nav = delegate ? delegate->navigationController() : nullptr;
        return nav && !nav->viewControllers().empty()
                   ? dynamic_cast<LoginViewController*>(nav->viewControllers().front().get())
                   : nullptr;
    }
    // The customer reads the disclaimer and agrees (or not).
    void answerDisclaimer(bool agree = true) {
        ASSERT_TRUE(waitFor([&] { return loginRoot() && loginRoot()->disclaimerScreen(); }));
        auto disclaimer = loginRoot()->disclaimerScreen();
        run(0.5);
        if (agree)
            disclaimer->agree();
        else
            disclaimer->disagree();
    }

    // The customer's part of the registration: types the number, sends the SMS.
    void registerPhone() {
        ASSERT_TRUE(waitFor([&] { return atStage(LoginViewController::Stage::Registration); }));
        login()->phoneField()->setText(phone);
        login()->submitRegistration();
        ASSERT_TRUE(login()->smsComposer());
        login()->smsComposer()->send();
    }
    // Fresh install: registration, then the home screen with its first replies.
    void reachHomeFirstTime() {
        registerPhone();
        answerDisclaimer();
        ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
        waitForHomeReplies();
    }
    void waitForHomeReplies() {
        ASSERT_TRUE(waitFor([&] { return home() && !home()->infoTitles().empty() && !home()->quoteStocks().empty(); }));
    }

    // Customer A logs in to trading through the trade login (the home screen reached first).
    void openTradeSession() { ASSERT_TRUE(logInToTrade(kTradeCustomerA)); }

    // One server for the whole program: stopping one waits out the idle
    // keep-alive connections of the client's transfers (seconds each).
    static SimServer* sharedSim() {
        static SimServer* server = [] {
            SimOptions o;
            o.seed = 7;
            o.clock = kLaunchMorning;
            o.frozenClock = true;
            o.readTimeout = kHangSeconds;  // a loaded machine's request is never cut off
            auto* s = new SimServer(o);
            return s->start() ? s : nullptr;
        }();
        return server;
    }

    SimServer* sim = nullptr;
    std::string phone = "13800139001";  // not registered on a fresh server
    std::unique_ptr<ScopedDocuments> docs;
    std::shared_ptr<IdleTimeCheck> app;
    std::unique_ptr<rOduvedeAppDelegate> delegate;
};
