#include "platform/uikit/UIBarButtonItem.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIButton.h"

#include <cmath>

namespace {
const char* systemTitle(UIBarButtonSystemItem item) {
    switch (item) {
        case UIBarButtonSystemItem::Done:
            return "完成";
        case UIBarButtonSystemItem::Cancel:
            return "取消";
        case UIBarButtonSystemItem::Edit:
            return "编辑";
        case UIBarButtonSystemItem::Save:
            return "存储";
        case UIBarButtonSystemItem::Undo:
            return "撤销";
        case UIBarButtonSystemItem::Redo:
            return "重做";
        default:
            return "";
    }
}

// On a navigation bar every system item but the spaces has a frame; on a
// toolbar only the worded ones ("完成", "取消"...) do, the glyphs stand plain.
bool systemBordered(UIBarButtonSystemItem item, bool onToolbar) {
    switch (item) {
        case UIBarButtonSystemItem::FlexibleSpace:
        case UIBarButtonSystemItem::FixedSpace:
            return false;
        default:
            return !onToolbar || *systemTitle(item) != '\0';
    }
}

// A bar button: a bordered (or done, or back-arrow) shape with a title, image or glyph.
class BarItemButton : public UIButton {
public:
    BarItemButton(std::shared_ptr<UIBarButtonItem> item, UIBarStyle barStyle, std::shared_ptr<UIColor> tint,
                  bool onToolbar, bool back)
        : UIButton(UIButtonType::Custom),
          item_(std::move(item)),
          barStyle_(barStyle),
          tint_(std::move(tint)),
          onToolbar_(onToolbar),
          back_(back) {
        titleLabel()->setFont(UIFont::boldSystemFontOfSize(12));
        titleLabel()->setLineBreakMode(UILineBreakMode::TailTruncation);
        setTitleColor(UIColor::whiteColor());
        setTitle(item_->title());
        if (item_->image()) setImage(item_->image());
        setEnabled(item_->isEnabled());
        std::weak_ptr<UIBarButtonItem> weak = item_;
        addTarget(
            this,
            [weak](UIControl&) {
                if (auto it = weak.lock()) it->performAction();
            },
            UIControlEventTouchUpInside);
    }
    std::string className() const override { return "UIBarButton"; }

    bool bordered() const {
        if (back_) return true;
        if (item_->isSystemItem()) return systemBordered(item_->systemItem(), onToolbar_);
        return item_->style() != UIBarButtonItemStyle::Plain || !onToolbar_;
    }

    CGSize sizeThatFits(CGSize) const override {
        double w;
        if (item_->width() > 0)
            w = item_->width();
        else if (item_->image())
            w = item_->image()->size().width + (bordered() ? 16 : 8);
        else if (!item_->title().empty())
            w = sizeWithFont(item_->title(), *titleLabel()->font()).width + (back_ ? 22 : 20);
        else
            w = bordered() ? 36 : 30;
        return CGSizeMake(std::max(w, 30.0), 30);
    }

    void layoutSubviews() override {
        UIButton::layoutSubviews();
        if (back_) {
            CGRect f = titleLabel()->frame();
            titleLabel()->setFrame(CGRectOffset(f, 3, 0));
        }
    }

    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect b = CGRectInset(bounds(), 0.5, 0.5);
        // The button's outline: a rounded rectangle, or the back button's arrow shape.
        auto addOutline = [&] {
            ctx->beginPath();
            if (back_) {
                double r = 5, x0 = b.origin.x, y0 = b.origin.y, x1 = CGRectGetMaxX(b), y1 = CGRectGetMaxY(b);
                ctx->moveToPoint(x0, (y0 + y1) / 2);
                ctx->addLineToPoint(x0 + 11, y0);
                ctx->addLineToPoint(x1 - r, y0);
                ctx->addArcToPoint(x1, y0, x1, y0 + r, r);
                ctx->addLineToPoint(x1, y1 - r);
                ctx->addArcToPoint(x1, y1, x1 - r, y1, r);
                ctx->addLineToPoint(x0 + 11, y1);
                ctx->closePath();
            } else {
                ctx->addRoundedRect(b, 5);
            }
        };
        if (bordered()) {
            addOutline();
            double base = 0.3;
            std::shared_ptr<UIColor> fill;
            if (item_->style() == UIBarButtonItemStyle::Done ||
                (item_->isSystemItem() && item_->systemItem() == UIBarButtonSystemItem::Done))
                fill = UIColor::colorWithRed(0.16, 0.38, 0.85, 1);
            else if (item_->tintColor())
                fill = item_->tintColor();
            else if (tint_)
                fill = tint_;
            else if (barStyle_ != UIBarStyle::Default)
                fill = UIColor::colorWithWhite(0.18, 1);
            else
                fill = UIColor::colorWithRed(0.36, 0.45, 0.6, 1);
            double k = isHighlighted() ? 0.7 : 1.0;
            ctx->setFillColor(fill->red() * k, fill->green() * k, fill->blue() * k, 1);
            ctx->fillPath();
            addOutline();
            ctx->setStrokeColor(0, 0, 0, base + 0.2);
            ctx->setLineWidth(1);
            ctx->strokePath();
        } else if (isHighlighted()) {
            ctx->setFillColor(1, 1, 1, 0.35);
            ctx->fillEllipseInRect(CGRectMake(CGRectGetMidX(b) - 14, CGRectGetMidY(b) - 14, 28, 28));
        }
        if (!item_->isSystemItem() || item_->image()) return;
        // Glyphs of the system items that have no title.
        double cx = CGRectGetMidX(b), cy = CGRectGetMidY(b);
        ctx->setStrokeColor(1, 1, 1, isEnabled() ? 1 : 0.4);
        ctx->setLineWidth(2.2);
        ctx->beginPath();
        switch (item_->systemItem()) {
            case UIBarButtonSystemItem::Search:
                ctx->addEllipseInRect(CGRectMake(cx - 7, cy - 8, 11, 11));
                ctx->strokePath();
                ctx->beginPath();
                ctx->moveToPoint(cx + 2, cy + 2);
                ctx->addLineToPoint(cx + 7, cy + 7);
                break;
            case UIBarButtonSystemItem::Add:
                ctx->moveToPoint(cx - 7, cy);
                ctx->addLineToPoint(cx + 7, cy);
                ctx->moveToPoint(cx, cy - 7);
                ctx->addLineToPoint(cx, cy + 7);
                break;
            case UIBarButtonSystemItem::Trash:
                ctx->addRect(CGRectMake(cx - 5, cy - 5, 10, 12));
                ctx->moveToPoint(cx - 8, cy - 7);
                ctx->addLineToPoint(cx + 8, cy - 7);
                break;
            case UIBarButtonSystemItem::Refresh:
                ctx->addArc(cx, cy, 7, -M_PI / 2, M_PI * 1.2, false);
                ctx->moveToPoint(cx, cy - 7);
                ctx->addLineToPoint(cx - 4, cy - 10);
                break;
            case UIBarButtonSystemItem::Stop:
                ctx->moveToPoint(cx - 6, cy - 6);
                ctx->addLineToPoint(cx + 6, cy + 6);
                ctx->moveToPoint(cx + 6, cy - 6);
                ctx->addLineToPoint(cx - 6, cy + 6);
                break;
            case UIBarButtonSystemItem::Action:
            case UIBarButtonSystemItem::Reply:
            case UIBarButtonSystemItem::Compose:
                ctx->addRect(CGRectMake(cx - 7, cy - 3, 14, 10));
                ctx->moveToPoint(cx, cy + 2);
                ctx->addLineToPoint(cx, cy - 9);
                break;
            default:
                break;
        }
        ctx->strokePath();
    }

private:
    std::shared_ptr<UIBarButtonItem> item_;
    UIBarStyle barStyle_;
    std::shared_ptr<UIColor> tint_;
    bool onToolbar_;
    bool back_;
};
}  // namespace

