#pragma once
// Requests bound by tag: how a screen talks to the server.
//
// A screen binds each kind of request it sends to a tag and a handler, once
// (in its constructor or set-up), then sends by tag:
//
//   bindRequest(kSearchTag, [this](const RequestReply& r) { showResults(r.first()); });
//   ...
//   RequestBuilder q(QuoteContract::kSearch);
//   q.add(QuoteContract::Key::kKey, typed);
//   sendRequest(kSearchTag, q, 3);
//
// The binding owns the request service (made on first use, destroyed with
// the screen, which cancels what is pending) and parses every reply once:
// - a reply that does not parse goes down the failure road as "数据解析错误";
// - an error set (set 0) goes down the failure road with its own text, unless
//   the tag was bound with handlesErrorSet (the risk re-ask reads "88001");
// - an error set that says the server no longer knows the trade session
//   (TradeContract::Error::kSessionEndedCode), whatever the tag, goes down
//   the failure road with its text, and then the trade session ends as the
//   idle trade lock ends it (endTradeSession of shell/TradeSession.h): the
//   trade screens close and the next trade link logs in again. The customer
//   is told once, under a quiet tag too; a later such refusal, with the
//   session gone, comes marked quiet (RequestFailure::quiet);
// - network and service failures go down the failure road with the error's
//   description;
// - everything else reaches the handler of its own tag, and only that one: a
//   late query reply is never taken for an order's reply.
// The failure road (requestDidFail) shows an alert with the failure's text by
// default; a screen overrides it to do more (end an order state, keep a form).
// A quiet tag (a background refresh) fails without an alert.
//
// The chart tags 1501 (intraday) and 1504 (K-line) come as record sets the
// service parsed; their cached copies (1503, 1506) reach the same handler
// first, marked `cached`.
//
// Orders: a tag bound as an order is sent with a request type that the
// transport never repeats (4), and is not replayed after a silent re-login
// (the customer is told it was not taken: kOrderNotTakenText). When its line
// fails after it left (a time-out, a connection lost, an answer that cannot
// be read), the brokerage may have taken it: the failure road then carries the order's own text telling where to look
// (unknownOutcomeText, by default the day's orders: kOrderLeftText) in place
// of the error's, so the customer learns one outcome: taken, refused, or not
// known with where to find it.
// Leaving: the base screens call cancelRequests() when they leave the screen.
// A tag bound as an order that is still in flight then cannot be answered any
// more: the customer is told where to look in the same words.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class ParsedReply;
class QZNetworkService;
class RequestBuilder;
class VTATCRS;

using RecordSets = std::vector<std::shared_ptr<VTATCRS>>;

struct RequestReply {
    int tag = 0;  // the tag the reply came under (1503 / 1506 for cached chart copies)
    const RecordSets& sets;
    bool cached = false;  // a cached chart copy; the fresh reply follows
    // The reply's bytes as they arrived (null for the chart tags, whose sets
    // the service parsed): for a reply kept as it is, like the menu file.
    const std::vector<uint8_t>* bytes = nullptr;
    // Set i with its cursor on the first record; null when the reply has fewer sets.
    VTATCRS* set(size_t i) const;
    VTATCRS* first() const { return set(0); }
    std::shared_ptr<VTATCRS> sharedSet(size_t i) const;
};

struct RequestFailure {
    enum class Kind {
        Unreadable,  // the reply did not parse as record sets
        ErrorSet,    // the server answered an error set
        Network,     // transport failure (time-out, no connection ...)
        Service,     // the request road's own failures (101 to 105)
    };
    Kind kind = Kind::Unreadable;
    int tag = 0;
    int64_t code = 0;  // the error set's code, or the error's code
    std::string text;  // what the customer is shown
    // An order's line failed after it left: it may have been taken, and the
    // text says where to look.
    bool outcomeUnknown = false;
    // Nothing to show: the customer has been told already.
    bool quiet = false;
};

class RequestBinding {
public:
    static constexpr const char* kUnreadableText = "数据解析错误";
    static constexpr const char* kOrderLeftText = "委托已发出，请进入当日委托查询结果";
    // An order the server refused because the session had ended: the service
    // logged in again but does not send the order again by itself.
    static constexpr const char* kOrderNotTakenText = "连接已超时，本次请求未受理，请重新提交";

    struct Options {
        bool order = false;            // changes the books: an unknown outcome tells where to look
        bool handlesErrorSet = false;  // the handler receives error sets itself
        bool quiet = false;            // failures show nothing (still reported to requestDidFail)
        // An order's text for an outcome not known here (null: kOrderLeftText).
        const char* unknownOutcomeText = nullptr;
    };
    using ReplyHandler = std::function<void(const RequestReply&)>;

    RequestBinding();
    virtual ~RequestBinding();
    RequestBinding(const RequestBinding&) = delete;
    RequestBinding& operator=(const RequestBinding&) = delete;

    // Binds (or binds anew) a tag. Tags are the screen's own numbers, 0 or more.
    void bindRequest(int tag, ReplyHandler handler);
    void bindRequest(int tag, ReplyHandler handler, Options options);
    bool isBound(int tag) const;

    // Sends a request under a bound tag with a request type (QZNetworkService).
    // A refused builder shows its refusal and sends nothing; answers whether
    // the request went out.
    bool sendRequest(int tag, const RequestBuilder& request, int type);
    bool sendRequest(int tag, const std::string& text, int type);

    bool isRequestInFlight(int tag) const;
    bool hasRequestInFlight() const;
    // Cancels every request of this screen (no reply comes for them); tells
    // the customer when an order was among them.
    void cancelRequests();

    // A reply that arrived for the tag, handled as the service's replies are
    // (tests feed crafted bytes through it).
    void receiveReply(int tag, const std::vector<uint8_t>& bytes) { deliverBytes(tag, bytes); }

    // The screen's request service, made on first use.
    QZNetworkService& requestService();
    bool hasRequestService() const { return service_ != nullptr; }

protected:
    // The failure road. Default: an alert with the text (none for quiet tags).
    virtual void requestDidFail(const RequestFailure& failure);

private:
    struct Binding {
        ReplyHandler handler;
        Options options;
        int inFlight = 0;
    };
    struct Relay;
    friend struct Relay;

    Binding* bindingOf(int tag);
    static std::string unknownOutcomeText(const Binding& b);
    // The failure road of a request that ended without a usable reply.
    void fail(RequestFailure failure, bool mayHaveBeenTaken);
    void deliver(int tag, const ParsedReply& reply, bool cached, const std::vector<uint8_t>* bytes = nullptr);
    void deliverBytes(int tag, const std::vector<uint8_t>& data);
    void tradeSessionRefused(int tag, const std::string& text);
    void landed(int tag);

    std::map<int, Binding> bindings_;
    std::unique_ptr<Relay> relay_;
    std::unique_ptr<QZNetworkService> service_;
};
