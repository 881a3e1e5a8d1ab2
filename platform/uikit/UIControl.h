#pragma once
// A view that turns touches into events (touch down, touch up inside, value
// changed...) sent to its targets. A target is a function keyed by an owner
// pointer, so an owner can remove its own targets.
#include "platform/uikit/UIView.h"

#include <functional>
#include <vector>

enum UIControlEvents : unsigned {
    UIControlEventTouchDown = 1u << 0,
    UIControlEventTouchDownRepeat = 1u << 1,
    UIControlEventTouchDragInside = 1u << 2,
    UIControlEventTouchDragOutside = 1u << 3,
    UIControlEventTouchDragEnter = 1u << 4,
    UIControlEventTouchDragExit = 1u << 5,
    UIControlEventTouchUpInside = 1u << 6,
    UIControlEventTouchUpOutside = 1u << 7,
    UIControlEventTouchCancel = 1u << 8,
    UIControlEventValueChanged = 1u << 12,
    UIControlEventEditingDidBegin = 1u << 16,
    UIControlEventEditingChanged = 1u << 17,
    UIControlEventEditingDidEnd = 1u << 18,
    UIControlEventEditingDidEndOnExit = 1u << 19,
    UIControlEventAllTouchEvents = 0x0FFFu,
    UIControlEventAllEditingEvents = 0x000F0000u,
    UIControlEventAllEvents = 0xFFFFFFFFu,
};

enum UIControlState : unsigned {
    UIControlStateNormal = 0,
    UIControlStateHighlighted = 1u << 0,
    UIControlStateDisabled = 1u << 1,
    UIControlStateSelected = 1u << 2,
};

enum class UIControlContentHorizontalAlignment { Center, Left, Right, Fill };
enum class UIControlContentVerticalAlignment { Center, Top, Bottom, Fill };

class UIControl : public UIView {
public:
    using Action = std::function<void(UIControl& sender)>;

    explicit UIControl(const CGRect& frame = CGRectZero);
    std::string className() const override { return "UIControl"; }

    void addTarget(const void* owner, Action action, unsigned events);
    // Removes the owner's actions for these events (every owner's for a null owner).
    void removeTarget(const void* owner, unsigned events = UIControlEventAllEvents);
    // Owners with an action for any of these events.
    std::vector<const void*> allTargets() const;
    unsigned allControlEvents() const;
    void sendActionsForControlEvents(unsigned events);

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool e);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool s);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool h);
    unsigned state() const;
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }
    UIControlContentHorizontalAlignment contentHorizontalAlignment() const { return hAlign_; }
    void setContentHorizontalAlignment(UIControlContentHorizontalAlignment a) {
        hAlign_ = a;
        setNeedsLayout();
    }
    UIControlContentVerticalAlignment contentVerticalAlignment() const { return vAlign_; }
    void setContentVerticalAlignment(UIControlContentVerticalAlignment a) {
        vAlign_ = a;
        setNeedsLayout();
    }

    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, UIEvent* event) override;

protected:
    // Tracking hooks for subclasses (switches, segments, pages).
    virtual bool beginTrackingWithTouch(UITouch& touch, UIEvent* event) { return true; }
    virtual bool continueTrackingWithTouch(UITouch& touch, UIEvent* event) { return true; }
    virtual void endTrackingWithTouch(UITouch* touch, UIEvent* event) {}
    virtual void cancelTrackingWithEvent(UIEvent* event) {}
    // Whether a touch is "inside" for up-inside: the bounds grown by a finger's slack.
    bool touchIsInside(const UITouch& touch) const;

private:
    struct Target {
        const void* owner;
        Action action;
        unsigned events;
    };
    std::vector<Target> targets_;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool touchInside_ = false;
    UIControlContentHorizontalAlignment hAlign_ = UIControlContentHorizontalAlignment::Center;
    UIControlContentVerticalAlignment vAlign_ = UIControlContentVerticalAlignment::Center;
};
