#pragma once
// Where an archive item may be written, decided from its path inside the archive alone.
// Archive paths come from whoever made the archive; these rules keep every item inside the
// destination folder, and keep Windows from silently reading a name as something else.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The item's path below the destination, components joined by backslashes; empty when no name
// is left (the item is the destination itself, as a folder entry "\" is); nothing when the item
// must not be written (a ".." component):
// - "\" and "/" both separate components; empty and "." components are dropped;
// - leading separators and prefixes that name a root are dropped: "\\?\", "\??\", "\\.\",
//   "\\?\UNC\server\share", "\\server\share", a drive "C:";
// - in each component, ":" (which would name a stream) and the characters Windows refuses
//   in names become "_"; a trailing dot or space (which Windows would drop, so that "x.txt."
//   would land on "x.txt") becomes "_"; device names (CON, NUL, COM1, LPT1, ... with or without
//   an extension) get a "_" in front.
std::optional<std::wstring> safeRelativePath(std::wstring_view itemPath);

// True when the item path is one of the selection's texts or lies below one of them, compared
// whole component by whole component (case-sensitive, either separator). An absent or empty
// selection takes everything.
bool selectionTakes(const std::vector<std::wstring>* selection, std::wstring_view itemPath);

// The part of `itemPath` below the archive folder `base` (compared as selectionTakes does),
// when the item lies strictly below it; the whole path when `base` is empty; nothing otherwise.
std::optional<std::wstring_view> pathBelow(std::wstring_view itemPath, std::wstring_view base);

// Appends a backslash to a non-empty path that does not end in a separator.
std::wstring ensureTrailingSeparator(std::wstring path);

// Attributes an extracted item may carry: read-only (files only), hidden, system, archive,
// not-indexed. Link, reparse, device and other bits from the archive are dropped.
uint32_t plainFileAttributes(uint32_t attributes, bool isFolder);

// The "\\?\" form of an absolute path ("\\?\UNC\..." for a network path), through which the
// system takes paths longer than MAX_PATH; other paths are returned unchanged.
std::wstring extendedLengthPath(const std::wstring& absolutePath);
