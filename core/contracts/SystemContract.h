#pragma once
// System functions (families 100, 3504, 3730): session login, menu and
// configuration, registration by SMS, the soft token's notices, feedback,
// home information, push token.
// The menu's record sets ("sys.menu", "sys.conf") are written down in
// core/MenuFunctions.h; the one-record answers in ResultContract.h.
#include "core/contracts/FunctionId.h"
namespace SystemContract {
inline constexpr FunctionId kSessionLogin{100, 1};
inline constexpr FunctionId kMenu{100, 2};
inline constexpr FunctionId kRegistration{100, 3};
inline constexpr FunctionId kRegistrationStatus{100, 4};
inline constexpr FunctionId kTokenNotices{100, 5};  // the texts of the soft-token page
inline constexpr FunctionId kFeedback{100, 17};
inline constexpr FunctionId kHomeInformation{3504, 1};  // every sub function answers the same
inline constexpr FunctionId kPushTokenOn{3730, 1};
inline constexpr FunctionId kPushTokenOff{3730, 2};
namespace Key {                                         // request keys
inline constexpr const char* kPhone = "phone";          // login, registration, status
inline constexpr const char* kVersion = "version";      // login: the client's version
inline constexpr const char* kMenuVersion = "menuver";  // login: version of the cached menu
inline constexpr const char* kType = "type";            // registration: Type::kRegister or kUnregister
inline constexpr const char* kContent = "content";      // feedback text
inline constexpr const char* kContact = "contact";      // feedback: how to reach the customer
inline constexpr const char* kToken = "token";          // push token
}  // namespace Key
namespace Type {
inline constexpr const char* kRegister = "A";
inline constexpr const char* kUnregister = "Z";
}  // namespace Type
namespace Col {                                           // reply columns
inline constexpr const char* kSession = "session";        // login
inline constexpr const char* kRegistered = "registered";  // login, status: 1 the phone is registered
inline constexpr const char* kPhone = "phone";
inline constexpr const char* kNewVersion = "newversion";  // login: "" when the client is current
inline constexpr const char* kUpgradeUrl = "upgradeurl";
inline constexpr const char* kMenuVersion = "menuver";    // login and "sys.conf": the server's menu version
inline constexpr const char* kNewMenu = "newmenu";        // login: 1 the client's menu is older
inline constexpr const char* kServerTime = "servertime";  // login: "yyyy-MM-dd HH:mm:ss"
inline constexpr const char* kSerial = "serial";          // status
inline constexpr const char* kId = "id";                  // home information, one record per tab
inline constexpr const char* kTitle = "title";
inline constexpr const char* kContent = "content";
inline constexpr const char* kTime = "time";
inline constexpr const char* kDirection = "direction";  // token notices: how the token is used
inline constexpr const char* kRiskInfo = "riskinfo";    // token notices: what to know before applying
inline constexpr const char* kPromotion = "promotion";  // token notices: shown when 2 characters or more
}  // namespace Col
}  // namespace SystemContract
