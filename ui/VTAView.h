#pragma once
// The base view of the older framework: a touch surface that turns each
// finished touch sequence into one action and reports it to its delegate
// (and to the overridable doAction, for subclasses such as the chart views).
//
// A sequence starts with the first finger down and ends when the last finger
// lifts. Its action, from the start and end points of the fingers:
//   one finger, under kTapSlop points of movement each way:
//      Click (0), or DoubleClick (1) when it is the second tap of a double tap
//      (the first tap of a double tap has already reported a Click);
//   one finger, further: a swipe along the larger movement,
//      SwipeRight (2) / SwipeLeft (3) when it ends right / left of the start,
//      SwipeDown (4) / SwipeUp (5) when it ends below / above;
//   two fingers: the change of their distance along the axis that changed
//      more, PinchHorizontal (6) / SpreadHorizontal (7) when the horizontal
//      distance shrank / grew, PinchVertical (8) / SpreadVertical (9);
//      under kTapSlop of change it is no action.
// A cancelled sequence reports nothing.
#include "platform/uikit/UIView.h"

#include <map>

enum class VTATouchAction {
    None = -1,
    Click = 0,
    DoubleClick = 1,
    SwipeRight = 2,
    SwipeLeft = 3,
    SwipeDown = 4,
    SwipeUp = 5,
    PinchHorizontal = 6,
    SpreadHorizontal = 7,
    PinchVertical = 8,
    SpreadVertical = 9,
};

// The finished touch sequence a surface classifies (points in its coordinates).
struct VTATouchSequence {
    int fingers = 0;   // fingers that took part in the sequence
    int tapCount = 1;  // of the first finger
    CGPoint start[2];  // first two fingers' start points
    CGPoint end[2];    // and their last points
};

// The action of a finished sequence (the rule above). Chart views use it too.
VTATouchAction classifyTouchSequence(const VTATouchSequence& s);

class VTAView;

class VTAViewDelegate {
public:
    virtual ~VTAViewDelegate() = default;
    // Every action, with the point where the sequence started (first finger).
    virtual void viewDoAction(VTAView& view, VTATouchAction action, CGPoint start) {}
    virtual void viewDidClick(VTAView& view, CGPoint point) {}
    virtual void viewDidDoubleClick(VTAView& view, CGPoint point) {}
    // Swipes (2..5) with the start and end of the finger.
    virtual void viewDidSwipe(VTAView& view, VTATouchAction direction, CGPoint from, CGPoint to) {}
    // Pinches and spreads (6..9) with the ratio of the end to the start distance
    // along the axis of the action.
    virtual void viewDidPinch(VTAView& view, VTATouchAction action, double scale) {}
};

class VTAView : public UIView {
public:
    static constexpr double kTapSlop = 20;

    explicit VTAView(const CGRect& frame = CGRectZero);
    std::string className() const override { return "VTAView"; }

    // Not owned; the owner clears it before it goes away.
    void setDelegate(VTAViewDelegate* d) { delegate_ = d; }
    VTAViewDelegate* delegate() const { return delegate_; }

    // The last action reported (None before any).
    VTATouchAction lastAction() const { return lastAction_; }
    // Fingers of the sequence under way (0 between sequences).
    int fingersInSequence() const { return static_cast<int>(fingers_.size()); }

    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, UIEvent* event) override;

protected:
    // Called for every action before the delegate hears it; subclasses override.
    virtual void doAction(VTATouchAction action, const VTATouchSequence& sequence) {}

private:
    struct Finger {
        int order = 0;
        CGPoint start, last;
        bool down = true;
    };
    void track(const UITouchSet& touches, bool ended);
    void finish();

    VTAViewDelegate* delegate_ = nullptr;
    std::map<const UITouch*, Finger> fingers_;
    int tapCount_ = 1;
    VTATouchAction lastAction_ = VTATouchAction::None;
};
