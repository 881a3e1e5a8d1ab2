#include "platform/uikit/UILabel.h"

#include "platform/graphics/TextDrawing.h"

#include <algorithm>

UILabel::UILabel(const CGRect& frame) : UIView(frame) {
    font_ = UIFont::systemFontOfSize(17);
    textColor_ = UIColor::blackColor();
    // Labels of this system generation are opaque white unless told otherwise.
    setBackgroundColor(UIColor::whiteColor());
    setUserInteractionEnabled(false);
}

void UILabel::setText(const std::string& t) {
    if (t != text_) {
        text_ = t;
        setNeedsDisplay();
    }
}

void UILabel::setFont(std::shared_ptr<UIFont> f) {
    font_ = f ? std::move(f) : UIFont::systemFontOfSize(17);
    setNeedsDisplay();
}

void UILabel::setTextColor(std::shared_ptr<UIColor> c) {
    textColor_ = c ? std::move(c) : UIColor::blackColor();
    setNeedsDisplay();
}

double UILabel::displayedFontSize() const {
    if (adjusts_ && numberOfLines_ == 1 && !text_.empty())
        return fittingFontSize(text_, *font_, bounds().size.width, std::max(minimumFontSize_, 1.0));
    return font_->pointSize();
}

CGRect UILabel::textRectForBounds(const CGRect& b, int lines) const {
    if (text_.empty()) return CGRectMake(b.origin.x, b.origin.y, 0, 0);
    CGSize s;
    if (lines == 1) {
        auto f = font_->fontWithSize(displayedFontSize());
        s = sizeWithFont(text_, *f, b.size.width, lineBreakMode_);
        s.height = std::max(s.height, f->lineHeight());
    } else {
        double maxH = lines > 0 ? font_->lineHeight() * lines + 0.5 : b.size.height;
        s = sizeWithFont(text_, *font_, CGSizeMake(b.size.width, std::min(maxH, b.size.height)), lineBreakMode_);
    }
    s.width = std::min(s.width, b.size.width);
    s.height = std::min(s.height, b.size.height);
    return CGRectMake(b.origin.x, b.origin.y + (b.size.height - s.height) / 2, b.size.width, s.height);
}

void UILabel::drawTextInRect(const CGRect& r) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || text_.empty()) return;
    auto color = highlighted_ && highlightedTextColor_ ? highlightedTextColor_ : textColor_;
    if (!enabled_) color = color->colorWithAlphaComponent(color->alpha() * 0.45);
    auto draw = [&](double dx, double dy) {
        if (numberOfLines_ == 1) {
            auto f = font_->fontWithSize(displayedFontSize());
            drawString(text_, CGRectOffset(r, dx, dy), *f,
                       lineBreakMode_ == UILineBreakMode::WordWrap || lineBreakMode_ == UILineBreakMode::CharacterWrap
                           ? UILineBreakMode::Clip
                           : lineBreakMode_,
                       alignment_);
        } else {
            drawString(text_, CGRectOffset(r, dx, dy), *font_, lineBreakMode_, alignment_);
        }
    };
    if (shadowColor_ && shadowColor_->alpha() > 0) {
        ctx->setFillColor(*shadowColor_);
        draw(shadowOffset_.width, shadowOffset_.height);
    }
    ctx->setFillColor(*color);
    draw(0, 0);
}

void UILabel::drawRect(const CGRect&) { drawTextInRect(textRectForBounds(bounds(), numberOfLines_)); }

CGSize UILabel::sizeThatFits(CGSize size) const {
    if (numberOfLines_ == 1) {
        CGSize s = sizeWithFont(text_, *font_);
        s.height = std::max(s.height, font_->lineHeight());
        return s;
    }
    double w = size.width > 0 ? size.width : 1e6;
    double h = numberOfLines_ > 0 ? font_->lineHeight() * numberOfLines_ + 0.5 : 1e6;
    return sizeWithFont(text_, *font_, CGSizeMake(w, h), lineBreakMode_);
}
