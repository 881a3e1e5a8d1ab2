// The request road under load: requests per second and round trip of an
// enciphered, compressed 31000/4 for 50 stocks through QZNetworkService,
// beside the same bytes through the HTTP engine alone (queue, network thread,
// main loop; no enciphering or decoding) and by a plain libcurl POST to the
// same server; and the simulator's own throughput (its request handling
// without HTTP, and over loopback HTTP at 1 and 8 clients: compressed,
// enciphered, and logins with key exchange). The cost of one durable write of the
// user defaults is measured too: it used to sit in the path of every reply
// (the traffic counters), which made the one-at-a-time round trip depend on
// the disk.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>

#include "core/VTATCRS.h"
#include "core/security/Compression.h"
#include "core/security/VTACoder.h"
#include "net/HTTPRequest.h"
#include "net/NetworkManager.h"
#include "net/QZNetworkService.h"
#include "net/ServiceProtocol.h"
#include "net/ServiceSession.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/RunLoop.h"
#include "sim/SimServer.h"

namespace {

// A Documents folder of its own, so that the run neither reads nor grows the user's.
void useScratchDocuments() {
    static const std::string dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "bench_net-XXXXXX").string();
        const char* made = mkdtemp(tmpl.data());
        return std::string(made ? made : "");
    }();
    if (!dir.empty()) setDocumentsDirectory(dir);
}

SimServer& server() {
    static SimServer* sim = [] {
        useScratchDocuments();
        SimOptions o;
        o.seed = 5;
        o.clock = 1709605800;  // a Tuesday morning in Shanghai
        o.frozenClock = true;
        auto* s = new SimServer(o);  // lives until the process ends
        s->start();
        NetworkManager::manager().setLoopbackHost(s->url());
        return s;
    }();
    return *sim;
}

std::string fiftyStocks() {
    std::string codes;
    int n = 0;
    for (const auto& i : server().market().instruments()) {
        for (int rep = 0; rep < 2 && n < 50; ++rep, ++n) codes += (codes.empty() ? "" : "|") + i.id();
    }
    return "tc_mfuncno=31000&tc_sfuncno=4&field=1|2|3|4|6|11|13|14|15|16|17|18|20|21|50|55|70|75&code=" + codes;
}

class Sink : public QZNetworkServiceDelegate {
public:
    int done = 0, failed = 0;
    void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>&, int) override { ++done; }
    void serviceDidNetworkError(QZNetworkService*, const NSError&, int) override { ++failed; }
    void serviceDidServiceError(QZNetworkService*, const NSError&, int) override { ++failed; }
};

void ensureLogin() {
    if (!ServiceSession::shared().session().empty()) return;
    Sink s;
    QZNetworkService service;
    service.setDelegate(&s);
    service.requestStr("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", 1);
    RunLoop::main().runUntil([&] { return s.done + s.failed > 0; }, 10, 10);
}

// One request at a time: the round trip (median reported by the repetitions).
void BM_ServiceRoundTrip(benchmark::State& state) {
    server();
    ensureLogin();
    const std::string text = fiftyStocks();
    Sink sink;
    QZNetworkService service;
    service.setDelegate(&sink);
    for (auto _ : state) {
        int before = sink.done + sink.failed;
        service.requestStr(text, 5);  // enciphered, compressed reply
        RunLoop::main().runUntil([&] { return sink.done + sink.failed > before; }, 10, 10);
    }
    if (sink.failed) state.SkipWithError("failures");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ServiceRoundTrip)->UseRealTime()->Repetitions(3)->ReportAggregatesOnly(true);

// Sixteen in flight, four at a time (the queue's width): requests per second.
void BM_ServiceThroughput(benchmark::State& state) {
    server();
    ensureLogin();
    const std::string text = fiftyStocks();
    Sink sink;
    QZNetworkService service;
    service.setDelegate(&sink);
    for (auto _ : state) {
        int before = sink.done + sink.failed;
        for (int i = 0; i < 16; ++i) service.requestStr(text, 5);
        RunLoop::main().runUntil([&] { return sink.done + sink.failed >= before + 16; }, 30, 30);
    }
    state.SetItemsProcessed(state.iterations() * 16);
}
BENCHMARK(BM_ServiceThroughput)->UseRealTime();

