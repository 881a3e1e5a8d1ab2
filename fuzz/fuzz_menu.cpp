// The menu and configuration reader under arbitrary bytes, read two ways: as
// the reply bytes themselves (the menu reply and the cached menu), and as items
// and entries taken from the bytes and written as record sets, so that ids,
// parents, orders and visibility reach the tree builder in any combination.
// The tree must hold each id once, every item at most kMaxMenuDepth deep under
// the root, and answer its lookups consistently.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/MenuFunctions.h"
#include "core/VTAMenu.h"
#include "core/VTAParamter.h"
#include "core/VTATree.h"

namespace {

struct Bytes {
    const uint8_t* p;
    size_t n;
    uint8_t byte() {
        if (!n) return 0;
        --n;
        return *p++;
    }
    int small() { return static_cast<int8_t>(byte()) / 8; }  // ids and parents in -16..15
    std::string text() {
        std::string s;
        for (size_t len = byte() % 8; len > 0 && n > 0; --len) s += static_cast<char>(byte());
        return s;
    }
};

void checkTree(const VTATree& tree) {
    std::set<int> seen;
    int items = 0;
    struct Frame {
        const VTATreeNode* node;
        int depth;
    };
    std::vector<Frame> stack{{tree.root(), 0}};
    while (!stack.empty()) {
        Frame f = stack.back();
        stack.pop_back();
        if (f.depth > kMaxMenuDepth) std::abort();
        int children = 0;
        for (const VTATreeNode* c = f.node->firstChild(); c; c = c->nextSibling(), ++children) {
            if (c->parent() != f.node || !seen.insert(c->nodeId()).second) std::abort();
            if (tree.nodeWithId(c->nodeId()) != c) std::abort();
            ++items;
            stack.push_back({c, f.depth + 1});
        }
        if (children != f.node->childCount()) std::abort();
        if (static_cast<int>(tree.childrenOfNode(f.node->nodeId()).size()) != children) std::abort();
        for (const auto& menu : visibleMenusOfNode(tree, f.node->nodeId()))
            if (!menu->showOrNot()) std::abort();
        for (const auto& menu : tree.childrenOfNode(f.node->nodeId()))
            if (!menusWithLink(tree, menu->link(), f.node->nodeId()) && menu->link().find('?') == std::string::npos)
                std::abort();
    }
    if (items != tree.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> raw(data, data + size);
    if (installMenuFromData(raw)) checkTree(*VTATree::sharedTree());

    Bytes in{data, size};
    std::vector<MenuItemRecord> items;
    std::vector<MenuConfigEntry> config;
    for (int count = in.byte() % 48; count > 0 && in.n > 0; --count) {
        MenuItemRecord item;
        item.id = in.small();
        item.pid = in.small();
        item.show = in.byte() & 1;
        item.title = in.text();
        item.link = in.text();
        items.push_back(item);
    }
    while (in.n > 0) config.emplace_back(in.text(), in.text());
    if (!installMenuFromData(menuRecordSetsData(items, config))) std::abort();
    checkTree(*VTATree::sharedTree());
    if (VTATree::sharedTree()->size() > static_cast<int>(items.size())) std::abort();
    auto settings = VTAParamter::shareParamter().getDictionaryForKey("commomdSettingForHQ");
    if (!settings || settings->size() > config.size()) std::abort();
    return 0;
}
