#include "trade/GTPBankManager.h"

#include <mutex>

#include "core/RequestBuilder.h"
#include "core/VTAAccountManager.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/BankContract.h"
#include "platform/foundation/NSNotificationCenter.h"
#include "shell/TradeSession.h"

using namespace BankContract;

GTPBankInfo GTPBankInfo::fromRecord(const VTATCRS& set) {
    GTPBankInfo info;
    info.bankCode = set.toStringWithFieldName(Col::kBankCode).value_or("");
    info.bankName = set.toStringWithFieldName(Col::kBankName).value_or("");
    info.bankFundId = set.toStringWithFieldName(Col::kFundId).value_or("");
    info.currencyType = static_cast<int>(set.toIntWithFieldName(Col::kMoneyType));
    info.isMainFunId = set.toStringWithFieldName(Col::kMainFlag).value_or("") == Col::kMainFlagMain;
    return info;
}

GTPBankManager::GTPBankManager() {
    bindRequest(kBindingsTag, [this](const RequestReply& r) { bindingsArrived(r); }, {.handlesErrorSet = true});
}

GTPBankManager& GTPBankManager::manager() {
    static std::mutex creating;
    static GTPBankManager* instance = nullptr;
    std::lock_guard<std::mutex> lock(creating);
    if (!instance) {
        instance = new GTPBankManager();  // lives to the end of the process
        instance->requestBankInfo();
        NSNotificationCenter::defaultCenter().addObserver(instance, kAccountDidChangedNotification,
                                                          [](const NSNotification&) { reloadBankInfo(); });
    }
    return *instance;
}

void GTPBankManager::reloadBankInfo() {
    GTPBankManager& m = manager();
    m.dropList();
    m.requestBankInfo();
}

std::string GTPBankManager::sessionFundId() {
    if (!hasTradeSession()) return "";
    auto customer = VTAParamter::shareParamter().getTCRSForKey(TradeSessionKey::kCustomer);
    if (!customer || customer->rowsAffected() == 0) return "";
    customer->fetchFirst();
    return customer->toStringWithFieldName(Col::kFundId).value_or("");
}

void GTPBankManager::dropList() {
    bankArray_.clear();
    loadedFor_.clear();
    requestedFor_.clear();  // a load in flight was sent for the session before
}

void GTPBankManager::requestBankInfo() {
    const std::string fundId = sessionFundId();
    if (!fundId.empty() && fundId == requestedFor_ && isRequestInFlight(kBindingsTag)) return;  // on its way
    cancelRequests();  // only the latest load is answered
    requestedFor_ = fundId;
    if (requestedFor_.empty()) return;
    sendRequest(kBindingsTag, RequestBuilder::trade(kBindings.sub), 1);
}

const std::vector<GTPBankInfo>& GTPBankManager::bankArray() const {
    static const std::vector<GTPBankInfo> none;
    return isLoaded() ? bankArray_ : none;
}

bool GTPBankManager::isLoaded() const { return !loadedFor_.empty() && loadedFor_ == sessionFundId(); }

std::vector<GTPBankInfo> GTPBankManager::bankFundIdArrayByBankCode(const std::string& code) const {
    std::vector<GTPBankInfo> found;
    for (const auto& b : bankArray())
        if (b.bankCode == code) found.push_back(b);
    return found;
}

void GTPBankManager::bindingsArrived(const RequestReply& reply) {
    VTATCRS* set = reply.first();
    if (!set || set->isError()) return;
    std::vector<GTPBankInfo> list;
    for (set->fetchFirst(); !set->isEOF(); set->fetchNext()) list.push_back(GTPBankInfo::fromRecord(*set));
    set->fetchFirst();
    bankArray_ = std::move(list);
    loadedFor_ = requestedFor_;
    if (delegate_) delegate_->bankInfoDidReceived();
}

void GTPBankManager::requestDidFail(const RequestFailure& failure) {
    // A reply that does not parse is dropped like an error set; the list stays.
    if (failure.kind != RequestFailure::Kind::Unreadable) RequestBinding::requestDidFail(failure);
}
