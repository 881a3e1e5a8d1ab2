#pragma once
// A strip along the bottom of the view it is added to, holding a picker (or a
// date picker) that slides up above the strip's bar (0.25 s) and back down.
// `open` is true while slid up; the delegate hears tabViewDidSlideDown once
// the slide down has ended, unless the strip was slid again meanwhile.
#include "platform/uikit/UIButton.h"

class QZTabView;

class QZTabViewDelegate {
public:
    virtual ~QZTabViewDelegate() = default;
    virtual void tabViewDidSlideDown(QZTabView& tab) {}
};

class QZTabView : public UIView {
public:
    static constexpr double kBarHeight = 44;
    // The picker keeps its height (216 when it has none).
    explicit QZTabView(std::shared_ptr<UIView> pickerView);
    static std::shared_ptr<QZTabView> initWithPickerView(std::shared_ptr<UIView> picker);
    static std::shared_ptr<QZTabView> initWithDatePicker(std::shared_ptr<UIView> datePicker);
    std::string className() const override { return "QZTabView"; }

    void setDelegate(QZTabViewDelegate* d) { delegate_ = d; }
    const std::shared_ptr<UIView>& pickerView() const { return picker_; }
    bool isDatePicker() const { return datePicker_; }
    void slideUp();
    void slideDown();
    bool open() const { return open_; }
    // The bar's "完成" button slides the picker down.
    UIButton* doneButton() const { return done_.get(); }

    void didMoveToSuperview() override;
    void layoutSubviews() override;

private:
    CGRect frameFor(bool up) const;
    std::shared_ptr<UIView> picker_;
    std::shared_ptr<UIView> bar_;
    std::shared_ptr<UIButton> done_;
    QZTabViewDelegate* delegate_ = nullptr;
    bool open_ = false;
    bool datePicker_ = false;
    // Counts slides, so that a slide down overtaken by a slide up (or another
    // slide down) before its animation ends does not report.
    unsigned slides_ = 0;
};
