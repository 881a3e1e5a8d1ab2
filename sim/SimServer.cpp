#include "sim/SimServer.h"

#include <openssl/crypto.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/security/TestKeys.h"
#include "sim/SimHttpServer.h"
#include "sim/SimImages.h"
#include "sim/SimPages.h"
#include "sim/SimPortfolio.h"

namespace {

// A whole decimal number ("12", "-3.5", "1e3"), finite; nullopt otherwise.
std::optional<double> finiteNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

struct SimServer::Http {
    explicit Http(const SimHttpLimits& limits) : server(limits) {}
    SimHttpServer server;
};

SimServer::SimServer(SimOptions options)
    : given_(options),
      options_(std::move(options)),
      market_(options_.seed),
      log_(options_.requestLogCount, options_.requestLogBytes) {
    // Frozen first: freezing keeps the time shown then, so a start time set
    // before it would have moved on by however long the freezing took.
    clock_.setFrozen(options_.frozenClock);
    if (options_.clock && !clock_.setTime(*options_.clock))
        setupError_ = "the start time " + std::to_string(*options_.clock) + " is no time between 1970 and 9999";
    if (options_.privateKeyPath.empty()) options_.privateKeyPath = simPrivateKeyPath();
    try {
        if (options_.families) options_.families(registry_);
        registry_.menu().check();
    } catch (const std::exception& e) {
        setupError_ = e.what();
    }
    if (setupError_.empty()) openBooks(options_.freshBooks);
}

SimServer::~SimServer() { stop(); }

SimServer::StateLock::StateLock(const SimServer& server) : server_(server) {
    if (server_.stateHolder_.load() == std::this_thread::get_id()) return;
    server_.mutex_.lock();
    server_.stateHolder_ = std::this_thread::get_id();
    owns_ = true;
}

SimServer::StateLock::~StateLock() {
    if (!owns_) return;
    server_.stateHolder_ = std::thread::id();
    server_.mutex_.unlock();
}

thread_local SimServer::HandlerScope* SimServer::tHandler = nullptr;

SimServer::HandlerScope::HandlerScope(SimServer& s) : server(s), outer(tHandler), rules(s.booksRules_.load()) {
    tHandler = this;
}

SimServer::HandlerScope::~HandlerScope() {
    tHandler = outer;
    if (!holds) return;
    server.stateHolder_ = std::thread::id();
    server.mutex_.unlock();
}

void SimServer::holdStateForRoom() {
    if (stateHolder_.load() == std::this_thread::get_id()) return;
    if (tHandler && &tHandler->server == this && !tHandler->holds) {
        mutex_.lock();
        stateHolder_ = std::this_thread::get_id();
        tHandler->holds = true;
        return;
    }
    std::fprintf(stderr, "SimServer: a room used outside a handler without the state lock (use withRoom)\n");
    std::abort();
}

void SimServer::resetState() {
    StateLock lock(*this);
    rooms_.clear();
    controls_.clear();
    log_.clear();
    sessions_.clear();
    options_.sessionIdleTimeout = given_.sessionIdleTimeout;
    options_.requireSession = given_.requireSession;
    clock_.setFrozen(given_.frozenClock);
    clock_.setTime(given_.clock.value_or(SimClock().now()));
    imageRequests_ = 0;
    pageRequests_ = 0;
    hold_.release();
    if (journal_) {  // what a new server holds: the books on disk
        journal_.reset();
        booksAhead_ = false;
        openBooks(false);
    }
}

bool SimServer::start() {
    if (!setupError_.empty()) {
        std::fprintf(stderr, "roduvede-sim: %s\n", setupError_.c_str());
        return false;
    }
    if (http_) return true;
    SimHttpLimits limits;
    limits.readTimeout = options_.readTimeout;
    limits.keepAlive = options_.keepAliveSeconds;
    limits.maxConnections = options_.maxConnections;
    limits.maxWorkers = options_.maxWorkers;
    limits.maxBodyBytes = options_.maxRequestBytes;
    limits.holdAllocatorThresholds = options_.holdAllocatorThresholds;
    http_ = std::make_unique<Http>(limits);
    auto& svr = http_->server;
    svr.Get(std::string("/vta"),
            [](const httplib::Request&, httplib::Response& res) { res.set_content("roduvede-sim", "text/plain"); });
    svr.Post(std::string("/vta"), [this](const httplib::Request& req, httplib::Response& res,
                                         const httplib::ContentReader& content) {
        // Read here, against the limit, so that a body without a length (chunked) is held to it too.
        std::string body;
        body.reserve(std::min<size_t>(req.get_header_value<uint64_t>("Content-Length"), options_.maxRequestBytes));
        bool tooLarge = false;
        bool whole = content([&](const char* data, size_t n) {
            tooLarge = n > options_.maxRequestBytes - body.size();
            if (!tooLarge) body.append(data, n);
            return !tooLarge;
        });
        if (tooLarge || res.status == 413 || !whole) {
            SimHttpServer::closeAfterReply();  // what is left of the body is not read
            res.status = tooLarge || res.status == 413 ? 413 : 400;
            res.set_content(res.status == 413
                                ? "request body larger than " + std::to_string(options_.maxRequestBytes) + " bytes\n"
                                : std::string("incomplete request body\n"),
                            "text/plain");
            return;
        }
        std::map<std::string, std::string> headers(req.headers.begin(), req.headers.end());
        Reply r = handle(body, headers);
        if (r.holdTicket) hold_.wait(r.holdTicket);
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
    if (!options_.clientSecret.empty()) admitItsClientAlone();
    if (options_.controlRoutes) serveControls();
    if (!options_.socketPath.empty()) {
        socketMade_ = svr.bindToSocket(options_.socketPath);
        if (!socketMade_) {
            std::fprintf(stderr, "roduvede-sim: cannot listen on the socket %s: %s\n", options_.socketPath.c_str(),
                         options_.socketPath.size() > SimHttpServer::kMaxSocketPath
                             ? "the path is longer than a socket's address holds"
                             : std::strerror(errno));
            http_.reset();
            return false;
        }
    } else {
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
        svr.widenBacklog();
    }
    thread_ = std::thread([this] { http_->server.listen_after_bind(); });
    while (!http_->server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

// Before any route: a request without the client's secret is answered 403
// and its connection closed, nothing of it reaching a handler, so that it
// writes nothing to the books, the sessions or the request log. The secret
// is compared in time that does not depend on where it differs.
void SimServer::admitItsClientAlone() {
    const std::string expected = simSecretHeaderValue(options_.clientSecret);
    http_->server.set_pre_routing_handler([expected](const httplib::Request& req, httplib::Response& res) {
        const std::string given = req.get_header_value(kSimSecretHeader);
        if (given.size() == expected.size() && CRYPTO_memcmp(given.data(), expected.data(), given.size()) == 0)
            return httplib::Server::HandlerResponse::Unhandled;
        SimHttpServer::closeAfterReply();
        res.status = 403;
        res.set_header("Connection", "close");
        res.set_content("forbidden\n", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });
}

// The control routes (SimOptions::controlRoutes): for tests and the stand-alone program only.
void SimServer::serveControls() {
    auto& svr = http_->server;
    svr.Get(std::string("/sim/status"), [this](const httplib::Request&, httplib::Response& res) {
        StateLock lock(*this);
        // Counts only: nothing a session or a secret could be derived from. It
        // makes no room: a room's seeding time is the first request's that needs it.
        const auto* messages = rooms_.find<SimMessageRoom>();
        std::string s = "clock " + SimClock::format(clock_.now()) + "\nseed " + std::to_string(options_.seed) +
                        "\nsessions " + std::to_string(sessions_.size()) + "\nrequests " + std::to_string(log_.size()) +
                        "\nmessages " + (messages ? std::to_string(messages->messages.size()) : "-") + "\nbooks " +
                        (journal_ ? journal_->path() : std::string("in memory")) + "\n";
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
        std::optional<double> t, advance;
        bool readable = true;
        if (req.has_param("t")) readable = (t = finiteNumber(req.get_param_value("t"))).has_value();
        if (readable && req.has_param("advance"))
            readable = (advance = finiteNumber(req.get_param_value("advance"))).has_value();
        const double shown = t.value_or(clock_.now()) + advance.value_or(0);
        if (!readable || !SimClock::isValidTime(shown) || (t && !clock_.setTime(*t)) ||
            (advance && !clock_.advance(*advance))) {
            res.status = 400;
            res.set_content("not a time between 1970 and 9999 (t=seconds since 1970, advance=seconds)\n", "text/plain");
            return;
        }
        res.set_content(SimClock::format(clock_.now()) + "\n", "text/plain");
    });
}

void SimServer::stop() {
    hold_.close();  // a held reply must not keep its connection, and the stop, waiting
    if (!http_) return;
    http_->server.stop();
    if (thread_.joinable()) thread_.join();
    http_.reset();
    if (socketMade_) ::unlink(options_.socketPath.c_str());
    socketMade_ = false;
}

bool SimServer::serveConnection(int socket) {
    if (!http_) return false;
    http_->server.serveConnection(socket);
    return true;
}

bool SimServer::isRunning() const { return http_ && http_->server.is_running(); }

size_t SimServer::openConnections() const { return http_ ? http_->server.openConnections() : 0; }

std::string SimServer::url() const {
    if (!options_.socketPath.empty()) return kSimSocketURL;
    return "http://" + options_.host + ":" + std::to_string(port_);
}
