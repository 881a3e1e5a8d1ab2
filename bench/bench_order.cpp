// One stock order's round trip through the order screen, headless, against
// the simulated brokerage in the same process (loopback HTTP, the real
// record sets, cipher and matcher): from the customer's "确定" under the
// confirmation sheet, through the order request (500/6, enciphered), the
// brokerage's checks and its fill against the five levels, to the alert
// "委托已提交，请进入当日委托查询!" on screen. Opening the screen, typing and the
// stock information happen before the clock starts; each run is one order.
// "peak_rss_MB" is the process's peak resident memory after the runs.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/AllScreens.h"
#include "core/VTAStock.h"
#include "core/VTAUserDefoult.h"
#include "core/storage/DaoFactory.h"
#include "net/NetworkManager.h"
#include "net/ServiceSession.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/HeadlessHost.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIWindow.h"
#include "shell/Navigation.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTAViewControllers.h"
#include "sim/SimServer.h"
#include "sim/SimTrade.h"
#include "tests/support/TradeLoginSupport.h"
#include "trade/TradeViewController.h"

namespace {

constexpr double kTuesdayMorning = 1709605800;  // 2024-03-05 10:30 Shanghai: the market is open

struct Client {
    std::unique_ptr<SimServer> sim;
    std::shared_ptr<UIWindow> window;
    std::shared_ptr<VTAViewControllers> root;
    std::shared_ptr<UINavigationController> nav;
    std::string documents;
};

bool setUp(Client& c) {
    char pattern[] = "/tmp/roduvede-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir) return false;
    c.documents = dir;
    setDocumentsDirectory(dir);
    NSUserDefaults::standardUserDefaults().reload();
    VTAUserDefoult::standerDefoult().reload();
    if (DaoFactory::sharedInstance().setUpDatabase() != DatabaseSetupResult::Ok) return false;

    Clock::freezeAt(kTuesdayMorning);
    SimOptions o;
    o.clock = kTuesdayMorning;
    o.frozenClock = true;  // connections kept alive between requests, as the client's embedded server does
    c.sim = std::make_unique<SimServer>(o);
    if (!c.sim->start()) return false;
    NetworkManager::manager().resetForTests();
    NetworkManager::manager().setLoopbackHost(c.sim->url());
    ServiceSession::shared().reset();

    UIApplication::resetSharedApplication();
    c.window = HeadlessHost::makeKeyWindow();
    UIApplication::sharedApplication().launch();
    c.root = std::make_shared<VTAViewControllers>();
    c.nav = UINavigationController::initWithRootViewController(c.root);
    c.window->setRootViewController(c.nav);
    setApplicationNavigationController(c.nav);
    ScreenRegistry::shared().reset();
    registerAllScreens(ScreenRegistry::shared());
    VTAUserDefoult::standerDefoult().setString("13800138000", "your phone number");
    return logInToTrade(kTradeCustomerA);
}

// The order screen of 600000 with its stock information in and 100 shares typed.
TradeViewController* openOrder(Client& c) {
    auto stock = std::make_shared<VTAStock>("600000", "浦发银行", 2);
    c.root->tradeWithStock(stock, 0);
    auto& loop = RunLoop::main();
    loop.runFor(1);
    auto* vc = dynamic_cast<TradeViewController*>(c.nav->topViewController());
    if (!vc || !loop.runUntil([&] { return vc->isStockInfoBack(); }, 10, 10)) return nullptr;
    vc->quantityField()->setText("100");
    vc->tradeAction();
    return UIActionSheet::visibleSheets().empty() ? nullptr : vc;
}

// The client, its simulator and its trade session, made once for every run
// (never taken down: the process ends with them).
Client* client() {
    static Client* c = [] {
        auto* made = new Client;
        return setUp(*made) ? made : nullptr;
    }();
    return c;
}

void BM_OrderRoundTrip(benchmark::State& state) {
    Client* shared = client();
    if (!shared) {
        state.SkipWithError("no trade session");
        return;
    }
    Client& c = *shared;
    auto& loop = RunLoop::main();
    for (auto _ : state) {
        state.PauseTiming();
        // Money for every order of the run.
        c.sim->withRoom<SimTradeRoom>([](SimTradeRoom& r) {
            r.books.customer("010110001234")->fundAccounts.front().balances[0] = SimBalance{100000000};
            return 0;
        });
        TradeViewController* vc = openOrder(c);
        if (!vc) {
            state.SkipWithError("the order screen did not come");
            break;
        }
        auto sheet = UIActionSheet::visibleSheets().back();
        state.ResumeTiming();
        sheet->tapButtonAtIndex(0);
        bool sent = loop.runUntil(
            [] { return UIAlertView::topAlert() && UIAlertView::topAlert()->title() == kOrderSentText; }, 10, 10);
        state.PauseTiming();
        if (!sent) {
            state.SkipWithError("the order's answer did not come");
            break;
        }
        UIAlertView::topAlert()->tapButtonAtIndex(0);  // closes the screen
        loop.runFor(1);
        state.ResumeTiming();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = usage.ru_maxrss / 1024.0;
}

}  // namespace

BENCHMARK(BM_OrderRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(50)->Repetitions(5)->UseRealTime();

BENCHMARK_MAIN();
