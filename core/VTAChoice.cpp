#include "core/VTAChoice.h"

void VTAChoice::setItemWithTitle(const std::string& title, const std::string& value, std::any userinfo) {
    items_.emplace_back(title, value, std::move(userinfo));
    if (selected_ < 0) selected_ = 0;
}

const VTAChoiceItem* VTAChoice::itemAt(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return &items_[static_cast<size_t>(index)];
}

std::optional<std::string> VTAChoice::currentTitle() const {
    if (auto item = itemAt(current_)) return item->title();
    return std::nullopt;
}

std::optional<std::string> VTAChoice::currentValue() const {
    if (auto item = itemAt(current_)) return item->value();
    return std::nullopt;
}

void VTAChoice::selectIndex(int index) {
    if (index < 0 || index >= count()) return;
    selected_ = index;
}

const VTAChoiceItem* VTAChoice::selectedItem() const { return itemAt(selected_); }

std::optional<std::string> VTAChoice::selectedTitle() const {
    if (auto item = selectedItem()) return item->title();
    return std::nullopt;
}

std::optional<std::string> VTAChoice::selectedValue() const {
    if (auto item = selectedItem()) return item->value();
    return std::nullopt;
}

std::any VTAChoice::selectedUserinfo() const {
    if (auto item = selectedItem()) return item->userinfo();
    return {};
}

int VTAChoice::indexOfValue(const std::string& value) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].value() == value) return static_cast<int>(i);
    return -1;
}
