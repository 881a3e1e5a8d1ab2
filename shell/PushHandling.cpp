#include "shell/PushHandling.h"

#include <memory>

#include "core/ParsedReply.h"
#include "core/QZUtil.h"
#include "core/VTATCRS.h"
#include "core/VTAUserDefoult.h"
#include "core/contracts/ResultContract.h"
#include "net/ServiceSession.h"
#include "net/XXNetworkManager.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/services/RemoteNotifications.h"
#include "platform/services/SystemSound.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"

namespace {

// Reads "result" of the first record set: 1 is success.
bool replySucceeded(const std::vector<uint8_t>& data) {
    ParsedReply reply(data);
    auto* set = reply.firstRecord();
    return set && set->toIntWithFieldName(ResultContract::Col::kResult) == 1;
}

class ServiceReceiver : public XXNetworkManagerDelegate {
public:
    void serviceDidReceiveData(XXNetworkManager*, const std::vector<uint8_t>& data, int tag) override {
        auto& ud = NSUserDefaults::standardUserDefaults();
        if (tag == XXNetworkManager::kPushTokenTag) {
            if (!replySucceeded(data)) return;
            bool registering = !pendingToken.empty();
            ud.setBool(registering, kPushRegisterStatusKey);
            if (registering)
                ud.setObject(Value(pendingToken), kPushRegisteredTokenKey);
            else
                ud.removeObjectForKey(kPushRegisteredTokenKey);
        } else if (tag == XXNetworkManager::kUploadTag) {
            uploading = false;
            if (!replySucceeded(data)) return;
            VTAUserDefoult::standerDefoult().setBool(true, kSaveMyStockInServerKey);
            VTAUserDefoult::standerDefoult().save();
        }
    }
    void serviceDidNetworkError(XXNetworkManager*, const NSError&, int tag) override {
        if (tag == XXNetworkManager::kUploadTag) uploading = false;
    }
    void serviceDidServiceError(XXNetworkManager*, const NSError&, int tag) override {
        if (tag == XXNetworkManager::kUploadTag) uploading = false;
    }
    std::string pendingToken;
    bool uploading = false;
};

std::shared_ptr<ServiceReceiver>& receiver() {
    static auto r = std::make_shared<ServiceReceiver>();
    return r;
}

}  // namespace

void handleRemoteNotification(UIApplication& app, const Value& userInfo) {
    auto& ud = NSUserDefaults::standardUserDefaults();
    bool modern = compareVersionStrings(UIDevice::currentDevice().systemVersion(), "4.0") >= 0;
    if (modern && app.applicationState() == UIApplicationState::Active) {
        ud.removeObjectForKey(kNeedPushMessageIdKey);
        switch (ud.integerForKey(kMessageExpressNotifyTypeKey)) {
            case 1:
                AudioServicesPlaySystemSound(kSystemSoundID_Vibrate);
                break;
            case 2:
                AudioServicesPlaySystemSound(kNewMessageSoundId);
                break;
            case 3:
                AudioServicesPlaySystemSound(kNewMessageSoundId);
                AudioServicesPlaySystemSound(kSystemSoundID_Vibrate);
                break;
            default:
                break;
        }
    } else {
        std::string id = userInfo["msg_id"].toString();
        if (!id.empty()) ud.setObject(Value(id), kNeedPushMessageIdKey);
    }
    XXNetworkManager::sharedManager().requestNoConfirmWithoutDelegate();
}

void storeDeviceToken(const std::vector<uint8_t>& token) {
    if (token.empty()) return;
    NSUserDefaults::standardUserDefaults().setObject(Value(RemoteNotificationService::tokenHex(token)), kPushTokenKey);
    if (!ServiceSession::shared().session().empty()) syncPushTokenRegistration(UIApplication::sharedApplication());
}

bool syncPushTokenRegistration(UIApplication& app) {
    auto& ud = NSUserDefaults::standardUserDefaults();
    std::string token = ud.stringForKey(kPushTokenKey).value_or("");
    bool enabled = app.enabledRemoteNotificationTypes() != UIRemoteNotificationTypeNone;
    bool registered = ud.boolForKey(kPushRegisterStatusKey);
    auto& r = receiver();
    if (enabled && !token.empty()) {
        r->pendingToken = token;
        XXNetworkManager::sharedManager().requestRegisterPushToken(token, true, XXDelegateRef(r));
        return true;
    }
    if (!enabled && registered) {
        r->pendingToken.clear();
        XXNetworkManager::sharedManager().requestRegisterPushToken("", false, XXDelegateRef(r));
        return true;
    }
    return false;
}

bool uploadOwnStocksIfNeeded() {
    auto& settings = VTAUserDefoult::standerDefoult();
    if (!settings.getValueForKey(kSaveMyStockInServerKey).isNull()) return false;
    auto& r = receiver();
    if (r->uploading) return false;
    std::string list = QZUtil::portfolioListFromDatabase();
    if (list.empty()) {
        settings.setBool(true, kSaveMyStockInServerKey);
        settings.save();
        return false;
    }
    r->uploading = true;
    XXNetworkManager::sharedManager().requestUploadPortfolio(list, XXDelegateRef(r));
    return true;
}
