#include "platform/uikit/UIView.h"

#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIViewController.h"
#include "platform/uikit/UIWindow.h"

#include <cairo.h>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
unsigned long long gDisplayGeneration = 1;

void bump() { ++gDisplayGeneration; }

CGRect frameFrom(CGPoint center, const CGRect& bounds, const CGAffineTransform& t) {
    CGRect local = CGRectMake(-bounds.size.width / 2, -bounds.size.height / 2, bounds.size.width, bounds.size.height);
    if (!CGAffineTransformIsIdentity(t)) local = CGRectApplyAffineTransform(local, t);
    return CGRectOffset(local, center.x, center.y);
}
}  // namespace

UIView::UIView(const CGRect& frame) {
    transform_ = CGAffineTransformIdentity;
    bounds_ = CGRectMake(0, 0, frame.size.width, frame.size.height);
    center_ = CGPointMake(frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2);
}

UIView::~UIView() {
    for (auto& v : subviews_) v->superview_ = nullptr;
}

std::shared_ptr<UIView> UIView::shared() { return std::static_pointer_cast<UIView>(weak_from_this().lock()); }

unsigned long long UIView::displayGeneration() { return gDisplayGeneration; }

// ---------------------------------------------------------------- geometry

CGRect UIView::frame() const { return frameFrom(center_, bounds_, transform_); }

void UIView::setFrame(const CGRect& f) {
    CGRect r = CGRectStandardize(f);
    CGSize old = bounds_.size;
    bounds_.size = r.size;
    center_ = CGPointMake(r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2);
    if (old != r.size) setNeedsLayout();
    bump();
}

void UIView::setBounds(const CGRect& b) {
    bool resized = b.size != bounds_.size;
    bounds_ = b;
    if (resized) setNeedsLayout();
    bump();
}

void UIView::setCenter(CGPoint c) {
    center_ = c;
    bump();
}

void UIView::setTransform(const CGAffineTransform& t) {
    transform_ = t;
    bump();
}

CGPoint UIView::toSuperview(CGPoint p) const {
    CGPoint local =
        CGPointMake(p.x - bounds_.origin.x - bounds_.size.width / 2, p.y - bounds_.origin.y - bounds_.size.height / 2);
    if (!CGAffineTransformIsIdentity(transform_)) local = CGPointApplyAffineTransform(local, transform_);
    return CGPointMake(local.x + center_.x, local.y + center_.y);
}

CGPoint UIView::fromSuperview(CGPoint p) const {
    CGPoint local = CGPointMake(p.x - center_.x, p.y - center_.y);
    if (!CGAffineTransformIsIdentity(transform_))
        local = CGPointApplyAffineTransform(local, CGAffineTransformInvert(transform_));
    return CGPointMake(local.x + bounds_.origin.x + bounds_.size.width / 2,
                       local.y + bounds_.origin.y + bounds_.size.height / 2);
}

CGPoint UIView::convertPointToView(CGPoint p, const UIView* view) const {
    // Up to the root (the window, whose coordinates are the screen's).
    const UIView* v = this;
    while (v->superview_) {
        p = v->toSuperview(p);
        v = v->superview_;
    }
    if (!view) return p;
    return view->convertPointFromView(p, nullptr);
}

CGPoint UIView::convertPointFromView(CGPoint p, const UIView* view) const {
    if (view) p = view->convertPointToView(p, nullptr);
    std::vector<const UIView*> chain;
    for (const UIView* v = this; v->superview_; v = v->superview_) chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) p = (*it)->fromSuperview(p);
    return p;
}

CGRect UIView::convertRectToView(const CGRect& r, const UIView* view) const {
    CGPoint a = convertPointToView(r.origin, view);
    CGPoint b = convertPointToView(CGPointMake(CGRectGetMaxX(r), CGRectGetMaxY(r)), view);
    CGPoint c = convertPointToView(CGPointMake(CGRectGetMaxX(r), r.origin.y), view);
    CGPoint d = convertPointToView(CGPointMake(r.origin.x, CGRectGetMaxY(r)), view);
    double minx = std::min({a.x, b.x, c.x, d.x}), maxx = std::max({a.x, b.x, c.x, d.x});
    double miny = std::min({a.y, b.y, c.y, d.y}), maxy = std::max({a.y, b.y, c.y, d.y});
    return CGRectMake(minx, miny, maxx - minx, maxy - miny);
}

