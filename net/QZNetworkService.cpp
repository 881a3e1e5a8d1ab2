#include "net/QZNetworkService.h"

#include <list>

#include "core/ParsedReply.h"
#include "core/VTATCRS.h"
#include "core/contracts/SystemContract.h"
#include "core/security/VTACoder.h"
#include "net/HTTPQueue.h"
#include "net/HTTPRequest.h"
#include "net/NetworkActivityIndicator.h"
#include "net/NetworkManager.h"
#include "net/ServiceProtocol.h"
#include "net/ServiceSession.h"
#include "platform/foundation/RunLoop.h"

namespace {

// The chart cache: the last good reply bytes per request text, for the chart
// tags. Small and process-wide, so that a quote page opened again shows its
// chart at once.
class ChartCache {
public:
    static ChartCache& shared() {
        static ChartCache c;
        return c;
    }
    const std::vector<uint8_t>* find(const std::string& key) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->first == key) {
                entries_.splice(entries_.begin(), entries_, it);
                return &entries_.front().second;
            }
        }
        return nullptr;
    }
    void store(const std::string& key, std::vector<uint8_t> bytes) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->first == key) {
                entries_.erase(it);
                break;
            }
        }
        entries_.emplace_front(key, std::move(bytes));
        while (entries_.size() > kCapacity) entries_.pop_back();
    }
    void clear() { entries_.clear(); }

private:
    static constexpr size_t kCapacity = 32;
    std::list<std::pair<std::string, std::vector<uint8_t>>> entries_;
};

int cachedTagFor(int tag) {
    if (tag == QZNetworkService::kIntradayTag) return QZNetworkService::kIntradayCachedTag;
    if (tag == QZNetworkService::kKLineTag) return QZNetworkService::kKLineCachedTag;
    return 0;
}

bool isLoginText(const std::string& text) { return ServiceProtocol::functionNumbers(text) == std::make_pair(100, 1); }

NSError networkError(const HTTPRequest& r) {
    if (r.timedOut()) return NSError(ServiceErrors::kNetworkDomain, ServiceErrors::kTimedOut, "网络请求超时，请稍后再试");
    if (r.failed())
        return NSError(ServiceErrors::kNetworkDomain,
                       r.couldNotConnect() ? ServiceErrors::kCannotConnect : ServiceErrors::kConnectionLost,
                       "网络连接失败，请检查网络设置");
    return NSError(ServiceErrors::kNetworkDomain, r.responseStatusCode(),
                   "服务器响应错误(" + std::to_string(r.responseStatusCode()) + ")");
}

// A request of another queue whose silent re-login was cancelled by removeAllRequest.
NSError interruptedError() {
    return NSError(ServiceErrors::kNetworkDomain, ServiceErrors::kCancelled, "网络请求已取消，请稍后再试");
}

}  // namespace

struct QZNetworkService::State : std::enable_shared_from_this<QZNetworkService::State> {
    struct Call {
        std::string text;
        int type = 0;
        int tag = -1;
        int attempt = 0;          // transport retries done (type 2)
        bool replayed = false;    // already replayed after a silent re-login
        bool replayable = true;   // may be replayed after a silent re-login
        std::string sentSession;  // the service session the last send carried
        bool active = false;      // counted by the activity indicator
        std::shared_ptr<HTTPRequest> http;
    };

    QZNetworkService* owner = nullptr;
    HTTPQueue* queue = nullptr;
    QZNetworkServiceDelegate* rawDelegate = nullptr;
    std::weak_ptr<QZNetworkServiceDelegate> weakDelegate;
    bool weak = false;
    std::map<int, Call> calls;
    int nextId = 1;
    double timeout = 0;
    int64_t maxReplyBytes = QZNetworkService::kMaxReplyBytes;

    std::shared_ptr<QZNetworkServiceDelegate> delegate() const {
        if (weak) return weakDelegate.lock();
        // A plain pointer: a non-owning handle.
        return std::shared_ptr<QZNetworkServiceDelegate>(std::shared_ptr<void>(), rawDelegate);
    }

    void endActivity(Call& c) {
        if (c.active) {
            c.active = false;
            NetworkActivityIndicator::shared().requestEnded();
        }
    }

    void send(int id);
    void onReply(int id, HTTPRequest& r);
    void deliverCached(int id, int cachedTag, std::vector<uint8_t> bytes);
    void deliverData(const Call& c, const std::vector<uint8_t>& data);
    void deliverError(const Call& c, const NSError& e, bool network);
    void cancelAll();
};

