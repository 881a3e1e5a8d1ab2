#pragma once
// An alert with a title and no button showing a large number that counts down
// once a second from the given count. When it reaches 0 the alert closes
// itself and an alert titled with the done message appears, button "确定",
// whose delegate is the given one. cancel() (or the owner leaving) stops it
// without the done alert.
#include "platform/uikit/UIAlertView.h"

class NSTimer;
class UILabel;

class YMCountdownAlert : public UIAlertView {
public:
    YMCountdownAlert(const std::string& title, const std::string& doneMessage, int countdownTime,
                     UIAlertViewDelegate* delegate);
    ~YMCountdownAlert() override;
    std::string className() const override { return "YMCountdownAlert"; }

    // Shows the alert and starts the count.
    void show();
    void cancel();

    int remaining() const { return remaining_; }
    // The done alert once shown (null before the end).
    const std::shared_ptr<UIAlertView>& doneAlert() const { return doneAlert_; }
    void layoutSubviews() override;

private:
    void tick();

    std::string doneMessage_;
    int remaining_;
    UIAlertViewDelegate* doneDelegate_;
    std::shared_ptr<UILabel> number_;
    std::shared_ptr<NSTimer> timer_;
    std::shared_ptr<UIAlertView> doneAlert_;
};