// The same body one at a time through the HTTP engine only: HTTPRequest on
// the shared queue, the network thread and the completion on the main loop.
void BM_EngineRoundTrip(benchmark::State& state) {
    server();
    ensureLogin();
    auto body = ServiceProtocol::buildBody(fiftyStocks(), 5, ServiceSession::shared().session(),
                                           [](const std::string& p) { return VTACoder::encryptString(p); });
    int done = 0, failed = 0;
    for (auto _ : state) {
        auto r = HTTPRequest::requestWithURL(NetworkManager::manager().currentURL());
        r->setPostBody(body.text);
        r->setUserAgent(ServiceProtocol::kUserAgent);
        r->setCompletionBlock([&](HTTPRequest& h) { h.failed() ? ++failed : ++done; });
        int before = done + failed;
        NetworkManager::manager().queue().addOperation(r);
        RunLoop::main().runUntil([&] { return done + failed > before; }, 10, 10);
    }
    if (failed) state.SkipWithError("failures");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EngineRoundTrip)->UseRealTime()->Repetitions(3)->ReportAggregatesOnly(true);

// One durable write of the user defaults (temporary file, fsync, rename, fsync of the folder).
void BM_UserDefaultsDurableWrite(benchmark::State& state) {
    useScratchDocuments();
    auto& d = NSUserDefaults::standardUserDefaults();
    int64_t n = 0;
    for (auto _ : state) d.setInteger(++n, "BenchCounter");
    d.removeObjectForKey("BenchCounter");
}
BENCHMARK(BM_UserDefaultsDurableWrite)->UseRealTime()->Repetitions(3)->ReportAggregatesOnly(true);

// The same bytes by a plain libcurl POST (no queue, no main loop, no decoding).
void BM_PlainCurlPost(benchmark::State& state) {
    server();
    ensureLogin();
    auto body = ServiceProtocol::buildBody(fiftyStocks(), 5, ServiceSession::shared().session(),
                                           [](const std::string& p) { return VTACoder::encryptString(p); });
    CURL* curl = curl_easy_init();
    std::string url = server().url() + "/vta";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.text.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "VTA-IPhone 1.0");
    std::string reply;
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char* p, size_t s, size_t n, void* u) {
            static_cast<std::string*>(u)->append(p, s * n);
            return s * n;
        });
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    for (auto _ : state) {
        reply.clear();
        if (curl_easy_perform(curl) != CURLE_OK) state.SkipWithError("curl failed");
    }
    curl_easy_cleanup(curl);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainCurlPost)->UseRealTime()->Repetitions(3)->ReportAggregatesOnly(true);

// The simulator's request handling alone (parse, decipher, market, record sets, compress, encipher).
void BM_SimHandle(benchmark::State& state) {
    server();
    ensureLogin();
    auto body = ServiceProtocol::buildBody(fiftyStocks(), 5, ServiceSession::shared().session(),
                                           [](const std::string& p) { return VTACoder::encryptString(p); });
    for (auto _ : state) benchmark::DoNotOptimize(server().handle(body.text, {}));
    server().clearRequests();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SimHandle);

// A session login (without key exchange) at a full table of 10,000 sessions,
// each declaring a phone of its own: the idlest gives way to every login.
void BM_SimLoginAtAFullTable(benchmark::State& state) {
    SimServer sim(SimOptions{.clock = 1709605800, .frozenClock = true});
    const size_t full = sim.options().maxSessions;
    long phone = 13900000000;
    auto login = [&] { return sim.handle("tc_mfuncno=100&tc_sfuncno=1&phone=" + std::to_string(phone++), {}); };
    for (size_t i = 0; i < full; ++i) login();
    for (auto _ : state) benchmark::DoNotOptimize(login());
    if (sim.sessionIds().size() != full) state.SkipWithError("the table is not full");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SimLoginAtAFullTable);

// A session of its own for the load threads (made once, before they start).
std::string loadSession() {
    static std::string session = [] {
        auto r = server().handle("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000", {});
        auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(r.body.begin(), r.body.end()));
        return sets && !sets->empty() ? sets->front()->toStringWithFieldName("session").value_or("") : std::string();
    }();
    return session;
}

