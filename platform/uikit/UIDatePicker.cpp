#include "platform/uikit/UIDatePicker.h"

#include <algorithm>

namespace {
constexpr int kFirstYear = 1970;
constexpr int kLastYear = 2037;

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return days[std::clamp(month, 1, 12) - 1];
}
}  // namespace

UIDatePicker::UIDatePicker(const CGRect& frame)
    : UIControl(CGRectMake(frame.origin.x, frame.origin.y, frame.size.width, 216)) {
    date_ = NSDate::date();
    picker_ = std::make_shared<UIPickerView>(bounds());
    picker_->setShowsSelectionIndicator(true);
    addSubview(picker_);
    picker_->setDataSource(this);
    picker_->setDelegate(this);
    showDate(false);
}

UIDatePicker::~UIDatePicker() {
    picker_->setDataSource(nullptr);
    picker_->setDelegate(nullptr);
}

void UIDatePicker::setFrame(const CGRect& f) {
    UIControl::setFrame(CGRectMake(f.origin.x, f.origin.y, f.size.width, 216));
}

void UIDatePicker::layoutSubviews() { picker_->setFrame(bounds()); }

std::vector<UIDatePicker::Field> UIDatePicker::fields() const {
    switch (mode_) {
        case UIDatePickerMode::Date:
            return {Field::Year, Field::Month, Field::Day};
        case UIDatePickerMode::Time:
        case UIDatePickerMode::CountDownTimer:
            return {Field::Hour, Field::Minute};
        case UIDatePickerMode::DateAndTime:
            return {Field::Month, Field::Day, Field::Hour, Field::Minute};
    }
    return {};
}

void UIDatePicker::setDatePickerMode(UIDatePickerMode m) {
    mode_ = m;
    picker_->reloadAllComponents();
    showDate(false);
}

NSDate UIDatePicker::clamp(const NSDate& d) const {
    NSDate out = d;
    if (minimum_ && out < *minimum_) out = *minimum_;
    if (maximum_ && out > *maximum_) out = *maximum_;
    return out;
}

void UIDatePicker::setDate(const NSDate& d, bool animated) {
    date_ = clamp(d);
    picker_->reloadAllComponents();
    showDate(animated);
}

void UIDatePicker::setMinimumDate(std::optional<NSDate> d) {
    minimum_ = d;
    setDate(date_);
}

void UIDatePicker::setMaximumDate(std::optional<NSDate> d) {
    maximum_ = d;
    setDate(date_);
}

void UIDatePicker::setMinuteInterval(int m) {
    minuteInterval_ = (m >= 1 && m <= 30 && 60 % m == 0) ? m : 1;
    picker_->reloadAllComponents();
    showDate(false);
}

void UIDatePicker::showDate(bool animated) {
    LocalDateParts p = localDateParts(date_);
    auto f = fields();
    for (size_t c = 0; c < f.size(); ++c) {
        int row = 0;
        switch (f[c]) {
            case Field::Year:
                row = p.year - kFirstYear;
                break;
            case Field::Month:
                row = p.month - 1;
                break;
            case Field::Day:
                row = p.day - 1;
                break;
            case Field::Hour:
                row = p.hour;
                break;
            case Field::Minute:
                row = p.minute / minuteInterval_;
                break;
        }
        picker_->selectRow(row, static_cast<int>(c), animated);
    }
}

int UIDatePicker::numberOfComponentsInPickerView(UIPickerView&) { return static_cast<int>(fields().size()); }

int UIDatePicker::pickerViewNumberOfRowsInComponent(UIPickerView&, int c) {
    auto f = fields();
    if (c < 0 || static_cast<size_t>(c) >= f.size()) return 0;
    LocalDateParts p = localDateParts(date_);
    switch (f[static_cast<size_t>(c)]) {
        case Field::Year:
            return kLastYear - kFirstYear + 1;
        case Field::Month:
            return 12;
        case Field::Day:
            return daysInMonth(p.year, p.month);
        case Field::Hour:
            return 24;
        case Field::Minute:
            return 60 / minuteInterval_;
    }
    return 0;
}

std::string UIDatePicker::pickerViewTitleForRow(UIPickerView&, int row, int c) {
    auto f = fields();
    if (c < 0 || static_cast<size_t>(c) >= f.size()) return "";
    char buf[32];
    switch (f[static_cast<size_t>(c)]) {
        case Field::Year:
            std::snprintf(buf, sizeof buf, "%d年", kFirstYear + row);
            break;
        case Field::Month:
            std::snprintf(buf, sizeof buf, "%d月", row + 1);
            break;
        case Field::Day:
            std::snprintf(buf, sizeof buf, "%d日", row + 1);
            break;
        case Field::Hour:
            std::snprintf(buf, sizeof buf, "%02d", row);
            break;
        case Field::Minute:
            std::snprintf(buf, sizeof buf, "%02d", row * minuteInterval_);
            break;
    }
    return buf;
}

double UIDatePicker::pickerViewWidthForComponent(UIPickerView&, int c) {
    auto f = fields();
    if (c < 0 || static_cast<size_t>(c) >= f.size()) return -1;
    return f[static_cast<size_t>(c)] == Field::Year ? 110 : -1;
}

void UIDatePicker::pickerViewDidSelectRow(UIPickerView& p, int, int) {
    auto keep = shared();
    LocalDateParts parts = localDateParts(date_);
    auto f = fields();
    for (size_t c = 0; c < f.size(); ++c) {
        int row = p.selectedRowInComponent(static_cast<int>(c));
        switch (f[c]) {
            case Field::Year:
                parts.year = kFirstYear + row;
                break;
            case Field::Month:
                parts.month = row + 1;
                break;
            case Field::Day:
                parts.day = row + 1;
                break;
            case Field::Hour:
                parts.hour = row;
                break;
            case Field::Minute:
                parts.minute = row * minuteInterval_;
                break;
        }
    }
    parts.day = std::min(parts.day, daysInMonth(parts.year, parts.month));
    auto d = localDate(parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second);
    if (!d) return;
    NSDate old = date_;
    date_ = clamp(*d);
    // Rows may change (days of the month) and a clamped date turns the wheels back.
    picker_->reloadAllComponents();
    showDate(true);
    if (date_ != old) sendActionsForControlEvents(UIControlEventValueChanged);
}

std::string UIDatePicker::accessibilityText() const { return picker_->accessibilityText(); }
