#include "sim/SimSnapshot.h"

#include <cstring>
#include <map>
#include <type_traits>

#include "core/security/Digests.h"
#include "core/security/FrameCodec.h"
#include "sim/SimServer.h"
#include "sim/SimSnapshotFields.h"

namespace {

constexpr char kMagic[] = "RDSIMSNP";
constexpr size_t kMagicSize = 8;
constexpr size_t kHeaderSize = kMagicSize + 4 + 8;
constexpr size_t kCrcSize = 4;

// Every room of the books, by the name its section carries. A room that a
// new family adds goes here (and its fields into SimSnapshotFields.h).
template <class F>
void forEachRoom(F&& f) {
    f.template operator()<SimTradeRoom>("trade");
    f.template operator()<SimOrdersRoom>("orders");
    f.template operator()<SimBankRoom>("bank");
    f.template operator()<SimBondsRoom>("bonds");
    f.template operator()<SimFundsRoom>("funds");
    f.template operator()<SimInfoRadarRoom>("radar");
    f.template operator()<SimMarginRoom>("margin");
    f.template operator()<SimMessageRoom>("messages");
    f.template operator()<SimNewIssuesRoom>("newissues");
    f.template operator()<SimNewsRoom>("news");
    f.template operator()<SimPlansRoom>("plans");
    f.template operator()<SimPortfolioRoom>("portfolio");
    f.template operator()<SimRepoRoom>("repo");
    f.template operator()<SimSystemRoom>("system");
    f.template operator()<SimWarrantsRoom>("warrants");
    f.template operator()<SimWealthRoom>("wealth");
}

}  // namespace

std::string simRoomName(std::type_index room) {
    std::string name;
    forEachRoom([&]<class Room>(const char* roomName) {
        if (room == std::type_index(typeid(Room))) name = roomName;
    });
    return name;
}

void simMakeRoom(SimServer& server, const std::string& name) {
    forEachRoom([&]<class Room>(const char* roomName) {
        if (name == roomName) server.room<Room>();
    });
}

namespace {

// The cipher key of the secrets: the caller's key, digested to Blowfish's size.
std::vector<uint8_t> cipherKeyOf(const std::string& key) {
    static const std::string kPurpose = "roduvede-sim-snapshot";
    return hmacSha1(std::vector<uint8_t>(kPurpose.begin(), kPurpose.end()), std::vector<uint8_t>(key.begin(), key.end()));
}

template <class T>
void putFixed(std::string& out, T value) {
    for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>((static_cast<uint64_t>(value) >> (8 * i)) & 0xff));
}
template <class T>
T getFixed(const std::string& in, size_t at) {
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= uint64_t(static_cast<uint8_t>(in[at + i])) << (8 * i);
    return static_cast<T>(v);
}

uint32_t crcOf(const std::string& bytes, size_t size) {
    return crc32Of(reinterpret_cast<const uint8_t*>(bytes.data()), size);
}

// The ledger an order names, found in the rooms restored with it.
SimLedgerSlot ledgerNamed(const std::string& name, SimRooms& rooms) {
    if (name == "credit") return simCreditLedger();
    if (name == "repo-loan" || name == "repo-end") return simRepoLedger(name == "repo-end");
    const size_t space = name.find(' ');
    const std::string kind = name.substr(0, space), code = space == std::string::npos ? "" : name.substr(space + 1);
    if (kind == "exercise")
        if (const SimWarrantsRoom* room = rooms.find<SimWarrantsRoom>())
            if (const SimWarrant* w = room->warrant(code)) return simExerciseLedger(*w);
    if (kind == "product")
        if (const SimBondsRoom* room = rooms.find<SimBondsRoom>())
            if (const SimExchangeProduct* p = room->product(code)) return simProductLedger(*p);
    if (kind == "subscription")
        if (const SimNewIssuesRoom* room = rooms.find<SimNewIssuesRoom>())
            if (const SimNewIssue* i = room->issue(code)) return simSubscriptionLedger(*i);
    return nullptr;
}

}  // namespace

void SimSnapWriter::secret(const std::string& plain) {
    const std::vector<uint8_t> bytes(plain.begin(), plain.end());
    const auto frame = fingerprint_ ? hmacSha1(key_, bytes) : encipherFrame(bytes, key_);
    item(std::string(frame.begin(), frame.end()));
}

void SimSnapWriter::ledger(const SimLedgerSlot& ledger) {
    // A ledger without a name would come back as a stock order's: it is named so that no restore takes it.
    const std::string name = ledger ? ledger->snapshotName() : std::string();
    item(ledger && name.empty() ? std::string("unnamed") : name);
}

void SimSnapReader::secret(std::string& plain) {
    std::string frame;
    item(frame);
    if (failed_) return;
    const auto deciphered = decipherFrame(std::vector<uint8_t>(frame.begin(), frame.end()), key_);
    if (!deciphered) return fail();
    plain.assign(deciphered->begin(), deciphered->end());
}

void SimSnapReader::ledger(SimLedgerSlot& slot) {
    std::string name;
    item(name);
    slot.reset();
    if (!failed_) ledgers_.push_back(std::move(name));
}

