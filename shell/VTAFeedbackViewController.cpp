#include "shell/VTAFeedbackViewController.h"

#include "core/VTATCRS.h"
#include "net/QZNetworkService.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextField.h"
#include "ui/Alerts.h"

namespace {
bool changesShape(const std::string& text) { return text.find_first_of("&=") != std::string::npos; }
}  // namespace

VTAFeedbackViewController::VTAFeedbackViewController() { setTitle("意见反馈"); }

VTAFeedbackViewController::~VTAFeedbackViewController() {
    if (service_) service_->setDelegate(static_cast<QZNetworkServiceDelegate*>(nullptr));
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
    VTAViewControllers::viewWillDisappear(animated);
    // A sent feedback still reaches the server; only its answer is not awaited.
    if (service_) service_->setDelegate(static_cast<QZNetworkServiceDelegate*>(nullptr));
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
    if (changesShape(text) || changesShape(contact)) {
        showAlert("反馈内容不能包含&或=");
        return false;
    }
    if (sending_) return false;
    if (!service_) service_ = std::make_unique<QZNetworkService>();
    service_->setDelegate(static_cast<QZNetworkServiceDelegate*>(this));
    content_->resignFirstResponder();
    contact_->resignFirstResponder();
    sending_ = true;
    service_->requestStr("tc_mfuncno=100&tc_sfuncno=17&content=" + text + "&contact=" + contact, 1, kFeedbackTag);
    return true;
}

void VTAFeedbackViewController::serviceDidReceiveData(QZNetworkService*, const std::vector<uint8_t>& data, int tag) {
    if (tag != kFeedbackTag) return;
    sending_ = false;
    auto sets = VTATCRS::buildMuTableTCRSWithData(data);
    if (!sets || sets->empty()) {
        showAlert("数据解析错误");
        return;
    }
    auto& set = *sets->front();
    if (set.isError()) {
        showAlert(set.getError());
        return;
    }
    set.fetchFirst();
    std::string message = set.toStringWithFieldName("message").value_or("");
    showAlert(message.empty() ? "提交成功，感谢您的反馈" : message);
    content_->setText("");
    contact_->setText("");
}

void VTAFeedbackViewController::serviceDidNetworkError(QZNetworkService*, const NSError& error, int) {
    sending_ = false;
    showAlert(error.localizedDescription());
}

void VTAFeedbackViewController::serviceDidServiceError(QZNetworkService*, const NSError& error, int) {
    sending_ = false;
    showAlert(error.localizedDescription());
}
