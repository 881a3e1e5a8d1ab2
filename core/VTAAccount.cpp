#include "core/VTAAccount.h"

#include <cstdio>

#include "platform/foundation/NSDate.h"
#include "platform/foundation/NSUserDefaults.h"

namespace {
// Now as "yyyy-MM-dd HH:mm:ss" in local time.
std::string nowText() {
    LocalDateParts p = localDateParts(NSDate::date());
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
    return buf;
}
}  // namespace

VTAAccount::VTAAccount(const std::string& accID, std::shared_ptr<VTAAccountType> type, std::shared_ptr<VTAYYB> yyb,
                       const std::string& zjzh)
    : accID_(accID), type_(std::move(type)), yyb_(std::move(yyb)), zjzh_(zjzh) {}

void VTAAccount::activeAccountWithLogonOnUser(const std::string& user, const std::string& password, UserInfo userInfo) {
    userName_ = user;
    password_ = password;
    userInfo_ = std::move(userInfo);
    logon_ = true;
    loginTime_ = nowText();
    if (lastLoginTime_.empty()) lastLoginTime_ = loginTime_;
    NSUserDefaults::standardUserDefaults().setBool(true, "NeedReloadMenu");
}

void VTAAccount::unactiveAccount() {
    logon_ = false;
    logoutTime_ = nowText();
    // A logged-out account keeps no secret and no session in memory: the
    // accounts pager must never restore a session that was ended or locked.
    password_.clear();
    userInfo_.clear();
    NSUserDefaults::standardUserDefaults().setBool(true, "NeedReloadMenu");
}

std::string VTAAccount::userInfoText(const std::string& key) const {
    auto it = userInfo_.find(key);
    if (it == userInfo_.end()) return "";
    if (auto s = std::any_cast<std::string>(&it->second)) return *s;
    return "";
}

std::shared_ptr<VTATCRS> VTAAccount::userInfoTCRS(const std::string& key) const {
    auto it = userInfo_.find(key);
    if (it == userInfo_.end()) return nullptr;
    if (auto p = std::any_cast<std::shared_ptr<VTATCRS>>(&it->second)) return *p;
    return nullptr;
}

bool VTAAccount::isEqual(const VTAAccount& other) const {
    return accID_ == other.accID_ && yybCode() == other.yybCode() && accTypeCode() == other.accTypeCode();
}
