#include "platform/uikit/UIButton.h"

#include "platform/graphics/TextDrawing.h"

#include <algorithm>

UIButton::UIButton(UIButtonType type, const CGRect& frame) : UIControl(frame), type_(type) {
    titleLabel_ = std::make_shared<UILabel>();
    titleLabel_->setBackgroundColor(nullptr);
    titleLabel_->setTextAlignment(UITextAlignment::Center);
    titleLabel_->setLineBreakMode(UILineBreakMode::MiddleTruncation);
    imageView_ = std::make_shared<UIImageView>();
    imageView_->setContentMode(UIViewContentMode::Center);
    addSubview(imageView_);
    addSubview(titleLabel_);
    setOpaque(false);
    if (type_ == UIButtonType::RoundedRect) {
        titleLabel_->setFont(UIFont::boldSystemFontOfSize(15));
        titleColors_[UIControlStateNormal] = UIColor::colorWithRed(0.22, 0.33, 0.53, 1);
        titleColors_[UIControlStateHighlighted] = UIColor::whiteColor();
        titleColors_[UIControlStateDisabled] = UIColor::colorWithWhite(0.6, 1);
    } else {
        titleLabel_->setFont(UIFont::boldSystemFontOfSize(18));
        titleColors_[UIControlStateNormal] = UIColor::whiteColor();
    }
    if (type_ == UIButtonType::DetailDisclosure || type_ == UIButtonType::InfoLight ||
        type_ == UIButtonType::InfoDark || type_ == UIButtonType::ContactAdd)
        setFrame(CGRectMake(frame.origin.x, frame.origin.y, 29, 31));
}

std::shared_ptr<UIButton> UIButton::buttonWithType(UIButtonType type) { return std::make_shared<UIButton>(type); }

template <class T>
T UIButton::lookup(const std::map<unsigned, T>& m, unsigned state) {
    auto it = m.find(state);
    if (it != m.end()) return it->second;
    // Highlighted while selected falls back to selected, then normal.
    if (state & UIControlStateSelected) {
        it = m.find(UIControlStateSelected);
        if (it != m.end()) return it->second;
    }
    if (state & UIControlStateDisabled) {
        it = m.find(UIControlStateDisabled);
        if (it != m.end()) return it->second;
    }
    if (state & UIControlStateHighlighted) {
        it = m.find(UIControlStateHighlighted);
        if (it != m.end()) return it->second;
    }
    it = m.find(UIControlStateNormal);
    return it != m.end() ? it->second : T{};
}

std::string UIButton::titleForState(unsigned s) const { return lookup(titles_, s); }
std::shared_ptr<UIColor> UIButton::titleColorForState(unsigned s) const { return lookup(titleColors_, s); }
std::shared_ptr<UIImage> UIButton::imageForState(unsigned s) const { return lookup(images_, s); }
std::shared_ptr<UIImage> UIButton::backgroundImageForState(unsigned s) const { return lookup(backgrounds_, s); }

void UIButton::setTitle(const std::string& title, unsigned s) {
    titles_[s] = title;
    refresh();
}

void UIButton::setTitleColor(std::shared_ptr<UIColor> c, unsigned s) {
    titleColors_[s] = std::move(c);
    refresh();
}

void UIButton::setTitleShadowColor(std::shared_ptr<UIColor> c, unsigned s) {
    shadowColors_[s] = std::move(c);
    refresh();
}

void UIButton::setImage(std::shared_ptr<UIImage> image, unsigned s) {
    images_[s] = std::move(image);
    refresh();
}

void UIButton::setBackgroundImage(std::shared_ptr<UIImage> image, unsigned s) {
    backgrounds_[s] = std::move(image);
    refresh();
}

void UIButton::setFont(std::shared_ptr<UIFont> font) {
    titleLabel_->setFont(std::move(font));
    setNeedsLayout();
}

void UIButton::setHighlighted(bool h) {
    UIControl::setHighlighted(h);
    refresh();
}

void UIButton::setEnabled(bool e) {
    UIControl::setEnabled(e);
    refresh();
}

void UIButton::setSelected(bool s) {
    UIControl::setSelected(s);
    refresh();
}

void UIButton::refresh() {
    applyState();
    setNeedsLayout();
    setNeedsDisplay();
}

void UIButton::applyState() {
    unsigned s = state();
    titleLabel_->setText(titleForState(s));
    auto color = titleColorForState(s);
    titleLabel_->setTextColor(color ? color : UIColor::whiteColor());
    titleLabel_->setShadowColor(lookup(shadowColors_, s));
    imageView_->setImage(imageForState(s));
}

CGSize UIButton::sizeThatFits(CGSize) const {
    CGSize t = titleLabel_->text().empty() ? CGSizeZero : sizeWithFont(titleLabel_->text(), *titleLabel_->font());
    auto img = currentImage();
    CGSize i = img ? img->size() : CGSizeZero;
    CGSize s = CGSizeMake(t.width + i.width + contentInsets_.left + contentInsets_.right,
                          std::max(t.height, i.height) + contentInsets_.top + contentInsets_.bottom);
    if (auto bg = currentBackgroundImage()) {
        s.width = std::max(s.width, bg->size().width);
        s.height = std::max(s.height, bg->size().height);
    }
    if (type_ == UIButtonType::RoundedRect) s = CGSizeMake(s.width + 24, std::max(s.height + 12, 37.0));
    return s;
}

