// A brokerage that does not forget: its books in a journal on disk, each
// change written before its answer, rebuilt by a replay when the server
// starts again (also after a kill), a damaged journal set aside with what
// happened reported, never a silent start from the seed.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sstream>

#include "SimTestSupport.h"
#include "core/security/Crc32.h"
#include "core/security/VTACoder.h"
#include "sim/SimBank.h"
#include "sim/SimFunds.h"
#include "sim/SimJournal.h"
#include "sim/SimOrders.h"
#include "sim/SimPortfolio.h"
#include "sim/SimSnapshot.h"
#include "sim/SimSnapshotFields.h"
#include "sim/SimTrade.h"
#include "tests/support/TestSupport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kCustomerA = "010110001234";
constexpr const char* kPhone = "13800138000";

std::string textOf(const SimServer::Reply& r, const std::string& field) {
    auto set = firstSet(r);
    return set ? set->toStringWithFieldName(field).value_or("") : "";
}

std::string errorOf(const SimServer::Reply& r) {
    auto set = firstSet(r);
    return set && set->isError() ? set->getError() : "";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// What a customer's books hold, as text: two servers with the same books say the same.
std::string describe(SimServer& sim, const std::string& fundid) {
    return sim.withRoom<SimTradeRoom>([&](SimTradeRoom& r) {
        const SimCustomer& c = *r.books.customer(fundid);
        std::ostringstream out;
        for (const auto& f : c.fundAccounts)
            for (const auto& [currency, b] : f.balances)
                out << f.fundid << " " << currency << ": " << b.balance << " " << b.frozen << " " << b.salesToday
                    << "\n";
        for (const auto& h : c.holdings)
            out << h.secuid << " " << h.code << ": " << h.quantity << " " << h.available << " " << h.costBasis << "\n";
        for (const auto& o : c.orders)
            out << o.ordersno << " " << o.date << " " << o.time << " " << o.code << " " << o.bsflag << " " << o.price
                << " " << o.quantity << " " << o.matched << " " << int(o.status) << "\n";
        out << (c.token ? c.token->seed + " " + std::to_string(c.token->counter) + " " + c.token->phone : "no token");
        return out.str();
    });
}

// A server with its books in `path`, on the Tuesday morning clock.
SimOptions booksOptions(const std::string& path, bool fresh = false) {
    SimOptions o = tuesdayOptions();
    o.booksPath = path;
    o.freshBooks = fresh;
    return o;
}

// A customer's session on a server: service login, trade login, requests.
struct Customer {
    // A request's body to the server's reply.
    using Send = std::function<SimServer::Reply(const std::string& body)>;
    Customer(SimServer& server, const std::string& fundid, const std::string& phone = kPhone,
             const std::string& password = "123456", const std::string& auth = "authtype=0&authdata=")
        : Customer([&server](const std::string& body) { return server.handle(body, {}); }, fundid, phone, password,
                   auth) {}
    Customer(Send send, const std::string& fundid, const std::string& phone = kPhone,
             const std::string& password = "123456", const std::string& auth = "authtype=0&authdata=")
        : send(std::move(send)), fundId(fundid) {
        session = textOf(this->send("tc_mfuncno=100&tc_sfuncno=1&phone=" + phone), "session");
        auto set = firstSet(call("tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=" + fundid.substr(0, 4) +
                                 "&inputid=" + fundid + "&trdpwd=" + password + "&" + auth));
        if (set && !set->isError()) tradeInfo = set->toStringAtIndex(0).value_or("") + "&operway=i";
    }
    SimServer::Reply call(const std::string& fields) {
        return send("tc_service=300&TC_ENCRYPT=0&TC_SESSION={" + session + "}&" + fields);
    }
    SimServer::Reply trade(int sub, const std::string& fields) {
        return call("tc_mfuncno=500&tc_sfuncno=" + std::to_string(sub) + "&" + tradeInfo + "&fundid=" + fundId + "&" +
                    fields);
    }
    // 2,500.50 元 from the bank (whose password is asked).
    SimServer::Reply transferIn() {
        return trade(21, "banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=2500.5");
    }
    // A buy of 浦发银行 at its last price (or the price given).
    SimServer::Reply buy(int qty = 100, std::string price = "") {
        if (price.empty()) price = textOf(trade(4, "bsflag=0B&stkcode=600000"), "price");
        return trade(6, "bsflag=0B&price=" + price + "&qty=" + std::to_string(qty) +
                            "&stkcode=600000&market=1&secuid=A100001234&chkriskflag=1");
    }
    Send send;
    std::string fundId, session, tradeInfo;
};

// Requests over HTTP to the server on `port`, on one connection kept open
// (status 0 for a request that had no answer).
Customer::Send overHttp(int port) {
    auto http = std::make_shared<httplib::Client>(simClient(port));
    http->set_keep_alive(true);
    http->set_tcp_nodelay(true);
    return [http](const std::string& body) {
        SimServer::Reply reply;
        reply.status = 0;
        if (auto r = http->Post("/vta", body, "application/x-www-form-urlencoded")) {
            reply.status = r->status;
            reply.body = r->body;
        }
        return reply;
    };
}

// The serial of the last bank transfer in the server's books (0 none).
int64_t lastTransferSerial(SimServer& sim) {
    return sim.withRoom<SimBankRoom>([](SimBankRoom& r) {
        const auto& records = r.history["110001234"];
        return records.empty() ? int64_t(0) : records.back().serial;
    });
}

// Customer A's orders in the server's books.
std::vector<SimOrder> ordersOfA(SimServer& sim) {
    return sim.withRoom<SimTradeRoom>([](SimTradeRoom& r) { return r.books.customer(kCustomerA)->orders; });
}

// The number of an order of A's in 沪A that is no longer open ("" none).
std::string finishedOrderOfA(SimServer& sim) {
    for (const auto& o : ordersOfA(sim))
        if (!o.isOpen() && !o.ledger && o.secuid == "A100001234") return std::to_string(o.ordersno);
    return "";
}

// Books at `path` holding one order of A's, the server gone.
void placeOneOrder(const std::string& path) {
    SimServer sim(booksOptions(path));
    Customer a(sim, kCustomerA);
    EXPECT_EQ(errorOf(a.buy()), "");
}

// A day of business on the server: orders filled and open, own stocks, a token, a message, a day passing.
void doBusiness(SimServer& sim) {
    Customer a(sim, kCustomerA);
    ASSERT_FALSE(a.tradeInfo.empty());
    ASSERT_EQ(errorOf(a.buy(300)), "");
    const std::string limitUp = textOf(a.trade(4, "bsflag=0S&stkcode=000002"), "maxrisevalue");
    ASSERT_EQ(errorOf(a.trade(6, "bsflag=0S&price=" + limitUp + "&qty=200&stkcode=000002&market=0&secuid=0010001234")),
              "");  // it waits for a buyer at the day's highest price
    ASSERT_EQ(errorOf(a.call("tc_mfuncno=3710&tc_sfuncno=3&code=600519.2")), "");
    ASSERT_EQ(errorOf(a.transferIn()), "");
    ASSERT_EQ(errorOf(a.trade(35, "ofcode=270001&orderamt=1000&chkriskflag=1")), "");
    auto token = a.call("tc_mfuncno=500&tc_sfuncno=69&inputtype=Z&custorgid=0101&inputid=010110005678"
                        "&trdpwd=123456&mobileno=" +
                        std::string(kPhone));
    ASSERT_EQ(textOf(token, "seed").size(), 40u);
    SimMessage m;
    m.title = "收盘提示";
    m.content = "今日收盘";
    ASSERT_GT(sim.pushMessage(m), 0);
    sim.clock().advance(24 * 3600);  // Wednesday: yesterday's buys may be sold
    Customer again(sim, kCustomerA);
    const std::string price = textOf(again.trade(4, "bsflag=0S&stkcode=600000"), "price");
    ASSERT_EQ(errorOf(again.trade(6, "bsflag=0S&price=" + price + "&qty=100&stkcode=600000&market=1&secuid=A100001234")),
              "");
}

// Business beside the main fund account's: a financing buy, collateral moved
// in and owed shares returned from the credit account's own; a buy paid from
// a secondary fund account.
void doBusinessBesideTheMainAccount(SimServer& sim) {
    Customer a(sim, kCustomerA);
    ASSERT_FALSE(a.tradeInfo.empty());
    const std::string price = textOf(a.trade(4, "bsflag=0B&stkcode=600000"), "price");
    ASSERT_EQ(errorOf(a.trade(6, "bsflag=0B&price=" + price +
                                     "&qty=300&stkcode=600000&market=1&secuid=A100001234&creditid=0&creditflag=0")),
              "");
    ASSERT_EQ(errorOf(a.trade(6, "stkcode=000001&market=0&secuid=0010001234&qty=100&creditid=0&creditflag=5")), "");
    ASSERT_EQ(errorOf(a.trade(6, "stkcode=600036&market=1&secuid=A100001234&qty=100&creditid=0&creditflag=4")), "");
    Customer secondary(sim, kCustomerA);
    secondary.fundId = "010120001234";
    ASSERT_EQ(errorOf(secondary.buy()), "");
}

// A trade login of the fund account with the password: its refusal ("" none).
std::string loginRefusal(SimServer& sim, const std::string& fundid, const std::string& password) {
    const std::string session = textOf(sim.handle("tc_mfuncno=100&tc_sfuncno=1&phone=" + std::string(kPhone), {}), "session");
    return errorOf(sim.handle("tc_service=300&TC_ENCRYPT=0&TC_SESSION={" + session +
                                  "}&tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z&custorgid=0101&inputid=" + fundid +
                                  "&trdpwd=" + password + "&authtype=0&authdata=",
                              {}));
}

// The descriptors this process holds open.
size_t openDescriptors() {
    return size_t(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

// The roduvede-sim program beside this test program, started as a child.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args) {
        const std::string program = (fs::read_symlink("/proc/self/exe").parent_path() / "roduvede-sim").string();
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        // Signals as a shell leaves them, whatever this program ignores.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGXFSZ);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        if (posix_spawn(&pid_, program.c_str(), &actions, &attributes, argv.data(), environ) != 0) pid_ = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        // Its first line is the address it serves on (read until it comes: the program is starting).
        std::string line;
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
        ::close(out[0]);
        url_ = line;
    }
    ~SimProcess() { kill(); }
    const std::string& url() const { return url_; }
    int port() const { return url_.empty() ? 0 : std::stoi(url_.substr(url_.rfind(':') + 1)); }
    // From now on no file of its may grow past `bytes` (ulimit -f; RLIM_INFINITY: as far as the hard limit).
    bool limitFileSize(rlim_t bytes) {
        rlimit limit{};
        if (::prlimit(pid_, RLIMIT_FSIZE, nullptr, &limit) != 0) return false;
        limit.rlim_cur = std::min(bytes, limit.rlim_max);
        return ::prlimit(pid_, RLIMIT_FSIZE, &limit, nullptr) == 0;
    }
    // Still running (not ended, by a signal or otherwise).
    bool running() {
        if (pid_ <= 0) return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == 0) return true;
        pid_ = -1;
        return false;
    }
    // SIGKILL: no shutdown of any kind.
    void kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string url_;
};

}  // namespace

