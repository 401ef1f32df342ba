// The content model's sorting, and the size texts and row order it rests on.
#include <windows.h>

#include <algorithm>
#include <array>
#include <unordered_map>

#include "catalog/item_catalog.h"
#include "catalog/name_order.h"
#include "ui/content_model.h"

std::wstring FormatSize(uint64_t value) {
    if (value == 0) return {};
    return FormatGroupedNumber(value);
}

namespace {

// Sorts `rows` by their keys with a stable radix sort, one byte a pass. One look at the keys
// counts every byte; a byte that is the same in every key needs no pass (sizes and times of one
// folder share most of theirs).
void RadixSort(std::vector<uint32_t>& rows, const std::vector<uint64_t>& keys, bool descending) {
    const size_t count = rows.size();
    if (count < 2) return;
    std::vector<uint64_t> key(count);
    for (size_t i = 0; i < count; ++i) key[i] = descending ? ~keys[rows[i]] : keys[rows[i]];
    std::vector<std::array<uint32_t, 256>> buckets(8);
    for (uint64_t k : key)
        for (unsigned b = 0; b < 8; ++b) ++buckets[b][(k >> (8 * b)) & 0xFF];
    std::vector<uint32_t> otherRows;
    std::vector<uint64_t> otherKey;
    for (unsigned b = 0; b < 8; ++b) {
        std::array<uint32_t, 256>& bucket = buckets[b];
        if (bucket[(key[0] >> (8 * b)) & 0xFF] == count) continue;
        if (otherRows.empty()) {
            otherRows.resize(count);
            otherKey.resize(count);
        }
        uint32_t start = 0;
        for (uint32_t& n : bucket) {
            const uint32_t here = n;
            n = start;
            start += here;
        }
        for (size_t i = 0; i < count; ++i) {
            const uint32_t to = bucket[(key[i] >> (8 * b)) & 0xFF]++;
            otherRows[to] = rows[i];
            otherKey[to] = key[i];
        }
        rows.swap(otherRows);
        key.swap(otherKey);
    }
}

}  // namespace

std::vector<uint32_t> OrderRows(const std::vector<RowGroup>& groups, const std::vector<uint64_t>* keys,
                                bool descending) {
    // The groups in listing order, then each group by its keys.
    std::vector<uint32_t> parts[3];
    size_t sizes[3] = {};
    for (RowGroup group : groups) ++sizes[static_cast<size_t>(group)];
    for (size_t g = 0; g < 3; ++g) parts[g].reserve(sizes[g]);
    for (size_t i = 0; i < groups.size(); ++i) parts[static_cast<size_t>(groups[i])].push_back(static_cast<uint32_t>(i));
    if (keys) {
        RadixSort(parts[1], *keys, descending);
        RadixSort(parts[2], *keys, descending);
    }
    std::vector<uint32_t> order;
    order.reserve(groups.size());
    for (const auto& part : parts) order.insert(order.end(), part.begin(), part.end());
    return order;
}

std::vector<uint64_t> TypeThenNameKeys(size_t count, const std::function<std::wstring_view(size_t)>& typeAt,
                                       const std::vector<uint32_t>& nameRanks) {
    // Many rows share few types: each type's name is ranked once.
    std::unordered_map<std::wstring_view, uint32_t> typeNumbers;
    std::vector<std::wstring_view> types;
    std::vector<uint32_t> typeOfRow(count);
    std::wstring_view previous;
    for (size_t i = 0; i < count; ++i) {
        const std::wstring_view type = typeAt(i);
        // Rows of one type mostly follow each other, with the very same text.
        if (i > 0 && type.data() == previous.data() && type.size() == previous.size()) {
            typeOfRow[i] = typeOfRow[i - 1];
            continue;
        }
        const auto [found, added] = typeNumbers.try_emplace(type, static_cast<uint32_t>(types.size()));
        if (added) types.push_back(found->first);
        typeOfRow[i] = found->second;
        previous = type;
    }
    const std::vector<uint32_t> typeRanks = RankNames(types.size(), [&](size_t t) { return types[t]; });
    std::vector<uint64_t> keys(count);
    for (size_t i = 0; i < count; ++i)
        keys[i] = (static_cast<uint64_t>(typeRanks[typeOfRow[i]]) << 32) | (i < nameRanks.size() ? nameRanks[i] : 0);
    return keys;
}

// ---------------------------------------------------------------- the model's sort

