#pragma once
// Whole folders on disk: the path form that keeps every name exactly, and removal of a tree.
#include <string>

// The path in the form "\\?\C:\..." ("\\?\UNC\server\..." for a network path), which the
// system takes as it is: names that end in a dot or a space keep it. Relative paths and paths
// already in that form come back unchanged.
std::wstring ExtendedPath(const std::wstring& path);

// Deletes a folder with everything in it (read-only files included). Reparse points are
// removed, never followed. True when the folder is gone afterwards.
bool RemoveFolderTree(const std::wstring& folder);

// "." and "..", as a folder listing names them.
bool IsDotEntry(const wchar_t* name);
