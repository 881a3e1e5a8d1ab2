#include "shell/TradeSession.h"

#include <algorithm>

#include "core/VTAAccountManager.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"
#include "platform/foundation/NSUserDefaults.h"
#include "platform/uikit/UIAlertView.h"
#include "platform/uikit/UINavigationController.h"
#include "shell/IdleTimeCheck.h"
#include "shell/Navigation.h"
#include "shell/VTAUIFactory.h"
#include "ui/Alerts.h"

namespace {

bool logOutAll(VTAAccountManager& manager) {
    bool any = false;
    for (const auto& account : manager.accounts()) {
        if (account && account->isLogon()) {
            account->unactiveAccount();
            any = true;
        }
    }
    return any;
}

void popTradeScreens() {
    auto nav = applicationNavigationController();
    if (!nav) return;
    const auto& stack = nav->viewControllers();
    for (size_t i = 1; i < stack.size(); ++i) {
        if (VTAUIFactory::isTradeScreen(stack[i].get())) {
            nav->popToViewController(stack[i - 1].get(), true);
            return;
        }
    }
}
}  // namespace

bool hasTradeSession() {
    auto& p = VTAParamter::shareParamter();
    auto info = p.getStringForKey(TradeSessionKey::kInfo);
    if (!info || info->empty()) return false;
    auto set = p.getTCRSForKey(TradeSessionKey::kCustomer);
    return set && set->rowsAffected() > 0;
}

void clearFundCaches() {
    auto& p = VTAParamter::shareParamter();
    p.removeValueForKey(TradeSessionKey::kFunds);
    p.removeValueForKey(TradeSessionKey::kFundTypes);
}

void clearTradeSession() {
    auto& p = VTAParamter::shareParamter();
    for (const char* key : {TradeSessionKey::kInfo, TradeSessionKey::kCustomer, TradeSessionKey::kShareholders,
                            TradeSessionKey::kPassword})
        p.removeValueForKey(key);
    clearFundCaches();
}

bool endTradeSession() {
    auto& p = VTAParamter::shareParamter();
    bool hadSession = p.hasValueForKey(TradeSessionKey::kInfo) || p.hasValueForKey(TradeSessionKey::kCustomer);
    clearTradeSession();
    bool loggedOut = logOutAll(VTAAccountManager::tradeAccountManager());
    loggedOut = logOutAll(VTAAccountManager::tradeAccountManagerForHK()) || loggedOut;
    if (auto* app = IdleTimeCheck::sharedIdleTimeCheck()) app->stopIdleTimer();
    popTradeScreens();
    return hadSession || loggedOut;
}

std::shared_ptr<UIAlertView> lockTradeSession() {
    if (!endTradeSession()) return nullptr;
    return showAlert(kTradeLockedText);
}

int tradeLockIntervalMinutes() {
    int64_t minutes = NSUserDefaults::standardUserDefaults().integerForKey(kTradeLockIntervalKey);
    if (minutes <= 0) return kDefaultTradeLockMinutes;
    return static_cast<int>(std::min<int64_t>(minutes, kMaxTradeLockMinutes));
}

void setTradeLockIntervalMinutes(int minutes) {
    auto& d = NSUserDefaults::standardUserDefaults();
    d.setInteger(minutes, kTradeLockIntervalKey);
    d.synchronize();
}
