#pragma once
// How the "Add To Archive" dialog names a new archive, and how it reads the paths that
// other "Add to archive..." runs hand over to it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/archive_file_names.h"  // SelectionArchiveName

// Appends "." + `extension` unless the path already ends in it (any case); with `replace`
// another extension of the last component is cut off first.
std::wstring ApplyExtension(const std::wstring& path, const std::wstring& extension, bool replace);

// The archive proposed for one file or folder: `folder` + its name with ".zip", and ".zip" once
// more while a file of that name exists.
std::wstring DefaultArchiveName(const std::wstring& folder, const std::wstring& path,
                                const std::function<bool(const std::wstring&)>& fileExists);

// The quoted path of a hand-over block (UTF-16, terminated, in double quotes), unquoted;
// nothing when the block is malformed.
std::optional<std::wstring> ParseHandOverBlock(const void* data, size_t sizeInBytes);

// The block that hands `quotedPath` over (terminator included).
std::vector<wchar_t> MakeHandOverBlock(const std::wstring& quotedPath);

// The archive "Add to <name>.7z" and "Add to <name>.zip" make without a dialog (`extension`
// "7z" or "zip"): for one item, beside it, named after it (a file without its extension, a
// folder with its whole name); for several, what SelectionArchiveName proposes. A name that
// is one of the items themselves takes " (2)", " (3)", ...: an archive is never added into itself.
std::wstring QuickArchiveName(const std::vector<std::wstring>& paths, const std::wstring& extension,
                              const std::function<bool(const std::wstring&)>& isFolder,
                              const std::wstring& driveLabel = L"");
