#include "ui/column_choice.h"

#include <algorithm>

#include "ui/settings.h"

namespace {

struct ColumnFacts {
    ColumnId id;
    const wchar_t* key;
    const wchar_t* title;
    bool rightAligned;
    bool outsideArchives;  // folders and drives have its values too
};

// In the chooser's order.
constexpr ColumnFacts kColumns[] = {
    {ColumnId::Name, L"name", L"Name", false, true},
    {ColumnId::Size, L"size", L"Size", true, true},
    {ColumnId::Packed, L"packed", L"Packed", true, false},
    {ColumnId::Type, L"type", L"Type", false, true},
    {ColumnId::Modified, L"modified", L"Modified", false, true},
    {ColumnId::ModifiedSeconds, L"modified_seconds", L"Modified (seconds)", false, true},
    {ColumnId::Attributes, L"attributes", L"Attributes", false, true},
    {ColumnId::Crc, L"crc", L"CRC", false, false},
    {ColumnId::Method, L"method", L"Method", false, false},
    {ColumnId::Encrypted, L"encrypted", L"Encrypted", false, false},
};

const ColumnFacts& FactsOf(ColumnId column) {
    for (const ColumnFacts& facts : kColumns)
        if (facts.id == column) return facts;
    return kColumns[0];
}

const wchar_t* ValueName(ViewKind kind) {
    switch (kind) {
    case ViewKind::Archive: return L"columns_archive";
    case ViewKind::Drives: return L"columns_drives";
    default: return L"columns_folder";
    }
}

}  // namespace

const wchar_t* ColumnTitle(ColumnId column) { return FactsOf(column).title; }
bool ColumnRightAligned(ColumnId column) { return FactsOf(column).rightAligned; }

std::vector<ColumnId> AvailableColumns(ViewKind kind) {
    std::vector<ColumnId> columns;
    for (const ColumnFacts& facts : kColumns)
        if (kind == ViewKind::Archive || facts.outsideArchives) columns.push_back(facts.id);
    return columns;
}

std::vector<ColumnId> DefaultColumns(ViewKind kind) {
    if (kind == ViewKind::Archive)
        return {ColumnId::Name, ColumnId::Size, ColumnId::Packed, ColumnId::Type, ColumnId::Modified};
    return {ColumnId::Name, ColumnId::Size, ColumnId::Type, ColumnId::Modified};
}

std::wstring FormatColumns(const std::vector<ColumnId>& columns) {
    std::wstring text;
    for (ColumnId column : columns) {
        if (!text.empty()) text += L',';
        text += FactsOf(column).key;
    }
    return text;
}

std::vector<ColumnId> ParseColumns(ViewKind kind, std::wstring_view text) {
    const std::vector<ColumnId> offered = AvailableColumns(kind);
    std::vector<ColumnId> columns{ColumnId::Name};
    for (size_t start = 0; start <= text.size();) {
        size_t comma = text.find(L',', start);
        if (comma == std::wstring_view::npos) comma = text.size();
        const std::wstring_view key = text.substr(start, comma - start);
        for (const ColumnFacts& facts : kColumns)
            if (key == facts.key && std::count(offered.begin(), offered.end(), facts.id) &&
                !std::count(columns.begin(), columns.end(), facts.id))
                columns.push_back(facts.id);
        start = comma + 1;
    }
    return columns.size() > 1 ? columns : DefaultColumns(kind);
}

std::vector<ColumnId> ToggleColumn(std::vector<ColumnId> columns, ColumnId column) {
    if (column == ColumnId::Name) return columns;
    const auto found = std::find(columns.begin(), columns.end(), column);
    if (found != columns.end()) columns.erase(found);
    else columns.push_back(column);
    return columns;
}

std::vector<ColumnId> LoadColumns(ViewKind kind) { return ParseColumns(kind, LoadSettingText(ValueName(kind))); }

void SaveColumns(ViewKind kind, const std::vector<ColumnId>& columns) {
    SaveSettingText(ValueName(kind), FormatColumns(columns));
}
