#include "platform/uikit/UIWindow.h"

#include "platform/foundation/Clock.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIKeyboard.h"
#include "platform/uikit/UIScreen.h"
#include "platform/uikit/UIScrollView.h"
#include "platform/uikit/UIViewController.h"

#include <cmath>
#include <ctime>
#include <map>

namespace {
// How far a finger travels before a scroll view may take the drag over.
constexpr double kDragSlop = 10;

UIScrollView* scrollViewTakingOver(UIView* from, double dx, double dy) {
    for (UIView* v = from; v; v = v->superview()) {
        auto* sv = dynamic_cast<UIScrollView*>(v);
        if (sv && sv->canTakeOverDrag(dx, dy) && sv->touchesShouldCancelInContentView(from)) return sv;
    }
    return nullptr;
}

void deliver(UITouchPhase phase, const UITouchSet& touches, UIEvent& event) {
    // Group by view, keeping the order of first appearance.
    std::vector<std::pair<std::shared_ptr<UIView>, UITouchSet>> groups;
    for (const auto& t : touches) {
        if (!t->view_) continue;
        auto it = std::find_if(groups.begin(), groups.end(), [&](auto& g) { return g.first == t->view_; });
        if (it == groups.end())
            groups.push_back({t->view_, UITouchSet{t}});
        else
            it->second.push_back(t);
    }
    for (auto& [view, set] : groups) {
        switch (phase) {
            case UITouchPhase::Began:
                view->touchesBegan(set, &event);
                break;
            case UITouchPhase::Moved:
                view->touchesMoved(set, &event);
                break;
            case UITouchPhase::Ended:
                view->touchesEnded(set, &event);
                break;
            case UITouchPhase::Cancelled:
                view->touchesCancelled(set, &event);
                break;
            default:
                break;
        }
    }
}
}  // namespace

UIWindow::UIWindow(const CGRect& frame) : UIView(frame) {}

UIWindow::~UIWindow() = default;

void UIWindow::makeKeyAndVisible() {
    setHidden(false);
    makeKeyWindow();
}

void UIWindow::makeKeyWindow() {
    auto& app = UIApplication::sharedApplication();
    if (auto self = std::static_pointer_cast<UIWindow>(shared())) app.addWindow(self);
    app.setKeyWindow(this);
}

bool UIWindow::isKeyWindow() const { return UIApplication::sharedApplication().keyWindow() == this; }

void UIWindow::setRootViewController(std::shared_ptr<UIViewController> vc) {
    if (rootViewController_ == vc) return;
    if (rootViewController_ && rootViewController_->isViewLoaded()) rootViewController_->view()->removeFromSuperview();
    rootViewController_ = std::move(vc);
    if (rootViewController_) {
        auto v = rootViewController_->view();
        v->setFrame(UIScreen::mainScreen().applicationFrame());
        insertSubview(v, 0);
        rootViewController_->beginAppearanceTransition(true, false);
        rootViewController_->endAppearanceTransition();
    }
}

UIResponder* UIWindow::nextResponder() const { return &UIApplication::sharedApplication(); }

UIView* UIWindow::hitTest(CGPoint point, UIEvent* event) {
    return inputAreaTouchTarget(*this, point, event, UIView::hitTest(point, event));
}

