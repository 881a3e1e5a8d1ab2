#pragma once
// One trading account: account id, type, branch and capital account, with the
// login state of this run. The password and the userInfo objects (the trade
// session text under "VTAAccountInfo", record sets under "VTAAccountTCRS" and
// "VTAAccountAllTCRS") live in memory only and are never archived.
#include <any>
#include <map>
#include <memory>
#include <string>

#include "core/VTAAccountType.h"
#include "core/VTAYYB.h"

class VTATCRS;

class VTAAccount {
public:
    using UserInfo = std::map<std::string, std::any>;

    VTAAccount(const std::string& accID, std::shared_ptr<VTAAccountType> type, std::shared_ptr<VTAYYB> yyb,
               const std::string& zjzh);
    static std::shared_ptr<VTAAccount> initWithIDEX(const std::string& accID, std::shared_ptr<VTAAccountType> type,
                                                    std::shared_ptr<VTAYYB> yyb, const std::string& zjzh) {
        return std::make_shared<VTAAccount>(accID, std::move(type), std::move(yyb), zjzh);
    }

    // Logs the account on: the user name, the password (memory only), the
    // session objects; the login time is now ("yyyy-MM-dd HH:mm:ss"), copied to
    // the last login time when that is empty. Sets the platform user default
    // "NeedReloadMenu".
    void activeAccountWithLogonOnUser(const std::string& user, const std::string& password, UserInfo userInfo);
    // Logs it off: clears the flag, records the log-out time, sets "NeedReloadMenu".
    void unactiveAccount();

    bool isLogon() const { return logon_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool v) { selected_ = v; }
    const std::string& accID() const { return accID_; }
    std::string accTypeCode() const { return type_ ? type_->code() : ""; }
    std::string accTypeName() const { return type_ ? type_->name() : ""; }
    std::string yybCode() const { return yyb_ ? yyb_->code() : ""; }
    std::string yybName() const { return yyb_ ? yyb_->name() : ""; }
    const std::string& zjzhAcc() const { return zjzh_; }
    const std::string& accUserName() const { return userName_; }
    void setAccUserName(const std::string& v) { userName_ = v; }
    const std::string& loginTime() const { return loginTime_; }
    const std::string& logoutTime() const { return logoutTime_; }
    const std::string& lastLoginTime() const { return lastLoginTime_; }
    void setLastLoginTime(const std::string& v) { lastLoginTime_ = v; }
    const std::string& password() const { return password_; }
    const UserInfo& userInfo() const { return userInfo_; }
    // A changed password and session text of a logged-on account (memory only).
    void setPassword(const std::string& v) { password_ = v; }
    void setUserInfoObject(const std::string& key, std::any value) { userInfo_[key] = std::move(value); }
    // Typed readers of userInfo: empty / null when absent or of another kind.
    std::string userInfoText(const std::string& key) const;
    std::shared_ptr<VTATCRS> userInfoTCRS(const std::string& key) const;

    // Same account id, branch code and type code.
    bool isEqual(const VTAAccount& other) const;

private:
    std::string accID_;
    std::shared_ptr<VTAAccountType> type_;
    std::shared_ptr<VTAYYB> yyb_;
    std::string zjzh_;
    std::string userName_;
    std::string loginTime_;
    std::string logoutTime_;
    std::string lastLoginTime_;
    std::string password_;
    UserInfo userInfo_;
    bool logon_ = false;
    bool selected_ = false;
};