void QZNetworkService::State::send(int id) {
    auto it = calls.find(id);
    if (it == calls.end()) return;
    Call& c = it->second;
    std::string text = c.text;
    if (isLoginText(text)) {
        auto fields = ServiceProtocol::parseFields(text);
        if (!ServiceProtocol::fieldValue(fields, "TC_KEY")) {
            if (auto key = VTACoder::sessionKeyExchangeText()) text += "&TC_KEY=" + *key;
        }
    }
    c.sentSession = ServiceSession::shared().session();
    auto body = ServiceProtocol::buildBody(text, c.type, c.sentSession,
                                           [](const std::string& plain) { return VTACoder::encryptString(plain); });
    auto& manager = NetworkManager::manager();
    auto http = HTTPRequest::requestWithURL(manager.currentURL());
    http->setPostBody(std::move(body.text));
    http->setUserAgent(ServiceProtocol::kUserAgent);
    http->addRequestHeader(ServiceProtocol::kPackageHeader, std::to_string(manager.nextPackageId()));
    http->setTimeOutSeconds(timeout > 0 ? timeout : manager.timeOutSeconds());
    http->setMaxResponseBytes(maxReplyBytes);
    http->setTag(c.tag);
    http->setRepeatable(ServiceProtocol::requestType(c.type).repeatable);
    std::weak_ptr<State> weakSelf = shared_from_this();
    http->setCompletionBlock([weakSelf, id](HTTPRequest& r) {
        if (auto self = weakSelf.lock()) self->onReply(id, r);
    });
    c.http = http;
    if (!c.active) {
        c.active = true;
        NetworkActivityIndicator::shared().requestStarted();
    }
    queue->addOperation(http);
}

void QZNetworkService::State::deliverData(const Call& c, const std::vector<uint8_t>& data) {
    auto d = delegate();
    if (!d || !owner) return;
    int cachedTag = cachedTagFor(c.tag);
    if (cachedTag == 0) {
        d->serviceDidReceiveData(owner, data, c.tag);
        return;
    }
    ParsedReply reply(data);
    if (reply.ok() && !reply.sets().empty()) ChartCache::shared().store(c.text, data);
    if (!d->respondsToServiceDidReceiveArray()) {
        d->serviceDidReceiveData(owner, data, c.tag);
    } else if (!reply.readable()) {
        d->serviceDidServiceError(owner, ServiceErrors::serviceError(ServiceErrors::kResponseDataException), c.tag);
    } else {
        d->serviceDidReceiveArray(owner, reply.sets(), c.tag);
    }
}

void QZNetworkService::State::deliverError(const Call& c, const NSError& e, bool network) {
    auto d = delegate();
    if (!d || !owner) return;
    if (network)
        d->serviceDidNetworkError(owner, e, c.tag);
    else
        d->serviceDidServiceError(owner, e, c.tag);
}

void QZNetworkService::State::deliverCached(int id, int cachedTag, std::vector<uint8_t> bytes) {
    // Only while the request is still pending (not cancelled, not answered).
    if (!calls.count(id)) return;
    auto d = delegate();
    if (!d || !owner || !d->respondsToServiceDidReceiveArray()) return;
    ParsedReply reply(bytes);
    if (!reply.readable()) return;
    d->serviceDidReceiveArray(owner, reply.sets(), cachedTag);
}

void QZNetworkService::State::onReply(int id, HTTPRequest& r) {
    auto it = calls.find(id);
    if (it == calls.end()) return;
    auto keep = shared_from_this();  // a callback may destroy the service
    Call& c = it->second;
    auto& manager = NetworkManager::manager();
    manager.addTraffic(r.bytesSent(), r.bytesReceived());
    auto finishWith = [&](auto deliver) {
        Call done = std::move(c);
        endActivity(done);
        calls.erase(id);
        deliver(done);
    };

    if (r.failed()) {
        manager.reportTransfer(!r.couldNotConnect());
        if (ServiceProtocol::requestType(c.type).retryOnce && c.attempt == 0) {
            c.attempt++;
            send(id);
            return;
        }
        NSError e = networkError(r);
        finishWith([&](const Call& done) { deliverError(done, e, true); });
        return;
    }
    manager.reportTransfer(true);
    if (r.responseStatusCode() != 200) {
        NSError e = networkError(r);
        finishWith([&](const Call& done) { deliverError(done, e, true); });
        return;
    }
    auto serviceFailure = [&](int code) {
        finishWith([&](const Call& done) { deliverError(done, ServiceErrors::serviceError(code), false); });
    };
    auto flags = ServiceProtocol::parseEtag(r.responseHeader("Etag"));
    if (!flags) return serviceFailure(ServiceErrors::kNoFlag);
    if (flags->status == ServiceProtocol::kStatusSessionTimeout) {
        if (isLoginText(c.text) || c.replayed) return serviceFailure(ServiceErrors::kSessionTimeout);
        c.replayed = true;
        // An order is not replayed: the server did not take it, and the
        // customer, told so, confirms again under the new session if still wanted.
        const bool replay = c.replayable;
        // Sent under a session that a login has replaced since: replay it
        // under the new one rather than logging in once more.
        auto& session = ServiceSession::shared();
        if (!session.isLoggingIn() && !session.session().empty() && session.session() != c.sentSession) {
            if (!replay) return serviceFailure(ServiceErrors::kSessionTimeout);
            send(id);
            return;
        }
        endActivity(c);
        // The owner hears of an order only once the login ended, so that a
        // second confirmation goes under the new session.
        std::weak_ptr<State> weakSelf = shared_from_this();
        ServiceSession::shared().waitForLogin([weakSelf, id, replay](ServiceSession::LoginResult result) {
            auto self = weakSelf.lock();
            if (!self || !self->calls.count(id)) return;  // cancelled meanwhile
            if (result == ServiceSession::LoginResult::LoggedIn && replay) {
                self->send(id);
                return;
            }
            Call done = std::move(self->calls[id]);
            self->calls.erase(id);
            if (result == ServiceSession::LoginResult::Interrupted)
                self->deliverError(done, interruptedError(), true);
            else
                self->deliverError(done, ServiceErrors::serviceError(ServiceErrors::kSessionTimeout), false);
        });
        return;
    }
    if (flags->status != ServiceProtocol::kStatusOK) return serviceFailure(ServiceErrors::kResponseDataException);

    std::vector<uint8_t> data = r.responseData();
    if (flags->enciphered) {
        auto plain = VTACoder::decryptData(data);
        if (!plain) return serviceFailure(ServiceErrors::kDecryptDataError);
        data = std::move(*plain);
    }
    if (flags->compressed) {
        auto inflated = VTACoder::uncompressData(data);
        if (!inflated) return serviceFailure(ServiceErrors::kDecompressionDataError);
        data = std::move(*inflated);
    }
    if (isLoginText(c.text)) {
        ParsedReply reply(data);
        auto* first = reply.firstRecord();
        if (first && first->fieldsIndexWithName(SystemContract::Col::kSession) >= 0)
            ServiceSession::shared().setSession(
                first->toStringWithFieldName(SystemContract::Col::kSession).value_or(""));
    }
    finishWith([&](const Call& done) { deliverData(done, data); });
}

