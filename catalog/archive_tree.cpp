#include "catalog/archive_tree.h"

#include <windows.h>

#include <cstring>
#include <new>

namespace {

// Growing stops while this much of the address space is still free, so that whatever comes
// after a refused open (the message that says so, the rows already shown) still has room.
constexpr uint64_t kAddressSpaceHeadroom = 96ull << 20;

size_t g_limitForTesting = 0;

}  // namespace

void SetTreeMemoryLimitForTesting(size_t bytes) { g_limitForTesting = bytes; }

void ArchiveTree::BlockRelease::operator()(void* block) const { VirtualFree(block, 0, MEM_RELEASE); }

ArchiveTree::ArchiveTree()
    : memoryLimit_(g_limitForTesting != 0 ? g_limitForTesting : static_cast<size_t>(-1)) {
    // A page takes whole 64 KB units of the address space, as the system hands them out.
    static_assert(((sizeof(Node) << kPageBits) & 0xFFFF) == 0, "a page is whole 64 KB units");
    static_assert(sizeof(Node) == 64, "a node record is 64 bytes in either build");
    Clear();
}

ArchiveTree::~ArchiveTree() = default;

void ArchiveTree::Clear() {
    // Nothing here allocates, so that a tree is always cleared, also when memory ran out.
    pages_.clear();
    blocks_.clear();
    index_.clear();
    index_.shrink_to_fit();
    methods_.clear();
    count_ = 0;
    items_ = 0;
    repeatedItems_ = 0;
    chunkLeft_ = 0;
    chunkFree_ = nullptr;
    memoryBytes_ = 0;
    // The root, alone in a page of its own until a node joins it: no name, no item, and never
    // in the index.
    root_ = Node();
    if (pages_.capacity() == 0) pages_.reserve(16);
    pages_.push_back(&root_);
    count_ = 1;
}

void ArchiveTree::Swap(ArchiveTree& other) noexcept {
    // A root alone lives in the tree object itself: its page is that member, which stays behind.
    const bool rootAlone = pages_[0] == &root_, otherRootAlone = other.pages_[0] == &other.root_;
    std::swap(blocks_, other.blocks_);
    std::swap(pages_, other.pages_);
    std::swap(root_, other.root_);
    std::swap(count_, other.count_);
    std::swap(items_, other.items_);
    std::swap(repeatedItems_, other.repeatedItems_);
    std::swap(chunkLeft_, other.chunkLeft_);
    std::swap(chunkFree_, other.chunkFree_);
    std::swap(index_, other.index_);
    std::swap(methods_, other.methods_);
    std::swap(memoryBytes_, other.memoryBytes_);
    std::swap(memoryLimit_, other.memoryLimit_);
    if (otherRootAlone) pages_[0] = &root_;
    if (rootAlone) other.pages_[0] = &other.root_;
}

void* ArchiveTree::Allocate(size_t bytes) {
    if (bytes > memoryLimit_ || memoryBytes_ > memoryLimit_ - bytes) throw std::bad_alloc();
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (GlobalMemoryStatusEx(&status) && status.ullAvailVirtual < kAddressSpaceHeadroom + bytes) throw std::bad_alloc();
    blocks_.reserve(blocks_.size() + 1);
    void* block = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block) throw std::bad_alloc();
    blocks_.emplace_back(block);
    memoryBytes_ += bytes;
    return block;
}

ArchiveTree::Node* ArchiveTree::NewPage() {
    void* block = Allocate(sizeof(Node) << kPageBits);
    // Fresh pages are zeroed by the system; the nodes get their starting values here.
    Node* page = static_cast<Node*>(block);
    for (size_t i = 0; i < (size_t{1} << kPageBits); ++i) new (page + i) Node();
    return page;
}

void ArchiveTree::AddPage() {
    if (count_ == 1) {
        // The root moves from its own place into the first page.
        Node* page = NewPage();
        page[0] = root_;
        pages_[0] = page;
        return;
    }
    pages_.reserve(pages_.size() + 1);
    pages_.push_back(NewPage());
}

uint32_t ArchiveTree::HashOf(NodeId parent, std::wstring_view name) {
    uint32_t hash = 2166136261u ^ (parent * 0x9E3779B1u);
    for (wchar_t c : name) hash = (hash ^ static_cast<uint32_t>(c)) * 16777619u;
    return hash ^ (hash >> 15);
}

void ArchiveTree::Reserve(size_t nodes) {
    size_t slots = 16;
    while (slots < nodes * 2 && slots < (size_t{1} << 30)) slots *= 2;
    if (slots <= index_.size()) return;
    const size_t added = (slots - index_.size()) * sizeof(NodeId);
    if (added > memoryLimit_ || memoryBytes_ > memoryLimit_ - added) throw std::bad_alloc();
    std::vector<NodeId> fresh(slots, kNoNode);
    const size_t mask = slots - 1;
    for (NodeId id = 1; id < count_; ++id) {
        const Node& node = (*this)[id];
        size_t slot = HashOf(node.parent, node.nameView()) & mask;
        while (fresh[slot] != kNoNode) slot = (slot + 1) & mask;
        fresh[slot] = id;
    }
    memoryBytes_ += added;
    index_.swap(fresh);
}

