#include "shell/RequestBinding.h"

#include <cassert>

#include "core/ParsedReply.h"
#include "core/RequestBuilder.h"
#include "core/VTATCRS.h"
#include "core/contracts/TradeContract.h"
#include "net/QZNetworkService.h"
#include "net/QZNetworkServiceDelegate.h"
#include "net/ServiceErrors.h"
#include "shell/TradeSession.h"
#include "ui/Alerts.h"

namespace {

// The fresh chart tag whose handler also takes the cached copy.
int boundTagOf(int tag) {
    if (tag == QZNetworkService::kIntradayCachedTag) return QZNetworkService::kIntradayTag;
    if (tag == QZNetworkService::kKLineCachedTag) return QZNetworkService::kKLineTag;
    return tag;
}

bool isChartTag(int tag) { return tag == QZNetworkService::kIntradayTag || tag == QZNetworkService::kKLineTag; }

}  // namespace

VTATCRS* RequestReply::set(size_t i) const { return sharedSet(i).get(); }

std::shared_ptr<VTATCRS> RequestReply::sharedSet(size_t i) const {
    if (i >= sets.size() || !sets[i]) return nullptr;
    sets[i]->fetchFirst();
    return sets[i];
}

// The service's delegate: forwards to the binding.
struct RequestBinding::Relay : QZNetworkServiceDelegate {
    explicit Relay(RequestBinding& b) : binding(b) {}
    RequestBinding& binding;

    void serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>& data, int tag) override {
        binding.deliverBytes(tag, data);
    }
    void serviceDidReceiveArray(QZNetworkService*, const std::vector<std::shared_ptr<VTATCRS>>& sets,
                                int tag) override {
        binding.deliver(tag, ParsedReply(sets), tag != boundTagOf(tag));
    }
    bool respondsToServiceDidReceiveArray() const override {
        for (const auto& [tag, b] : binding.bindings_)
            if (isChartTag(tag)) return true;
        return false;
    }
    void serviceDidNetworkError(QZNetworkService*, const NSError& error, int tag) override {
        binding.fail({RequestFailure::Kind::Network, tag, error.code(), error.localizedDescription()},
                     ServiceErrors::mayHaveBeenTaken(error));
    }
    void serviceDidServiceError(QZNetworkService*, const NSError& error, int tag) override {
        binding.fail({RequestFailure::Kind::Service, tag, error.code(), error.localizedDescription()},
                     ServiceErrors::mayHaveBeenTaken(error));
    }
};

RequestBinding::RequestBinding() : relay_(std::make_unique<Relay>(*this)) {}

RequestBinding::~RequestBinding() {
    // Destroying the service cancels what is pending; no callback comes after.
    if (service_) service_->setDelegate(static_cast<QZNetworkServiceDelegate*>(nullptr));
    service_.reset();
}

void RequestBinding::bindRequest(int tag, ReplyHandler handler) { bindRequest(tag, std::move(handler), Options{}); }

void RequestBinding::bindRequest(int tag, ReplyHandler handler, Options options) {
    assert(tag >= 0 && "request tags are the screen's own numbers, 0 or more");
    assert(tag != QZNetworkService::kIntradayCachedTag && tag != QZNetworkService::kKLineCachedTag &&
           "cached chart copies reach the handler of 1501 / 1504");
    Binding& b = bindings_[tag];
    b.handler = std::move(handler);
    b.options = options;
}

bool RequestBinding::isBound(int tag) const { return bindings_.count(tag) > 0; }

RequestBinding::Binding* RequestBinding::bindingOf(int tag) {
    auto it = bindings_.find(boundTagOf(tag));
    return it == bindings_.end() ? nullptr : &it->second;
}

QZNetworkService& RequestBinding::requestService() {
    if (!service_) {
        service_ = std::make_unique<QZNetworkService>();
        service_->setDelegate(static_cast<QZNetworkServiceDelegate*>(relay_.get()));
    }
    return *service_;
}

bool RequestBinding::sendRequest(int tag, const RequestBuilder& request, int type) {
    if (request.refused()) {
        showAlert(request.refusal());
        return false;
    }
    return sendRequest(tag, request.text(), type);
}

