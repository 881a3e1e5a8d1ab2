// The simulated server under the loads that used to exhaust it, and what its
// books on disk cost: new connections answered (requests per second, the
// 99th percentile of their round trip) while a thousand slow connections
// hang; a flood of large posts and the memory it leaves; the holdings and
// headlines queries with the books in memory and on disk, from 1 to 64
// clients at once; the replay of a large journal at start; and the books
// taken as a snapshot and put back, with 100,000 orders in them.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "core/VTATCRS.h"
#include "sim/SimJournal.h"
#include "sim/SimServer.h"
#include "sim/SimSnapshot.h"
#include "sim/SimTrade.h"

namespace {

constexpr double kTuesdayMorning = 1709605800;

// A connection that sends half a request and then nothing.
int slowConnection(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        static const char kHalf[] = "POST /vta HTTP/1.1\r\nContent-Length: 100\r\n\r\ntc_mf";
        (void)!::send(fd, kHalf, sizeof kHalf - 1, MSG_NOSIGNAL);
    }
    return fd;
}

void BM_NewConnectionsBesideSlowOnes(benchmark::State& state) {
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    SimOptions o;
    o.clock = kTuesdayMorning;
    o.frozenClock = true;
    o.readTimeout = 600;  // the slow ones hang throughout
    SimServer sim(o);
    sim.start();
    std::vector<int> slow;
    for (int i = 0; i < state.range(0); ++i) slow.push_back(slowConnection(sim.port()));
    std::vector<double> ms;
    for (auto _ : state) {
        httplib::Client http("127.0.0.1", sim.port());  // a new connection for each request
        const auto t0 = std::chrono::steady_clock::now();
        auto r = http.Post("/vta", "tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", "application/x-www-form-urlencoded");
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        if (!r || r->status != 200) state.SkipWithError("not answered");
    }
    std::sort(ms.begin(), ms.end());
    state.counters["p99_ms"] = ms.empty() ? 0 : ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.SetItemsProcessed(state.iterations());
    sim.stop();
    for (int fd : slow) ::close(fd);
}
BENCHMARK(BM_NewConnectionsBesideSlowOnes)->Arg(0)->Arg(1000)->UseRealTime()->Unit(benchmark::kMillisecond);

// A text of the reply's first set: the field of that name, or the first field.
std::string firstText(const SimServer::Reply& r, const char* field = nullptr) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
    if (!sets || sets->empty()) return "";
    auto& set = (*sets)[0];
    return (field ? set->toStringWithFieldName(field) : set->toStringAtIndex(0)).value_or("");
}

// This process's resident memory in MiB: "VmRSS" now, "VmHWM" its peak.
double residentMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stod(line.substr(field.size() + 1)) / 1024;
    return 0;
}

// The answers of a flood: 200 (handled) and 503 (the server was busy).
struct FloodAnswers {
    std::atomic<int> handled{0}, busy{0};
};

// Each of `connections` connections posts `request` `posts` times, one after
// another, a new connection for each.
void flood(int port, const std::string& request, int connections, int posts, FloodAnswers& answers) {
    std::vector<std::thread> clients;
    for (int i = 0; i < connections; ++i)
        clients.emplace_back([&] {
            for (int post = 0; post < posts; ++post) {
                int fd = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in a{};
                a.sin_family = AF_INET;
                a.sin_port = htons(static_cast<uint16_t>(port));
                a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
                    ::shutdown(fd, SHUT_WR);
                    std::string reply;
                    char buf[4096];
                    for (ssize_t n; (n = ::recv(fd, buf, sizeof buf, 0)) > 0;) reply.append(buf, size_t(n));
                    answers.handled += reply.rfind("HTTP/1.1 200", 0) == 0;
                    answers.busy += reply.rfind("HTTP/1.1 503", 0) == 0;
                }
                ::close(fd);
            }
        });
    for (auto& t : clients) t.join();
}

