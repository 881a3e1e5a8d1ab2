#include "platform/uikit/UITextField.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIKeyboard.h"

#include <algorithm>

namespace {
constexpr double kClearSize = 19;
constexpr double kCaretWidth = 2, kCaretGap = 1;
constexpr double kMinimumPlaceholderSize = 12;

std::string dots(const std::string& text) {
    std::string out;
    for (size_t i = 0, n = utf16Length(text); i < n; ++i) out += "●";
    return out;
}
}  // namespace

UITextField::UITextField(const CGRect& frame) : UIControl(frame) {
    font_ = UIFont::systemFontOfSize(12);
    textColor_ = UIColor::blackColor();
    setOpaque(false);
    setContentVerticalAlignment(UIControlContentVerticalAlignment::Top);
}

void UITextField::setText(const std::string& t) {
    text_ = t;
    setNeedsDisplay();
}

void UITextField::setFont(std::shared_ptr<UIFont> f) {
    font_ = f ? std::move(f) : UIFont::systemFontOfSize(12);
    setNeedsDisplay();
}

void UITextField::setKeyboardType(UIKeyboardType t) {
    keyboardType_ = t;
    if (isFirstResponder()) UIKeyboard::keyboard().configure(keyboardType_, returnKeyType_);
}

void UITextField::setLeftView(std::shared_ptr<UIView> v) {
    if (leftView_) leftView_->removeFromSuperview();
    leftView_ = std::move(v);
    if (leftView_) addSubview(leftView_);
    setNeedsLayout();
}

void UITextField::setRightView(std::shared_ptr<UIView> v) {
    if (rightView_) rightView_->removeFromSuperview();
    rightView_ = std::move(v);
    if (rightView_) addSubview(rightView_);
    setNeedsLayout();
}

bool UITextField::viewModeShows(UITextFieldViewMode m) const {
    switch (m) {
        case UITextFieldViewMode::Always:
            return true;
        case UITextFieldViewMode::WhileEditing:
            return editing_;
        case UITextFieldViewMode::UnlessEditing:
            return !editing_;
        default:
            return false;
    }
}

bool UITextField::showsClearButton() const { return !text_.empty() && viewModeShows(clearButtonMode_); }

CGRect UITextField::clearButtonRectForBounds(const CGRect& b) const {
    double right = CGRectGetMaxX(b) - (borderStyle_ == UITextBorderStyle::None ? 0 : 6);
    if (rightView_ && viewModeShows(rightViewMode_)) right -= rightView_->frame().size.width;
    return CGRectMake(right - kClearSize, CGRectGetMidY(b) - kClearSize / 2, kClearSize, kClearSize);
}

CGRect UITextField::textRectForBounds(const CGRect& b) const {
    double inset = borderStyle_ == UITextBorderStyle::None ? 0 : 7;
    double left = b.origin.x + inset, right = CGRectGetMaxX(b) - inset;
    if (leftView_ && viewModeShows(leftViewMode_)) left += leftView_->frame().size.width;
    if (rightView_ && viewModeShows(rightViewMode_)) right -= rightView_->frame().size.width;
    if (showsClearButton()) right -= kClearSize + 4;
    double h = font_->lineHeight();
    double y;
    switch (contentVerticalAlignment()) {
        case UIControlContentVerticalAlignment::Center:
            y = b.origin.y + (b.size.height - h) / 2;
            break;
        case UIControlContentVerticalAlignment::Bottom:
            y = CGRectGetMaxY(b) - h - inset / 2;
            break;
        default:
            // A bordered field centres its text; a plain one starts at the top.
            y = borderStyle_ == UITextBorderStyle::None ? b.origin.y : b.origin.y + (b.size.height - h) / 2;
            break;
    }
    return CGRectMake(left, y, std::max(0.0, right - left), h);
}

void UITextField::layoutSubviews() {
    CGRect b = bounds();
    if (leftView_) {
        CGSize s = leftView_->frame().size;
        leftView_->setFrame(CGRectMake(0, (b.size.height - s.height) / 2, s.width, s.height));
        leftView_->setHidden(!viewModeShows(leftViewMode_));
    }
    if (rightView_) {
        CGSize s = rightView_->frame().size;
        rightView_->setFrame(CGRectMake(b.size.width - s.width, (b.size.height - s.height) / 2, s.width, s.height));
        rightView_->setHidden(!viewModeShows(rightViewMode_));
    }
}

