#pragma once
// Writing archive items to disk through the engine.
#include <string>
#include <vector>

#include "engine/archive_kind.h"

// Extracts the items of the archive below `destination`. With a non-empty `selection`, only
// the items whose path is one of the texts or lies below one of them (whole path components)
// are written. Returns 0 when every written item was extracted intact, 1 otherwise (the
// archive could not be opened, the engine failed, an item failed its checks or was unsafe).
// `password` is in/out: a password that opened an encrypted item list, or one asked while
// extracting when everything then extracted intact, is copied back (a wrong one is not, so
// that the next operation asks again).
int extractArchive(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                   std::wstring& password, const std::vector<std::wstring>* selection);

// Whole-archive extraction: -1 when the file has no archive extension (nothing happens),
// else the result of extractArchive with no password and no selection.
int extractAll(const std::wstring& archivePath, const std::wstring& destination);

// Creates the folder and every missing folder above it. True when the folder exists afterwards.
bool createFolderChain(const std::wstring& path);

// Clears the attributes (read-only included) and deletes the file.
bool deleteFileForced(const std::wstring& path);
