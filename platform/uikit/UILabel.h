#pragma once
// A read-only text: one line by default, vertically centred, truncated at the
// tail; optionally several lines, or shrunk down to a minimum size to fit the width.
#include "platform/graphics/UIFont.h"
#include "platform/uikit/UIView.h"

class UILabel : public UIView {
public:
    explicit UILabel(const CGRect& frame = CGRectZero);
    std::string className() const override { return "UILabel"; }

    const std::string& text() const { return text_; }
    void setText(const std::string& t);
    const std::shared_ptr<UIFont>& font() const { return font_; }
    void setFont(std::shared_ptr<UIFont> f);
    const std::shared_ptr<UIColor>& textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> c);
    const std::shared_ptr<UIColor>& highlightedTextColor() const { return highlightedTextColor_; }
    void setHighlightedTextColor(std::shared_ptr<UIColor> c) {
        highlightedTextColor_ = std::move(c);
        setNeedsDisplay();
    }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool h) {
        highlighted_ = h;
        setNeedsDisplay();
    }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e) {
        enabled_ = e;
        setNeedsDisplay();
    }
    UITextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(UITextAlignment a) {
        alignment_ = a;
        setNeedsDisplay();
    }
    // 0: as many lines as fit.
    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int n) {
        numberOfLines_ = n < 0 ? 0 : n;
        setNeedsDisplay();
    }
    UILineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(UILineBreakMode m) {
        lineBreakMode_ = m;
        setNeedsDisplay();
    }
    bool adjustsFontSizeToFitWidth() const { return adjusts_; }
    void setAdjustsFontSizeToFitWidth(bool a) {
        adjusts_ = a;
        setNeedsDisplay();
    }
    double minimumFontSize() const { return minimumFontSize_; }
    void setMinimumFontSize(double s) {
        minimumFontSize_ = s;
        setNeedsDisplay();
    }
    const std::shared_ptr<UIColor>& shadowColor() const { return shadowColor_; }
    void setShadowColor(std::shared_ptr<UIColor> c) {
        shadowColor_ = std::move(c);
        setNeedsDisplay();
    }
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize s) {
        shadowOffset_ = s;
        setNeedsDisplay();
    }

    // The font size the text is drawn at now (smaller than font() when shrunk).
    double displayedFontSize() const;
    // The rectangle the text is drawn in, within bounds.
    virtual CGRect textRectForBounds(const CGRect& bounds, int numberOfLines) const;
    virtual void drawTextInRect(const CGRect& rect);
    CGSize sizeThatFits(CGSize size) const override;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override { return text_; }

private:
    std::string text_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    std::shared_ptr<UIColor> highlightedTextColor_;
    std::shared_ptr<UIColor> shadowColor_;
    CGSize shadowOffset_ = CGSizeMake(0, -1);
    bool highlighted_ = false;
    bool enabled_ = true;
    UITextAlignment alignment_ = UITextAlignment::Left;
    int numberOfLines_ = 1;
    UILineBreakMode lineBreakMode_ = UILineBreakMode::TailTruncation;
    bool adjusts_ = false;
    double minimumFontSize_ = 0;
};