double UITextField::placeholderFontSize() const {
    if (placeholder_.empty()) return font_->pointSize();
    // A placeholder a little too long for the field shrinks rather than lose its end.
    const double room = textRectForBounds(bounds()).size.width - kCaretWidth - kCaretGap;
    return fittingFontSize(placeholder_, *font_, room,
                           std::min(font_->pointSize(), std::max(minimumFontSize_, kMinimumPlaceholderSize)));
}

void UITextField::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    switch (borderStyle_) {
        case UITextBorderStyle::RoundedRect:
            ctx->beginPath();
            ctx->addRoundedRect(CGRectInset(b, 0.5, 0.5), 7);
            ctx->setFillColor(1, 1, 1, 1);
            ctx->fillPath();
            ctx->beginPath();
            ctx->addRoundedRect(CGRectInset(b, 0.5, 0.5), 7);
            ctx->setStrokeColor(0.6, 0.6, 0.6, 1);
            ctx->setLineWidth(1);
            ctx->strokePath();
            break;
        case UITextBorderStyle::Line:
        case UITextBorderStyle::Bezel:
            ctx->setStrokeColor(borderStyle_ == UITextBorderStyle::Line ? 0 : 0.45, 0, 0, 1);
            ctx->setLineWidth(1);
            ctx->strokeRect(CGRectInset(b, 0.5, 0.5));
            break;
        default:
            break;
    }
    CGRect tr = textRectForBounds(b);
    ctx->saveGState();
    ctx->clipToRect(CGRectMake(tr.origin.x, b.origin.y, tr.size.width + 3, b.size.height));
    std::string shown = secure_ ? dots(text_) : text_;
    double caretX = tr.origin.x;
    if (shown.empty()) {
        auto placeholderFont = font_->fontWithSize(placeholderFontSize());
        // The caret stands just before where the placeholder starts, never over
        // its first character: at the left edge the placeholder makes room.
        double width = std::min(sizeWithFont(placeholder_, *placeholderFont).width, tr.size.width);
        double start = tr.origin.x;
        if (alignment_ == UITextAlignment::Center)
            start = CGRectGetMidX(tr) - width / 2;
        else if (alignment_ == UITextAlignment::Right)
            start = CGRectGetMaxX(tr) - width;
        CGRect room = tr;
        caretX = start - kCaretWidth - kCaretGap;
        if (caretX < tr.origin.x) {
            room.origin.x += tr.origin.x - caretX;
            room.size.width -= tr.origin.x - caretX;
            caretX = tr.origin.x;
        }
        if (!placeholder_.empty()) {
            room.origin.y += (font_->lineHeight() - placeholderFont->lineHeight()) / 2;  // on the text's middle
            ctx->setFillColor(0.7, 0.7, 0.7, 1);
            drawString(placeholder_, room, *placeholderFont, UILineBreakMode::TailTruncation, alignment_);
        }
    } else {
        auto font = font_;
        if (adjustsFont_ && minimumFontSize_ > 0)
            font = font_->fontWithSize(fittingFontSize(shown, *font_, tr.size.width, minimumFontSize_));
        double w = sizeWithFont(shown, *font).width;
        double x = tr.origin.x;
        if (w > tr.size.width)
            x = CGRectGetMaxX(tr) - w;  // the end of a long text stays in view while typing
        else if (alignment_ == UITextAlignment::Center)
            x = tr.origin.x + (tr.size.width - w) / 2;
        else if (alignment_ == UITextAlignment::Right)
            x = CGRectGetMaxX(tr) - w;
        ctx->setFillColor(*textColor_);
        drawStringAtPoint(shown, CGPointMake(x, tr.origin.y), *font);
        caretX = x + w;
    }
    if (editing_) {
        ctx->setFillColor(0.26, 0.42, 0.95, 1);
        ctx->fillRect(CGRectMake(std::min(caretX, CGRectGetMaxX(tr)), tr.origin.y, kCaretWidth, tr.size.height));
    }
    ctx->restoreGState();
    if (showsClearButton()) {
        CGRect c = clearButtonRectForBounds(b);
        ctx->setFillColor(0.7, 0.7, 0.7, 1);
        ctx->fillEllipseInRect(c);
        ctx->setStrokeColor(1, 1, 1, 1);
        ctx->setLineWidth(2);
        ctx->beginPath();
        ctx->moveToPoint(c.origin.x + 6, c.origin.y + 6);
        ctx->addLineToPoint(CGRectGetMaxX(c) - 6, CGRectGetMaxY(c) - 6);
        ctx->moveToPoint(CGRectGetMaxX(c) - 6, c.origin.y + 6);
        ctx->addLineToPoint(c.origin.x + 6, CGRectGetMaxY(c) - 6);
        ctx->strokePath();
    }
}