CGRect UIView::convertRectFromView(const CGRect& r, const UIView* view) const {
    CGPoint a = convertPointFromView(r.origin, view);
    CGPoint b = convertPointFromView(CGPointMake(CGRectGetMaxX(r), CGRectGetMaxY(r)), view);
    CGPoint c = convertPointFromView(CGPointMake(CGRectGetMaxX(r), r.origin.y), view);
    CGPoint d = convertPointFromView(CGPointMake(r.origin.x, CGRectGetMaxY(r)), view);
    double minx = std::min({a.x, b.x, c.x, d.x}), maxx = std::max({a.x, b.x, c.x, d.x});
    double miny = std::min({a.y, b.y, c.y, d.y}), maxy = std::max({a.y, b.y, c.y, d.y});
    return CGRectMake(minx, miny, maxx - minx, maxy - miny);
}

void UIView::sizeToFit() {
    CGSize s = sizeThatFits(bounds_.size);
    CGRect f = frame();
    setFrame(CGRectMake(f.origin.x, f.origin.y, s.width, s.height));
}

// ---------------------------------------------------------------- hierarchy

void UIView::moveToWindowNotify() {
    didMoveToWindow();
    for (auto& v : subviews_) v->moveToWindowNotify();
}

void UIView::detachChild(size_t index) {
    auto child = subviews_[index];
    // A first responder taken off the screen gives up the keyboard.
    if (auto* fr = dynamic_cast<UIView*>(UIResponder::currentFirstResponder()))
        if (fr->isDescendantOfView(child.get()) && window()) fr->resignFirstResponder();
    willRemoveSubview(child.get());
    child->willMoveToSuperview(nullptr);
    subviews_.erase(subviews_.begin() + static_cast<long>(index));
    child->superview_ = nullptr;
    child->didMoveToSuperview();
    child->moveToWindowNotify();
    setNeedsLayout();
    bump();
}

void UIView::insertSubview(const std::shared_ptr<UIView>& view, size_t index) {
    if (!view || view.get() == this || isDescendantOfView(view.get())) return;
    auto keep = view;
    if (view->superview_ == this) {
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        size_t old = static_cast<size_t>(it - subviews_.begin());
        subviews_.erase(it);
        if (index > old) --index;
        subviews_.insert(subviews_.begin() + static_cast<long>(std::min(index, subviews_.size())), view);
        bump();
        return;
    }
    if (view->superview_) view->removeFromSuperview();
    view->willMoveToSuperview(this);
    subviews_.insert(subviews_.begin() + static_cast<long>(std::min(index, subviews_.size())), view);
    view->superview_ = this;
    view->didMoveToSuperview();
    didAddSubview(view.get());
    view->moveToWindowNotify();
    setNeedsLayout();
    bump();
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) {
    if (view && view->superview_ == this) {
        bringSubviewToFront(view.get());
        return;
    }
    insertSubview(view, subviews_.size());
}

void UIView::insertSubviewAbove(const std::shared_ptr<UIView>& view, const UIView* sibling) {
    for (size_t i = 0; i < subviews_.size(); ++i)
        if (subviews_[i].get() == sibling) {
            insertSubview(view, i + 1);
            return;
        }
    addSubview(view);
}

void UIView::insertSubviewBelow(const std::shared_ptr<UIView>& view, const UIView* sibling) {
    for (size_t i = 0; i < subviews_.size(); ++i)
        if (subviews_[i].get() == sibling) {
            insertSubview(view, i);
            return;
        }
    addSubview(view);
}

void UIView::removeFromSuperview() {
    UIView* parent = superview_;
    if (!parent) return;
    auto keep = shared();  // the parent may hold the last reference
    for (size_t i = 0; i < parent->subviews_.size(); ++i)
        if (parent->subviews_[i].get() == this) {
            parent->detachChild(i);
            break;
        }
}

void UIView::bringSubviewToFront(const UIView* view) {
    for (size_t i = 0; i < subviews_.size(); ++i)
        if (subviews_[i].get() == view) {
            auto v = subviews_[i];
            subviews_.erase(subviews_.begin() + static_cast<long>(i));
            subviews_.push_back(v);
            bump();
            return;
        }
}

