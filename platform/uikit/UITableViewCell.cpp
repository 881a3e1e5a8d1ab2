#include "platform/uikit/UITableViewCell.h"

#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIButton.h"
#include "platform/uikit/UITableView.h"

#include <algorithm>

namespace {
// The red minus (or green plus) at the left of a row in editing mode.
class EditingControl : public UIControl {
public:
    EditingControl(UITableViewCell* cell, bool insert)
        : UIControl(CGRectMake(0, 0, 32, 44)), cell_(cell), insert_(insert) {
        setOpaque(false);
        addTarget(
            this,
            [this](UIControl&) {
                if (cell_->tableView()) cell_->tableView()->cellEditingControlTapped(cell_);
            },
            UIControlEventTouchUpInside);
    }
    std::string className() const override { return "UITableViewCellEditControl"; }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect b = bounds();
        CGRect c = CGRectMake(CGRectGetMidX(b) - 10 + 3, CGRectGetMidY(b) - 10, 20, 20);
        if (insert_)
            ctx->setFillColor(0.2, 0.7, 0.2, 1);
        else
            ctx->setFillColor(0.88, 0.1, 0.1, 1);
        ctx->fillEllipseInRect(c);
        ctx->setFillColor(1, 1, 1, 1);
        ctx->fillRect(CGRectMake(c.origin.x + 4, CGRectGetMidY(c) - 1.5, 12, 3));
        if (insert_) ctx->fillRect(CGRectMake(CGRectGetMidX(c) - 1.5, c.origin.y + 4, 3, 12));
    }

private:
    UITableViewCell* cell_;
    bool insert_;
};

// The grip at the right of a movable row; dragging it moves the row.
class ReorderControl : public UIView {
public:
    explicit ReorderControl(UITableViewCell* cell) : UIView(CGRectMake(0, 0, 40, 44)), cell_(cell) { setOpaque(false); }
    std::string className() const override { return "UITableViewCellReorderControl"; }
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect b = bounds();
        ctx->setFillColor(0.6, 0.6, 0.6, 1);
        for (int i = -1; i <= 1; ++i)
            ctx->fillRect(CGRectMake(CGRectGetMidX(b) - 9, CGRectGetMidY(b) + i * 5 - 1, 18, 2));
    }
    void touchesBegan(const UITouchSet& t, UIEvent*) override {
        if (cell_->tableView()) cell_->tableView()->reorderBegan(cell_, t.anyObject()->locationInView(nullptr));
    }
    void touchesMoved(const UITouchSet& t, UIEvent*) override {
        if (cell_->tableView()) cell_->tableView()->reorderMoved(cell_, t.anyObject()->locationInView(nullptr));
    }
    void touchesEnded(const UITouchSet& t, UIEvent*) override {
        if (cell_->tableView()) cell_->tableView()->reorderEnded(cell_, t.anyObject()->locationInView(nullptr));
    }
    void touchesCancelled(const UITouchSet& t, UIEvent*) override {
        if (cell_->tableView()) cell_->tableView()->reorderEnded(cell_, t.anyObject()->locationInView(nullptr));
    }

private:
    UITableViewCell* cell_;
};

// The chevron and the check mark.
class AccessoryGlyph : public UIView {
public:
    explicit AccessoryGlyph(UITableViewCellAccessoryType type)
        : UIView(CGRectMake(0, 0, type == UITableViewCellAccessoryType::Checkmark ? 14 : 10, 14)), type_(type) {
        setOpaque(false);
        setUserInteractionEnabled(false);
    }
    std::string className() const override { return "UITableViewCellAccessory"; }
    bool highlighted = false;
    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect b = bounds();
        ctx->beginPath();
        if (type_ == UITableViewCellAccessoryType::Checkmark) {
            ctx->setStrokeColor(highlighted ? 1 : 0.2, highlighted ? 1 : 0.3, highlighted ? 1 : 0.5, 1);
            ctx->setLineWidth(2.5);
            ctx->moveToPoint(b.origin.x + 1, CGRectGetMidY(b));
            ctx->addLineToPoint(b.origin.x + 5, CGRectGetMaxY(b) - 1);
            ctx->addLineToPoint(CGRectGetMaxX(b) - 1, b.origin.y + 1);
        } else {
            ctx->setStrokeColor(highlighted ? 1 : 0.5, highlighted ? 1 : 0.5, highlighted ? 1 : 0.5, 1);
            ctx->setLineWidth(3);
            ctx->moveToPoint(b.origin.x + 2, b.origin.y + 2);
            ctx->addLineToPoint(CGRectGetMaxX(b) - 2, CGRectGetMidY(b));
            ctx->addLineToPoint(b.origin.x + 2, CGRectGetMaxY(b) - 2);
        }
        ctx->strokePath();
    }