// ---------------------------------------------------------------- editing

bool UITextField::canBecomeFirstResponder() const { return isEnabled() && isUserInteractionEnabled(); }

bool UITextField::canResignFirstResponder() const {
    return !delegate_ || delegate_->textFieldShouldEndEditing(const_cast<UITextField&>(*this));
}

bool UITextField::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    if (delegate_ && !delegate_->textFieldShouldBeginEditing(*this)) return false;
    return UIResponder::becomeFirstResponder();
}

void UITextField::didBecomeFirstResponder() {
    auto keep = shared();
    editing_ = true;
    if (clearsOnBegin_) text_.clear();
    setNeedsLayout();
    setNeedsDisplay();
    if (delegate_) delegate_->textFieldDidBeginEditing(*this);
    sendActionsForControlEvents(UIControlEventEditingDidBegin);
    NSNotificationCenter::defaultCenter().postNotificationName(UITextFieldTextDidBeginEditingNotification,
                                                               static_cast<UITextField*>(this));
}

void UITextField::didResignFirstResponder() {
    auto keep = shared();
    editing_ = false;
    setNeedsLayout();
    setNeedsDisplay();
    if (delegate_) delegate_->textFieldDidEndEditing(*this);
    sendActionsForControlEvents(UIControlEventEditingDidEnd);
    NSNotificationCenter::defaultCenter().postNotificationName(UITextFieldTextDidEndEditingNotification,
                                                               static_cast<UITextField*>(this));
}

void UITextField::changeText(NSRange range, const std::string& replacement) {
    auto keep = shared();
    if (delegate_ && !delegate_->textFieldShouldChangeCharactersInRange(*this, range, replacement)) return;
    text_ = replaceUtf16Range(text_, range, replacement);
    setNeedsDisplay();
    sendActionsForControlEvents(UIControlEventEditingChanged);
    NSNotificationCenter::defaultCenter().postNotificationName(UITextFieldTextDidChangeNotification,
                                                               static_cast<UITextField*>(this));
}

void UITextField::insertText(const std::string& text) {
    if (!editing_) return;
    size_t nl = text.find('\n');
    std::string part = filterTextForKeyboard(keyboardType_, text.substr(0, nl));
    if (!part.empty()) changeText(NSMakeRange(utf16Length(text_), 0), part);
    if (nl != std::string::npos) returnKeyPressed();
}

void UITextField::deleteBackward() {
    if (!editing_ || text_.empty()) return;
    size_t last = utf16LengthOfLastCharacter(text_);
    changeText(NSMakeRange(utf16Length(text_) - last, last), "");
}

void UITextField::returnKeyPressed() {
    auto keep = shared();
    bool ok = delegate_ ? delegate_->textFieldShouldReturn(*this) : true;
    if (ok && (allControlEvents() & UIControlEventEditingDidEndOnExit)) {
        sendActionsForControlEvents(UIControlEventEditingDidEndOnExit);
        resignFirstResponder();
    }
}

void UITextField::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    auto keep = shared();
    UITouch* t = touches.anyObject();
    bool inside = t && CGRectContainsPoint(bounds(), t->locationInView(this));
    UIControl::touchesEnded(touches, event);
    if (!inside || !isEnabled()) return;
    if (editing_ && showsClearButton() &&
        CGRectContainsPoint(CGRectInset(clearButtonRectForBounds(bounds()), -8, -8), t->locationInView(this))) {
        if (!delegate_ || delegate_->textFieldShouldClear(*this)) {
            text_.clear();
            setNeedsDisplay();
            sendActionsForControlEvents(UIControlEventEditingChanged);
            NSNotificationCenter::defaultCenter().postNotificationName(UITextFieldTextDidChangeNotification,
                                                                       static_cast<UITextField*>(this));
        }
        return;
    }
    becomeFirstResponder();
}
