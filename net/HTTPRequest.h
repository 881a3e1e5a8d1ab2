#pragma once
// One HTTP request of our engine: a POST of a form body (or a GET when no body
// is set) to a URL, run on the network thread by HTTPEngine, with its result
// handed back on the main run loop.
//
// Life of a request: made and configured on the main thread, added to an
// HTTPQueue, started by the queue when one of its slots is free, completed on
// the network thread, and its completion block then runs on the main loop.
// After cancel() (main thread) the completion block is never called.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class HTTPRequest : public std::enable_shared_from_this<HTTPRequest> {
public:
    using Completion = std::function<void(HTTPRequest&)>;

    explicit HTTPRequest(std::string url);
    static std::shared_ptr<HTTPRequest> requestWithURL(std::string url);

    // ---- configuration (before the request is queued) ----
    const std::string& url() const { return url_; }
    void setURL(std::string url) { url_ = std::move(url); }
    // A form body: the request becomes a POST with
    // Content-Type application/x-www-form-urlencoded. The text is sent as it is.
    void setPostBody(std::string body);
    const std::string& postBody() const { return body_; }
    bool isPost() const { return post_; }
    void addRequestHeader(const std::string& name, const std::string& value);
    const std::vector<std::pair<std::string, std::string>>& requestHeaders() const { return headers_; }
    void setUserAgent(std::string agent) { userAgent_ = std::move(agent); }
    const std::string& userAgent() const { return userAgent_; }
    // Whole transfer limit in seconds of the application's clock (connect
    // included), counted from the start of the transfer; 0 means none.
    void setTimeOutSeconds(double s) { timeout_ = s; }
    double timeOutSeconds() const { return timeout_; }
    // Bandwidth hook: caps the receiving speed (bytes per second, 0 = no cap).
    void setMaxBytesPerSecond(int64_t bps) { maxBytesPerSecond_ = bps; }
    int64_t maxBytesPerSecond() const { return maxBytesPerSecond_; }
    // Largest reply body taken (bytes, 0 = no limit): a longer reply fails the
    // request instead of filling memory.
    void setMaxResponseBytes(int64_t n) { maxResponseBytes_ = n; }
    int64_t maxResponseBytes() const { return maxResponseBytes_; }
    // Whether the transport may send the request again by itself. A request
    // that changes the brokerage's books is not: it goes out on a connection
    // of its own, never on a kept-alive one, and is never re-sent below the
    // request service, whatever happens to the line (see HTTPEngine.h).
    void setRepeatable(bool repeatable) { repeatable_ = repeatable; }
    bool isRepeatable() const { return repeatable_; }
    // Runs on the main loop when the request has finished or failed (not after cancel()).
    void setCompletionBlock(Completion c) { completion_ = std::move(c); }
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }

    // ---- result (valid in the completion block) ----
    bool failed() const { return !error_.empty(); }
    const std::string& errorText() const { return error_; }  // transport failure, "" when none
    int errorCode() const { return errorCode_; }             // libcurl's code, 0 when none
    bool timedOut() const { return timedOut_; }
    // Whether the failure happened before any byte reached the server (no route,
    // refused connection): reachability reads this.
    bool couldNotConnect() const { return couldNotConnect_; }
    int responseStatusCode() const { return status_; }
    // Reply headers, names compared without regard to case; nullopt when absent.
    std::optional<std::string> responseHeader(const std::string& name) const;
    const std::vector<uint8_t>& responseData() const { return data_; }
    // The reply's content coding as sent by the server ("gzip"...), "" when none.
    std::string contentEncoding() const { return responseHeader("Content-Encoding").value_or(""); }
    int64_t bytesSent() const { return bytesSent_; }
    int64_t bytesReceived() const { return bytesReceived_; }

    // ---- control ----
    // Stops the transfer (if running) and guarantees that the completion block
    // will not run. Call on the main thread.
    void cancel();
    bool isCancelled() const { return cancelled_.load(); }
    bool isFinished() const { return finished_.load(); }

    // The engine's side (not for callers).
    struct Result {
        int status = 0;
        std::string error;
        int errorCode = 0;
        bool timedOut = false;
        bool couldNotConnect = false;
        std::vector<std::pair<std::string, std::string>> headers;
        std::vector<uint8_t> data;
        int64_t sent = 0;
        int64_t received = 0;
    };
    void applyResult(Result r);  // main thread, before the completion runs
    void runCompletion();        // main thread

private:
    std::string url_;
    std::string body_;
    bool post_ = false;
    std::vector<std::pair<std::string, std::string>> headers_;
    std::string userAgent_;
    double timeout_ = 30;
    int64_t maxBytesPerSecond_ = 0;
    int64_t maxResponseBytes_ = 0;
    bool repeatable_ = true;
    Completion completion_;
    int tag_ = 0;

    int status_ = 0;
    std::string error_;
    int errorCode_ = 0;
    bool timedOut_ = false;
    bool couldNotConnect_ = false;
    std::vector<std::pair<std::string, std::string>> responseHeaders_;
    std::vector<uint8_t> data_;
    int64_t bytesSent_ = 0;
    int64_t bytesReceived_ = 0;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
};
