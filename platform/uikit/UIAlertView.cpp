#include "platform/uikit/UIAlertView.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/InputHooks.h"
#include "platform/uikit/PopupButton.h"
#include "platform/uikit/UIActionSheet.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UITextField.h"
#include "platform/uikit/UITextView.h"

#include <algorithm>

namespace {
constexpr double kBoxWidth = 284;
constexpr double kPad = 16;
constexpr double kButtonHeight = 43;
constexpr double kGap = 8;

std::vector<std::shared_ptr<UIAlertView>>& registry() {
    static std::vector<std::shared_ptr<UIAlertView>> alerts;
    return alerts;
}

void refreshVisibility() {
    auto& r = registry();
    for (size_t i = 0; i < r.size(); ++i) r[i]->setHidden(i + 1 != r.size());
}
}  // namespace

void modalPopupsReset() {
    for (auto& a : registry()) a->removeFromSuperview();
    registry().clear();
    for (auto& s : UIActionSheet::visibleSheets()) {
        s->setDelegate(nullptr);
        s->dismissWithClickedButtonIndex(-1, false);
    }
}

UIAlertView::UIAlertView(const std::string& title, const std::string& message, UIAlertViewDelegate* delegate,
                         std::optional<std::string> cancelButtonTitle,
                         const std::vector<std::string>& otherButtonTitles)
    : UIView(UIScreen::mainScreen().bounds()), title_(title), message_(message), delegate_(delegate) {
    setOpaque(false);
    if (cancelButtonTitle) {
        buttons_.push_back(*cancelButtonTitle);
        cancelIndex_ = 0;
    }
    for (auto& t : otherButtonTitles) buttons_.push_back(t);
    titleLabel_ = std::make_shared<UILabel>();
    titleLabel_->setFont(UIFont::boldSystemFontOfSize(18));
    titleLabel_->setTextColor(UIColor::whiteColor());
    titleLabel_->setBackgroundColor(nullptr);
    titleLabel_->setTextAlignment(UITextAlignment::Center);
    titleLabel_->setNumberOfLines(0);
    titleLabel_->setLineBreakMode(UILineBreakMode::WordWrap);
    messageLabel_ = std::make_shared<UILabel>();
    messageLabel_->setFont(UIFont::systemFontOfSize(16));
    messageLabel_->setTextColor(UIColor::whiteColor());
    messageLabel_->setBackgroundColor(nullptr);
    messageLabel_->setTextAlignment(UITextAlignment::Center);
    messageLabel_->setNumberOfLines(0);
    messageLabel_->setLineBreakMode(UILineBreakMode::WordWrap);
    addSubview(titleLabel_);
    addSubview(messageLabel_);
    rebuildButtons();
}

UIAlertView::~UIAlertView() = default;

UIAlertViewDelegate* UIAlertView::delegate() const {
    if (weak_) return weakDelegate_.lock().get();
    return delegate_;
}

void UIAlertView::setDelegate(UIAlertViewDelegate* d) {
    delegate_ = d;
    weak_ = false;
    weakDelegate_.reset();
}

void UIAlertView::setDelegate(std::weak_ptr<UIAlertViewDelegate> d) {
    weakDelegate_ = std::move(d);
    weak_ = true;
    delegate_ = nullptr;
}

void UIAlertView::setTitle(const std::string& t) {
    title_ = t;
    setNeedsLayout();
}

void UIAlertView::setMessage(const std::string& m) {
    message_ = m;
    setNeedsLayout();
}

int UIAlertView::addButtonWithTitle(const std::string& title) {
    buttons_.push_back(title);
    rebuildButtons();
    return static_cast<int>(buttons_.size()) - 1;
}

std::string UIAlertView::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return "";
    return buttons_[static_cast<size_t>(index)];
}

int UIAlertView::firstOtherButtonIndex() const {
    for (int i = 0; i < numberOfButtons(); ++i)
        if (i != cancelIndex_) return i;
    return -1;
}