TEST(SimBooksOnDiskTest, AJournalLineReadsBackWhateverItHolds) {
    SimJournalEntry e;
    e.seq = 12345678901234;
    e.time = 1709605800.123456789;
    e.phone = "13800138000";
    e.custid = "110001234";
    e.fundid = "010110001234";
    e.secrets = {"00ff", "a,b%c"};
    e.numbers = {38, 0, 18446744073709551615u};
    e.fields = {{"tc_mfuncno", "500"}, {"content", "意见\t多行\n第二行 & a=b, 100%"}, {"empty", ""}, {"k=y", "v&w"}};
    const std::string line = SimJournal::line(e);
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line";
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 8);
    SimJournalEntry back;
    ASSERT_TRUE(SimJournal::read(line, back));
    EXPECT_EQ(back.seq, e.seq);
    EXPECT_EQ(back.time, e.time);
    EXPECT_EQ(back.phone, e.phone);
    EXPECT_EQ(back.custid, e.custid);
    EXPECT_EQ(back.fundid, e.fundid);
    EXPECT_EQ(back.secrets, e.secrets);
    EXPECT_EQ(back.numbers, e.numbers);
    ASSERT_EQ(back.fields.size(), e.fields.size());
    for (size_t i = 0; i < e.fields.size(); ++i) {
        EXPECT_EQ(back.fields[i].key, e.fields[i].key);
        EXPECT_EQ(back.fields[i].value, e.fields[i].value);
    }
    // Any byte changed, or the line cut, does not read back.
    for (size_t at : {size_t(0), size_t(12), line.size() / 2, line.size() - 2}) {
        std::string damaged = line;
        damaged[at] = damaged[at] == 'x' ? 'y' : 'x';
        EXPECT_FALSE(SimJournal::read(damaged, back)) << at;
    }
    EXPECT_FALSE(SimJournal::read(line.substr(0, line.size() / 2), back));
}

TEST(SimBooksOnDiskTest, ASecondServerOnTheBooksHoldsWhatTheFirstDid) {
    TempDir dir;
    const std::string path = dir.file("books");
    SimServer first(booksOptions(path));
    ASSERT_EQ(first.setupError(), "");
    EXPECT_TRUE(first.booksReport().created);
    doBusiness(first);
    doBusinessBesideTheMainAccount(first);
    if (HasFatalFailure()) return;
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    const std::string journal = readFile(path);
    EXPECT_EQ(journal.find(first.sessionIds().front()), std::string::npos) << "no session text on disk";

    // The first is not stopped: what a kill would leave is on disk already.
    SimServer second(booksOptions(path));
    ASSERT_EQ(second.setupError(), "");
    EXPECT_FALSE(second.booksReport().created);
    EXPECT_GT(second.booksReport().entries, 5u);
    EXPECT_EQ(describe(second, kCustomerA), describe(first, kCustomerA));
    EXPECT_EQ(describe(second, "010110005678"), describe(first, "010110005678"));
    EXPECT_EQ(simBooksFingerprint(second), simBooksFingerprint(first))
        << "the credit and secondary accounts' business too";
    EXPECT_EQ(second.ownStocks(kPhone), first.ownStocks(kPhone));
    EXPECT_EQ(second.messages().size(), first.messages().size());
    EXPECT_EQ(second.messages().back().title, "收盘提示");
    EXPECT_GE(second.clock().now(), first.clock().now()) << "the clock goes on from the books' last entry";
    // The same answers to the same questions.
    Customer a1(first, kCustomerA), a2(second, kCustomerA);
    for (int sub : {9, 10, 13, 14, 22}) EXPECT_EQ(a1.trade(sub, "count=20").body, a2.trade(sub, "count=20").body) << sub;
    auto fundOrders = [](SimServer& s) {
        return s.withRoom<SimFundsRoom>([](SimFundsRoom& r) { return r.customer("110001234").orders.size(); });
    };
    EXPECT_EQ(fundOrders(second), fundOrders(first));
    EXPECT_GT(fundOrders(second), 0u);
    // No session was replayed: the first server's is unknown to the second.
    EXPECT_EQ(errorOf(a2.call("tc_mfuncno=500&tc_sfuncno=10&count=5&" + a1.tradeInfo)), "会话已失效，请重新登录");
    EXPECT_EQ(second.withRoom<SimTradeRoom>([](SimTradeRoom& r) { return r.books.sessionCount(); }), 1u);
    // Both go on writing the same file: the next server sees the second's order too.
    ASSERT_EQ(errorOf(a2.buy()), "");
    SimServer third(booksOptions(path));
    EXPECT_EQ(describe(third, kCustomerA), describe(second, kCustomerA));
}

TEST(SimBooksOnDiskTest, TheBooksSurviveAKillBetweenAnAcceptedOrderAndTheNextRequest) {
    TempDir dir;
    const std::string path = dir.file("books");
    SimProcess child({"--port", "0", "--seed", "11", "--clock", "1709605800", "--frozen", "--books", path});
    ASSERT_GT(child.port(), 0) << "roduvede-sim did not start: " << child.url();
    auto http = simClient(child.port());
    auto post = [&](const std::string& body) {
        auto r = http.Post("/vta", "tc_service=300&TC_ENCRYPT=0&" + body, "application/x-www-form-urlencoded");
        SimServer::Reply reply;
        if (r) reply.body = r->body;
        return reply;
    };
    const std::string session = textOf(post("tc_mfuncno=100&tc_sfuncno=1&phone=13800138000"), "session");
    ASSERT_FALSE(session.empty());
    auto login = firstSet(post("TC_SESSION={" + session + "}&tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=Z"
                               "&custorgid=0101&inputid=10001234&trdpwd=123456&authtype=0&authdata="));
    ASSERT_TRUE(login && !login->isError());
    const std::string info = "TC_SESSION={" + session + "}&" + login->toStringAtIndex(0).value_or("") +
                             "&operway=i&fundid=010110001234";
    const std::string price = textOf(post(info + "&tc_mfuncno=500&tc_sfuncno=4&bsflag=0B&stkcode=600000"), "price");
    auto order = post(info + "&tc_mfuncno=500&tc_sfuncno=6&bsflag=0B&price=" + price +
                      "&qty=100&stkcode=600000&market=1&secuid=A100001234&chkriskflag=1");
    const std::string ordersno = textOf(order, "ordersno");
    ASSERT_FALSE(ordersno.empty()) << errorOf(order);
    child.kill();

    SimOptions o = booksOptions(path);
    o.seed = 11;
    SimServer after(o);
    ASSERT_EQ(after.setupError(), "");
    auto orders = ordersOfA(after);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(std::to_string(orders[0].ordersno), ordersno);
    EXPECT_EQ(orders[0].quantity, 100);
    EXPECT_EQ(orders[0].price, std::llround(std::stod(price) * 1000));
}

TEST(SimBooksOnDiskTest, ADamagedJournalIsSetAsideAndTheBooksGoOnFromBeforeTheDamage) {
    TempDir dir;
    const std::string path = dir.file("books");
    std::string afterTwoOrders;
    int64_t lastOrder = 0, lastSerial = 0, lastMessage = 0;  // the highest numbers given
    {
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.buy(100)), "");
        ASSERT_EQ(errorOf(a.buy(200)), "");
        afterTwoOrders = describe(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.buy(300)), "");
        ASSERT_EQ(errorOf(a.transferIn()), "");
        ASSERT_EQ(errorOf(a.buy(100)), "");
        lastOrder = ordersOfA(sim).back().ordersno;
        lastSerial = lastTransferSerial(sim);
        ASSERT_GT(lastSerial, 0);
        lastMessage = sim.pushMessage(SimMessage{});
        ASSERT_GT(lastMessage, 0);
    }
    // A byte changed in the line of the third order: the books go back to two orders.
    std::string journal = readFile(path);
    const size_t third = journal.rfind("qty=300");
    ASSERT_NE(third, std::string::npos);
    journal[third + 4] = '8';
    std::ofstream(path, std::ios::binary | std::ios::trunc) << journal;
    {
        SimServer sim(booksOptions(path));
        ASSERT_EQ(sim.setupError(), "");
        const SimJournalReport& r = sim.booksReport();
        EXPECT_GT(r.damagedLine, 1u);
        EXPECT_EQ(r.recordsLost, 4u);
        EXPECT_FALSE(r.lostAtLeast);
        ASSERT_FALSE(r.setAside.empty());
        EXPECT_EQ(readFile(r.setAside), journal) << "the damaged file is kept as it was";
        EXPECT_EQ(describe(sim, kCustomerA), afterTwoOrders);
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.buy(400)), "");
        ASSERT_EQ(errorOf(a.transferIn()), "");
        // The records after the damage are not booked, but the numbers they gave are not given again.
        EXPECT_GT(ordersOfA(sim).back().ordersno, lastOrder);
        EXPECT_GT(lastTransferSerial(sim), lastSerial);
        EXPECT_GT(sim.pushMessage(SimMessage{}), lastMessage);
        lastOrder = ordersOfA(sim).back().ordersno;
        lastSerial = lastTransferSerial(sim);
    }
    // The new journal reads back whole, with what was made after the damage, and its numbers.
    int64_t beforeLastTwo = 0;  // the last order number its readable lines will name
    {
        SimServer sim(booksOptions(path));
        EXPECT_EQ(sim.booksReport().damagedLine, 0u);
        EXPECT_EQ(ordersOfA(sim).size(), 3u);
        EXPECT_EQ(lastTransferSerial(sim), lastSerial);
        Customer a(sim, kCustomerA);
        beforeLastTwo = lastOrder;
        ASSERT_EQ(errorOf(a.buy(500)), "");
        EXPECT_EQ(ordersOfA(sim).back().ordersno, lastOrder + 1);
        ASSERT_EQ(errorOf(a.buy(800)), "");
        lastOrder = ordersOfA(sim).back().ordersno;
    }
    // Its last two lines damaged: no line after them names what they gave,
    // so the books go on past as much as two records may give, 1,000 of each
    // kind a record.
    journal = readFile(path);
    journal[journal.rfind("qty=500") + 4] = '9';
    journal[journal.rfind("qty=800") + 4] = '9';
    std::ofstream(path, std::ios::binary | std::ios::trunc) << journal;
    {
        SimServer sim(booksOptions(path));
        EXPECT_EQ(sim.booksReport().recordsLost, 2u);
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.buy(600)), "");
        EXPECT_EQ(ordersOfA(sim).back().ordersno, beforeLastTwo + 2 * 1000 + 1);
        lastOrder = ordersOfA(sim).back().ordersno;
    }
    // Its first line damaged: nothing of it is booked, new books from the
    // seed, still past every number its records name.
    journal = readFile(path);
    journal[20] ^= 0x01;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << journal;
    {
        SimServer sim(booksOptions(path));
        EXPECT_TRUE(sim.booksReport().lostUnknown);
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.buy(700)), "");
        EXPECT_EQ(ordersOfA(sim).size(), 1u);
        EXPECT_GT(ordersOfA(sim).back().ordersno, lastOrder);
    }

    // A header that does not read: the whole file set aside, new books from the seed, reported.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "not books\n";
    SimServer fresh(booksOptions(path));
    EXPECT_EQ(fresh.booksReport().damagedLine, 1u);
    EXPECT_TRUE(fresh.booksReport().lostUnknown);
    EXPECT_TRUE(fresh.booksReport().created);
    EXPECT_EQ(readFile(fresh.booksReport().setAside), "not books\n");
}

