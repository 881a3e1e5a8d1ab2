#include "platform/uikit/UIActionSheet.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/PopupButton.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"

#include <algorithm>

namespace {
constexpr double kButtonHeight = 44;
constexpr double kGap = 8;
constexpr double kMargin = 20;

std::vector<std::shared_ptr<UIActionSheet>>& registry() {
    static std::vector<std::shared_ptr<UIActionSheet>> sheets;
    return sheets;
}
}  // namespace

UIActionSheet::UIActionSheet(const std::string& title, UIActionSheetDelegate* delegate,
                             std::optional<std::string> cancelButtonTitle,
                             std::optional<std::string> destructiveButtonTitle,
                             const std::vector<std::string>& otherButtonTitles)
    : UIView(UIScreen::mainScreen().bounds()), title_(title), delegate_(delegate) {
    setOpaque(false);
    if (destructiveButtonTitle) {
        destructiveIndex_ = 0;
        buttons_.push_back(*destructiveButtonTitle);
    }
    for (auto& t : otherButtonTitles) buttons_.push_back(t);
    if (cancelButtonTitle) {
        cancelIndex_ = static_cast<int>(buttons_.size());
        buttons_.push_back(*cancelButtonTitle);
    }
    titleLabel_ = std::make_shared<UILabel>();
    titleLabel_->setFont(UIFont::systemFontOfSize(13));
    titleLabel_->setTextColor(UIColor::colorWithWhite(0.25, 1));
    titleLabel_->setBackgroundColor(nullptr);
    titleLabel_->setTextAlignment(UITextAlignment::Center);
    titleLabel_->setNumberOfLines(0);
    titleLabel_->setLineBreakMode(UILineBreakMode::WordWrap);
    addSubview(titleLabel_);
    rebuildButtons();
}

UIActionSheet::~UIActionSheet() = default;

UIActionSheetDelegate* UIActionSheet::delegate() const { return weak_ ? weakDelegate_.lock().get() : delegate_; }

void UIActionSheet::setDelegate(UIActionSheetDelegate* d) {
    delegate_ = d;
    weak_ = false;
}

void UIActionSheet::setDelegate(std::weak_ptr<UIActionSheetDelegate> d) {
    weakDelegate_ = std::move(d);
    weak_ = true;
}

int UIActionSheet::addButtonWithTitle(const std::string& title) {
    buttons_.push_back(title);
    rebuildButtons();
    return static_cast<int>(buttons_.size()) - 1;
}

std::string UIActionSheet::buttonTitleAtIndex(int index) const {
    if (index < 0 || index >= numberOfButtons()) return "";
    return buttons_[static_cast<size_t>(index)];
}

int UIActionSheet::firstOtherButtonIndex() const {
    for (int i = 0; i < numberOfButtons(); ++i)
        if (i != cancelIndex_ && i != destructiveIndex_) return i;
    return -1;
}

UIButton* UIActionSheet::buttonViewAtIndex(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= buttonViews_.size()) return nullptr;
    return buttonViews_[static_cast<size_t>(index)].get();
}

void UIActionSheet::rebuildButtons() {
    for (auto& b : buttonViews_) b->removeFromSuperview();
    buttonViews_.clear();
    for (int i = 0; i < numberOfButtons(); ++i) {
        PopupButtonStyle style = i == cancelIndex_        ? PopupButtonStyle::SheetCancel
                                 : i == destructiveIndex_ ? PopupButtonStyle::SheetDestructive
                                                          : PopupButtonStyle::Sheet;
        auto b = std::make_shared<PopupButton>(buttons_[static_cast<size_t>(i)], style);
        b->setTag(i);
        UIActionSheet* self = this;
        b->addTarget(
            self, [self, i](UIControl&) { self->tapButtonAtIndex(i); }, UIControlEventTouchUpInside);
        addSubview(b);
        buttonViews_.push_back(b);
    }
    setNeedsLayout();
}

CGRect UIActionSheet::extraContentFrame() const {
    return CGRectMake(sheet_.origin.x, sheet_.origin.y + titleHeight_, sheet_.size.width, extraHeight_);
}

