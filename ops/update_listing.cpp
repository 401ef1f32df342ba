#include "ops/update_listing.h"

#include "catalog/path_text.h"
#include "catalog/item_catalog.h"
#include "engine/archive_listing.h"
#include "ops/fault_texts.h"
#include "ops/update_runs.h"

std::optional<std::vector<ListedEntry>> CataloguedEntries(const ItemCatalog& catalog) {
    const ArchiveTree& tree = catalog.tree;
    if (catalog.listedPath.empty() || catalog.listedPath != catalog.archivePath || tree.RepeatedItems() != 0)
        return std::nullopt;
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

std::optional<UpdatedListing> ListUpdated(const std::wstring& work, const std::wstring& archive, ArchiveKind kind,
                                          const std::string& password) {
    UpdatedListing listing;
    listing.catalog = std::make_shared<ItemCatalog>();
    ItemCatalog& catalog = *listing.catalog;
    ListingRun run;
    run.password = Utf8ToWideLossy(password);
    if (listArchive(work, kind, run, catalog.TreeBuilder()) != 0) return std::nullopt;
    catalog.archivePath = archive;
    catalog.listedPath = archive;
    catalog.password = run.password;
    catalog.format = run.format;
    catalog.summary = std::move(run.summary);
    catalog.damage = ArchiveDamageText(run.damage);
    // The entries come from the tree, which holds every item unless a path came twice: then
    // from a listing of their own.
    if (auto entries = CataloguedEntries(catalog)) {
        listing.entries = std::move(*entries);
    } else {
        auto listed = ListEntries(work, kind, password);
        if (!listed) return std::nullopt;
        listing.entries = std::move(*listed);
    }
    return listing;
}
