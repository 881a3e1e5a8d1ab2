#pragma once
// The service client (sharedManager): own-stock synchronisation (3710),
// pushed messages (3780), the long text of a message and the push-token
// registration (3730), on a request queue of its own (at most 4 at once).
//
// Each request is answered to the delegate given with it: the `service...`
// form first, then the `xservice...` form. Delegates are not owned: pass a
// weak_ptr, or a plain pointer whose owner calls cancelForDelegate() before it
// goes; cancelForDelegate() drops EVERY pending answer to that delegate (the
// requests still reach the server).
//
// Pushed messages: requestNoConfirmWithoutDelegate() fetches the messages the
// server has not had confirmed (3780/2), stores the batch in one transaction
// on the main loop (messages already stored are passed over), trims the store
// to QZUtil::maxMessageExpressAmount(), then confirms the receipt of the
// stored ones that ask for it (3780/3 with "detailmsg_id" ids joined by "|")
// and posts "NewMessageExpressNotification". An error set, an empty reply or
// a failed store changes nothing, confirms nothing and posts nothing.
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "net/HTTPQueue.h"
#include "net/ServiceErrors.h"

class XXNetworkManager;

class XXNetworkManagerDelegate {
public:
    virtual ~XXNetworkManagerDelegate() = default;
    virtual void serviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) {
        (void)manager;
        (void)data;
        (void)tag;
    }
    virtual void serviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) {
        (void)manager;
        (void)error;
        (void)tag;
    }
    virtual void serviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) {
        (void)manager;
        (void)error;
        (void)tag;
    }
    virtual void xserviceDidReceiveData(XXNetworkManager* manager, const std::vector<uint8_t>& data, int tag) {
        (void)manager;
        (void)data;
        (void)tag;
    }
    virtual void xserviceDidNetworkError(XXNetworkManager* manager, const NSError& error, int tag) {
        (void)manager;
        (void)error;
        (void)tag;
    }
    virtual void xserviceDidServiceError(XXNetworkManager* manager, const NSError& error, int tag) {
        (void)manager;
        (void)error;
        (void)tag;
    }
};

// A delegate reference that is either weak or a plain pointer.
class XXDelegateRef {
public:
    XXDelegateRef() = default;
    XXDelegateRef(std::nullptr_t) {}
    XXDelegateRef(XXNetworkManagerDelegate* raw) : raw_(raw) {}
    template <class T, class = std::enable_if_t<std::is_convertible_v<T*, XXNetworkManagerDelegate*>>>
    XXDelegateRef(const std::shared_ptr<T>& d) : weak_(d), isWeak_(true), raw_(d.get()) {}
    template <class T, class = std::enable_if_t<std::is_convertible_v<T*, XXNetworkManagerDelegate*>>>
    XXDelegateRef(const std::weak_ptr<T>& d) : weak_(d), isWeak_(true), raw_(weak_.lock().get()) {}
    // A strong handle for the time of a call (non-owning for plain pointers); null when gone.
    std::shared_ptr<XXNetworkManagerDelegate> lock() const {
        if (isWeak_) return weak_.lock();
        return std::shared_ptr<XXNetworkManagerDelegate>(std::shared_ptr<void>(), raw_);
    }
    const void* identity() const { return raw_; }
    explicit operator bool() const { return raw_ != nullptr; }

private:
    std::weak_ptr<XXNetworkManagerDelegate> weak_;
    bool isWeak_ = false;
    XXNetworkManagerDelegate* raw_ = nullptr;
};

class XXNetworkManager {
public:
    static XXNetworkManager& sharedManager();

    static constexpr int kNoConfirmTag = 2001, kConfirmTag = 2002, kHistoryTag = 2004, kLongMessageTag = 2007;
    static constexpr int kUploadTag = 3001, kDownloadTag = 3002, kAddTag = 3003, kDeleteTag = 3004, kUpdateTag = 3005,
                         kHoldingsTag = 3006, kPushTokenTag = 3730;
    static constexpr int kHistoryCount = 30;  // messages of one history page

    // ---- own stocks (request type 6; 3710/6 type 7) ----
    void requestUploadPortfolio(const std::string& list, XXDelegateRef delegate);   // 3710/1
    void requestDownloadPortfolio(XXDelegateRef delegate, bool withNames = false);  // 3710/2
    void requestAddPortfolio(const std::string& code, XXDelegateRef delegate);      // 3710/3
    void requestAddPortfolio(const std::string& code);                              // answer dropped
    void requestDeletePortfolio(const std::string& code, XXDelegateRef delegate);   // 3710/4
    void requestUpdatePortfolio(const std::string& list, XXDelegateRef delegate);   // 3710/5
    void requestUpdatePortfolio(const std::string& list);
    void requestAddHoldings(const std::string& fundId, const std::string& tradeInfo, XXDelegateRef delegate);  // 3710/6

    // ---- messages (request type 3) ----
    void requestNoConfirmWithoutDelegate();                                                // 3780/2
    void requestHistoryMessageFrom(int fromYmd, int toYmd, XXDelegateRef delegate);        // 3780/6
    void requestLongMessageWithTCString(const std::string& text, XXDelegateRef delegate);  // tag 2007

    // ---- push token (3730/1 register, 3730/2 unregister; type 3) ----
    void requestRegisterPushToken(const std::string& token, bool enable, XXDelegateRef delegate = nullptr);

    void cancelForDelegate(const void* delegate);
    size_t pendingCount() const;
    const std::string& lastRequest() const { return lastRequest_; }
    HTTPQueue& queue() { return queue_; }
    // Tests: drops every pending request.
    void cancelAll();

private:
    XXNetworkManager() = default;
    struct Pending;
    using Handler = std::function<void(const std::vector<uint8_t>*, const NSError*, bool network)>;
    void send(const std::string& text, int type, int tag, XXDelegateRef delegate, Handler own = nullptr);
    void storeMessages(const std::vector<uint8_t>& data);

    HTTPQueue queue_{4};
    std::vector<std::shared_ptr<Pending>> pending_;
    std::string lastRequest_;
};