// A last line cut short may be a damaged disk or a copy cut short as well
// as a death mid-write: its bytes are kept aside and it is told, as damage.
TEST(SimBooksOnDiskTest, ALastLineCutShortIsKeptAsideToldAndTheJournalGoesOn) {
    TempDir dir;
    const std::string path = dir.file("books");
    placeOneOrder(path);
    const std::string whole = readFile(path);
    std::ofstream(path, std::ios::binary | std::ios::app) << "0badc0de 3\t1709605801\trequest\t1380";
    const std::string torn = readFile(path);
    {
        SimServer sim(booksOptions(path));
        ASSERT_EQ(sim.setupError(), "");
        const SimJournalReport& r = sim.booksReport();
        EXPECT_TRUE(r.tornLast);
        EXPECT_GT(r.damagedLine, 1u);
        EXPECT_TRUE(r.lostAtLeast) << "what followed a cut copy cannot be known";
        EXPECT_EQ(r.recordsLost, 1u) << "the cut line, and maybe more";
        ASSERT_FALSE(r.setAside.empty());
        EXPECT_EQ(readFile(r.setAside), torn) << "the torn bytes are kept";
        EXPECT_EQ(readFile(path), whole);
        EXPECT_EQ(ordersOfA(sim).size(), 1u);
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.buy()), "");
    }
    SimServer sim(booksOptions(path));
    EXPECT_FALSE(sim.booksReport().damaged());
    EXPECT_EQ(ordersOfA(sim).size(), 2u);
}

// Lines of four orders' books, and the books after each: what the tests of
// removed, repeated and emptied lines start from.
struct FourOrders {
    explicit FourOrders(const std::string& path) {
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA);
        for (int qty : {100, 200, 300, 400}) {
            EXPECT_EQ(errorOf(a.buy(qty)), "");
            after.push_back(describe(sim, kCustomerA));
        }
        journal = readFile(path);
        std::istringstream in(journal);
        for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
    }
    // The line of the order of `qty`.
    size_t lineOf(int qty) const {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find("qty=" + std::to_string(qty) + "&") != std::string::npos) return i;
        return 0;
    }
    std::string without(size_t at) const {
        std::string out;
        for (size_t i = 0; i < lines.size(); ++i) out += i == at ? "" : lines[i];
        return out;
    }
    std::string journal;
    std::vector<std::string> lines;
    std::vector<std::string> after;
};

TEST(SimBooksOnDiskTest, ALineRemovedWholeIsFoundAndTheTrueCountOfWhatFollowsTold) {
    TempDir dir;
    const std::string path = dir.file("books");
    FourOrders four(path);
    ASSERT_GT(four.lineOf(200), 0u);
    const std::string cut = four.without(four.lineOf(200));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << cut;
    SimServer sim(booksOptions(path));
    ASSERT_EQ(sim.setupError(), "");
    const SimJournalReport& r = sim.booksReport();
    EXPECT_EQ(r.damagedLine, four.lineOf(200) + 1) << "the gap is where the removed line stood";
    EXPECT_EQ(r.recordsLost, four.lines.size() - four.lineOf(200)) << "the removed one and all after it";
    EXPECT_FALSE(r.lostAtLeast);
    EXPECT_EQ(readFile(r.setAside), cut);
    EXPECT_EQ(describe(sim, kCustomerA), four.after[0]) << "nothing after the gap is replayed out of its order";
}

TEST(SimBooksOnDiskTest, ALineWrittenTwiceIsBookedOnceAndTold) {
    TempDir dir;
    const std::string path = dir.file("books");
    std::string books;
    {
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.transferIn()), "");
        ASSERT_EQ(errorOf(a.buy(100)), "");
        books = describe(sim, kCustomerA);  // the transfer once
    }
    std::string journal = readFile(path);
    const size_t transfer = journal.find("tranamt=2500.5");
    ASSERT_NE(transfer, std::string::npos);
    const size_t from = journal.rfind('\n', transfer) + 1, to = journal.find('\n', transfer) + 1;
    journal.insert(to, journal.substr(from, to - from));  // the transfer's line twice, its checksum intact
    std::ofstream(path, std::ios::binary | std::ios::trunc) << journal;
    {
        SimServer sim(booksOptions(path));
        const SimJournalReport& r = sim.booksReport();
        EXPECT_EQ(r.repeatsDropped, 1u);
        EXPECT_EQ(r.damagedLine, 0u);
        EXPECT_EQ(readFile(r.setAside), journal);
        EXPECT_EQ(describe(sim, kCustomerA), books) << "the transfer booked once, the order after it kept";
    }
    {
        SimServer again(booksOptions(path));
        EXPECT_FALSE(again.booksReport().damaged()) << "the journal goes on without the repeat";
        EXPECT_EQ(describe(again, kCustomerA), books);
    }

    // The transfer's number on the order's content, with a checksum of its
    // own: not the transfer written twice but a record that is not what its
    // number was, damage told at its line.
    std::vector<std::string> lines;
    {
        std::istringstream in(readFile(path));
        for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
    }
    size_t transferLine = 0, orderLine = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("tranamt=2500.5") != std::string::npos) transferLine = i;
        if (lines[i].find("qty=100&") != std::string::npos) orderLine = i;
    }
    ASSERT_GT(orderLine, transferLine);
    const std::string order = lines[orderLine].substr(9, lines[orderLine].size() - 10);
    const std::string payload =
        lines[transferLine].substr(9, lines[transferLine].find('\t') - 9) + order.substr(order.find('\t'));
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32Of(reinterpret_cast<const uint8_t*>(payload.data()), payload.size()));
    lines.insert(lines.begin() + long(orderLine) + 1, std::string(crc) + " " + payload + "\n");
    journal.clear();
    for (const auto& line : lines) journal += line;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << journal;
    SimServer sim(booksOptions(path));
    const SimJournalReport& r = sim.booksReport();
    EXPECT_EQ(r.repeatsDropped, 0u);
    EXPECT_EQ(r.damagedLine, orderLine + 2);
    EXPECT_EQ(describe(sim, kCustomerA), books) << "what came before it, once";
}

TEST(SimBooksOnDiskTest, AnEmptiedJournalIsToldAsOneWhoseCountCannotBeKnown) {
    TempDir dir;
    const std::string path = dir.file("books");
    FourOrders four(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc);
    SimServer sim(booksOptions(path));
    ASSERT_EQ(sim.setupError(), "");
    const SimJournalReport& r = sim.booksReport();
    EXPECT_TRUE(r.lostUnknown) << "an empty file says nothing of the four orders it held";
    EXPECT_EQ(r.damagedLine, 1u);
    EXPECT_TRUE(fs::exists(r.setAside));
    EXPECT_TRUE(ordersOfA(sim).empty());
}

// A query is not written; the settling and matching it does is, as an advance
// of the customer's books to its time, which a replay does again.
TEST(SimBooksOnDiskTest, OnlyWhatChangesTheBooksIsWritten) {
    TempDir dir;
    const std::string path = dir.file("books");
    SimOptions o = booksOptions(path);
    o.clock = kTuesdayMorning - 70 * 60;  // 9:20, before the market opens: an order waits
    std::string books;
    {
        SimServer sim(o);
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.trade(10, "count=20")), "") << "the first query of the day settles the books";
        // A refusal is the warrants' first request: the room it made is written, its 200 KB field is not.
        EXPECT_EQ(errorOf(a.call("tc_mfuncno=100&tc_sfuncno=29&" + a.tradeInfo + "&fundid=" + a.fundId +
                                 "&market=1&secuid=A100001234&qty=100&stkcode=" + std::string(200000, '1'))),
                  "行权代码不存在");
        const auto settled = fs::file_size(path);
        EXPECT_NE(readFile(path).find("room=warrants"), std::string::npos);
        EXPECT_LT(settled, 10000u);
        for (int sub : {9, 10, 13, 14, 15}) ASSERT_EQ(errorOf(a.trade(sub, "count=20")), "");
        EXPECT_EQ(fs::file_size(path), settled) << "queries that change nothing are not written";
        EXPECT_NE(errorOf(a.buy(100, "99.99")), "");
        EXPECT_NE(errorOf(a.buy(100000000)), "");
        EXPECT_EQ(fs::file_size(path), settled) << "nor are orders refused";
        const std::string limitUp = textOf(a.trade(4, "bsflag=0B&stkcode=600000"), "maxrisevalue");
        ASSERT_EQ(errorOf(a.buy(100, limitUp)), "");
        ASSERT_EQ(ordersOfA(sim).front().matched, 0);
        const auto ordered = fs::file_size(path);
        sim.clock().setTime(kTuesdayMorning - 55 * 60);
        ASSERT_EQ(errorOf(a.trade(10, "count=20")), "");  // the query fills the order
        ASSERT_EQ(ordersOfA(sim).front().matched, 100);
        const std::string journal = readFile(path);
        EXPECT_NE(journal.find("\tadvance\t"), std::string::npos);
        EXPECT_EQ(std::count(journal.begin() + ordered, journal.end(), '\n'), 1) << "one advance, not the query";
        EXPECT_EQ(journal.find("tc_sfuncno=10&", ordered), std::string::npos);
        books = simBooksFingerprint(sim);
    }
    SimServer sim(o);
    EXPECT_EQ(simBooksFingerprint(sim), books);
}

// A wrong password refuses a login and counts toward the lock-out: the
// count is written, as the count alone (not the request, nor the phone of
// its session, whatever their size), and a restart goes on counting from it.
TEST(SimBooksOnDiskTest, AWrongPasswordIsWrittenAsItsCountAlone) {
    TempDir dir;
    const std::string path = dir.file("books");
    {
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA, std::string(200000, '1'));
        ASSERT_FALSE(a.tradeInfo.empty());
        const auto size = fs::file_size(path);
        const std::string asB = "&inputtype=Z&custorgid=0101&inputid=010110005678&trdpwd=000000&authtype=0&authdata=";
        EXPECT_EQ(errorOf(a.call("tc_mfuncno=500&tc_sfuncno=1" + asB)), withTriesLeft("交易密码错误", 4));
        EXPECT_EQ(textOf(a.call("tc_mfuncno=3750&tc_sfuncno=2" + asB), "message"), withTriesLeft("交易密码错误", 3));
        EXPECT_LT(fs::file_size(path), size + 1000) << "two counts, without the session's phone";
        std::istringstream written(readFile(path).substr(size));
        std::vector<SimJournalEntry> records;
        for (std::string line; std::getline(written, line);)
            ASSERT_TRUE(SimJournal::read(line, records.emplace_back())) << line;
        ASSERT_EQ(records.size(), 2u);
        for (const SimJournalEntry& e : records) {
            EXPECT_EQ(e.kind, SimJournalEntry::Kind::Failure);
            EXPECT_EQ(e.custid, "110005678");
            EXPECT_EQ(e.phone + e.fundid, "");
            EXPECT_TRUE(e.fields.empty() && e.secrets.empty()) << "nothing of the request";
        }
    }
    SimServer sim(booksOptions(path));
    EXPECT_EQ(loginRefusal(sim, "010110005678", "000000"), withTriesLeft("交易密码错误", 2));
}

// What financing bought one day may be sold the next: the credit account's
// day settles it, written as the day's advance, so that a credit request
// refused on that day writes no more than that.
TEST(SimBooksOnDiskTest, ACreditRefusalWritesNoMoreThanTheDaysSettling) {
    TempDir dir;
    const std::string path = dir.file("books");
    std::string books;
    auto sellable = [](SimServer& sim) {
        return sim.withRoom<SimTradeRoom>(
            [](SimTradeRoom& r) { return r.books.customer(kCustomerA)->credit->position("600000")->available; });
    };
    {
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA);
        const std::string limitUp = textOf(a.trade(4, "bsflag=0B&stkcode=600000"), "maxrisevalue");
        ASSERT_EQ(errorOf(a.trade(6, "creditid=0&creditflag=0&bsflag=0B&price=" + limitUp +
                                         "&qty=100&stkcode=600000&market=1&secuid=A100001234")),
                  "");
        ASSERT_EQ(sellable(sim), 0) << "bought today: sellable tomorrow";
        sim.clock().advance(24 * 3600);
        Customer again(sim, kCustomerA);
        const auto size = fs::file_size(path);
        EXPECT_EQ(errorOf(again.trade(6, "creditid=0&creditflag=7&bsflag=0S&price=10&qty=100&market=1"
                                         "&secuid=A100001234&stkcode=" +
                                         std::string(200000, '1'))),
                  "证券代码不存在");
        EXPECT_EQ(sellable(sim), 100);
        EXPECT_LT(fs::file_size(path), size + 1000) << "the day's settling, not the request";
        books = simBooksFingerprint(sim);
    }
    SimServer sim(booksOptions(path));
    EXPECT_EQ(simBooksFingerprint(sim), books);
}

