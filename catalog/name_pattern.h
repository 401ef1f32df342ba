#pragma once
// Finding entries by name: a pattern of `*` (any run of characters, none included) and `?` (any
// one character), compared without regard to case the way Windows compares file names (each
// UTF-16 unit upper-cased on its own, no other folding). A pattern without `*` and `?` matches the
// names that contain it: "read" finds "Readme.txt" and "thread.c". Names are matched where they
// lie in the tree's pool, without a string made per entry.
#include <string>
#include <string_view>
#include <vector>

#include "catalog/archive_tree.h"

class NamePattern {
public:
    // An empty pattern matches nothing.
    explicit NamePattern(std::wstring_view pattern);
    bool Matches(std::wstring_view name) const;

private:
    std::wstring units_;  // upper-cased; a pattern without wildcards is kept as "*text*"
};

// Every node of the tree below the root whose name matches, in the order the entries were listed.
// A million names take a small part of a second (bench: "find"), so the window searches on the UI
// thread, without a worker.
std::vector<ArchiveTree::NodeId> FindInTree(const ArchiveTree& tree, const NamePattern& pattern);

// The backslash-separated path of a node's folder (empty for entries at the root).
std::wstring FolderPathOf(const ArchiveTree& tree, ArchiveTree::NodeId node);
