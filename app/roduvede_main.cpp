// roduvede: the brokerage phone client.
//   roduvede [--headless] [--script FILE] [--shots DIR] [--server URL] [--documents DIR]
//            [--scale N] [--market-time "yyyy-MM-dd HH:mm"] [--fresh-books] [--sim-controls]
// By default the simulated brokerage server runs inside the process on a
// Unix-domain socket in a folder of the user's alone (no port) and the client
// talks to it, its books kept in the Documents folder (--fresh-books starts
// them again from the seed), every request refused but the client's own
// (they carry a secret made at start and held in memory alone), its control
// routes not served (--sim-controls serves them, to a holder of the secret: a
// test that runs the client in its own process); --server points the client
// at a server started elsewhere. With a display the phone screen opens in a
// window; without one (or with --headless) the client runs off screen: a script drives it (--script), or the default walk goes through the
// start-up road to the home screen and saves screenshots in the --shots folder.
// The window shows the phone's screen at 2 pixels a point, or smaller when that
// would not fit the display; --scale sets the size. --market-time starts the
// embedded server's clock, and the phone's, at a market time (China Standard
// Time): a session in trading hours whatever the hour here. With a window both
// run on from it; headless the market's stands still but for the script's
// "clock" command, which moves the phone's with it (the phone's runs on
// virtual time, moved by the script's waits too).
#include <sys/prctl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/AllScreens.h"
#include "app/EmbeddedSimulator.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "platform/host/DesktopHost.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/ScriptDriver.h"
#include "platform/uikit/UINavigationController.h"
#include "platform/uikit/UITextField.h"
#include "shell/HomeViewController.h"
#include "shell/IdleTimeCheck.h"
#include "shell/LoginViewController.h"
#include "shell/ScreenRegistry.h"
#include "shell/VTADisclaimerViewController.h"
#include "shell/rOduvedeAppDelegate.h"
#include "sim/SimProcess.h"
#include "sim/SimServer.h"
#include "ui/Alerts.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    bool headless = false;
    bool freshBooks = false;
    bool simControls = false;
    std::string script, shots, server, documents;
    double scale = 0;  // the desktop window's: 0 fits the display
    std::optional<double> marketTime;
};

void usage() {
    std::puts(
        "usage: roduvede [--headless] [--script FILE] [--shots DIR] [--server URL] [--documents DIR]\n"
        "                [--scale N] [--market-time T] [--fresh-books] [--sim-controls]\n"
        "  --headless       no window, even when a display exists\n"
        "  --script FILE    drive the client with a script (headless)\n"
        "  --shots DIR      folder for the screenshots of the default headless walk\n"
        "  --server URL     use the server at URL instead of the embedded simulated one\n"
        "  --documents DIR  the client's Documents folder (settings, database, caches)\n"
        "  --scale N        window pixels per screen point, 0.5 to 4 (default: 2, less when that\n"
        "                   would not fit the display)\n"
        "  --market-time T  start the embedded server's clock and the phone's at the market time T\n"
        "                   (\"yyyy-MM-dd HH:mm\", China Standard Time), for trading hours at any hour\n"
        "  --fresh-books    the embedded server's books (kept in the Documents folder) start again\n"
        "                   from the seed; the earlier ones are set aside\n"
        "  --sim-controls   the embedded server also serves its control routes (/sim/push, /sim/clock,\n"
        "                   /sim/expire, /sim/status), which take no key or session, to requests that\n"
        "                   carry the client's in-memory secret, as it serves every route: for a test\n"
        "                   that runs the client in its own process");
}

bool parseOptions(int argc, char** argv, Options& o, int& exitCode) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "roduvede: %s needs a value\n", a.c_str());
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--version") {
            std::puts("roduvede 0.2");
            exitCode = 0;
            return false;
        } else if (a == "--help" || a == "-h") {
            usage();
            exitCode = 0;
            return false;
        } else if (a == "--headless") {
            o.headless = true;
        } else if (a == "--market-time") {
            if (!next(v)) {
                exitCode = 2;
                return false;
            }
            o.marketTime = SimClock::parse(v);
            if (!o.marketTime) {
                std::fprintf(stderr, "roduvede: bad --market-time \"%s\" (\"yyyy-MM-dd HH:mm\")\n", v.c_str());
                exitCode = 2;
                return false;
            }
        } else if (a == "--fresh-books") {
            o.freshBooks = true;
        } else if (a == "--sim-controls") {
            o.simControls = true;
        } else if (a == "--script" || a == "--shots" || a == "--server" || a == "--documents" || a == "--scale") {
            if (!next(v)) {
                exitCode = 2;
                return false;
            }
            if (a == "--script")
                o.script = v, o.headless = true;
            else if (a == "--shots")
                o.shots = v;
            else if (a == "--server")
                o.server = v;
            else if (a == "--documents")
                o.documents = v;
            else {
                char* end = nullptr;
                double scale = std::strtod(v.c_str(), &end);
                if (!end || *end || !(scale >= DesktopHost::kMinScale && scale <= DesktopHost::kMaxScale)) {
                    std::fprintf(stderr, "roduvede: bad --scale \"%s\" (0.5 to 4)\n", v.c_str());
                    exitCode = 2;
                    return false;
                }
                o.scale = scale;
            }
        } else {
            std::fprintf(stderr, "roduvede: unknown option %s\n", a.c_str());
            usage();
            exitCode = 2;
            return false;
        }
    }
    return true;
}

