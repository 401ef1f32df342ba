#include "ops/update_listing.h"

#include "catalog/path_text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "ops/fault_texts.h"

std::optional<std::vector<ListedEntry>> CataloguedEntries(const ItemCatalog& catalog, const std::wstring& archive) {
    const ArchiveTree& tree = catalog.tree;
    if (catalog.listedPath.empty() || catalog.listedPath != archive || tree.RepeatedItems() != 0) return std::nullopt;
    std::vector<ListedEntry> entries;
    entries.reserve(tree.ItemCount());
    std::wstring path;
    std::vector<ArchiveTree::NodeId> chain;
    for (ArchiveTree::NodeId id = 0; id < tree.NodeCount(); ++id) {
        const ArchiveTree::Node& node = tree[id];
        if (!node.has(ArchiveTree::kHasItem)) continue;
        // The path as the engine gave it: the names from the root down, joined by backslashes.
        chain.clear();
        for (ArchiveTree::NodeId at = id; at != ArchiveTree::kRoot && at != ArchiveTree::kNoNode; at = tree[at].parent)
            chain.push_back(at);
        path.clear();
        for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
            if (at != chain.rbegin()) path += L'\\';
            path += tree[*at].nameView();
        }
        entries.push_back({path, node.has(ArchiveTree::kHasSize), node.has(ArchiveTree::kHasCrc), node.size, node.crc});
    }
    return entries;
}

namespace {

// Hands each item to the catalogue's tree and keeps its entry.
class BothSink final : public ListingSink {
public:
    BothSink(ListingSink& tree, std::vector<ListedEntry>& entries) : tree_(tree), entries_(entries) {}
    void begin(uint32_t count) override {
        tree_.begin(count);
        entries_.reserve(count);
    }
    void add(const ListedItem& item) override {
        tree_.add(item);
        entries_.push_back({std::wstring(item.path), item.hasSize, item.hasCrc, item.size, item.crc});
    }
    bool wantsCrc() const override { return true; }

private:
    ListingSink& tree_;
    std::vector<ListedEntry>& entries_;
};

}  // namespace

std::optional<UpdatedListing> ListUpdated(const std::wstring& work, const std::wstring& archive, ArchiveKind kind,
                                          const std::string& password) {
    UpdatedListing listing;
    listing.catalog = std::make_shared<ItemCatalog>();
    ItemCatalog& catalog = *listing.catalog;
    ListingRun run;
    run.password = Utf8ToWideLossy(password);
    BothSink sink(catalog.TreeBuilder(), listing.entries);
    if (listArchive(work, kind, run, sink) != 0) return std::nullopt;
    catalog.archivePath = archive;
    catalog.listedPath = archive;
    catalog.password = run.password;
    catalog.format = run.format;
    catalog.summary = std::move(run.summary);
    catalog.damage = ArchiveDamageText(run.damage);
    return listing;
}
