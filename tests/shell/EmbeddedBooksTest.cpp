// The simulated brokerage the client embeds keeps its books in the Documents
// folder: a phone registered, an order and the own stocks of one run of the
// client are there in the next, and a damaged file is kept aside with the
// customer told what the books go on from. It answers no other program on
// the machine: it listens on no port, only on a socket in a folder of the
// user's alone, and answers only the requests of the client that started it,
// which carry the client's secret; its control routes it serves only when the
// client was started to.
#include "tests/shell/LaunchTestSupport.h"

#include <httplib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <tuple>

#include "app/EmbeddedSimulator.h"
#include "core/RequestText.h"
#include "core/storage/MessageExpressDaoImpl.h"
#include "net/ImageDownload.h"
#include "net/QZNetworkService.h"
#include "platform/uikit/UIWebView.h"
#include "sim/SimSnapshot.h"
#include "sim/SimTrade.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string nameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The TCP sockets this process listens on (their inodes), over IPv4 and IPv6.
std::set<std::string> listeningTcpSockets() {
    std::set<std::string> mine;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string target = std::filesystem::read_symlink(fd.path(), ec).string();
        if (target.rfind("socket:[", 0) == 0) mine.insert(target.substr(8, target.size() - 9));
    }
    std::set<std::string> listening;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);  // the column names
        while (std::getline(in, line)) {
            // sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode
            std::istringstream fields(line);
            std::string sl, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
            fields >> sl >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
            if (state == "0A" && mine.count(inode)) listening.insert(inode);  // 0A: LISTEN
        }
    }
    return listening;
}

class EmbeddedBooksTest : public LaunchFixture {
protected:
    // The server as the client starts it, in this test's Documents folder
    // (`controls`: as --sim-controls starts it).
    void startEmbedded(bool controls = false) {
        SimOptions o;
        o.clock = kLaunchMorning;
        o.frozenClock = true;
        o.controlRoutes = controls;
        socketFolder = std::make_unique<EmbeddedSocketFolder>();
        ASSERT_TRUE(socketFolder->made()) << socketFolder->error();
        embedded = std::make_unique<SimServer>(embeddedSimOptions(*socketFolder, o));
        ASSERT_EQ(embedded->setupError(), "");
        ASSERT_TRUE(embedded->start());
        attachToClient(*embedded);
        sim = embedded.get();
    }
    void TearDown() override {
        LaunchFixture::TearDown();
        HTTPEngine::shared().setPrivateOrigin({});  // the next test's server is the shared one
    }
    // Another program of the user's, on the embedded server's socket;
    // `secret`: one that holds the client's secret (a test, as only the
    // client can).
    httplib::Client localProgram(const std::optional<std::string>& secret = std::nullopt) {
        httplib::Client client(embedded->options().socketPath);
        client.set_address_family(AF_UNIX);
        client.set_read_timeout(std::chrono::seconds(long(kHangSeconds)));
        if (secret) client.set_default_headers({{kSimSecretHeader, simSecretHeaderValue(*secret)}});
        return client;
    }
    std::string secret() const { return embedded->options().clientSecret; }
    // The client quits once every request it sent has been answered, so that
    // the books it leaves are the books: a request still on its way would be
    // cancelled at the client but still carried out whenever the server came
    // to it (the confirmation of the messages its login fetched, sent as they
    // came, among them), after a test had read the books.
    void quitAnswered() {
        drainTransfers();
        quit();
    }
    // The client ends, and the process with it: the server goes without a word.
    void endProcess() {
        quit();
        embedded.reset();
        socketFolder.reset();
        sim = nullptr;
    }
    // A request as a screen sends it; the reply's first set (null on failure).
    std::shared_ptr<VTATCRS> ask(const std::string& text, int type) {
        struct Reply : QZNetworkServiceDelegate {
            std::optional<std::vector<uint8_t>> data;
            bool failed = false;
            void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>& d, int) override { data = d; }
            void serviceDidNetworkError(QZNetworkService*, const NSError&, int) override { failed = true; }
            void serviceDidServiceError(QZNetworkService*, const NSError&, int) override { failed = true; }
        } reply;
        QZNetworkService service;
        service.setDelegate(&reply);
        service.requestStr(text, type);
        if (!waitFor([&] { return reply.data || reply.failed; }) || !reply.data) return nullptr;
        auto sets = VTATCRS::buildMuTableTCRSWithData(*reply.data);
        return sets && !sets->empty() ? sets->front() : nullptr;
    }
    // Customer A (logged in to trade) buys 100 of 600000 at its price; answers the order's number.
    std::string buy() {
        auto info = ask(tradeRequestString(4) + "&bsflag=0B&stkcode=600000", 4);
        EXPECT_TRUE(info && !info->isError());
        const std::string price = info ? info->toStringWithFieldName("price").value_or("") : "";
        auto order = ask(tradeRequestString(6) + "&fundid=010110001234&bsflag=0B&price=" + price +
                             "&qty=100&stkcode=600000&market=1&secuid=A100001234&chkriskflag=1",
                         4);
        EXPECT_TRUE(order && !order->isError()) << (order ? order->getError() : "no reply");
        return order ? order->toStringWithFieldName("ordersno").value_or("") : "";
    }
    std::unique_ptr<EmbeddedSocketFolder> socketFolder;
    std::unique_ptr<SimServer> embedded;
};