private:
    UITableViewCellAccessoryType type_;
};

std::shared_ptr<UILabel> makeLabel(std::shared_ptr<UIFont> font, std::shared_ptr<UIColor> color) {
    auto l = std::make_shared<UILabel>();
    l->setFont(std::move(font));
    l->setTextColor(std::move(color));
    l->setHighlightedTextColor(UIColor::whiteColor());
    l->setBackgroundColor(nullptr);
    return l;
}
}  // namespace

UITableViewCell::UITableViewCell(UITableViewCellStyle style, const std::string& reuseIdentifier)
    : UIView(CGRectMake(0, 0, 320, 44)), style_(style), reuseIdentifier_(reuseIdentifier) {
    userBackground_ = UIColor::whiteColor();
    contentView_ = std::make_shared<UIView>(bounds());
    addSubview(contentView_);
    imageView_ = std::make_shared<UIImageView>();
    contentView_->addSubview(imageView_);
    switch (style) {
        case UITableViewCellStyle::Default:
            textLabel_ = makeLabel(UIFont::boldSystemFontOfSize(20), UIColor::blackColor());
            break;
        case UITableViewCellStyle::Value1:
            textLabel_ = makeLabel(UIFont::boldSystemFontOfSize(17), UIColor::blackColor());
            detailTextLabel_ = makeLabel(UIFont::systemFontOfSize(17), UIColor::colorWithRed(0.22, 0.33, 0.53, 1));
            detailTextLabel_->setTextAlignment(UITextAlignment::Right);
            break;
        case UITableViewCellStyle::Value2:
            textLabel_ = makeLabel(UIFont::boldSystemFontOfSize(12), UIColor::colorWithRed(0.32, 0.4, 0.57, 1));
            textLabel_->setTextAlignment(UITextAlignment::Right);
            detailTextLabel_ = makeLabel(UIFont::boldSystemFontOfSize(15), UIColor::blackColor());
            break;
        case UITableViewCellStyle::Subtitle:
            textLabel_ = makeLabel(UIFont::boldSystemFontOfSize(18), UIColor::blackColor());
            detailTextLabel_ = makeLabel(UIFont::systemFontOfSize(14), UIColor::grayColor());
            break;
    }
    contentView_->addSubview(textLabel_);
    if (detailTextLabel_) contentView_->addSubview(detailTextLabel_);
}

UITableViewCell::~UITableViewCell() = default;

void UITableViewCell::prepareForReuse() {
    setHighlighted(false);
    setSelected(false);
    setDeleteConfirmationShown(false, "");
}

void UITableViewCell::setBackgroundColor(std::shared_ptr<UIColor> c) {
    userBackground_ = std::move(c);
    setNeedsDisplay();
}

void UITableViewCell::setBackgroundView(std::shared_ptr<UIView> v) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(v);
    if (backgroundView_) insertSubview(backgroundView_, 0);
    setNeedsLayout();
}

void UITableViewCell::setSelectedBackgroundView(std::shared_ptr<UIView> v) {
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = std::move(v);
    setNeedsLayout();
}

void UITableViewCell::setAccessoryType(UITableViewCellAccessoryType t) {
    accessoryType_ = t;
    if (builtAccessory_) {
        builtAccessory_->removeFromSuperview();
        builtAccessory_.reset();
    }
    setNeedsLayout();
}

void UITableViewCell::setAccessoryView(std::shared_ptr<UIView> v) {
    if (accessoryView_) accessoryView_->removeFromSuperview();
    accessoryView_ = std::move(v);
    setNeedsLayout();
}

void UITableViewCell::updateLabelsHighlight() {
    bool on = (highlighted_ || selected_) && selectionStyle_ != UITableViewCellSelectionStyle::None;
    textLabel_->setHighlighted(on);
    if (detailTextLabel_) detailTextLabel_->setHighlighted(on);
    imageView_->setHighlighted(on);
    if (auto* g = dynamic_cast<AccessoryGlyph*>(builtAccessory_.get())) {
        g->highlighted = on;
        g->setNeedsDisplay();
    }
    setNeedsLayout();
    setNeedsDisplay();
}

void UITableViewCell::setSelected(bool s, bool) {
    selected_ = s;
    updateLabelsHighlight();
}

void UITableViewCell::setHighlighted(bool h, bool) {
    highlighted_ = h;
    updateLabelsHighlight();
}

