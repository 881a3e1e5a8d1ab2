#pragma once
// The trade login without its screen: the request texts of the login (500/1)
// and of relating an account to the phone (3750/2), what a login reply
// yields, and the trade session values (VTAParamter, shell/TradeSession.h)
// it stores and the accounts pager later restores.
//
// A login reply holds the session text (the set of fewer than two fields:
// its field 0, to which "&operway=i" is added), the customer (the set of two
// or more fields, read first of sets 0 and 1) and the shareholder accounts
// (set 2 when it has a record, else the customer set). A reply that lacks the
// session text or the customer is refused as a whole: the four session values
// are only ever replaced together, so no value of another account stays
// beside them.
#include <memory>
#include <optional>
#include <string>

#include "core/RequestBuilder.h"
#include "core/VTAAccount.h"
#include "shell/RequestBinding.h"

class VTATCRS;

// The fields a login and a relate send, as the customer gave them.
struct TradeLoginForm {
    std::string accountType;  // TradeContract::AccountType
    std::string branch;       // branch code
    std::string account;      // as typed
    std::string password;
    std::string authType;  // TradeContract::AuthType
    std::string authData;  // typed code or one-time code ("" for the password alone)
};

inline constexpr const char* kTradeInputRefusal = "输入内容不能包含&或=";

// The account as "inputid" carries it: a fund account ("Z") shorter than 8
// characters is left-padded with zeros to 8, then prefixed with the branch
// code while shorter than 12; other types go as typed.
std::string tradeLoginInputId(const std::string& account, const std::string& branch, const std::string& type);

// "tc_mfuncno=500&tc_sfuncno=1&operway=i&inputtype=..&custorgid=..&inputid=..
// &trdpwd=..&authtype=..&authdata=..". Typed values holding "&" or "=" are refused.
RequestBuilder tradeLoginRequest(const TradeLoginForm& form);
// "tc_mfuncno=3750&tc_sfuncno=2&operway=i&inputtype=..&custorgid=..&inputid=..
// &trdpwd=..&isimportccg=1|0&authtype=..&authdata=..".
RequestBuilder relateAccountRequest(const TradeLoginForm& form, bool importHoldings);

// Whether a login's error text says the soft token no longer serves
// ("令牌验证失败", "找不到令牌", "认证失败，您已经申请了动态口令", "此认证方式没有申请").
bool isSoftTokenError(const std::string& text);

// What a successful login stores.
struct TradeLoginValues {
    std::string info;                       // "tradeUserInfo": the session text and "&operway=i"
    std::shared_ptr<VTATCRS> customer;      // "tradeUserTCRS"
    std::shared_ptr<VTATCRS> shareholders;  // "tradeUserAllTCRS"
    // The customer's fund account ("fundid" of the first record), name and branch ("orgid").
    std::string fundId() const;
    std::string customerName() const;
    std::string branch() const;
};
// The values of a login reply's sets; nullopt when the session text or the
// customer is missing, or set 0 or 1 is an error set.
std::optional<TradeLoginValues> tradeLoginValues(const RecordSets& sets);

// Replaces the four trade session values at once.
void storeTradeSession(const TradeLoginValues& values, const std::string& password);
// The session objects an account keeps for the pager ("VTAAccountInfo",
// "VTAAccountTCRS", "VTAAccountAllTCRS").
VTAAccount::UserInfo tradeSessionObjects(const TradeLoginValues& values);
// After a password change: the new trading password and session text
// become the trade session's, and the selected logged-on account's copies,
// so that the accounts pager restores them rather than the ended ones.
void renewTradeSession(const std::string& info, const std::string& password);
// Makes the logged-in account's stored session the trade session again (the
// accounts pager): the four values are removed, then set from what the account keeps.
void restoreTradeSession(const VTAAccount& account);