void UIView::sendSubviewToBack(const UIView* view) {
    for (size_t i = 0; i < subviews_.size(); ++i)
        if (subviews_[i].get() == view) {
            auto v = subviews_[i];
            subviews_.erase(subviews_.begin() + static_cast<long>(i));
            subviews_.insert(subviews_.begin(), v);
            bump();
            return;
        }
}

void UIView::exchangeSubviewAtIndex(size_t a, size_t b) {
    if (a < subviews_.size() && b < subviews_.size()) {
        std::swap(subviews_[a], subviews_[b]);
        bump();
    }
}

bool UIView::isDescendantOfView(const UIView* view) const {
    for (const UIView* v = this; v; v = v->superview_)
        if (v == view) return true;
    return false;
}

UIWindow* UIView::window() const {
    const UIView* v = this;
    while (v->superview_) v = v->superview_;
    return const_cast<UIWindow*>(dynamic_cast<const UIWindow*>(v));
}

std::shared_ptr<UIView> UIView::viewWithTag(int tag) {
    if (tag_ == tag) return shared();
    for (auto& v : subviews_)
        if (auto found = v->viewWithTag(tag)) return found;
    return nullptr;
}

// ---------------------------------------------------------------- appearance

void UIView::setHidden(bool h) {
    if (h != hidden_) {
        hidden_ = h;
        bump();
    }
}

void UIView::setAlpha(double a) {
    alpha_ = std::clamp(a, 0.0, 1.0);
    bump();
}

void UIView::setBackgroundColor(std::shared_ptr<UIColor> c) {
    backgroundColor_ = std::move(c);
    bump();
}

void UIView::setBorder(double width, std::shared_ptr<UIColor> color) {
    borderWidth_ = width;
    borderColor_ = std::move(color);
    bump();
}

void UIView::setNeedsDisplay() { bump(); }

void UIView::setNeedsLayout() {
    needsLayout_ = true;
    bump();
}

void UIView::layoutIfNeeded() {
    if (needsLayout_ || contentChangedSinceLayout()) {
        needsLayout_ = false;
        layoutSubviews();
    }
    // Layout may add or remove subviews: iterate over a copy.
    auto children = subviews_;
    for (auto& v : children) v->layoutIfNeeded();
}

void UIView::drawLocal(CGContext& ctx) {
    cairo_t* cr = ctx.cairo();
    const bool group = alpha_ < 0.999;
    if (group) cairo_push_group(cr);
    ctx.saveGState();
    if (cornerRadius_ > 0) {
        ctx.beginPath();
        ctx.addRoundedRect(bounds_, cornerRadius_);
        if (clipsToBounds_) {
            ctx.clip();
            ctx.beginPath();
        }
    }
    if (clipsToBounds_ && cornerRadius_ <= 0) ctx.clipToRect(bounds_);
    if (backgroundColor_ && (backgroundColor_->alpha() > 0 || backgroundColor_->patternImage())) {
        ctx.setFillColor(*backgroundColor_);
        if (cornerRadius_ > 0) {
            ctx.beginPath();
            ctx.addRoundedRect(bounds_, cornerRadius_);
            ctx.fillPath();
        } else {
            ctx.fillRect(bounds_);
        }
    }
    UIGraphicsPushContext(&ctx);
    ctx.saveGState();
    drawRect(bounds_);
    ctx.restoreGState();
    UIGraphicsPopContext();
    auto children = subviews_;
    for (auto& child : children) {
        if (child->hidden_ || child->alpha_ <= 0.001) continue;
        ctx.saveGState();
        ctx.translateCTM(child->center_.x, child->center_.y);
        if (!CGAffineTransformIsIdentity(child->transform_)) ctx.concatCTM(child->transform_);
        ctx.translateCTM(-child->bounds_.origin.x - child->bounds_.size.width / 2,
                         -child->bounds_.origin.y - child->bounds_.size.height / 2);
        child->drawLocal(ctx);
        ctx.restoreGState();
    }
    drawOverlay(ctx);
    if (borderWidth_ > 0 && borderColor_) {
        ctx.setStrokeColor(*borderColor_);
        ctx.setLineWidth(borderWidth_);
        CGRect r = CGRectInset(bounds_, borderWidth_ / 2, borderWidth_ / 2);
        ctx.beginPath();
        if (cornerRadius_ > 0)
            ctx.addRoundedRect(r, cornerRadius_);
        else
            ctx.addRect(r);
        ctx.strokePath();
    }
    ctx.restoreGState();
    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha_);
    }
}

