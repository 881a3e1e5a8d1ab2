// roduvede-sim: the simulated brokerage server on its own.
//   roduvede-sim [--port N] [--seed N] [--clock "yyyy-MM-dd HH:mm" | SECONDS] [--frozen]
//                [--idle-timeout SECONDS] [--no-session-check] [--books FILE [--fresh-books]]
//                [--dump-header]
// Prints the URL it serves on, then serves until interrupted. With --books
// the brokerage's books live in FILE (replayed at start, every change on
// disk before its answer); what opening them found goes to stderr. It is the
// test tool: it serves the control routes (/sim/status, /sim/push,
// /sim/expire, /sim/clock), which the client's embedded server does not.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "sim/SimBooks.h"
#include "sim/SimProcess.h"
#include "sim/SimServer.h"

namespace {
volatile std::sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

// What opening the books found, for whoever runs the server.
void tellBooks(const SimServer& server) {
    const auto& path = server.options().booksPath;
    const SimJournalReport& r = server.booksReport();
    if (path.empty()) return;
    if (r.keyLost)
        std::fprintf(stderr,
                     "roduvede-sim: the books in %s are not those of the key %s.key (missing or damaged): the file is "
                     "kept as %s, and new books start from the seed\n",
                     path.c_str(), path.c_str(), r.setAside.c_str());
    else if (r.snapshotLost)
        std::fprintf(stderr,
                     "roduvede-sim: the snapshot the books in %s go on from is missing or damaged: the journal is kept "
                     "as %s%s%s, and new books start from the seed (how many records they held cannot be known)\n",
                     path.c_str(), r.setAside.c_str(), r.snapshotSetAside.empty() ? "" : " and the snapshot as ",
                     r.snapshotSetAside.c_str());
    else if (r.lostUnknown)
        std::fprintf(stderr,
                     "roduvede-sim: the books in %s are damaged from their first line%s: the file is kept as %s, and "
                     "new books start from the seed (how many records it held cannot be known)\n",
                     path.c_str(), r.tornLast ? " (cut short)" : "", r.setAside.c_str());
    else if (r.damagedLine)
        std::fprintf(stderr,
                     "roduvede-sim: the books in %s are damaged from line %zu%s: the file is kept as %s; the books go "
                     "on from the %zu records before it, and %s%zu records after it are not restored\n",
                     path.c_str(), r.damagedLine, r.tornLast ? " (the last line is cut short)" : "",
                     r.setAside.c_str(), r.entries, r.lostAtLeast ? "at least " : "",
                     std::max<size_t>(r.recordsLost, r.lostAtLeast ? 1 : 0));
    else if (!r.setAside.empty() && !r.repeatsDropped)
        std::fprintf(stderr, "roduvede-sim: the earlier books are kept as %s; new books from the seed in %s\n",
                     r.setAside.c_str(), path.c_str());
    else if (r.created)
        std::fprintf(stderr, "roduvede-sim: new books from the seed in %s\n", path.c_str());
    else
        std::fprintf(stderr, "roduvede-sim: %zu records of the books in %s replayed\n", r.entries, path.c_str());
    if (r.repeatsDropped)
        std::fprintf(stderr,
                     "roduvede-sim: %zu records written twice in %s were dropped (booked once); the file as it was is "
                     "kept as %s\n",
                     r.repeatsDropped, path.c_str(), r.setAside.c_str());
}

void usage() {
    std::printf(
        "usage: roduvede-sim [--port N] [--seed N] [--clock \"yyyy-MM-dd HH:mm[:ss]\"|SECONDS] [--frozen]\n"
        "                    [--idle-timeout SECONDS] [--no-session-check] [--books FILE [--fresh-books]]\n"
        "                    [--dump-header]\n"
        "  --port N              loopback port (default: a free one; refused when in use)\n"
        "  --seed N              the market and the books (never the sessions or token seeds)\n"
        "  --clock TIME          the server's clock at start (default: now); --frozen stops it\n"
        "  --idle-timeout S      service and trade sessions unused this long end (default %g s)\n"
        "  --no-session-check    functions answer without a service session\n"
        "  --books FILE          keep the books in FILE: replayed at start, every change written before\n"
        "                        its answer (default: in memory, from the seed at every start)\n"
        "  --fresh-books         set FILE aside and start again from the seed\n"
        "  --dump-header         answer a request with \"X-Sim-Dump: text\" as readable text, in clear\n"
        "                        (for tests and curl: it shows every reply, enciphered ones too)\n"
        "A trade account is locked for %d minutes after %d wrong passwords or codes in a row.\n"
        "The controls, which take no key or session (for tests and curl on loopback):\n"
        "  GET  /sim/status      the clock, the seed, how many sessions, requests and messages it holds,\n"
        "                        and where the books are\n"
        "  POST /sim/push        title=T&content=C: a message pushed by the brokerage, for every phone\n"
        "  POST /sim/expire      ends every service and trade session: every customer logs in again\n"
        "  POST /sim/clock       t=SECONDS (since 1970) sets the clock, advance=SECONDS moves it (books on\n"
        "                        disk go on from their last record's time at the next start)\n",
        SimOptions().sessionIdleTimeout, int(SimBooks::kLockSeconds / 60), SimBooks::kLockAfterFailures);
}
}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    options.controlRoutes = true;  // the test tool
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "roduvede-sim: %s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--version") {
            std::puts("roduvede-sim 0.2");
            return 0;
        } else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else if (a == "--port") {
            options.port = std::atoi(next().c_str());
        } else if (a == "--seed") {
            options.seed = std::strtoull(next().c_str(), nullptr, 10);
        } else if (a == "--clock") {
            const std::string v = next();
            options.clock = SimClock::parse(v);
            if (!options.clock) {
                std::fprintf(stderr, "roduvede-sim: bad --clock \"%s\"\n", v.c_str());
                return 2;
            }
        } else if (a == "--frozen") {
            options.frozenClock = true;
        } else if (a == "--idle-timeout") {
            options.sessionIdleTimeout = std::atof(next().c_str());
        } else if (a == "--no-session-check") {
            options.requireSession = false;
        } else if (a == "--books") {
            options.booksPath = next();
        } else if (a == "--fresh-books") {
            options.freshBooks = true;
        } else if (a == "--dump-header") {
            options.dumpHeader = true;
        } else {
            std::fprintf(stderr, "roduvede-sim: unknown option %s\n", a.c_str());
            usage();
            return 2;
        }
    }
    simSetUpProcess();
    if (options.freshBooks && options.booksPath.empty()) {
        std::fprintf(stderr, "roduvede-sim: --fresh-books needs --books FILE\n");
        return 2;
    }
    SimServer server(options);
    if (!server.setupError().empty()) {
        std::fprintf(stderr, "roduvede-sim: %s\n", server.setupError().c_str());
        return 1;
    }
    tellBooks(server);
    if (!server.start()) {
        std::fprintf(stderr, "roduvede-sim: cannot listen on %s:%d (in use?)\n", options.host.c_str(), options.port);
        return 1;
    }
    std::printf("%s\n", server.url().c_str());
    std::fflush(stdout);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    while (!gStop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    server.stop();
    return 0;
}