// The reply compression at each zlib level, on the simulator's own replies
// (a 50-stock snapshot and a 320-bar day K-line with MACD): the time to
// compress one with a kept stream, and the compressed share of the bytes.
void BM_SimReplyCompressionLevel(benchmark::State& state) {
    static const std::vector<std::vector<uint8_t>> replies = [] {
        std::vector<std::vector<uint8_t>> out;
        const std::string head = "tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&TC_SESSION={" + loadSession() + "}&";
        for (const std::string& text :
             {fiftyStocks(), std::string("tc_mfuncno=31000&tc_sfuncno=2&direct=1&time=0&type=5&date=0&count=320&"
                                         "techname=MACD&code=600000.2")}) {
            auto r = server().handle(head + text, {});
            out.emplace_back(r.body.begin(), r.body.end());
        }
        server().clearRequests();
        return out;
    }();
    LengthPrefixCompressor compressor(static_cast<int>(state.range(0)));
    size_t plain = 0, packed = 0;
    for (auto _ : state)
        for (const auto& r : replies) {
            plain += r.size();
            packed += compressor.compress(r).size();
        }
    state.counters["compressed_pct"] = plain ? 100.0 * double(packed) / double(plain) : 0;
    state.SetItemsProcessed(state.iterations() * int64_t(replies.size()));
}

BENCHMARK(BM_SimReplyCompressionLevel)->DenseRange(1, 6);

// One curl handle per benchmark thread posting the same body to the simulator
// (an empty body: a GET of /vta, the HTTP road without a request to handle).
void postLoad(benchmark::State& state, const std::string& body) {
    CURL* curl = curl_easy_init();
    std::string url = server().url() + "/vta";
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    if (!body.empty()) curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    std::string reply;
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char* p, size_t s, size_t n, void* u) {
            static_cast<std::string*>(u)->append(p, s * n);
            return s * n;
        });
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    long failures = 0;
    for (auto _ : state) {
        reply.clear();
        long status = 0;
        if (curl_easy_perform(curl) != CURLE_OK ||
            (curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status), status != 200))
            ++failures;
    }
    curl_easy_cleanup(curl);
    if (failures) state.SkipWithError("failed requests");
    state.SetItemsProcessed(state.iterations());
    // Requests per second as a share of the quote goal, 10,000 a second at 8 clients.
    state.counters["of_10k_per_s"] =
        benchmark::Counter(double(state.iterations()) / 10000, benchmark::Counter::kIsRate);
}

// The simulator under a loopback load of 1, 8 and 64 clients: requests per
// second grow with the clients as long as the state lock is held only around
// the sessions and the handlers. Compressed replies to clear requests (type 3).
// BM_SimLoopbackHttpOnly is the ceiling: the same load of GETs answered at once.
void BM_SimLoopbackLoad(benchmark::State& state) {
    postLoad(state, "tc_service=300&tc_isunicode=1&TC_ENCRYPT=18&TC_SESSION={" + loadSession() + "}&" + fiftyStocks());
}
BENCHMARK(BM_SimLoopbackLoad)->Threads(1)->Threads(8)->Threads(64)->UseRealTime()->Setup([](const benchmark::State&) {
    loadSession();
});

void BM_SimLoopbackHttpOnly(benchmark::State& state) { postLoad(state, ""); }
BENCHMARK(BM_SimLoopbackHttpOnly)
    ->Threads(1)
    ->Threads(8)
    ->Threads(64)
    ->UseRealTime()
    ->Setup([](const benchmark::State&) { server(); });

// The same with enciphered requests and replies (type 5: Blowfish both ways).
void BM_SimLoopbackEncipheredLoad(benchmark::State& state) {
    static const std::string body = [] {
        server();
        ensureLogin();
        return ServiceProtocol::buildBody(fiftyStocks(), 5, ServiceSession::shared().session(),
                                          [](const std::string& p) { return VTACoder::encryptString(p); })
            .text;
    }();
    postLoad(state, body);
}
BENCHMARK(BM_SimLoopbackEncipheredLoad)->Threads(1)->Threads(8)->UseRealTime();

// Session logins with key exchange (an RSA decryption each) at 1 and 8 clients.
void BM_SimLoopbackKeyExchange(benchmark::State& state) {
    static const std::string body = [] {
        server();
        auto key = VTACoder::sessionKeyExchangeText();
        return "tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&tc_mfuncno=100&tc_sfuncno=1&phone=13800138000&TC_KEY=" +
               key.value_or("");
    }();
    postLoad(state, body);
}
BENCHMARK(BM_SimLoopbackKeyExchange)->Threads(1)->Threads(8)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
