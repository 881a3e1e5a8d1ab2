#include "platform/services/PhoneCall.h"

#include "platform/foundation/Clock.h"
#include "platform/uikit/UIApplication.h"

PhoneCallLog& PhoneCallLog::shared() {
    static PhoneCallLog log;
    return log;
}

void PhoneCallLog::record(const std::string& number) { calls_.push_back({number, Clock::now()}); }

bool PhoneCallPrompt::isPhoneNumber(const std::string& number) {
    return !number.empty() && number.find_first_not_of("0123456789-+") == std::string::npos;
}

PhoneCallPrompt::PhoneCallPrompt(const std::string& number)
    : UIAlertView(number, "", nullptr, std::string("取消"), {kCallTitle}), number_(number) {
    setDelegate(static_cast<UIAlertViewDelegate*>(this));
}

std::shared_ptr<PhoneCallPrompt> PhoneCallPrompt::ask(const std::string& number) {
    if (!isPhoneNumber(number)) return nullptr;
    auto prompt = std::make_shared<PhoneCallPrompt>(number);
    prompt->show();
    return prompt;
}

void PhoneCallPrompt::alertViewClickedButtonAtIndex(UIAlertView&, int buttonIndex) {
    if (buttonIndex == cancelButtonIndex()) return;
    PhoneCallLog::shared().record(number_);
    UIApplication::sharedApplication().openURL("tel:" + number_);
}