// The embedded brokerage listens on no TCP port: on a socket alone, in a
// folder of its own that admits the user alone (no other user can connect
// to it, nor hold its connections), and the client reaches it there. Both
// go when the client ends.
TEST_F(EmbeddedBooksTest, ItListensOnASocketOfTheUsersAloneAndOnNoPort) {
    const auto listening = listeningTcpSockets();  // the tests' shared server's among them
    ASSERT_FALSE(listening.empty()) << "the listening sockets are not seen";
    startEmbedded();
    EXPECT_EQ(embedded->port(), 0);
    EXPECT_EQ(listeningTcpSockets(), listening) << "a TCP port opened";
    const std::string folder = socketFolder->path(), socket = embedded->options().socketPath;
    EXPECT_EQ(std::filesystem::path(socket).parent_path(), folder);
    struct stat made {};
    ASSERT_EQ(::lstat(folder.c_str(), &made), 0);
    EXPECT_TRUE(S_ISDIR(made.st_mode));
    EXPECT_EQ(made.st_mode & 07777, 0700u);
    EXPECT_EQ(made.st_uid, ::geteuid());
    ASSERT_EQ(::lstat(socket.c_str(), &made), 0);
    EXPECT_TRUE(S_ISSOCK(made.st_mode));
    EXPECT_EQ(made.st_mode & 07777, 0600u);
    EXPECT_EQ(made.st_uid, ::geteuid());
    ASSERT_TRUE(launch());
    reachHomeFirstTime();  // through the socket
    EXPECT_EQ(sim->requestsOf(100, 3).size(), 1u) << "the registration";
    endProcess();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(socket)));
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(EmbeddedBooksTest, TheBooksOutliveARestartOfTheClient) {
    startEmbedded();
    ASSERT_TRUE(launch());
    reachHomeFirstTime();  // the phone registers by its SMS
    openTradeSession();
    const std::string ordersno = buy();
    ASSERT_FALSE(ordersno.empty());
    const auto ownStocks = sim->ownStocks(phone);
    endProcess();
    EXPECT_TRUE(std::filesystem::exists(documentsPath(kEmbeddedBooksFile)));

    // The next run: the server knows the phone (no registration asked), the
    // order is among the day's, the own stocks are the phone's.
    startEmbedded();
    EXPECT_EQ(embedded->booksReport().damagedLine, 0u);
    ASSERT_TRUE(launch());
    ASSERT_TRUE(waitFor([&] { return home() != nullptr; }));
    EXPECT_EQ(sim->requestsOf(100, 3).size(), 0u) << "no second registration";
    EXPECT_EQ(sim->ownStocks(phone), ownStocks);
    openTradeSession();
    auto today = ask(tradeRequestString(13) + "&fundid=010110001234&count=12", 5);
    ASSERT_TRUE(today && !today->isError());
    bool listed = false;
    for (today->fetchFirst(); !today->isEOF(); today->fetchNext())
        listed = listed || today->toStringWithFieldName("ordersno").value_or("") == ordersno;
    EXPECT_TRUE(listed) << "order " << ordersno << " among today's";
}

