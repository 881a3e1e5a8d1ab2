#include "ui/SVProgressHUD.h"

#include "platform/foundation/NSTimer.h"
#include "platform/graphics/TextDrawing.h"
#include "platform/uikit/UIApplication.h"
#include "platform/uikit/UIScreen.h"

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

// The whole-window layer: the mask (when any) and the box with mark and text.
class HUDView : public UIView {
public:
    HUDView() : UIView(UIScreen::mainScreen().bounds()) {
        setBackgroundColor(UIColor::clearColor());
        setOpaque(false);
    }
    std::string className() const override { return "SVProgressHUD"; }
    std::string accessibilityText() const override { return status; }

    CGRect boxRect() const {
        auto font = UIFont::boldSystemFontOfSize(16);
        CGSize s = status.empty() ? CGSizeMake(0, 0)
                                  : sizeWithFont(status, *font, CGSizeMake(200, 300), UILineBreakMode::WordWrap);
        double w = std::max(100.0, std::ceil(s.width) + 28);
        double h = status.empty() ? 100 : std::ceil(s.height) + 80;
        CGRect b = bounds();
        return CGRectMake(std::round((b.size.width - w) / 2), std::round((b.size.height - h) / 2), w, h);
    }

    UIView* hitTest(CGPoint p, UIEvent* e) override {
        // Without a mask the screen below stays usable.
        if (maskType == SVProgressHUDMaskType::None) return nullptr;
        return UIView::hitTest(p, e);
    }
    void touchesBegan(const UITouchSet&, UIEvent*) override {}
    void touchesMoved(const UITouchSet&, UIEvent*) override {}
    void touchesEnded(const UITouchSet&, UIEvent*) override {}

    void drawRect(const CGRect&) override {
        CGContext* ctx = UIGraphicsGetCurrentContext();
        if (!ctx) return;
        CGRect b = bounds();
        if (maskType == SVProgressHUDMaskType::Black) {
            ctx->setFillColor(0, 0, 0, 0.5);
            ctx->fillRect(b);
        } else if (maskType == SVProgressHUDMaskType::Gradient) {
            ctx->drawRadialGradient({UIColor::colorWithWhite(0, 0), UIColor::colorWithWhite(0, 0.75)}, {},
                                    CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)), 0,
                                    CGPointMake(CGRectGetMidX(b), CGRectGetMidY(b)), b.size.height / 2,
                                    kCGGradientDrawsAfterEndLocation);
        }
        CGRect box = boxRect();
        ctx->setFillColor(0, 0, 0, 0.8);
        ctx->beginPath();
        ctx->addRoundedRect(box, 10);
        ctx->fillPath();
        CGPoint c = CGPointMake(CGRectGetMidX(box), box.origin.y + (status.empty() ? box.size.height / 2 : 36));
        ctx->setStrokeColor(1, 1, 1, 1);
        ctx->setLineCap(CGLineCap::Round);
        if (mark == SVProgressHUDMark::Spinner) {
            // Twelve spokes fading around, the bright one turning with the clock.
            ctx->setLineWidth(3);
            for (int i = 0; i < 12; ++i) {
                double a = (i + phase) * kPi / 6;
                ctx->setStrokeColor(1, 1, 1, 0.25 + 0.75 * i / 11.0);
                ctx->beginPath();
                ctx->moveToPoint(c.x + 9 * std::cos(a), c.y + 9 * std::sin(a));
                ctx->addLineToPoint(c.x + 17 * std::cos(a), c.y + 17 * std::sin(a));
                ctx->strokePath();
            }
        } else if (mark == SVProgressHUDMark::Success) {
            ctx->setLineWidth(4);
            ctx->beginPath();
            ctx->moveToPoint(c.x - 14, c.y);
            ctx->addLineToPoint(c.x - 4, c.y + 10);
            ctx->addLineToPoint(c.x + 15, c.y - 12);
            ctx->strokePath();
        } else {
            ctx->setLineWidth(4);
            ctx->beginPath();
            ctx->moveToPoint(c.x - 12, c.y - 12);
            ctx->addLineToPoint(c.x + 12, c.y + 12);
            ctx->moveToPoint(c.x + 12, c.y - 12);
            ctx->addLineToPoint(c.x - 12, c.y + 12);
            ctx->strokePath();
        }
        if (!status.empty()) {
            auto font = UIFont::boldSystemFontOfSize(16);
            ctx->setFillColor(1, 1, 1, 1);
            UIGraphicsPushContext(ctx);
            drawString(status,
                       CGRectMake(box.origin.x + 14, box.origin.y + 66, box.size.width - 28, box.size.height - 72),
                       *font, UILineBreakMode::WordWrap, UITextAlignment::Center);
            UIGraphicsPopContext();
        }
    }

    std::string status;
    SVProgressHUDMark mark = SVProgressHUDMark::Spinner;
    SVProgressHUDMaskType maskType = SVProgressHUDMaskType::None;
    int phase = 0;
};

