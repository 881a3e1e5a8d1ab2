#include "trade/VTASjlpDirectionController.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UITextView.h"
#include "trade/VTASJLPViewController.h"
#include "ui/Alerts.h"

VTASjlpDirectionController::VTASjlpDirectionController(int type) : type_(type) {
    setTitle(type_ == 1 ? "使用说明" : "申请提示");
}

void VTASjlpDirectionController::setDirection(const std::string& text) {
    contentTxt_ = text;
    if (text_) text_->setText(text);
}

void VTASjlpDirectionController::viewWillDidLoad() {
    UIView* content = contentView();
    content->setBackgroundColor(UIColor::groupTableViewBackgroundColor());
    CGRect b = content->bounds();
    const double bottom = type_ == 1 ? 70 : 0;
    text_ = std::make_shared<UITextView>(CGRectMake(0, 0, b.size.width, b.size.height - bottom));
    text_->setEditable(false);
    text_->setFont(UIFont::fontWithName("ArialRoundedMTBold", 15));
    text_->setTextColor(UIColor::blackColor());
    text_->setBackgroundColor(UIColor::clearColor());
    text_->setAlwaysBounceVertical(true);
    text_->setText(contentTxt_);
    content->addSubview(text_);
    if (type_ != 1) return;
    check_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(10, b.size.height - 50, 40, 40));
    check_->addTarget(
        this, [this](UIControl&) { onButtonClick(); }, UIControlEventTouchUpInside);
    showCheck();
    content->addSubview(check_);
    auto note = std::make_shared<UILabel>(CGRectMake(60, b.size.height - 50, b.size.width - 70, 40));
    note->setText(kAcceptNote);
    note->setNumberOfLines(2);
    note->setTextColor(UIColor::blueColor());
    note->setFont(UIFont::systemFontOfSize(15));
    note->setBackgroundColor(UIColor::clearColor());
    content->addSubview(note);
}

void VTASjlpDirectionController::createToolbarItems() {
    auto home = std::make_shared<UIBarButtonItem>("首页", UIBarButtonItemStyle::Bordered, this,
                                                  [this](UIBarButtonItem&) { onCommandHome(); });
    auto ok = std::make_shared<UIBarButtonItem>("确定", UIBarButtonItemStyle::Done, this,
                                                [this](UIBarButtonItem&) { onCommandApply(); });
    toolbar()->setItems({home, flexibleSpaceBarBtn(), stockFinderButton(), flexibleSpaceBarBtn(), ok});
}

void VTASjlpDirectionController::showCheck() {
    auto on = UIImage::imageNamed("checked.png");
    auto off = UIImage::imageNamed("unchecked.png");
    check_->setImage(isCheck_ ? on : off);
    check_->setImage(isCheck_ ? off : on, UIControlStateHighlighted);
}

void VTASjlpDirectionController::onButtonClick() {
    isCheck_ = !isCheck_;
    if (check_) showCheck();
}

bool VTASjlpDirectionController::onCommandApply() {
    if (type_ == 1 && !isCheck_) {
        showAlert(kAcceptFirstText);
        return false;
    }
    if (auto target = target_.lock()) target->directionControllerDidOK(*this);
    return true;
}
