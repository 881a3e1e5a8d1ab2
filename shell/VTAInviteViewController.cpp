#include "shell/VTAInviteViewController.h"

#include <algorithm>
#include <cctype>

#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextField.h"
#include "ui/Alerts.h"

VTAInviteViewController::VTAInviteViewController() { setTitle("邀请好友"); }

VTAInviteViewController::~VTAInviteViewController() {
    if (composer_) composer_->setMessageComposeDelegate(nullptr);
}

void VTAInviteViewController::viewWillDidLoad() {
    CGRect b = contentView()->bounds();
    auto caption = std::make_shared<UILabel>(CGRectMake(10, 10, b.size.width - 20, 24));
    caption->setText("好友手机号码：");
    caption->setBackgroundColor(UIColor::clearColor());
    number_ = std::make_shared<UITextField>(CGRectMake(10, 40, b.size.width - 20, 34));
    number_->setBorderStyle(UITextBorderStyle::RoundedRect);
    number_->setKeyboardType(UIKeyboardType::NumberPad);
    number_->setPlaceholder("请输入11位手机号码");
    auto text = std::make_shared<UILabel>(CGRectMake(10, 84, b.size.width - 20, 60));
    text->setNumberOfLines(0);
    text->setText(kInviteText);
    text->setBackgroundColor(UIColor::clearColor());
    contentView()->addSubview(caption);
    contentView()->addSubview(number_);
    contentView()->addSubview(text);
    // The number pad has no return key: "发送邀请" rides above it.
    keepToolbarAboveKeyboard();
}

void VTAInviteViewController::createToolbarItems() {
    auto send = std::make_shared<UIBarButtonItem>("发送邀请", UIBarButtonItemStyle::Done, this,
                                                  [this](UIBarButtonItem&) { sendInvitation(); });
    toolbar()->setItems({flexibleSpaceBarBtn(), send, flexibleSpaceBarBtn()});
}

std::shared_ptr<MFMessageComposeViewController> VTAInviteViewController::sendInvitation() {
    view();
    std::string number = number_->text();
    bool digits =
        std::all_of(number.begin(), number.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    if (number.size() != 11 || !digits) {
        showAlert("请输入正确的手机号码");
        return nullptr;
    }
    if (!MFMessageComposeViewController::canSendText()) {
        showAlert("该设备不能发送短信");
        return nullptr;
    }
    number_->resignFirstResponder();
    if (composer_) composer_->setMessageComposeDelegate(nullptr);
    composer_ = std::make_shared<MFMessageComposeViewController>();
    composer_->setRecipients({number});
    composer_->setBody(kInviteText);
    composer_->setMessageComposeDelegate(this);
    presentModalViewController(composer_, true);
    return composer_;
}

void VTAInviteViewController::messageComposeViewControllerDidFinishWithResult(
    MFMessageComposeViewController& controller, MessageComposeResult result) {
    controller.setMessageComposeDelegate(nullptr);
    dismissModalViewControllerAnimated(true);
    composer_.reset();
    if (result == MessageComposeResult::Sent) {
        showAlert("邀请短信已发送");
        number_->setText("");
    } else if (result == MessageComposeResult::Failed) {
        showAlert("短信发送失败");
    }
}
