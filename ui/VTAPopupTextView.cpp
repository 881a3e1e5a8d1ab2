#include "ui/VTAPopupTextView.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIWindow.h"
#include "ui/Palette.h"

#include <algorithm>

namespace {
constexpr double kMaxWidth = 280;
constexpr double kMaxHeight = 360;
constexpr double kTitleHeight = 40;
constexpr double kButtonArea = 52;
constexpr double kTextInset = 8;
}  // namespace

VTAPopupTextView::VTAPopupTextView(const std::string& title, const std::string& text) {
    setBackgroundColor(UIColor::colorWithWhite(0, 0.5));
    setOpaque(false);
    panel_ = std::make_shared<UIView>();
    panel_->setBackgroundColor(UIColor::whiteColor());
    panel_->setCornerRadius(8);
    panel_->setClipsToBounds(true);
    title_ = std::make_shared<UILabel>();
    title_->setText(title);
    title_->setFont(UIFont::boldSystemFontOfSize(17));
    title_->setTextColor(UIColor::whiteColor());
    title_->setBackgroundColor(colorWithIndex(12));
    title_->setTextAlignment(UITextAlignment::Center);
    text_ = std::make_shared<UITextView>();
    text_->setEditable(false);
    text_->setFont(UIFont::systemFontOfSize(15));
    text_->setTextColor(UIColor::darkGrayColor());
    text_->setBackgroundColor(UIColor::clearColor());
    text_->setText(text);
    close_ = std::make_shared<UIButton>(UIButtonType::RoundedRect);
    close_->setTitle("关闭");
    close_->addTarget(
        this, [this](UIControl&) { close(); }, UIControlEventTouchUpInside);
    panel_->addSubview(title_);
    panel_->addSubview(text_);
    panel_->addSubview(close_);
    addSubview(panel_);
}

VTAPopupTextView::~VTAPopupTextView() { close_->removeTarget(this); }

void VTAPopupTextView::showInView(UIView* view) {
    if (!view) view = UIApplication::sharedApplication().keyWindow();
    if (!view) return;
    closing_ = false;
    setFrame(view->bounds());
    setAlpha(1);
    view->addSubview(shared());
    layoutSubviews();
}

void VTAPopupTextView::layoutSubviews() {
    CGRect b = bounds();
    double w = std::min(kMaxWidth, b.size.width - 20);
    double textW = w - 2 * kTextInset;
    CGSize need = sizeWithFont(text_->text(), *text_->font(), CGSizeMake(textW, 9999), UILineBreakMode::WordWrap);
    double textH =
        std::clamp(need.height + 16, 44.0, std::min(kMaxHeight, b.size.height - 20) - kTitleHeight - kButtonArea);
    double h = kTitleHeight + textH + kButtonArea;
    panel_->setFrame(CGRectMake((b.size.width - w) / 2, (b.size.height - h) / 2, w, h));
    title_->setFrame(CGRectMake(0, 0, w, kTitleHeight));
    text_->setFrame(CGRectMake(kTextInset, kTitleHeight, textW, textH));
    close_->setFrame(CGRectMake((w - 120) / 2, kTitleHeight + textH + 8, 120, 36));
}

void VTAPopupTextView::touchesEnded(const UITouchSet& touches, UIEvent*) {
    UITouch* t = touches.anyObject();
    if (t && !CGRectContainsPoint(panel_->frame(), t->locationInView(this))) close();
}

void VTAPopupTextView::close() {
    if (closing_ || !superview()) return;
    closing_ = true;
    auto keep = shared();
    UIView::animateWithDuration(
        kFadeSeconds, [this] { setAlpha(0); },
        [keep](bool) {
            auto self = std::static_pointer_cast<VTAPopupTextView>(keep);
            self->removeFromSuperview();
            self->closing_ = false;
            if (self->onClose) self->onClose();
        });
}
