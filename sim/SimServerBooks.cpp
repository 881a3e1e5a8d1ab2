// The simulated server's books on disk (SimJournal.h): opened and replayed
// when the server is made, written as requests change them.
#include <strings.h>

#include <stdio.h>

#include <algorithm>
#include <cstdio>

#include "core/contracts/TradeContract.h"
#include "sim/SimBank.h"
#include "sim/SimFunds.h"
#include "sim/SimMessages.h"
#include "sim/SimOrders.h"
#include "sim/SimPlans.h"
#include "sim/SimRepo.h"
#include "sim/SimSecrets.h"
#include "sim/SimServer.h"
#include "sim/SimSnapshot.h"
#include "sim/SimTrade.h"

namespace {

// The protocol's envelope: how a request travelled, not what it asked.
bool isEnvelope(const std::string& key) {
    for (const char* k : {"tc_service", "tc_isunicode", "TC_ENCRYPT", "TC_SESSION", "TC_KEY", "TC_REQDATA",
                          "TC_REQLENGTH"})
        if (strcasecmp(key.c_str(), k) == 0) return true;
    return false;
}

// A pushed message as it was handed to the server, and back.
std::vector<SimField> messageFields(const SimMessage& m) {
    return {{"detailId", std::to_string(m.detailId)},
            {"senderCode", m.senderCode},
            {"senderName", m.senderName},
            {"sendTime", std::to_string(m.sendTime)},
            {"needConfirm", std::to_string(m.needConfirm)},
            {"type", std::to_string(m.type)},
            {"level", std::to_string(m.level)},
            {"title", m.title},
            {"content", m.content},
            {"longText", m.longText},
            {"channel", m.channel},
            {"stockCode", m.stockCode},
            {"stockName", m.stockName},
            {"url", m.url}};
}

SimMessage messageOf(const std::vector<SimField>& fields) {
    SimRequest r(fields);
    SimMessage m;
    m.detailId = r.intValue("detailId", 0);
    m.senderCode = r.value("senderCode");
    m.senderName = r.value("senderName");
    m.sendTime = std::strtod(r.value("sendTime").c_str(), nullptr);
    m.needConfirm = int(r.intValue("needConfirm", 1));
    m.type = int(r.intValue("type", 1));
    m.level = int(r.intValue("level", 1));
    m.title = r.value("title");
    m.content = r.value("content");
    m.longText = r.value("longText");
    m.channel = r.value("channel");
    m.stockCode = r.value("stockCode");
    m.stockName = r.value("stockName");
    m.url = r.value("url");
    return m;
}

// The numbers a customer is given, in the order the journal names them (a
// kind added later goes last).
enum NumberKind : size_t {
    kOrderNumbers,      // every order of the books: stock, margin, subscriptions, transfers of collateral
    kFundOrderNumbers,  // fund orders and the wealth family's requests
    kTransferSerials,   // bank transfers
    kRepoMatchCodes,    // repo deals
    kMessageIds,        // pushed messages
    kNumberKinds
};

// The last number of each kind given so far (a room not made yet has given none).
std::vector<uint64_t> booksNumbers(const SimRooms& rooms) {
    std::vector<uint64_t> n(kNumberKinds, 0);
    if (const auto* r = rooms.find<SimTradeRoom>()) n[kOrderNumbers] = uint64_t(r->books.lastOrderNumber());
    if (const auto* r = rooms.find<SimFundsRoom>()) n[kFundOrderNumbers] = uint64_t(r->lastOrderNumber);
    if (const auto* r = rooms.find<SimBankRoom>()) n[kTransferSerials] = uint64_t(r->lastSerial);
    if (const auto* r = rooms.find<SimRepoRoom>()) n[kRepoMatchCodes] = uint64_t(r->lastMatchCode);
    if (const auto* r = rooms.find<SimMessageRoom>()) n[kMessageIds] = uint64_t(r->nextMessageId - 1);
    return n;
}

// Every number up to those named is taken: none of them is given again.
void passNumbers(SimServer& server, const std::vector<uint64_t>& named) {
    auto at = [&](size_t kind) {
        return kind < named.size() ? int64_t(std::min<uint64_t>(named[kind], INT64_MAX / 2)) : 0;
    };
    auto past = [](int64_t& last, int64_t n) { last = std::max(last, n); };
    if (at(kOrderNumbers)) server.room<SimTradeRoom>().books.passOrderNumber(at(kOrderNumbers));
    if (at(kFundOrderNumbers)) past(server.room<SimFundsRoom>().lastOrderNumber, at(kFundOrderNumbers));
    if (at(kTransferSerials)) past(server.room<SimBankRoom>().lastSerial, at(kTransferSerials));
    if (at(kRepoMatchCodes)) past(server.room<SimRepoRoom>().lastMatchCode, at(kRepoMatchCodes));
    if (at(kMessageIds)) {
        int64_t& next = server.room<SimMessageRoom>().nextMessageId;
        next = std::max(next, at(kMessageIds) + 1);
    }
}

}  // namespace

