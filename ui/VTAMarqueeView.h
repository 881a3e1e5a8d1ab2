#pragma once
// A marquee: one line of text that scrolls leftwards through the view when it
// is wider than the view, followed by a gap and the text again, and stands
// still (left-aligned) when it fits. A timer on the main loop moves it every
// kTick seconds while the view is on a window; leaving the window stops the
// timer, coming back starts it again from where the text was.
#include "platform/foundation/NSTimer.h"
#include "platform/graphics/UIFont.h"
#include "platform/uikit/UIView.h"

#include <memory>
#include <string>

class VTAMarqueeView : public UIView {
public:
    static constexpr double kTick = 0.05;

    explicit VTAMarqueeView(const CGRect& frame = CGRectZero);
    ~VTAMarqueeView() override;
    std::string className() const override { return "VTAMarqueeView"; }

    void setText(const std::string& text);
    const std::string& text() const { return text_; }
    void setFont(std::shared_ptr<UIFont> font);
    const std::shared_ptr<UIFont>& font() const { return font_; }
    void setTextColor(std::shared_ptr<UIColor> color);
    // Points per second (30 by default; not below 1).
    void setSpeed(double pointsPerSecond);
    double speed() const { return speed_; }
    // Space between the end of the text and its next start (40 by default).
    void setGap(double points);

    // How far the text has moved left of the start (0..text width + gap).
    double offset() const { return offset_; }
    // True while the timer runs (text wider than the view, on a window).
    bool isScrolling() const { return timer_ != nullptr; }
    double textWidth() const;

    void didMoveToWindow() override;
    void setFrame(const CGRect& frame) override;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override { return text_; }

private:
    void update();
    void step();

    std::string text_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> color_;
    double speed_ = 30;
    double gap_ = 40;
    double offset_ = 0;
    std::shared_ptr<NSTimer> timer_;
};