// Three floods, one after another, on one server of the shipped limits: 256
// connections each posting twice a headlines query (504/62, under a session)
// padded to 1,048,000 bytes, then 10 seconds idle. After each, the process's
// resident memory above what it was before the first: at the flood's peak
// (peakN_MiB) and once it has been idle (keptN_MiB: what the request log
// keeps, the workers made and what the allocator holds on to). Every post is
// answered, handled or refused as busy (the bodies in flight held to their
// total); flood_s is the three floods' time, without the idle.
void BM_FloodOfLargePosts(benchmark::State& state) {
    SimOptions o;
    o.clock = kTuesdayMorning;
    o.frozenClock = true;
    constexpr int kConnections = 256, kPosts = 2, kFloods = 3;
    constexpr size_t kBodyBytes = 1048000;
    constexpr auto kIdle = std::chrono::seconds(10);
    for (auto _ : state) {
        SimServer sim(o);
        sim.start();
        const std::string query =
            "TC_SESSION={" + firstText(sim.handle("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", {}), "session") +
            "}&tc_mfuncno=504&tc_sfuncno=62&count=20";
        sim.handle(query, {});  // the family's room is made before the measure
        std::string body = query + "&pad=";
        body.resize(kBodyBytes, 'x');
        const std::string request =
            "POST /vta HTTP/1.1\r\nHost: sim\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        const double before = residentMiB("VmRSS");
        FloodAnswers answers;
        std::chrono::duration<double> flooding{0};
        for (int round = 1; round <= kFloods; ++round) {
            std::ofstream("/proc/self/clear_refs") << "5";  // the peak from here on
            const auto t0 = std::chrono::steady_clock::now();
            flood(sim.port(), request, kConnections, kPosts, answers);
            while (sim.openConnections() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            flooding += std::chrono::steady_clock::now() - t0;
            std::this_thread::sleep_for(kIdle);
            const std::string n = std::to_string(round);
            state.counters["peak" + n + "_MiB"] = residentMiB("VmHWM") - before;
            state.counters["kept" + n + "_MiB"] = residentMiB("VmRSS") - before;
        }
        if (answers.handled + answers.busy != kFloods * kConnections * kPosts) state.SkipWithError("a post unanswered");
        state.counters["handled"] = answers.handled.load();
        state.counters["flood_s"] = flooding.count();
        state.counters["log_MiB"] = double(sim.requestLogBytes()) / (1 << 20);
        sim.stop();
    }
}
BENCHMARK(BM_FloodOfLargePosts)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// A query asked by `clients` threads at once (range 1), with the books in
// memory (range 0: 0) or on disk (1): customer A's holdings (range 2: 0,
// 500/10, under a trade login) or the news headlines (1, 504/62, with a
// service session only). A query writes nothing, so the rates should be alike.
void BM_HoldingsQueries(benchmark::State& state) {
    const std::string dir = (std::filesystem::current_path() / "bench_sim-books").string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    SimOptions o;
    o.clock = kTuesdayMorning;
    o.frozenClock = true;
    if (state.range(0) == 1) o.booksPath = dir + "/books";
    SimServer sim(o);
    const std::string base =
        "TC_SESSION={" + firstText(sim.handle("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", {}), "session") + "}&";
    const std::string info = firstText(sim.handle(base + "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z"
                                                         "&custorgid=0101&inputid=10001234&trdpwd=123456&authtype=0",
                                                  {}));
    const std::string query = state.range(2) == 0
                                  ? base + "tc_mfuncno=500&tc_sfuncno=10&count=20&" + info + "&operway=i"
                                  : base + "tc_mfuncno=504&tc_sfuncno=62&count=20";
    sim.handle(query, {});  // the first makes the family's room: a change, written
    const auto written = o.booksPath.empty() ? 0 : std::filesystem::file_size(o.booksPath);
    const int clients = int(state.range(1));
    constexpr int kPerClient = 64;
    for (auto _ : state) {
        std::vector<std::thread> threads;
        for (int i = 0; i < clients; ++i)
            threads.emplace_back([&] {
                for (int k = 0; k < kPerClient; ++k) benchmark::DoNotOptimize(sim.handle(query, {}));
            });
        for (auto& t : threads) t.join();
    }
    if (!o.booksPath.empty() && std::filesystem::file_size(o.booksPath) != written)
        state.SkipWithError("a query was written to the books");
    state.SetItemsProcessed(state.iterations() * clients * kPerClient);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_HoldingsQueries)
    ->ArgsProduct({{0, 1}, {1, 8, 64}, {0, 1}})
    ->ArgNames({"disk", "clients", "headlines"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// A server on the Tuesday morning clock whose books are on disk in `dir`, made empty.
SimOptions booksInEmptyFolder(const std::string& dir) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    SimOptions o;
    o.clock = kTuesdayMorning;
    o.frozenClock = true;
    o.booksPath = dir + "/books";
    return o;
}

// Books on disk at `path` whose journal holds `records` records (orders of
// customer A and the queries' advances between them).
void writeOrdersJournal(const SimOptions& o, int64_t records) {
    {
        SimServer first(o);  // the journal's first line
    }
    std::ofstream out(o.booksPath, std::ios::binary | std::ios::app);
    SimJournalEntry e;
    e.time = kTuesdayMorning;
    e.phone = "13800138000";
    e.custid = "110001234";
    e.fundid = "010110001234";
    for (int64_t i = 0; i < records; ++i) {
        e.seq = uint64_t(i + 1);
        e.time = kTuesdayMorning + double(i) * 0.01;
        if (i % 2 == 0) {
            e.kind = SimJournalEntry::Kind::Request;
            e.fields = {{"tc_mfuncno", "500"}, {"tc_sfuncno", "6"},        {"authid", ""},
                        {"fundid", e.fundid},  {"bsflag", "0B"},           {"price", "1.00"},
                        {"qty", "100"},        {"stkcode", "600000"},      {"market", "1"},
                        {"secuid", "A100001234"}, {"chkriskflag", "1"}};
        } else {
            e.kind = SimJournalEntry::Kind::Advance;
            e.fields.clear();
        }
        out << SimJournal::line(e);
    }
}

// A server starting on a journal of range(0) records: the replay of the books.
void BM_ReplayLargeJournal(benchmark::State& state) {
    const std::string dir = (std::filesystem::current_path() / "bench_sim-replay").string();
    const SimOptions o = booksInEmptyFolder(dir);
    writeOrdersJournal(o, state.range(0));
    size_t replayed = 0;
    for (auto _ : state) {
        SimServer sim(o);
        replayed = sim.booksReport().entries;
    }
    if (replayed != size_t(state.range(0))) state.SkipWithError("not all replayed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReplayLargeJournal)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);


// A server whose customer A has `orders` orders of the day, each with a deal.
void addFilledOrders(SimServer& server, int64_t orders) {
    server.withRoom<SimTradeRoom>([&](SimTradeRoom& r) {
        SimCustomer& a = *r.books.customer("010110001234");
        for (int64_t n = 0; n < orders; ++n) {
            SimOrder order;
            order.ordersno = r.books.nextOrderNumber();
            order.date = 20240305;
            order.time = 103000;
            order.fundid = a.fundAccounts.front().fundid;
            order.secuid = "A100001234";
            order.market = "1";
            order.code = "600000";
            order.name = "浦发银行";
            order.bsflag = "0B";
            order.price = 7300 + n % 100;
            order.quantity = 100 * (1 + n % 50);
            order.matched = order.quantity;
            order.status = SimOrderStatus::Filled;
            a.orders.push_back(order);
            a.deals.push_back({order.ordersno, order.date, order.time, order.price, order.quantity,
                               order.price * order.quantity / 10});
        }
        return 0;
    });
}

std::unique_ptr<SimServer> booksOfOrders(int64_t orders) {
    SimOptions o;
    o.clock = kTuesdayMorning;
    o.frozenClock = true;
    auto sim = std::make_unique<SimServer>(o);
    addFilledOrders(*sim, orders);
    return sim;
}

void BM_SnapshotOfTheBooks(benchmark::State& state) {
    auto sim = booksOfOrders(state.range(0));
    size_t bytes = 0;
    for (auto _ : state) bytes = simSnapshot(*sim, "bench").size();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SnapshotOfTheBooks)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_RestoreOfTheBooks(benchmark::State& state) {
    const std::string bytes = simSnapshot(*booksOfOrders(state.range(0)), "bench");
    for (auto _ : state) {
        state.PauseTiming();
        SimOptions o;
        o.clock = kTuesdayMorning;
        o.frozenClock = true;
        auto fresh = std::make_unique<SimServer>(o);
        state.ResumeTiming();
        std::string why;
        if (!simRestore(*fresh, bytes, "bench", why)) state.SkipWithError(why.c_str());
        state.PauseTiming();
        fresh.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RestoreOfTheBooks)->Arg(100000)->Unit(benchmark::kMillisecond);

// A server starting on books of range(0) filled orders compacted into a
// snapshot (the journal holds no record after it): to set against the
// replay of a journal above, which books as many orders from twice as many
// records (each order and the advance after it).
void BM_StartCompactedBooks(benchmark::State& state) {
    const std::string dir = (std::filesystem::current_path() / "bench_sim-compacted").string();
    const SimOptions o = booksInEmptyFolder(dir);
    {
        SimOptions compacting = o;
        compacting.booksCompactBytes = 0;  // the next change compacts
        SimServer sim(compacting);
        addFilledOrders(sim, state.range(0));
        SimMessage m;
        m.title = "收盘提示";
        sim.pushMessage(m);
    }
    bool restored = false;
    for (auto _ : state) {
        SimServer sim(o);
        restored = sim.booksReport().restoredSnapshot;
    }
    if (!restored) state.SkipWithError("not compacted");
    uintmax_t snapshot = 0;
    for (const auto& f : std::filesystem::directory_iterator(dir))
        if (f.path().filename().string().rfind("books.snapshot-", 0) == 0) snapshot = f.file_size();
    state.counters["snapshot_bytes"] = double(snapshot);
    state.counters["journal_bytes"] = double(std::filesystem::file_size(o.booksPath));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StartCompactedBooks)->Arg(100000)->Arg(500000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