TEST_F(EmbeddedBooksTest, ADamagedBookIsKeptAsideAndTheCustomerTold) {
    startEmbedded();
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    endProcess();
    // A byte of the last entry changed on disk.
    const std::string path = documentsPath(kEmbeddedBooksFile);
    std::string journal = readFile(path);
    ASSERT_GT(journal.size(), 20u);
    journal[journal.size() - 5] ^= 1;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << journal;

    startEmbedded();
    const SimJournalReport& report = embedded->booksReport();
    EXPECT_GT(report.damagedLine, 1u);
    EXPECT_TRUE(std::filesystem::exists(report.setAside));
    const std::string notice = embeddedBooksNotice(report);
    EXPECT_NE(notice.find("原文件已另存为" + nameOf(report.setAside) + "；"), std::string::npos) << notice;
    EXPECT_EQ(notice.find('/'), std::string::npos) << "the file by its name, not its path: " << notice;
    EXPECT_NE(notice.find("损坏"), std::string::npos);
    EXPECT_EQ(embeddedBooksNotice(SimJournalReport{}), "") << "nothing to tell of books read back whole";
}

// A program on the phone finds no control route, not even with the client's
// secret: it pushes no message "from the brokerage", moves the books' clock
// by no year, logs no customer out and learns no path of the Documents folder.
TEST_F(EmbeddedBooksTest, TheControlRoutesAreNotServedToOtherPrograms) {
    startEmbedded();
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    quitAnswered();  // its session stays, and nothing else changes the books meanwhile
    const auto messages = sim->messages().size();
    const double clock = sim->clock().now();
    const auto sessions = sim->sessionIds();
    ASSERT_FALSE(sessions.empty());
    const std::string books = simBooksFingerprint(*embedded);
    auto local = localProgram(secret());
    const std::string form = "application/x-www-form-urlencoded";
    for (const auto& [path, body] : {std::pair<std::string, std::string>{
                                         "/sim/push", "title=安全提示&content=您的账户存在风险，请立即转账至安全账户"},
                                     {"/sim/clock", "advance=31536000"},
                                     {"/sim/expire", ""}}) {
        auto r = local.Post(path, body, form);
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->status, 404) << path;
    }
    auto status = local.Get("/sim/status");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->status, 404);
    EXPECT_EQ(status->body.find(documentsDirectory()), std::string::npos);
    EXPECT_EQ(sim->messages().size(), messages);
    EXPECT_EQ(sim->clock().now(), clock);
    EXPECT_EQ(sim->sessionIds(), sessions);
    EXPECT_EQ(simBooksFingerprint(*embedded), books);
}

