#pragma once
// The shell's side of the push service and of the service client:
//
// - a pushed notification (the application delegate hands it here): when the
//   system version is not below "4.0" and the application is active,
//   "NeedPushMessageId" is cleared and "MessageExpressNotifyType" decides the
//   signal (1 vibration, 2 system sound 1007, 3 both, else none); otherwise
//   the payload's "msg_id" is kept under "NeedPushMessageId" for the home
//   screen. Then the unconfirmed messages are fetched.
// - the device token: kept as lower-case hex under "Token" (platform user
//   defaults); the login road (and a token that arrives after it) registers it
//   with the server (3730/1) while notifications are enabled, or unregisters
//   (3730/2) a registration the customer switched off; "PushRegisterStatus"
//   is YES while the server holds this token.
// - the own stocks: uploaded once (3710/1) while the setting
//   "SaveMyStockInServer" is absent; the setting becomes YES when the server
//   took them. An empty local list is not uploaded (it would tell the server
//   nothing); the setting then becomes YES at once so that the portfolio
//   screens keep the server's list.
// The answers come to a long-lived receiver, so they are handled even when
// the screen that asked has gone.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class UIApplication;

inline constexpr const char* kNeedPushMessageIdKey = "NeedPushMessageId";
inline constexpr const char* kMessageExpressNotifyTypeKey = "MessageExpressNotifyType";
inline constexpr const char* kPushTokenKey = "Token";
inline constexpr const char* kPushRegisterStatusKey = "PushRegisterStatus";
inline constexpr const char* kPushRegisteredTokenKey = "PushRegisteredToken";
inline constexpr const char* kSaveMyStockInServerKey = "SaveMyStockInServer";
inline constexpr unsigned kNewMessageSoundId = 1007;

void handleRemoteNotification(UIApplication& app, const Value& userInfo);

// Stores the token; registers it at once when the service session is open.
void storeDeviceToken(const std::vector<uint8_t>& token);
// Registers or unregisters the stored token as the notification settings say.
// Answers whether a request was sent.
bool syncPushTokenRegistration(UIApplication& app);

// Uploads the own stocks when the server does not keep them yet. Answers
// whether a request was sent.
bool uploadOwnStocksIfNeeded();
