// Size texts and the row order of the content view.
#include <windows.h>

#include <algorithm>

#include "catalog/item_catalog.h"
#include "ui/content_model.h"

int CompareSizeText(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return a.size() > b.size() ? 1 : -1;
    return lstrcmpiW(a.c_str(), b.c_str());
}

int CompareTimes(uint64_t a, uint64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

std::wstring FormatSize(uint64_t value) {
    if (value == 0) return {};
    return GroupThousands(std::to_wstring(static_cast<long long>(value)));
}

namespace {

int GroupOf(const ItemRow& row) {
    if (row.parentRow) return 0;
    return (row.attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 2;
}

}  // namespace

void SortItemRows(std::vector<ItemRow>& rows, const std::wstring& columnTitle, int sortOrder) {
    if (rows.size() < 2) return;
    enum class Key { None, Name, Size, Packed, Type, Modified } key = Key::None;
    if (columnTitle == L"Name") key = Key::Name;
    else if (columnTitle == L"Size") key = Key::Size;
    else if (columnTitle == L"Packed") key = Key::Packed;
    else if (columnTitle == L"Type") key = Key::Type;
    else if (columnTitle == L"Modified") key = Key::Modified;

    auto compareKeys = [key](const ItemRow& a, const ItemRow& b) {
        switch (key) {
        case Key::Name: return lstrcmpiW(a.name.c_str(), b.name.c_str());
        case Key::Size: return CompareSizeText(a.size, b.size);
        case Key::Packed: return CompareSizeText(a.packedSize, b.packedSize);
        case Key::Type: {
            // Items of one type in name order.
            const int byType = lstrcmpiW(a.type.c_str(), b.type.c_str());
            return byType != 0 ? byType : lstrcmpiW(a.name.c_str(), b.name.c_str());
        }
        case Key::Modified: return CompareTimes(a.modifiedTime, b.modifiedTime);
        case Key::None: return 0;
        }
        return 0;
    };
    const bool descending = sortOrder == 2;
    // A stable sort keeps equal keys in listing order (the exchange sort it replaces was quadratic).
    std::stable_sort(rows.begin(), rows.end(), [&](const ItemRow& a, const ItemRow& b) {
        const int ga = GroupOf(a), gb = GroupOf(b);
        if (ga != gb) return ga < gb;
        if (ga == 0) return false;
        const int r = compareKeys(a, b);
        return descending ? r > 0 : r < 0;
    });
}