// The socket's folder is made in $XDG_RUNTIME_DIR only where that folder is
// the user's alone and the socket's path fits a socket's address; else in /tmp.
TEST_F(EmbeddedBooksTest, TheSocketsFolderIsMadeWhereTheUserAloneEnters) {
    TempDir runtime;
    const std::string deep = runtime.file(std::string(SimHttpServer::kMaxSocketPath, 'd'));
    std::filesystem::create_directory(deep);
    struct RestoredRuntimeDir {
        const char* given = std::getenv("XDG_RUNTIME_DIR");
        const std::optional<std::string> before = given ? std::optional<std::string>(given) : std::nullopt;
        ~RestoredRuntimeDir() {
            if (before)
                ::setenv("XDG_RUNTIME_DIR", before->c_str(), 1);
            else
                ::unsetenv("XDG_RUNTIME_DIR");
        }
    } restored;
    for (const auto& [place, mode, used] : {std::tuple{runtime.path(), 0700, true},
                                            {runtime.path(), 0770, false},
                                            {deep, 0700, false}}) {
        ::chmod(place.c_str(), mode_t(mode));
        ::setenv("XDG_RUNTIME_DIR", place.c_str(), 1);
        EmbeddedSocketFolder folder;
        ASSERT_TRUE(folder.made()) << folder.error();
        EXPECT_EQ(std::filesystem::path(folder.path()).parent_path(), used ? place : "/tmp") << place << " " << mode;
        EXPECT_LE(folder.socketPath().size(), SimHttpServer::kMaxSocketPath);
    }
}

// Another program of this user (no other user reaches the socket's folder)
// connects to the socket and nothing more: a keyless session declaring the
// customer's phone, and under it the own stocks replaced, the phone
// unregistered, the push token replaced and a wrong trading password tried,
// are each refused before any handler, without the secret or with a wrong
// one, and the books, the sessions and the request log stay as they were.
// The client's own roads, all through its HTTP engine and the socket, go on
// as before: registration, own stocks, trade login, an order, an image and a
// web page.
TEST_F(EmbeddedBooksTest, ARequestThatDoesNotComeTheClientsWayIsRefused) {
    startEmbedded();
    ASSERT_TRUE(launch());
    reachHomeFirstTime();  // the phone registers
    XXNetworkManager::sharedManager().requestUpdatePortfolio("600519.2|000001.1");
    ASSERT_TRUE(waitFor([&] { return sim->ownStocks(phone) == std::vector<std::string>{"600519.2", "000001.1"}; }));
    openTradeSession();
    ASSERT_FALSE(buy().empty());
    const size_t images = sim->imageRequestCount(), pages = sim->pageRequestCount();
    bool fetched = false;
    downloadImageData(sim->url() + "/img/logo.png",
                      [&](std::optional<std::vector<uint8_t>> png) { fetched = bool(png); });
    auto page = std::make_shared<UIWebView>(CGRectMake(0, 0, 320, 416));
    page->loadRequest(NSURLRequest::requestWithURL(sim->url() + "/page/report.html"));
    ASSERT_TRUE(waitFor([&] { return fetched && !page->isLoading(); }));
    EXPECT_EQ(sim->imageRequestCount(), images + 1);
    EXPECT_EQ(sim->pageRequestCount(), pages + 1);
    quitAnswered();  // its sessions stay, and nothing else changes the books meanwhile

    const std::string books = simBooksFingerprint(*embedded);
    const auto sessions = sim->sessionIds();
    const size_t requests = sim->requestCount();
    const std::string form = "application/x-www-form-urlencoded",
                      keyless = "tc_service=300&tc_isunicode=1&TC_ENCRYPT=0&";
    for (const auto& given : {std::optional<std::string>(), std::optional(std::string(secret().size(), '0'))}) {
        auto local = localProgram(given);
        auto login = local.Post("/vta", keyless + "tc_mfuncno=100&tc_sfuncno=1&phone=" + phone, form);
        ASSERT_TRUE(login);
        EXPECT_EQ(login->status, 403);
        // Under the session it would have been given, had the login been served.
        auto sets = VTATCRS::buildMuTableTCRSWithData(std::vector<uint8_t>(login->body.begin(), login->body.end()));
        const std::string session =
            sets && !sets->empty() ? sets->front()->toStringWithFieldName("session").value_or("") : "";
        for (const std::string& fields :
             {std::string("tc_mfuncno=3710&tc_sfuncno=5&code=600000.2"),
              "tc_mfuncno=100&tc_sfuncno=3&type=Z&phone=" + phone,
              std::string("tc_mfuncno=3730&tc_sfuncno=1&token=abc"),
              std::string("tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=0101&inputid=010110001234"
                          "&trdpwd=000000&authtype=0&authdata=")}) {
            auto r = local.Post("/vta", keyless + "TC_SESSION={" + session + "}&" + fields, form);
            ASSERT_TRUE(r) << fields;
            EXPECT_EQ(r->status, 403) << fields;
            EXPECT_EQ(r->get_header_value("Connection"), "close") << fields;
        }
        for (const char* path : {"/vta", "/img/logo.png", "/page/report.html"}) {
            auto r = local.Get(path);
            ASSERT_TRUE(r) << path;
            EXPECT_EQ(r->status, 403) << path;
        }
    }
    EXPECT_EQ(simBooksFingerprint(*embedded), books);
    EXPECT_EQ(sim->sessionIds(), sessions);
    EXPECT_EQ(sim->requestCount(), requests);
    EXPECT_EQ(sim->imageRequestCount(), images + 1);
    EXPECT_EQ(sim->pageRequestCount(), pages + 1);
}

