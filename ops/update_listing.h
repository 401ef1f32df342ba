#pragma once
// The two listings an update's check compares: the archive before (the open catalogue's own
// record of it, when that is what the archiver read) and the work file after, listed once into
// a catalogue of its own that then takes the place of a reload.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_kind.h"
#include "ops/update_check.h"

class ItemCatalog;

// Every item of the catalogue's tree as a listing gives it (path, size, CRC), in tree order;
// nothing when the tree cannot stand for a listing of the catalogue's archive: it is of another
// archive, or the archive holds a path twice (the tree keeps one of them).
std::optional<std::vector<ListedEntry>> CataloguedEntries(const ItemCatalog& catalog);

// The work file's listing: its entries for the check, and the same items in a catalogue's tree.
struct UpdatedListing {
    std::vector<ListedEntry> entries;
    std::shared_ptr<ItemCatalog> catalog;
};

// Lists `work` once into the catalogue, whose tree gives the entries (a path the archive holds
// twice makes a second listing, of the entries alone); `archive` is the path the catalogue is to
// stand for once the work file has taken its place. Nothing when it does not open.
std::optional<UpdatedListing> ListUpdated(const std::wstring& work, const std::wstring& archive, ArchiveKind kind,
                                          const std::string& password);
