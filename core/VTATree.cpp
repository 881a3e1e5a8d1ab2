#include "core/VTATree.h"

#include <mutex>

VTATreeNode::~VTATreeNode() {
    // Unlink siblings iteratively so a long list of siblings cannot overflow the stack.
    std::unique_ptr<VTATreeNode> next = std::move(nextSibling_);
    while (next) next = std::move(next->nextSibling_);
}

VTATreeNode* VTATreeNode::appendChild(std::shared_ptr<VTAMenu> menu) {
    auto node = std::make_unique<VTATreeNode>(std::move(menu));
    node->parent_ = this;
    VTATreeNode* added = node.get();
    if (lastChild_)
        lastChild_->nextSibling_ = std::move(node);
    else
        firstChild_ = std::move(node);
    lastChild_ = added;
    return added;
}

int VTATreeNode::childCount() const {
    int n = 0;
    for (VTATreeNode* c = firstChild(); c; c = c->nextSibling()) ++n;
    return n;
}

VTATree::VTATree() {
    auto rootMenu = std::make_shared<VTAMenu>();
    rootMenu->setM_id(-1);
    rootMenu->setM_pid(-1);
    root_ = std::make_unique<VTATreeNode>(std::move(rootMenu));
}

VTATreeNode* VTATree::nodeWithId(int id) const {
    if (id == -1) return root_.get();
    auto it = index_.find(id);
    return it == index_.end() ? nullptr : it->second;
}

VTATreeNode* VTATree::addMenu(std::shared_ptr<VTAMenu> menu, int parentId) {
    if (!menu || menu->m_id() == -1 || nodeWithId(menu->m_id())) return nullptr;
    VTATreeNode* parent = nodeWithId(parentId);
    if (!parent) return nullptr;
    menu->setM_pid(parentId);
    int id = menu->m_id();
    VTATreeNode* node = parent->appendChild(std::move(menu));
    index_[id] = node;
    ++size_;
    return node;
}

std::vector<std::shared_ptr<VTAMenu>> VTATree::childrenOfNode(int id) const {
    std::vector<std::shared_ptr<VTAMenu>> out;
    if (VTATreeNode* node = nodeWithId(id))
        for (VTATreeNode* c = node->firstChild(); c; c = c->nextSibling()) out.push_back(c->menu());
    return out;
}

namespace {
std::mutex& sharedTreeMutex() {
    static std::mutex m;
    return m;
}
std::shared_ptr<VTATree>& sharedTreeSlot() {
    static std::shared_ptr<VTATree> tree = std::make_shared<VTATree>();
    return tree;
}
}  // namespace

std::shared_ptr<VTATree> VTATree::sharedTree() {
    std::lock_guard lock(sharedTreeMutex());
    return sharedTreeSlot();
}

void VTATree::setSharedTree(std::shared_ptr<VTATree> tree) {
    std::lock_guard lock(sharedTreeMutex());
    sharedTreeSlot() = tree ? std::move(tree) : std::make_shared<VTATree>();
}
