#include "platform/uikit/UIPickerView.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/NSTimer.h"
#include "platform/graphics/TextDrawing.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRowHeight = 44;
constexpr double kMargin = 9;
constexpr double kGap = 4;
constexpr double kSettleSeconds = 0.25;
}  // namespace

UIPickerView::UIPickerView(const CGRect& frame)
    : UIView(CGRectMake(frame.origin.x, frame.origin.y, frame.size.width, 216)) {
    setOpaque(true);
}

UIPickerView::~UIPickerView() {
    if (timer_) timer_->invalidate();
}

void UIPickerView::setFrame(const CGRect& f) {
    UIView::setFrame(CGRectMake(f.origin.x, f.origin.y, f.size.width, 216));
}

int UIPickerView::numberOfRowsInComponent(int c) const {
    return c >= 0 && c < numberOfComponents() ? wheels_[static_cast<size_t>(c)].rows : 0;
}

int UIPickerView::selectedRowInComponent(int c) const {
    if (c < 0 || c >= numberOfComponents() || wheels_[static_cast<size_t>(c)].rows == 0) return -1;
    return wheels_[static_cast<size_t>(c)].selected;
}

void UIPickerView::reloadAllComponents() {
    int n = dataSource_ ? std::max(0, dataSource_->numberOfComponentsInPickerView(*this)) : 0;
    wheels_.resize(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c) reloadComponent(c);
    setNeedsDisplay();
}

void UIPickerView::reloadComponent(int c) {
    if (c < 0 || c >= numberOfComponents() || !dataSource_) return;
    Wheel& w = wheels_[static_cast<size_t>(c)];
    w.rows = std::max(0, dataSource_->pickerViewNumberOfRowsInComponent(*this, c));
    w.selected = std::clamp(w.selected, 0, std::max(0, w.rows - 1));
    w.position = w.selected;
    w.animating = false;
    setNeedsDisplay();
}

double UIPickerView::rowHeight(int c) const {
    double h = delegate_ ? delegate_->pickerViewRowHeightForComponent(const_cast<UIPickerView&>(*this), c) : -1;
    return h > 0 ? h : kRowHeight;
}

CGRect UIPickerView::rectForComponent(int c) const {
    double total = bounds().size.width - 2 * kMargin - kGap * std::max(0, numberOfComponents() - 1);
    std::vector<double> widths;
    double fixed = 0;
    int autoCount = 0;
    for (int i = 0; i < numberOfComponents(); ++i) {
        double w = delegate_ ? delegate_->pickerViewWidthForComponent(const_cast<UIPickerView&>(*this), i) : -1;
        widths.push_back(w);
        if (w > 0)
            fixed += w;
        else
            ++autoCount;
    }
    double autoW = autoCount ? std::max(0.0, total - fixed) / autoCount : 0;
    // Fixed widths are centred as a group.
    double used = fixed + autoW * autoCount + kGap * std::max(0, numberOfComponents() - 1);
    double x = (bounds().size.width - used) / 2;
    for (int i = 0; i < numberOfComponents(); ++i) {
        double w = widths[static_cast<size_t>(i)] > 0 ? widths[static_cast<size_t>(i)] : autoW;
        if (i == c) return CGRectMake(x, kMargin, w, bounds().size.height - 2 * kMargin);
        x += w + kGap;
    }
    return CGRectZero;
}

CGSize UIPickerView::rowSizeForComponent(int c) const {
    return CGSizeMake(rectForComponent(c).size.width, rowHeight(c));
}

int UIPickerView::componentAt(double x) const {
    for (int c = 0; c < numberOfComponents(); ++c) {
        CGRect r = rectForComponent(c);
        if (x >= r.origin.x - kGap / 2 && x < CGRectGetMaxX(r) + kGap / 2) return c;
    }
    return -1;
}

std::string UIPickerView::titleForRow(int row, int c) {
    return delegate_ ? delegate_->pickerViewTitleForRow(*this, row, c) : "";
}