void ArchiveTree::GrowIndex() { Reserve(index_.empty() ? 8 : index_.size()); }

ArchiveTree::NodeId ArchiveTree::Child(NodeId parent, std::wstring_view name) const {
    if (index_.empty()) return kNoNode;
    const size_t mask = index_.size() - 1;
    for (size_t slot = HashOf(parent, name) & mask;; slot = (slot + 1) & mask) {
        const NodeId id = index_[slot];
        if (id == kNoNode) return kNoNode;
        const Node& node = (*this)[id];
        if (node.parent == parent && node.nameLength == name.size() &&
            std::memcmp(node.name, name.data(), name.size() * sizeof(wchar_t)) == 0)
            return id;
    }
}

const wchar_t* ArchiveTree::StoreName(std::wstring_view name) {
    if (name.empty()) return nullptr;
    wchar_t* stored = nullptr;
    if (name.size() > kNameChunk / 4) {
        // A long name has a block of its own; the chunk being filled stays the current one.
        stored = static_cast<wchar_t*>(Allocate(name.size() * sizeof(wchar_t)));
    } else {
        if (name.size() > chunkLeft_) {
            chunkFree_ = static_cast<wchar_t*>(Allocate(kNameChunk * sizeof(wchar_t)));
            chunkLeft_ = kNameChunk;
        }
        stored = chunkFree_;
        chunkFree_ += name.size();
        chunkLeft_ -= name.size();
    }
    std::memcpy(stored, name.data(), name.size() * sizeof(wchar_t));
    return stored;
}

ArchiveTree::NodeId ArchiveTree::NewNode(NodeId parent, std::wstring_view name) {
    if (count_ >= kNoNode - 1 || name.size() > 0xFFFFFFFFu) throw std::bad_alloc();
    if ((count_ + 1) * 2 > index_.size()) GrowIndex();
    if ((count_ & kPageMask) == 0 || count_ == 1) AddPage();
    const wchar_t* stored = StoreName(name);
    const NodeId id = static_cast<NodeId>(count_++);
    Node& node = at(id);
    node.name = stored;
    node.nameLength = static_cast<uint32_t>(name.size());
    node.parent = parent;
    Node& above = at(parent);
    if (above.lastChild == kNoNode) above.firstChild = id;
    else at(above.lastChild).nextSibling = id;
    above.lastChild = id;

    const size_t mask = index_.size() - 1;
    size_t slot = HashOf(parent, name) & mask;
    while (index_[slot] != kNoNode) slot = (slot + 1) & mask;
    index_[slot] = id;
    return id;
}

ArchiveTree::NodeId ArchiveTree::AddChild(NodeId parent, std::wstring_view name) {
    const NodeId found = Child(parent, name);
    return found != kNoNode ? found : NewNode(parent, name);
}

ArchiveTree::NodeId ArchiveTree::Find(std::wstring_view path) const {
    NodeId node = kRoot;
    if (path.empty()) return node;
    for (size_t start = 0;;) {
        const size_t cut = path.find(L'\\', start);
        const size_t end = cut == std::wstring_view::npos ? path.size() : cut;
        node = Child(node, path.substr(start, end - start));
        if (node == kNoNode || cut == std::wstring_view::npos) return node;
        start = cut + 1;
    }
}

ArchiveTree::NodeId ArchiveTree::FindOrAdd(std::wstring_view path) {
    NodeId node = kRoot;
    if (path.empty()) return node;
    for (size_t start = 0;;) {
        const size_t cut = path.find(L'\\', start);
        const size_t end = cut == std::wstring_view::npos ? path.size() : cut;
        node = AddChild(node, path.substr(start, end - start));
        if (cut == std::wstring_view::npos) return node;
        start = cut + 1;
    }
}

void ArchiveTree::SetItem(NodeId id, const ListedItem& item) {
    Node& node = at(id);
    ++items_;
    if (node.has(kHasItem)) ++repeatedItems_;
    node.attributes = item.attributes;
    node.crc = item.crc;
    node.size = item.size;
    node.packedSize = item.packedSize;
    node.modified = item.modified;
    node.flags = static_cast<uint8_t>(kHasItem | (item.hasSize ? kHasSize : 0) |
                                      (item.hasPackedSize ? kHasPackedSize : 0) |
                                      (item.hasModified ? kHasModified : 0) | (item.hasCrc ? kHasCrc : 0) |
                                      (item.encrypted ? kEncrypted : 0));
    node.method = 0;
    if (!item.method.empty()) {
        // Archives use a handful of methods: the last one is the usual match.
        size_t found = methods_.size();
        for (size_t m = methods_.size(); m-- > 0;)
            if (methods_[m] == item.method) {
                found = m;
                break;
            }
        if (found == methods_.size() && methods_.size() < 255) methods_.emplace_back(item.method);
        if (found < 255) node.method = static_cast<uint8_t>(found + 1);
    }
}