// The customer learns once, over the first screen, that the books were damaged and how far they go.
void tellBooks(const std::string& notice) {
    if (!notice.empty()) showAlert("帐本已恢复", notice);
}

UIViewController* topScreen() {
    auto* delegate = rOduvedeAppDelegate::sharedDelegate();
    if (!delegate || !delegate->navigationController()) return nullptr;
    return delegate->navigationController()->topViewController();
}

// Moves the embedded server's clock forward, to a market time or by a span, and
// the phone's with it; an error text when it cannot.
std::optional<std::string> moveMarketClock(SimServer& sim, const std::string& text) {
    const double now = sim.clock().now();
    std::optional<double> target = SimClock::parse(text);
    if (auto span = SimClock::parseSpan(text)) target = now + *span;
    if (!target) return "\"" + text + "\" is neither a span (+30s, +15m, +2h, +1d) nor a market time (\"yyyy-MM-dd HH:mm\")";
    if (*target < now) return "the market's clock does not go back (it shows " + SimClock::format(now) + ")";
    if (!sim.clock().setTime(*target)) return "no time between 1970 and 9999";
    Clock::advance(*target - now);  // the phone's timers that fall due fire at the next wait
    return std::nullopt;
}

bool homeShown() { return dynamic_cast<HomeViewController*>(topScreen()) != nullptr; }

LoginViewController* loginScreen() { return dynamic_cast<LoginViewController*>(topScreen()); }

LoginViewController* loginRoot() {
    auto* delegate = rOduvedeAppDelegate::sharedDelegate();
    auto nav = delegate ? delegate->navigationController() : nullptr;
    return nav && !nav->viewControllers().empty()
               ? dynamic_cast<LoginViewController*>(nav->viewControllers().front().get())
               : nullptr;
}