// Started with its controls, for a test, the embedded brokerage still hands a
// message pushed by a holder of the client's secret to the client as a push
// notification; without the secret the controls are refused as every route.
TEST_F(EmbeddedBooksTest, WithItsControlsAPushedMessageArrivesAsANotification) {
    startEmbedded(true);
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    const size_t delivered = RemoteNotificationService::shared().deliveredCount();
    const size_t stored = sim->messages().size();
    auto refused =
        localProgram().Post("/sim/push", "title=安全提示&content=请转账", "application/x-www-form-urlencoded");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 403);
    EXPECT_EQ(sim->messages().size(), stored);
    auto r = localProgram(secret()).Post("/sim/push", "title=演示消息&content=推送演示",
                                         "application/x-www-form-urlencoded");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_TRUE(waitFor([&] { return RemoteNotificationService::shared().deliveredCount() == delivered + 1; }));
    // The client fetches it.
    EXPECT_TRUE(waitFor([&] {
        auto stored = DaoFactory::sharedInstance().messageExpressDao()->listRecentMessagesWithLimit(1000);
        return stored && std::any_of(stored->begin(), stored->end(),
                                     [](const auto& m) { return m->messageTitle() == "演示消息"; });
    }));
}

// A last record cut short (a damaged disk, a copy cut short) is not dropped
// without a word: its bytes are kept aside and the customer told, with how
// many records were restored and that at least one was not.
TEST_F(EmbeddedBooksTest, ATornLastRecordIsKeptAsideAndTheCustomerTold) {
    startEmbedded();
    ASSERT_TRUE(launch());
    reachHomeFirstTime();
    endProcess();
    const std::string path = documentsPath(kEmbeddedBooksFile);
    const std::string journal = readFile(path);
    const size_t lastStart = journal.rfind('\n', journal.size() - 2) + 1;
    const std::string torn = journal.substr(0, lastStart + (journal.size() - lastStart) / 2);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << torn;

    startEmbedded();
    const SimJournalReport& report = embedded->booksReport();
    EXPECT_TRUE(report.tornLast);
    EXPECT_EQ(readFile(report.setAside), torn) << "the torn bytes are kept as they were";
    const std::string notice = embeddedBooksNotice(report);
    EXPECT_NE(notice.find(nameOf(report.setAside)), std::string::npos);
    EXPECT_NE(notice.find("之后至少有1笔记录无法恢复"), std::string::npos) << notice;

    // An emptied file says nothing of how many it held: the notice does not pretend to a count.
    SimJournalReport emptied;
    emptied.damagedLine = 1;
    emptied.lostUnknown = true;
    emptied.setAside = "x";
    EXPECT_NE(embeddedBooksNotice(emptied).find("原有的记录均无法恢复"), std::string::npos);
    EXPECT_EQ(embeddedBooksNotice(emptied).find("0笔"), std::string::npos);
}

}  // namespace