void UIWindow::sendEvent(UIEvent& event) {
    UITouchSet mine = event.touchesForWindow(this);
    std::map<UITouchPhase, UITouchSet> byPhase;
    for (auto& t : mine) {
        if (t->phase_ == UITouchPhase::Moved && !t->scrollDecided_ && t->view_) {
            double dx = t->location_.x - t->start_.x, dy = t->location_.y - t->start_.y;
            if (std::fabs(dx) > kDragSlop || std::fabs(dy) > kDragSlop) {
                t->scrollDecided_ = true;
                UIScrollView* sv = scrollViewTakingOver(t->view_.get(), dx, dy);
                if (sv && sv != t->view_.get()) {
                    // The content loses the touch; the scroll view starts dragging.
                    UITouchSet one{t};
                    t->phase_ = UITouchPhase::Cancelled;
                    t->view_->touchesCancelled(one, &event);
                    t->view_ = std::static_pointer_cast<UIView>(sv->shared());
                    CGPoint now = t->location_, prev = t->previous_;
                    t->location_ = t->previous_ = t->start_;
                    t->phase_ = UITouchPhase::Began;
                    if (t->view_) t->view_->touchesBegan(one, &event);
                    t->location_ = now;
                    t->previous_ = prev;
                    t->phase_ = UITouchPhase::Moved;
                }
            }
        }
        byPhase[t->phase_].push_back(t);
    }
    for (auto phase : {UITouchPhase::Began, UITouchPhase::Moved, UITouchPhase::Ended, UITouchPhase::Cancelled}) {
        auto it = byPhase.find(phase);
        if (it != byPhase.end()) deliver(phase, it->second, event);
    }
}

void UIWindow::renderScreen(CGContext& ctx) {
    renderInContext(ctx);
    if (!UIApplication::sharedApplication().isStatusBarHidden()) drawStatusBar(ctx);
}

std::shared_ptr<UIImage> UIWindow::renderScreenToImage(double scale) {
    layoutIfNeeded();
    UIGraphicsBeginImageContextWithOptions(bounds().size, true, scale);
    std::shared_ptr<UIImage> image;
    if (CGContext* ctx = UIGraphicsGetCurrentContext()) {
        renderScreen(*ctx);
        image = UIGraphicsGetImageFromCurrentImageContext();
    }
    UIGraphicsEndImageContext();
    return image;
}

void UIWindow::drawStatusBar(CGContext& ctx) {
    auto& app = UIApplication::sharedApplication();
    ctx.saveGState();
    CGRect bar = CGRectMake(0, 0, bounds().size.width, 20);
    bool black = app.statusBarStyle() != UIStatusBarStyle::Default;
    if (black) {
        ctx.setFillColor(0, 0, 0, 1);
        ctx.fillRect(bar);
    } else {
        ctx.drawLinearGradient({UIColor::colorWithWhite(0.82, 1), UIColor::colorWithWhite(0.62, 1)}, {},
                               CGPointMake(0, 0), CGPointMake(0, 20));
    }
    UIGraphicsPushContext(&ctx);
    auto font = UIFont::boldSystemFontOfSize(12);
    if (black)
        ctx.setFillColor(1, 1, 1, 1);
    else
        ctx.setFillColor(0.1, 0.1, 0.1, 1);
    drawStringAtPoint("中国移动", CGPointMake(6, 3), *font);
    std::time_t t = static_cast<std::time_t>(Clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d", tm.tm_hour, tm.tm_min);
    drawString(buf, CGRectMake(110, 3, 100, 16), *font, UILineBreakMode::Clip, UITextAlignment::Center);
    if (app.isNetworkActivityIndicatorVisible()) {
        // A small spinner beside the carrier name.
        ctx.setLineWidth(1.5);
        for (int i = 0; i < 8; ++i) {
            double a = i * M_PI / 4;
            ctx.setStrokeColor(black ? 1 : 0.1, black ? 1 : 0.1, black ? 1 : 0.1, 0.3 + 0.08 * i);
            ctx.beginPath();
            ctx.moveToPoint(70 + 3 * std::cos(a), 10 + 3 * std::sin(a));
            ctx.addLineToPoint(70 + 6 * std::cos(a), 10 + 6 * std::sin(a));
            ctx.strokePath();
        }
    }
    // Battery.
    ctx.setLineWidth(1);
    if (black)
        ctx.setStrokeColor(1, 1, 1, 1);
    else
        ctx.setStrokeColor(0.1, 0.1, 0.1, 1);
    ctx.strokeRect(CGRectMake(288.5, 5.5, 24, 10));
    ctx.fillRect(CGRectMake(290, 7, 21, 7));
    ctx.fillRect(CGRectMake(313, 8, 2, 4));
    UIGraphicsPopContext();
    ctx.restoreGState();
}
