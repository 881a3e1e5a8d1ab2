#include "sim/SimServer.h"

#include <httplib.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "core/VTATCRS.h"
#include "core/security/Base64.h"
#include "core/security/Compression.h"
#include "core/security/Digests.h"
#include "core/security/FrameCodec.h"
#include "core/security/RSAKeyFile.h"
#include "core/security/TestKeys.h"
#include "sim/SimImages.h"
#include "sim/SimPages.h"
#include "sim/SimPortfolio.h"

namespace {

constexpr int kEncipherFlag = 36;
constexpr int kCompressFlag = 18;
constexpr size_t kGzipThreshold = 512;

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

}  // namespace

struct SimServer::Http {
    httplib::Server server;
};

SimServer::SimServer(SimOptions options) : given_(options), options_(std::move(options)), market_(options_.seed) {
    if (options_.clock) clock_.setTime(*options_.clock);
    clock_.setFrozen(options_.frozenClock);
    if (options_.privateKeyPath.empty()) options_.privateKeyPath = simPrivateKeyPath();
    try {
        if (options_.families) options_.families(registry_);
        registry_.menu().check();
    } catch (const std::exception& e) {
        setupError_ = e.what();
    }
}

SimServer::StateLock::StateLock(const SimServer& server) : server_(server) {
    server_.mutex_.lock();
    server_.stateHolder_ = std::this_thread::get_id();
}

SimServer::StateLock::~StateLock() {
    server_.stateHolder_ = std::thread::id();
    server_.mutex_.unlock();
}

void SimServer::assertStateLocked() const {
    if (stateHolder_.load() != std::this_thread::get_id()) {
        std::fprintf(stderr, "SimServer: a room used without the state lock (use withRoom)\n");
        std::abort();
    }
}

void SimServer::resetState() {
    StateLock lock(*this);
    rooms_.clear();
    controls_.clear();
    records_.clear();
    sessions_.clear();
    options_.sessionIdleTimeout = given_.sessionIdleTimeout;
    options_.requireSession = given_.requireSession;
    clock_.setTime(given_.clock.value_or(SimClock().now()));
    clock_.setFrozen(given_.frozenClock);
    imageRequests_ = 0;
    pageRequests_ = 0;
}

SimServer::~SimServer() { stop(); }