void SimServer::openBooks(bool fresh) {
    if (options_.booksPath.empty()) return;
    StateLock lock(*this);
    // The key first: the journal names the one its digests and seeds are under.
    const std::string keyPath = options_.booksPath + ".key";
    bool madeKey = false;
    auto key = simBooksKey(keyPath, madeKey);
    if (!key) {  // of another size: kept aside, a new one (the journal then tells it is not its own)
        ::rename(keyPath.c_str(), (keyPath + ".damaged").c_str());
        key = simBooksKey(keyPath, madeKey);
    }
    if (!key) {
        setupError_ = "the key of the books cannot be written at " + keyPath;
        return;
    }
    secretKey_ = *key;
    const double resume = clock_.now();
    const bool frozen = clock_.isFrozen();
    clock_.setFrozen(true);
    double last = resume;
    const std::string snapshotKey(secretKey_.begin(), secretKey_.end());
    uint32_t snapshotVersion = 0;  // of the snapshot restored (0: none)
    journal_ = SimJournal::open(
        options_.booksPath, options_.seed, simKeyCheck(secretKey_), clock_.now(), fresh,
        [&](const std::string& bytes) {
            std::string why;
            if (!simRestore(*this, bytes, snapshotKey, why, &snapshotVersion)) {
                std::fprintf(stderr, "roduvede-sim: the snapshot of the books cannot be restored: %s\n", why.c_str());
                return false;
            }
            last = std::max(last, clock_.now());
            return true;
        },
        [&](const SimJournalEntry& e) {
            if (!clock_.setTime(e.time)) return;
            last = std::max(last, e.time);
            // Each record under the rules its journal was written under (the report's format is the file's).
            replayRules_ = simBooksRulesOf(booksReport_.format, snapshotVersion);
            replayEntry(e);
        },
        [this] { return booksNumbers(rooms_); }, booksReport_);
    replayRules_ = SimBooksRules::Current;
    // Sessions are the running server's: none outlives the replay.
    if (auto* trade = rooms_.find<SimTradeRoom>()) trade->books.endSessions();
    clock_.setTime(last);
    // Under rules where plans paid nothing, each customer's last night met
    // every pay day up to it: plans pay from the first night of today's rules.
    if (journal_ && simBooksRulesOf(journal_->format(), snapshotVersion) == SimBooksRules::PlansPayNothing)
        if (auto* plans = rooms_.find<SimPlansRoom>())
            if (const auto* orders = rooms_.find<SimOrdersRoom>()) simPlansMetUpTo(*plans, orders->settledDay);
    const auto& named = booksReport_.numbersNamed;
    const auto now = booksNumbers(rooms_);
    bool ahead = false;
    for (size_t i = 0; i < named.size() && i < now.size(); ++i) ahead = ahead || named[i] > now[i];
    SimJournalEntry numbers;
    if (journal_ && ahead) {
        // Records lost to damage gave numbers beyond the books': the books go
        // on past them, and a record says so for every later start (written
        // once the books are of today's format, below).
        numbers.kind = SimJournalEntry::Kind::Numbers;
        numbers.time = last;
        numbers.numbers = named;
        replayEntry(numbers);
    }
    if (journal_ && !upgradeBooks()) {
        // Refused as a change not written is, until bringBooksBack finds room for them.
        booksAhead_ = true;
        std::fprintf(stderr,
                     "roduvede-sim: the books in %s, of an earlier format, cannot be written anew in today's: "
                     "every request is refused until they can\n",
                     journal_->path().c_str());
    } else if (journal_ && ahead && !journal_->append(std::move(numbers))) {
        booksUnwritable();
    }
    clock_.setFrozen(frozen);
    if (!journal_) setupError_ = booksReport_.refusal;
}