void UIPickerView::selectRow(int row, int c, bool animated) {
    if (c < 0 || c >= numberOfComponents()) return;
    Wheel& w = wheels_[static_cast<size_t>(c)];
    if (w.rows == 0) return;
    settle(c, std::clamp(row, 0, w.rows - 1), animated, false);
}

void UIPickerView::settle(int c, int row, bool animated, bool notify) {
    Wheel& w = wheels_[static_cast<size_t>(c)];
    w.selected = row;
    if (!animated) {
        w.position = row;
        w.animating = false;
        setNeedsDisplay();
        if (notify && delegate_) delegate_->pickerViewDidSelectRow(*this, row, c);
        return;
    }
    w.animFrom = w.position;
    w.animTo = row;
    w.animStart = Clock::now();
    w.animating = true;
    w.notify = notify;
    if (!timer_) {
        std::weak_ptr<UIView> weak = shared();
        timer_ = NSTimer::scheduledTimerWithTimeInterval(
            1.0 / 60,
            [weak](NSTimer&) {
                if (auto v = weak.lock()) static_cast<UIPickerView*>(v.get())->step();
            },
            true);
    }
}

void UIPickerView::step() {
    auto keep = shared();
    double now = Clock::now();
    bool any = false;
    std::vector<std::pair<int, int>> done;
    for (size_t c = 0; c < wheels_.size(); ++c) {
        Wheel& w = wheels_[c];
        if (!w.animating) continue;
        double f = std::min(1.0, (now - w.animStart) / kSettleSeconds);
        double e = 1 - (1 - f) * (1 - f);
        w.position = w.animFrom + (w.animTo - w.animFrom) * e;
        if (f >= 1) {
            w.animating = false;
            w.position = w.animTo;
            if (w.notify) done.push_back({static_cast<int>(c), w.selected});
        } else {
            any = true;
        }
    }
    setNeedsDisplay();
    if (!any && timer_) {
        timer_->invalidate();
        timer_.reset();
    }
    for (auto [c, row] : done)
        if (delegate_) delegate_->pickerViewDidSelectRow(*this, row, c);
}

// ---------------------------------------------------------------- touches

void UIPickerView::touchesBegan(const UITouchSet& touches, UIEvent*) {
    UITouch* t = touches.anyObject();
    CGPoint p = t->locationInView(this);
    dragging_ = componentAt(p.x);
    moved_ = false;
    if (dragging_ < 0) return;
    Wheel& w = wheels_[static_cast<size_t>(dragging_)];
    w.animating = false;
    dragStartY_ = lastY_ = p.y;
    dragStartPos_ = w.position;
    lastT_ = t->timestamp();
    velocity_ = 0;
}

void UIPickerView::touchesMoved(const UITouchSet& touches, UIEvent*) {
    if (dragging_ < 0) return;
    UITouch* t = touches.anyObject();
    double y = t->locationInView(this).y;
    if (std::fabs(y - dragStartY_) > 4) moved_ = true;
    Wheel& w = wheels_[static_cast<size_t>(dragging_)];
    double h = rowHeight(dragging_);
    double pos = dragStartPos_ - (y - dragStartY_) / h;
    w.position = std::clamp(pos, -0.5, std::max(0, w.rows - 1) + 0.5);
    double dt = t->timestamp() - lastT_;
    if (dt > 1e-6) velocity_ = -(y - lastY_) / h / dt;
    lastY_ = y;
    lastT_ = t->timestamp();
    setNeedsDisplay();
}

void UIPickerView::touchesEnded(const UITouchSet& touches, UIEvent*) {
    if (dragging_ < 0) return;
    auto keep = shared();
    int c = dragging_;
    dragging_ = -1;
    Wheel& w = wheels_[static_cast<size_t>(c)];
    if (w.rows == 0) return;
    int target;
    if (!moved_) {
        // A tap: the row under the finger turns to the middle.
        double y = touches.anyObject()->locationInView(this).y;
        target = static_cast<int>(std::lround(w.position + (y - CGRectGetMidY(bounds())) / rowHeight(c)));
    } else {
        // A flick carries on a little.
        target = static_cast<int>(std::lround(w.position + std::clamp(velocity_ * 0.15, -8.0, 8.0)));
    }
    target = std::clamp(target, 0, w.rows - 1);
    bool changed = target != w.selected;
    // Settles on the row; only a new row is reported.
    settle(c, target, changed || moved_, changed);
}

