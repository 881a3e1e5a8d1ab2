#include "ui/QZTabView.h"

QZTabView::QZTabView(std::shared_ptr<UIView> pickerView) : UIView(CGRectZero), picker_(std::move(pickerView)) {
    if (!picker_) picker_ = std::make_shared<UIView>(CGRectMake(0, 0, 320, 216));
    if (picker_->frame().size.height <= 0) picker_->setFrame(CGRectMake(0, 0, 320, 216));
    setBackgroundColor(UIColor::clearColor());
    setOpaque(false);
    bar_ = std::make_shared<UIView>();
    bar_->setBackgroundColor(UIColor::colorWithRed(0.137, 0.176, 0.255, 1));
    done_ = std::make_shared<UIButton>(UIButtonType::Custom, CGRectMake(250, 7, 62, 30));
    done_->setTitle("完成");
    done_->setTitleColor(UIColor::whiteColor());
    done_->setFont(UIFont::boldSystemFontOfSize(15));
    done_->setBackgroundColor(UIColor::colorWithRed(0.2, 0.4, 0.8, 1));
    done_->setCornerRadius(5);
    done_->addTarget(
        this, [this](UIControl&) { slideDown(); }, UIControlEventTouchUpInside);
    bar_->addSubview(done_);
    addSubview(bar_);
    addSubview(picker_);
    setFrame(CGRectMake(0, 0, 320, kBarHeight + picker_->frame().size.height));
    layoutSubviews();
}

std::shared_ptr<QZTabView> QZTabView::initWithPickerView(std::shared_ptr<UIView> picker) {
    return std::make_shared<QZTabView>(std::move(picker));
}

std::shared_ptr<QZTabView> QZTabView::initWithDatePicker(std::shared_ptr<UIView> datePicker) {
    auto t = std::make_shared<QZTabView>(std::move(datePicker));
    t->datePicker_ = true;
    return t;
}

CGRect QZTabView::frameFor(bool up) const {
    double h = kBarHeight + picker_->frame().size.height;
    double bottom = superview() ? CGRectGetMaxY(superview()->bounds()) : 460;
    double width = superview() ? superview()->bounds().size.width : 320;
    // Down: only the picker is hidden below the bottom, out of sight with the bar.
    return CGRectMake(0, up ? bottom - h : bottom, width, h);
}

void QZTabView::didMoveToSuperview() {
    if (superview()) setFrame(frameFor(open_));
}

void QZTabView::layoutSubviews() {
    CGRect b = bounds();
    bar_->setFrame(CGRectMake(0, 0, b.size.width, kBarHeight));
    done_->setFrame(CGRectMake(b.size.width - 70, 7, 62, 30));
    picker_->setFrame(CGRectMake(0, kBarHeight, b.size.width, picker_->frame().size.height));
}

void QZTabView::slideUp() {
    if (open_) return;
    open_ = true;
    ++slides_;
    if (superview()) superview()->bringSubviewToFront(this);
    CGRect f = frameFor(true);
    UIView::animateWithDuration(0.25, [this, f] { setFrame(f); });
}

void QZTabView::slideDown() {
    if (!open_) return;
    open_ = false;
    unsigned slide = ++slides_;
    CGRect f = frameFor(false);
    std::weak_ptr<UIView> weak = shared();
    UIView::animateWithDuration(
        0.25, [this, f] { setFrame(f); },
        [this, weak, slide](bool) {
            auto alive = weak.lock();
            if (alive && slide == slides_ && delegate_) delegate_->tabViewDidSlideDown(*this);
        });
}
