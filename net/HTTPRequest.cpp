#include "net/HTTPRequest.h"

#include <strings.h>

#include "net/HTTPEngine.h"

HTTPRequest::HTTPRequest(std::string url) : url_(std::move(url)) {}

std::shared_ptr<HTTPRequest> HTTPRequest::requestWithURL(std::string url) {
    return std::make_shared<HTTPRequest>(std::move(url));
}

void HTTPRequest::setPostBody(std::string body) {
    body_ = std::move(body);
    post_ = true;
}

void HTTPRequest::addRequestHeader(const std::string& name, const std::string& value) {
    headers_.emplace_back(name, value);
}

std::optional<std::string> HTTPRequest::responseHeader(const std::string& name) const {
    for (const auto& [k, v] : responseHeaders_)
        if (strcasecmp(k.c_str(), name.c_str()) == 0) return v;
    return std::nullopt;
}

void HTTPRequest::cancel() {
    if (cancelled_.exchange(true)) return;
    if (!finished_.load()) HTTPEngine::shared().cancel(this);
}

void HTTPRequest::applyResult(Result r) {
    status_ = r.status;
    error_ = std::move(r.error);
    errorCode_ = r.errorCode;
    timedOut_ = r.timedOut;
    couldNotConnect_ = r.couldNotConnect;
    responseHeaders_ = std::move(r.headers);
    data_ = std::move(r.data);
    bytesSent_ = r.sent;
    bytesReceived_ = r.received;
    finished_ = true;
}

void HTTPRequest::runCompletion() {
    if (cancelled_.load()) return;
    // The block may drop the last reference to this request.
    auto keep = shared_from_this();
    auto completion = std::move(completion_);
    completion_ = nullptr;
    if (completion) completion(*this);
}