void SimServer::replayEntry(const SimJournalEntry& e) {
    if (e.kind == SimJournalEntry::Kind::Push) {
        room<SimMessageRoom>().add(messageOf(e.fields), e.time);
        return;
    }
    HandlerScope scope(*this);
    scope.rules = replayRules_;
    if (e.kind == SimJournalEntry::Kind::Numbers) {
        passNumbers(*this, e.numbers);
        return;
    }
    if (e.kind == SimJournalEntry::Kind::Made) {
        for (const auto& f : e.fields) simMakeRoom(*this, f.value);
        return;
    }
    if (e.kind == SimJournalEntry::Kind::Failure) {
        SimBooks& books = room<SimTradeRoom>().books;
        if (const SimCustomer* who = books.customerById(e.custid)) books.noteFailure(*who, e.time);
        return;
    }
    const std::string noKey;
    if (e.kind == SimJournalEntry::Kind::Advance) {
        SimCustomer* who = room<SimTradeRoom>().books.customerById(e.custid);
        const SimRequest none;
        SimCall call{*this, none, nullptr, e.time, noKey};
        if (who) simAdvanceBooks(call, *who);
        return;
    }
    SimRequest request(e.fields);
    // The trade session it named: one of the replay's own for the same customer and phone.
    if (!e.custid.empty()) {
        SimBooks& books = room<SimTradeRoom>().books;
        const SimCustomer* who = books.customerById(e.custid);
        request.setValue(TradeContract::Key::kAuthId, who ? books.openSession(*who, e.fundid, e.phone, e.time) : "");
    }
    const SimHandler* handler = registry_.find(request.mainFunction(), request.subFunction(), request);
    if (!handler) return;
    SimSession session;
    session.phone = e.phone;
    session.lastActive = e.time;
    std::vector<std::string> issued;
    for (const auto& s : e.secrets) issued.push_back(simDecipherSecret(secretKey_, s).value_or(""));
    SimSecretTape secrets(std::move(issued), true);  // its secret fields are the books' digests
    SimCall call{*this, request, &session, e.time, noKey};
    try {
        (*handler)(call);
    } catch (const std::exception& ex) {
        std::fprintf(stderr, "roduvede-sim: replaying %d/%d of the books: %s\n", request.mainFunction(),
                     request.subFunction(), ex.what());
    }
}

SimServer::Apart::Apart(HandlerScope* s) : scope(s) {
    if (scope) ++scope->apart;
}

SimServer::Apart::~Apart() {
    if (scope) --scope->apart;
}

void SimServer::noteMadeRoom(HandlerScope& scope, std::type_index room) {
    const std::string name = simRoomName(room);
    if (name.empty()) {  // a room the books on disk do not keep (a test's family): the request is written whole
        scope.changed = true;
        return;
    }
    SimJournalEntry e;
    e.kind = SimJournalEntry::Kind::Made;
    e.fields.push_back({"room", name});
    scope.apartEntries.push_back(std::move(e));
}

void SimServer::advanceBooks(SimCall& call, const std::string& custid) {
    HandlerScope* scope = ownHandler();
    bool changed = false;
    {
        Apart apart(scope);
        SimCustomer* who = room<SimTradeRoom>().books.customerById(custid);
        changed = who && simAdvanceBooks(call, *who);
    }
    if (!changed || !scope) return;
    auto& entries = scope->apartEntries;
    for (const auto& e : entries)
        if (e.kind == SimJournalEntry::Kind::Advance && e.custid == custid) return;
    SimJournalEntry e;
    e.kind = SimJournalEntry::Kind::Advance;
    e.custid = custid;
    entries.push_back(std::move(e));
}

int SimServer::countFailure(SimCall& call, const SimCustomer& who) {
    HandlerScope* scope = ownHandler();
    int left = 0;
    {
        Apart apart(scope);
        left = room<SimTradeRoom>().books.noteFailure(who, call.now);
    }
    if (!scope) return left;
    SimJournalEntry e;
    e.kind = SimJournalEntry::Kind::Failure;
    e.custid = who.custid;
    scope->apartEntries.push_back(std::move(e));
    return left;
}

bool SimServer::journalApart(std::vector<SimJournalEntry> entries, double now) {
    for (auto& e : entries) e.time = now;
    return journal_->append(std::move(entries));  // all or none
}

