#pragma once
// A node of the menu tree in first-child / next-sibling form. A node owns its
// first child and its next sibling; the parent link does not own.
#include <memory>

#include "core/VTAMenu.h"

class VTATreeNode {
public:
    explicit VTATreeNode(std::shared_ptr<VTAMenu> menu) : menu_(std::move(menu)) {}
    ~VTATreeNode();
    VTATreeNode(const VTATreeNode&) = delete;
    VTATreeNode& operator=(const VTATreeNode&) = delete;

    const std::shared_ptr<VTAMenu>& menu() const { return menu_; }
    int nodeId() const { return menu_ ? menu_->m_id() : -1; }
    VTATreeNode* firstChild() const { return firstChild_.get(); }
    VTATreeNode* nextSibling() const { return nextSibling_.get(); }
    VTATreeNode* parent() const { return parent_; }

    // Appends a child after the last one; returns it.
    VTATreeNode* appendChild(std::shared_ptr<VTAMenu> menu);
    int childCount() const;

private:
    std::shared_ptr<VTAMenu> menu_;
    std::unique_ptr<VTATreeNode> firstChild_;
    std::unique_ptr<VTATreeNode> nextSibling_;
    VTATreeNode* parent_ = nullptr;
    VTATreeNode* lastChild_ = nullptr;
};