void UIView::renderInContext(CGContext& ctx) {
    layoutIfNeeded();
    ctx.saveGState();
    ctx.translateCTM(-bounds_.origin.x, -bounds_.origin.y);
    drawLocal(ctx);
    ctx.restoreGState();
}

std::shared_ptr<UIImage> UIView::renderToImage(double scale) {
    CGSize size = bounds_.size;
    if (size.width < 1 || size.height < 1) return nullptr;
    UIGraphicsBeginImageContextWithOptions(size, false, scale);
    std::shared_ptr<UIImage> image;
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) {
        renderInContext(*ctx);
        image = UIGraphicsGetImageFromCurrentImageContext();
    }
    UIGraphicsEndImageContext();
    return image;
}

void drawImageWithContentMode(const UIImage& image, const CGRect& rect, UIViewContentMode mode) {
    CGSize is = image.size();
    if (is.width <= 0 || is.height <= 0) return;
    CGRect r = rect;
    switch (mode) {
        case UIViewContentMode::ScaleToFill:
        case UIViewContentMode::Redraw:
            break;
        case UIViewContentMode::ScaleAspectFit:
        case UIViewContentMode::ScaleAspectFill: {
            double sx = rect.size.width / is.width, sy = rect.size.height / is.height;
            double s = mode == UIViewContentMode::ScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
            double w = is.width * s, h = is.height * s;
            r = CGRectMake(CGRectGetMidX(rect) - w / 2, CGRectGetMidY(rect) - h / 2, w, h);
            break;
        }
        default: {
            double x = CGRectGetMidX(rect) - is.width / 2, y = CGRectGetMidY(rect) - is.height / 2;
            switch (mode) {
                case UIViewContentMode::Top:
                    y = rect.origin.y;
                    break;
                case UIViewContentMode::Bottom:
                    y = CGRectGetMaxY(rect) - is.height;
                    break;
                case UIViewContentMode::Left:
                    x = rect.origin.x;
                    break;
                case UIViewContentMode::Right:
                    x = CGRectGetMaxX(rect) - is.width;
                    break;
                case UIViewContentMode::TopLeft:
                    x = rect.origin.x;
                    y = rect.origin.y;
                    break;
                case UIViewContentMode::TopRight:
                    x = CGRectGetMaxX(rect) - is.width;
                    y = rect.origin.y;
                    break;
                case UIViewContentMode::BottomLeft:
                    x = rect.origin.x;
                    y = CGRectGetMaxY(rect) - is.height;
                    break;
                case UIViewContentMode::BottomRight:
                    x = CGRectGetMaxX(rect) - is.width;
                    y = CGRectGetMaxY(rect) - is.height;
                    break;
                default:
                    break;
            }
            r = CGRectMake(x, y, is.width, is.height);
        }
    }
    image.drawInRect(r);
}

// ---------------------------------------------------------------- touches

bool UIView::pointInside(CGPoint p, UIEvent*) const { return CGRectContainsPoint(bounds_, p); }

UIView* UIView::hitTest(CGPoint p, UIEvent* event) {
    if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01) return nullptr;
    if (!pointInside(p, event)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        UIView* child = it->get();
        if (UIView* hit = child->hitTest(child->fromSuperview(p), event)) return hit;
    }
    return this;
}

UIResponder* UIView::nextResponder() const {
    if (viewController_) return viewController_;
    return superview_;
}

bool UIView::endEditing(bool force) {
    UIResponder* fr = UIResponder::currentFirstResponder();
    auto* v = dynamic_cast<UIView*>(fr);
    if (v && v->isDescendantOfView(this)) return fr->resignFirstResponder() || force;
    return true;
}

std::string UIView::describeTree(int depth) const {
    CGRect f = frame();
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s (%g %g; %g %g)", className().c_str(), f.origin.x, f.origin.y, f.size.width,
                  f.size.height);
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    line += buf;
    if (tag_) line += " tag=" + std::to_string(tag_);
    if (hidden_) line += " hidden";
    std::string text = accessibilityText();
    if (!text.empty()) line += " \"" + text + "\"";
    line += "\n";
    for (auto& v : subviews_) line += v->describeTree(depth + 1);
    return line;
}
