#pragma once
// The one network thread of the application: it runs every HTTP transfer on
// libcurl's multi interface and hands each result back to the main run loop.
//
// Transfers: POST of the request's form body (GET without one), the user
// agent and headers of the request, any content coding libcurl can inflate
// (gzip, deflate) accepted and inflated, proxies as libcurl takes them from
// the environment; never credentials from ~/.netrc. The request's time-out is
// its queue's (HTTPQueue.h), kept on the application's clock: the engine ends
// a transfer as timed out when told to (timeOut).
//
// Re-sending: libcurl sends a request again by itself when it went out on a
// kept-alive connection that turned out dead before a byte of the reply came
// (Curl_retry_request: a connection marked reused, nothing received, up to 5
// times, each try free to take another kept-alive connection of the pool),
// when an HTTP/2 stream was refused, and it follows redirects with the body.
// A request that is not repeatable (HTTPRequest::setRepeatable(false)) shuts
// every one of these roads: a new connection of its own (never a reused one,
// so the retry's condition cannot hold), closed after it, HTTP/1.1 only and
// no redirects. It reaches the server at most once; when the line fails, its
// owner learns it and decides (the request service never repeats it either).
// Other requests keep the kept-alive connections and libcurl's re-sending.
// Thread use: start() and cancel() may be called from any thread; the `done`
// callback runs on the main loop exactly once per started request, also for a
// cancelled one (whose owner then only frees its slot).
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "net/HTTPRequest.h"

class HTTPEngine {
public:
    static HTTPEngine& shared();

    using Done = std::function<void(HTTPRequest::Result)>;
    void start(const std::shared_ptr<HTTPRequest>& request, Done done);
    // The request is one a shared_ptr owns (HTTPRequest::requestWithURL); a
    // cancel reaches it only while it still exists.
    void cancel(HTTPRequest* request);
    // Ends the request's transfer, if it still runs, as one whose time ran
    // out: its `done` gets a failure marked timedOut. A transfer that ended
    // first keeps its own result.
    void timeOut(HTTPRequest* request);
    // Number of transfers started whose answer the main loop has not yet run
    // (or dropped unrun): running, about to run, or answered and waiting.
    size_t activeCount() const;
    // The origin of the server the client embeds, and what every request
    // started from now on to it (to the origin of `url`: its scheme, host
    // and port as libcurl reads them) takes: the header `headerName:
    // headerValue`, the client's secret, and with a `socketPath` a
    // connection to that Unix-domain socket instead of the host and port
    // (the embedded server listens on no port: its URL only names it). Those
    // requests go straight to it, never through a proxy, and take a redirect
    // as their answer (the server's own never redirects); a request to any
    // other origin has none of it. Nothing logs the header. One origin at a
    // time; an empty url forgets it.
    struct PrivateOrigin {
        std::string url;
        std::string socketPath;  // "" connects to the URL's host and port
        std::string headerName, headerValue;
    };
    void setPrivateOrigin(const PrivateOrigin& origin);

    ~HTTPEngine();
    HTTPEngine(const HTTPEngine&) = delete;
    HTTPEngine& operator=(const HTTPEngine&) = delete;

private:
    HTTPEngine();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A reply's header lines as libcurl hands them over, one at a time. A status
// line ("HTTP/...") starts a new reply (after a redirect or 100-continue), so
// the headers read so far are forgotten.
bool isStatusLine(const std::string& line);
// Name and value of a "Name: value" line, blanks trimmed; nullopt for a status
// line, the blank line ending the block, or a line without a name and colon.
std::optional<std::pair<std::string, std::string>> parseReplyHeaderLine(const std::string& line);
