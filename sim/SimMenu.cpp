#include "sim/SimMenu.h"

#include <stdexcept>

namespace {
std::string named(const SimMenuItem& item) { return std::to_string(item.id) + " \"" + item.title + "\""; }
}  // namespace

void SimMenu::add(SimMenuItem item) {
    if (item.id == -1) throw std::logic_error("simulator menu item " + named(item) + ": -1 is the root's id");
    auto [it, added] = items_.try_emplace(item.id, item);
    if (!added)
        throw std::logic_error("simulator menu item " + std::to_string(item.id) + " registered twice (" +
                               named(it->second) + " and \"" + item.title + "\")");
}

void SimMenu::check() const {
    for (const auto& [id, item] : items_)
        if (item.parent != -1 && !items_.count(item.parent))
            throw std::logic_error("simulator menu item " + named(item) + " names a parent " +
                                   std::to_string(item.parent) + " that is not in the menu");
}

std::vector<SimMenuItem> SimMenu::items() const {
    std::vector<SimMenuItem> out;
    for (const auto& [id, item] : items_) out.push_back(item);
    return out;
}

const SimMenuItem* SimMenu::find(int id) const {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : &it->second;
}

std::vector<MenuItemRecord> SimMenu::records() const {
    std::vector<MenuItemRecord> out;
    for (const auto& [id, m] : items_) out.push_back({m.id, m.parent, m.title, m.link, m.icon, !m.hidden});
    return out;
}
