#pragma once
// Spinning wheels of rows, one per component. A drag turns a wheel; when it
// settles on a row the delegate hears didSelectRow. A tap on a row above or
// below the middle turns that row to the middle. Selecting in code tells no one.
#include "platform/uikit/UIView.h"

#include <vector>

class UIPickerView;
class NSTimer;

class UIPickerViewDataSource {
public:
    virtual ~UIPickerViewDataSource() = default;
    virtual int numberOfComponentsInPickerView(UIPickerView& picker) = 0;
    virtual int pickerViewNumberOfRowsInComponent(UIPickerView& picker, int component) = 0;
};

class UIPickerViewDelegate {
public:
    virtual ~UIPickerViewDelegate() = default;
    virtual std::string pickerViewTitleForRow(UIPickerView& picker, int row, int component) { return ""; }
    // A view to show instead of the title (null: the title).
    virtual std::shared_ptr<UIView> pickerViewViewForRow(UIPickerView& picker, int row, int component,
                                                         std::shared_ptr<UIView> reusing) {
        return nullptr;
    }
    // Negative: the standard width and height.
    virtual double pickerViewWidthForComponent(UIPickerView& picker, int component) { return -1; }
    virtual double pickerViewRowHeightForComponent(UIPickerView& picker, int component) { return -1; }
    virtual void pickerViewDidSelectRow(UIPickerView& picker, int row, int component) {}
};

class UIPickerView : public UIView {
public:
    explicit UIPickerView(const CGRect& frame = CGRectMake(0, 0, 320, 216));
    ~UIPickerView() override;
    std::string className() const override { return "UIPickerView"; }

    UIPickerViewDataSource* dataSource() const { return dataSource_; }
    // Not owned: the owner clears both.
    void setDataSource(UIPickerViewDataSource* d) {
        dataSource_ = d;
        reloadAllComponents();
    }
    UIPickerViewDelegate* delegate() const { return delegate_; }
    void setDelegate(UIPickerViewDelegate* d) {
        delegate_ = d;
        reloadAllComponents();
    }
    bool showsSelectionIndicator() const { return showsIndicator_; }
    void setShowsSelectionIndicator(bool s) {
        showsIndicator_ = s;
        setNeedsDisplay();
    }

    int numberOfComponents() const { return static_cast<int>(wheels_.size()); }
    int numberOfRowsInComponent(int component) const;
    // -1 for a component that does not exist or has no rows.
    int selectedRowInComponent(int component) const;
    void selectRow(int row, int component, bool animated);
    void reloadAllComponents();
    void reloadComponent(int component);
    CGSize rowSizeForComponent(int component) const;
    // The rectangle of a component's wheel, and of a row's place when it is at the middle.
    CGRect rectForComponent(int component) const;
    // The title shown for a row (from the delegate).
    std::string titleForRow(int row, int component);

    void setFrame(const CGRect& frame) override;
    void drawRect(const CGRect& rect) override;
    std::string accessibilityText() const override;
    void touchesBegan(const UITouchSet& touches, UIEvent* event) override;
    void touchesMoved(const UITouchSet& touches, UIEvent* event) override;
    void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
    void touchesCancelled(const UITouchSet& touches, UIEvent* event) override;

private:
    struct Wheel {
        int rows = 0;
        int selected = 0;
        double position = 0;  // row at the middle, fractional while turning
        double animFrom = 0, animTo = 0, animStart = 0;
        bool animating = false;
        bool notify = false;
    };
    int componentAt(double x) const;
    double rowHeight(int component) const;
    void settle(int component, int row, bool animated, bool notify);
    void step();

    UIPickerViewDataSource* dataSource_ = nullptr;
    UIPickerViewDelegate* delegate_ = nullptr;
    bool showsIndicator_ = false;
    std::vector<Wheel> wheels_;
    std::shared_ptr<NSTimer> timer_;
    int dragging_ = -1;
    double dragStartY_ = 0, dragStartPos_ = 0, lastY_ = 0, lastT_ = 0, velocity_ = 0;
    bool moved_ = false;
};