void UIAlertView::setAlertViewStyle(UIAlertViewStyle s) {
    style_ = s;
    for (auto& f : fields_) f->removeFromSuperview();
    fields_.clear();
    int count = s == UIAlertViewStyle::Default ? 0 : s == UIAlertViewStyle::LoginAndPasswordInput ? 2 : 1;
    for (int i = 0; i < count; ++i) {
        auto f = std::make_shared<UITextField>();
        f->setBorderStyle(UITextBorderStyle::Line);
        f->setBackgroundColor(UIColor::whiteColor());
        f->setFont(UIFont::systemFontOfSize(16));
        f->setContentVerticalAlignment(UIControlContentVerticalAlignment::Center);
        f->setSecureTextEntry(s == UIAlertViewStyle::SecureTextInput || (count == 2 && i == 1));
        addSubview(f);
        fields_.push_back(f);
    }
    setNeedsLayout();
}

std::shared_ptr<UITextField> UIAlertView::textFieldAtIndex(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= fields_.size()) return nullptr;
    return fields_[static_cast<size_t>(index)];
}

UIButton* UIAlertView::buttonViewAtIndex(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= buttonViews_.size()) return nullptr;
    return buttonViews_[static_cast<size_t>(index)].get();
}

void UIAlertView::rebuildButtons() {
    for (auto& b : buttonViews_) b->removeFromSuperview();
    buttonViews_.clear();
    for (int i = 0; i < numberOfButtons(); ++i) {
        auto b =
            std::make_shared<PopupButton>(buttons_[static_cast<size_t>(i)],
                                          i == cancelIndex_ ? PopupButtonStyle::AlertCancel : PopupButtonStyle::Alert);
        b->setTag(i);
        UIAlertView* self = this;
        b->addTarget(
            self, [self, i](UIControl&) { self->tapButtonAtIndex(i); }, UIControlEventTouchUpInside);
        addSubview(b);
        buttonViews_.push_back(b);
    }
    setNeedsLayout();
}

void UIAlertView::layoutSubviews() {
    CGRect screen = bounds();
    const double inner = kBoxWidth - 2 * kPad;
    titleLabel_->setText(title_);
    messageLabel_->setText(message_);
    double titleH =
        title_.empty()
            ? 0
            : sizeWithFont(title_, *titleLabel_->font(), CGSizeMake(inner, 200), UILineBreakMode::WordWrap).height;
    // A message longer than the screen allows scrolls inside the alert.
    double maxMessage = std::max(60.0, 260 - titleH - 44.0 * static_cast<double>(fields_.size()));
    double fullMessage =
        message_.empty()
            ? 0
            : sizeWithFont(message_, *messageLabel_->font(), CGSizeMake(inner, 1e5), UILineBreakMode::WordWrap).height;
    const bool scrolls = fullMessage > maxMessage;
    double messageH = scrolls ? maxMessage : fullMessage;
    if (scrolls && !messageScroll_) {
        messageScroll_ = std::make_shared<UITextView>();
        messageScroll_->setEditable(false);
        messageScroll_->setBackgroundColor(UIColor::colorWithWhite(0, 0.15));
        messageScroll_->setTextColor(UIColor::whiteColor());
        messageScroll_->setFont(messageLabel_->font());
        addSubview(messageScroll_);
    }
    if (messageScroll_) {
        messageScroll_->setHidden(!scrolls);
        messageScroll_->setText(message_);
    }
    const bool sideBySide = buttonViews_.size() == 2;
    double buttonsH = buttonViews_.empty() ? 0
                      : sideBySide         ? kButtonHeight
                                           : buttonViews_.size() * kButtonHeight + (buttonViews_.size() - 1) * kGap;
    double fieldsH = fields_.size() * 31.0 + (fields_.empty() ? 0 : (fields_.size() - 1) * 6.0 + kGap);
    double h = kPad + titleH + (messageH > 0 ? kGap + messageH : 0) + (fieldsH > 0 ? kGap + fieldsH : 0) +
               (buttonsH > 0 ? kPad + buttonsH : 0) + kPad;
    double top = fields_.empty() ? (screen.size.height - h) / 2 : std::max(30.0, (264 - h) / 2);
    box_ = CGRectMake((screen.size.width - kBoxWidth) / 2, top, kBoxWidth, h);
    double x = box_.origin.x + kPad, y = box_.origin.y + kPad;
    titleLabel_->setFrame(CGRectMake(x, y, inner, titleH));
    y += titleH;
    if (messageH > 0) {
        y += kGap;
        messageLabel_->setFrame(CGRectMake(x, y, inner, messageH));
        if (scrolls) messageScroll_->setFrame(CGRectMake(x, y, inner, messageH));
        y += messageH;
    }
    messageLabel_->setHidden(messageH <= 0 || scrolls);
    if (!fields_.empty()) {
        y += kGap;
        for (auto& f : fields_) {
            f->setFrame(CGRectMake(x, y, inner, 31));
            y += 37;
        }
        y -= 6;
    }
    if (buttonViews_.empty()) return;
    y += kPad;
    if (sideBySide) {
        double w = (inner - kGap) / 2;
        // The cancel button sits at the left.
        int leftIndex = cancelIndex_ == 1 ? 1 : 0;
        buttonViews_[static_cast<size_t>(leftIndex)]->setFrame(CGRectMake(x, y, w, kButtonHeight));
        buttonViews_[static_cast<size_t>(1 - leftIndex)]->setFrame(CGRectMake(x + w + kGap, y, w, kButtonHeight));
        return;
    }
    // Stacked: the other buttons in order, the cancel button last.
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i == cancelIndex_) continue;
        buttonViews_[static_cast<size_t>(i)]->setFrame(CGRectMake(x, y, inner, kButtonHeight));
        y += kButtonHeight + kGap;
    }
    if (cancelIndex_ >= 0 && cancelIndex_ < numberOfButtons())
        buttonViews_[static_cast<size_t>(cancelIndex_)]->setFrame(CGRectMake(x, y, inner, kButtonHeight));
}

