#include "platform/uikit/UINavigationBar.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UILabel.h"

#include <algorithm>
#include <tuple>

void drawBarBackground(CGContext& ctx, const CGRect& r, UIBarStyle style, const std::shared_ptr<UIColor>& tint) {
    std::shared_ptr<UIColor> top, bottom;
    if (tint) {
        top = UIColor::colorWithRed(std::min(1.0, tint->red() + 0.25), std::min(1.0, tint->green() + 0.25),
                                    std::min(1.0, tint->blue() + 0.25), 1);
        bottom = UIColor::colorWithRed(tint->red(), tint->green(), tint->blue(), 1);
    } else if (style == UIBarStyle::Default) {
        top = UIColor::colorWithRed(0.69, 0.74, 0.80, 1);
        bottom = UIColor::colorWithRed(0.43, 0.52, 0.63, 1);
    } else {
        double a = style == UIBarStyle::BlackTranslucent ? 0.75 : 1;
        top = UIColor::colorWithWhite(0.28, a);
        bottom = UIColor::colorWithWhite(0.02, a);
    }
    ctx.saveGState();
    ctx.clipToRect(r);
    ctx.drawLinearGradient({top, bottom}, {}, r.origin, CGPointMake(r.origin.x, CGRectGetMaxY(r)));
    ctx.setFillColor(0, 0, 0, 0.35);
    ctx.fillRect(CGRectMake(r.origin.x, CGRectGetMaxY(r) - 1, r.size.width, 1));
    ctx.restoreGState();
}

// ---------------------------------------------------------------- navigation bar

UINavigationBar::UINavigationBar(const CGRect& frame) : UIView(frame) {}

std::string UINavigationBar::backButtonTitle() const {
    UINavigationItem* prev = backItem();
    if (!prev) return "";
    if (prev->backBarButtonItem() && !prev->backBarButtonItem()->title().empty())
        return prev->backBarButtonItem()->title();
    if (!prev->title().empty()) return prev->title();
    return "返回";
}

void UINavigationBar::makeBackButton(const std::string& title) {
    if (backView_) backView_->removeFromSuperview();
    auto backItemForBar = std::make_shared<UIBarButtonItem>(title, UIBarButtonItemStyle::Bordered);
    std::function<void()>* action = &backAction_;
    backItemForBar->setAction([action](UIBarButtonItem&) {
        if (*action) (*action)();
    });
    // The button keeps its item alive.
    backView_ = makeBarItemView(backItemForBar, barStyle_, tint_, false, true);
    shownBackTitle_ = title;
}

void UINavigationBar::rebuild() {
    shownBackTitle_.clear();
    for (auto* v : {&backView_, &leftView_, &rightView_, &titleShown_})
        if (*v) {
            (*v)->removeFromSuperview();
            v->reset();
        }
    UINavigationItem* top = topItem();
    builtFor_ = items_.empty() ? std::weak_ptr<UINavigationItem>() : items_.back();
    builtVersion_ = top ? top->version() : 0;
    builtDepth_ = items_.size();
    if (!top) return;
    if (top->leftBarButtonItem()) {
        leftView_ = makeBarItemView(top->leftBarButtonItem(), barStyle_, tint_, false);
    } else if (backItem() && !top->hidesBackButton()) {
        makeBackButton(backButtonTitle());
    }
    if (top->rightBarButtonItem()) rightView_ = makeBarItemView(top->rightBarButtonItem(), barStyle_, tint_, false);
    if (top->titleView()) {
        titleShown_ = top->titleView();
    } else {
        auto label = std::make_shared<UILabel>();
        label->setText(top->title());
        label->setFont(UIFont::boldSystemFontOfSize(20));
        label->setTextColor(UIColor::whiteColor());
        label->setShadowColor(UIColor::colorWithWhite(0, 0.5));
        label->setBackgroundColor(nullptr);
        label->setTextAlignment(UITextAlignment::Center);
        label->setAdjustsFontSizeToFitWidth(true);
        label->setMinimumFontSize(13);
        titleShown_ = label;
    }
    for (auto* v : {&titleShown_, &backView_, &leftView_, &rightView_})
        if (*v) addSubview(*v);
}

bool UINavigationBar::needsRebuild() const {
    UINavigationItem* top = topItem();
    auto built = builtFor_.lock();
    return top != built.get() || (top && top->version() != builtVersion_) || items_.size() != builtDepth_;
}

bool UINavigationBar::contentChangedSinceLayout() const { return needsRebuild(); }

