#include "ui/YMCountdownAlert.h"

#include "platform/foundation/NSTimer.h"
#include "platform/uikit/UILabel.h"

#include <algorithm>

YMCountdownAlert::YMCountdownAlert(const std::string& title, const std::string& doneMessage, int countdownTime,
                                   UIAlertViewDelegate* delegate)
    // The message lines leave room for the number under the title.
    : UIAlertView(title, "\n\n", nullptr, std::nullopt, {}),
      doneMessage_(doneMessage),
      remaining_(std::max(0, countdownTime)),
      doneDelegate_(delegate) {
    number_ = std::make_shared<UILabel>();
    number_->setFont(UIFont::boldSystemFontOfSize(40));
    number_->setTextColor(UIColor::whiteColor());
    number_->setBackgroundColor(UIColor::clearColor());
    number_->setTextAlignment(UITextAlignment::Center);
    number_->setText(std::to_string(remaining_));
    addSubview(number_);
}

YMCountdownAlert::~YMCountdownAlert() {
    if (timer_) timer_->invalidate();
}

void YMCountdownAlert::layoutSubviews() {
    UIAlertView::layoutSubviews();
    CGRect box = boxFrame();
    number_->setFrame(CGRectMake(box.origin.x, CGRectGetMaxY(box) - 58, box.size.width, 48));
}

void YMCountdownAlert::show() {
    UIAlertView::show();
    if (timer_ || !isVisible()) return;
    if (remaining_ == 0) {
        tick();
        return;
    }
    std::weak_ptr<UIView> weak = shared();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(
        1.0,
        [weak](NSTimer& t) {
            auto self = std::static_pointer_cast<YMCountdownAlert>(weak.lock());
            if (!self) {
                t.invalidate();
                return;
            }
            self->tick();
        },
        true);
}

void YMCountdownAlert::tick() {
    if (remaining_ > 0) --remaining_;
    number_->setText(std::to_string(remaining_));
    if (remaining_ > 0) return;
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
    auto keep = shared();
    dismissWithClickedButtonIndex(-1, true);
    doneAlert_ =
        std::make_shared<UIAlertView>(doneMessage_, "", doneDelegate_, std::string("确定"), std::vector<std::string>{});
    doneAlert_->show();
}

void YMCountdownAlert::cancel() {
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
    dismissWithClickedButtonIndex(-1, false);
}