// What an answer says: its error, or the values of its first record.
std::string answerText(const SimServer::Reply& r) {
    auto set = firstSet(r);
    if (!set) return "";
    if (set->isError()) return set->getError();
    std::string text;
    if (set->rowsAffected() > 0) {
        set->moveToIndex(0);
        for (int f = 0; f < set->fieldCount(); ++f) text += set->toStringAtIndex(f).value_or("") + "\t";
    }
    return text;
}

// A refused request of each function that changes the books, under a trade
// login, with a field it reads ("@") grown to 200 KB, and what refuses it.
struct OversizedRefusal {
    const char* fields;
    const char* refusal;
    char filler = '1';  // what "@" grows of
};
const OversizedRefusal kOversizedRefusals[] = {
    {"tc_mfuncno=500&tc_sfuncno=6&creditid=0&creditflag=0&bsflag=0B&price=10&qty=100&market=1&secuid=A100001234"
     "&stkcode=@",
     "证券代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=6&creditid=0&creditflag=5&qty=100&market=1&secuid=A100001234&stkcode=@",
     "证券代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=6&bsflag=0G&price=7&qty=10&market=1&secuid=A100001234&stkcode=@", "证券代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=7&market=1&secuid=A100001234&ordersno=@", "委托不存在"},
    // "#": an order of A's that exists but is finished (the fund account named is none of A's: the login's is taken).
    {"tc_mfuncno=500&tc_sfuncno=7&market=2&secuid=A100001234&ordersno=#&fundid=@", "该委托不能撤单"},
    {"tc_mfuncno=500&tc_sfuncno=12&newpwd=654321&oldpwd=@", "原交易密码错误"},
    {"tc_mfuncno=500&tc_sfuncno=21&banktrantype=1&moneytype=0&tranamt=100&bankpwd=888888&bankcode=@",
     "该资金帐号未绑定此银行帐户"},
    {"tc_mfuncno=500&tc_sfuncno=67&moneytype=0&bankpwd=888888&bankcode=@", "该资金帐号未绑定此银行帐户"},
    {"tc_mfuncno=500&tc_sfuncno=84&infundid=010120001234&moneytype=0&amount=100&outfundid=@", "资金帐号不存在"},
    {"tc_mfuncno=500&tc_sfuncno=84&outfundid=0&infundid=@", "归集须转入主资金帐号"},
    {"tc_mfuncno=500&tc_sfuncno=34&orderamt=1000&ofcode=@", "基金代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=35&ofcode=900002&orderamt=@", "委托金额错误"},
    {"tc_mfuncno=500&tc_sfuncno=36&orderqty=100&redeemtype=0&ofcode=@", "基金代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=37&sno=@", "该委托不能撤单"},
    {"tc_mfuncno=500&tc_sfuncno=38&otherofcode=270004&orderqty=100&redeemtype=0&ofcode=@", "基金代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=39&dividmethod=1&ofcode=@", "您没有持有该基金"},
    {"tc_mfuncno=500&tc_sfuncno=44&tacode=@", "基金公司代码错误"},
    {"tc_mfuncno=500&tc_sfuncno=56&market=1&secuid=A100001234&orderqty=1000&stkcode=@", "证券代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=58&market=1&secuid=A100001234&stkcode=205002&orderqty=5000&matchcode=@",
     "成交编号不存在"},
    {"tc_mfuncno=500&tc_sfuncno=76&payoffasset=@", "还款金额有误"},
    {"tc_mfuncno=500&tc_sfuncno=82&market=1&secuid=A100001234&stkcode=600000&costprice=@", "成本价格错误"},
    {"tc_mfuncno=500&tc_sfuncno=87&repayflag=@", "自动还款设置参数错误"},
    {"tc_mfuncno=500&tc_sfuncno=1801&tacode=01&orderamt=500&ofcode=@", "基金代码不存在"},
    {"tc_mfuncno=500&tc_sfuncno=1802&tacode=01&orderamt=500&ofcode=@", "未找到该定投计划"},
    {"tc_mfuncno=100&tc_sfuncno=20&markets=0&secuids=0010001234&fundids=010110001234&qty=500&codes=@",
     "非申购日不能申购"},
    {"tc_mfuncno=100&tc_sfuncno=29&market=1&secuid=A100001234&qty=100&stkcode=@", "行权代码不存在"},
    // A valid value grown by leading zeros is no value: an id's market, an amount, a number.
    {"tc_mfuncno=3710&tc_sfuncno=3&code=600000.@2", "股票代码不存在", '0'},
    {"tc_mfuncno=500&tc_sfuncno=21&banktrantype=1&moneytype=0&bankcode=1001&bankpwd=888888&tranamt=@100",
     "转帐金额不正确", '0'},
    {"tc_mfuncno=500&tc_sfuncno=21&moneytype=0&bankcode=1001&bankpwd=888888&tranamt=100&banktrantype=@1",
     "转帐类型不正确", '0'},
    // An address longer than the form takes (张明's data as the opening sends it).
    {"tc_mfuncno=500&tc_sfuncno=44&tacode=03&taacc=CJ0001234&name=205f0e66&fullname=205f0e66&idtype=0"
     "&idno=110101198001011234&sex=1&postid=100020&telno=13800138000&addr=@",
     "通信地址不能超过100个字"},
};

// A request carried out though a field it reads ("@", each) is grown to 200
// KB, what it answers, and less than what the books on disk may grow by:
// what they keep of it (an id as the market writes it, a feedback text's
// first 4 KiB, the ids of the messages a confirmation confirmed: "#" one
// waiting, the fund account and the lines a request carried out, a type or
// flag as its function takes it), not the field as it came.
struct OversizedTaken {
    const char* fields;
    const char* answer;
    size_t written;
    char filler = '1';
};
const OversizedTaken kOversizedTaken[] = {
    {"tc_mfuncno=3710&tc_sfuncno=5&code=600036|600000.@2", "保存成功\t600036.2\t", 1000, '0'},
    {"tc_mfuncno=3710&tc_sfuncno=1&code=000002.1|@", "上传成功\t600036.2|000002.1\t", 1000},
    {"tc_mfuncno=100&tc_sfuncno=17&content=@", "感谢您的反馈", 4096 + 1000},
    {"tc_mfuncno=3780&tc_sfuncno=3&detailmsg_id=@|#", "1\t1\t", 1000},
    // Fund accounts named before the one that counts, or none of the customer's (the login's is taken).
    {"tc_mfuncno=500&tc_sfuncno=21&banktrantype=1&bankcode=1001&bankpwd=888888&moneytype=0&tranamt=1&fundid=@"
     "&fundid=010110001234",
     "1\t转帐已受理\t", 1000},
    {"tc_mfuncno=500&tc_sfuncno=6&bsflag=03&qty=1000&stkcode=510999&market=1&secuid=A100001234&fundid=@",
     "\t", 1000},  // a record: the order's number
    // The credit flag under a key that holds a menu link's command before it.
    {"tc_mfuncno=500&tc_sfuncno=6&creditid=0&qty=100&stkcode=600000&market=1&secuid=A100001234&@?creditflag=5",
     "\t", 1000},
    // A new issue's lines: one carried out each day (its fund account, which is not read, padded), one refused.
    {"tc_mfuncno=100&tc_sfuncno=20&fundids=@,010110001234,010110001234&markets=0,0,0"
     "&secuids=0010001234,0010001234,0010001234&qty=500,500,500&codes=002888,002887,@",
     "(002888) 申购", 1000},
    {"tc_mfuncno=3750&tc_sfuncno=2&inputtype=Z&custorgid=0101&inputid=010110001234&trdpwd=123456&authdata="
     "&isimportccg=0&authtype=@",
     "1\t资金帐号已关联到本手机\t", 1000},
    {"tc_mfuncno=3750&tc_sfuncno=2&inputtype=Z&custorgid=0101&inputid=010110001234&trdpwd=123456&authtype=0"
     "&authdata=&isimportccg=@",
     "1\t资金帐号已关联到本手机\t", 1000},
    // Last: a registration moves the session to the phone it registers.
    {"tc_mfuncno=100&tc_sfuncno=3&phone=13900139001&type=@", "短信已发送，请等待注册完成", 1000},
};

// The detail id of a message pushed now, waiting for its confirmation.
std::string waitingMessage(SimServer& sim) {
    SimMessage m;
    m.title = "盘中提示";
    m.content = "请查看";
    EXPECT_GT(sim.pushMessage(m), 0);
    return std::to_string(sim.messages().back().detailId);
}

// Every function the server answers, asked with nothing but its number,
// with a service session only and under a trade login, on two days of
// business, and each that changes the books refused with an oversized
// field: what changed the books (their fingerprint) is written and a
// restart holds it; what changed nothing, a refusal among it, is not written.
TEST(SimBooksOnDiskTest, EveryFunctionWritesWhatChangedTheBooksAndNothingElse) {
    TempDir dir;
    const std::string path = dir.file("books");
    std::string books;
    {
        SimServer sim(booksOptions(path));
        doBusiness(sim);  // orders, a fund subscription, a token ...: what the next day settles
        // The first pass of each day makes the rooms (seeded as of their first request: a change) and settles the day.
        for (int pass = 0; pass < 4; ++pass) {
            if (pass == 2) sim.clock().advance(24 * 3600 - 30 * 60);  // the next morning
            Customer a(sim, kCustomerA);
            ASSERT_FALSE(a.tradeInfo.empty());
            for (FunctionId f : sim.registry().functions())
                for (bool trade : {false, true}) {
                    const std::string fields =
                        "tc_mfuncno=" + std::to_string(f.main) +
                        "&tc_sfuncno=" + std::to_string(f.sub == SimRegistry::kAnySub ? 9999 : f.sub) +
                        (trade ? "&" + a.tradeInfo + "&fundid=" + a.fundId : std::string());
                    const std::string before = simBooksFingerprint(sim);
                    const auto size = fs::file_size(path);
                    const std::string refusal = errorOf(a.call(fields));
                    const bool changed = simBooksFingerprint(sim) != before, written = fs::file_size(path) != size;
                    if (changed) {
                        EXPECT_TRUE(written) << fields << ": the change is not written";
                    } else if (pass % 2 == 1) {
                        EXPECT_FALSE(written) << fields << " (" << refusal << "): written, though it changed nothing";
                    }
                }
            for (const auto& row : kOversizedRefusals) {
                std::string fields = row.fields;
                fields.replace(fields.find('@'), 1, std::string(200000, row.filler));
                if (const size_t at = fields.find('#'); at != std::string::npos)
                    fields.replace(at, 1, finishedOrderOfA(sim));
                const std::string before = simBooksFingerprint(sim);
                const auto size = fs::file_size(path);
                const std::string answer = answerText(a.call(a.tradeInfo + "&fundid=" + a.fundId + "&" + fields));
                EXPECT_NE(answer.find(row.refusal), std::string::npos) << row.fields << ": " << answer.substr(0, 200);
                // A room it made is written (as the room), its fields never.
                EXPECT_LT(fs::file_size(path) - size, 1000u) << row.fields << ": a refusal written";
                if (pass % 2 == 0) continue;
                EXPECT_EQ(simBooksFingerprint(sim), before) << row.fields;
                EXPECT_EQ(fs::file_size(path), size) << row.fields << ": a refusal written";
            }
            for (const auto& row : kOversizedTaken) {
                std::string fields = row.fields;
                for (size_t at; (at = fields.find('@')) != std::string::npos;)
                    fields.replace(at, 1, std::string(200000, row.filler));
                if (const size_t at = fields.find('#'); at != std::string::npos)
                    fields.replace(at, 1, waitingMessage(sim));
                const auto size = fs::file_size(path);
                const std::string answer = answerText(a.call(a.tradeInfo + "&fundid=" + a.fundId + "&" + fields));
                EXPECT_NE(answer.find(row.answer), std::string::npos) << row.fields << ": " << answer.substr(0, 200);
                EXPECT_LT(fs::file_size(path) - size, row.written) << row.fields << ": more written than kept";
            }
        }
        books = simBooksFingerprint(sim);
    }
    SimServer sim(booksOptions(path));
    EXPECT_EQ(simBooksFingerprint(sim), books) << "what the walk changed survives a restart";
}

