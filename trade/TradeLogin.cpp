#include "trade/TradeLogin.h"

#include "core/VTAAccountManager.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "core/contracts/RelationContract.h"
#include "core/contracts/TradeContract.h"
#include "shell/TradeSession.h"

namespace {

using namespace TradeContract;

constexpr const char* kAccountInfoKey = "VTAAccountInfo";
constexpr const char* kAccountCustomerKey = "VTAAccountTCRS";
constexpr const char* kAccountShareholdersKey = "VTAAccountAllTCRS";

// The fields both requests share, in their order, up to the password.
void addAccountFields(RequestBuilder& request, const TradeLoginForm& form) {
    request.add(Key::kOperWay, TradeContract::Value::kOperWayPhone)
        .add(Key::kInputType, form.accountType)
        .addTyped(Key::kBranch, form.branch, kTradeInputRefusal)
        .addTyped(Key::kInputId, tradeLoginInputId(form.account, form.branch, form.accountType), kTradeInputRefusal)
        .addTyped(Key::kPassword, form.password, kTradeInputRefusal);
}

void addAuthFields(RequestBuilder& request, const TradeLoginForm& form) {
    request.add(Key::kAuthType, form.authType).addTyped(Key::kAuthData, form.authData, kTradeInputRefusal);
}

std::string firstRecordText(const std::shared_ptr<VTATCRS>& set, const char* field) {
    if (!set || set->rowsAffected() == 0) return "";
    set->moveToIndex(0);
    return set->toStringWithFieldName(field).value_or("");
}

}  // namespace

std::string tradeLoginInputId(const std::string& account, const std::string& branch, const std::string& type) {
    if (type != AccountType::kFund) return account;
    std::string padded = account.size() < 8 ? std::string(8 - account.size(), '0') + account : account;
    return padded.size() < 12 ? branch + padded : padded;
}

RequestBuilder tradeLoginRequest(const TradeLoginForm& form) {
    RequestBuilder request(kLogin);
    addAccountFields(request, form);
    addAuthFields(request, form);
    return request;
}

RequestBuilder relateAccountRequest(const TradeLoginForm& form, bool importHoldings) {
    RequestBuilder request(RelationContract::kRelateAccount);
    addAccountFields(request, form);
    request.add(RelationContract::Key::kImportHoldings, importHoldings ? 1 : 0);
    addAuthFields(request, form);
    return request;
}

bool isSoftTokenError(const std::string& text) {
    for (const char* e :
         {Error::kTokenCheckFailed, Error::kTokenNotFound, Error::kTokenRequired, Error::kAuthNotApplied})
        if (text.find(e) != std::string::npos) return true;
    return false;
}

std::string TradeLoginValues::fundId() const { return firstRecordText(customer, Col::kFundId); }
std::string TradeLoginValues::customerName() const { return firstRecordText(customer, Col::kCustName); }
std::string TradeLoginValues::branch() const { return firstRecordText(customer, Col::kOrgId); }

std::optional<TradeLoginValues> tradeLoginValues(const RecordSets& sets) {
    if (sets.size() < 2) return std::nullopt;
    TradeLoginValues values;
    bool haveInfo = false;
    for (size_t i = 0; i < 2; ++i) {
        const auto& set = sets[i];
        if (!set || set->isError()) return std::nullopt;
        if (set->fieldCount() < 2) {
            if (set->rowsAffected() == 0) return std::nullopt;
            set->moveToIndex(0);
            values.info = set->toStringAtIndex(0).value_or("") + "&operway=i";
            haveInfo = true;
        } else {
            values.customer = set;
        }
    }
    if (!haveInfo || !values.customer || values.customer->rowsAffected() == 0) return std::nullopt;
    // The shareholder accounts: set 2 when it holds any (whatever follows it), else the customer set.
    values.shareholders =
        sets.size() >= 3 && sets[2] && !sets[2]->isError() && sets[2]->rowsAffected() > 0 ? sets[2] : values.customer;
    values.customer->moveToIndex(0);
    return values;
}

void storeTradeSession(const TradeLoginValues& values, const std::string& password) {
    auto& p = VTAParamter::shareParamter();
    clearTradeSession();
    p.setString(values.info, TradeSessionKey::kInfo);
    p.setTCRS(values.customer, TradeSessionKey::kCustomer);
    p.setTCRS(values.shareholders, TradeSessionKey::kShareholders);
    p.setString(password, TradeSessionKey::kPassword);
}

VTAAccount::UserInfo tradeSessionObjects(const TradeLoginValues& values) {
    return {{kAccountInfoKey, values.info},
            {kAccountCustomerKey, values.customer},
            {kAccountShareholdersKey, values.shareholders}};
}

void renewTradeSession(const std::string& info, const std::string& password) {
    auto& p = VTAParamter::shareParamter();
    p.setString(info, TradeSessionKey::kInfo);
    p.setString(password, TradeSessionKey::kPassword);
    auto account = VTAAccountManager::tradeAccountManager().selectedAccount();
    if (!account || !account->isLogon()) return;
    account->setPassword(password);
    account->setUserInfoObject(kAccountInfoKey, info);
}

void restoreTradeSession(const VTAAccount& account) {
    auto& p = VTAParamter::shareParamter();
    for (const char* key : {TradeSessionKey::kPassword, TradeSessionKey::kInfo, TradeSessionKey::kCustomer,
                            TradeSessionKey::kShareholders})
        p.removeValueForKey(key);
    if (auto customer = account.userInfoTCRS(kAccountCustomerKey)) p.setTCRS(customer, TradeSessionKey::kCustomer);
    std::string info = account.userInfoText(kAccountInfoKey);
    if (!info.empty()) p.setString(info, TradeSessionKey::kInfo);
    if (!account.password().empty()) p.setString(account.password(), TradeSessionKey::kPassword);
    if (auto all = account.userInfoTCRS(kAccountShareholdersKey)) p.setTCRS(all, TradeSessionKey::kShareholders);
}
