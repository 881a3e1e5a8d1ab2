#pragma once
// Calling a number, as the phone does it: before it calls, the phone shows the
// number with "取消" and "呼叫". Here the prompt is an alert; "呼叫" places the
// call, which, there being no telephony, is recorded in the call log (tests
// read it) and handed on as a "tel:" address to the application's openURL (the
// host's hook); "取消" leaves it there.
#include <memory>
#include <string>
#include <vector>

#include "platform/uikit/UIAlertView.h"

struct PlacedCall {
    std::string number;
    double time = 0;  // Clock seconds
};

class PhoneCallLog {
public:
    static PhoneCallLog& shared();
    const std::vector<PlacedCall>& calls() const { return calls_; }
    void clear() { calls_.clear(); }
    void record(const std::string& number);

private:
    std::vector<PlacedCall> calls_;
};

class PhoneCallPrompt : public UIAlertView, private UIAlertViewDelegate {
public:
    static constexpr const char* kCallTitle = "呼叫";

    // Shows the prompt for the number; null (nothing shown) when the number is
    // empty or holds other than digits, "-" and "+".
    static std::shared_ptr<PhoneCallPrompt> ask(const std::string& number);
    static bool isPhoneNumber(const std::string& number);

    explicit PhoneCallPrompt(const std::string& number);
    const std::string& number() const { return number_; }

private:
    void alertViewClickedButtonAtIndex(UIAlertView& alert, int buttonIndex) override;

    std::string number_;
};
