#include "catalog/folder_node.h"

namespace {
// Below this many children a linear scan is cheaper than keeping a hash index.
constexpr size_t kIndexThreshold = 8;
}  // namespace

FolderNode::~FolderNode() { clearChildren(); }

FolderNode* FolderNode::findChild(std::string_view childName) const {
    if (index_) {
        auto found = index_->find(childName);
        return found == index_->end() ? nullptr : found->second;
    }
    for (const auto& child : children)
        if (child->name == childName) return child.get();
    return nullptr;
}

FolderNode* FolderNode::addChild(std::string_view childName) {
    auto child = std::make_unique<FolderNode>();
    child->name.assign(childName.data(), childName.size());
    FolderNode* added = child.get();
    children.push_back(std::move(child));
    if (index_) {
        // The key views the child's own name, which lives as long as the child.
        index_->emplace(std::string_view(added->name), added);  // keeps the first of equal names
    } else if (children.size() > kIndexThreshold) {
        index_ = std::make_unique<std::unordered_map<std::string_view, FolderNode*>>();
        index_->reserve(children.size() * 2);
        for (const auto& existing : children) index_->emplace(std::string_view(existing->name), existing.get());
    }
    return added;
}

void FolderNode::clearChildren() {
    index_.reset();
    // Detach whole subtrees onto a work list and free them level by level.
    std::vector<std::unique_ptr<FolderNode>> pending = std::move(children);
    children.clear();
    while (!pending.empty()) {
        std::unique_ptr<FolderNode> node = std::move(pending.back());
        pending.pop_back();
        node->index_.reset();
        for (auto& grandchild : node->children) pending.push_back(std::move(grandchild));
        node->children.clear();
        // `node` now has no children, so its destructor does not recurse.
    }
}