bool SimServer::start() {
    if (!setupError_.empty()) {
        std::fprintf(stderr, "roduvede-sim: %s\n", setupError_.c_str());
        return false;
    }
    if (http_) return true;
    http_ = std::make_unique<Http>();
    auto& svr = http_->server;
    svr.set_keep_alive_max_count(1000);
    svr.set_keep_alive_timeout(options_.keepAliveSeconds);
    svr.set_tcp_nodelay(true);
    // One thread per open connection: enough for the client's two queues of
    // four, kept-alive connections and a load test beside them.
    svr.new_task_queue = [] { return new httplib::ThreadPool(64); };  // headers and body go out at once, no Nagle wait
    svr.Get(std::string("/vta"),
            [](const httplib::Request&, httplib::Response& res) { res.set_content("roduvede-sim", "text/plain"); });
    svr.Post(std::string("/vta"), [this](const httplib::Request& req, httplib::Response& res) {
        std::map<std::string, std::string> headers(req.headers.begin(), req.headers.end());
        Reply r = handle(req.body, headers);
        if (r.delay > 0) std::this_thread::sleep_for(std::chrono::duration<double>(r.delay));
        res.status = r.status;
        for (auto& [k, v] : r.headers)
            if (k != "Content-Type") res.set_header(k.c_str(), v);
        if (r.drop) {
            // Headers promise a body that never comes: the connection is cut.
            res.set_content_provider(r.body.size() + 16, "application/octet-stream",
                                     [](size_t, size_t, httplib::DataSink&) { return false; });
            return;
        }
        bool text = false;
        for (auto& [k, v] : r.headers) text = text || (k == "Content-Type" && v.rfind("text/", 0) == 0);
        res.set_content(r.body, text ? "text/plain; charset=utf-8" : "application/octet-stream");
    });
    svr.Get(R"(/img/([A-Za-z0-9_-]+)\.png)", [this](const httplib::Request& req, httplib::Response& res) {
        imageRequests_++;
        auto png = simImagePNG(req.matches[1].str());
        if (!png) {
            res.status = 404;
            res.set_content("no such image\n", "text/plain");
            return;
        }
        res.set_content(*png, "image/png");
    });
    svr.Get(R"(/page/([A-Za-z0-9_-]+)\.html)", [this](const httplib::Request& req, httplib::Response& res) {
        pageRequests_++;
        auto html = simPageHTML(req.matches[1].str());
        if (!html) {
            res.status = 404;
            res.set_content("<html><body><p>页面不存在</p></body></html>\n", "text/html; charset=utf-8");
            return;
        }
        res.set_content(*html, "text/html; charset=utf-8");
    });
    svr.Get(std::string("/sim/status"), [this](const httplib::Request&, httplib::Response& res) {
        StateLock lock(*this);
        std::string s = "clock " + SimClock::format(clock_.now()) + "\nseed " + std::to_string(options_.seed) +
                        "\nsessions " + std::to_string(sessions_.size()) + "\nrequests " +
                        std::to_string(records_.size()) + "\nmessages " +
                        std::to_string(room<SimMessageRoom>().messages.size()) + "\n";
        res.set_content(s, "text/plain; charset=utf-8");
    });
    svr.Post(std::string("/sim/push"), [this](const httplib::Request& req, httplib::Response& res) {
        SimMessage m;
        m.title = req.has_param("title") ? req.get_param_value("title") : "新消息";
        m.content = req.has_param("content") ? req.get_param_value("content") : m.title;
        res.set_content(std::to_string(pushMessage(m)) + "\n", "text/plain");
    });
    svr.Post(std::string("/sim/expire"), [this](const httplib::Request&, httplib::Response& res) {
        expireAllSessions();
        res.set_content("ok\n", "text/plain");
    });
    svr.Post(std::string("/sim/clock"), [this](const httplib::Request& req, httplib::Response& res) {
        if (req.has_param("t")) clock_.setTime(std::atof(req.get_param_value("t").c_str()));
        if (req.has_param("advance")) clock_.advance(std::atof(req.get_param_value("advance").c_str()));
        res.set_content(SimClock::format(clock_.now()) + "\n", "text/plain");
    });
    if (options_.port == 0) {
        port_ = svr.bind_to_any_port(options_.host.c_str());
    } else {
        port_ = svr.bind_to_port(options_.host.c_str(), options_.port) ? options_.port : -1;
    }
    if (port_ <= 0) {
        http_.reset();
        port_ = 0;
        return false;
    }
    thread_ = std::thread([this] { http_->server.listen_after_bind(); });
    while (!http_->server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void SimServer::stop() {
    if (!http_) return;
    http_->server.stop();
    if (thread_.joinable()) thread_.join();
    http_.reset();
}

bool SimServer::isRunning() const { return http_ && http_->server.is_running(); }

std::string SimServer::url() const { return "http://" + options_.host + ":" + std::to_string(port_); }

std::vector<SimServer::Control> SimServer::takeControls(int main, int sub) {
    std::vector<Control> taken;
    for (auto it = controls_.begin(); it != controls_.end();) {
        bool match = (it->main == 0 || it->main == main) && (it->main == 0 || it->sub == 0 || it->sub == sub);
        if (match) {
            taken.push_back(*it);
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
    Reply reply;
    SimRecord record;
    record.rawBody = body;
    record.userAgent = header(headers, "User-Agent");
    record.acceptEncoding = header(headers, "Accept-Encoding");
    record.packageId = header(headers, "X-VTA-Package");
    const bool dump = header(headers, "X-Sim-Dump") == "text";

    StateLock lock(*this);
    const double now = clock_.now();
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

    auto finish = [&](int status, const std::vector<uint8_t>& plain, const std::vector<Control>& controls) {
        SimFault fault = SimFault::None;
        for (const auto& c : controls) {
            if (c.kind == Control::Fault) fault = c.fault;
            if (c.kind == Control::Delay) reply.delay += c.seconds;
            if (c.kind == Control::Drop) reply.drop = true;
        }
        if (fault == SimFault::Refuse) status = 1;
        if (fault == SimFault::SessionTimeout) status = 2;
        std::vector<uint8_t> bytes = status == 0 ? plain : std::vector<uint8_t>();
        bool replyCompressed = status == 0 && compressed;
        bool replyEnciphered = false;
        if (replyCompressed) {
            bytes = compressWithLengthPrefix(bytes);
            if (fault == SimFault::BadCompressedLength && bytes.size() >= 4) {
                bytes[0] = 0xff;
                bytes[1] = 0xff;
                bytes[2] = 0xff;
                bytes[3] = 0x7f;
            }
        }
        if (status == 0 && enciphered) {
            // (A login's record names its new session: its reply goes under the key it brought.)
            auto it = sessions_.find(record.session);
            const std::vector<uint8_t>* key = it != sessions_.end() ? &it->second.key : nullptr;
            if (key && !key->empty()) {
                bytes = encipherFrame(bytes, *key);
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
        records_.push_back(std::move(record));
        return reply;
    };

    auto controls = takeControls(record.main, record.sub);
    const bool login = record.main == 100 && record.sub == 1;
    SimSession* session = nullptr;
    std::string keyText;
    if (login) {
        keyText = request.value("TC_KEY");
        SimSession s;
        if (!keyText.empty()) {
            auto cipher = base64Decode(keyText);
            auto key = cipher ? rsaDecryptWithPrivateKeyFile(*cipher, options_.privateKeyPath) : std::nullopt;
            if (!key || key->empty()) return finish(1, {}, controls);
            s.key = std::move(*key);
        }
        s.id = md5Hex(std::to_string(options_.seed) + ":" + std::to_string(++sessionCounter_) + ":" + keyText)
                   .substr(0, 24);
        s.lastActive = now;
        s.phone = request.value("phone");
        std::string id = s.id;
        sessions_[id] = std::move(s);
        session = &sessions_[id];
        record.session = id;  // the reply goes under the new session's key
    } else {
        auto it = sessions_.find(record.session);
        if (it != sessions_.end() && now - it->second.lastActive > options_.sessionIdleTimeout) {
            sessions_.erase(it);
            it = sessions_.end();
        }
        if (it != sessions_.end()) {
            session = &it->second;
            session->lastActive = now;
        } else if (options_.requireSession || enciphered) {
            return finish(2, {}, controls);
        }
    }
    if (enciphered) {
        if (!session || session->key.empty()) return finish(1, {}, controls);
        auto data = base64Decode(request.value("TC_REQDATA"));
        auto plain = data ? decipherFrame(*data, session->key) : std::nullopt;
        if (!plain || static_cast<long long>(plain->size()) != request.intValue("TC_REQLENGTH", -1))
            return finish(1, {}, controls);
        request.addFields(simParseFields(std::string(plain->begin(), plain->end())));
    }

    for (const auto& c : controls)
        if (c.kind == Control::Answer) return finish(0, c.bytes, controls);
    const SimHandler* handler = registry_.find(record.main, record.sub);
    if (!handler) return finish(0, simErrorSet(-1, "该功能暂未开放"), controls);
    SimCall call{*this, request, session, now, keyText};
    return finish(0, (*handler)(call), controls);
}

void SimServer::addControl(Control control) {
    StateLock lock(*this);
    controls_.push_back(std::move(control));
}

void SimServer::answerNext(FunctionId function, std::vector<uint8_t> bytes, int times) {
    Control c;
    c.kind = Control::Answer;
    c.main = function.main;
    c.sub = function.sub;
    c.times = times;
    c.bytes = std::move(bytes);
    addControl(std::move(c));
}

void SimServer::forceErrorSet(int code, const std::string& text, int main, int sub, int times) {
    answerNext({main, sub}, simErrorSet(code, text), times);
}

void SimServer::clearControls() {
    StateLock lock(*this);
    controls_.clear();
}

void SimServer::forceFault(SimFault fault, int main, int sub, int times) {
    Control c;
    c.kind = Control::Fault;
    c.main = main;
    c.sub = sub;
    c.times = times;
    c.fault = fault;
    addControl(std::move(c));
}

void SimServer::delayReply(double seconds, int main, int sub, int times) {
    Control c;
    c.kind = Control::Delay;
    c.main = main;
    c.sub = sub;
    c.times = times;
    c.seconds = seconds;
    addControl(std::move(c));
}

void SimServer::dropConnection(int main, int sub, int times) {
    Control c;
    c.kind = Control::Drop;
    c.main = main;
    c.sub = sub;
    c.times = times;
    addControl(std::move(c));
}

void SimServer::expireSession(const std::string& id) {
    StateLock lock(*this);
    sessions_.erase(id);
}

void SimServer::expireAllSessions() {
    StateLock lock(*this);
    sessions_.clear();
}

void SimServer::setSessionIdleTimeout(double seconds) {
    StateLock lock(*this);
    options_.sessionIdleTimeout = seconds;
}

std::vector<std::string> SimServer::sessionIds() const {
    StateLock lock(*this);
    std::vector<std::string> ids;
    for (auto& [id, s] : sessions_) ids.push_back(id);
    return ids;
}

void SimServer::setRequireSession(bool required) {
    StateLock lock(*this);
    options_.requireSession = required;
}

size_t SimServer::requestCount() const {
    StateLock lock(*this);
    return records_.size();
}

std::vector<SimRecord> SimServer::requests() const {
    StateLock lock(*this);
    return records_;
}

std::vector<SimRecord> SimServer::requestsOf(int main, int sub) const {
    StateLock lock(*this);
    std::vector<SimRecord> out;
    for (const auto& r : records_)
        if (r.main == main && r.sub == sub) out.push_back(r);
    return out;
}

void SimServer::clearRequests() {
    StateLock lock(*this);
    records_.clear();
}

int64_t SimServer::pushMessage(SimMessage m) {
    std::function<void(const SimMessage&)> observer;
    {
        StateLock lock(*this);
        m = room<SimMessageRoom>().add(std::move(m), clock_.now());
        observer = pushObserver_;
    }
    if (observer) observer(m);
    return m.msgId;
}

void SimServer::setPushObserver(std::function<void(const SimMessage&)> observer) {
    StateLock lock(*this);
    pushObserver_ = std::move(observer);
}

std::vector<SimMessage> SimServer::messages() {
    return withRoom<SimMessageRoom>([](SimMessageRoom& r) { return r.messages; });
}

std::vector<std::string> SimServer::ownStocks(const std::string& phone) {
    return withRoom<SimPortfolioRoom>([&](SimPortfolioRoom& r) {
        auto it = r.ownStocks.find(phone);
        return it == r.ownStocks.end() ? std::vector<std::string>() : it->second;
    });
}

void SimServer::setOwnStocks(const std::string& phone, std::vector<std::string> ids) {
    withRoom<SimPortfolioRoom>([&](SimPortfolioRoom& r) { r.ownStocks[phone] = std::move(ids); });
}
