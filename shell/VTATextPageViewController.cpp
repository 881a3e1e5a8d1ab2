#include "shell/VTATextPageViewController.h"

#include "platform/graphics/UIFont.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UIScrollView.h"

VTATextPageViewController::VTATextPageViewController(std::string heading, std::string body)
    : heading_(std::move(heading)), body_(std::move(body)) {}

void VTATextPageViewController::viewWillDidLoad() {
    CGRect b = contentView()->bounds();
    scroll_ = std::make_shared<UIScrollView>(b);
    scroll_->setBackgroundColor(UIColor::whiteColor());
    headingLabel_ = std::make_shared<UILabel>(CGRectMake(10, 10, b.size.width - 20, 30));
    headingLabel_->setFont(UIFont::boldSystemFontOfSize(18));
    headingLabel_->setTextAlignment(UITextAlignment::Center);
    headingLabel_->setText(heading_);
    bodyLabel_ = std::make_shared<UILabel>(CGRectMake(10, 50, b.size.width - 20, 10));
    bodyLabel_->setFont(UIFont::systemFontOfSize(15));
    bodyLabel_->setNumberOfLines(0);
    bodyLabel_->setLineBreakMode(UILineBreakMode::CharacterWrap);
    bodyLabel_->setText(body_);
    CGSize fit = bodyLabel_->sizeThatFits(CGSizeMake(b.size.width - 20, 100000));
    bodyLabel_->setFrame(CGRectMake(10, 50, b.size.width - 20, fit.height));
    scroll_->addSubview(headingLabel_);
    scroll_->addSubview(bodyLabel_);
    scroll_->setContentSize(CGSizeMake(b.size.width, 60 + fit.height));
    contentView()->addSubview(scroll_);
}

void VTATextPageViewController::viewDidLoad() {
    VTAViewControllers::viewDidLoad();
    if (scroll_) scroll_->setFrame(contentView()->bounds());
}
