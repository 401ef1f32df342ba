#pragma once
// Items that are no plain files or folders, as the engine's handlers describe them: deletion
// markers of a differential archive ("anti-items", which stand for files to delete and hold no
// data), hard links, whose data is that of another item, and symbolic links, whose data is the
// path they point to.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "engine/engine_faults.h"
#include "engine/engine_interfaces.h"

class ItemKinds {
public:
    // Asks once which of these properties the handler has: for an archive that has none of
    // them every question below costs nothing.
    explicit ItemKinds(IInArchive* archive);

    bool hasAntiItems() const { return anti_; }
    bool hasHardLinks() const { return hardLinks_; }
    bool isAnti(UINT32 index) const;
    // The path the item names as its hard link's target; empty for every other item.
    std::wstring hardLinkTarget(UINT32 index) const;
    // True for a symbolic link the handler names as such (a tar's).
    bool isSymbolicLink(UINT32 index) const;

private:
    IInArchive* archive_;
    bool anti_ = false;
    bool hardLinks_ = false;
    bool symbolicLinks_ = false;
};

// True when an item's attributes carry a Unix mode (the engine's 0x8000 mark, the mode in the
// upper half) of a symbolic link: how a zip records one.
bool attributesMarkSymbolicLink(uint32_t attributes);

// The hard links of an archive, each with the item that holds its data.
class HardLinkMap {
public:
    static constexpr UINT32 kNoItem = 0xFFFFFFFF;
    struct Link {
        std::wstring target;     // the path the link names
        UINT32 source = kNoItem;  // the item holding the data; kNoItem when the archive has none
        bool sourceLater = false;  // ... that item comes after the link, where no data is at hand yet
    };

    // Reads every item's link, when the handler has hard links at all, and finds for each the
    // item it takes its data from: the last file item of the target's path before it (a link to
    // a link takes that link's data). Paths compare as they are written to disk.
    void read(IInArchive* archive, const ItemKinds& kinds);
    bool empty() const { return links_.empty(); }
    const Link* find(UINT32 index) const;
    const std::unordered_map<UINT32, Link>& links() const { return links_; }

private:
    std::unordered_map<UINT32, Link> links_;
};

// Why a hard link cannot have its data: its target is not in the archive, or comes after it.
// None when its data is at hand.
ItemFault hardLinkFault(const HardLinkMap::Link& link);
