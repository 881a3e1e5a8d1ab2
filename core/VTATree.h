#pragma once
// The menu tree: a root (id -1, no item of its own) and the menu items under
// it in first-child / next-sibling form. The process-wide tree is the one the
// menu sent at login (or the cached menu file) built; it is replaced whole
// when a new menu arrives.
#include <memory>
#include <unordered_map>
#include <vector>

#include "core/VTATreeNode.h"

class VTATree {
public:
    VTATree();

    VTATreeNode* root() const { return root_.get(); }
    // The node of that menu id (-1 the root); null when there is none.
    VTATreeNode* nodeWithId(int id) const;
    // Adds an item under the node of parentId; null when there is no such node
    // or an item of the same id is present already.
    VTATreeNode* addMenu(std::shared_ptr<VTAMenu> menu, int parentId);
    // The menu items of the node's direct children, in tree order.
    std::vector<std::shared_ptr<VTAMenu>> childrenOfNode(int id) const;
    int size() const { return size_; }  // items, not counting the root

    static std::shared_ptr<VTATree> sharedTree();              // never null (an empty tree at first)
    static void setSharedTree(std::shared_ptr<VTATree> tree);  // null gives an empty tree

private:
    std::unique_ptr<VTATreeNode> root_;
    std::unordered_map<int, VTATreeNode*> index_;
    int size_ = 0;
};
