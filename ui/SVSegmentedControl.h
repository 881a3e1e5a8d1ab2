#pragma once
// A segmented switch with a sliding thumb. It starts on segment 0. A tap (or a
// drag of the thumb released) on another segment moves the thumb there and
// fires UIControlEventValueChanged; moves made in code do not fire.
#include "platform/graphics/UIFont.h"
#include "platform/graphics/UIImage.h"
#include "platform/uikit/UIControl.h"

#include <vector>

// The sliding thumb's look.
class SVSegmentedThumb {
public:
    std::shared_ptr<UIColor> textColor = UIColor::whiteColor();
    std::shared_ptr<UIColor> textShadowColor = UIColor::colorWithWhite(0, 0.5);
    CGSize textShadowOffset = CGSizeMake(0, -1);
    std::shared_ptr<UIImage> backgroundImage;
    std::shared_ptr<UIImage> highlightedBackgroundImage;
    std::shared_ptr<UIColor> tintColor = UIColor::colorWithWhite(0.3, 1);
};

class SVSegmentedControl : public UIControl {
public:
    explicit SVSegmentedControl(const std::vector<std::string>& sectionTitles);
    std::string className() const override { return "SVSegmentedControl"; }

    const std::vector<std::string>& sectionTitles() const { return titles_; }
    SVSegmentedThumb& thumb() { return thumb_; }

    int selectedIndex() const { return selected_; }
    // In code: moves the thumb, no event.
    void setSelectedIndex(int index);
    void moveThumbToIndex(int index, bool animate);

    void setHeight(double h);
    double height() const { return height_; }
    void setTitleEdgeInsets(UIEdgeInsets e);
    void setThumbEdgeInset(UIEdgeInsets e) {
        thumbInset_ = e;
        setNeedsDisplay();
    }
    void setFont(std::shared_ptr<UIFont> f);
    void setTextColor(std::shared_ptr<UIColor> c) {
        textColor_ = std::move(c);
        setNeedsDisplay();
    }
    void setTextShadowColor(std::shared_ptr<UIColor> c) {
        textShadowColor_ = std::move(c);
        setNeedsDisplay();
    }
    void setTextShadowOffset(CGSize s) {
        textShadowOffset_ = s;
        setNeedsDisplay();
    }
    void setBackgroundImage(std::shared_ptr<UIImage> i) {
        backgroundImage_ = std::move(i);
        setNeedsDisplay();
    }
    void setTintColor(std::shared_ptr<UIColor> c) {
        tint_ = std::move(c);
        setNeedsDisplay();
    }
    void setEnabled(bool e) override;

    // The rectangle of a segment in bounds.
    CGRect segmentRect(int index) const;
    CGRect thumbRect() const;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override;

protected:
    bool beginTrackingWithTouch(UITouch& touch, UIEvent* event) override;
    bool continueTrackingWithTouch(UITouch& touch, UIEvent* event) override;
    void endTrackingWithTouch(UITouch* touch, UIEvent* event) override;
    void cancelTrackingWithEvent(UIEvent* event) override;

private:
    void resize();
    int segmentAt(double x) const;

    std::vector<std::string> titles_;
    SVSegmentedThumb thumb_;
    int selected_ = 0;
    double height_ = 32;
    double thumbX_ = 0;  // left of the thumb while dragged / animated
    bool dragging_ = false;
    double grab_ = 0;
    UIEdgeInsets titleInsets_ = UIEdgeInsetsMake(0, 10, 0, 10);
    UIEdgeInsets thumbInset_ = UIEdgeInsetsMake(2, 2, 2, 2);
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_ = UIColor::grayColor();
    std::shared_ptr<UIColor> textShadowColor_ = UIColor::colorWithWhite(0, 0.5);
    CGSize textShadowOffset_ = CGSizeMake(0, -1);
    std::shared_ptr<UIImage> backgroundImage_;
    std::shared_ptr<UIColor> tint_ = UIColor::colorWithWhite(0.1, 1);
};
