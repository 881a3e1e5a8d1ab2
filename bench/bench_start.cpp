// Start of the client to the home screen drawn, headless, against the
// simulated server in the same process:
//   BM_StartFreshInstall  an empty Documents folder: the whole road with the
//                         SMS registration (its 6 s poll runs in virtual time)
//                         and the menu download;
//   BM_StartRegistered    a later start: registered phone, cached menu.
// Each run is one start, several runs give the median; "peak_rss_MB" is the
// process's peak resident memory (getrusage ru_maxrss) after the runs;
// "start_pct_of_150ms" the start against the goal of 150 ms.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/AllScreens.h"
#include "core/VTAParamter.h"
#include "core/VTATree.h"
#include "core/VTAUserDefoult.h"
#include "core/storage/DaoFactory.h"
#include "net/NetworkManager.h"
#include "net/ServiceSession.h"
#include "net/XXNetworkManager.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/services/RemoteNotifications.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UIWindow.h"
#include "shell/HomeViewController.h"
#include "shell/IdleTimeCheck.h"
#include "shell/LoginViewController.h"
#include "shell/MenuCache.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/rOduvedeAppDelegate.h"
#include "sim/SimServer.h"

namespace fs = std::filesystem;

namespace {

SimServer& server() {
    // Never stopped: a stop waits out the client's idle keep-alive connections.
    static SimServer* s = [] {
        auto* sim = new SimServer(SimOptions{});
        if (!sim->start()) std::abort();
        return sim;
    }();
    return *s;
}

void resetProcess() {
    NetworkManager::manager().resetForTests();
    ServiceSession::shared().reset();
    VTAParamter::shareParamter().removeAllValues();
    VTATree::setSharedTree(nullptr);
    MenuCache::setInstalledMenuVersion(0);
    DaoFactory::sharedInstance().close();
    RemoteNotificationService::shared().reset();
}

HomeViewController* homeOf(rOduvedeAppDelegate& d) {
    auto nav = d.navigationController();
    return nav ? dynamic_cast<HomeViewController*>(nav->topViewController()) : nullptr;
}

// One start, up to the home screen with its first replies drawn. False when it did not get there.
bool startOnce(const std::string& phone) {
    auto& loop = RunLoop::main();
    ScreenRegistry::shared().reset();
    registerAllScreens(ScreenRegistry::shared());
    auto app = std::make_shared<IdleTimeCheck>();
    UIApplication::setSharedApplication(app);
    auto delegate = std::make_unique<rOduvedeAppDelegate>();
    delegate->setFixedHostURL(server().url());
    app->setDelegate(delegate.get());
    bool ok = app->launch();
    if (ok) {
        loop.runUntil(
            [&] {
                auto nav = delegate->navigationController();
                auto* login = nav ? dynamic_cast<LoginViewController*>(nav->topViewController()) : nullptr;
                return homeOf(*delegate) || (login && login->stage() == LoginViewController::Stage::Registration);
            },
            60, 10);
        auto nav = delegate->navigationController();
        if (auto* login = nav ? dynamic_cast<LoginViewController*>(nav->topViewController()) : nullptr) {
            login->phoneField()->setText(phone);
            login->submitRegistration();
            if (login->smsComposer()) login->smsComposer()->send();
        }
        auto root = [&]() -> LoginViewController* {
            auto n = delegate->navigationController();
            return n && !n->viewControllers().empty()
                       ? dynamic_cast<LoginViewController*>(n->viewControllers().front().get())
                       : nullptr;
        };
        loop.runUntil([&] { return homeOf(*delegate) || (root() && root()->disclaimerScreen()); }, 120, 10);
        if (root() && root()->disclaimerScreen()) root()->disclaimerScreen()->agree();
        ok = loop.runUntil(
            [&] {
                auto* home = homeOf(*delegate);
                return home && !home->infoTitles().empty() && !home->quoteStocks().empty();
            },
            120, 10);
        if (ok) ok = app->keyWindow() && app->keyWindow()->renderScreenToImage(2) != nullptr;
    }
    app->terminate();
    NetworkManager::manager().removeAllRequest();
    XXNetworkManager::sharedManager().cancelAll();
    loop.runUntil([] { return false; }, 0.01, 0.05);
    app->setDelegate(nullptr);
    delegate.reset();
    UIApplication::resetSharedApplication();
    resetProcess();
    return ok;
}

std::string freshDocuments() {
    char pattern[] = "/tmp/roduvede-bench-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir) std::abort();
    setDocumentsDirectory(dir);
    NSUserDefaults::standardUserDefaults().reload();
    VTAUserDefoult::standerDefoult().reload();
    return dir;
}

std::string nextPhone() {
    static int n = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "1390000%04d", ++n);
    return buf;
}

void reportMemory(benchmark::State& state) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = usage.ru_maxrss / 1024.0;
}

// A start's wall time as a share of the 150 ms goal (the repetitions' median
// is the figure).
class StartTimer {
public:
    StartTimer() : t0_(std::chrono::steady_clock::now()) {}
    void report(benchmark::State& state) const {
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0_).count();
        state.counters["start_pct_of_150ms"] = 100 * ms / 150;
    }

private:
    std::chrono::steady_clock::time_point t0_;
};

void BM_StartFreshInstall(benchmark::State& state) {
    Clock::freezeAt(Clock::now());
    server();
    for (auto _ : state) {
        state.PauseTiming();
        std::string dir = freshDocuments();
        std::string phone = nextPhone();
        state.ResumeTiming();
        StartTimer timer;
        if (!startOnce(phone)) state.SkipWithError("the home screen did not come");
        timer.report(state);
        state.PauseTiming();
        std::error_code ec;
        fs::remove_all(dir, ec);
        state.ResumeTiming();
    }
    reportMemory(state);
    Clock::useSystemTime();
}

void BM_StartRegistered(benchmark::State& state) {
    Clock::freezeAt(Clock::now());
    std::string dir = freshDocuments();
    std::string phone = nextPhone();
    if (!startOnce(phone)) {
        state.SkipWithError("the first start failed");
        return;
    }
    for (auto _ : state) {
        StartTimer timer;
        if (!startOnce(phone)) state.SkipWithError("the home screen did not come");
        timer.report(state);
    }
    reportMemory(state);
    std::error_code ec;
    fs::remove_all(dir, ec);
    Clock::useSystemTime();
}

}  // namespace

BENCHMARK(BM_StartFreshInstall)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();
BENCHMARK(BM_StartRegistered)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

BENCHMARK_MAIN();
