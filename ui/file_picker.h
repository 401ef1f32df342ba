#pragma once
// The open-file dialog that picks files to add to the open archive, and the save dialog.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Shows the dialog with `title`, opened on `startFolder`, several files allowed; the chosen
// files' full paths (none when cancelled).
std::vector<std::wstring> PickFilesToAdd(HWND owner, const std::wstring& title, const std::wstring& startFolder);

// The paths in the dialog's answer: a folder followed by the names chosen in it, each
// terminated and the list closed by an empty one; or one full path.
std::vector<std::wstring> PickedPaths(const wchar_t* answer, size_t capacity);

// Shows the save dialog with `title`, opened on `startFolder` with `name` proposed; the chosen
// path (a file there is replaced only once the user said so), nothing when cancelled.
std::optional<std::wstring> PickSavePath(HWND owner, const std::wstring& title, const std::wstring& startFolder,
                                         const std::wstring& name);
