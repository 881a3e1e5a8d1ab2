#pragma once
// The list behind a picker: ordered items with a cursor (the row being
// drawn) and a selection (the row chosen). The selection is 0 once the first
// item is added. clear() removes the items but keeps both positions, so a list
// filled again keeps its selection by position; a position beyond a list that
// was refilled shorter reads as nothing (never past the end).
#include <any>
#include <optional>
#include <string>
#include <vector>

#include "core/VTAChoiceItem.h"

class VTAChoice {
public:
    void setItemWithTitle(const std::string& title, const std::string& value, std::any userinfo = {});
    void clear() { items_.clear(); }
    int count() const { return static_cast<int>(items_.size()); }
    const std::vector<VTAChoiceItem>& items() const { return items_; }

    // Cursor.
    void moveToIndex(int index) { current_ = index; }
    int currentIndex() const { return current_; }
    std::optional<std::string> currentTitle() const;
    std::optional<std::string> currentValue() const;

    // Selection; selectIndex ignores a position outside the list.
    void selectIndex(int index);
    int selectedIndex() const { return selected_; }  // -1 before the first item
    std::optional<std::string> selectedTitle() const;
    std::optional<std::string> selectedValue() const;
    std::any selectedUserinfo() const;          // empty out of range
    const VTAChoiceItem* selectedItem() const;  // null out of range

    // Position of the first item with that value, -1 when none.
    int indexOfValue(const std::string& value) const;

private:
    const VTAChoiceItem* itemAt(int index) const;
    std::vector<VTAChoiceItem> items_;
    int current_ = 0;
    int selected_ = -1;
};