bool RequestBinding::sendRequest(int tag, const std::string& text, int type) {
    Binding* b = bindingOf(tag);
    assert(b && "a request is sent only under a bound tag");
    if (!b || text.empty()) return false;
    b->inFlight++;
    requestService().requestStr(text, type, tag,
                                b->options.order ? QZNetworkService::Replay::Never
                                                 : QZNetworkService::Replay::AfterSilentLogin);
    return true;
}

bool RequestBinding::isRequestInFlight(int tag) const {
    auto it = bindings_.find(tag);
    return it != bindings_.end() && it->second.inFlight > 0;
}

bool RequestBinding::hasRequestInFlight() const {
    for (const auto& [tag, b] : bindings_)
        if (b.inFlight > 0) return true;
    return false;
}

void RequestBinding::cancelRequests() {
    std::string orderLost;
    for (auto& [tag, b] : bindings_) {
        if (b.inFlight > 0 && b.options.order && orderLost.empty()) orderLost = unknownOutcomeText(b);
        b.inFlight = 0;
    }
    if (service_) service_->cancelRequest();
    if (!orderLost.empty()) showAlert(orderLost);
}

std::string RequestBinding::unknownOutcomeText(const Binding& b) {
    return b.options.unknownOutcomeText ? b.options.unknownOutcomeText : kOrderLeftText;
}

void RequestBinding::landed(int tag) {
    if (Binding* b = bindingOf(tag); b && b->inFlight > 0) b->inFlight--;
}

void RequestBinding::fail(RequestFailure failure, bool mayHaveBeenTaken) {
    landed(failure.tag);
    if (const Binding* b = bindingOf(failure.tag); b && b->options.order) {
        if (mayHaveBeenTaken) {
            failure.text = unknownOutcomeText(*b);
            failure.outcomeUnknown = true;
        } else if (failure.kind == RequestFailure::Kind::Service &&
                   failure.code == ServiceErrors::kSessionTimeout) {
            // Refused unread for a session that had ended, and not replayed.
            failure.text = kOrderNotTakenText;
        }
    }
    requestDidFail(failure);
}

void RequestBinding::deliverBytes(int tag, const std::vector<uint8_t>& data) {
    ParsedReply reply(data);
    if (!reply.readable()) {
        fail({RequestFailure::Kind::Unreadable, tag, 0, kUnreadableText}, true);
        return;
    }
    deliver(tag, reply, false, &data);
}

void RequestBinding::deliver(int tag, const ParsedReply& reply, bool cached, const std::vector<uint8_t>* bytes) {
    if (!cached) landed(tag);
    Binding* b = bindingOf(tag);
    if (!b) return;  // a reply nobody waits for (never sent by this screen)
    if (reply.isError() && reply.errorCode() == TradeContract::Error::kSessionEndedCode) {
        if (!cached) tradeSessionRefused(tag, reply.errorText());
        return;
    }
    if (!b->options.handlesErrorSet && reply.isError()) {
        if (cached) return;
        requestDidFail({RequestFailure::Kind::ErrorSet, tag, reply.errorCode(), reply.errorText()});
        return;
    }
    // The handler may end the screen: keep what it needs out of the binding.
    ReplyHandler handler = b->handler;
    if (handler) handler(RequestReply{tag, reply.sets(), cached, bytes});
}

void RequestBinding::tradeSessionRefused(int tag, const std::string& text) {
    // Told already when an earlier refusal (or the idle lock) ended the session.
    const bool told = !hasTradeSession();
    const Binding* b = bindingOf(tag);
    const bool quietTag = b && b->options.quiet;
    RequestFailure failure{RequestFailure::Kind::ErrorSet, tag, TradeContract::Error::kSessionEndedCode, text};
    failure.quiet = told || quietTag;
    // The screen ends what the request began (and tells the customer); the
    // trade screens close after it, which may end this screen too: nothing of
    // the binding is used past this point.
    requestDidFail(failure);
    endTradeSession();
    if (quietTag && !told) showAlert(text);
}

void RequestBinding::requestDidFail(const RequestFailure& failure) {
    const Binding* b = bindingOf(failure.tag);
    if ((b && b->options.quiet) || failure.quiet) return;
    showAlert(failure.text);
}
