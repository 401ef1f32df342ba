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
    std::string fullPath;
    uint64_t modified = 0;
    std::vector<std::unique_ptr<FolderNode>> children;  // in creation order

    // The first child named exactly `childName` (byte for byte), or null.
    FolderNode* findChild(std::string_view childName) const;
    // Appends a new empty child and returns it.
    FolderNode* addChild(std::string_view childName);
    // Removes every child (and so the whole subtree).
    void clearChildren();

private:
    // Built once a node has many children, so that wide folders are found in constant time.
    std::unique_ptr<std::unordered_map<std::string_view, FolderNode*>> index_;
};