namespace {

// The plans' room of a snapshot of version 1, which kept no day its plans
// were met: none paid then, so every customer's is the snapshot's own day.
void readPlansOfVersion1(SimSnapReader& r, SimPlansRoom& room, double snapshotTime) {
    r(room.plans);
    room.settledDay.clear();
    for (const auto& [custid, plans] : room.plans) room.settledDay[custid] = SimClock::local(snapshotTime).yyyymmdd();
}

void writeBooks(uint64_t seed, double now, const SimRooms& rooms, SimSnapWriter& w) {
    std::string& out = w.bytes();
    out.append(kMagic, kMagicSize);
    putFixed<uint32_t>(out, kSimSnapshotVersion);
    putFixed<uint64_t>(out, seed);
    w(now);
    forEachRoom([&]<class Room>(const char* name) {
        if (Room* room = rooms.find<Room>()) w(std::string(name), *room);
    });
    w(std::string());  // the end of the rooms
}

}  // namespace

std::string simSnapshot(const SimServer& server, const std::string& key) {
    SimServer::StateLock lock(server);
    SimSnapWriter w(cipherKeyOf(key));
    writeBooks(server.options_.seed, server.clock_.now(), server.rooms_, w);
    std::string& out = w.bytes();
    putFixed<uint32_t>(out, crcOf(out, out.size()));
    return std::move(out);
}

std::string simBooksFingerprint(const SimServer& server) {
    SimServer::StateLock lock(server);
    SimSnapWriter w(cipherKeyOf("fingerprint"), SimSnapWriter::Fingerprint{});
    writeBooks(server.options_.seed, server.clock_.now(), server.rooms_, w);
    const auto digest = sha1(std::vector<uint8_t>(w.bytes().begin(), w.bytes().end()));
    return std::string(digest.begin(), digest.end());
}

// The counts are bounded by the bytes and the reader grows what it fills as
// they read, so nothing should throw; should anything still (memory short
// for books that are whole), the snapshot is as good as damaged to a server
// that must start all the same.
bool simRestore(SimServer& server, const std::string& bytes, const std::string& key, std::string& why,
                uint32_t* versionRead) try {
    if (bytes.size() < kHeaderSize + kCrcSize || std::memcmp(bytes.data(), kMagic, kMagicSize) != 0) {
        why = "not a snapshot of the books";
        return false;
    }
    if (getFixed<uint32_t>(bytes, bytes.size() - kCrcSize) != crcOf(bytes, bytes.size() - kCrcSize)) {
        why = "the snapshot is damaged (its checksum does not match)";
        return false;
    }
    const auto version = getFixed<uint32_t>(bytes, kMagicSize);
    if (version < kSimSnapshotOldestVersion || version > kSimSnapshotVersion) {
        why = "a snapshot of version " + std::to_string(version) + ", not " +
              std::to_string(kSimSnapshotOldestVersion) + " to " + std::to_string(kSimSnapshotVersion);
        return false;
    }
    if (getFixed<uint64_t>(bytes, kMagicSize + 4) != server.options().seed) {
        why = "a snapshot of the books of another seed";
        return false;
    }
    // Read into rooms of their own; the server's are untouched until all has read.
    SimRooms rooms;
    SimSnapReader r(std::string_view(bytes).substr(kHeaderSize, bytes.size() - kHeaderSize - kCrcSize),
                    cipherKeyOf(key));
    double time = 0;
    r(time);
    std::vector<std::string> order;  // of the rooms read
    for (std::string name;;) {
        r(name);
        if (r.failed() || name.empty()) break;
        bool known = false;
        forEachRoom([&]<class Room>(const char* roomName) {
            if (name != roomName) return;
            known = true;
            if (rooms.find<Room>()) return r.fail();  // twice
            Room& room = rooms.get<Room>(server);
            if constexpr (std::is_same_v<Room, SimPlansRoom>)
                if (version < 2) return readPlansOfVersion1(r, room, time);
            r(room);
        });
        if (!known) {
            why = "the snapshot holds a room this server does not know: " + name;
            return false;
        }
        order.push_back(std::move(name));
    }
    if (r.failed() || !r.atEnd()) {
        why = "the snapshot cannot be read (a secret under another key, or a field out of place)";
        return false;
    }
    std::vector<SimLedgerSlot> ledgers;
    ledgers.reserve(r.ledgerNames().size());
    for (const auto& name : r.ledgerNames()) {
        ledgers.push_back(name.empty() ? nullptr : ledgerNamed(name, rooms));
        if (!name.empty() && !ledgers.back()) {
            why = "the snapshot names an order's ledger this server does not know: " + name;
            return false;
        }
    }
    SimSnapLedgerFiller fill(std::move(ledgers));
    for (const auto& name : order)
        forEachRoom([&]<class Room>(const char* roomName) {
            if (name == roomName) fill(*rooms.find<Room>());
        });
    if (!fill.allPlaced()) {
        why = "the snapshot cannot be read (its orders' ledgers out of place)";
        return false;
    }
    SimServer::StateLock lock(server);
    server.rooms_.swap(rooms);
    if (versionRead) *versionRead = version;
    if (SimClock::isValidTime(time) && time > server.clock_.now()) server.clock_.setTime(time);
    return true;
} catch (const std::exception& e) {
    why = std::string("the snapshot cannot be restored: ") + e.what();
    return false;
}
