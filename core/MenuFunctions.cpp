#include "core/MenuFunctions.h"

#include "core/TCRSWriter.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/RequestText.h"
#include "core/VTAParamter.h"
#include "core/VTATCRS.h"

namespace {

struct MenuRow {
    std::shared_ptr<VTAMenu> menu;
    int order = 0;
    int index = 0;
};

std::string textField(const VTATCRS& set, const std::string& name) {
    return set.toStringWithFieldName(name).value_or("");
}

}  // namespace

std::shared_ptr<VTATree> buildMenuTree(VTATCRS& sysMenu) {
    auto tree = std::make_shared<VTATree>();
    const bool hasShow = sysMenu.fieldsIndexWithName("show") >= 0;
    const bool hasOrder = sysMenu.fieldsIndexWithName("order") >= 0;

    // Rows grouped by parent id, each group in sibling order.
    std::map<int, std::vector<MenuRow>> byParent;
    std::set<int> seenIds;  // an id that repeats keeps its first record
    bool anyIdZero = false;
    int index = 0;
    for (sysMenu.fetchFirst(); !sysMenu.isEOF(); sysMenu.fetchNext(), ++index) {
        auto menu = std::make_shared<VTAMenu>();
        menu->setM_id(static_cast<int>(sysMenu.toIntWithFieldName("id")));
        menu->setM_pid(static_cast<int>(sysMenu.toIntWithFieldName("pid")));
        menu->setTitle(textField(sysMenu, "title"));
        menu->setLink(textField(sysMenu, "link"));
        menu->setIcon(textField(sysMenu, "icon"));
        menu->setShowOrNot(hasShow ? sysMenu.toIntWithFieldName("show") == 1 : true);
        int order = hasOrder ? static_cast<int>(sysMenu.toIntWithFieldName("order")) : index;
        menu->setOrder(order);
        if (menu->m_id() == -1 || !seenIds.insert(menu->m_id()).second) continue;
        if (menu->m_id() == 0) anyIdZero = true;
        byParent[menu->m_pid()].push_back({std::move(menu), order, index});
    }
    sysMenu.fetchFirst();
    if (!anyIdZero) {
        // A parent id of 0 means the root when no item carries id 0.
        auto zero = byParent.find(0);
        if (zero != byParent.end()) {
            auto& rootRows = byParent[-1];
            rootRows.insert(rootRows.end(), zero->second.begin(), zero->second.end());
            byParent.erase(0);
        }
    }
    for (auto& [pid, rows] : byParent)
        std::stable_sort(rows.begin(), rows.end(), [](const MenuRow& a, const MenuRow& b) {
            return a.order != b.order ? a.order < b.order : a.index < b.index;
        });

    // From the root down, level by level.
    std::vector<int> level{-1};
    for (int depth = 0; depth < kMaxMenuDepth && !level.empty(); ++depth) {
        std::vector<int> next;
        for (int parentId : level) {
            auto it = byParent.find(parentId);
            if (it == byParent.end()) continue;
            for (auto& row : it->second)
                if (tree->addMenu(row.menu, parentId)) next.push_back(row.menu->m_id());
            byParent.erase(it);
        }
        level = std::move(next);
    }
    return tree;
}

Value::Dict buildConfigDictionary(VTATCRS& sysConf) {
    Value::Dict config;
    for (sysConf.fetchFirst(); !sysConf.isEOF(); sysConf.fetchNext()) {
        std::string key = textField(sysConf, "key");
        if (key.empty()) continue;
        config[key] = Value(textField(sysConf, "value"));
    }
    sysConf.fetchFirst();
    return config;
}

bool installMenuSets(const std::vector<std::shared_ptr<VTATCRS>>& sets) {
    std::shared_ptr<VTATCRS> menuSet, confSet;
    for (const auto& set : sets) {
        if (!set || set->isError()) continue;
        if (!menuSet && set->name() == "sys.menu") menuSet = set;
        if (!confSet && set->name() == "sys.conf") confSet = set;
    }
    if (!menuSet) return false;
    VTATree::setSharedTree(buildMenuTree(*menuSet));
    if (confSet) VTAParamter::shareParamter().setValue(Value(buildConfigDictionary(*confSet)), "commomdSettingForHQ");
    return true;
}

bool installMenuFromData(const std::vector<uint8_t>& bytes) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(bytes);
    return sets && installMenuSets(*sets);
}

std::optional<std::vector<std::shared_ptr<VTAMenu>>> menusWithLink(const VTATree& tree, const std::string& link,
                                                                   int nodeId) {
    std::vector<std::shared_ptr<VTAMenu>> found;
    for (auto& menu : tree.childrenOfNode(nodeId))
        if (stripQuery(menu->link()) == link) found.push_back(menu);
    if (found.empty()) return std::nullopt;
    return found;
}

std::optional<std::vector<std::shared_ptr<VTAMenu>>> menusWithLink(const std::string& link, int nodeId) {
    return menusWithLink(*VTATree::sharedTree(), link, nodeId);
}

std::vector<std::shared_ptr<VTAMenu>> visibleMenusOfNode(const VTATree& tree, int nodeId) {
    std::vector<std::shared_ptr<VTAMenu>> out;
    for (auto& menu : tree.childrenOfNode(nodeId))
        if (menu->showOrNot()) out.push_back(menu);
    return out;
}

std::vector<std::shared_ptr<VTAMenu>> visibleMenusOfNode(int nodeId) {
    return visibleMenusOfNode(*VTATree::sharedTree(), nodeId);
}

std::vector<uint8_t> menuRecordSetsData(const std::vector<MenuItemRecord>& items,
                                        const std::vector<MenuConfigEntry>& config) {
    TCRSWriter w;
    w.beginSet("sys.menu")
        .addField("id", TCRSFieldType::Integer, 4)
        .addField("pid", TCRSFieldType::Integer, 4)
        .addField("title", TCRSFieldType::VarText)
        .addField("link", TCRSFieldType::VarText)
        .addField("icon", TCRSFieldType::VarText)
        .addField("show", TCRSFieldType::Integer, 4)
        .addField("order", TCRSFieldType::Integer, 4);
    int order = 0;
    for (const auto& m : items) w.addRecord({m.id, m.pid, m.title, m.link, m.icon, m.show ? 1 : 0, ++order});
    w.beginSet("sys.conf").addField("key", TCRSFieldType::VarText).addField("value", TCRSFieldType::VarText);
    for (const auto& [key, value] : config) w.addRecord({key, value});
    return w.bytes();
}