void UITableViewCell::setEditing(bool e, bool) {
    editing_ = e;
    if (!e) setDeleteConfirmationShown(false, "");
    setNeedsLayout();
}

void UITableViewCell::setDeleteConfirmationShown(bool shown, const std::string& title) {
    confirming_ = shown;
    if (deleteButton_) {
        deleteButton_->removeFromSuperview();
        deleteButton_.reset();
    }
    if (shown) {
        auto b = UIButton::buttonWithType(UIButtonType::Custom);
        b->setTitle(title.empty() ? "删除" : title);
        b->setFont(UIFont::boldSystemFontOfSize(14));
        b->setBackgroundColor(UIColor::colorWithRed(0.85, 0.1, 0.1, 1));
        b->setCornerRadius(5);
        double w = std::max(63.0, sizeWithFont(b->currentTitle(), *b->titleLabel()->font()).width + 24);
        b->setFrame(CGRectMake(0, 0, w, 30));
        UITableViewCell* self = this;
        b->addTarget(
            self,
            [self](UIControl&) {
                if (self->tableView()) self->tableView()->cellDeleteConfirmed(self);
            },
            UIControlEventTouchUpInside);
        deleteButton_ = b;
        addSubview(deleteButton_);
    }
    setNeedsLayout();
}

void UITableViewCell::setGroupPosition(bool grouped, Position p, UITableViewCellSeparatorStyle sep,
                                       std::shared_ptr<UIColor> separatorColor) {
    grouped_ = grouped;
    position_ = p;
    separator_ = sep;
    separatorColor_ = std::move(separatorColor);
    setNeedsDisplay();
}

