#include "quotes/PortfolioTitleView.h"

#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UIImageView.h"
#include "platform/uikit/UILabel.h"

PortfolioTitleView::PortfolioTitleView() : UIView(CGRectMake(80, 0, kWidth, kHeight)) {
    setBackgroundColor(UIColor::clearColor());
    titleLabel_ = std::make_shared<UILabel>(CGRectMake(16, 4, 120, 36));
    titleLabel_->setFont(UIFont::boldSystemFontOfSize(18));
    titleLabel_->setTextColor(UIColor::whiteColor());
    titleLabel_->setBackgroundColor(UIColor::clearColor());
    titleLabel_->setText("我的股票-行情");
    arrow_ = std::make_shared<UIImageView>(UIImage::imageNamed("arrow.png"));
    arrow_->setFrame(CGRectMake(128, 10, 24, 24));
    button_ = std::make_shared<UIButton>(UIButtonType::Custom, bounds());
    button_->setBackgroundColor(UIColor::clearColor());
    button_->addTarget(
        this,
        [this](UIControl&) {
            if (tapAction_) tapAction_();
        },
        UIControlEventTouchUpInside);
    addSubview(titleLabel_);
    addSubview(arrow_);
    addSubview(button_);
}

void PortfolioTitleView::setTitleLabelString(const std::string& title) { titleLabel_->setText(title); }

const std::string& PortfolioTitleView::titleLabelString() const { return titleLabel_->text(); }