void UIAlertView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    ctx->setFillColor(0, 0, 0, 0.4);
    ctx->fillRect(bounds());
    ctx->saveGState();
    ctx->setShadow(CGSizeMake(0, 3), 6, UIColor::colorWithWhite(0, 0.6));
    ctx->beginPath();
    ctx->addRoundedRect(box_, 10);
    ctx->setFillColor(0.05, 0.12, 0.33, 0.92);
    ctx->fillPath();
    ctx->restoreGState();
    ctx->beginPath();
    ctx->addRoundedRect(CGRectInset(box_, 1, 1), 9);
    ctx->setStrokeColor(1, 1, 1, 0.9);
    ctx->setLineWidth(2);
    ctx->strokePath();
}

void UIAlertView::show() {
    if (visible_) return;
    auto self = std::static_pointer_cast<UIAlertView>(shared());
    if (!self) return;
    if (auto* d = delegate()) d->willPresentAlertView(*this);
    visible_ = true;
    registry().push_back(self);
    if (UIWindow* w = UIApplication::sharedApplication().keyWindow()) {
        setFrame(w->bounds());
        w->addSubview(self);
    }
    refreshVisibility();
    layoutIfNeeded();
    if (!fields_.empty()) fields_.front()->becomeFirstResponder();
    if (auto* d = delegate()) d->didPresentAlertView(*this);
}

void UIAlertView::finishDismiss(int index) {
    auto self = std::static_pointer_cast<UIAlertView>(shared());
    if (auto* d = delegate()) d->alertViewWillDismissWithButtonIndex(*this, index);
    for (auto& f : fields_)
        if (f->isFirstResponder()) f->resignFirstResponder();
    visible_ = false;
    removeFromSuperview();
    auto& r = registry();
    r.erase(std::remove(r.begin(), r.end(), self), r.end());
    refreshVisibility();
    if (auto* d = delegate()) d->alertViewDidDismissWithButtonIndex(*this, index);
}

void UIAlertView::dismissWithClickedButtonIndex(int index, bool) {
    if (!visible_) return;
    finishDismiss(index);
}

void UIAlertView::tapButtonAtIndex(int index) {
    if (!visible_ || index < 0 || index >= numberOfButtons()) return;
    auto self = shared();
    if (auto* d = delegate()) d->alertViewClickedButtonAtIndex(*this, index);
    // The delegate may have dismissed it already.
    if (visible_) finishDismiss(index);
}

std::vector<std::shared_ptr<UIAlertView>> UIAlertView::visibleAlerts() { return registry(); }

std::shared_ptr<UIAlertView> UIAlertView::topAlert() { return registry().empty() ? nullptr : registry().back(); }
