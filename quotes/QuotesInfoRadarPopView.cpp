#include "quotes/QuotesInfoRadarPopView.h"

#include "platform/graphics/UIColor.h"
#include "platform/graphics/UIFont.h"
#include "platform/uikit/UIScreen.h"
#include "ui/UIGlossyButton.h"

QuotesInfoRadarPopView::QuotesInfoRadarPopView(std::vector<std::string> contentArray)
    : UIView(UIScreen::mainScreen().applicationFrame()), infoContentArray_(std::move(contentArray)) {
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);

    titleLabel_ = std::make_shared<UILabel>(CGRectMake(120, 8, 80, 30));
    titleLabel_->setText("信息雷达");
    titleLabel_->setTextColor(UIColor::whiteColor());
    titleLabel_->setFont(UIFont::boldSystemFontOfSize(19));
    titleLabel_->setBackgroundColor(UIColor::clearColor());
    addSubview(titleLabel_);

    infoRadarTextView_ = std::make_shared<UITextView>(CGRectMake(20, 48, 280, 348));
    infoRadarTextView_->setFont(UIFont::systemFontOfSize(16));
    infoRadarTextView_->setTextColor(UIColor::whiteColor());
    infoRadarTextView_->setBackgroundColor(UIColor::clearColor());
    infoRadarTextView_->setEditable(false);
    infoRadarTextView_->setText(joinedItems(infoContentArray_));
    addSubview(infoRadarTextView_);

    CGRect closeFrame = CGRectMake(110, 400, 100, 40);
    if (compareVersionStrings(UIDevice::currentDevice().systemVersion(), "4.0") >= 0) {
        auto glossy = std::make_shared<UIGlossyButton>(closeFrame);
        glossy->useWhiteLabel(true);
        glossy->setTintColor(UIColor::darkGrayColor());
        glossy->setGradientType(UIGlossyButtonGradientType::LinearSmoothExtreme);
        closeBtn_ = glossy;
    } else {
        closeBtn_ = std::make_shared<UIButton>(UIButtonType::RoundedRect, closeFrame);
    }
    closeBtn_->setTitle("关闭");
    closeBtn_->addTarget(
        this, [this](UIControl&) { closeAction(); }, UIControlEventTouchUpInside);
    addSubview(closeBtn_);
}

std::string QuotesInfoRadarPopView::joinedItems(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) text += (i == 0 ? "" : "\n\n") + items[i];
    return text;
}

void QuotesInfoRadarPopView::showInView(UIView* view, bool animated) {
    if (!view) return;
    view->addSubview(shared());
    if (!animated) return;
    setTransform(CGAffineTransformMakeScale(kFadeScale, kFadeScale));
    setAlpha(0);
    UIView::beginAnimations("fadeIn");
    UIView::setAnimationDuration(kFadeSeconds);
    setAlpha(1);
    setTransform(CGAffineTransformMakeScale(1, 1));
    UIView::commitAnimations();
}

void QuotesInfoRadarPopView::closeAction() {
    if (closing_) return;
    closing_ = true;
    std::weak_ptr<UIView> weak = shared();
    UIView::beginAnimations("fadeOut");
    UIView::setAnimationDuration(kFadeSeconds);
    UIView::setAnimationDidStopSelector([weak](const std::string&, bool, void*) {
        if (auto self = weak.lock()) self->removeFromSuperview();
    });
    setTransform(CGAffineTransformMakeScale(kFadeScale, kFadeScale));
    setAlpha(0);
    UIView::commitAnimations();
}

void QuotesInfoRadarPopView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect panel = CGRectInset(bounds(), 8, 8);
    ctx->saveGState();
    ctx->setShadow(CGSizeMake(0, 0), 6, UIColor::colorWithWhite(0.9, 0.75));
    ctx->setFillColor(0, 0, 0, 0.9);
    ctx->beginPath();
    ctx->addRoundedRect(panel, 5);
    ctx->fillPath();
    ctx->restoreGState();
    ctx->saveGState();
    ctx->setShadow(CGSizeMake(0, 1), 0.5, UIColor::blackColor());
    ctx->setFillColor(*UIColor::grayColor());
    ctx->fillRect(CGRectMake(8, 40, bounds().size.width - 16, 2));
    ctx->restoreGState();
}
