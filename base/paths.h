#pragma once
// Path arithmetic on Windows paths, with one set of rules for the whole program. Folders are
// separated by backslashes. A drive root is "X:\": "X:" alone names the current folder of drive
// X, so the folder that holds "C:\x.zip" is "C:\", and a root keeps its backslash wherever
// trailing ones are dropped. Nothing here touches the disk.
#include <string>
#include <string_view>

// "C:\" (or "C:" followed by any number of backslashes).
bool IsDriveRoot(std::wstring_view path);

// The path with one backslash at its end (an empty path stays empty).
std::wstring WithTrailingSeparator(std::wstring path);

// The path without backslashes at its end; a drive root keeps its own ("C:\\" gives "C:\").
std::wstring WithoutTrailingSeparator(std::wstring path);

// The folder that holds the item a path names: the text before its last backslash, "C:\" for
// an item at a drive root. Empty when no folder is named: no backslash, a leading one only
// ("\x"), or a drive root itself.
std::wstring FolderOf(std::wstring_view path);

// The folder above a path whose trailing backslashes are ignored: "C:\data\" gives "C:\",
// a drive root gives nothing.
std::wstring ParentOf(std::wstring_view path);

// The last component: the text after the last backslash or slash (the whole path without one).
std::wstring FileNameOf(std::wstring_view path);

// `folder` and `name` with exactly one backslash between them; `name` alone when `folder` is empty.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// True when both name the same folder: equal without regard to case once trailing backslashes
// are dropped. An empty path is no folder.
bool SameFolder(std::wstring_view a, std::wstring_view b);

// True when `path` is `place` itself or lies inside it (whole components, without regard to case).
bool IsSameOrInside(std::wstring_view path, std::wstring_view place);
