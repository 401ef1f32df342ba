#pragma once
// The folder tree of an opened archive, compact enough for millions of entries: one record per
// node in pages that never move, children linked by index in creation order, names in one shared
// pool exactly as the engine gave them (UTF-16), sizes and times kept as numbers. A node is
// found by its parent and name through one hash index.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/archive_listing.h"

class ArchiveTree {
public:
    using NodeId = uint32_t;
    static constexpr NodeId kRoot = 0;
    static constexpr NodeId kNoNode = 0xFFFFFFFFu;

    enum Flags : uint8_t {
        kHasItem = 1,         // an archive item carries this node's data (not so for implied folders)
        kHasSize = 2,
        kHasPackedSize = 4,
        kHasModified = 8,
        kHasCrc = 16,
        kEncrypted = 32,      // a file the engine reports encrypted
    };

    struct Node {
        const wchar_t* name = nullptr;  // in the pool, not terminated
        uint32_t nameLength = 0;
        NodeId parent = kNoNode;
        NodeId firstChild = kNoNode;
        NodeId lastChild = kNoNode;
        NodeId nextSibling = kNoNode;
        uint32_t attributes = 0;  // the item's; 0 for a folder that no item names
        uint32_t crc = 0;         // the item's CRC, when the listing gave one (kHasCrc)
        uint8_t flags = 0;
        // The item's method, as an index into the tree's table of methods (0: none). It lies in
        // the room the record has before `size` anyway: methods cost no byte per entry.
        uint8_t method = 0;
        uint64_t size = 0;
        uint64_t packedSize = 0;
        uint64_t modified = 0;  // FILETIME ticks, UTC

        std::wstring_view nameView() const { return {name, nameLength}; }
        bool has(Flags flag) const { return (flags & flag) != 0; }
        // A folder row: the folder bit, or a node that no item names but that holds entries.
        bool isFolder() const {
            return (attributes & 16u) != 0 || (!has(kHasItem) && firstChild != kNoNode);
        }
    };

    ArchiveTree();
    ~ArchiveTree();
    ArchiveTree(const ArchiveTree&) = delete;
    ArchiveTree& operator=(const ArchiveTree&) = delete;

    // Back to a root alone, without item data; the memory is given back.
    void Clear();
    // Trades every node, name and index with `other`.
    void Swap(ArchiveTree& other) noexcept;
    // Room for about this many nodes, so that the index does not grow on the way.
    void Reserve(size_t nodes);
    size_t MemoryBytes() const { return memoryBytes_; }

    // The node of a backslash-separated path: components are the texts between backslashes
    // (two adjacent ones give an empty component, as does a trailing one), compared exactly.
    // The empty path is the root. kNoNode when there is none.
    NodeId Find(std::wstring_view path) const;
    // The same, creating missing nodes on the way, each appended after its earlier siblings.
    NodeId FindOrAdd(std::wstring_view path);
    // The child of `parent` with exactly this name, or kNoNode; created when asked.
    NodeId Child(NodeId parent, std::wstring_view name) const;
    NodeId AddChild(NodeId parent, std::wstring_view name);
    // Puts an item's data into its node; a later item of the same path wins.
    void SetItem(NodeId node, const ListedItem& item);
    // Items put in, and how many of them fell on a node that already had one (the archive holds
    // a path twice: the tree then shows one of them).
    size_t ItemCount() const { return items_; }
    size_t RepeatedItems() const { return repeatedItems_; }
    // The text of a node's method (empty for none). An archive of more than 255 methods shows
    // the later ones without.
    std::wstring_view MethodName(uint8_t method) const {
        return method == 0 || method > methods_.size() ? std::wstring_view() : std::wstring_view(methods_[method - 1]);
    }

    const Node& operator[](NodeId id) const { return pages_[id >> kPageBits][id & kPageMask]; }
    size_t NodeCount() const { return count_; }

private:
    // Pages and name chunks come straight from the system and go back to it when the tree is
    // cleared: a closed archive leaves nothing behind in the process's heaps.
    struct BlockRelease {
        void operator()(void* block) const;
    };
    using Block = std::unique_ptr<void, BlockRelease>;

    // 8,192 nodes of 64 bytes: eight 64 KB units.
    static constexpr unsigned kPageBits = 13;
    static constexpr NodeId kPageMask = (1u << kPageBits) - 1;
    static constexpr size_t kNameChunk = 32768;  // units: one 64 KB unit

    Node& at(NodeId id) { return pages_[id >> kPageBits][id & kPageMask]; }
    NodeId NewNode(NodeId parent, std::wstring_view name);
    const wchar_t* StoreName(std::wstring_view name);
    void* Allocate(size_t bytes);
    Node* NewPage();
    void AddPage();
    void GrowIndex();
    static uint32_t HashOf(NodeId parent, std::wstring_view name);

    std::vector<Block> blocks_;  // every page and name chunk
    std::vector<Node*> pages_;
    Node root_;  // the root while it is the only node
    size_t count_ = 0;
    size_t items_ = 0;
    size_t repeatedItems_ = 0;
    size_t chunkLeft_ = 0;
    wchar_t* chunkFree_ = nullptr;
    std::vector<NodeId> index_;  // open addressing by (parent, name); kNoNode marks a free slot
    std::vector<std::wstring> methods_;  // the methods met, each once: node.method - 1 indexes it
    size_t memoryBytes_ = 0;
    size_t memoryLimit_;
};

// Trees made from now on refuse to grow beyond this many bytes (0: no limit of their own), so
// that the way a too large archive is refused can be tried without filling the memory.
void SetTreeMemoryLimitForTesting(size_t bytes);
