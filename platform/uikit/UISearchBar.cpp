#include "platform/uikit/UISearchBar.h"

#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"
#include "platform/uikit/UINavigationBar.h"

namespace {
// The magnifier at the left of the field.
class Magnifier : public UIView {
public:
    Magnifier() : UIView(CGRectMake(0, 0, 24, 20)) {
        setOpaque(false);
        setUserInteractionEnabled(false);
    }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        ctx->setStrokeColor(0.5, 0.5, 0.5, 1);
        ctx->setLineWidth(1.8);
        ctx->strokeEllipseInRect(CGRectMake(7, 4, 9, 9));
        ctx->beginPath();
        ctx->moveToPoint(14.5, 11.5);
        ctx->addLineToPoint(18, 15);
        ctx->strokePath();
    }
};
}  // namespace

UISearchBar::UISearchBar(const CGRect& frame) : UIView(frame) {
    field_ = std::make_shared<UITextField>();
    field_->setBorderStyle(UITextBorderStyle::RoundedRect);
    field_->setFont(UIFont::systemFontOfSize(14));
    field_->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
    field_->setReturnKeyType(UIReturnKeyType::Search);
    field_->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    field_->setLeftView(std::make_shared<Magnifier>());
    field_->setLeftViewMode(UITextFieldViewMode::Always);
    field_->setDelegate(this);
    addSubview(field_);
    field_->addTarget(
        this,
        [this](UIControl&) {
            if (delegate_) delegate_->searchBarTextDidChange(*this, field_->text());
        },
        UIControlEventEditingChanged);
}

UISearchBar::~UISearchBar() { field_->setDelegate(nullptr); }

std::string UISearchBar::text() const { return field_->text(); }

void UISearchBar::setText(const std::string& t) {
    field_->setText(t);
    if (delegate_) delegate_->searchBarTextDidChange(*this, t);
}

std::string UISearchBar::placeholder() const { return field_->placeholder(); }
void UISearchBar::setPlaceholder(const std::string& p) { field_->setPlaceholder(p); }

void UISearchBar::setPrompt(const std::string& p) {
    prompt_ = p;
    if (!promptLabel_) {
        promptLabel_ = std::make_shared<UILabel>();
        promptLabel_->setBackgroundColor(nullptr);
        promptLabel_->setFont(UIFont::systemFontOfSize(13));
        promptLabel_->setTextAlignment(UITextAlignment::Center);
        addSubview(promptLabel_);
    }
    promptLabel_->setText(p);
    CGRect f = frame();
    setFrame(CGRectMake(f.origin.x, f.origin.y, f.size.width, p.empty() ? 44 : 74));
}

void UISearchBar::setShowsCancelButton(bool s, bool) {
    showsCancel_ = s;
    if (s && !cancel_) {
        auto b = std::make_shared<UIButton>(UIButtonType::Custom);
        b->setTitle("取消");
        b->setFont(UIFont::boldSystemFontOfSize(12));
        b->setBackgroundColor(UIColor::colorWithRed(0.36, 0.45, 0.6, 1));
        b->setCornerRadius(5);
        b->addTarget(
            this,
            [this](UIControl&) {
                if (delegate_) delegate_->searchBarCancelButtonClicked(*this);
            },
            UIControlEventTouchUpInside);
        cancel_ = b;
        addSubview(cancel_);
    }
    if (cancel_) cancel_->setHidden(!s);
    setNeedsLayout();
}

UIButton* UISearchBar::cancelButton() const { return showsCancel_ ? cancel_.get() : nullptr; }

void UISearchBar::layoutSubviews() {
    CGRect b = bounds();
    double top = 0;
    if (promptLabel_ && !prompt_.empty()) {
        promptLabel_->setFrame(CGRectMake(0, 4, b.size.width, 22));
        promptLabel_->setTextColor(barStyle_ == UIBarStyle::Default ? UIColor::colorWithWhite(0.2, 1)
                                                                    : UIColor::whiteColor());
        top = 30;
    }
    double right = b.size.width - 6;
    if (cancel_ && showsCancel_) {
        cancel_->setFrame(CGRectMake(right - 54, top + 7, 54, 30));
        right -= 60;
    }
    field_->setFrame(CGRectMake(6, top + 7, right - 6, 30));
}

void UISearchBar::drawRect(const CGRect&) {
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) drawBarBackground(*ctx, bounds(), barStyle_, tint_);
}

bool UISearchBar::textFieldShouldBeginEditing(UITextField&) {
    return !delegate_ || delegate_->searchBarShouldBeginEditing(*this);
}

void UISearchBar::textFieldDidBeginEditing(UITextField&) {
    if (delegate_) delegate_->searchBarTextDidBeginEditing(*this);
}

bool UISearchBar::textFieldShouldEndEditing(UITextField&) {
    return !delegate_ || delegate_->searchBarShouldEndEditing(*this);
}

void UISearchBar::textFieldDidEndEditing(UITextField&) {
    if (delegate_) delegate_->searchBarTextDidEndEditing(*this);
}

bool UISearchBar::textFieldShouldChangeCharactersInRange(UITextField&, NSRange r, const std::string& s) {
    return !delegate_ || delegate_->searchBarShouldChangeTextInRange(*this, r, s);
}

bool UISearchBar::textFieldShouldReturn(UITextField&) {
    if (delegate_) delegate_->searchBarSearchButtonClicked(*this);
    return true;
}
