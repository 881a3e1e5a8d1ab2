// The simulated server's request road (SimServer::handle): parse, session,
// decipher, controls, handler, then the reply's compression, cipher and
// coding. The state lock is taken around the session's part, by the handler
// when it reaches a room, and to write back the session and log the request;
// the key exchange, deciphering, the handlers of families without a room,
// compression and enciphering run without it.
#include <strings.h>
#include <zlib.h>

#include <algorithm>
#include <string_view>

#include "core/VTATCRS.h"
#include "core/security/Base64.h"
#include "core/security/Compression.h"
#include "core/contracts/RelationContract.h"
#include "core/contracts/TradeContract.h"
#include "core/contracts/TradeQueryContract.h"
#include "core/security/FrameCodec.h"
#include "core/security/RandomBytes.h"
#include "core/security/RSAKeyFile.h"
#include "sim/SimSecrets.h"
#include "sim/SimServer.h"
#include "sim/SimSystem.h"
#include "sim/SimTrade.h"

namespace {

constexpr int kEncipherFlag = 36;
constexpr int kCompressFlag = 18;
constexpr size_t kGzipThreshold = 512;
// zlib's fastest level: on the simulator's own replies (bench_net's
// BM_SimReplyCompressionLevel) it compresses four times faster than the
// default level for some 10 % more bytes (28 % of the plain size against 26 %).
constexpr int kReplyCompressionLevel = 1;

// Each connection thread keeps its stream, reset for every reply.
std::vector<uint8_t> compressReply(const std::vector<uint8_t>& plain) {
    thread_local LengthPrefixCompressor compressor(kReplyCompressionLevel);
    return compressor.compress(plain);
}

std::string etagOf(int status, const std::string& package, bool compressed, bool enciphered) {
    return std::to_string(status) + "," + (package.empty() ? "0" : package) + "," + (compressed ? "18" : "0") + "," +
           (enciphered ? "36" : "0");
}

std::string gzip(const std::string& data) {
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::string out(deflateBound(&zs, data.size()) + 32, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return rc == Z_STREAM_END ? out : std::string();
}

std::string header(const std::map<std::string, std::string>& headers, const std::string& name) {
    for (const auto& [k, v] : headers)
        if (strcasecmp(k.c_str(), name.c_str()) == 0) return v;
    return {};
}

// Record sets as text, one line per record: for people with curl.
std::string dumpSets(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    if (!sets) return "(unreadable record sets)\n";
    std::string out;
    int n = 0;
    for (auto& set : *sets) {
        out += "set " + std::to_string(n++) + (set->name().empty() ? "" : " \"" + set->name() + "\"") +
               (set->isError() ? " error: " + set->getError() : "") + ", " + std::to_string(set->rowsAffected()) +
               " records\n";
        std::string names;
        for (int f = 0; f < set->fieldCount(); ++f) names += (f ? "\t" : "") + set->getFieldNameAtIndex(f);
        out += names + "\n";
        for (int r = 0; r < set->rowsAffected(); ++r) {
            set->moveToIndex(r);
            std::string line;
            for (int f = 0; f < set->fieldCount(); ++f) line += (f ? "\t" : "") + set->toStringAtIndex(f).value_or("");
            out += line + "\n";
        }
    }
    return out;
}

constexpr int kUndecided = -1;

}  // namespace

std::optional<SimTradeSession> SimServer::admitTradeSession(SimRequest& request, const std::string& phone,
                                                            double now) {
    const SimBooks& books = view<SimTradeRoom>().books;  // the state lock, for the rest of the handler
    const SimTradeSession* admitted =
        books.admit(request.value(TradeContract::Key::kAuthId), phone, now, options_.sessionIdleTimeout);
    if (admitted) return *admitted;
    request.setValue(TradeContract::Key::kAuthId, "");  // the functions refuse it as an ended session
    return std::nullopt;
}

SimSessions::TradeLogins SimServer::tradeLogins(double now) const {
    return [this, now](const std::string& authid) -> std::optional<std::string> {
        const SimTradeRoom* trade = rooms_.find<SimTradeRoom>();
        const SimTradeSession* t = trade ? trade->books.live(authid, now, options_.sessionIdleTimeout) : nullptr;
        if (!t) return std::nullopt;
        return t->phone;
    };
}

std::vector<SimServer::Control> SimServer::takeControls(int main, int sub) {
    std::vector<Control> taken;
    for (auto it = controls_.begin(); it != controls_.end();) {
        bool match = (it->main == 0 || it->main == main) && (it->main == 0 || it->sub == 0 || it->sub == sub);
        if (match) {
            taken.push_back(*it);
            if (it->kind == Control::Hold) taken.back().holdTicket = hold_.take();
            if (--it->times <= 0) {
                it = controls_.erase(it);
                continue;
            }
        }
        ++it;
    }
    return taken;
}

SimServer::Reply SimServer::handle(const std::string& body, const std::map<std::string, std::string>& headers) {
    SimRecord record;
    record.rawBody = body;
    record.userAgent = header(headers, "User-Agent");
    record.acceptEncoding = header(headers, "Accept-Encoding");
    record.packageId = header(headers, "X-VTA-Package");
    // Replies in clear, for tests and curl: only from a server started to give them.
    const bool dump = options_.dumpHeader && header(headers, "X-Sim-Dump") == "text";

    // Counted before it is split, as what splitting would take is the point:
    // the clear fields and the enciphered frame's together.
    auto fieldsIn = [](std::string_view text) {
        return text.empty() ? size_t(0) : size_t(std::count(text.begin(), text.end(), '&')) + 1;
    };
    const size_t clearFields = fieldsIn(body);
    bool tooManyFields = clearFields > options_.maxRequestFields;
    auto tooMany = [this] {
        return Reply{413, "more than " + std::to_string(options_.maxRequestFields) + " fields\n",
                     {{"Content-Type", "text/plain"}}};
    };
    if (tooManyFields) return tooMany();
    SimRequest request(simParseFields(body));
    record.clearFields = request.fields();
    record.main = request.mainFunction();
    record.sub = request.subFunction();
    record.encrypt = static_cast<int>(request.intValue("TC_ENCRYPT", 0));
    const bool enciphered = record.encrypt == kEncipherFlag || record.encrypt == kEncipherFlag + kCompressFlag;
    const bool compressed = record.encrypt == kCompressFlag || record.encrypt == kEncipherFlag + kCompressFlag;
    std::string sessionText = request.value("TC_SESSION");
    if (sessionText.size() >= 2 && sessionText.front() == '{' && sessionText.back() == '}')
        sessionText = sessionText.substr(1, sessionText.size() - 2);
    record.session = sessionText;
    const bool login = record.main == 100 && record.sub == 1;

    // The enciphered fields, deciphered without the lock; the frame as it came.
    std::vector<uint8_t> frame;
    auto decipherFields = [&](const std::vector<uint8_t>& key) {
        auto data = base64Decode(request.value("TC_REQDATA"));
        auto plain = data && !key.empty() ? decipherFrame(*data, key) : std::nullopt;
        if (!plain || static_cast<long long>(plain->size()) != request.intValue("TC_REQLENGTH", -1)) return false;
        const std::string_view text(reinterpret_cast<const char*>(plain->data()), plain->size());
        tooManyFields = clearFields + fieldsIn(text) > options_.maxRequestFields;
        if (tooManyFields) return false;
        request.addFields(simParseFields(std::string(plain->begin(), plain->end())));
        frame = std::move(*data);
        return true;
    };

    // The key a login brings (RSA, without the lock), and under it the
    // login's own fields: the phone its session belongs to.
    int status = kUndecided;
    const std::string keyText = login ? request.value("TC_KEY") : std::string();
    std::optional<std::vector<uint8_t>> loginKey;
    if (!keyText.empty()) {
        auto cipher = base64Decode(keyText);
        loginKey = cipher ? rsaDecryptWithPrivateKeyFile(*cipher, options_.privateKeyPath) : std::nullopt;
        if (loginKey && loginKey->empty()) loginKey.reset();
        if (!loginKey) status = 1;
    }
    if (login && enciphered && status == kUndecided && !decipherFields(loginKey.value_or(std::vector<uint8_t>())))
        status = 1;
    if (tooManyFields) return tooMany();

    // The session: a login opens one, any other request must name a live one.
    std::vector<Control> controls;
    std::optional<SimSession> session;  // a copy: what the handler changes is written back
    double now = 0;
    {
        StateLock lock(*this);
        now = clock_.now();
        sessions_.sweep(now, options_.sessionIdleTimeout);
        controls = takeControls(record.main, record.sub);
        if (login) {
            if (status == kUndecided) {
                SimSession s;
                s.key = loginKey.value_or(std::vector<uint8_t>());
                s.id = randomHex(12);
                s.lastActive = now;
                s.phone = simDeclaredPhone(request.value("phone"));
                // A full share or table ends the idlest session without a live
                // trade login; with none, the login is refused.
                if (SimSession* opened = sessions_.open(std::move(s), options_.maxSessions,
                                                        options_.maxSessionsPerPhone, tradeLogins(now))) {
                    record.session = opened->id;  // the reply goes under the new session's key
                    session = *opened;
                } else {
                    status = 1;
                }
            }
        } else if (const SimSession* s = sessions_.use(record.session, now)) {
            session = *s;
        } else if (options_.requireSession || enciphered) {
            status = 2;
        }
    }

    // A refusal or an ended session is the road's answer before any work: a
    // server that says so has done nothing (a client takes it as not done).
    for (const auto& c : controls) {
        if (status != kUndecided || c.kind != Control::Fault) continue;
        if (c.fault == SimFault::Refuse) status = 1;
        if (c.fault == SimFault::SessionTimeout) status = 2;
    }

    // The session's key deciphers the request and enciphers the reply.
    const std::vector<uint8_t> key = session ? session->key : std::vector<uint8_t>();

    // The enciphered fields of a request under its session. What was carried
    // out under the session's key, in this session or another of the key, is
    // not carried out again: the same frame, or a request that changes the
    // books under a package id the session sent.
    bool repeated = false, checksSpent = false;
    // What checks the account's password or code (a trade login, a password
    // change, which opens one, a token's application, an account relation):
    // posted again it would end the customer's live trade login, or count a
    // wrong password toward the lock-out.
    const FunctionId function{record.main, record.sub};
    const bool checksPassword = function == TradeContract::kLogin || function == TradeQueryContract::kPasswordChange ||
                                function == TradeContract::kTokenApplication ||
                                function == RelationContract::kRelateAccount;
    if (status == kUndecided && enciphered && !login) {
        if (!decipherFields(key)) {
            if (tooManyFields) return tooMany();
            status = 1;
        } else {
            StateLock lock(*this);
            const std::optional<bool> first = sessions_.firstSending(
                session->id, frame, record.encrypt == kEncipherFlag ? record.packageId : std::string(),
                tradeLogins(now));
            if (!first)
                status = 2;  // ended meanwhile
            else
                repeated = !*first;
            // What checks the password is kept with the key, up to its bound.
            checksSpent = !repeated && checksPassword &&
                          !sessions_.mayCheckPassword(session->id, options_.maxPasswordChecksPerKey);
        }
    }

    // The answer: a crafted one, or the function's handler.
    std::vector<uint8_t> plain;
    if (status == kUndecided) {
        status = 0;
        const Control* answer = nullptr;
        for (const auto& c : controls)
            if (!answer && c.kind == Control::Answer) answer = &c;
        request.forgetReads();  // from here on, what is read is what a replay of it needs
        const SimHandler* handler = registry_.find(record.main, record.sub, request);
        if (answer) {
            plain = answer->bytes;
        } else if (repeated) {
            plain = simErrorSet(-1, SimRepeatGuard::kRepeatedText);
        } else if (checksSpent) {
            plain = simErrorSet(-1, SimSessions::kPasswordChecksSpentText);
        } else if (!handler) {
            plain = simErrorSet(-1, "该功能暂未开放");
        } else if (!bringBooksBack()) {
            plain = booksUnwritable();
        } else {
            HandlerScope scope(*this);
            SimSecretTape secrets;
            const std::string phone = session ? session->phone : std::string();
            std::optional<SimTradeSession> trade;
            if (request.has(TradeContract::Key::kAuthId)) trade = admitTradeSession(request, phone, now);
            if (trade && session) session->tradeAuthId = trade->authid;
            SimCall call{*this, request, session ? &*session : nullptr, now, keyText};
            plain = (*handler)(call);
            // What changed the books is on disk before its answer goes: a
            // request that reached a room to change it, and of one that only
            // read them, the rooms it made, the settling and matching and
            // the wrong passwords it brought about.
            if (scope.holds && journal_) {
                if (booksAhead_)  // it read books that another request's change, not written, had moved on
                    plain = booksUnwritable();
                else if (scope.changed)
                    plain = journalRequest(request, phone, trade, secrets.issued(), now, std::move(plain));
                else if (!journalApart(std::move(scope.apartEntries), now))
                    plain = booksUnwritable();
                compactBooksIfLarge();
            }
            if (session) {
                // A frame that acted under a trade login is kept with it (a
                // trade login that then holds as many as it may ends, as an
                // idle one does), one that checked the password with the key.
                using Acted = SimSessions::Acted;
                const Acted acted = checksPassword ? Acted::CheckedPassword
                                    : trade        ? Acted::UnderTradeLogin
                                                   : Acted::Apart;
                StateLock lock(*this);
                if (sessions_.writeBack(*session, frame, acted, options_.maxSessionsPerPhone,
                                        options_.maxTradeLoginFrames, tradeLogins(now)))
                    if (auto* room = rooms_.find<SimTradeRoom>()) room->books.endSession(session->tradeAuthId);
            }
        }
    }

    // The reply: faults, compression, cipher, coding (without the lock).
    Reply reply;
    SimFault fault = SimFault::None;
    for (const auto& c : controls) {
        if (c.kind == Control::Fault) fault = c.fault;
        if (c.kind == Control::Hold) reply.holdTicket = c.holdTicket;
        if (c.kind == Control::Delay) reply.delay += c.seconds;
        if (c.kind == Control::Drop) reply.drop = true;
    }
    std::vector<uint8_t> bytes = status == 0 ? plain : std::vector<uint8_t>();
    bool replyCompressed = status == 0 && compressed;
    bool replyEnciphered = false;
    if (replyCompressed) {
        bytes = compressReply(bytes);
        if (fault == SimFault::BadCompressedLength && bytes.size() >= 4) {
            bytes[0] = 0xff;
            bytes[1] = 0xff;
            bytes[2] = 0xff;
            bytes[3] = 0x7f;
        }
    }
    if (status == 0 && enciphered) {
        if (!key.empty()) {
            bytes = encipherFrame(bytes, key);
            replyEnciphered = true;
        } else {
            status = 1;
            bytes.clear();
            replyCompressed = false;
        }
    }
    if (fault == SimFault::CorruptCipher) {
        if (bytes.size() > 12)
            bytes[bytes.size() / 2] ^= 0x5a;
        else
            bytes.assign(8, 0x42);
        replyEnciphered = true;
    }
    if (dump) {
        reply.body = status == 0 ? dumpSets(plain) : "status " + std::to_string(status) + "\n";
        reply.headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
    } else {
        reply.body.assign(bytes.begin(), bytes.end());
    }
    std::string etag = etagOf(status, record.packageId, replyCompressed, replyEnciphered);
    if (fault == SimFault::BadEtag) etag = "garbage";
    if (fault != SimFault::NoEtag) reply.headers.emplace_back("Etag", etag);
    record.etag = fault == SimFault::NoEtag ? "" : etag;
    if (!dump && !replyCompressed && reply.body.size() >= kGzipThreshold &&
        record.acceptEncoding.find("gzip") != std::string::npos) {
        std::string z = gzip(reply.body);
        if (!z.empty()) {
            reply.body = std::move(z);
            reply.headers.emplace_back("Content-Encoding", "gzip");
            record.contentEncoding = "gzip";
        }
    }
    record.replyBytes = reply.body.size();
    record.fields = request.fields();
    StateLock lock(*this);
    log_.add(std::move(record));
    return reply;
}
