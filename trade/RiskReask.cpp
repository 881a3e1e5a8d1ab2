#include "trade/RiskReask.h"

#include <vector>

#include "core/contracts/TradeContract.h"
#include "platform/uikit/UIAlertView.h"
#include "shell/VTAViewControllers.h"

bool RiskReask::isWarning(const std::string& errorText) {
    return errorText.find(TradeContract::Error::kRiskWarning) != std::string::npos;
}

std::shared_ptr<UIAlertView> RiskReask::ask(VTAViewControllers& screen, const std::string& warning) {
    std::shared_ptr<UIAlertView> alert;
    if (buttons_ == Buttons::ConfirmFirst) {
        alert = std::make_shared<UIAlertView>(warning, "", nullptr, std::nullopt,
                                              std::vector<std::string>{kAcceptTitle, "取消"});
    } else {
        alert = std::make_shared<UIAlertView>(warning, "", nullptr, std::string("取消"),
                                              std::vector<std::string>{kAcceptTitle});
    }
    alert->setTag(kAlertTag);
    // Weakly while a shared owner holds the screen: the alert may outlive it.
    if (auto self = std::dynamic_pointer_cast<VTAViewControllers>(screen.sharedController()))
        alert->setDelegate(std::weak_ptr<UIAlertViewDelegate>(std::static_pointer_cast<UIAlertViewDelegate>(self)));
    else
        alert->setDelegate(static_cast<UIAlertViewDelegate*>(&screen));
    alert->show();
    return alert;
}

bool RiskReask::isReask(const UIAlertView& alert) const { return alert.tag() == kAlertTag; }

bool RiskReask::answer(const UIAlertView& alert, int buttonIndex) {
    consent_ = alert.buttonTitleAtIndex(buttonIndex) == kAcceptTitle;
    return consent_;
}

std::string RiskReask::takeCheckValue() {
    const bool accepted = consent_;
    consent_ = false;
    return accepted ? TradeContract::Value::kRiskAccepted : TradeContract::Value::kCheckRisk;
}