void UITableViewCell::layoutSubviews() {
    CGRect b = bounds();
    double left = 0, right = b.size.width;
    // Editing control.
    bool showEditControl = editing_ && editingStyle_ != UITableViewCellEditingStyle::None;
    if (showEditControl) {
        bool insert = editingStyle_ == UITableViewCellEditingStyle::Insert;
        if (editControl_ && editControlInsert_ != insert) {
            editControl_->removeFromSuperview();
            editControl_.reset();
        }
        if (!editControl_) {
            editControl_ = std::make_shared<EditingControl>(this, insert);
            editControlInsert_ = insert;
            addSubview(editControl_);
        }
        editControl_->setFrame(CGRectMake(0, 0, 32, b.size.height));
        left = 32;
    } else if (editControl_) {
        editControl_->removeFromSuperview();
        editControl_.reset();
    }
    left += indentationLevel_ * indentationWidth_;
    // Right side: delete button, or reorder control, then the accessory.
    if (confirming_ && deleteButton_) {
        CGSize s = deleteButton_->frame().size;
        deleteButton_->setFrame(CGRectMake(right - s.width - 10, (b.size.height - s.height) / 2, s.width, s.height));
        bringSubviewToFront(deleteButton_.get());
        right -= s.width + 20;
    }
    bool showReorder = editing_ && showsReorder_ && !confirming_;
    if (showReorder) {
        if (!reorderControl_) {
            reorderControl_ = std::make_shared<ReorderControl>(this);
            addSubview(reorderControl_);
        }
        reorderControl_->setFrame(CGRectMake(right - 40, 0, 40, b.size.height));
        right -= 40;
    } else if (reorderControl_) {
        reorderControl_->removeFromSuperview();
        reorderControl_.reset();
    }
    std::shared_ptr<UIView> accessory;
    UITableViewCellAccessoryType type = editing_ ? editingAccessoryType_ : accessoryType_;
    if (!editing_ && accessoryView_) {
        accessory = accessoryView_;
    } else if (type != UITableViewCellAccessoryType::None && !confirming_) {
        if (!builtAccessory_) {
            if (type == UITableViewCellAccessoryType::DetailDisclosureButton) {
                auto button = UIButton::buttonWithType(UIButtonType::DetailDisclosure);
                UITableViewCell* self = this;
                button->addTarget(
                    self,
                    [self](UIControl&) {
                        if (self->tableView()) self->tableView()->cellAccessoryTapped(self);
                    },
                    UIControlEventTouchUpInside);
                builtAccessory_ = button;
            } else {
                builtAccessory_ = std::make_shared<AccessoryGlyph>(type);
            }
        }
        accessory = builtAccessory_;
    }
    if (builtAccessory_ && builtAccessory_ != accessory) {
        builtAccessory_->removeFromSuperview();
        if (!accessory) builtAccessory_.reset();
    }
    if (accessoryView_ && accessoryView_ != accessory) accessoryView_->removeFromSuperview();
    if (accessory) {
        if (accessory->superview() != this) addSubview(accessory);
        CGSize s = accessory->frame().size;
        accessory->setFrame(CGRectMake(right - s.width - 10, (b.size.height - s.height) / 2, s.width, s.height));
        right -= s.width + 15;
    }
    if (confirming_ || showReorder || accessory) right = std::max(left, right);
    contentView_->setFrame(CGRectMake(left, 0, std::max(0.0, right - left), b.size.height));
    if (backgroundView_) {
        backgroundView_->setFrame(b);
        sendSubviewToBack(backgroundView_.get());
    }
    bool showSelected = (selected_ || highlighted_) && selectionStyle_ != UITableViewCellSelectionStyle::None;
    if (selectedBackgroundView_) {
        if (showSelected) {
            selectedBackgroundView_->setFrame(b);
            if (selectedBackgroundView_->superview() != this)
                insertSubviewBelow(selectedBackgroundView_, contentView_.get());
        } else {
            selectedBackgroundView_->removeFromSuperview();
        }
    }

    // Labels by style, inside the content view.
    CGRect c = contentView_->bounds();
    double x = 10;
    auto img = imageView_->image();
    if (img) {
        CGSize s = img->size();
        s.height = std::min(s.height, c.size.height);
        imageView_->setFrame(CGRectMake(x, (c.size.height - s.height) / 2, s.width, s.height));
        x += s.width + 10;
    } else {
        imageView_->setFrame(CGRectZero);
    }
    double w = std::max(0.0, c.size.width - x - 10);
    switch (style_) {
        case UITableViewCellStyle::Default:
            textLabel_->setFrame(CGRectMake(x, 0, w, c.size.height));
            break;
        case UITableViewCellStyle::Value1: {
            CGSize ds = detailTextLabel_->text().empty()
                            ? CGSizeZero
                            : sizeWithFont(detailTextLabel_->text(), *detailTextLabel_->font());
            double dw = std::min(ds.width, w * 0.6);
            detailTextLabel_->setFrame(CGRectMake(x + w - dw, 0, dw, c.size.height));
            textLabel_->setFrame(CGRectMake(x, 0, std::max(0.0, w - dw - 6), c.size.height));
            break;
        }
        case UITableViewCellStyle::Value2:
            textLabel_->setFrame(CGRectMake(x, 0, 67, c.size.height));
            detailTextLabel_->setFrame(CGRectMake(x + 73, 0, std::max(0.0, w - 73), c.size.height));
            break;
        case UITableViewCellStyle::Subtitle: {
            double th = textLabel_->font()->lineHeight(), dh = detailTextLabel_->font()->lineHeight();
            double top = (c.size.height - th - dh) / 2;
            if (detailTextLabel_->text().empty()) {
                textLabel_->setFrame(CGRectMake(x, 0, w, c.size.height));
            } else {
                textLabel_->setFrame(CGRectMake(x, top, w, th));
                detailTextLabel_->setFrame(CGRectMake(x, top + th, w, dh));
            }
            break;
        }
    }
}

