#pragma once
// The responder chain: touches travel from the touched view up through its
// superviews (and their view controllers) to the window and the application
// until one handles them. One responder at a time is the first responder; the
// on-screen keyboard follows it.
#include "platform/uikit/UITouch.h"

#include <memory>

class UIView;

class UIResponder : public std::enable_shared_from_this<UIResponder> {
public:
    UIResponder() = default;
    virtual ~UIResponder();
    UIResponder(const UIResponder&) = delete;
    UIResponder& operator=(const UIResponder&) = delete;

    virtual UIResponder* nextResponder() const { return nullptr; }

    virtual bool canBecomeFirstResponder() const { return false; }
    virtual bool canResignFirstResponder() const { return true; }
    // Resigns the current first responder first; false when either side refuses.
    virtual bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    static UIResponder* currentFirstResponder();

    // What the input area shows while this responder is first: a custom view
    // (a picker) instead of the keyboard, and an accessory bar above it.
    virtual std::shared_ptr<UIView> inputView() const { return nullptr; }
    virtual std::shared_ptr<UIView> inputAccessoryView() const { return nullptr; }
    // True for responders that take typed text (text fields and views).
    virtual bool acceptsTextInput() const { return false; }

    // Defaults hand the touches to the next responder.
    virtual void touchesBegan(const UITouchSet& touches, UIEvent* event);
    virtual void touchesMoved(const UITouchSet& touches, UIEvent* event);
    virtual void touchesEnded(const UITouchSet& touches, UIEvent* event);
    virtual void touchesCancelled(const UITouchSet& touches, UIEvent* event);

protected:
    // Called after this responder became or stopped being first.
    virtual void didBecomeFirstResponder() {}
    virtual void didResignFirstResponder() {}
};