// The start-up road as a customer walks it: registration by SMS when the
// server asks for it, then the home screen and the first board item.
int defaultWalk(HeadlessHost& host, const std::string& shots) {
    int shot = 0;
    auto save = [&](const std::string& name) {
        char file[256];
        std::snprintf(file, sizeof file, "%02d-%s.png", ++shot, name.c_str());
        std::string path = (fs::path(shots) / file).string();
        std::string error;
        if (host.screenshot(path, &error))
            std::printf("screenshot %s\n", path.c_str());
        else
            std::fprintf(stderr, "roduvede: screenshot %s failed: %s\n", path.c_str(), error.c_str());
    };
    auto& loop = RunLoop::main();
    auto until = [&](const std::function<bool()>& done, double seconds) { return loop.runUntil(done, seconds, 20); };
    host.runFor(0.1);
    save("start");
    until(
        [] {
            auto* login = loginScreen();
            return homeShown() || (login && login->stage() == LoginViewController::Stage::Registration);
        },
        60);
    if (auto* login = loginScreen(); login && login->stage() == LoginViewController::Stage::Registration) {
        login->phoneField()->setText("13800138000");
        host.runFor(0.1);
        save("register");
        host.tapText("注册");
        host.runFor(0.5);
        save("sms");
        if (!host.tapText("发送") && login->smsComposer()) login->smsComposer()->send();
        host.runFor(0.5);
    }
    // The disclaimer of a first start.
    until([] { return homeShown() || (loginRoot() && loginRoot()->disclaimerScreen()); }, 120);
    if (auto* root = loginRoot(); root && root->disclaimerScreen()) {
        host.runFor(0.5);
        save("disclaimer");
        if (!host.tapText("同意")) root->disclaimerScreen()->agree();
    }
    if (!until([] { return homeShown(); }, 300)) {
        std::fprintf(stderr, "roduvede: the home screen did not come (screen: %s)\n",
                     loginScreen() ? loginScreen()->statusText().c_str() : "?");
        save("stuck");
        return 1;
    }
    // The first replies of the home screen.
    until(
        [] {
            auto* home = dynamic_cast<HomeViewController*>(topScreen());
            return home && !home->infoTitles().empty() && !home->quoteStocks().empty();
        },
        10);
    host.runFor(0.5);
    save("home");
    if (host.tapText("行情")) {
        host.runFor(1);
        save("menu");
    }
    std::printf("walk done: %d screenshots in %s\n", shot, shots.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // No other program of this user reads the client's memory (/proc/PID/mem,
    // ptrace) or finds it in a core file: the secret of its embedded server
    // and the customer's passwords are there. Made so before any of them.
    ::prctl(PR_SET_DUMPABLE, 0);
    simSetUpProcess();  // the embedded brokerage serves in this process
    Options o;
    int exitCode = 0;
    if (!parseOptions(argc, argv, o, exitCode)) return exitCode;
    if (!o.documents.empty()) {
        setDocumentsDirectory(o.documents);  // made on first use, the owner's only
    }
    if (o.marketTime && !o.server.empty()) {
        std::fprintf(stderr, "roduvede: --market-time sets the embedded server's clock, not the one of --server\n");
        return 2;
    }
    if (o.simControls && !o.server.empty()) {
        std::fprintf(stderr,
                     "roduvede: --sim-controls asks the embedded server for its controls, not the one of --server\n");
        return 2;
    }
    bool windowed = !o.headless && DesktopHost::displayAvailable();
    // Off screen, timers run on virtual time: a walk never waits for a timer.
    if (!windowed)
        Clock::freezeAt(o.marketTime.value_or(Clock::now()));
    else if (o.marketTime)
        Clock::runFrom(*o.marketTime);

    std::unique_ptr<EmbeddedSocketFolder> socketFolder;  // goes after the server
    std::unique_ptr<SimServer> sim;
    std::string server = o.server;
    std::string booksNotice;
    if (server.empty()) {
        socketFolder = std::make_unique<EmbeddedSocketFolder>();
        if (!socketFolder->made()) {
            std::fprintf(stderr, "roduvede: %s\n", socketFolder->error().c_str());
            return 1;
        }
        SimOptions so;
        so.clock = o.marketTime;
        so.frozenClock = o.marketTime && !windowed;  // headless: moved by the script's "clock" alone
        so.controlRoutes = o.simControls;
        sim = std::make_unique<SimServer>(embeddedSimOptions(*socketFolder, so, o.freshBooks));
        if (!sim->setupError().empty()) {
            std::fprintf(stderr, "roduvede: the simulated server: %s (--fresh-books starts its books again)\n",
                         sim->setupError().c_str());
            return 1;
        }
        booksNotice = embeddedBooksNotice(sim->booksReport());
        if (!booksNotice.empty()) std::fprintf(stderr, "roduvede: %s\n", booksNotice.c_str());
        // Books that went on past the time asked for (or past now) go on from
        // their last entry: the brokerage's clock never goes back, and the phone's follows it.
        if (const double resumed = sim->clock().now(); resumed > Clock::now() + 1) {
            std::fprintf(stderr, "roduvede: the books go on from %s\n", SimClock::format(resumed).c_str());
            if (windowed)
                Clock::runFrom(resumed);
            else
                Clock::freezeAt(resumed);
        }
        if (!sim->start()) {
            std::fprintf(stderr, "roduvede: the simulated server could not start\n");
            return 1;
        }
        server = sim->url();
        std::printf("simulated server on the socket %s\n", socketFolder->socketPath().c_str());
        attachToClient(*sim);  // the client's secret in its requests; pushed messages as notifications
    }

    registerAllScreens(ScreenRegistry::shared());
    auto app = std::make_shared<IdleTimeCheck>();
    UIApplication::setSharedApplication(app);
    auto delegate = std::make_unique<rOduvedeAppDelegate>();
    delegate->setFixedHostURL(server);
    app->setDelegate(delegate.get());
    std::printf("documents: %s\n", documentsDirectory().c_str());

    int rc = 0;
    if (windowed) {
        DesktopHost::Options window;
        window.scale = o.scale;
        DesktopHost host(window);
        std::string error;
        if (!host.open(&error)) {
            std::fprintf(stderr, "roduvede: no window (%s)\n", error.c_str());
            rc = 1;
        } else {
            std::printf("window: %g pixels a point (--scale)\n", host.scale());
            std::fflush(stdout);
            if (app->launch()) tellBooks(booksNotice);
            rc = host.run();
        }
    } else {
        bool launched = app->launch();
        HeadlessHost host;
        if (launched) tellBooks(booksNotice);
        if (!launched) {
            std::fprintf(stderr, "roduvede: %s\n", delegate->launchFailure().c_str());
            rc = 1;
        } else if (!o.script.empty()) {
            ScriptDriver driver(host, std::cout);
            if (sim) driver.setMarketClock([&sim](const std::string& text) { return moveMarketClock(*sim, text); });
            if (auto error = driver.runFile(o.script)) {
                std::fprintf(stderr, "roduvede: %s: %s\n", o.script.c_str(), error->describe().c_str());
                rc = 1;
            }
        } else {
            std::string shots = o.shots;
            if (shots.empty()) shots = (fs::temp_directory_path() / "roduvede-shots").string();
            std::error_code ec;
            fs::create_directories(shots, ec);
            rc = defaultWalk(host, shots);
        }
        app->terminate();
    }
    // Screens, windows and their request services go before the process's
    // singletons (the network manager among them) are destroyed.
    app->setDelegate(nullptr);
    UIApplication::resetSharedApplication();
    app.reset();
    delegate.reset();
    if (sim) sim->stop();
    return rc;
}