void UITableViewCell::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    bool showSelected = (selected_ || highlighted_) && selectionStyle_ != UITableViewCellSelectionStyle::None &&
                        !selectedBackgroundView_;
    auto sepColor = separatorColor_ ? separatorColor_ : UIColor::colorWithWhite(grouped_ ? 0.67 : 0.88, 1);
    if (grouped_) {
        // A white group with rounded ends; the rows share the group's border.
        double r = 10;
        CGRect g = CGRectInset(b, 0.5, 0);
        double top = position_ == Position::Top || position_ == Position::Alone ? g.origin.y + 0.5 : g.origin.y - r;
        double bottom = position_ == Position::Bottom || position_ == Position::Alone ? CGRectGetMaxY(g) - 0.5
                                                                                      : CGRectGetMaxY(g) + r;
        CGRect shape = CGRectMake(g.origin.x, top, g.size.width, bottom - top);
        ctx->saveGState();
        ctx->clipToRect(b);
        if (!backgroundView_) {
            ctx->beginPath();
            ctx->addRoundedRect(shape, r);
            if (showSelected) {
                ctx->saveGState();
                ctx->clip();
                if (selectionStyle_ == UITableViewCellSelectionStyle::Gray)
                    ctx->drawLinearGradient({UIColor::colorWithWhite(0.75, 1), UIColor::colorWithWhite(0.55, 1)}, {},
                                            b.origin, CGPointMake(0, CGRectGetMaxY(b)));
                else
                    ctx->drawLinearGradient(
                        {UIColor::colorWithRed(0.02, 0.55, 0.96, 1), UIColor::colorWithRed(0.0, 0.37, 0.89, 1)}, {},
                        b.origin, CGPointMake(0, CGRectGetMaxY(b)));
                ctx->restoreGState();
            } else {
                ctx->setFillColor(userBackground_ ? *userBackground_ : *UIColor::whiteColor());
                ctx->fillPath();
            }
        }
        if (separator_ != UITableViewCellSeparatorStyle::None) {
            ctx->beginPath();
            ctx->addRoundedRect(shape, r);
            ctx->setStrokeColor(*sepColor);
            ctx->setLineWidth(1);
            ctx->strokePath();
            if (position_ == Position::Top || position_ == Position::Middle) {
                ctx->setFillColor(*sepColor);
                ctx->fillRect(CGRectMake(b.origin.x, CGRectGetMaxY(b) - 1, b.size.width, 1));
            }
        }
        ctx->restoreGState();
        return;
    }
    if (!backgroundView_ && userBackground_ && userBackground_->alpha() > 0) {
        ctx->setFillColor(*userBackground_);
        ctx->fillRect(b);
    }
    if (showSelected) {
        if (selectionStyle_ == UITableViewCellSelectionStyle::Gray)
            ctx->drawLinearGradient({UIColor::colorWithWhite(0.75, 1), UIColor::colorWithWhite(0.55, 1)}, {}, b.origin,
                                    CGPointMake(0, CGRectGetMaxY(b)));
        else
            ctx->drawLinearGradient(
                {UIColor::colorWithRed(0.02, 0.55, 0.96, 1), UIColor::colorWithRed(0.0, 0.37, 0.89, 1)}, {}, b.origin,
                CGPointMake(0, CGRectGetMaxY(b)));
    }
    if (separator_ != UITableViewCellSeparatorStyle::None) {
        ctx->setFillColor(*sepColor);
        ctx->fillRect(CGRectMake(b.origin.x, CGRectGetMaxY(b) - 1, b.size.width, 1));
    }
}

std::string UITableViewCell::accessibilityText() const {
    std::string t = textLabel_->text();
    if (detailTextLabel_ && !detailTextLabel_->text().empty()) t += (t.empty() ? "" : " ") + detailTextLabel_->text();
    return t;
}

// ---------------------------------------------------------------- touches

void UITableViewCell::touchesBegan(const UITouchSet& touches, UIEvent* event) {
    if (!table_) {
        UIView::touchesBegan(touches, event);
        return;
    }
    touchStart_ = touches.anyObject()->locationInView(nullptr);
    swiped_ = false;
    tracking_ = true;
    if (table_->rowsHighlightOnTouch() && selectionStyle_ != UITableViewCellSelectionStyle::None && !confirming_)
        setHighlighted(true);
}

void UITableViewCell::touchesMoved(const UITouchSet& touches, UIEvent* event) {
    if (!table_) {
        UIView::touchesMoved(touches, event);
        return;
    }
    if (!tracking_) return;
    CGPoint p = touches.anyObject()->locationInView(nullptr);
    double dx = p.x - touchStart_.x, dy = p.y - touchStart_.y;
    auto keep = shared();
    if (!swiped_ && std::fabs(dx) >= 30 && std::fabs(dy) < std::fabs(dx) / 2) {
        swiped_ = true;
        setHighlighted(false);
        table_->cellTouchUnhighlighted(*this);
        table_->cellSwiped(this);
    } else if (std::fabs(dx) > 10 || std::fabs(dy) > 10) {
        setHighlighted(false);
        table_->cellTouchUnhighlighted(*this);
    }
}

void UITableViewCell::touchesEnded(const UITouchSet& touches, UIEvent* event) {
    if (!table_) {
        UIView::touchesEnded(touches, event);
        return;
    }
    auto keep = shared();
    const bool tap = tracking_ && !swiped_;
    tracking_ = false;
    swiped_ = false;
    if (tap) table_->cellTouchEnded(*this, touches.anyObject()->locationInView(nullptr));
    if (!selected_)
        setHighlighted(false);
    else
        highlighted_ = false;
}

void UITableViewCell::touchesCancelled(const UITouchSet& touches, UIEvent* event) {
    if (!table_) {
        UIView::touchesCancelled(touches, event);
        return;
    }
    swiped_ = false;
    tracking_ = false;
    setHighlighted(false);
    auto keep = shared();
    table_->cellTouchUnhighlighted(*this);
}

void UITableViewCell::endTracking() {
    tracking_ = false;
    swiped_ = false;
    setHighlighted(false);
}
