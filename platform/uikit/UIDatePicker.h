#pragma once
// Wheels for a date (year, month, day), a time (hour, minute) or both, in the
// local time zone. A wheel turned by the finger sends value-changed; a date
// outside minimumDate..maximumDate turns back to the nearest allowed one.
#include "platform/foundation/NSDate.h"
#include "platform/uikit/UIControl.h"
#include "platform/uikit/UIPickerView.h"

#include <optional>

enum class UIDatePickerMode { Time, Date, DateAndTime, CountDownTimer };

class UIDatePicker : public UIControl, private UIPickerViewDataSource, private UIPickerViewDelegate {
public:
    explicit UIDatePicker(const CGRect& frame = CGRectMake(0, 0, 320, 216));
    ~UIDatePicker() override;
    std::string className() const override { return "UIDatePicker"; }

    UIDatePickerMode datePickerMode() const { return mode_; }
    void setDatePickerMode(UIDatePickerMode m);
    NSDate date() const { return date_; }
    void setDate(const NSDate& d, bool animated = false);
    const std::optional<NSDate>& minimumDate() const { return minimum_; }
    void setMinimumDate(std::optional<NSDate> d);
    const std::optional<NSDate>& maximumDate() const { return maximum_; }
    void setMaximumDate(std::optional<NSDate> d);
    int minuteInterval() const { return minuteInterval_; }
    void setMinuteInterval(int m);
    UIPickerView* pickerView() const { return picker_.get(); }

    void setFrame(const CGRect& frame) override;
    void layoutSubviews() override;
    std::string accessibilityText() const override;

private:
    enum class Field { Year, Month, Day, Hour, Minute };
    std::vector<Field> fields() const;
    int numberOfComponentsInPickerView(UIPickerView& p) override;
    int pickerViewNumberOfRowsInComponent(UIPickerView& p, int c) override;
    std::string pickerViewTitleForRow(UIPickerView& p, int row, int c) override;
    double pickerViewWidthForComponent(UIPickerView& p, int c) override;
    void pickerViewDidSelectRow(UIPickerView& p, int row, int c) override;
    void showDate(bool animated);
    NSDate clamp(const NSDate& d) const;

    std::shared_ptr<UIPickerView> picker_;
    UIDatePickerMode mode_ = UIDatePickerMode::DateAndTime;
    NSDate date_;
    std::optional<NSDate> minimum_, maximum_;
    int minuteInterval_ = 1;
};