// A record keeps the fields its function reads, not what else came with them.
TEST(SimBooksOnDiskTest, ARecordKeepsOnlyTheFieldsItsFunctionReads) {
    TempDir dir;
    const std::string path = dir.file("books");
    const std::string pad = "&pad=" + std::string(100000, 'x');
    {
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.trade(10, "count=20")), "");
        auto size = fs::file_size(path);
        ASSERT_EQ(errorOf(a.trade(10, "count=20" + pad)), "");
        EXPECT_EQ(fs::file_size(path), size) << "a query is not written";
        ASSERT_EQ(errorOf(a.call("tc_mfuncno=3710&tc_sfuncno=3&code=600519.2" + pad)), "");
        EXPECT_GT(fs::file_size(path), size);
        EXPECT_LT(fs::file_size(path), size + 1000) << "the own stock is written, not the padding";
        size = fs::file_size(path);
        ASSERT_EQ(errorOf(a.buy(100)), "");
        ASSERT_EQ(errorOf(a.trade(6, "bsflag=0B&price=" + textOf(a.trade(4, "bsflag=0B&stkcode=600000"), "price") +
                                         "&qty=100&stkcode=600000&market=1&secuid=A100001234&chkriskflag=1" + pad)),
                  "");
        EXPECT_LT(fs::file_size(path), size + 2000) << "two orders, without the padding";
    }
    SimServer sim(booksOptions(path));
    Customer a(sim, kCustomerA);
    EXPECT_EQ(ordersOfA(sim).size(), 2u);
    EXPECT_NE(textOf(a.call("tc_mfuncno=3710&tc_sfuncno=2"), "code").find("600519"), std::string::npos);
}

// A journal larger than 2 GiB is read as any other (the reading road knows
// no size limit): here one whose middle is a hole of zeros, damage that the
// books go on from before, with the true count after it.
TEST(SimBooksOnDiskTest, AJournalOverTwoGibibytesIsRead) {
    TempDir dir;
    const std::string path = dir.file("books");
    FourOrders four(path);
    const size_t hole = four.lineOf(300);
    std::string head, tail;
    for (size_t i = 0; i < four.lines.size(); ++i) (i < hole ? head : tail) += four.lines[i];
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << head;
    }
    const uint64_t gap = (uint64_t(1) << 31) + 4096;
    ASSERT_EQ(::truncate(path.c_str(), off_t(head.size() + gap)), 0);
    std::ofstream(path, std::ios::binary | std::ios::app) << "\n" << tail;
    SimServer sim(booksOptions(path));
    ASSERT_EQ(sim.setupError(), "");
    const SimJournalReport& r = sim.booksReport();
    EXPECT_EQ(r.damagedLine, hole + 1);
    EXPECT_EQ(r.recordsLost, four.lines.size() - hole);
    EXPECT_EQ(describe(sim, kCustomerA), four.after[1]);
    EXPECT_EQ(readFile(path).rfind(head, 0), 0u) << "the records before the hole, then the numbers after it";
    ::unlink(r.setAside.c_str());
}

// No secret in clear on disk: passwords and codes reach the journal as the
// books' digests, token seeds enciphered under the books' key, which lives
// in a file of its own beside it; a restart still takes the new password and
// the token's codes, and refuses the old password.
TEST(SimBooksOnDiskTest, TheJournalHoldsNoSecretInClearAndARestartStillTakesThem) {
    TempDir dir;
    const std::string path = dir.file("books");
    std::string seed;
    {
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA);
        ASSERT_EQ(errorOf(a.transferIn()), "");
        ASSERT_EQ(errorOf(a.buy(100)), "");
        ASSERT_EQ(errorOf(a.trade(12, "oldpwd=123456&newpwd=654321")), "");
        Customer again(sim, kCustomerA, kPhone, "654321");  // the change ended the session it was made in
        EXPECT_EQ(errorOf(again.trade(12, "oldpwd=654321&newpwd=12ab")), "新密码必须为6位数字");
        seed = textOf(a.call("tc_mfuncno=500&tc_sfuncno=69&inputtype=Z&custorgid=0101&inputid=010110005678"
                             "&trdpwd=123456&mobileno=" +
                             std::string(kPhone)),
                      "seed");
        ASSERT_EQ(seed.size(), 40u);
    }
    const std::string journal = readFile(path);
    for (const std::string& secret : {std::string("123456"), std::string("654321"), std::string("888888"), seed})
        EXPECT_EQ(journal.find(secret), std::string::npos) << secret << " in clear in the journal";
    EXPECT_EQ(fs::file_size(path + ".key"), 32u);
    EXPECT_EQ(fs::status(path + ".key").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    SimServer sim(booksOptions(path));
    ASSERT_EQ(sim.setupError(), "");
    EXPECT_FALSE(sim.booksReport().damaged());
    EXPECT_TRUE(Customer(sim, kCustomerA).tradeInfo.empty()) << "the old password is refused";
    EXPECT_FALSE(Customer(sim, kCustomerA, kPhone, "654321").tradeInfo.empty()) << "the new one is taken";
    EXPECT_TRUE(Customer(sim, kCustomerA, kPhone, "12ab").tradeInfo.empty()) << "a new password refused stays refused";
    const std::string code = VTACoder::createSjKlWithSeed(seed, 1);
    EXPECT_FALSE(Customer(sim, "010110005678", kPhone, "123456", "authtype=5&authdata=" + code).tradeInfo.empty())
        << "the token's codes are those of its seed";

    // Without its key the journal cannot be read soundly: set aside, told, new books.
    fs::remove(path + ".key");
    SimServer keyless(booksOptions(path));
    ASSERT_EQ(keyless.setupError(), "");
    EXPECT_TRUE(keyless.booksReport().keyLost);
    EXPECT_TRUE(fs::exists(keyless.booksReport().setAside));
    EXPECT_FALSE(Customer(keyless, kCustomerA).tradeInfo.empty()) << "new books, from the seed";
}

TEST(SimBooksOnDiskTest, BooksOfAnotherSeedAreRefusedAndFreshBooksStartFromTheSeed) {
    TempDir dir;
    const std::string path = dir.file("books");
    placeOneOrder(path);
    SimOptions other = booksOptions(path);
    other.seed = 12;
    SimServer refused(other);
    EXPECT_NE(refused.setupError().find("seed 11"), std::string::npos) << refused.setupError();
    EXPECT_NE(refused.setupError().find("--fresh-books"), std::string::npos);
    EXPECT_FALSE(refused.start());
    const std::string kept = readFile(path);

    SimServer fresh(booksOptions(path, true));
    ASSERT_EQ(fresh.setupError(), "");
    EXPECT_TRUE(fresh.booksReport().created);
    EXPECT_EQ(readFile(fresh.booksReport().setAside), kept) << "the earlier books are kept aside";
    EXPECT_TRUE(ordersOfA(fresh).empty());
}

// A full disk, as this process meets it: no file may grow past `bytes` while
// it lasts (a write that would fails, the signal ignored as the programs do).
class DiskFull {
public:
    explicit DiskFull(uint64_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &before_);
        rlimit full = before_;
        full.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &full);
    }
    ~DiskFull() { ::setrlimit(RLIMIT_FSIZE, &before_); }

private:
    rlimit before_{};
};

// How many files beside the books at `path` have `part` in their names.
size_t filesBeside(const std::string& path, const std::string& part) {
    size_t n = 0;
    for (const auto& f : fs::directory_iterator(fs::path(path).parent_path()))
        n += f.path().filename().string().find(part) != std::string::npos;
    return n;
}

// A change that cannot be written (a full disk) is refused and not booked,
// whether the write left nothing of it in the journal or a part, which is
// cut back. Every request is refused while the disk takes nothing, as the
// books in memory are ahead of the disk's; the first once it takes a record
// again is served from the books the disk holds, under the same trade login,
// and a restart holds what the customer was told: the order served, not the
// one refused, and no number given twice.
TEST(SimBooksOnDiskTest, AChangeThatCannotBeWrittenIsRefusedAndTheNextIsServedOnceThereIsRoom) {
    for (const uint64_t room : {0, 20}) {  // bytes the disk has left: none, or a part of the order's record
        SCOPED_TRACE(room);
        TempDir dir;
        const std::string path = dir.file("books");
        SimServer sim(booksOptions(path));
        Customer a(sim, kCustomerA);
        ASSERT_FALSE(a.tradeInfo.empty());
        const std::string price = textOf(a.trade(4, "bsflag=0B&stkcode=600000"), "price");
        const std::string first = textOf(a.buy(100, price), "ordersno");
        ASSERT_FALSE(first.empty());
        std::string refused, meanwhile, unbooked;
        {
            DiskFull full(fs::file_size(path) + room);
            refused = errorOf(a.buy(200, price));
            const SimOrder inMemory = ordersOfA(sim).back();  // never told: the customer was refused
            EXPECT_EQ(inMemory.quantity, 200);
            unbooked = std::to_string(inMemory.ordersno);
            meanwhile = errorOf(a.trade(10, "count=5"));
        }
        EXPECT_EQ(refused, kSimBooksUnwritable) << "the customer learns it failed";
        EXPECT_EQ(meanwhile, kSimBooksUnwritable) << "nothing answered from books ahead of the disk's";
        const std::string second = textOf(a.buy(300, price), "ordersno");
        ASSERT_FALSE(second.empty()) << "served once there is room, under the same trade login";
        auto orders = ordersOfA(sim);
        ASSERT_EQ(orders.size(), 2u) << "the refused order is not booked";
        EXPECT_EQ(orders.back().quantity, 300);
        const std::string books = simBooksFingerprint(sim);
        SimServer restarted(booksOptions(path));
        EXPECT_FALSE(restarted.booksReport().damaged());
        EXPECT_EQ(filesBeside(path, ".damaged-"), 0u) << "the journal was cut back, never found damaged";
        EXPECT_EQ(simBooksFingerprint(restarted), books) << "the books in memory are the disk's";
        Customer again(restarted, kCustomerA);
        const std::string third = textOf(again.buy(100, price), "ordersno");
        orders = ordersOfA(restarted);
        ASSERT_EQ(orders.size(), 3u);
        EXPECT_EQ(orders[1].quantity, 300);
        const std::set<std::string> numbers{first, second, third, unbooked};
        EXPECT_EQ(numbers.size(), 4u) << "no order number given twice";
    }
}