std::pair<double, double> UINavigationBar::placeButtons() {
    CGRect b = bounds();
    double left = 5, right = b.size.width - 5;
    auto place = [&](const std::shared_ptr<UIView>& v, bool atLeft) {
        if (!v) return;
        CGSize s = v->frame().size;
        s.width = std::min(s.width, b.size.width / 2 - 40);
        double y = (b.size.height - s.height) / 2;
        if (atLeft) {
            v->setFrame(CGRectMake(left, y, s.width, s.height));
            left += s.width + 5;
        } else {
            v->setFrame(CGRectMake(right - s.width, y, s.width, s.height));
            right -= s.width + 5;
        }
    };
    place(backView_ ? backView_ : leftView_, true);
    place(rightView_, false);
    return {left, right};
}

void UINavigationBar::layoutSubviews() {
    if (needsRebuild() || (titleShown_ && !titleShown_->superview())) rebuild();
    CGRect b = bounds();
    auto [left, right] = placeButtons();
    auto* label = dynamic_cast<UILabel*>(titleShown_.get());
    static const std::string kShortBack = "返回";
    if (label && backView_ && shownBackTitle_ != kShortBack && !label->text().empty()) {
        const double room = b.size.width - 2 * std::max(left, b.size.width - right);
        const double shortWidth =
            makeBarItemView(std::make_shared<UIBarButtonItem>(kShortBack, UIBarButtonItemStyle::Bordered), barStyle_,
                            tint_, false, true)
                ->frame()
                .size.width;
        const double kBreathingRoom = 12;  // the title does not touch the buttons
        if (sizeWithFont(label->text(), *label->font()).width + kBreathingRoom > room &&
            shortWidth < backView_->frame().size.width) {
            makeBackButton(kShortBack);
            addSubview(backView_);
            std::tie(left, right) = placeButtons();
        }
    }
    if (titleShown_) {
        // Centred on the bar when it fits, otherwise between the buttons.
        double inset = std::max(left, b.size.width - right);
        if (label) {
            label->setFrame(CGRectMake(inset, 0, std::max(0.0, b.size.width - 2 * inset), b.size.height));
        } else {
            CGSize s = titleShown_->frame().size;
            s.width = std::min(s.width, right - left);
            titleShown_->setFrame(
                CGRectMake((b.size.width - s.width) / 2, (b.size.height - s.height) / 2, s.width, s.height));
        }
    }
}

void UINavigationBar::drawRect(const CGRect&) {
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) drawBarBackground(*ctx, bounds(), barStyle_, tint_);
}

// ---------------------------------------------------------------- toolbar

UIToolbar::UIToolbar(const CGRect& frame) : UIView(frame) {}

void UIToolbar::setItems(std::vector<std::shared_ptr<UIBarButtonItem>> items, bool) {
    items_ = std::move(items);
    built_ = false;
    setNeedsLayout();
}

UIView* UIToolbar::viewForItem(const UIBarButtonItem* item) const {
    for (size_t i = 0; i < items_.size() && i < views_.size(); ++i)
        if (items_[i].get() == item) return views_[i].get();
    return nullptr;
}

unsigned long long UIToolbar::itemsVersion() const {
    unsigned long long version = 0;
    for (auto& i : items_) version += i->version();
    return version;
}

bool UIToolbar::contentChangedSinceLayout() const { return !built_ || itemsVersion() != builtVersion_; }

void UIToolbar::layoutSubviews() {
    unsigned long long version = itemsVersion();
    if (!built_ || version != builtVersion_) {
        for (auto& v : views_)
            if (v) v->removeFromSuperview();
        views_.clear();
        for (auto& i : items_) {
            auto v = makeBarItemView(i, barStyle_, tint_, true);
            if (v) addSubview(v);
            views_.push_back(v);
        }
        built_ = true;
        builtVersion_ = version;
    }
    CGRect b = bounds();
    const double margin = 6, gap = 8;
    double fixed = 0;
    int flexible = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->isSpace()) {
            if (items_[i]->systemItem() == UIBarButtonSystemItem::FlexibleSpace)
                ++flexible;
            else
                fixed += items_[i]->width();
        } else if (views_[i]) {
            fixed += views_[i]->frame().size.width;
        }
        if (i > 0) fixed += gap;
    }
    double spare = std::max(0.0, b.size.width - 2 * margin - fixed);
    double flex = flexible ? spare / flexible : 0;
    // Without flexible space the items are centred.
    double x = margin + (flexible ? 0 : spare / 2);
    for (size_t i = 0; i < items_.size(); ++i) {
        if (i > 0) x += gap;
        if (items_[i]->isSpace()) {
            x += items_[i]->systemItem() == UIBarButtonSystemItem::FlexibleSpace ? flex : items_[i]->width();
            continue;
        }
        if (!views_[i]) continue;
        CGSize s = views_[i]->frame().size;
        views_[i]->setFrame(CGRectMake(x, (b.size.height - s.height) / 2, s.width, s.height));
        x += s.width;
    }
}

void UIToolbar::drawRect(const CGRect&) {
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) drawBarBackground(*ctx, bounds(), barStyle_, tint_);
}