void UIActionSheet::layoutSubviews() {
    CGRect screen = bounds();
    double inner = screen.size.width - 2 * kMargin;
    titleLabel_->setText(title_);
    titleHeight_ =
        title_.empty()
            ? kGap
            : sizeWithFont(title_, *titleLabel_->font(), CGSizeMake(inner, 300), UILineBreakMode::WordWrap).height +
                  2 * kGap + 6;
    double h = titleHeight_ + extraHeight_;
    for (int i = 0; i < numberOfButtons(); ++i) h += kButtonHeight + kGap + (i == cancelIndex_ ? 8 : 0);
    h += kGap + 6;
    sheet_ = CGRectMake(0, screen.size.height - h, screen.size.width, h);
    titleLabel_->setFrame(
        CGRectMake(kMargin, sheet_.origin.y + kGap + 3, inner, std::max(0.0, titleHeight_ - 2 * kGap - 6)));
    titleLabel_->setHidden(title_.empty());
    double y = sheet_.origin.y + titleHeight_ + extraHeight_;
    // In index order, the cancel button last and apart.
    for (int i = 0; i < numberOfButtons(); ++i) {
        if (i == cancelIndex_) continue;
        buttonViews_[static_cast<size_t>(i)]->setFrame(CGRectMake(kMargin, y, inner, kButtonHeight));
        y += kButtonHeight + kGap;
    }
    if (cancelIndex_ >= 0 && cancelIndex_ < numberOfButtons())
        buttonViews_[static_cast<size_t>(cancelIndex_)]->setFrame(CGRectMake(kMargin, y + 8, inner, kButtonHeight));
}

void UIActionSheet::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    ctx->setFillColor(0, 0, 0, 0.4);
    ctx->fillRect(bounds());
    bool black = style_ == UIActionSheetStyle::BlackOpaque || style_ == UIActionSheetStyle::BlackTranslucent;
    if (black)
        ctx->setFillColor(0.1, 0.1, 0.1, style_ == UIActionSheetStyle::BlackTranslucent ? 0.85 : 1);
    else
        ctx->setFillColor(0.38, 0.45, 0.58, 0.95);
    ctx->fillRect(sheet_);
    if (black)
        titleLabel_->setTextColor(UIColor::colorWithWhite(0.85, 1));
    else
        titleLabel_->setTextColor(UIColor::whiteColor());
}

void UIActionSheet::showInView(UIView* view) {
    if (visible_) return;
    auto self = std::static_pointer_cast<UIActionSheet>(shared());
    if (!self) return;
    if (auto* d = delegate()) d->willPresentActionSheet(*this);
    visible_ = true;
    registry().push_back(self);
    UIWindow* w = view ? view->window() : nullptr;
    if (!w) w = UIApplication::sharedApplication().keyWindow();
    if (w) {
        setFrame(w->bounds());
        w->addSubview(self);
    }
    layoutIfNeeded();
    if (auto* d = delegate()) d->didPresentActionSheet(*this);
}

void UIActionSheet::finishDismiss(int index) {
    auto self = std::static_pointer_cast<UIActionSheet>(shared());
    if (auto* d = delegate()) d->actionSheetWillDismissWithButtonIndex(*this, index);
    visible_ = false;
    removeFromSuperview();
    auto& r = registry();
    r.erase(std::remove(r.begin(), r.end(), self), r.end());
    if (auto* d = delegate()) d->actionSheetDidDismissWithButtonIndex(*this, index);
}

void UIActionSheet::dismissWithClickedButtonIndex(int index, bool) {
    if (visible_) finishDismiss(index);
}

void UIActionSheet::tapButtonAtIndex(int index) {
    if (!visible_ || index < 0 || index >= numberOfButtons()) return;
    auto self = shared();
    if (auto* d = delegate()) d->actionSheetClickedButtonAtIndex(*this, index);
    if (visible_) finishDismiss(index);
}

std::vector<std::shared_ptr<UIActionSheet>> UIActionSheet::visibleSheets() { return registry(); }
