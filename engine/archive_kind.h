#pragma once
// The archive format, decided by the file extension alone.
#include <windows.h>

#include <cstdint>
#include <string_view>

enum ArchiveKind : int32_t {
    None = 0,
    SevenZip = 1,
    Rar = 2,
    Zip = 3,
};

// ".7z", ".rar" or ".zip" (any case) in the last path component; anything else is `None`.
ArchiveKind archiveKindOf(std::wstring_view path);

// Adding and deleting are offered for these kinds only.
inline bool archiveKindIsWritable(ArchiveKind kind) { return kind == SevenZip || kind == Zip; }

// The engine's handler class for the kind; all zero for `None`.
GUID formatClassId(ArchiveKind kind);

// The engine's reader of the RAR 5 layout, which the `Rar` handler does not read. A ".rar" file
// that starts with the RAR 5 signature is opened with it.
GUID rar5FormatClassId();
