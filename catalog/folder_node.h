#pragma once
// One node of an archive's folder tree. Texts are UTF-8.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct FolderNode {
    std::string name;  // one path component; empty for the root
    uint32_t attributes = 0;
    std::string modifiedDate;
    std::string modifiedTime;
    std::string size;
    std::string packedSize;
    std::string fullPath;  // the item's path (empty for a folder that no item names)
    uint64_t modified = 0;
    bool hasItem = false;  // an archive item carries this node's data (false for implied folders)
    std::vector<std::unique_ptr<FolderNode>> children;  // in creation order

    FolderNode() = default;
    // Frees the subtree without recursion, so that a hostile archive with a very deep path
    // cannot exhaust the stack.
    ~FolderNode();
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    // The first child named exactly `childName` (byte for byte), or null.
    FolderNode* findChild(std::string_view childName) const;
    // Appends a new empty child and returns it.
    FolderNode* addChild(std::string_view childName);
    // Removes every child (and so the whole subtree).
    void clearChildren();

    // A folder row: the folder bit, or a node that no item names but that holds entries.
    bool isFolder() const { return (attributes & 16u) != 0 || (!hasItem && !children.empty()); }

private:
    // Built once a node has many children, so that wide folders are found in constant time.
    std::unique_ptr<std::unordered_map<std::string_view, FolderNode*>> index_;
};
