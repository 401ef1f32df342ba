#include "ops/edited_entries.h"

#include "base/paths.h"
#include "catalog/item_catalog.h"
#include "catalog/path_text.h"
#include "engine/archive_kind.h"
#include "ops/operation_support.h"

bool ReadFileStamp(const std::wstring& file, uint64_t& size, FILETIME& written) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    written = data.ftLastWriteTime;
    return true;
}

bool OpenedEntryChanged(const OpenedEntry& entry) {
    uint64_t size = 0;
    FILETIME written{};
    if (!ReadFileStamp(entry.file, size, written)) return false;
    return size != entry.size || CompareFileTime(&written, &entry.written) != 0;
}

bool OpenedEntryCanGoBack(const OpenedEntry& entry) {
    return archiveKindIsWritable(archiveKindOf(entry.archivePath)) && !entry.entryPath.empty() &&
           FileNameOf(entry.file) == FileNameOf(entry.entryPath);
}

OperationOutcome UpdateOpenedEntry(const OpenedEntry& entry) {
    if (!OpenedEntryCanGoBack(entry)) return Outcome(OperationResult::Unsupported, L"Operation is not supported.");
    // A catalogue of its own: the window may show another archive, or another folder of this one.
    ItemCatalog catalog;
    catalog.archivePath = entry.archivePath;
    catalog.currentFolder = FolderOf(entry.entryPath);
    catalog.password = entry.password;
    return AddFiles(catalog, {entry.file});
}