void UIPickerView::touchesCancelled(const UITouchSet&, UIEvent*) {
    if (dragging_ < 0) return;
    int c = dragging_;
    dragging_ = -1;
    settle(c, wheels_[static_cast<size_t>(c)].selected, true, false);
}

// ---------------------------------------------------------------- drawing

void UIPickerView::drawRect(const CGRect&) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    ctx->drawLinearGradient({UIColor::colorWithRed(0.35, 0.36, 0.42, 1), UIColor::colorWithRed(0.16, 0.17, 0.22, 1)},
                            {}, b.origin, CGPointMake(0, CGRectGetMaxY(b)));
    double mid = CGRectGetMidY(b);
    for (int c = 0; c < numberOfComponents(); ++c) {
        CGRect r = rectForComponent(c);
        const Wheel& w = wheels_[static_cast<size_t>(c)];
        double h = rowHeight(c);
        ctx->saveGState();
        ctx->clipToRect(r);
        ctx->drawLinearGradient({UIColor::colorWithWhite(0.55, 1), UIColor::colorWithWhite(1, 1),
                                 UIColor::colorWithWhite(1, 1), UIColor::colorWithWhite(0.55, 1)},
                                {0, 0.3, 0.7, 1}, r.origin, CGPointMake(r.origin.x, CGRectGetMaxY(r)));
        int first = std::max(0, static_cast<int>(std::floor(w.position - (mid - r.origin.y) / h)) - 1);
        int last = std::min(w.rows - 1, static_cast<int>(std::ceil(w.position + (CGRectGetMaxY(r) - mid) / h)) + 1);
        for (int row = first; row <= last; ++row) {
            double y = mid + (row - w.position) * h - h / 2;
            CGRect rowRect = CGRectMake(r.origin.x, y, r.size.width, h);
            std::shared_ptr<UIView> view =
                delegate_ ? delegate_->pickerViewViewForRow(*this, row, c, nullptr) : nullptr;
            if (view) {
                ctx->saveGState();
                CGSize vs = view->bounds().size;
                ctx->translateCTM(r.origin.x + (r.size.width - vs.width) / 2, y + (h - vs.height) / 2);
                view->renderInContext(*ctx);
                ctx->restoreGState();
                continue;
            }
            auto font = UIFont::boldSystemFontOfSize(20);
            double lh = font->lineHeight();
            ctx->setFillColor(0.1, 0.1, 0.1, 1);
            drawString(titleForRow(row, c), CGRectMake(rowRect.origin.x + 10, y + (h - lh) / 2, r.size.width - 20, lh),
                       *font, UILineBreakMode::TailTruncation, UITextAlignment::Center);
        }
        ctx->restoreGState();
        ctx->setStrokeColor(0.1, 0.1, 0.1, 1);
        ctx->setLineWidth(1);
        ctx->strokeRect(CGRectInset(r, -0.5, -0.5));
    }
    if (showsIndicator_ && numberOfComponents() > 0) {
        double h = rowHeight(0);
        CGRect band = CGRectMake(kMargin - 4, mid - h / 2, b.size.width - 2 * kMargin + 8, h);
        ctx->setFillColor(0.45, 0.55, 0.85, 0.35);
        ctx->fillRect(band);
        ctx->setStrokeColor(0.3, 0.35, 0.55, 1);
        ctx->strokeRect(band);
    }
}

std::string UIPickerView::accessibilityText() const {
    std::string out;
    for (int c = 0; c < numberOfComponents(); ++c) {
        if (c) out += " | ";
        if (selectedRowInComponent(c) >= 0)
            out += const_cast<UIPickerView*>(this)->titleForRow(selectedRowInComponent(c), c);
    }
    return out;
}