UIBarButtonItem::UIBarButtonItem(const std::string& title, UIBarButtonItemStyle style, const void* target,
                                 Action action)
    : title_(title), style_(style), target_(target), action_(std::move(action)) {}

UIBarButtonItem::UIBarButtonItem(std::shared_ptr<UIImage> image, UIBarButtonItemStyle style, const void* target,
                                 Action action)
    : image_(std::move(image)), style_(style), target_(target), action_(std::move(action)) {}

UIBarButtonItem::UIBarButtonItem(UIBarButtonSystemItem item, const void* target, Action action)
    : style_(item == UIBarButtonSystemItem::Done ? UIBarButtonItemStyle::Done : UIBarButtonItemStyle::Bordered),
      system_(true),
      systemItem_(item),
      target_(target),
      action_(std::move(action)) {}

UIBarButtonItem::UIBarButtonItem(std::shared_ptr<UIView> customView) : customView_(std::move(customView)) {}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::flexibleSpace() {
    return std::make_shared<UIBarButtonItem>(UIBarButtonSystemItem::FlexibleSpace);
}

std::shared_ptr<UIBarButtonItem> UIBarButtonItem::fixedSpace(double width) {
    auto item = std::make_shared<UIBarButtonItem>(UIBarButtonSystemItem::FixedSpace);
    item->setWidth(width);
    return item;
}

std::string UIBarButtonItem::title() const {
    if (!title_.empty() || !system_) return title_;
    return systemTitle(systemItem_);
}

void UIBarButtonItem::changed() { ++version_; }
void UIBarButtonItem::setTitle(const std::string& t) {
    title_ = t;
    changed();
}
void UIBarButtonItem::setImage(std::shared_ptr<UIImage> i) {
    image_ = std::move(i);
    changed();
}
void UIBarButtonItem::setStyle(UIBarButtonItemStyle s) {
    style_ = s;
    changed();
}
void UIBarButtonItem::setCustomView(std::shared_ptr<UIView> v) {
    customView_ = std::move(v);
    changed();
}
void UIBarButtonItem::setWidth(double w) {
    width_ = w;
    changed();
}
void UIBarButtonItem::setEnabled(bool e) {
    enabled_ = e;
    changed();
}
void UIBarButtonItem::setTintColor(std::shared_ptr<UIColor> c) {
    tint_ = std::move(c);
    changed();
}

void UIBarButtonItem::performAction() {
    if (!enabled_ || !action_) return;
    auto keep = weak_from_this().lock();
    auto action = action_;  // the action may replace itself
    action(*this);
}

std::shared_ptr<UIView> makeBarItemView(const std::shared_ptr<UIBarButtonItem>& item, UIBarStyle barStyle,
                                        const std::shared_ptr<UIColor>& tint, bool onToolbar, bool back) {
    if (!item || item->isSpace()) return nullptr;
    if (item->customView()) return item->customView();
    auto button = std::make_shared<BarItemButton>(item, barStyle, tint, onToolbar, back);
    button->sizeToFit();
    return button;
}
