#pragma once
// The menu the simulated server sends with 100/2 ("sys.menu", see
// core/MenuFunctions.h): a table that each function family extends with the
// items of its screens in its register function (see SimRegistry.h for the
// id blocks). Siblings are sent in ascending id, so an item's id is its place
// among its siblings. A hidden item is sent with its visibility off: the
// client keeps it out of the board and the lists, but screens can look it up.
#include <map>
#include <string>
#include <vector>

#include "core/MenuFunctions.h"

struct SimMenuItem {
    int id = 0;
    int parent = -1;  // -1: a group of the board
    std::string title;
    std::string link;
    std::string icon;
    bool hidden = false;
};

class SimMenu {
public:
    // Throws std::logic_error naming the item when its id is taken (or is -1).
    void add(SimMenuItem item);
    // Throws std::logic_error naming the first item whose parent is not in the table.
    void check() const;
    // Every item, in ascending id.
    std::vector<SimMenuItem> items() const;
    const SimMenuItem* find(int id) const;
    size_t size() const { return items_.size(); }
    // The items as the writer of "sys.menu" takes them.
    std::vector<MenuItemRecord> records() const;

private:
    std::map<int, SimMenuItem> items_;
};
