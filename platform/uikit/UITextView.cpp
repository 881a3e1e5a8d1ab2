#include "platform/uikit/UITextView.h"

#include "platform/foundation/NSNotificationCenter.h"
#include "platform/graphics/TextDrawing.h"

#include <algorithm>

namespace {
constexpr double kInset = 8;
}

UITextView::UITextView(const CGRect& frame) : UIScrollView(frame) {
    font_ = UIFont::systemFontOfSize(12);
    textColor_ = UIColor::blackColor();
    setBackgroundColor(UIColor::whiteColor());
    setAlwaysBounceVertical(true);
}

void UITextView::setFrame(const CGRect& f) {
    UIScrollView::setFrame(f);
    updateContentSize();
}

void UITextView::setText(const std::string& t) {
    text_ = t;
    updateContentSize();
}

void UITextView::setFont(std::shared_ptr<UIFont> f) {
    font_ = f ? std::move(f) : UIFont::systemFontOfSize(12);
    updateContentSize();
}

void UITextView::updateContentSize() {
    double w = std::max(0.0, bounds().size.width - 2 * kInset);
    CGSize s = text_.empty() ? CGSizeZero : sizeWithFont(text_, *font_, CGSizeMake(w, 1e6), UILineBreakMode::WordWrap);
    setContentSize(CGSizeMake(bounds().size.width, s.height + 2 * kInset));
    setNeedsDisplay();
}

void UITextView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    double w = std::max(0.0, bounds().size.width - 2 * kInset);
    ctx->setFillColor(*textColor_);
    CGSize s = drawString(text_, CGRectMake(kInset, kInset, w, std::max(contentSize().height, bounds().size.height)),
                          *font_, UILineBreakMode::WordWrap, alignment_);
    if (editing_) {
        ctx->setFillColor(0.26, 0.42, 0.95, 1);
        ctx->fillRect(
            CGRectMake(kInset, kInset + std::max(0.0, s.height - font_->lineHeight()), 2, font_->lineHeight()));
    }
}

void UITextView::scrollRangeToVisible(NSRange) {
    CGPoint maxOffset = maximumContentOffset();
    setContentOffset(CGPointMake(contentOffset().x, maxOffset.y));
}

bool UITextView::canResignFirstResponder() const {
    return !delegate_ || delegate_->textViewShouldEndEditing(const_cast<UITextView&>(*this));
}

bool UITextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!editable_) return false;
    if (delegate_ && !delegate_->textViewShouldBeginEditing(*this)) return false;
    return UIResponder::becomeFirstResponder();
}

void UITextView::didBecomeFirstResponder() {
    editing_ = true;
    setNeedsDisplay();
    if (delegate_) delegate_->textViewDidBeginEditing(*this);
}

void UITextView::didResignFirstResponder() {
    editing_ = false;
    setNeedsDisplay();
    if (delegate_) delegate_->textViewDidEndEditing(*this);
}

void UITextView::change(NSRange range, const std::string& text) {
    auto keep = shared();
    if (delegate_ && !delegate_->textViewShouldChangeTextInRange(*this, range, text)) return;
    text_ = replaceUtf16Range(text_, range, text);
    updateContentSize();
    if (delegate_) delegate_->textViewDidChange(*this);
    NSNotificationCenter::defaultCenter().postNotificationName(UITextViewTextDidChangeNotification,
                                                               static_cast<UITextView*>(this));
}

void UITextView::insertText(const std::string& text) {
    if (!editing_) return;
    std::string ok;
    for (size_t start = 0;;) {
        size_t nl = text.find('\n', start);
        ok += filterTextForKeyboard(keyboardType_, text.substr(start, nl == std::string::npos ? nl : nl - start));
        if (nl == std::string::npos) break;
        ok += '\n';
        start = nl + 1;
    }
    if (!ok.empty()) change(NSMakeRange(utf16Length(text_), 0), ok);
}

void UITextView::deleteBackward() {
    if (!editing_ || text_.empty()) return;
    size_t last = utf16LengthOfLastCharacter(text_);
    change(NSMakeRange(utf16Length(text_) - last, last), "");
}

void UITextView::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    bool dragged = isDragging();
    UIScrollView::touchesEnded(touches, event);
    if (!dragged && editable_) becomeFirstResponder();
}