std::vector<uint8_t> SimServer::journalRequest(const SimRequest& request, const std::string& phone,
                                               const std::optional<SimTradeSession>& trade,
                                               const std::vector<std::string>& secrets, double now,
                                               std::vector<uint8_t> reply) {
    SimJournalEntry e;
    e.time = now;
    e.phone = phone;
    if (trade) {
        e.custid = trade->custid;
        e.fundid = trade->fundid;
    }
    // No secret in clear: token seeds enciphered, passwords and codes as the books' digests.
    for (const auto& s : secrets) e.secrets.push_back(simEncipherSecret(secretKey_, s));
    // Only the fields the handler read, all that its replay reads (SimRequest.h),
    // and the function's numbers, by which the replay finds the handler: a
    // field no function knows is never written.
    request.mainFunction();
    request.subFunction();
    for (const auto& f : request.fieldsRead()) {
        if (isEnvelope(f.key)) continue;
        if (strcasecmp(f.key.c_str(), TradeContract::Key::kAuthId) == 0)
            e.fields.push_back({f.key, ""});
        else if (TradeContract::isSecretKey(f.key))
            e.fields.push_back({f.key, simJournalSecret(secretKey_, f.key, f.value)});
        else
            e.fields.push_back(f);
    }
    if (journal_->append(std::move(e))) return reply;
    return booksUnwritable();
}

std::vector<uint8_t> SimServer::booksUnwritable() {
    if (!booksAhead_.exchange(true))
        std::fprintf(stderr,
                     "roduvede-sim: a change could not be written to %s: it is refused, and so is every request "
                     "until the disk takes the books again\n",
                     journal_->path().c_str());
    return simErrorSet(-1, kSimBooksUnwritable);
}

bool SimServer::bringBooksBack() {
    if (!booksAhead_) return true;
    StateLock lock(*this);
    if (!booksAhead_) return true;
    // Books of an earlier format are written anew in today's first: no record goes under their header.
    if (!upgradeBooks()) return false;
    // First a record of the numbers the books have given, those of the change
    // that was not written among them: whether the disk takes it tells
    // whether there is room again, and none of them is given again.
    SimJournalEntry numbers;
    numbers.kind = SimJournalEntry::Kind::Numbers;
    numbers.time = clock_.now();
    if (!journal_->append(std::move(numbers))) return false;
    // Then the books as a start reads them from the disk, with the server's
    // sessions and trade logins (which no book holds) as they were.
    std::map<std::string, SimTradeSession> tradeLogins;
    if (const auto* trade = rooms_.find<SimTradeRoom>()) tradeLogins = trade->books.sessions();
    const SimJournalReport report = booksReport_;  // what the start found (its client told it)
    const std::string setupError = setupError_;
    std::unique_ptr<SimJournal> ahead = std::move(journal_);  // held until the books are read back
    rooms_.clear();
    booksAhead_ = false;
    openBooks(false);
    booksReport_ = report;
    setupError_ = setupError;
    if (!journal_) {  // not read back (no descriptor free): tried again at the next request
        journal_ = std::move(ahead);
        booksAhead_ = true;
        return false;
    }
    if (auto* trade = rooms_.find<SimTradeRoom>()) trade->books.keepSessions(std::move(tradeLogins));
    std::fprintf(stderr, "roduvede-sim: the books are written to %s again\n", journal_->path().c_str());
    return !booksAhead_;
}

bool SimServer::journalPush(const SimMessage& message, double now) {
    if (!journal_) return true;
    SimJournalEntry e;
    e.kind = SimJournalEntry::Kind::Push;
    e.time = now;
    e.fields = messageFields(message);
    // Written before the message is stored: it names the id the message is about to be given.
    e.numbers = booksNumbers(rooms_);
    e.numbers[kMessageIds] = uint64_t(room<SimMessageRoom>().nextMessageId);
    return journal_->append(std::move(e));  // not written: not stored either
}

bool SimServer::upgradeBooks() {
    if (!journal_ || journal_->format() == kSimJournalFormat) return true;
    StateLock lock(*this);
    return journal_->compact(simSnapshot(*this, std::string(secretKey_.begin(), secretKey_.end())));
}

void SimServer::compactBooksIfLarge() {
    if (!journal_ || booksAhead_ || journal_->size() < options_.booksCompactBytes) return;
    StateLock lock(*this);
    if (!journal_->compact(simSnapshot(*this, std::string(secretKey_.begin(), secretKey_.end()))))
        std::fprintf(stderr, "roduvede-sim: the books in %s could not be compacted: the journal goes on as it is\n",
                     journal_->path().c_str());
}
