#pragma once
// The customer's bank bindings (500/83), held once for the whole process:
// each of the customer's fund accounts is bound to a bank account
// (GTPBankInfo), and the newer transfer screens work from this list.
//
// The first manager() creates the holder and loads the list; every
// "QZAccountDidChangedNotification" (a login, a switch of the trading
// account, a log-out) drops the list and loads it again, so that the
// bindings of another account are never shown or sent; a list is also
// dropped when the trade session no longer belongs to the fund account it
// was loaded for. Only the latest load is answered (an earlier one still in
// flight is cancelled). Without a trade session nothing is sent.
//
// A reply replaces the list whole (an empty one too) and tells the delegate,
// the one binding screen showing now (the screen sets and clears it). An error
// set is dropped silently and leaves the list as it was; a network or service
// failure shows its description.
#include <memory>
#include <string>
#include <vector>

#include "shell/RequestBinding.h"

class VTATCRS;

// One binding: a fund account and the bank account it is bound to.
struct GTPBankInfo {
    std::string bankCode;      // "bankcode", sent back in transfers and balance queries
    std::string bankName;      // "bankname"
    std::string bankFundId;    // "fundid": the bound fund account
    int currencyType = 0;      // "moneytype" (0 RMB, 1 HKD, 2 USD)
    bool isMainFunId = false;  // "bzzhbz" is exactly "0": the main fund account

    // The binding of the set's current record.
    static GTPBankInfo fromRecord(const VTATCRS& set);
};

class GTPBankManagerDelegate {
public:
    virtual ~GTPBankManagerDelegate() = default;
    virtual void bankInfoDidReceived() = 0;
};

class GTPBankManager : private RequestBinding {
public:
    static constexpr int kBindingsTag = 7061;

    // The one holder; the first call creates it and sends requestBankInfo.
    static GTPBankManager& manager();
    // The trading account changed: drop the list and load it again.
    static void reloadBankInfo();
    // The fund account of the trade session (the first record of
    // "tradeUserTCRS"); "" without a session.
    static std::string sessionFundId();

    // Loads the list for the trading account (nothing without a session).
    void requestBankInfo();
    // The bindings of the trading account in reply order; empty before its
    // list arrived.
    const std::vector<GTPBankInfo>& bankArray() const;
    // Whether a list (possibly empty) arrived for the trading account.
    bool isLoaded() const;
    // Whether a load is on its way.
    bool isLoading() const { return isRequestInFlight(kBindingsTag); }
    // The bindings whose bank code is `code`, in list order.
    std::vector<GTPBankInfo> bankFundIdArrayByBankCode(const std::string& code) const;

    GTPBankManagerDelegate* delegate() const { return delegate_; }
    void setDelegate(GTPBankManagerDelegate* d) { delegate_ = d; }
    // Clears the delegate when it is still `d` (a screen leaving).
    void releaseDelegate(GTPBankManagerDelegate* d) {
        if (delegate_ == d) delegate_ = nullptr;
    }

private:
    GTPBankManager();
    void bindingsArrived(const RequestReply& reply);
    void requestDidFail(const RequestFailure& failure) override;
    void dropList();

    std::vector<GTPBankInfo> bankArray_;
    std::string requestedFor_;  // the fund account of the load in flight
    std::string loadedFor_;     // ... and of the list held ("" none)
    GTPBankManagerDelegate* delegate_ = nullptr;
};