void UIButton::layoutSubviews() {
    applyState();
    CGRect content = UIEdgeInsetsInsetRect(bounds(), contentInsets_);
    auto img = currentImage();
    CGSize is = img ? img->size() : CGSizeZero;
    std::string title = titleLabel_->text();
    CGSize ts = title.empty() ? CGSizeZero : sizeWithFont(title, *titleLabel_->font());
    ts.width = std::min(ts.width, std::max(0.0, content.size.width - is.width));
    ts.height = std::min(std::max(ts.height, titleLabel_->font()->lineHeight()), content.size.height);
    double total = is.width + ts.width;
    double x;
    switch (contentHorizontalAlignment()) {
        case UIControlContentHorizontalAlignment::Left:
            x = content.origin.x;
            break;
        case UIControlContentHorizontalAlignment::Right:
            x = CGRectGetMaxX(content) - total;
            break;
        default:
            x = content.origin.x + (content.size.width - total) / 2;
            break;
    }
    auto yFor = [&](double h) {
        switch (contentVerticalAlignment()) {
            case UIControlContentVerticalAlignment::Top:
                return content.origin.y;
            case UIControlContentVerticalAlignment::Bottom:
                return CGRectGetMaxY(content) - h;
            default:
                return content.origin.y + (content.size.height - h) / 2;
        }
    };
    CGRect ir = CGRectMake(x, yFor(is.height), is.width, is.height);
    imageView_->setFrame(UIEdgeInsetsInsetRect(ir, imageInsets_));
    imageView_->setHidden(!img);
    CGRect tr = CGRectMake(x + is.width, yFor(ts.height), ts.width, ts.height);
    if (contentHorizontalAlignment() == UIControlContentHorizontalAlignment::Fill)
        tr = CGRectMake(content.origin.x + is.width, tr.origin.y, content.size.width - is.width, ts.height);
    titleLabel_->setFrame(UIEdgeInsetsInsetRect(tr, titleInsets_));
    titleLabel_->setHidden(title.empty());
}

void UIButton::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    if (auto bg = currentBackgroundImage()) {
        bg->drawInRect(b);
        if (isHighlighted() && adjustsWhenHighlighted_ && !backgrounds_.count(UIControlStateHighlighted)) {
            ctx->setFillColor(0, 0, 0, 0.3);
            ctx->fillRect(b);
        }
    } else if (type_ == UIButtonType::RoundedRect) {
        CGRect r = CGRectInset(b, 0.5, 0.5);
        ctx->beginPath();
        ctx->addRoundedRect(r, 9);
        if (isHighlighted())
            ctx->setFillColor(0.2, 0.45, 0.9, 1);
        else
            ctx->setFillColor(1, 1, 1, 1);
        ctx->fillPath();
        ctx->beginPath();
        ctx->addRoundedRect(r, 9);
        ctx->setStrokeColor(0.55, 0.58, 0.63, 1);
        ctx->setLineWidth(1);
        ctx->strokePath();
    } else if (type_ == UIButtonType::DetailDisclosure || type_ == UIButtonType::InfoLight ||
               type_ == UIButtonType::InfoDark || type_ == UIButtonType::ContactAdd) {
        CGRect c = CGRectMake(CGRectGetMidX(b) - 11, CGRectGetMidY(b) - 11, 22, 22);
        if (type_ == UIButtonType::DetailDisclosure)
            ctx->setFillColor(0.14, 0.44, 0.86, 1);
        else
            ctx->setFillColor(type_ == UIButtonType::InfoLight ? 1 : 0.2, type_ == UIButtonType::InfoLight ? 1 : 0.2,
                              type_ == UIButtonType::InfoLight ? 1 : 0.2, 1);
        ctx->fillEllipseInRect(c);
        ctx->setStrokeColor(1, 1, 1, 1);
        ctx->setLineWidth(2.5);
        ctx->beginPath();
        if (type_ == UIButtonType::DetailDisclosure) {
            ctx->moveToPoint(c.origin.x + 9, c.origin.y + 6);
            ctx->addLineToPoint(c.origin.x + 14, c.origin.y + 11);
            ctx->addLineToPoint(c.origin.x + 9, c.origin.y + 16);
        } else {
            ctx->moveToPoint(CGRectGetMidX(c), c.origin.y + 5);
            ctx->addLineToPoint(CGRectGetMidX(c), CGRectGetMaxY(c) - 5);
            if (type_ == UIButtonType::ContactAdd) {
                ctx->moveToPoint(c.origin.x + 5, CGRectGetMidY(c));
                ctx->addLineToPoint(CGRectGetMaxX(c) - 5, CGRectGetMidY(c));
            }
        }
        ctx->strokePath();
    }
    if (isHighlighted() && showsTouch_) {
        ctx->setFillColor(1, 1, 1, 0.5);
        ctx->fillEllipseInRect(CGRectMake(CGRectGetMidX(b) - 15, CGRectGetMidY(b) - 15, 30, 30));
    }
}