// Damaged books met on a full disk: the journal cannot be rewritten without
// its damage, and the copy kept of it goes too, so that the start that
// finds room keeps one copy, not one for every start that found none.
TEST(SimBooksOnDiskTest, DamagedBooksThatCannotBeSetAsideLeaveNoCopyBehind) {
    TempDir dir;
    const std::string path = dir.file("books");
    placeOneOrder(path);
    std::ofstream(path, std::ios::binary | std::ios::app) << "0badc0de 3\t1709605801\trequest\t1380";
    for (int start = 0; start < 2; ++start) {
        DiskFull full(1);
        SimServer sim(booksOptions(path));
        EXPECT_NE(sim.setupError().find("cannot be set aside"), std::string::npos) << sim.setupError();
        EXPECT_EQ(filesBeside(path, ".damaged-"), 0u) << "start " << start;
    }
    SimServer sim(booksOptions(path));
    ASSERT_EQ(sim.setupError(), "");
    EXPECT_TRUE(sim.booksReport().tornLast);
    EXPECT_EQ(filesBeside(path, ".damaged-"), 1u);
    EXPECT_EQ(ordersOfA(sim).size(), 1u);
}

// roduvede-sim under a file-size limit (ulimit -f), started with the signal
// such a write raises left as a shell leaves it: the write fails, and the
// order is refused as on a full disk, the server still serving, and serving
// orders again once the limit is lifted.
TEST(SimBooksOnDiskTest, AFileSizeLimitIsAFullDiskToTheProgramsNotTheirEnd) {
    TempDir dir;
    const std::string path = dir.file("books");
    placeOneOrder(path);
    SimProcess child({"--port", "0", "--seed", "11", "--clock", "1709605800", "--frozen", "--books", path});
    ASSERT_GT(child.port(), 0) << "roduvede-sim did not start: " << child.url();
    Customer a(overHttp(child.port()), kCustomerA);
    ASSERT_FALSE(a.tradeInfo.empty());
    const std::string price = textOf(a.trade(4, "bsflag=0B&stkcode=600000"), "price");
    ASSERT_TRUE(child.limitFileSize(fs::file_size(path)));
    EXPECT_EQ(errorOf(a.buy(100, price)), kSimBooksUnwritable);
    EXPECT_TRUE(child.running()) << "ended by the limit";
    ASSERT_TRUE(child.limitFileSize(RLIM_INFINITY));
    EXPECT_EQ(errorOf(a.buy(200, price)), "") << "served again once the limit is lifted, without a restart";
    child.kill();
    SimServer restarted(booksOptions(path));
    const auto orders = ordersOfA(restarted);
    ASSERT_EQ(orders.size(), 2u);
    EXPECT_EQ(orders.back().quantity, 200);
}

// A server in a process of its own under a small open-file limit, which idle
// connections would fill: it keeps its connections below what the limit
// leaves (those beyond are refused), so that its books are compacted and
// written while it holds them, and once they close every request is served
// again.
TEST(SimBooksOnDiskTest, ConnectionsHeldAtTheFileLimitLeaveTheBooksWritable) {
    // A request written to a connection the server refused at its cap (it
    // answers 503 and closes, before it has seen the idle ones go) fails as
    // a write to a closed socket does, rather than ending this program.
    struct IgnoredPipe {
        void (*before)(int) = std::signal(SIGPIPE, SIG_IGN);
        ~IgnoredPipe() { std::signal(SIGPIPE, before); }
    } ignoredPipe;
    TempDir dir;
    const std::string path = dir.file("books");
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {  // the server, until the test closes its end of `done`
        ::close(ready[0]);
        ::close(done[1]);
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = openDescriptors() + 64;
        ::setrlimit(RLIMIT_NOFILE, &files);
        SimOptions o = booksOptions(path);
        o.booksCompactBytes = 2000;
        o.keepAliveSeconds = int(kHangSeconds);  // the connections stay as long as the test holds them
        o.readTimeout = kHangSeconds;
        {
            SimServer sim(o);
            const int port = sim.start() ? sim.port() : 0;
            char c;
            if (::write(ready[1], &port, sizeof port) == sizeof port) (void)!::read(done[0], &c, 1);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(done[0]);
    struct Child {
        pid_t pid;
        int done;
        int status = -1;
        // Stops the server and answers how it ended.
        int stop() {
            if (done >= 0) ::close(done);
            done = -1;
            if (pid > 0) ::waitpid(pid, &status, 0);
            pid = -1;
            return status;
        }
        ~Child() { stop(); }
    } child{pid, done[1]};
    int port = 0;
    const bool started = ::read(ready[0], &port, sizeof port) == sizeof port && port > 0;
    ::close(ready[0]);
    ASSERT_TRUE(started);

    int orders = 0;
    {
        Customer a(overHttp(port), kCustomerA);  // its connection first
        ASSERT_FALSE(a.tradeInfo.empty());
        struct Sockets : std::vector<int> {
            ~Sockets() {
                for (int fd : *this) ::close(fd);
            }
        } idle;
        for (int i = 0; i < 200; ++i) {
            idle.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
            sockaddr_in at{};
            at.sin_family = AF_INET;
            at.sin_port = htons(uint16_t(port));
            at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ASSERT_EQ(::connect(idle.back(), reinterpret_cast<sockaddr*>(&at), sizeof at), 0) << i;
        }
        // The server at its connections: those past them are refused (not left unaccepted).
        std::vector<bool> refused(idle.size());
        EXPECT_TRUE(pollUntil([&] {
            for (size_t i = 0; i < idle.size(); ++i) {
                char reply[256];  // a connection that sent nothing is answered only when refused (503)
                refused[i] = refused[i] || ::recv(idle[i], reply, sizeof reply, MSG_DONTWAIT) >= 0;
            }
            return std::count(refused.begin(), refused.end(), true) > 0;
        })) << "the server took connections until no descriptor was left";
        for (int i = 0; i < 12; ++i) {
            ASSERT_EQ(errorOf(a.buy()), "") << i;
            ++orders;
        }
        EXPECT_EQ(filesBeside(path, ".snapshot-"), 1u) << "the books compacted while the connections were held";
    }
    // Once they have gone (as the server sees them go), a login and an order.
    std::unique_ptr<Customer> b;
    ASSERT_TRUE(pollUntil([&] {
        b = std::make_unique<Customer>(overHttp(port), kCustomerA);
        return !b->tradeInfo.empty();
    }));
    ASSERT_EQ(errorOf(b->buy()), "");
    ++orders;
    b.reset();
    const int status = child.stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    SimServer restarted(booksOptions(path));
    EXPECT_TRUE(restarted.booksReport().restoredSnapshot);
    EXPECT_EQ(ordersOfA(restarted).size(), size_t(orders));
}

namespace {

constexpr const char* kSnapshotKey = "the books' own key";

TEST(SimBooksOnDiskTest, ASnapshotRestoresTheBooksWithTheirSecretsEnciphered) {
    SimServer first(tuesdayOptions());
    doBusiness(first);
    if (HasFatalFailure()) return;
    ASSERT_EQ(loginRefusal(first, "010110005678", "000000"), withTriesLeft("交易密码错误", 4));
    {  // A buy larger than the minute's asks: the rest waits for the next minute's, not these again.
        Customer a(first, kCustomerA);
        const SimQuote q = first.market().quote(*simTradableStock(first.market(), "600000"), first.clock().now());
        ASSERT_EQ(errorOf(a.buy(int(q.askVolume[0] + 1000), SimMarket::priceText(q.ask[0], 2))), "");
        const SimOrder o = ordersOfA(first).back();
        ASSERT_GT(o.matched, 0);
        ASSERT_LT(o.matched, o.quantity);
    }
    const std::string seed = first.withRoom<SimTradeRoom>(
        [](SimTradeRoom& r) { return r.books.customer("010110005678")->token.value_or(SimSoftToken{}).seed; });
    ASSERT_EQ(seed.size(), 40u);
    const std::string bytes = simSnapshot(first, kSnapshotKey);
    for (const std::string& secret : {std::string("123456"), std::string("888888"), seed})
        EXPECT_EQ(bytes.find(secret), std::string::npos) << secret << " in clear";

    SimServer second(tuesdayOptions());
    std::string why;
    ASSERT_TRUE(simRestore(second, bytes, kSnapshotKey, why)) << why;
    EXPECT_EQ(describe(second, kCustomerA), describe(first, kCustomerA));
    EXPECT_EQ(describe(second, "010110005678"), describe(first, "010110005678"));
    EXPECT_EQ(second.ownStocks(kPhone), first.ownStocks(kPhone));
    EXPECT_EQ(second.messages().size(), first.messages().size());
    EXPECT_EQ(second.clock().now(), first.clock().now());
    // The lock-out's count goes on, and the passwords still open the books.
    EXPECT_EQ(loginRefusal(second, "010110005678", "000000"), withTriesLeft("交易密码错误", 3));
    Customer a1(first, kCustomerA), a2(second, kCustomerA);
    ASSERT_FALSE(a2.tradeInfo.empty());
    for (int sub : {9, 10, 13, 14, 15, 22, 41, 42})
        EXPECT_TRUE(a1.trade(sub, "count=20").body == a2.trade(sub, "count=20").body) << "500/" << sub;
    // The next order number follows the books', not the seed's.
    EXPECT_EQ(textOf(a2.buy(), "ordersno"), textOf(a1.buy(), "ordersno"));
}

TEST(SimBooksOnDiskTest, ASnapshotThatCannotBeReadLeavesTheServerAsItWas) {
    SimServer first(tuesdayOptions());
    doBusiness(first);
    if (HasFatalFailure()) return;
    const std::string bytes = simSnapshot(first, kSnapshotKey);
    // What a snapshot is without its checksum, and with one made for it.
    const std::string body = bytes.substr(0, bytes.size() - 4);
    const auto sealed = [](std::string b) {
        const uint32_t crc = crc32Of(reinterpret_cast<const uint8_t*>(b.data()), b.size());
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(crc >> (8 * i)));
        return b;
    };
    std::string flipped = bytes, otherVersion = body;
    flipped[bytes.size() / 2] ^= 0x10;
    otherVersion[8] = static_cast<char>(kSimSnapshotVersion + 1);
    std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"truncated", bytes.substr(0, bytes.size() / 2)},
        {"its last byte gone", bytes.substr(0, bytes.size() - 1)},
        {"a byte flipped", flipped},
        {"another version", sealed(otherVersion)},
    };
    // Cut anywhere and sealed again: the reader finds the fields short, never reads beyond them.
    for (size_t cut = 20; cut < body.size(); cut += 1 + body.size() / 97)
        cases.push_back({"cut at " + std::to_string(cut) + " and sealed", sealed(body.substr(0, cut))});

    SimServer target(tuesdayOptions());
    Customer b(target, kCustomerA);
    ASSERT_EQ(errorOf(b.buy(200)), "");
    const std::string before = describe(target, kCustomerA);
    for (const auto& [what, damaged] : cases) {
        std::string why;
        EXPECT_FALSE(simRestore(target, damaged, kSnapshotKey, why)) << what;
        EXPECT_FALSE(why.empty()) << what;
    }
    std::string why;
    EXPECT_FALSE(simRestore(target, bytes, "another key", why));
    EXPECT_NE(why.find("cannot be read"), std::string::npos) << why;
    SimOptions otherSeed = tuesdayOptions();
    otherSeed.seed = 12;
    SimServer other(otherSeed);
    EXPECT_FALSE(simRestore(other, bytes, kSnapshotKey, why));
    EXPECT_NE(why.find("another seed"), std::string::npos) << why;

    EXPECT_EQ(describe(target, kCustomerA), before);
    EXPECT_EQ(errorOf(b.buy(100)), "") << "the server goes on with its own books and sessions";
}

}  // namespace

