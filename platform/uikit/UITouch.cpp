#include "platform/uikit/UITouch.h"

#include "platform/uikit/UIView.h"

CGPoint UITouch::locationInView(const UIView* view) const {
    if (!view) return location_;
    return view->convertPointFromView(location_, nullptr);
}

CGPoint UITouch::previousLocationInView(const UIView* view) const {
    if (!view) return previous_;
    return view->convertPointFromView(previous_, nullptr);
}

UITouchSet UIEvent::touchesForView(const UIView* view) const {
    UITouchSet out;
    for (const auto& t : touches_)
        if (t->view() == view) out.push_back(t);
    return out;
}

UITouchSet UIEvent::touchesForWindow(const UIWindow* window) const {
    UITouchSet out;
    for (const auto& t : touches_)
        if (t->window() == window) out.push_back(t);
    return out;
}