void QZNetworkService::State::cancelAll() {
    auto pending = std::move(calls);
    calls.clear();
    for (auto& [id, c] : pending) {
        endActivity(c);
        if (c.http) queue->cancelOperation(c.http);
    }
}

QZNetworkService::QZNetworkService() { init(NetworkManager::manager().queue()); }

QZNetworkService::QZNetworkService(HTTPQueue& queue) { init(queue); }

void QZNetworkService::init(HTTPQueue& queue) {
    state_ = std::make_shared<State>();
    state_->owner = this;
    state_->queue = &queue;
    std::weak_ptr<State> weakState = state_;
    NetworkManager::manager().addRemoveAllObserver(this, [weakState] {
        auto s = weakState.lock();
        // Services on another queue (the service client's) keep their requests.
        if (s && s->queue == &NetworkManager::manager().queue()) {
            // The queue has already dropped the transfers: only forget them.
            for (auto& [id, c] : s->calls) s->endActivity(c);
            s->calls.clear();
        }
    });
}

QZNetworkService::~QZNetworkService() {
    NetworkManager::manager().removeRemoveAllObserver(this);
    state_->owner = nullptr;
    state_->cancelAll();
}

void QZNetworkService::setDelegate(QZNetworkServiceDelegate* delegate) {
    state_->weak = false;
    state_->weakDelegate.reset();
    state_->rawDelegate = delegate;
}

void QZNetworkService::setDelegate(std::weak_ptr<QZNetworkServiceDelegate> delegate) {
    state_->weak = true;
    state_->rawDelegate = nullptr;
    state_->weakDelegate = std::move(delegate);
}

QZNetworkServiceDelegate* QZNetworkService::delegate() const { return state_->delegate().get(); }

void QZNetworkService::requestStr(const std::string& text, int type) { requestStr(text, type, -1); }

void QZNetworkService::requestStr(const std::string& text, int type, int tag) {
    requestStr(text, type, tag, Replay::AfterSilentLogin);
}

void QZNetworkService::requestStr(const std::string& text, int type, int tag, Replay replay) {
    lastRequest_ = text;
    if (isLoginText(text)) ServiceSession::shared().rememberLogin(text, type);
    int id = state_->nextId++;
    State::Call c;
    c.text = text;
    c.type = type;
    c.tag = tag;
    c.replayable = replay == Replay::AfterSilentLogin;
    state_->calls.emplace(id, std::move(c));
    state_->timeout = timeout_;
    state_->maxReplyBytes = maxReplyBytes_;
    if (int cachedTag = cachedTagFor(tag)) {
        if (const auto* cached = ChartCache::shared().find(text)) {
            std::weak_ptr<State> weakState = state_;
            RunLoop::main().post([weakState, id, cachedTag, bytes = *cached] {
                if (auto s = weakState.lock()) s->deliverCached(id, cachedTag, bytes);
            });
        }
    }
    state_->send(id);
}

void QZNetworkService::cancelRequest() {
    state_->cancelAll();
    lastRequest_.clear();
}

size_t QZNetworkService::pendingCount() const { return state_->calls.size(); }

void QZNetworkService::clearChartCache() { ChartCache::shared().clear(); }