namespace {

// The snapshots beside the journal at `path` (their file names).
std::vector<std::string> snapshotsBeside(const std::string& path) {
    std::vector<std::string> names;
    const std::string prefix = fs::path(path).filename().string() + ".snapshot-";
    for (const auto& f : fs::directory_iterator(fs::path(path).parent_path()))
        if (f.path().filename().string().rfind(prefix, 0) == 0) names.push_back(f.path().string());
    return names;
}

// Books at `path` compacted once past a few records.
SimOptions compactingOptions(const std::string& path) {
    SimOptions o = booksOptions(path);
    o.booksCompactBytes = 2000;
    return o;
}

// Whatever a customer's lists answer, and the books behind them.
std::string everyList(SimServer& sim) {
    Customer a(sim, kCustomerA);
    std::string out = describe(sim, kCustomerA) + describe(sim, "010110005678");
    for (int sub : {9, 10, 13, 14, 15, 22, 41, 42}) out += a.trade(sub, "count=50").body;
    for (const auto& s : sim.ownStocks(kPhone)) out += s;
    out += std::to_string(sim.messages().size());
    out += std::to_string(sim.withRoom<SimFundsRoom>([](SimFundsRoom& r) { return r.customer("110001234").orders.size(); }));
    return out;
}

TEST(SimBooksOnDiskTest, AJournalGrownLongIsCompactedAndARestartAnswersAsBefore) {
    TempDir dir;
    const std::string path = dir.file("books");
    SimServer first(compactingOptions(path));
    ASSERT_EQ(first.setupError(), "");
    doBusiness(first);
    if (HasFatalFailure()) return;
    auto snapshots = snapshotsBeside(path);
    ASSERT_EQ(snapshots.size(), 1u) << "compacted once; the journal holds " << fs::file_size(path);
    const std::string once = snapshots[0];
    bool restartedRightAfter = false;
    // A restart when the journal holds nothing after its snapshot: the books' clock is the snapshot's.
    auto restartIfJustCompacted = [&] {
        const std::string journal = readFile(path);
        if (restartedRightAfter || journal.find('\n') + 1 != journal.size()) return;
        restartedRightAfter = true;
        SimServer right(compactingOptions(path));
        EXPECT_TRUE(right.booksReport().restoredSnapshot);
        EXPECT_EQ(right.clock().now(), first.clock().now()) << "the first server's clock, a day after the options'";
    };
    {
        Customer a(first, kCustomerA);
        const size_t descriptors = openDescriptors();
        std::set<std::string> compactions;
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(errorOf(a.buy(100)), "");
            restartIfJustCompacted();
            ASSERT_EQ(errorOf(a.transferIn()), "");
            restartIfJustCompacted();
            for (const auto& s : snapshotsBeside(path)) compactions.insert(s);
        }
        EXPECT_GE(compactions.size(), 3u) << "compacted again and again";
        EXPECT_EQ(openDescriptors(), descriptors) << "a compaction keeps no descriptor of the journal it replaced";
    }
    EXPECT_TRUE(restartedRightAfter);
    snapshots = snapshotsBeside(path);
    ASSERT_EQ(snapshots.size(), 1u) << "the one before is gone";
    EXPECT_NE(snapshots[0], once) << "compacted again";
    EXPECT_LT(fs::file_size(path), 2000u + 1000u) << "the journal holds what came after the snapshot only";
    EXPECT_EQ(fs::status(snapshots[0]).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    // No secret of the books in clear in the snapshot either.
    const std::string bytes = readFile(snapshots[0]);
    const std::string seed = first.withRoom<SimTradeRoom>(
        [](SimTradeRoom& r) { return r.books.customer("010110005678")->token.value_or(SimSoftToken{}).seed; });
    ASSERT_EQ(seed.size(), 40u);
    for (const std::string& secret : {std::string("123456"), std::string("888888"), seed})
        EXPECT_EQ(bytes.find(secret), std::string::npos) << secret << " in clear in the snapshot";

    // A kill leaves what is on disk: the snapshot and the records after it.
    // (The first server asks its lists before: one server writes FILE at a time.)
    const std::string firstLists = everyList(first);
    SimServer second(compactingOptions(path));
    ASSERT_EQ(second.setupError(), "");
    EXPECT_FALSE(second.booksReport().damaged());
    EXPECT_TRUE(second.booksReport().restoredSnapshot);
    EXPECT_EQ(everyList(second), firstLists);
    // The records go on from the snapshot's number, and so does the next restart.
    Customer a2(second, kCustomerA);
    ASSERT_EQ(errorOf(a2.buy(200)), "");
    SimServer third(compactingOptions(path));
    EXPECT_FALSE(third.booksReport().damaged());
    EXPECT_EQ(everyList(third), everyList(second));
    // Fresh books set the journal aside with the snapshot it names.
    SimOptions o = compactingOptions(path);
    o.freshBooks = true;
    SimServer fresh(o);
    snapshots = snapshotsBeside(path);
    ASSERT_EQ(snapshots.size(), 1u);
    EXPECT_NE(snapshots[0].find(".old-"), std::string::npos) << snapshots[0];
}

// A crash during a compaction leaves a temporary file, or a snapshot the
// journal does not name yet: both are passed over, the journal and the
// snapshot it names are the books, and the start removes them. A compaction
// whose journal cannot take the new one's place keeps the old snapshot.
TEST(SimBooksOnDiskTest, WhatAnUnfinishedCompactionLeavesIsPassedOver) {
    TempDir dir;
    const std::string path = dir.file("books");
    SimServer first(compactingOptions(path));
    doBusiness(first);
    if (HasFatalFailure()) return;
    Customer a(first, kCustomerA);
    ASSERT_EQ(errorOf(a.buy(100)), "");
    const auto named = snapshotsBeside(path);
    ASSERT_EQ(named.size(), 1u);
    // A directory in the journal's place: the compaction's rename fails (the server writes on to the file it has open).
    fs::rename(path, path + ".moved");
    fs::create_directory(path);
    while (fs::file_size(path + ".moved") < 2000) ASSERT_EQ(errorOf(a.buy(100)), "");
    ASSERT_EQ(errorOf(a.buy(100)), "");  // a compaction tried after each
    fs::remove(path);
    fs::rename(path + ".moved", path);
    EXPECT_EQ(snapshotsBeside(path), named);
    {
        SimServer afterFailed(compactingOptions(path));
        EXPECT_FALSE(afterFailed.booksReport().damaged());
        EXPECT_TRUE(afterFailed.booksReport().restoredSnapshot) << "the snapshot the journal names";
        EXPECT_EQ(describe(afterFailed, kCustomerA), describe(first, kCustomerA));
    }
    const std::string told = everyList(first);
    // Other books' snapshot, under the books' key and a later number, as a
    // compaction that did not reach its journal's rename leaves it.
    SimServer later(tuesdayOptions());
    Customer b(later, kCustomerA);
    ASSERT_EQ(errorOf(b.buy(500)), "");
    const std::string key(first.secretKey().begin(), first.secretKey().end());
    { std::ofstream(path + ".snapshot-99999", std::ios::binary) << simSnapshot(later, key); }
    { std::ofstream(dir.file(".books.tmp-AbC123"), std::ios::binary) << "roduvede-books\thalf"; }
    { std::ofstream(dir.file(".books.snapshot-99999.tmp-XyZ789"), std::ios::binary) << "half a snapshot"; }
    const std::vector<std::string> setAside = {path + ".damaged-20261208-101326", path + ".old-20261208-101327",
                                               path + ".snapshot-7.damaged-20261208-101326", path + ".key"};
    for (const auto& f : setAside)
        if (!fs::exists(f)) std::ofstream(f, std::ios::binary) << "kept";

    SimServer restarted(compactingOptions(path));
    ASSERT_EQ(restarted.setupError(), "");
    EXPECT_FALSE(restarted.booksReport().damaged());
    EXPECT_TRUE(restarted.booksReport().restoredSnapshot);
    // What no journal names is gone; what was set aside, the key and the named snapshot stay.
    for (const auto& f :
         {path + ".snapshot-99999", dir.file(".books.tmp-AbC123"), dir.file(".books.snapshot-99999.tmp-XyZ789")})
        EXPECT_FALSE(fs::exists(f)) << f;
    for (const auto& f : setAside) EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_EQ(snapshotsBeside(path).size(), 2u) << "the named one and the one set aside";
    EXPECT_EQ(everyList(restarted), told);
}

// A snapshot of the books of the tests' seed around `body`, its checksum whole.
std::string sealedSnapshot(const std::string& body) {
    std::string s = "RDSIMSNP";
    const auto put = [&s](uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    };
    put(kSimSnapshotVersion, 4);
    put(tuesdayOptions().seed, 8);
    s += body;
    put(crc32Of(reinterpret_cast<const uint8_t*>(s.data()), s.size()), 4);
    return s;
}

// A snapshot whose checksum holds and whose count of customers asks for as
// many as its 64 MiB could hold at a byte each: tens of GiB of them.
std::string snapshotAskingFor64MiBOfCustomers() {
    SimSnapWriter w(std::vector<uint8_t>{});
    w(0.0, std::string("trade"));  // the clock's reading, the room
    w.count(0);                    // no branches
    const uint64_t customers = uint64_t(64) << 20;
    w.count(customers);
    w.bytes().append(customers, '\0');
    return sealedSnapshot(w.bytes());
}

// A snapshot of the margin room alone, written by hand: its securities
// named in turn by `codes`, whatever their order.
std::string snapshotOfMarginTargets(const std::vector<std::string>& codes) {
    SimSnapWriter w(std::vector<uint8_t>{});
    w(0.0, std::string("margin"));
    w.count(codes.size());
    for (size_t i = 0; i < codes.size(); ++i) w(codes[i], SimMarginTarget{true, true, int64_t(1000 * (i + 1)), 70});
    w(std::string());  // the end of the rooms
    return sealedSnapshot(w.bytes());
}

// The journal's first line naming `snapshot` instead (its checksum made again).
std::string journalNaming(const std::string& journal, const std::string& snapshot) {
    const size_t end = journal.find('\n');
    std::vector<std::string> parts;
    std::stringstream payload(journal.substr(9, end - 9));
    for (std::string part; std::getline(payload, part, '\t');) parts.push_back(part);
    EXPECT_EQ(parts.size(), 9u) << "a header naming a snapshot";
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", crc32Of(reinterpret_cast<const uint8_t*>(snapshot.data()), snapshot.size()));
    parts[7] = crc;
    parts[8] = std::to_string(snapshot.size());
    std::string line;
    for (const auto& part : parts) line += (line.empty() ? "" : "\t") + part;
    std::snprintf(crc, sizeof crc, "%08x", crc32Of(reinterpret_cast<const uint8_t*>(line.data()), line.size()));
    return crc + (" " + line) + journal.substr(end);
}

TEST(SimBooksOnDiskTest, AMissingOrDamagedSnapshotIsSetAsideWithItsJournalAndTold) {
    enum class Fault { ByteChanged, Missing, CountsAskingForTensOfGiB, AKeyNamedTwice };
    for (const Fault fault :
         {Fault::ByteChanged, Fault::Missing, Fault::CountsAskingForTensOfGiB, Fault::AKeyNamedTwice}) {
        const bool missing = fault == Fault::Missing;
        SCOPED_TRACE(missing                                    ? "missing"
                     : fault == Fault::ByteChanged              ? "a byte changed"
                     : fault == Fault::CountsAskingForTensOfGiB ? "checksums whole, counts asking for tens of GiB"
                                                                : "a map naming one key twice");
        TempDir dir;
        const std::string path = dir.file("books");
        {
            SimServer sim(compactingOptions(path));
            doBusiness(sim);
            if (HasFatalFailure()) return;
        }
        const auto named = snapshotsBeside(path);
        ASSERT_EQ(named.size(), 1u);
        std::string journal = readFile(path);
        const std::string snapshot = readFile(named[0]);
        if (missing) {
            fs::remove(named[0]);
        } else if (fault == Fault::CountsAskingForTensOfGiB || fault == Fault::AKeyNamedTwice) {
            const std::string crafted = fault == Fault::AKeyNamedTwice ? snapshotOfMarginTargets({"600000", "600000"})
                                                                       : snapshotAskingFor64MiBOfCustomers();
            if (fault == Fault::AKeyNamedTwice) {  // the same with two keys restores: only the repeat is damage
                SimServer probe(tuesdayOptions());
                std::string why;
                EXPECT_TRUE(simRestore(probe, snapshotOfMarginTargets({"600000", "600036"}), "", why)) << why;
            }
            journal = journalNaming(journal, crafted);
            std::ofstream(path, std::ios::binary | std::ios::trunc) << journal;
            std::ofstream(named[0], std::ios::binary | std::ios::trunc) << crafted;
        } else {
            std::string damaged = snapshot;
            damaged[damaged.size() / 2] ^= 0x01;
            std::ofstream(named[0], std::ios::binary | std::ios::trunc) << damaged;
        }
        SimServer sim(compactingOptions(path));
        ASSERT_EQ(sim.setupError(), "");
        const SimJournalReport& r = sim.booksReport();
        EXPECT_TRUE(r.damaged());
        EXPECT_TRUE(r.lostUnknown) << "what it held cannot be known";
        EXPECT_TRUE(r.snapshotLost);
        EXPECT_FALSE(r.restoredSnapshot);
        EXPECT_EQ(readFile(r.setAside), journal);
        EXPECT_NE(r.setAside.find(".damaged-"), std::string::npos);
        if (missing) {
            EXPECT_EQ(r.snapshotSetAside, "");
        } else {
            EXPECT_NE(r.snapshotSetAside.find(".damaged-"), std::string::npos);
            EXPECT_TRUE(fs::exists(r.snapshotSetAside));
        }
        EXPECT_TRUE(snapshotsBeside(path).empty() || snapshotsBeside(path) == std::vector<std::string>{r.snapshotSetAside});
        EXPECT_TRUE(ordersOfA(sim).empty()) << "new books, from the seed";
        Customer a(sim, kCustomerA);
        EXPECT_FALSE(a.tradeInfo.empty());
        EXPECT_EQ(errorOf(a.buy()), "");
        SimServer again(compactingOptions(path));
        EXPECT_FALSE(again.booksReport().damaged()) << "told once";
        EXPECT_EQ(ordersOfA(again).size(), 1u);
    }
}

}  // namespace