void ContentModel::SortRows() {
    const std::vector<std::wstring> titles = ColumnTitles();
    std::wstring title =
        sortColumn >= 0 && sortColumn < static_cast<int>(titles.size()) ? titles[sortColumn] : std::wstring();
    // The time with seconds orders as the time does.
    if (title == ColumnTitle(ColumnId::ModifiedSeconds)) title = ColumnTitle(ColumnId::Modified);
    const bool keyed = title == L"Name" || title == L"Size" || title == L"Packed" || title == L"Type" ||
                       title == L"Modified" || title == L"Attributes" || (catalog_ && title == L"CRC");
    try {
        // Groups and keys are made once per listing and column: sorting again (the other way,
        // say) only orders them.
        PrepareSortKeys(keyed ? title : std::wstring());
        order_ = OrderRows(sortGroups_, keyed ? &sortKeys_ : nullptr, sortOrder == 2);
    } catch (const std::bad_alloc&) {
        // Too little memory to sort: the rows stay in the order they have.
    }
}

void ContentModel::PrepareSortKeys(const std::wstring& title) {
    const size_t count = catalog_ ? static_cast<size_t>(catalog_->RowCount()) : rows_.size();
    if (sortGroups_.size() != count) {
        sortKeysTitle_.clear();
        sortGroups_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            const int index = static_cast<int>(i);
            const bool parent = catalog_ ? catalog_->RowIsParent(index) : rows_[i].parentRow;
            const bool folder = catalog_ ? catalog_->RowIsFolder(index)
                                         : (rows_[i].attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            sortGroups_[i] = parent ? RowGroup::Parent : folder ? RowGroup::Folder : RowGroup::Other;
        }
    }
    if (title.empty() || (title == sortKeysTitle_ && sortKeys_.size() == count)) return;
    sortKeysTitle_.clear();
    sortKeys_.resize(count);
    if (title == L"Name") {
        // Names by their rank in the locale's order, made once for the listing.
        if (catalog_) {
            sortKeys_.assign(catalog_->NameRanks().begin(), catalog_->NameRanks().end());
        } else {
            const std::vector<uint32_t> ranks =
                RankNames(count, [this](size_t i) { return std::wstring_view(rows_[i].name); });
            sortKeys_.assign(ranks.begin(), ranks.end());
        }
    } else if (title == L"Type") {
        // By the type's name, then by name within a type.
        if (catalog_) {
            sortKeys_ = TypeThenNameKeys(
                count, [this](size_t i) { return catalog_->RowTypeName(static_cast<int>(i)); }, catalog_->NameRanks());
        } else {
            const std::vector<uint32_t> nameRanks =
                RankNames(count, [this](size_t i) { return std::wstring_view(rows_[i].name); });
            sortKeys_ = TypeThenNameKeys(count, [this](size_t i) { return std::wstring_view(rows_[i].type); }, nameRanks);
        }
    } else {
        for (size_t i = 0; i < count; ++i) {
            uint64_t size = 0, packed = 0, time = 0, attributes = 0, crc = 0;
            if (catalog_) {
                const ArchiveTree::NodeId id = catalog_->RowNode(static_cast<int>(i));
                if (id != ArchiveTree::kNoNode) {
                    const ArchiveTree::Node& node = catalog_->tree[id];
                    // No size at all comes before every size, as its empty text does.
                    size = node.has(ArchiveTree::kHasSize) ? node.size + (node.size != UINT64_MAX) : 0;
                    packed = node.has(ArchiveTree::kHasPackedSize) ? node.packedSize + (node.packedSize != UINT64_MAX) : 0;
                    time = node.modified;
                    attributes = node.attributes;
                    crc = node.has(ArchiveTree::kHasCrc) ? uint64_t{node.crc} + 1 : 0;
                }
            } else {
                size = rowSizes_[i];
                time = rows_[i].modifiedTime;
                attributes = rows_[i].attributes;
            }
            sortKeys_[i] = title == L"Size"         ? size
                           : title == L"Packed"     ? packed
                           : title == L"Attributes" ? attributes
                           : title == L"CRC"        ? crc
                                                    : time;
        }
    }
    sortKeysTitle_ = title;
}


bool ContentModel::IsSortableColumn(int column) const {
    const std::vector<std::wstring> titles = ColumnTitles();
    return column >= 0 && column < static_cast<int>(titles.size());
}

bool ContentModel::SetSortColumn(int column) {
    if (!IsSortableColumn(column)) return false;
    sortOrder = column == sortColumn ? (sortOrder == 1 ? 2 : 1) : 1;
    sortColumn = column;
    SortRows();
    return true;
}