struct HUDState {
    std::shared_ptr<HUDView> view;
    std::shared_ptr<NSTimer> dismissTimer;
    std::shared_ptr<NSTimer> spinTimer;
    bool networkIndicator = false;
};

HUDState& state() {
    static HUDState s;
    return s;
}

void cancelDismissal() {
    auto& s = state();
    if (s.dismissTimer) {
        s.dismissTimer->invalidate();
        s.dismissTimer.reset();
    }
}

void present(const std::string& status, SVProgressHUDMark mark, SVProgressHUDMaskType maskType) {
    auto& s = state();
    cancelDismissal();
    UIWindow* window = UIApplication::sharedApplication().keyWindow();
    if (!s.view) s.view = std::make_shared<HUDView>();
    if (window) {
        s.view->setFrame(window->bounds());
        if (s.view->superview() != window) {
            s.view->removeFromSuperview();
            window->addSubview(s.view);
        } else {
            window->bringSubviewToFront(s.view.get());
        }
    }
    s.view->status = status;
    s.view->mark = mark;
    s.view->maskType = maskType;
    s.view->setNeedsDisplay();
    if (mark == SVProgressHUDMark::Spinner && !s.spinTimer) {
        std::weak_ptr<HUDView> weak = s.view;
        s.spinTimer = NSTimer::scheduledTimerWithTimeInterval(
            0.1,
            [weak](NSTimer&) {
                if (auto v = weak.lock()) {
                    v->phase = (v->phase + 1) % 12;
                    v->setNeedsDisplay();
                }
            },
            true);
    }
}

void stopSpinner() {
    auto& s = state();
    if (s.spinTimer) {
        s.spinTimer->invalidate();
        s.spinTimer.reset();
    }
}

void hideNow() {
    auto& s = state();
    cancelDismissal();
    stopSpinner();
    if (s.view) {
        s.view->removeFromSuperview();
        s.view.reset();
    }
    if (s.networkIndicator) {
        UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(false);
        s.networkIndicator = false;
    }
}

void finishWithMark(const std::string& text, SVProgressHUDMark mark, double delay) {
    auto& s = state();
    SVProgressHUDMaskType mask = s.view ? s.view->maskType : SVProgressHUDMaskType::None;
    stopSpinner();
    present(text, mark, mask);
    s.dismissTimer = NSTimer::scheduledTimerWithTimeInterval(
        delay, [](NSTimer&) { hideNow(); }, false);
}
}  // namespace

void SVProgressHUD::show() { showWithStatus(""); }

void SVProgressHUD::showWithStatus(const std::string& status) {
    showWithStatus(status, SVProgressHUDMaskType::None, false);
}

void SVProgressHUD::showWithStatus(const std::string& status, SVProgressHUDMaskType maskType, bool networkIndicator) {
    auto& s = state();
    present(status, SVProgressHUDMark::Spinner, maskType);
    if (networkIndicator && !s.networkIndicator) {
        UIApplication::sharedApplication().setNetworkActivityIndicatorVisible(true);
        s.networkIndicator = true;
    }
}

void SVProgressHUD::setStatus(const std::string& status) {
    if (auto& v = state().view) {
        v->status = status;
        v->setNeedsDisplay();
    }
}

void SVProgressHUD::dismiss() { hideNow(); }

void SVProgressHUD::dismissWithSuccess(const std::string& text) { dismissWithSuccess(text, 1.0); }
void SVProgressHUD::dismissWithSuccess(const std::string& text, double delay) {
    finishWithMark(text, SVProgressHUDMark::Success, delay);
}
void SVProgressHUD::dismissWithError(const std::string& text) { dismissWithError(text, 1.0); }
void SVProgressHUD::dismissWithError(const std::string& text, double delay) {
    finishWithMark(text, SVProgressHUDMark::Error, delay);
}

bool SVProgressHUD::isVisible() { return state().view && state().view->superview(); }
std::string SVProgressHUD::status() { return state().view ? state().view->status : ""; }
SVProgressHUDMark SVProgressHUD::mark() { return state().view ? state().view->mark : SVProgressHUDMark::Spinner; }
SVProgressHUDMaskType SVProgressHUD::maskType() {
    return state().view ? state().view->maskType : SVProgressHUDMaskType::None;
}
std::shared_ptr<UIView> SVProgressHUD::overlayView() { return isVisible() ? state().view : nullptr; }
