#pragma once
// The request service every screen owns: sends request texts with a request
// type and a tag, and calls its delegate back on the main loop with the reply
// bytes (deciphered, decompressed), the chart record sets, or an error object.
// The wire format is in ServiceProtocol.h.
//
// - Types: 1, 5, 7 enciphered with a compressed reply; 2 neither, one retry
//   after a transport failure; 3, 6 compressed reply; 4 enciphered; others neither.
// - Type 4 (orders, cancels, transfers, every change of the books) is never
//   sent again by the transport (a connection of its own, HTTPEngine.h). When
//   its line fails the owner gets the network error, and with it the fact
//   that the server may have taken it (ServiceErrors::mayHaveBeenTaken).
// - Session: every request names the service session "loginSession"
//   (VTAParamter). A session login (100/1) exchanges the session key and stores
//   the returned "session". When the server answers that the session timed out,
//   the service logs in again silently (with the last login text) and replays
//   every request that failed so, once each; if that fails, or the replay
//   times out again, the owner gets 102 "会话已超时，请稍后再试". An order (sent
//   with Replay::Never) is not replayed: its owner gets 102 once the silent
//   login has ended (the server did not take it; the customer confirms again,
//   under the new session). So an order reaches the server at most once for
//   each requestStr.
// - Chart caches: tags 1501 (intraday) and 1504 (K-line) keep the last good
//   reply of each request text; when the same text is sent again a delegate that
//   takes record sets first gets the cached copy under 1503 or 1506, then the
//   fresh reply under the request's own tag.
// - cancelRequest cancels this service's own requests only (another screen's
//   order reply must still arrive); NetworkManager::removeAllRequest cancels all.
// - The delegate is not owned: a weak_ptr, or a plain pointer that its owner
//   clears (or the owner destroys the service) before it goes. Destroying the
//   service cancels its requests.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/QZNetworkServiceDelegate.h"
#include "net/ServiceErrors.h"

class HTTPQueue;
class HTTPRequest;

class QZNetworkService {
public:
    QZNetworkService();                           // on NetworkManager's shared queue
    explicit QZNetworkService(HTTPQueue& queue);  // on another queue (the service client's)
    ~QZNetworkService();
    QZNetworkService(const QZNetworkService&) = delete;
    QZNetworkService& operator=(const QZNetworkService&) = delete;

    void setDelegate(QZNetworkServiceDelegate* delegate);
    void setDelegate(std::weak_ptr<QZNetworkServiceDelegate> delegate);
    QZNetworkServiceDelegate* delegate() const;

    void requestStr(const std::string& text, int type);  // tag -1
    void requestStr(const std::string& text, int type, int tag);
    // Whether a request the server refused for a timed-out session is sent
    // again after the silent login: every request but an order is.
    enum class Replay { AfterSilentLogin, Never };
    void requestStr(const std::string& text, int type, int tag, Replay replay);
    // Cancels this service's pending requests (no callback comes for them) and
    // forgets the last request.
    void cancelRequest();

    // ---- inspection, limits and the chart cache ----
    size_t pendingCount() const;
    const std::string& lastRequest() const { return lastRequest_; }
    void setTimeOutSeconds(double s) { timeout_ = s; }  // per request; default NetworkManager's
    // The largest reply body taken from the wire (after HTTP content decoding);
    // a longer one is cut off and ends as a network error, so a broken or
    // hostile server cannot fill the memory. Default kMaxReplyBytes.
    void setMaxReplyBytes(int64_t n) { maxReplyBytes_ = n > 0 ? n : kMaxReplyBytes; }
    int64_t maxReplyBytes() const { return maxReplyBytes_; }
    static constexpr int64_t kMaxReplyBytes = int64_t(64) << 20;
    static void clearChartCache();
    static constexpr int kIntradayTag = 1501, kIntradayCachedTag = 1503;
    static constexpr int kKLineTag = 1504, kKLineCachedTag = 1506;

    struct State;  // shared with the completions of its requests

private:
    friend class ServiceSession;
    void init(HTTPQueue& queue);
    std::shared_ptr<State> state_;
    std::string lastRequest_;
    double timeout_ = 0;
    int64_t maxReplyBytes_ = kMaxReplyBytes;
};
