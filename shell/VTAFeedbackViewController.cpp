#include "shell/VTAFeedbackViewController.h"

#include "core/RequestBuilder.h"
#include "core/VTATCRS.h"
#include "core/contracts/ResultContract.h"
#include "core/contracts/SystemContract.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextField.h"
#include "ui/Alerts.h"

VTAFeedbackViewController::VTAFeedbackViewController() {
    setTitle("意见反馈");
    bindRequest(kFeedbackTag, [this](const RequestReply& reply) { feedbackSent(reply); });
}

void VTAFeedbackViewController::viewWillDidLoad() {
    CGRect b = contentView()->bounds();
    auto caption = std::make_shared<UILabel>(CGRectMake(10, 10, b.size.width - 20, 24));
    caption->setText("您的意见和建议：");
    caption->setBackgroundColor(UIColor::clearColor());
    content_ = std::make_shared<UITextField>(CGRectMake(10, 40, b.size.width - 20, 34));
    content_->setBorderStyle(UITextBorderStyle::RoundedRect);
    content_->setPlaceholder("请输入反馈内容");
    auto contactCaption = std::make_shared<UILabel>(CGRectMake(10, 84, b.size.width - 20, 24));
    contactCaption->setText("联系方式（选填）：");
    contactCaption->setBackgroundColor(UIColor::clearColor());
    contact_ = std::make_shared<UITextField>(CGRectMake(10, 114, b.size.width - 20, 34));
    contact_->setBorderStyle(UITextBorderStyle::RoundedRect);
    contact_->setPlaceholder("手机号码或电子邮件");
    contentView()->addSubview(caption);
    contentView()->addSubview(content_);
    contentView()->addSubview(contactCaption);
    contentView()->addSubview(contact_);
    // The return key leads from the text to the contact, then puts the keyboard away.
    content_->addTarget(
        this, [this](UIControl&) { contact_->becomeFirstResponder(); }, UIControlEventEditingDidEndOnExit);
    contact_->addTarget(
        this, [](UIControl&) {}, UIControlEventEditingDidEndOnExit);
    keepToolbarAboveKeyboard();
}

void VTAFeedbackViewController::createToolbarItems() {
    auto send = std::make_shared<UIBarButtonItem>("提交", UIBarButtonItemStyle::Done, this,
                                                  [this](UIBarButtonItem&) { submit(); });
    toolbar()->setItems({flexibleSpaceBarBtn(), send, flexibleSpaceBarBtn()});
}

void VTAFeedbackViewController::viewWillDisappear(bool animated) {
    // A sent feedback still reaches the server; only its answer is not awaited.
    VTAViewControllers::viewWillDisappear(animated);
    sending_ = false;
}

bool VTAFeedbackViewController::submit() {
    view();
    std::string text = content_->text();
    std::string contact = contact_->text();
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        showAlert("请输入反馈内容");
        return false;
    }
    if (sending_) return false;
    RequestBuilder request(SystemContract::kFeedback);
    request.addTyped(SystemContract::Key::kContent, text, kShapeChangingText)
        .addTyped(SystemContract::Key::kContact, contact, kShapeChangingText);
    // Enciphered (type 1): the contact is personal.
    if (!sendRequest(kFeedbackTag, request, 1)) return false;
    content_->resignFirstResponder();
    contact_->resignFirstResponder();
    sending_ = true;
    return true;
}

void VTAFeedbackViewController::feedbackSent(const RequestReply& reply) {
    sending_ = false;
    auto* set = reply.first();
    const bool taken = set && set->toIntWithFieldName(ResultContract::Col::kResult) == 1;
    const std::string message = set ? set->toStringWithFieldName(ResultContract::Col::kMessage).value_or("") : "";
    if (!taken) {
        // Not taken: the customer is told so, and what was typed stays to be sent again.
        showAlert(message.empty() ? kNotTakenText : message);
        return;
    }
    showAlert(message.empty() ? kThanksText : message);
    content_->setText("");
    contact_->setText("");
}

void VTAFeedbackViewController::requestDidFail(const RequestFailure& failure) {
    sending_ = false;
    VTAViewControllers::requestDidFail(failure);
}