namespace {

// Books an earlier version left (tests/sim/data/README.md), copied into
// `dir` as the customer's folder holds them; answers the journal's path.
std::string earlierBooks(const TempDir& dir, const std::string& folder) {
    for (const auto& f : fs::directory_iterator(sourcePath("tests/sim/data/" + folder))) {
        const fs::path to = fs::path(dir.path()) / f.path().filename();
        fs::copy_file(f.path(), to);
        fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write);
    }
    return dir.file("books");
}

// A's fund orders as 基金交易查询 (500/42) lists them, newest first.
std::vector<std::string> fundOrderRows(Customer& a) {
    std::vector<std::string> rows;
    auto sets = VTATCRS::buildMuTableTCRSWithData([&] {
        auto body = a.trade(42, "count=50").body;
        return std::vector<uint8_t>(body.begin(), body.end());
    }());
    if (!sets || sets->empty() || sets->front()->isError()) return {"no list"};
    auto& set = sets->front();
    for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) {
        std::string row;
        for (const char* field : {"sno", "orderdate", "business", "ofcode", "amount", "status"})
            row += (row.empty() ? "" : " ") + set->toStringWithFieldName(field).value_or("");
        rows.push_back(row);
    }
    return rows;
}

// The first line of the journal at `path`.
std::string headerOf(const std::string& path) {
    const std::string journal = readFile(path);
    return journal.substr(0, journal.find('\n'));
}

// What the customer's version answered of the books it wrote.
struct EarlierBooks {
    const char* folder;
    bool snapshot;  // the journal names one
    const char* balance;
    std::vector<std::string> fundOrders;
    std::vector<int64_t> orders;
    int64_t lastSerial;
    // Today's rules after: a later day (at 10:00) and the purchases its night makes, newest first.
    int laterDay;
    std::vector<std::string> laterPurchases;
};

const std::vector<std::string> kSeededFundOrders = {
    "4 20240229 申购 310001 3000.00元 已撤", "3 20240222 赎回 270004 1000.00份 已确认",
    "2 20240204 申购 310003 5512.00元 已确认", "1 20240125 申购 270001 12345.00元 已确认"};

std::vector<std::string> withSeeded(std::vector<std::string> rows) {
    rows.insert(rows.end(), kSeededFundOrders.begin(), kSeededFundOrders.end());
    return rows;
}

}  // namespace

// Books written by the versions before this one are read as they were
// written: nothing set aside or renumbered, the plans' purchases their
// version made and no other, a registration kept; then they go on in
// today's format, which a restart reads the same.
TEST(SimBooksOnDiskTest, BooksOfEarlierVersionsReadAsTheirVersionAnsweredAndGoOnInTodaysFormat) {
    const std::vector<EarlierBooks> cases = {
        // Compacted by a version whose plans never paid (a snapshot of version 1): the pay day
        // of 03-15 between its nights bought nothing.
        {"books-9e10563d-compacted",
         true,
         "1009006.95",
         withSeeded({"6 20240318 申购 270001 1000.00元 已报", "5 20240305 申购 270001 1000.00元 已确认"}),
         {29, 30},
         2,
         // The first night of today's rules meets the pay days after the last night of those books.
         20240415,
         {"7 20240415 定投 270003 500.00元 已报"}},
        // The same version's snapshot taken after A's last night and a pay day (03-15), nothing
        // after it: the pay day counts as met by the snapshot's own day. (A's first request on
        // 03-18 finds the seeded repo deal paid back: 5,005.95 元 more than on 03-14.)
        {"books-9e10563d-snapshot-only",
         true,
         "1005005.95",
         kSeededFundOrders,
         {29, 30},
         0,
         20240415,
         {"5 20240415 定投 270003 500.00元 已报"}},
        // Journaled by a version whose plans paid on calendar days: 04-13, a Saturday, dated so,
        // and the change of a plan past its end date taken.
        {"books-2ac731b3-journaled",
         false,
         "1002105.95",
         withSeeded({"10 20240515 定投 270003 500.00元 已确认", "9 20240418 申购 270001 1000.00元 已确认",
                     "8 20240415 定投 270003 500.00元 已确认", "7 20240413 定投 310001 200.00元 已确认",
                     "6 20240315 定投 270003 500.00元 已确认", "5 20240313 定投 310001 200.00元 已确认"}),
         {29},
         0,
         // The plan changed past its end runs again; Saturday 06-15's pay day is met on Monday.
         20240617,
         {"12 20240617 定投 270003 500.00元 已报", "11 20240613 定投 310001 300.00元 已确认"}},
        // The same version compacted (a snapshot of version 2): Saturday 06-15's pay day met on
        // 06-17 dated its own day, confirmed at once.
        {"books-2ac731b3-compacted",
         true,
         "1004506.45",
         withSeeded({"9 20240615 定投 270003 500.00元 已确认", "8 20240515 定投 270003 500.00元 已确认",
                     "7 20240415 定投 270003 500.00元 已确认", "6 20240315 定投 270003 500.00元 已确认",
                     "5 20240305 申购 270001 1000.00元 已确认"}),
         {29, 30},
         1,
         20240715,
         {"10 20240715 定投 270003 500.00元 已报"}},
    };
    for (const EarlierBooks& c : cases) {
        SCOPED_TRACE(c.folder);
        TempDir dir;
        const std::string path = earlierBooks(dir, c.folder);
        ASSERT_NE(headerOf(path).find("roduvede-books\t3\t"), std::string::npos) << "written in format 3";
        std::string told;
        {
            SimServer sim(booksOptions(path));
            ASSERT_EQ(sim.setupError(), "");
            const SimJournalReport& r = sim.booksReport();
            EXPECT_FALSE(r.damaged());
            EXPECT_FALSE(r.snapshotLost);
            EXPECT_EQ(r.setAside, "");
            EXPECT_EQ(r.restoredSnapshot, c.snapshot);
            EXPECT_EQ(r.format, 3);
            EXPECT_EQ(filesBeside(path, ".damaged-"), 0u);
            // Today's format at once, with no record of the earlier rules in it.
            EXPECT_NE(headerOf(path).find("roduvede-books\t4\t"), std::string::npos) << headerOf(path);
            EXPECT_EQ(readFile(path).find('\n') + 1, readFile(path).size()) << "a snapshot and nothing after";
            Customer a(sim, kCustomerA);
            ASSERT_FALSE(a.tradeInfo.empty());
            EXPECT_EQ(textOf(a.trade(9, "count=20"), "fundbal"), c.balance);
            EXPECT_EQ(fundOrderRows(a), c.fundOrders);
            std::vector<int64_t> numbers;
            for (const auto& o : ordersOfA(sim)) numbers.push_back(o.ordersno);
            EXPECT_EQ(numbers, c.orders);
            EXPECT_EQ(lastTransferSerial(sim), c.lastSerial);
            EXPECT_EQ(textOf(a.call("tc_mfuncno=100&tc_sfuncno=4&phone=13912345678"), "registered"), "1");
            // The next order goes on from the books' numbers.
            EXPECT_EQ(textOf(a.buy(), "ordersno"), std::to_string(c.orders.back() + 1));
            told = everyList(sim);
        }
        SimServer again(booksOptions(path));
        ASSERT_EQ(again.setupError(), "");
        EXPECT_FALSE(again.booksReport().damaged());
        EXPECT_EQ(again.booksReport().format, 4);
        EXPECT_TRUE(everyList(again) == told) << "read again the same";
        Customer a(again, kCustomerA);
        const auto before = fundOrderRows(a);
        again.clock().setTime(SimClock::fromLocal(c.laterDay, 10 * 60));
        Customer later(again, kCustomerA);
        const auto after = fundOrderRows(later);
        ASSERT_GE(after.size(), before.size());
        EXPECT_EQ(std::vector<std::string>(after.begin(), after.end() - before.size()), c.laterPurchases);
    }
}

// Earlier books met on a full disk cannot be written anew in today's format,
// and no record of today's rules goes under their header: every request is
// refused and the journal stays as it was. Once there is room the server
// writes them in today's format and serves again, without a restart.
TEST(SimBooksOnDiskTest, EarlierBooksThatCannotBeWrittenAnewTakeNoChangeUnderTheirHeader) {
    TempDir dir;
    const std::string path = earlierBooks(dir, "books-2ac731b3-journaled");
    const std::string journal = readFile(path);
    std::optional<SimServer> sim;
    {
        DiskFull full(1);
        sim.emplace(booksOptions(path));
        ASSERT_EQ(sim->setupError(), "");
        EXPECT_EQ(errorOf(sim->handle("tc_mfuncno=100&tc_sfuncno=1&phone=" + std::string(kPhone), {})),
                  kSimBooksUnwritable);
        Customer a(*sim, kCustomerA);
        EXPECT_EQ(textOf(a.buy(100, "7.80"), "ordersno"), "");
        EXPECT_EQ(readFile(path), journal);
        EXPECT_TRUE(snapshotsBeside(path).empty());
    }
    Customer a(*sim, kCustomerA);
    EXPECT_EQ(textOf(a.buy(100, "7.80"), "ordersno"), "30");
    EXPECT_NE(headerOf(path).find("roduvede-books\t4\t"), std::string::npos) << headerOf(path);
    sim.reset();
    SimServer restarted(booksOptions(path));
    ASSERT_EQ(restarted.setupError(), "");
    EXPECT_EQ(ordersOfA(restarted).size(), 2u);
}
