#pragma once
// A row of segments. A finger lifted on a segment selects it and sends
// value-changed; a momentary control shows no lasting selection but still
// reports the tapped index. Setting the index in code sends nothing.
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIControl.h"

#include <vector>

enum class UISegmentedControlStyle { Plain, Bordered, Bar, Bezeled };
constexpr int UISegmentedControlNoSegment = -1;

class UISegmentedControl : public UIControl {
public:
    explicit UISegmentedControl(const std::vector<std::string>& items);
    std::string className() const override { return "UISegmentedControl"; }

    int numberOfSegments() const { return static_cast<int>(titles_.size()); }
    int selectedSegmentIndex() const { return selected_; }
    void setSelectedSegmentIndex(int i);
    bool isMomentary() const { return momentary_; }
    void setMomentary(bool m) {
        momentary_ = m;
        setNeedsDisplay();
    }
    UISegmentedControlStyle segmentedControlStyle() const { return style_; }
    void setSegmentedControlStyle(UISegmentedControlStyle s);
    const std::shared_ptr<UIColor>& tintColor() const { return tint_; }
    void setTintColor(std::shared_ptr<UIColor> c) {
        tint_ = std::move(c);
        setNeedsDisplay();
    }
    std::string titleForSegmentAtIndex(int i) const;
    void setTitle(const std::string& title, int segment);
    void setImage(std::shared_ptr<UIImage> image, int segment);
    void insertSegmentWithTitle(const std::string& title, int index, bool animated = false);
    void removeSegmentAtIndex(int index, bool animated = false);
    void removeAllSegments();
    void setEnabled(bool enabled, int segment);
    bool isEnabledForSegmentAtIndex(int segment) const;
    void setWidth(double width, int segment);
    CGRect rectForSegment(int segment) const;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override;

protected:
    bool beginTrackingWithTouch(UITouch& touch, UIEvent* event) override;
    void endTrackingWithTouch(UITouch* touch, UIEvent* event) override;
    void cancelTrackingWithEvent(UIEvent* event) override {
        pressed_ = -1;
        setNeedsDisplay();
    }

private:
    int segmentAt(CGPoint p) const;

    std::vector<std::string> titles_;
    std::vector<std::shared_ptr<UIImage>> images_;
    std::vector<bool> enabled_;
    std::vector<double> widths_;
    int selected_ = UISegmentedControlNoSegment;
    int pressed_ = -1;
    bool momentary_ = false;
    UISegmentedControlStyle style_ = UISegmentedControlStyle::Plain;
    std::shared_ptr<UIColor> tint_;
};
