#include "trade/TradePickerStrip.h"

#include "ui/QZTabView.h"

TradePickerStrip::TradePickerStrip(Titles titles, Picked picked)
    : titles_(std::move(titles)), picked_(std::move(picked)) {
    picker_ = std::make_shared<UIPickerView>(CGRectMake(0, 0, 320, 216));
    picker_->setShowsSelectionIndicator(true);
    picker_->setDataSource(this);
    picker_->setDelegate(this);
    tab_ = QZTabView::initWithPickerView(picker_);
}

TradePickerStrip::~TradePickerStrip() {
    picker_->setDataSource(nullptr);
    picker_->setDelegate(nullptr);
    tab_->removeFromSuperview();
}

void TradePickerStrip::showIn(UIView& view, int row) {
    if (tab_->superview() != &view) view.addSubview(tab_);
    shown_ = titles_ ? titles_() : std::vector<std::string>();
    picker_->reloadAllComponents();
    if (row >= 0 && row < static_cast<int>(shown_.size())) picker_->selectRow(row, 0, false);
    tab_->slideUp();
}

void TradePickerStrip::slideDown() { tab_->slideDown(); }

bool TradePickerStrip::isOpen() const { return tab_->open(); }

int TradePickerStrip::pickerViewNumberOfRowsInComponent(UIPickerView&, int) { return static_cast<int>(shown_.size()); }

std::string TradePickerStrip::pickerViewTitleForRow(UIPickerView&, int row, int) {
    return row >= 0 && row < static_cast<int>(shown_.size()) ? shown_[row] : std::string();
}

void TradePickerStrip::pickerViewDidSelectRow(UIPickerView&, int row, int) {
    if (row >= 0 && row < static_cast<int>(shown_.size()) && picked_) picked_(row);
}
