#include "ui/status_texts.h"

#include <cwchar>

#include "base/paths.h"
#include "base/program_identity.h"
#include "catalog/item_catalog.h"
#include "ui/content_model.h"
#include "res/resource.h"
#include "ui/name_encoding_menu.h"
#include "ui/resource_module.h"

std::wstring ByteSizeText(uint64_t bytes) {
    if (bytes == 1) return ResourceString(IDS_ONE_BYTE);
    // Below a kilobyte the figure has four digits at most and is written as it is ("1023 bytes").
    if (bytes < 1024) return ResourceString(IDS_BYTES, {std::to_wstring(bytes)});
    static const wchar_t* const kUnits[] = {L"KB", L"MB", L"GB", L"TB", L"PB", L"EB"};
    double value = static_cast<double>(bytes) / 1024.0;
    size_t unit = 0;
    // Rounded to what is shown, so that 1023.96 KB is shown as 1.0 MB and not as 1024 KB.
    while (unit + 1 < std::size(kUnits) && value >= 999.5) {
        value /= 1024.0;
        ++unit;
    }
    // Written with "." by swprintf, then in the user's locale ("1,5 MB").
    const int fraction = value < 99.95 ? 1 : 0;
    wchar_t text[32] = {};
    swprintf(text, 32, L"%.*f", fraction, value);
    return LocaleNumberText(text, static_cast<unsigned>(fraction)) + L" " + kUnits[unit];
}

std::wstring ItemsText(const RowTotals& shown) {
    if (shown.items == 0) return ResourceString(IDS_NO_ITEMS);
    std::wstring text =
        shown.items == 1 ? ResourceString(IDS_ONE_ITEM) : ResourceString(IDS_ITEMS, {FormatGroupedNumber(shown.items)});
    if (shown.files > 0) text += L", " + ByteSizeText(shown.bytes);
    return text;
}

std::wstring SelectionText(const RowTotals& selected) {
    if (selected.items == 0) return {};
    std::wstring text = ResourceString(IDS_SELECTED, {FormatGroupedNumber(selected.items)});
    if (selected.files > 0) text += L", " + ByteSizeText(selected.bytes);
    return text;
}

std::wstring ArchiveText(const std::wstring& format, const ArchiveSummary& summary) {
    std::wstring text = format;
    auto add = [&text](const std::wstring& part) {
        if (!text.empty()) text += L", ";
        text += part;
    };
    std::wstring methods;
    for (const std::wstring& method : summary.methods) methods += (methods.empty() ? L"" : L" / ") + method;
    if (!methods.empty()) add(methods);
    add(ResourceString(summary.solid ? IDS_SOLID : IDS_NOT_SOLID));
    if (summary.encryptedFiles == 0) add(ResourceString(IDS_NOT_ENCRYPTED));
    else if (summary.encryptedFiles == summary.files) add(ResourceString(IDS_ENCRYPTED));
    else
        add(ResourceString(IDS_SOME_ENCRYPTED,
                           {FormatGroupedNumber(summary.encryptedFiles), FormatGroupedNumber(summary.files)}));
    return text;
}

std::wstring DamageText(const std::wstring& damage) {
    return damage.empty() ? std::wstring() : ResourceString(IDS_DAMAGED, {damage});
}

std::wstring FrameTitle(const std::wstring& place) {
    wchar_t title[256] = {};
    swprintf(title, 256, L"%ls - Ver %ls", kDisplayName, kVersionText);
    return place.empty() ? std::wstring(title) : place + L" - " + title;
}

std::wstring ArchiveTitlePlace(const std::wstring& archivePath, const std::wstring& displayPath) {
    std::wstring place = FileNameOf(archivePath);
    if (displayPath.size() > archivePath.size() + 1 && displayPath.compare(0, archivePath.size(), archivePath) == 0)
        place += displayPath.substr(archivePath.size());
    return place;
}

std::wstring ArchiveFormatName(ArchiveKind kind) {
    switch (kind) {
    case SevenZip: return L"7z";
    case Zip: return L"Zip";
    case Rar: return L"RAR";
    default: return {};
    }
}

std::wstring ArchiveFormatName(const std::wstring& engineName, const std::wstring& outerName, ArchiveKind byExtension) {
    if (engineName.empty()) return ArchiveFormatName(byExtension);
    // The engine's own names, but for the three the program is made for, as users write them.
    std::wstring name = engineName;
    if (lstrcmpiW(name.c_str(), L"zip") == 0) name = ArchiveFormatName(Zip);
    else if (lstrcmpiW(name.c_str(), L"rar") == 0 || lstrcmpiW(name.c_str(), L"rar5") == 0) name = ArchiveFormatName(Rar);
    return outerName.empty() ? name : name + L" (" + outerName + L")";
}

RowTotals TotalsOf(const ContentModel& model, const std::vector<int>& positions) {
    RowTotals totals;
    for (int position : positions) {
        if (!model.IsItemRow(position)) continue;
        ++totals.items;
        if (const std::optional<uint64_t> bytes = model.FileBytes(position)) {
            ++totals.files;
            totals.bytes += *bytes;
        }
    }
    return totals;
}

std::wstring TitlePlace(const ContentModel& model) {
    const ItemCatalog* catalog = model.catalog();
    return catalog ? ArchiveTitlePlace(catalog->archivePath, catalog->DisplayPath()) : std::wstring();
}

std::vector<std::wstring> StatusBarTexts::Parts(const ContentModel& model, const std::vector<int>& selection) {
    if (countedListing_ != model.ListingNumber()) {
        std::vector<int> all(static_cast<size_t>(model.RowCount()));
        for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
        shown_ = TotalsOf(model, all);
        countedListing_ = model.ListingNumber();
    }
    std::vector<std::wstring> parts{ItemsText(shown_), SelectionText(TotalsOf(model, selection))};
    if (const ItemCatalog* catalog = model.catalog()) {
        const std::wstring format = ArchiveFormatName(catalog->format.name, catalog->format.outerName,
                                                      archiveKindOf(catalog->archivePath));
        parts.push_back(ArchiveText(format, catalog->summary));
        parts.push_back(DamageText(catalog->damage));
        const std::wstring names = NamesStatusText(catalog->format.names);
        if (!names.empty()) parts.push_back(names);
    }
    return parts;
}
